// libFuzzer target: arbitrary bytes, as the file, through the whole import
// (load, index, model and design import) into the stand-in store, once as
// the plug-in runs it and once with a report's observer on the run; what
// the plug-in counts as lost must be what the report tells.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "hostsim/framework/FrameworkHost.h"
#include "hostsim/store/Store.h"
#include "plugin/CMBMBNReaderImpl.h"
#include "tools/report/FileReport.h"

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
    // The plug-in's message for a file it cannot load is not news here.
    hostframework::setMessageBoxHandler([](const wchar_t*, unsigned int) {});
    hoststore::clearStore();
    bool imported = theReader().importFile(path.c_str());
    document::LossTally counted = theReader().losses();

    hoststore::clearStore();
    dictcheck::FileObserver observer(path, 3);
    CMBMBNReaderImpl reader(&observer, RunFeedback{false, false, {}});
    reader.importFile(path.c_str());
    dictcheck::FileReport report = observer.finish();
    if (imported && !dictcheck::sameLosses(counted, dictcheck::lossesOf(report)))
        std::abort(); // the plug-in's message and the report disagree
    return 0;
}
