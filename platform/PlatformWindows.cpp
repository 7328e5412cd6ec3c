// Windows side: the real loader, the system code page, DllMain for load
// and unload.
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

std::wstring pathText(const char* path)
{
    int length = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (length <= 1)
        return L"";
    std::wstring text(static_cast<std::size_t>(length - 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path, -1, text.data(), length);
    return text;
}

} // namespace platform

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    // The host's framework would register the module here; the static
    // objects are destroyed by the runtime after DLL_PROCESS_DETACH.
    return TRUE;
}
