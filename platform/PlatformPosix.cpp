// POSIX side: dlopen for libraries, UTF-8 paths, files by their kind.
#include <cerrno>
#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Platform.h"
#include "text/Utf8.h"

namespace platform {

namespace {

// The folder holding this library, with a trailing '/', or "" when the
// loader cannot tell.
std::string ownFolder()
{
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&ownFolder), &info) || !info.dli_fname)
        return "";
    std::string path = info.dli_fname;
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

} // namespace

// A bare file name is looked for first in this library's own folder, as a
// Windows host finds the libraries of its application folder, then by the
// system's ordinary search. The folder is named explicitly because a
// loader's notion of the caller (and with it $ORIGIN) is not reliable when
// dlopen is intercepted, as sanitizers do.
LibraryHandle loadLibrary(const std::wstring& fileName)
{
    std::string name = toUtf8(fileName);
    if (name.find('/') == std::string::npos) {
        std::string folder = ownFolder();
        if (!folder.empty())
            if (LibraryHandle library = dlopen((folder + name).c_str(), RTLD_NOW | RTLD_LOCAL))
                return library;
    }
    return dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* findSymbol(LibraryHandle library, const char* name)
{
    return library ? dlsym(library, name) : nullptr;
}

void freeLibrary(LibraryHandle library)
{
    if (library)
        dlclose(library);
}

namespace {

FileKind kindOf(const struct stat& status)
{
    if (S_ISREG(status.st_mode))
        return FileKind::Regular;
    if (S_ISFIFO(status.st_mode))
        return FileKind::Pipe;
    if (S_ISDIR(status.st_mode))
        return FileKind::Directory;
    if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode))
        return FileKind::Device;
    return FileKind::Other;
}

// How long a pipe opened before its writer waits for one.
constexpr int kPipeWriterWaitMs = 1000;

bool readable(FileKind kind)
{
    return kind == FileKind::Regular || kind == FileKind::Pipe;
}

} // namespace

// The kind is looked at before the open, because opening a device can
// itself act (or wait); the open is non-blocking, because opening a named
// pipe otherwise waits for a writer, and the kind is checked again on what
// was opened. A pipe opened before its writer has come would read as empty
// at once, so a pipe is given a moment for a writer to come and write (or
// close): one nobody writes to still reads as empty, after that moment.
InputFile openForReading(const char* path)
{
    InputFile input;
    struct stat status;
    if (stat(path, &status) != 0) {
        input.error = errno;
        return input;
    }
    input.kind = kindOf(status);
    if (!readable(input.kind))
        return input;
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        input.error = errno;
        return input;
    }
    if (fstat(fd, &status) != 0 || !readable(input.kind = kindOf(status))) {
        close(fd);
        return input;
    }
    if (input.kind == FileKind::Pipe) {
        struct pollfd writer = {fd, POLLIN, 0};
        while (poll(&writer, 1, kPipeWriterWaitMs) < 0 && errno == EINTR) {
        }
    }
    int flags = fcntl(fd, F_GETFL);
    if (flags == -1 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1 || !(input.file = fdopen(fd, "rb"))) {
        input.error = errno;
        close(fd);
    }
    return input;
}

std::wstring pathText(const char* path)
{
    return fromUtf8(path);
}

// The framework's extension-module registration has no counterpart here:
// loading and unloading the library need nothing beyond the static objects.

} // namespace platform
