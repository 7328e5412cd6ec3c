// POSIX side of OutputFile.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "commands/OutputFile.h"

namespace commands::filesystem {

std::FILE* createNew(const char* path)
{
    // Past a file-size limit the system stops the process unless this
    // signal is ignored; ignored, the write fails and the target is kept.
    std::signal(SIGXFSZ, SIG_IGN);
    int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return nullptr;
    std::FILE* file = fdopen(fd, "wb");
    if (!file) {
        int error = errno;
        close(fd);
        unlink(path);
        errno = error;
    }
    return file;
}

bool syncToDisk(std::FILE* file)
{
    return fsync(fileno(file)) == 0;
}

void keepPermissions(const char* existing, std::FILE* replacement)
{
    struct stat status;
    if (stat(existing, &status) == 0 && S_ISREG(status.st_mode))
        fchmod(fileno(replacement), status.st_mode & 07777);
}

bool replace(const char* from, const char* to)
{
    return std::rename(from, to) == 0;
}

bool mayWrite(const char* path)
{
    return access(path, W_OK) == 0;
}

bool isTerminal(std::FILE* stream)
{
    return isatty(fileno(stream)) == 1;
}

} // namespace commands::filesystem
