#include "tools/htmlreport/HtmlPage.h"

#include <cctype>
#include <filesystem>
#include <regex>
#include <system_error>

#include "commands/OutputFile.h"
#include "tools/report/ReportText.h"
#include "tools/htmlreport/JsonHtml.h"
#include "tools/htmlreport/PlanSection.h"
#include "tools/plan/Markup.h"
#include "tools/plan/PlanSvg.h"

namespace htmlreport {

using Json = nlohmann::ordered_json;
using plan::appendEscaped;

namespace {

// The verdict as a banner, green or red, then what was lost, kind by
// kind, as sentences with their first places, and the notes apart.
void appendVerdict(std::string& out, const dictcheck::FileReport& report)
{
    static const char* const kClasses[] = {"complete", "incomplete", "not-imported"};
    dictcheck::Verdict verdict = dictcheck::verdictOf(report);
    std::string line = dictcheck::verdictLine(report).substr(report.path.size() + 2);
    line[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(line[0])));
    out += std::string("<p class=\"verdict ") + kClasses[static_cast<int>(verdict)] + "\">";
    appendEscaped(out, line);
    out += "</p>\n";
    for (bool notes : {false, true}) {
        std::string items;
        for (const auto& group : report.warnings) {
            if (dictcheck::isNote(group.kind) != notes)
                continue;
            items += "<li>";
            appendEscaped(items, group.title + ": " + std::to_string(group.count));
            if (!group.examples.empty()) {
                items += "<ul>";
                for (const auto& e : group.examples) {
                    items += "<li>";
                    std::string place = "line " + std::to_string(e.line);
                    if (e.rowLine > 0 && e.rowLine != e.line)
                        place += " (row at line " + std::to_string(e.rowLine) + ")";
                    appendEscaped(items, place + (e.table.empty() ? "" : ", " + e.table) + ": " + e.text);
                    items += "</li>";
                }
                if (group.count > static_cast<long long>(group.examples.size()))
                    items += "<li>… and " +
                             std::to_string(group.count - static_cast<long long>(group.examples.size())) +
                             " more</li>";
                items += "</ul>";
            }
            items += "</li>\n";
        }
        if (items.empty())
            continue;
        out += notes ? "<h3>Notes (no loss)</h3>\n<ul class=\"notes\">\n" : "<h3>What the import lost</h3>\n<ul class=\"losses\">\n";
        out += items + "</ul>\n";
    }
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
    out += "</h2>\n";
    appendVerdict(out, report);
    // The report's own fields, for those who want them all.
    out += "<details><summary>The whole report</summary>\n";
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
