// Windows side: the real loader, the system code page, DllMain for load
// and unload.
#include <windows.h>

#include <cerrno>
#include <io.h>
#include <sys/stat.h>

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

// A directory cannot be opened as a file here, so it is told by its
// attributes; a device (the console, NUL, a serial port) or a pipe only by
// the handle once it is open.
InputFile openForReading(const char* path)
{
    InputFile input;
    struct _stat64 status;
    if (_stat64(path, &status) == 0 && (status.st_mode & _S_IFMT) == _S_IFDIR) {
        input.kind = FileKind::Directory;
        return input;
    }
    errno = 0;
    input.file = std::fopen(path, "rb");
    if (!input.file) {
        input.error = errno;
        return input;
    }
    switch (GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(input.file))))) {
    case FILE_TYPE_DISK:
        input.kind = FileKind::Regular;
        return input;
    case FILE_TYPE_PIPE:
        input.kind = FileKind::Pipe;
        return input;
    case FILE_TYPE_CHAR:
        input.kind = FileKind::Device;
        break;
    default:
        input.kind = FileKind::Other;
        break;
    }
    std::fclose(input.file);
    input.file = nullptr;
    return input;
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
