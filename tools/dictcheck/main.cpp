// dictcheck: imports dictionary files as the plug-in does, into the
// stand-in store, and reports per file what it holds, what was stored and
// what was left out, and why.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "commands/Arguments.h"
#include "commands/OutputFile.h"
#include "commands/OutputTarget.h"
#include "hostsim/store/Store.h"
#include "plugin/CMBMBNReaderImpl.h"
#include "tools/dictcheck/FileReport.h"
#include "tools/dictcheck/FormatDoc.h"
#include "tools/htmlreport/PlanOutputs.h"

using dictcheck::FileReport;
using Json = nlohmann::ordered_json;
using commands::plural;

namespace {

// The value of the report's first member, "format", by which dictcheck
// knows a file it may overwrite as one of its own reports.
const char kReportFormat[] = "dictimport-report/1";

FileReport check(const std::string& path, std::size_t examples)
{
    hoststore::clearStore();
    dictcheck::FileObserver observer(path, examples);
    CMBMBNReaderImpl reader(&observer, RunFeedback{false, false});
    reader.importFile(path.c_str());
    return observer.finish();
}


void printText(std::FILE* out, const FileReport& report)
{
    if (!report.loaded && report.error.kind != document::LoadError::Kind::None) {
        std::fprintf(out, "%s: not loaded: the file %s\n", report.path.c_str(), report.errorMessage.c_str());
        return;
    }
    if (!report.noDictionary.empty()) {
        std::fprintf(out, "%s: loaded, but it holds no dictionary: %s; nothing was imported\n", report.path.c_str(),
                     report.noDictionary.c_str());
        return;
    }
    long long rows = 0, stored = 0;
    for (const auto& t : report.tables) {
        rows += t.rows;
        stored += t.stored;
    }
    long long warnings = report.warningCount();
    std::fprintf(out, "%s: %s; %lld of %lld %s stored; %lld %s\n", report.path.c_str(),
                 report.loaded ? "loaded" : report.errorMessage.c_str(), stored, rows, plural(rows, "row", "rows"),
                 warnings, plural(warnings, "warning", "warnings"));
    std::fprintf(out, "  %-8s %-20s %8s %8s %8s\n", "section", "table", "rows", "stored", "skipped");
    for (const auto& t : report.tables) {
        if (t.present)
            std::fprintf(out, "  %-8s %-20s %8lld %8lld %8lld\n", t.section.c_str(), t.name.c_str(), t.rows, t.stored,
                         t.rows - t.stored);
        else
            std::fprintf(out, "  %-8s %-20s %8s\n", t.section.c_str(), t.name.c_str(), "absent");
    }
    for (const auto& group : report.warnings) {
        std::fprintf(out, "  %s: %lld\n", group.title.c_str(), group.count);
        for (const auto& e : group.examples) {
            std::string row =
                e.rowLine > 0 && e.rowLine != e.line ? " (row at line " + std::to_string(e.rowLine) + ")" : "";
            std::fprintf(out, "    line %d%s%s%s: %s\n", e.line, row.c_str(), e.table.empty() ? "" : ", ",
                         e.table.c_str(), e.text.c_str());
        }
        if (group.count > static_cast<long long>(group.examples.size()))
            std::fprintf(out, "    ... and %lld more\n", group.count - static_cast<long long>(group.examples.size()));
    }
}

Json toJson(const FileReport& report)
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

// Writes the JSON report to the path ('-' for standard output); false, with
// the system's reason told, when it cannot be written.
bool writeJson(const std::string& path, const Json& json)
{
    std::string text = json.dump(2) + "\n";
    if (path == "-") {
        if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0)
            return true;
        std::fprintf(stderr, "dictcheck: writing standard output failed: %s\n", std::strerror(errno));
        return false;
    }
    // An earlier report stays as it was unless the new one is complete.
    commands::OutputFile file(path);
    if (!file.open()) {
        std::fprintf(stderr, "dictcheck: cannot write %s: %s\n", path.c_str(), file.error().c_str());
        return false;
    }
    if (std::fwrite(text.data(), 1, text.size(), file.stream()) != text.size()) {
        std::fprintf(stderr, "dictcheck: writing %s failed: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    if (!file.commit()) {
        std::fprintf(stderr, "dictcheck: writing %s failed: %s\n", path.c_str(), file.error().c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Imports each FILE as the plug-in does and reports, per file, the rows each of the " +
                     std::to_string(dictcheck::importedTableCount()) +
                     " tables holds and stores, and what the import left out or read otherwise than written. With "
                     "--format, describes the tables of the file format instead.",
                 "dictcheck"};
    app.allow_windows_style_options(false);
    app.set_version_flag("--version", std::string("dictcheck ") + DICTIMPORT_VERSION);
    app.footer("Exit status: 0 when every file loaded without warnings, 1 when a file had warnings or could not be "
               "loaded, or a report could not be written, 2 on bad arguments, a --json or --html target that is one "
               "of the FILEs, is an existing file that dictcheck did not write as such, or cannot be written, or a "
               "--svg-dir that cannot take files (nothing is checked then).");
    std::string jsonPath, htmlPath, svgDir;
    std::size_t examples = 3;
    bool format = false;
    std::vector<std::string> files;
    app.add_option("--json", jsonPath, "Also write the report as JSON to PATH ('-' for standard output)")
        ->option_text("PATH");
    app.add_option("--html", htmlPath,
                   "Also write the report as one self-contained HTML page to PATH, with a plan of every storey "
                   "drawn from what the import stored")
        ->option_text("PATH");
    app.add_option("--svg-dir", svgDir, "Also write each storey's plan as an SVG file into DIR (made when missing)")
        ->option_text("DIR");
    app.add_option("--examples", examples, "Places shown per kind of warning")
        ->type_name("N")
        ->check(CLI::Range(1, 1000000))
        ->capture_default_str();
    CLI::Option* formatFlag = app.add_flag(
        "--format", format,
        "Print the tables of the file format (elements, kinds, what a missing element does) as Markdown, "
        "from the readers' own field lists");
    app.add_option("FILE", files, "Dictionary files to check (required unless --format)")->excludes(formatFlag);
    if (int status = commands::parseArguments(app, argc, argv, "dictcheck"); status >= 0)
        return status;
    if (format) {
        if (!jsonPath.empty()) {
            std::fprintf(stderr, "dictcheck: --format takes no --json (see 'dictcheck --help')\n");
            return 2;
        }
        if (!htmlPath.empty() || !svgDir.empty()) {
            std::fprintf(stderr, "dictcheck: --format takes no --html or --svg-dir (see 'dictcheck --help')\n");
            return 2;
        }
        dictcheck::writeFormatTables(std::cout);
        return commands::standardOutputWritten("dictcheck") ? 0 : 1;
    }
    if (files.empty()) {
        std::fprintf(stderr, "dictcheck: FILE is required (see 'dictcheck --help')\n");
        return 2;
    }
    bool reportToFile = !jsonPath.empty() && jsonPath != "-";
    if (std::string refusal = reportToFile ? commands::refusedTarget("dictcheck", jsonPath, files, "report", kReportFormat,
                                                                                 {"{\n  \"files\": ["}) : "";
        !refusal.empty()) {
        std::fputs(refusal.c_str(), stderr);
        return 2;
    }
    if (reportToFile && !commands::writableTarget("dictcheck", jsonPath))
        return 2;
    htmlreport::PlanOutputs plans(htmlPath, svgDir);
    if (!plans.targetsAccepted(files, jsonPath))
        return 2;
    bool written = true;

    bool jsonToStdout = jsonPath == "-";
    std::FILE* text = jsonToStdout ? stderr : stdout;
    Json json = {{"format", kReportFormat}, {"files", Json::array()}};
    bool clean = true;
    for (const std::string& path : files) {
        FileReport report = check(path, examples);
        printText(text, report);
        clean = clean && report.loaded && report.noDictionary.empty() && report.warnings.empty();
        if (!jsonPath.empty())
            json["files"].push_back(toJson(report));
        if (plans.wanted())
            written = plans.addFile(report, toJson(report)) && written;
    }
    if (!jsonPath.empty() && !writeJson(jsonPath, json))
        return 1;
    if (!plans.finish() || !written)
        return 1;
    if (!commands::standardOutputWritten("dictcheck"))
        return 1;
    return clean ? 0 : 1;
}
