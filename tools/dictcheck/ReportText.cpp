#include "tools/dictcheck/ReportText.h"

#include "commands/Arguments.h"
#include "text/Format.h"

namespace dictcheck {

using Json = nlohmann::ordered_json;
using commands::plural;

std::string reportText(const FileReport& report)
{
    std::string out;
    if (!report.loaded && report.error.kind != document::LoadError::Kind::None) {
        text::appendFormatted(out, "%s: not loaded: the file %s\n", report.path.c_str(), report.errorMessage.c_str());
        return out;
    }
    if (!report.noDictionary.empty()) {
        text::appendFormatted(out, "%s: loaded, but it holds no dictionary: %s; nothing was imported\n", report.path.c_str(),
                     report.noDictionary.c_str());
        return out;
    }
    long long rows = 0, stored = 0;
    for (const auto& t : report.tables) {
        rows += t.rows;
        stored += t.stored;
    }
    long long warnings = report.warningCount();
    text::appendFormatted(out, "%s: %s; %lld of %lld %s stored; %lld %s\n", report.path.c_str(),
                 report.loaded ? "loaded" : report.errorMessage.c_str(), stored, rows, plural(rows, "row", "rows"),
                 warnings, plural(warnings, "warning", "warnings"));
    text::appendFormatted(out, "  %-8s %-20s %8s %8s %8s\n", "section", "table", "rows", "stored", "skipped");
    for (const auto& t : report.tables) {
        if (t.present)
            text::appendFormatted(out, "  %-8s %-20s %8lld %8lld %8lld\n", t.section.c_str(), t.name.c_str(), t.rows, t.stored,
                         t.rows - t.stored);
        else
            text::appendFormatted(out, "  %-8s %-20s %8s\n", t.section.c_str(), t.name.c_str(), "absent");
    }
    for (const auto& group : report.warnings) {
        text::appendFormatted(out, "  %s: %lld\n", group.title.c_str(), group.count);
        for (const auto& e : group.examples) {
            std::string row =
                e.rowLine > 0 && e.rowLine != e.line ? " (row at line " + std::to_string(e.rowLine) + ")" : "";
            text::appendFormatted(out, "    line %d%s%s%s: %s\n", e.line, row.c_str(), e.table.empty() ? "" : ", ",
                         e.table.c_str(), e.text.c_str());
        }
        if (group.count > static_cast<long long>(group.examples.size()))
            text::appendFormatted(out, "    ... and %lld more\n", group.count - static_cast<long long>(group.examples.size()));
    }
    return out;
}

Json reportJson(const FileReport& report)
{
    Json file;
    file["path"] = report.path;
    file["loaded"] = report.loaded;
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
