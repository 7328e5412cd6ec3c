#include "tools/dictdiff/ComparisonPage.h"

#include <unordered_set>

#include "tools/dictdiff/PlanChanges.h"
#include "tools/htmlreport/PlanSection.h"
#include "tools/plan/Markup.h"
#include "tools/plan/PlanSvg.h"

namespace dictdiff {

namespace {

using plan::appendEscaped;

// The part of the page the plans are in: the only one.
const int kPart = 1;

plan::Style styleOf(Change change)
{
    switch (change) {
    case Change::Added: return plan::Style::Added;
    case Change::Removed: return plan::Style::Removed;
    case Change::Changed: return plan::Style::Changed;
    }
    return plan::Style::Normal;
}

// A count, in the colour of its change when there is any.
void countCell(std::string& out, long long n, plan::Style style = plan::Style::Normal)
{
    out += "<td class=\"n";
    if (n > 0 && style != plan::Style::Normal)
        out += std::string(" ") + plan::info(style).css + "-text";
    out += "\">" + std::to_string(n) + "</td>";
}

// The tables the text summary lists, with their counts.
void appendTables(std::string& out, const Comparison& c)
{
    bool geometry = c.options.match == Match::Geometry;
    std::string rows;
    for (const TableComparison& t : c.tables) {
        if (!listed(t, c.options.match))
            continue;
        rows += std::string("<tr><td>") + t.section + "</td><td>" + t.name + "</td>";
        countCell(rows, t.oldRecords);
        countCell(rows, t.newRecords);
        countCell(rows, t.added, plan::Style::Added);
        countCell(rows, t.removed, plan::Style::Removed);
        countCell(rows, t.changed, plan::Style::Changed);
        if (geometry) {
            countCell(rows, t.rekeyed);
            rows += std::string("<td>") + t.pairedBy + "</td>";
        }
        rows += "<td class=\"warn-text\">";
        if (!t.notRead.empty())
            appendEscaped(rows, notReadText(t));
        rows += "</td></tr>\n";
    }
    if (!rows.empty())
        out += "<table class=\"tables\"><thead><tr><th>section</th><th>table</th><th class=\"n\">old</th><th "
               "class=\"n\">new</th><th class=\"n\">added</th><th class=\"n\">removed</th><th "
               "class=\"n\">changed</th>" +
               std::string(geometry ? "<th class=\"n\">rekeyed</th><th>paired by</th>" : "") +
               "<th></th></tr></thead><tbody>\n" + rows + "</tbody></table>\n";
    out += "<p>";
    appendEscaped(out, sameTablesLine(totals(c), !rows.empty()));
    out += "</p>\n";
}

// Every change, by storey as the text summary lists them, each storey's
// heading linked to its plan, the row of each record the plan's members
// link to (plan::RecordNote) the target of those links.
void appendChanges(std::string& out, const Comparison& c, const plan::Plan& plan)
{
    std::unordered_set<std::string> linked;
    for (const plan::RecordNote& note : plan.records)
        linked.insert(note.anchor);
    std::vector<StoreyChanges> groups = changesByStorey(c);
    std::size_t count = 0;
    for (const StoreyChanges& g : groups)
        count += g.records.size();
    out += "<h3>Changes: " + std::to_string(count) + (count == 1 ? " record" : " records") + "</h3>\n";
    if (count == 0)
        return;
    out += std::string("<details") + (count <= 2000 ? " open" : "") + "><summary>By storey and table</summary>\n";
    for (const StoreyChanges& g : groups) {
        out += "<h4>";
        if (g.storey >= 0) {
            out += "<a href=\"#" + htmlreport::storeyAnchor(kPart, static_cast<std::size_t>(g.storey)) + "\">";
            appendEscaped(out, storeyLabel(c.storeys[static_cast<std::size_t>(g.storey)]));
            out += "</a>";
        } else {
            out += "no storey";
        }
        out += "</h4>\n<table class=\"records\"><thead><tr><th>table</th><th class=\"n\">key</th><th>change</th>"
               "<th>what differs</th></tr></thead><tbody>\n";
        for (const auto& [t, r] : g.records) {
            std::string anchor = changeAnchor(*t, *r);
            out += linked.count(anchor) ? "<tr id=\"" + htmlreport::partAnchor(kPart, anchor) + "\">" : "<tr>";
            out += std::string("<td>") + t->name + "</td><td class=\"n\">" + keysText(*r) + "</td><td class=\"" +
                   plan::info(styleOf(r->change)).css + "-text\">";
            appendEscaped(out, changeText(*r));
            out += "</td><td>";
            for (std::size_t i = 0; i < r->members.size(); ++i) {
                out += i ? "<br>" : "";
                appendEscaped(out, memberText(r->members[i]));
            }
            out += "</td></tr>\n";
        }
        out += "</tbody></table>\n";
    }
    out += "</details>\n";
}

// The colours of the changes' words and counts, those of their plans.
std::string changeStyles()
{
    std::string css;
    for (plan::Style style : plan::markedStyles(plan::Marking::Changes))
        css += std::string(".") + plan::info(style).css + "-text { color: " + plan::info(style).stroke +
               "; font-weight: bold; }\n";
    return css;
}

} // namespace

std::string comparisonPage(const Comparison& c, const Files& files, const plan::Plan& plan)
{
    std::string body = "<section class=\"file\" id=\"f" + std::to_string(kPart) + "\">\n<h2>";
    appendEscaped(body, files.older + " -> " + files.newer);
    body += "</h2>\n";
    // Each import's verdict first: what an import lost is no change.
    for (const auto& [side, path, verdict] : {std::tuple{"old", &files.older, &files.olderVerdict},
                                              std::tuple{"new", &files.newer, &files.newerVerdict}}) {
        if (verdict->line.empty())
            continue;
        body += std::string("<p class=\"verdict ") + (verdict->verdict == "complete" ? "complete" : "incomplete") +
                "\">";
        appendEscaped(body, std::string(side) + ": " + *path + ": " + verdict->line);
        body += "</p>\n";
    }
    for (const std::string& note : files.notes) {
        body += "<p class=\"hint\">Note: ";
        appendEscaped(body, note);
        body += "</p>\n";
    }
    body += "<p class=\"summary\">";
    appendEscaped(body, headline(c, files));
    body += "<br>";
    appendEscaped(body, totalsLine(totals(c)));
    if (std::string hint = geometryHint(c); !hint.empty()) {
        body += "<br>";
        appendEscaped(body, hint);
    }
    body += "</p>\n";
    appendTables(body, c);
    appendChanges(body, c, plan);
    htmlreport::appendPlans(
        body, kPart, plan,
        {"Storeys in elevation order, drawn from NEW in the file's own coordinates: members added in NEW in green, "
         "changed in amber (their record, their design row, or an element or node they are drawn through differs), "
         "removed in red and dashed, drawn from OLD on the storey they were on; the others as they are. Point at a "
         "member for its table, key, what changed and its design result; click a plan and scroll to zoom (or scroll "
         "with Ctrl), drag to pan, double-click or Fit to see it whole.",
         "Neither import stored a storey or a member."});
    body += "</section>\n";
    return htmlreport::pageHtml(kComparisonPageStart, "dictdiff comparison", plan::Marking::Changes, changeStyles(),
                                body);
}

} // namespace dictdiff
