// libFuzzer target: arbitrary bytes, as the file, through the whole import
// (load, index, model and design import) into the stand-in store.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "hostsim/store/Store.h"
#include "plugin/CMBMBNReaderImpl.h"

namespace {

std::string scratchPath()
{
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/import-fuzz-" + std::to_string(getpid()) + ".xml";
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
    hoststore::clearStore();
    theReader().importFile(path.c_str());
    return 0;
}
