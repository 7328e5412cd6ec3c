// Windows side: the real loader and message box, DllMain for load and
// unload.
#include <windows.h>

#include "platform/Platform.h"

namespace platform {

LibraryHandle loadLibrary(const std::wstring& fileName)
{
    return reinterpret_cast<LibraryHandle>(LoadLibraryW(fileName.c_str()));
}

void* findSymbol(LibraryHandle library, const char* name)
{
    if (!library)
        return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(library), name));
}

void freeLibrary(LibraryHandle library)
{
    if (library)
        FreeLibrary(reinterpret_cast<HMODULE>(library));
}

void showMessageBox(const std::wstring& text)
{
    MessageBoxW(nullptr, text.c_str(), L"", MB_OK);
}

} // namespace platform

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    // The host's framework would register the module here; the static
    // objects are destroyed by the runtime after DLL_PROCESS_DETACH.
    return TRUE;
}
