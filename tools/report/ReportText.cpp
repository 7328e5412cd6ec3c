#include "tools/report/ReportText.h"

#include "commands/Arguments.h"
#include "plugin/UserMessages.h"
#include "text/Format.h"

namespace dictcheck {

using Json = nlohmann::ordered_json;
using commands::plural;

bool isNote(const std::string& kind)
{
    return kind == "encoding" || kind == "section-name" || kind == "field-missing";
}

namespace {

long long storedRows(const FileReport& report)
{
    long long stored = 0;
    for (const auto& t : report.tables)
        stored += t.stored;
    return stored;
}

} // namespace

Verdict verdictOf(const FileReport& report)
{
    if (!report.loaded || !report.noDictionary.empty())
        return Verdict::NotImported;
    return lossesOf(report).any() ? Verdict::Incomplete : Verdict::Complete;
}

std::string verdictLine(const FileReport& report)
{
    std::string out;
    switch (verdictOf(report)) {
    case Verdict::NotImported:
        if (!report.noDictionary.empty())
            text::appendFormatted(out, "%s: not imported: it holds no dictionary: %s", report.path.c_str(),
                                  report.noDictionary.c_str());
        else
            text::appendFormatted(out, "%s: not imported: the file %s", report.path.c_str(),
                                  report.errorMessage.c_str());
        break;
    case Verdict::Incomplete:
    case Verdict::Complete:
        out = report.path + ": " + verdictInEnglish(lossesOf(report), storedRows(report));
        break;
    }
    return out;
}

std::string reportText(const FileReport& report)
{
    std::string out = verdictLine(report) + "\n";
    if (verdictOf(report) == Verdict::NotImported)
        return out;
    long long rows = 0, unreadRows = 0, notes = 0;
    for (const auto& t : report.tables)
        rows += t.rows;
    for (const auto& u : report.unread)
        unreadRows += u.rows;
    for (const auto& group : report.warnings)
        notes += isNote(group.kind) ? group.count : 0;
    long long stored = storedRows(report), warnings = report.warningCount();
    text::appendFormatted(out, "  %lld of %lld %s stored", stored, rows + unreadRows, plural(rows + unreadRows, "row", "rows"));
    if (unreadRows > 0)
        text::appendFormatted(out, " (%lld in tables not read)", unreadRows);
    text::appendFormatted(out, "; %lld %s", warnings, plural(warnings, "warning", "warnings"));
    if (notes > 0)
        text::appendFormatted(out, ", %lld of them %s (no loss)", notes, plural(notes, "a note", "notes"));
    out += "\n";
    for (const auto& group : report.warnings) {
        text::appendFormatted(out, "  %s%s: %lld\n", isNote(group.kind) ? "note: " : "", group.title.c_str(),
                              group.count);
        for (const auto& e : group.examples) {
            std::string row =
                e.rowLine > 0 && e.rowLine != e.line ? " (row at line " + std::to_string(e.rowLine) + ")" : "";
            text::appendFormatted(out, "    line %d%s%s%s: %s\n", e.line, row.c_str(), e.table.empty() ? "" : ", ",
                                  e.table.c_str(), e.text.c_str());
        }
        if (group.count > static_cast<long long>(group.examples.size()))
            text::appendFormatted(out, "    ... and %lld more\n",
                                  group.count - static_cast<long long>(group.examples.size()));
    }
    text::appendFormatted(out, "  %-8s %-20s %8s %8s %8s\n", "section", "table", "rows", "stored", "skipped");
    for (const auto& t : report.tables) {
        if (t.present)
            text::appendFormatted(out, "  %-8s %-20s %8lld %8lld %8lld\n", t.section.c_str(), t.name.c_str(), t.rows,
                                  t.stored, t.rows - t.stored);
        else
            text::appendFormatted(out, "  %-8s %-20s %8s\n", t.section.c_str(), t.name.c_str(), "absent");
    }
    // Tables no reader reads, as the file names them: all their rows lost.
    for (const auto& u : report.unread)
        text::appendFormatted(out, "  %-8s %-20s %8lld %8d %8lld  not read\n", u.section == 0 ? "model" : "design",
                              ("\"" + u.table + "\"").c_str(), u.rows, 0, u.rows);
    return out;
}

Json reportJson(const FileReport& report)
{
    Json file;
    file["path"] = report.path;
    static const char* const kVerdicts[] = {"complete", "incomplete", "not imported"};
    file["verdict"] = kVerdicts[static_cast<int>(verdictOf(report))];
    file["summary"] = verdictLine(report);
    file["loaded"] = report.loaded;
    file["bytes_not_utf8"] = report.bytesNotUtf8;
    if (!report.errorMessage.empty())
        file["error"] = {{"message", report.errorMessage}, {"row", report.error.row}, {"col", report.error.column}};
    else if (!report.noDictionary.empty())
        file["error"] = {{"message", "holds no dictionary: " + report.noDictionary}, {"row", 0}, {"col", 0}};
    else
        file["error"] = nullptr;
    for (const char* section : {"model", "design"}) {
        Json& tables = file[section] = Json::object();
        for (const auto& t : report.tables)
            if (t.section == section)
                tables[t.name] = {{"present", t.present}, {"rows", t.rows}, {"stored", t.stored}};
    }
    file["unread"] = Json::array();
    for (const auto& u : report.unread)
        file["unread"].push_back({{"section", u.section},
                                  {"table", u.table},
                                  {"nearest", u.nearest.empty() ? Json() : Json(u.nearest)},
                                  {"rows", u.rows},
                                  {"line", u.line}});
    file["warnings"] = Json::array();
    for (const auto& group : report.warnings) {
        Json examples = Json::array();
        for (const auto& e : group.examples)
            examples.push_back({{"line", e.line},
                                {"row", e.rowLine > 0 ? Json(e.rowLine) : Json()},
                                {"table", e.table},
                                {"text", e.text}});
        file["warnings"].push_back(
            {{"kind", group.kind}, {"title", group.title}, {"count", group.count}, {"examples", examples}});
    }
    return file;
}

} // namespace dictcheck
