// POSIX side: dlopen for libraries, UTF-8 paths.
#include <dlfcn.h>

#include "platform/Platform.h"
#include "platform/Utf8.h"

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

std::wstring pathText(const char* path)
{
    return fromUtf8(path);
}

// The framework's extension-module registration has no counterpart here:
// loading and unloading the library need nothing beyond the static objects.

} // namespace platform
