#include "tools/htmlreport/HtmlPage.h"

#include <filesystem>
#include <regex>
#include <system_error>

#include "commands/OutputFile.h"
#include "tools/htmlreport/JsonHtml.h"
#include "tools/htmlreport/PlanSection.h"
#include "tools/plan/Markup.h"
#include "tools/plan/PlanSvg.h"

namespace htmlreport {

using Json = nlohmann::ordered_json;
using plan::appendEscaped;

namespace {

std::string summary(const dictcheck::FileReport& report, bool& bad)
{
    bad = true;
    if (!report.loaded && report.error.kind != document::LoadError::Kind::None)
        return "not loaded: the file " + report.errorMessage;
    if (!report.noDictionary.empty())
        return "loaded, but it holds no dictionary: " + report.noDictionary + "; nothing was imported";
    long long rows = 0, stored = 0;
    for (const auto& t : report.tables) {
        rows += t.rows;
        stored += t.stored;
    }
    long long warnings = report.warningCount();
    bad = !report.loaded || warnings > 0;
    return std::string(report.loaded ? "loaded" : report.errorMessage) + "; " + std::to_string(stored) + " of " +
           std::to_string(rows) + (rows == 1 ? " row" : " rows") + " stored; " + std::to_string(warnings) +
           (warnings == 1 ? " warning" : " warnings");
}

// The report, field by field: its plain facts in one table, then each
// larger part under its name.
void appendReport(std::string& out, const Json& json)
{
    Json facts = Json::object();
    for (const auto& item : json.items())
        if (!item.value().is_structured() || item.key() == "error")
            facts[item.key()] = item.value();
    appendJsonHtml(out, facts);
    for (const auto& item : json.items()) {
        if (!item.value().is_structured() || item.key() == "error")
            continue;
        out += "<h4>";
        appendEscaped(out, item.key());
        out += "</h4>\n";
        appendJsonHtml(out, item.value());
    }
}

} // namespace

const char kPageStart[] = "<!-- format: dictimport-page/1 -->";

std::set<std::string> designTablesHeld(const dictcheck::FileReport& report)
{
    std::set<std::string> held;
    for (const auto& t : report.tables)
        if (t.section == "design" && t.rows > 0)
            held.insert(t.name);
    return held;
}

void Page::addFile(const dictcheck::FileReport& report, const Json& reportJson, const plan::Plan& plan)
{
    int file = ++m_files;
    std::string& out = m_body;
    out += "<section class=\"file\" id=\"f" + std::to_string(file) + "\">\n<h2>";
    appendEscaped(out, report.path);
    bool bad = false;
    std::string line = summary(report, bad);
    out += "</h2>\n<p class=\"summary";
    out += bad ? " bad\">" : "\">";
    appendEscaped(out, line);
    // Open when there is something to read in it.
    out += std::string("</p>\n<details") + (bad ? " open" : "") + "><summary>Report</summary>\n";
    appendReport(out, reportJson);
    out += "</details>\n";
    appendPlans(out, file, plan,
                {"Storeys in elevation order, as the import stored them, in the file's own coordinates. Point at a "
                 "member for its table, key and design result; click a plan and scroll to zoom (or scroll with "
                 "Ctrl), drag to pan, double-click or Fit to see it whole.",
                 "The import stored no storey and no member."});
    out += "</section>\n";
}

std::string Page::html() const
{
    return pageHtml(kPageStart, "dictcheck report", plan::Marking::Problems, "", m_body);
}

bool isSvgFileName(const std::string& name)
{
    static const std::regex kName("(file[0-9]+-)?([0-9]+-floor-?[0-9]+|shared)\\.svg");
    return std::regex_match(name, kName);
}

namespace {

// What the storeys' files may repeat of each other beyond what they hold
// besides (below).
const std::size_t kRepeatedFree = 2 << 20;

// Whether each storey's file stands alone, drawing the axes and every
// element it draws itself. It does unless that makes the files repeat more
// of each other (the axes in every file, an element drawn on several
// storeys in each of theirs) than 2 MiB plus all they hold when what they
// share is written once: a folder of standalone files is then at most about
// twice that, which grows with the input file. Otherwise the axes and the
// shared elements go once into a shared file, which every storey's file
// refers to and names: thousands of storeys and axes then make a folder
// that grows with their sum, not with their product. An ordinary model's
// files stand alone.
bool standalone(const plan::Plan& plan, const plan::PlanDrawing& referring)
{
    std::size_t repeated = referring.repeatedBytes();
    if (repeated <= kRepeatedFree)
        return true;
    std::string svg;
    referring.writeShared(svg);
    std::size_t once = svg.size();
    for (const plan::Storey& storey : plan.storeys) {
        svg.clear();
        referring.writeStorey(svg, storey);
        once += svg.size();
    }
    return repeated <= once + kRepeatedFree;
}

} // namespace

bool writeSvgFiles(const std::string& dir, const std::string& prefix, const plan::Plan& plan, std::string& error)
{
    std::error_code code;
    std::filesystem::create_directories(dir, code);
    if (code) {
        error = "cannot create " + dir + ": " + code.message();
        return false;
    }
    std::string sharedName = prefix + "shared.svg";
    plan::PlanDrawing drawing(plan, plan::SvgUse::Referring, "", sharedName);
    if (standalone(plan, drawing)) {
        drawing = plan::PlanDrawing(plan, plan::SvgUse::Standalone, "");
    } else {
        std::string svg;
        drawing.writeShared(svg);
        if (!commands::writeWhole((std::filesystem::path(dir) / sharedName).string(), svg, error))
            return false;
    }
    std::size_t width = std::to_string(plan.storeys.size()).size();
    width = width < 2 ? 2 : width;
    for (std::size_t i = 0; i < plan.storeys.size(); ++i) {
        std::string place = std::to_string(i + 1);
        place.insert(0, width - place.size(), '0');
        std::string path = (std::filesystem::path(dir) /
                            (prefix + place + "-floor" + std::to_string(plan.storeys[i].key) + ".svg"))
                               .string();
        std::string svg;
        drawing.writeStorey(svg, plan.storeys[i]);
        if (!commands::writeWhole(path, svg, error))
            return false;
    }
    return true;
}

} // namespace htmlreport
