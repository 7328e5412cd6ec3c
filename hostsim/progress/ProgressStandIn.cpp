// Stand-in of the host's progress library. It draws a one-line bar on a
// terminal, and appends one line per call to the file named by
// PROGRESS_LOG, for tests to read, with "load" and "unload" when it is
// mapped and released. Test variants leave one entry point out.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "host/ProgressRecords.h"
#include "text/Utf8.h"

#if defined(_WIN32)
#  define STANDIN_EXPORT extern "C" __declspec(dllexport)
#else
#  define STANDIN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

void log(const std::string& line)
{
    const char* path = std::getenv("PROGRESS_LOG");
    if (!path || !*path)
        return;
    if (std::FILE* file = std::fopen(path, "ab")) {
        std::fprintf(file, "%s\n", line.c_str());
        std::fclose(file);
    }
}

[[maybe_unused]] std::string quoted(const CWideString& text)
{
    return "\"" + platform::toUtf8(text.c_str()) + "\"";
}

[[maybe_unused]] void drawBar(int step, int count, const std::string& text)
{
    if (!isatty(STDERR_FILENO) || count <= 0)
        return;
    int percent = step <= 0 ? 0 : step >= count ? 100 : step * 100 / count;
    std::string bar(static_cast<std::size_t>(percent / 5), '#');
    bar.resize(20, ' ');
    std::fprintf(stderr, "\r[%s] %d/%d %3d%% %s\x1b[K", bar.c_str(), step, count, percent, text.c_str());
    if (step >= count)
        std::fputc('\n', stderr);
    std::fflush(stderr);
}

// "load" and "unload" when the library is mapped and released, so that a
// test sees whether the plug-in really lets it go.
struct LifeLog {
    LifeLog() { log("load"); }
    ~LifeLog() { log("unload"); }
} g_lifeLog;

} // namespace

#ifndef OMIT_REGISTE_MESSAGE
STANDIN_EXPORT int ProcessDisplayServer_RegisteMessage(int* message)
{
    log("RegisteMessage " + std::to_string(message ? *message : 0));
    return 1;
}
#endif

#ifndef OMIT_SET_DELAY_INFORMATION
STANDIN_EXPORT int ProcessDisplayServer_SetProcessDelayInformationEx(sDelayInformation* information)
{
    if (!information)
        return 0;
    log("SetProcessDelayInformationEx " + std::to_string(information->firstStep) + " " +
        std::to_string(information->stepCount));
    return 1;
}
#endif

#ifndef OMIT_PROGRESS_MESSAGE
STANDIN_EXPORT int ProcessDisplayServer_ProgressMessage(sProgressBar* bar)
{
    if (!bar)
        return 0;
    log("ProgressMessage " + std::to_string(bar->nFirst) + " " + std::to_string(bar->nSecond) + " " +
        std::to_string(bar->nThird) + " " + std::to_string(bar->nFourth) + " " + std::to_string(bar->nStep) +
        " " + std::to_string(bar->nStepCount) + " " + std::to_string(bar->nFifth) + " " +
        std::to_string(bar->nSixth) + " " + std::to_string(bar->nEight) + " " + quoted(bar->strMessage) + " " +
        quoted(bar->strSecond) + " " + quoted(bar->strThird) + " " + quoted(bar->strDetail));
    drawBar(bar->nStep, bar->nStepCount, platform::toUtf8(bar->strMessage.c_str()));
    return 1;
}
#endif
