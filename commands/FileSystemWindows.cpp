// Windows side of OutputFile. Paths are narrow, in the system code page,
// as the commands' other file functions take them.
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include "commands/OutputFile.h"

namespace commands::filesystem {

std::FILE* createNew(const char* path)
{
    int fd = _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0)
        return nullptr;
    std::FILE* file = _fdopen(fd, "wb");
    if (!file) {
        int error = errno;
        _close(fd);
        _unlink(path);
        errno = error;
    }
    return file;
}

bool syncToDisk(std::FILE* file)
{
    return _commit(_fileno(file)) == 0;
}

void keepPermissions(const char*, std::FILE*)
{
    // A new file takes its folder's access rights, as the old one did.
}

bool replace(const char* from, const char* to)
{
    if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DWORD code = GetLastError();
    errno = code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION ? EACCES
            : code == ERROR_DISK_FULL                                     ? ENOSPC
                                                                          : EIO;
    return false;
}

bool mayWrite(const char* path)
{
    return _access(path, 2) == 0;
}

bool isTerminal(std::FILE* stream)
{
    return _isatty(_fileno(stream)) != 0;
}

} // namespace commands::filesystem
