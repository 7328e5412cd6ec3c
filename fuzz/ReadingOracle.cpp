#include "fuzz/ReadingOracle.h"

#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>
#include <tinyxml.h>

#include "document/DocumentLoad.h"
#include "hostsim/store/Store.h"
#include "plugin/CMBMBNReaderImpl.h"
#include "plugin/UserMessages.h"
#include "tools/report/FileReport.h"
#include "tools/report/ReportText.h"

namespace oracle {

namespace {

// The store's dump, as hostsim writes it.
std::string storeDump()
{
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&buffer, &size);
    if (!out)
        throw std::bad_alloc();
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
        outcome.report = dictcheck::reportText(report) +
                         dictcheck::reportJson(report).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    }
    return outcome;
}

std::string importDifference(const Outcome& rows, const Outcome& whole, const char* run)
{
    std::string what = rows.imported != whole.imported ? "outcome"
                       : rows.store != whole.store     ? "store"
                       : rows.told != whole.told       ? "message"
                       : rows.report != whole.report   ? "report"
                                                       : "";
    if (what.empty())
        return "";
    std::string told = std::string(run) + " run: the " + what + " differs";
    if (what == "report")
        told += "\nrow by row:\n" + rows.report + "\nwhole:\n" + whole.report;
    return told;
}

// One element as a comparison shows it: name, line, attributes, and the
// values of its child nodes that are not elements.
std::string describe(const TiXmlElement* element)
{
    std::string out = std::string(element->Value()) + " at line " + std::to_string(document::lineOf(element));
    for (const TiXmlAttribute* a = element->FirstAttribute(); a; a = a->Next())
        out += std::string(" ") + a->Name() + "=" + a->Value();
    for (const TiXmlNode* child = element->FirstChild(); child; child = child->NextSibling())
        if (!child->ToElement())
            out += " [" + std::to_string(child->Type()) + ":" + child->Value() + "]";
    return out;
}

// Every element under `from` in document order, each row of an outline
// read on its own, described. Of the top level, the first two elements
// only: no reader looks further, and the outline leaves the rest out.
void describeTree(document::LoadedDocument* loaded, TiXmlNode* from, std::vector<std::string>& out)
{
    int elements = 0;
    for (TiXmlNode* child = from->FirstChild(); child; child = child->NextSibling()) {
        TiXmlElement* element = child->ToElement();
        if (!element || (from->ToDocument() && ++elements > 2))
            continue;
        document::RowTree row(loaded, element);
        out.push_back(describe(row.element()));
        describeTree(loaded, row.element(), out);
    }
}

std::string treeDifference(const std::string& path)
{
    document::LoadedDocument rows, whole;
    bool rowsLoaded = document::loadDocument(path.c_str(), rows, nullptr, document::Positions::Tracked, nullptr,
                                             document::Reading::RowByRow);
    bool wholeLoaded = document::loadDocument(path.c_str(), whole, nullptr, document::Positions::Tracked, nullptr,
                                              document::Reading::WholeDocument);
    if (rowsLoaded != wholeLoaded)
        return "the file loads one way and not the other";
    if (!rowsLoaded)
        return "";
    std::vector<std::string> a, b;
    describeTree(&rows, &rows.tree(), a);
    describeTree(&whole, &whole.tree(), b);
    for (std::size_t i = 0; i < a.size() || i < b.size(); ++i) {
        std::string x = i < a.size() ? a[i] : "(none)", y = i < b.size() ? b[i] : "(none)";
        if (x != y)
            return "element " + std::to_string(i + 1) + " differs: row by row " + x + "; whole " + y;
    }
    return "";
}

} // namespace

std::string readingDifference(const std::string& path)
{
    if (std::string trees = treeDifference(path); !trees.empty())
        return trees;
    for (bool observed : {false, true}) {
        std::string difference = importDifference(import(path, document::Reading::RowByRow, observed),
                                                  import(path, document::Reading::WholeDocument, observed),
                                                  observed ? "report" : "plug-in");
        if (!difference.empty())
            return difference;
    }
    return "";
}

} // namespace oracle
