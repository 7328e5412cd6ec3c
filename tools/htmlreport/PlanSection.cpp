#include "tools/htmlreport/PlanSection.h"

#include <nlohmann/json.hpp>

#include "json/JsonText.h"
#include "tools/htmlreport/PageAssets.h"
#include "tools/plan/Markup.h"
#include "tools/plan/PlanSvg.h"

namespace htmlreport {

using Json = nlohmann::ordered_json;
using plan::appendEscaped;

namespace {

void appendScriptJson(std::string& out, const Json& json)
{
    for (char c : jsontext::jsonText(json)) {
        if (c == '<')
            out += "\\u003c";
        else
            out += c;
    }
}

// The class of a count or a word in a marked style's colour.
std::string textClass(plan::Style style)
{
    return std::string(plan::info(style).css) + "-text";
}

// A count of the table of storeys, which right-aligns every cell but the
// storey's (page.css).
void cell(std::string& out, long long n, const char* marked = nullptr)
{
    out += marked && n > 0 ? "<td class=\"" + std::string(marked) + "\">" : std::string("<td>");
    out += std::to_string(n);
    out += "</td>";
}

// One row per storey: what its plan draws of each kind, and how many of
// them in each marked style.
void appendStoreyIndex(std::string& out, int file, const plan::Plan& plan)
{
    const std::vector<plan::Style>& marked = plan::markedStyles(plan.marking);
    out += "<table class=\"storeys\"><thead><tr><th>#</th><th>storey</th>";
    for (const plan::KindInfo& k : plan::kinds()) {
        out += "<th class=\"n\">";
        appendEscaped(out, k.table);
        out += "</th>";
    }
    for (plan::Style style : marked)
        out += "<th class=\"n\">" + std::string(plan::info(style).label) + "</th>";
    out += "</tr></thead><tbody>\n";
    std::array<long long, plan::kKindCount> totals{};
    std::vector<long long> styled(marked.size());
    for (std::size_t i = 0; i < plan.storeys.size(); ++i) {
        const plan::Storey& s = plan.storeys[i];
        out += "<tr><td>" + std::to_string(i + 1) + "</td><td><a href=\"#" + storeyAnchor(file, i) +
               "\"" + (s.stored ? "" : " class=\"warn-text\"") + ">";
        appendEscaped(out, plan::storeyTitle(s));
        out += "</a></td>";
        for (std::size_t k = 0; k < plan::kKindCount; ++k) {
            cell(out, static_cast<long long>(s.members[k].size()));
            totals[k] += static_cast<long long>(s.members[k].size());
        }
        for (std::size_t m = 0; m < marked.size(); ++m) {
            long long n = static_cast<long long>(s.count(marked[m]));
            cell(out, n, textClass(marked[m]).c_str());
            styled[m] += n;
        }
        out += "</tr>\n";
    }
    out += "</tbody><tfoot><tr><td></td><th>all storeys</th>";
    for (long long t : totals)
        cell(out, t);
    for (std::size_t m = 0; m < marked.size(); ++m)
        cell(out, styled[m], textClass(marked[m]).c_str());
    out += "</tr></tfoot></table>\n";
}

// How many reasons a member's row in the list of marked members gives,
// and how long its storey's title may be there: the list repeats them for
// every member, so each row has a bounded size, whatever the file holds.
// The tooltip tells every reason.
const std::size_t kReasonsListed = 20;
const std::size_t kTitleListed = 160;
const char kMoreReasons[] = "and more: point at it in its plan";

// Why a member is in its marked style: its problems (and whether it could
// be drawn at all), or a link to each record whose change it shows.
void appendWhy(std::string& out, int file, const plan::Plan& plan, const plan::Member& m)
{
    bool more = false;
    if (m.style == plan::Style::Warning) {
        std::vector<std::string> problems = plan::problemTexts(plan, m, kReasonsListed, more);
        for (std::size_t p = 0; p < problems.size(); ++p) {
            out += p ? "; " : "";
            appendEscaped(out, problems[p]);
        }
        out += more ? std::string("; ") + kMoreReasons : "";
        out += plan.drawable(m) ? "" : "; not drawn: no stored node";
        return;
    }
    std::vector<std::size_t> records = plan::changedRecords(plan, m, kReasonsListed, more);
    for (std::size_t i = 0; i < records.size(); ++i) {
        const plan::RecordNote& note = plan.records[records[i]];
        out += i ? "<br>" : "";
        if (!note.anchor.empty())
            out += "<a href=\"#" + partAnchor(file, note.anchor) + "\">";
        appendEscaped(out, note.name + ": " + note.change);
        out += note.anchor.empty() ? "" : "</a>";
    }
    out += more ? std::string("<br>") + kMoreReasons : "";
}

// Every member in a marked style, with why, each linked to its plan.
void appendMarkedMembers(std::string& out, int file, const plan::Plan& plan)
{
    bool changes = plan.marking == plan::Marking::Changes;
    std::string rows;
    long long count = 0;
    for (std::size_t i = 0; i < plan.storeys.size(); ++i) {
        std::string storey;
        for (const plan::KindInfo& k : plan::kinds())
            for (const plan::Member& m : plan.storeys[i].members[static_cast<std::size_t>(k.kind)]) {
                if (m.style == plan::Style::Normal)
                    continue;
                if (storey.empty()) {
                    storey = "<tr><td><a href=\"#" + storeyAnchor(file, i) + "\">";
                    appendEscaped(storey, plan::shortened(plan::storeyTitle(plan.storeys[i]), kTitleListed));
                    storey += "</a></td><td>";
                }
                ++count;
                rows += storey;
                appendEscaped(rows, k.table);
                rows += "</td><td class=\"n\">";
                appendEscaped(rows, m.shownKey.empty() ? std::to_string(m.key) : m.shownKey);
                if (changes)
                    rows += "</td><td class=\"" + textClass(m.style) + "\">" + plan::info(m.style).label;
                rows += "</td><td>";
                appendWhy(rows, file, plan, m);
                rows += "</td></tr>\n";
            }
    }
    std::string id = partAnchor(file, changes ? "changes" : "problems");
    out += "<h4 id=\"" + id + "\">" + (changes ? "Members added, changed or removed: " : "Members drawn in the warning style: ") +
           std::to_string(count) + "</h4>\n";
    if (count > 0)
        out += std::string("<table class=\"") + (changes ? "changes" : "problems") +
               "\"><thead><tr><th>storey</th><th>table</th><th class=\"n\">key</th>" +
               (changes ? "<th>change</th><th>what changed</th>" : "<th>why</th>") + "</tr></thead><tbody>\n" + rows +
               "</tbody></table>\n";
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

// An element's changes, those of its record and its nodes.
bool hasChanges(const plan::Element& e)
{
    return e.change || !e.nodeChanges.empty();
}

// Per path of the plan (in pathGroups order; none, and no data, for a plan
// without members), per member: what its tooltip
// shows besides its table and key, or 0 for nothing: its style, its keys
// and what changed (a comparison's), design values, problems and
// openings. What members share is told once in the part's lookup
// (lookupData) and referred to by its place there: the records whose
// change a member shows ("r" its own, "c" its design rows', "n" its own
// nodes'), the elements it is drawn through that changed ("e"), and among
// its problems (texts), the elements whose problems are its own too.
Json storeyData(const plan::Plan& plan, const plan::Storey& storey)
{
    Json groups = Json::array();
    for (const plan::PathGroup& g : plan::pathGroups(plan, storey)) {
        Json members = Json::array();
        for (const plan::Member* m : g.members) {
            Json entry = Json::object();
            if (m->style != plan::Style::Normal && m->style != plan::Style::Warning)
                entry["s"] = plan::info(m->style).label;
            if (!m->shownKey.empty())
                entry["k"] = m->shownKey;
            if (m->change)
                entry["r"] = *m->change;
            if (!m->designChanges.empty())
                entry["c"] = m->designChanges;
            Json changedElements = Json::array();
            for (std::size_t e : m->through)
                if (hasChanges(plan.elements[e]))
                    changedElements.push_back(e);
            if (!changedElements.empty())
                entry["e"] = std::move(changedElements);
            if (!m->nodeChanges.empty())
                entry["n"] = m->nodeChanges;
            if (!m->design.empty())
                entry["d"] = m->design;
            if (!m->problems.empty()) {
                Json problems = Json::array();
                for (const plan::Problem& p : m->problems)
                    problems.push_back(p.element ? Json(*p.element) : Json(p.text));
                entry["p"] = std::move(problems);
            }
            if (!m->openings.empty())
                entry["o"] = m->openings;
            members.push_back(entry.empty() ? Json(0) : entry);
        }
        groups.push_back(std::move(members));
    }
    return groups;
}

// What the members of a part share, each told once: the records a
// comparison found changed ([name, what happened when told on a line of
// its own or "", each member that differs...]), and by their place in the
// plan, the elements with problems or changes.
Json lookupData(const plan::Plan& plan)
{
    Json records = Json::array();
    for (const plan::RecordNote& note : plan.records) {
        Json entry = Json::array({note.name, note.headline ? note.change : ""});
        for (const std::string& member : note.members)
            entry.push_back(member);
        records.push_back(std::move(entry));
    }
    Json elements = Json::object();
    for (std::size_t i = 0; i < plan.elements.size(); ++i) {
        const plan::Element& e = plan.elements[i];
        Json entry = Json::object();
        if (!e.problems.empty())
            entry["p"] = e.problems;
        if (e.change)
            entry["r"] = *e.change;
        if (!e.nodeChanges.empty())
            entry["n"] = e.nodeChanges;
        if (!entry.empty())
            elements[std::to_string(i)] = std::move(entry);
    }
    return {{"records", std::move(records)}, {"elements", std::move(elements)}};
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

std::string partAnchor(int file, const std::string& id)
{
    return "f" + std::to_string(file) + "-" + id;
}

std::string storeyAnchor(int file, std::size_t index)
{
    return partAnchor(file, "s" + std::to_string(index + 1));
}

std::string pageHtml(const std::string& marker, const std::string& title, plan::Marking marking,
                     const std::string& styles, const std::string& body)
{
    std::string page = "<!DOCTYPE html>\n" + marker +
                       "\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
    appendEscaped(page, title);
    page += "</title>\n<style>\n";
    page += kPageStyle;
    page += plan::screenStyles(marking);
    page += styles;
    page += "</style>\n</head>\n<body>\n<h1>";
    appendEscaped(page, title);
    page += "</h1>\n";
    page += body;
    page += "<div id=\"tip\" role=\"tooltip\"></div>\n<script>\n";
    page += kPageScript;
    page += "</script>\n</body>\n</html>\n";
    return page;
}

void appendPlans(std::string& out, int file, const plan::Plan& plan, const PlanTexts& texts)
{
    out += "<h3>Plans: " + std::to_string(plan.storeys.size()) + (plan.storeys.size() == 1 ? " storey" : " storeys") +
           "</h3>\n";
    if (plan.storeys.empty()) {
        out += "<p>" + texts.none + "</p>\n";
        return;
    }
    out += "<p class=\"hint\">" + texts.hint + "</p>\n";
    plan::writeLegendSvg(out, plan.marking);
    out += "<details" + std::string(plan.storeys.size() <= 60 ? " open" : "") +
           "><summary>Members per storey</summary>\n";
    appendStoreyIndex(out, file, plan);
    out += "</details>\n";
    appendMarkedMembers(out, file, plan);
    out += "<script type=\"application/json\" class=\"plan-fields\">";
    appendScriptJson(out, designFields(plan));
    out += "</script>\n<script type=\"application/json\" class=\"plan-lookup\">";
    appendScriptJson(out, lookupData(plan));
    out += "</script>\n";
    plan::PlanDrawing drawing(plan, plan::SvgUse::Inline, partAnchor(file, ""));
    drawing.writeShared(out);
    for (std::size_t i = 0; i < plan.storeys.size(); ++i) {
        const plan::Storey& s = plan.storeys[i];
        std::string anchor = storeyAnchor(file, i);
        out += "<section class=\"storey\" id=\"" + anchor + "\">\n<h4";
        out += s.stored ? ">" : " class=\"warn-text\">";
        appendEscaped(out, std::to_string(i + 1) + ". " + plan::storeyTitle(s));
        out += "</h4>\n<div class=\"plan-box\">\n";
        drawing.writeStorey(out, s);
        out += "</div>\n";
        Json data = storeyData(plan, s);
        if (!data.empty()) {
            out += "<script type=\"application/json\" class=\"plan-data\">";
            appendScriptJson(out, data);
            out += "</script>\n";
        }
        out += "</section>\n";
    }
}

} // namespace htmlreport
