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

void cell(std::string& out, long long n, const char* marked = nullptr)
{
    out += marked && n > 0 ? "<td class=\"n " + std::string(marked) + "\">" : std::string("<td class=\"n\">");
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
        out += "<tr><td class=\"n\">" + std::to_string(i + 1) + "</td><td><a href=\"#" + storeyAnchor(file, i) +
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

// Why a member is in its marked style: its problems (and whether it could
// be drawn at all), or what a comparison found changed.
void appendWhy(std::string& out, const plan::Member& m)
{
    if (m.style == plan::Style::Warning) {
        for (std::size_t p = 0; p < m.problems.size(); ++p) {
            out += p ? "; " : "";
            appendEscaped(out, m.problems[p]);
        }
        out += m.drawable() ? "" : "; not drawn: no stored node";
        return;
    }
    for (std::size_t c = 0; c < m.changes.size(); ++c) {
        out += c ? "<br>" : "";
        appendEscaped(out, m.changes[c]);
    }
}

// Every member in a marked style, with why, each linked to its plan.
void appendMarkedMembers(std::string& out, int file, const plan::Plan& plan)
{
    bool changes = plan.marking == plan::Marking::Changes;
    std::string rows;
    long long count = 0;
    for (std::size_t i = 0; i < plan.storeys.size(); ++i)
        for (const plan::KindInfo& k : plan::kinds())
            for (const plan::Member& m : plan.storeys[i].members[static_cast<std::size_t>(k.kind)]) {
                if (m.style == plan::Style::Normal)
                    continue;
                ++count;
                rows += "<tr><td><a href=\"#" + storeyAnchor(file, i) + "\">";
                appendEscaped(rows, plan::storeyTitle(plan.storeys[i]));
                rows += "</a></td><td>";
                appendEscaped(rows, k.table);
                rows += "</td><td class=\"n\">";
                appendEscaped(rows, m.shownKey.empty() ? std::to_string(m.key) : m.shownKey);
                if (changes)
                    rows += "</td><td class=\"" + textClass(m.style) + "\">" + plan::info(m.style).label;
                rows += "</td><td>";
                appendWhy(rows, m);
                rows += "</td></tr>\n";
            }
    std::string id = "f" + std::to_string(file) + (changes ? "-changes" : "-problems");
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

// Per path of the plan (in pathGroups order), per member: what its tooltip
// shows besides its table and key (design values, problems, openings, and
// from a comparison its style, its keys and what changed), or 0 for
// nothing.
Json storeyData(const plan::Storey& storey)
{
    Json groups = Json::array();
    for (const plan::PathGroup& g : plan::pathGroups(storey)) {
        Json members = Json::array();
        for (const plan::Member* m : g.members) {
            Json entry = Json::object();
            if (m->style != plan::Style::Normal && m->style != plan::Style::Warning)
                entry["s"] = plan::info(m->style).label;
            if (!m->shownKey.empty())
                entry["k"] = m->shownKey;
            if (!m->changes.empty())
                entry["c"] = m->changes;
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

std::string storeyAnchor(int file, std::size_t index)
{
    return "f" + std::to_string(file) + "-s" + std::to_string(index + 1);
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
    out += "</script>\n";
    for (std::size_t i = 0; i < plan.storeys.size(); ++i) {
        const plan::Storey& s = plan.storeys[i];
        std::string anchor = storeyAnchor(file, i);
        out += "<section class=\"storey\" id=\"" + anchor + "\">\n<h4";
        out += s.stored ? ">" : " class=\"warn-text\">";
        appendEscaped(out, std::to_string(i + 1) + ". " + plan::storeyTitle(s));
        out += "<span class=\"storey-links\"><a class=\"not-alone\" href=\"#plan=" + anchor +
               "\">alone</a><a class=\"only-alone\" href=\"#" + anchor +
               "\">all storeys</a></span></h4>\n<div class=\"plan-box\"><div class=\"plan-tools\"><button "
               "type=\"button\" data-zoom=\"in\" title=\"Zoom in\">+</button><button type=\"button\" "
               "data-zoom=\"out\" title=\"Zoom out\">&#8722;</button><button type=\"button\" data-zoom=\"fit\" "
               "title=\"See it whole\">Fit</button></div>\n";
        plan::writeStoreySvg(out, plan, s, plan::SvgUse::Inline);
        out += "</div>\n<script type=\"application/json\" class=\"plan-data\">";
        appendScriptJson(out, storeyData(s));
        out += "</script>\n</section>\n";
    }
}

} // namespace htmlreport
