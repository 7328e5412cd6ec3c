// POSIX side: dlopen for libraries, standard error for the message box
// (nobody is there to press OK), strtod_l for locale-free numbers.
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <locale.h>

#include "platform/Platform.h"
#include "platform/Utf8.h"

namespace platform {

LibraryHandle loadLibrary(const std::wstring& fileName)
{
    return dlopen(toUtf8(fileName).c_str(), RTLD_NOW | RTLD_LOCAL);
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

void showMessageBox(const std::wstring& text)
{
    std::string line = toUtf8(text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

double parseDouble(const char* text, char** end)
{
    static locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0));
    return strtod_l(text, end, cLocale);
}

// The framework's extension-module registration has no counterpart here:
// loading and unloading the library need nothing beyond the static objects.

} // namespace platform
