#include "tools/htmlreport/HtmlPage.h"

#include <filesystem>
#include <system_error>

#include "commands/OutputFile.h"
#include "tools/htmlreport/JsonHtml.h"
#include "tools/htmlreport/PageAssets.h"
#include "tools/plan/Markup.h"
#include "tools/plan/PlanSvg.h"

namespace htmlreport {

using Json = nlohmann::ordered_json;
using plan::appendEscaped;

namespace {

// JSON for a script element: no "<" at all, so that nothing in it can end
// the element; bytes that are not UTF-8 replaced.
void appendScriptJson(std::string& out, const Json& json)
{
    for (char c : json.dump(-1, ' ', false, Json::error_handler_t::replace)) {
        if (c == '<')
            out += "\\u003c";
        else
            out += c;
    }
}

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

std::string storeyAnchor(int file, std::size_t index)
{
    return "f" + std::to_string(file) + "-s" + std::to_string(index + 1);
}

void cell(std::string& out, long long n, bool warning = false)
{
    out += warning && n > 0 ? "<td class=\"n warn-text\">" : "<td class=\"n\">";
    out += std::to_string(n);
    out += "</td>";
}

// One row per storey: what its plan draws of each kind, and how many of
// them are drawn in the warning style.
void appendStoreyIndex(std::string& out, int file, const plan::Plan& plan)
{
    out += "<table class=\"storeys\"><thead><tr><th>#</th><th>storey</th>";
    for (const plan::KindInfo& k : plan::kinds()) {
        out += "<th class=\"n\">";
        appendEscaped(out, k.table);
        out += "</th>";
    }
    out += "<th class=\"n\">warning style</th></tr></thead><tbody>\n";
    std::array<long long, plan::kKindCount> totals{};
    long long problems = 0;
    for (std::size_t i = 0; i < plan.storeys.size(); ++i) {
        const plan::Storey& s = plan.storeys[i];
        out += "<tr><td class=\"n\">" + std::to_string(i + 1) + "</td><td><a href=\"#" + storeyAnchor(file, i) +
               "\"" + (s.stored ? "" : " class=\"warn-text\"") + ">";
        appendEscaped(out, plan::storeyTitle(s));
        out += "</a></td>";
        for (std::size_t k = 0; k < plan::kKindCount; ++k) {
            cell(out, static_cast<long long>(s.members[k].size()));
            totals[k] += static_cast<long long>(s.members[k].size());
        }
        cell(out, static_cast<long long>(s.problemCount()), true);
        problems += static_cast<long long>(s.problemCount());
        out += "</tr>\n";
    }
    out += "</tbody><tfoot><tr><td></td><th>all storeys</th>";
    for (long long t : totals)
        cell(out, t);
    cell(out, problems, true);
    out += "</tr></tfoot></table>\n";
}

// Every member drawn in the warning style, with why.
void appendProblems(std::string& out, int file, const plan::Plan& plan)
{
    std::string rows;
    long long count = 0;
    for (std::size_t i = 0; i < plan.storeys.size(); ++i)
        for (const plan::KindInfo& k : plan::kinds())
            for (const plan::Member& m : plan.storeys[i].members[static_cast<std::size_t>(k.kind)]) {
                if (m.problems.empty())
                    continue;
                ++count;
                rows += "<tr><td><a href=\"#" + storeyAnchor(file, i) + "\">";
                appendEscaped(rows, plan::storeyTitle(plan.storeys[i]));
                rows += "</a></td><td>";
                appendEscaped(rows, k.table);
                rows += "</td><td class=\"n\">" + std::to_string(m.key) + "</td><td>";
                for (std::size_t p = 0; p < m.problems.size(); ++p) {
                    rows += p ? "; " : "";
                    appendEscaped(rows, m.problems[p]);
                }
                rows += m.drawable() ? "" : "; not drawn: no stored node";
                rows += "</td></tr>\n";
            }
    out += "<h4 id=\"f" + std::to_string(file) + "-problems\">Members drawn in the warning style: " +
           std::to_string(count) + "</h4>\n";
    if (count > 0)
        out += "<table class=\"problems\"><thead><tr><th>storey</th><th>table</th><th class=\"n\">key</th>"
               "<th>why</th></tr></thead><tbody>\n" + rows + "</tbody></table>\n";
    if (!plan.axisProblems.empty()) {
        out += "<h4>Axes not drawn: " + std::to_string(plan.axisProblems.size()) + "</h4>\n<ul>";
        for (const std::string& p : plan.axisProblems) {
            out += "<li>";
            appendEscaped(out, p);
            out += "</li>";
        }
        out += "</ul>\n";
    }
}

// Per path of the plan (in pathGroups order), per member: its design
// values, problems and openings, or 0 when it has none.
Json storeyData(const plan::Storey& storey)
{
    Json groups = Json::array();
    for (const plan::PathGroup& g : plan::pathGroups(storey)) {
        Json members = Json::array();
        for (const plan::Member* m : g.members) {
            Json entry = Json::object();
            if (!m->design.empty())
                entry["d"] = m->design;
            if (!m->problems.empty())
                entry["p"] = m->problems;
            if (!m->openings.empty())
                entry["o"] = m->openings;
            members.push_back(entry.empty() ? Json(0) : entry);
        }
        groups.push_back(std::move(members));
    }
    return groups;
}

Json designFields(const plan::Plan& plan)
{
    Json fields = Json::object();
    for (const plan::KindInfo& k : plan::kinds())
        fields[k.table] = {{"design", k.design ? Json(k.design) : Json()},
                           {"fields", plan.designFields[static_cast<std::size_t>(k.kind)]}};
    return fields;
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
    out += "</details>\n<h3>Plans: " + std::to_string(plan.storeys.size()) +
           (plan.storeys.size() == 1 ? " storey" : " storeys") + "</h3>\n";
    if (plan.storeys.empty()) {
        out += "<p>The import stored no storey and no member.</p>\n</section>\n";
        return;
    }
    out += "<p class=\"hint\">Storeys in elevation order, as the import stored them, in the file's own "
           "coordinates. Point at a member for its table, key and design result; click a plan and scroll to zoom "
           "(or scroll with Ctrl), drag to pan, double-click or Fit to see it whole.</p>\n";
    plan::writeLegendSvg(out);
    out += "<details" + std::string(plan.storeys.size() <= 60 ? " open" : "") +
           "><summary>Members per storey</summary>\n";
    appendStoreyIndex(out, file, plan);
    out += "</details>\n";
    appendProblems(out, file, plan);
    out += "<script type=\"application/json\" class=\"plan-fields\">";
    appendScriptJson(out, designFields(plan));
    out += "</script>\n";
    for (std::size_t i = 0; i < plan.storeys.size(); ++i) {
        const plan::Storey& s = plan.storeys[i];
        out += "<section class=\"storey\" id=\"" + storeyAnchor(file, i) + "\">\n<h4";
        out += s.stored ? ">" : " class=\"warn-text\">";
        appendEscaped(out, std::to_string(i + 1) + ". " + plan::storeyTitle(s));
        std::string anchor = storeyAnchor(file, i);
        out += "<span class=\"storey-links\"><a class=\"not-alone\" href=\"#plan=" + anchor +
               "\">alone</a><a class=\"only-alone\" href=\"#" + anchor + "\">all storeys</a></span></h4>\n<div class=\"plan-box\"><div class=\"plan-tools\"><button type=\"button\" data-zoom=\"in\" "
               "title=\"Zoom in\">+</button><button type=\"button\" data-zoom=\"out\" title=\"Zoom out\">&#8722;"
               "</button><button type=\"button\" data-zoom=\"fit\" title=\"See it whole\">Fit</button></div>\n";
        plan::writeStoreySvg(out, plan, s, plan::SvgUse::Inline);
        out += "</div>\n<script type=\"application/json\" class=\"plan-data\">";
        appendScriptJson(out, storeyData(s));
        out += "</script>\n</section>\n";
    }
    out += "</section>\n";
}

std::string Page::html() const
{
    std::string page = "<!DOCTYPE html>\n" + std::string(kPageStart) +
                       "\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                       "<title>dictcheck report</title>\n<style>\n";
    page += kPageStyle;
    page += plan::screenStyles();
    page += "</style>\n</head>\n<body>\n<h1>dictcheck report</h1>\n";
    page += m_body;
    page += "<div id=\"tip\" role=\"tooltip\"></div>\n<script>\n";
    page += kPageScript;
    page += "</script>\n</body>\n</html>\n";
    return page;
}

bool writeSvgFiles(const std::string& dir, const std::string& prefix, const plan::Plan& plan, std::string& error)
{
    std::error_code code;
    std::filesystem::create_directories(dir, code);
    if (code) {
        error = "cannot create " + dir + ": " + code.message();
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
        plan::writeStoreySvg(svg, plan, plan.storeys[i], plan::SvgUse::Standalone);
        if (!commands::writeWhole(path, svg, error))
            return false;
    }
    return true;
}

} // namespace htmlreport
