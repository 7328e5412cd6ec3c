// Stand-in of the host's application framework library. Its message box is
// the system's on Windows and one UTF-8 line on standard error elsewhere
// (nobody is there to press OK); the host application may take it over.
#include <cstdio>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#endif

#include "hostsim/framework/FrameworkHost.h"
#include "text/Utf8.h"

namespace {

hostframework::MessageBoxHandler g_handler = nullptr;

} // namespace

int AfxMessageBox(const wchar_t* text, unsigned int type, unsigned int)
{
    if (!text)
        text = L"";
    if (g_handler) {
        g_handler(text, type);
        return 1; // IDOK
    }
#if defined(_WIN32)
    return MessageBoxW(nullptr, text, L"", type);
#else
    std::string line = platform::toUtf8(text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
    return 1; // IDOK
#endif
}

namespace hostframework {

void setMessageBoxHandler(MessageBoxHandler handler)
{
    g_handler = handler;
}

} // namespace hostframework
