// libFuzzer target: arbitrary bytes, as the file, through what the tools
// make of it: dictcheck's report (its text, its JSON, its page and each
// storey's SVG) and dictdiff's comparison with a mutated copy (its text,
// JSON, CSV and page). Whatever the file holds: nothing crashes, every
// JSON parses, every SVG is well-formed XML, pages and plans stay within
// 40 times the input plus 2 MB, and no text output holds a byte that a
// terminal acts on, and no CSV cell a spreadsheet would evaluate.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>
#include <string_view>
#include <vector>
#include <unistd.h>

#include <nlohmann/json.hpp>
#include <tinyxml.h>

#include "commands/Console.h"
#include "hostsim/framework/FrameworkHost.h"
#include "hostsim/store/Store.h"
#include "json/JsonText.h"
#include "plugin/CMBMBNReaderImpl.h"
#include "text/Escapes.h"
#include "tools/report/FileReport.h"
#include "tools/report/ReportText.h"
#include "tools/dictdiff/Comparison.h"
#include "tools/dictdiff/ComparisonPage.h"
#include "tools/dictdiff/Import.h"
#include "tools/dictdiff/PlanChanges.h"
#include "tools/dictdiff/Report.h"
#include "tools/htmlreport/HtmlPage.h"
#include "tools/plan/PlanSvg.h"

namespace {

[[noreturn]] void fail(const char* what, std::string_view output)
{
    std::fprintf(stderr, "tools_fuzzer: %s\n%.*s\n", what, static_cast<int>(std::min<std::size_t>(output.size(), 2000)),
                 output.data());
    std::abort();
}

std::string scratchPath(const char* name)
{
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/tools-fuzz-" + std::to_string(getpid()) + "-" + name;
}

void writeFile(const std::string& path, std::string_view bytes)
{
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
}

// What a stream received, written through `write`.
template <class Write>
std::string captured(Write&& write)
{
    char* data = nullptr;
    std::size_t size = 0;
    std::FILE* stream = open_memstream(&data, &size);
    if (!stream)
        return {};
    write(stream);
    std::fclose(stream);
    std::string out(data, size);
    std::free(data);
    return out;
}

// No byte a terminal acts on (text::hasControls), but CR LF, which ends
// a CSV line.
void expectShownSafely(const char* what, std::string text)
{
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
        text.erase(at, 1);
    if (text::hasControls(text))
        fail(what, text);
}

void expectJson(const char* what, const std::string& text)
{
    if (!nlohmann::json::accept(text))
        fail(what, text);
    expectShownSafely(what, text);
}

void expectWithin(const char* what, const std::string& output, std::size_t inputBytes)
{
    if (output.size() > 40 * inputBytes + 2000000)
        fail(what, output.substr(0, 2000));
}

void expectWellFormedSvg(const std::string& svg)
{
    TiXmlDocument document;
    document.Parse(svg.c_str());
    if (document.Error() || !document.RootElement() || std::string(document.RootElement()->Value()) != "svg")
        fail("an SVG that is not well-formed", svg);
}

// Every cell of a CSV text, its quotes undone.
std::vector<std::string> csvCells(const std::string& csv)
{
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (std::size_t i = 0; i < csv.size(); ++i) {
        char c = csv[i];
        if (quoted) {
            if (c == '"' && i + 1 < csv.size() && csv[i + 1] == '"')
                cells.back() += csv[++i];
            else if (c == '"')
                quoted = false;
            else
                cells.back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',' || c == '\n') {
            cells.emplace_back();
        } else if (c != '\r') {
            cells.back() += c;
        }
    }
    return cells;
}

// No cell starts as a formula would (=, +, -, @, tab or CR), but a plain
// number.
void expectInertCsv(const std::string& csv)
{
    static const std::regex kNumber("[-+]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][-+]?[0-9]+)?");
    for (const std::string& cell : csvCells(csv))
        if (!cell.empty() && std::string_view("=+-@\t\r").find(cell[0]) != std::string_view::npos &&
            !std::regex_match(cell, kNumber))
            fail("a CSV cell a spreadsheet would evaluate", cell);
}

// A copy of the file with some of its numbers changed and one row written
// twice: enough to make a comparison find changes.
std::string mutated(std::string_view bytes)
{
    std::string copy(bytes);
    std::size_t digits = 0;
    bool inTag = false; // digits of names stay, so that tags still match
    for (char& c : copy) {
        inTag = c == '<' ? true : c == '>' ? false : inTag;
        if (!inTag && c >= '0' && c <= '9' && ++digits % 7 == 3)
            c = static_cast<char>('0' + (c - '0' + 1) % 10);
    }
    // A whole row, so that the copy stays as well-formed as the file.
    std::size_t row = copy.find("<Pair><Key><Value>", copy.size() / 2);
    std::size_t end = row == std::string::npos ? row : copy.find("</Value></Pair>", row);
    if (end != std::string::npos)
        copy.insert(row, copy.substr(row, end + 15 - row));
    return copy;
}

void checkReport(const std::string& path, std::size_t inputBytes)
{
    hoststore::clearStore();
    dictcheck::FileObserver observer(path, 3);
    CMBMBNReaderImpl reader(&observer, RunFeedback{false, false, {}});
    bool imported = reader.importFile(path.c_str());
    dictcheck::FileReport report = observer.finish();
    // The report's verdict is the plug-in's: incomplete exactly when the
    // plug-in warns of losses.
    if (imported && report.noDictionary.empty() &&
        (dictcheck::verdictOf(report) == dictcheck::Verdict::Incomplete) != reader.losses().any())
        fail("the report's verdict and the plug-in's tally disagree", dictcheck::verdictLine(report));
    expectShownSafely("dictcheck's text", captured([&](std::FILE* out) {
                          commands::put(out, dictcheck::reportText(report));
                      }));
    nlohmann::ordered_json json = dictcheck::reportJson(report);
    expectJson("dictcheck's JSON", jsontext::jsonText(json, 2));
    plan::Plan plan = plan::readPlan(htmlreport::designTablesHeld(report));
    htmlreport::Page page;
    page.addFile(report, json, plan);
    expectWithin("dictcheck's page", page.html(), inputBytes);
    // The plans' files both ways: each standing alone, and each referring
    // to one file of what they share.
    for (plan::SvgUse use : {plan::SvgUse::Standalone, plan::SvgUse::Referring}) {
        plan::PlanDrawing drawing(plan, use, "", "shared.svg");
        std::string svg;
        drawing.writeShared(svg);
        if (!svg.empty())
            expectWellFormedSvg(svg);
        for (const plan::Storey& storey : plan.storeys) {
            svg.clear();
            drawing.writeStorey(svg, storey);
            expectWithin("a plan's SVG", svg, inputBytes);
            expectWellFormedSvg(svg);
        }
    }
}

void checkComparison(const std::string& olderPath, const std::string& newerPath, std::size_t inputBytes,
                     dictdiff::Match match)
{
    hoststore::StoreRows older, newer;
    plan::Plan oldPlan, newPlan;
    std::string why;
    dictdiff::ImportFacts oldFacts, newFacts;
    if (!dictdiff::importRows(olderPath, older, why, [&] { oldPlan = plan::readPlan({}); }, {}, &oldFacts) ||
        !dictdiff::importRows(newerPath, newer, why, [&] { newPlan = plan::readPlan({}); }, {}, &newFacts))
        return;
    dictdiff::Options options;
    options.match = match;
    dictdiff::Comparison comparison = dictdiff::compare(older, newer, options);
    dictdiff::markNotRead(comparison, dictdiff::unreadTables(oldFacts.losses), dictdiff::unreadTables(newFacts.losses));
    dictdiff::Files names{olderPath, newerPath, dictdiff::sideVerdict(oldFacts.losses, older),
                          dictdiff::sideVerdict(newFacts.losses, newer), {}};
    expectShownSafely("dictdiff's text",
                      captured([&](std::FILE* out) { dictdiff::writeText(out, comparison, names); }));
    expectJson("dictdiff's JSON", captured([&](std::FILE* out) { dictdiff::writeJson(out, comparison, names); }));
    std::string csv = captured([&](std::FILE* out) { dictdiff::writeCsv(out, comparison); });
    expectShownSafely("dictdiff's CSV", csv);
    expectInertCsv(csv);
    std::string page = dictdiff::comparisonPage(comparison, names,
                                                dictdiff::comparedPlan(comparison, std::move(oldPlan), std::move(newPlan)));
    expectWithin("dictdiff's page", page, inputBytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string original = scratchPath("a.xml");
    static const std::string changed = scratchPath("b.xml");
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    writeFile(original, bytes);
    std::string copy = mutated(bytes);
    writeFile(changed, copy);
    // The plug-in's messages are not news here.
    hostframework::setMessageBoxHandler([](const wchar_t*, unsigned int) {});
    checkReport(original, size);
    checkComparison(original, changed, size + copy.size(),
                    size % 2 == 0 ? dictdiff::Match::Key : dictdiff::Match::Geometry);
    return 0;
}
