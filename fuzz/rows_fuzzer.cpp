// libFuzzer target: arbitrary bytes, as the file, imported both ways the
// reader can hold a file, one row at a time and as TinyXML's document of
// the whole file, as the plug-in runs it and with a report's observer. Any
// difference in what is stored, what the plug-in would tell the user, the
// report (its lines included) or the outcome aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "hostsim/framework/FrameworkHost.h"
#include "hostsim/store/Store.h"
#include "plugin/CMBMBNReaderImpl.h"
#include "plugin/UserMessages.h"
#include "tools/report/FileReport.h"
#include "tools/report/ReportText.h"

namespace {

std::string scratchPath()
{
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/rows-fuzz-" + std::to_string(getpid()) + ".xml";
}

// The store's dump, as hostsim writes it.
std::string storeDump()
{
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&buffer, &size);
    if (!out)
        std::abort();
    hoststore::writeJson(out);
    std::fclose(out);
    std::string dump(buffer, size);
    std::free(buffer);
    return dump;
}

// Everything one import shows of a file.
struct Outcome {
    bool imported = false;
    std::string store;
    std::wstring told; // the plug-in's message of what the file lost
    std::string report;
};

Outcome import(const std::string& path, document::Reading reading, bool observed)
{
    Outcome outcome;
    hoststore::clearStore();
    dictcheck::FileObserver observer(path, 3);
    CMBMBNReaderImpl reader(observed ? &observer : nullptr, RunFeedback{false, false, {}});
    reader.setReading(reading);
    outcome.imported = reader.importFile(path.c_str());
    outcome.store = storeDump();
    outcome.told = lossMessage(path.c_str(), reader.losses());
    if (observed) {
        dictcheck::FileReport report = observer.finish();
        outcome.report = dictcheck::reportText(report) + dictcheck::reportJson(report).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    }
    return outcome;
}

void expectSame(const Outcome& rows, const Outcome& whole, const char* run)
{
    const char* what = rows.imported != whole.imported ? "outcome"
                       : rows.store != whole.store     ? "store"
                       : rows.told != whole.told       ? "message"
                       : rows.report != whole.report   ? "report"
                                                       : nullptr;
    if (!what)
        return;
    std::fprintf(stderr, "%s run: the %s differs between reading row by row and reading the whole document\n", run,
                 what);
    if (what == std::string("report"))
        std::fprintf(stderr, "row by row:\n%s\nwhole:\n%s\n", rows.report.c_str(), whole.report.c_str());
    std::abort();
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
    for (bool observed : {false, true})
        expectSame(import(path, document::Reading::RowByRow, observed),
                   import(path, document::Reading::WholeDocument, observed), observed ? "report" : "plug-in");
    return 0;
}
