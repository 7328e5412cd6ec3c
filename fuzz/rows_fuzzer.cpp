// libFuzzer target: arbitrary bytes, as the file, read both ways the
// reader can hold a file, one row at a time and as TinyXML's document of
// the whole file. Any difference in the trees, in what is stored, in what
// the plug-in would tell the user, in the report (its lines included) or
// in the outcome aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "fuzz/ReadingOracle.h"
#include "hostsim/framework/FrameworkHost.h"

namespace {

std::string scratchPath()
{
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/rows-fuzz-" + std::to_string(getpid()) + ".xml";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = scratchPath();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    hostframework::setMessageBoxHandler([](const wchar_t*, unsigned int) {});
    std::string difference = oracle::readingDifference(path);
    if (difference.empty())
        return 0;
    std::fprintf(stderr, "reading row by row and reading the whole document differ: %s\n", difference.c_str());
    std::abort();
}
