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
#include "commands/Console.h"
#include "commands/OutputFile.h"
#include "commands/OutputTarget.h"
#include "commands/ProgressLine.h"
#include "hostsim/store/Store.h"
#include "json/JsonText.h"
#include "plugin/CMBMBNReaderImpl.h"
#include "tools/report/FileReport.h"
#include "tools/report/ReportText.h"
#include "tools/dictcheck/FormatDoc.h"
#include "tools/htmlreport/PlanOutputs.h"

using dictcheck::FileReport;
using Json = nlohmann::ordered_json;

namespace {

// The value of the report's first member, "format", by which dictcheck
// knows a file it may overwrite as one of its own reports.
const char kReportFormat[] = "dictimport-report/1";

FileReport check(const std::string& path, std::size_t examples, commands::ProgressLine& progress)
{
    hoststore::clearStore();
    dictcheck::FileObserver observer(path, examples);
    CMBMBNReaderImpl reader(&observer,
                            RunFeedback{false, false, [&](int step, int count) { progress.importStep(step, count); }});
    reader.importFile(path.c_str());
    return observer.finish();
}


// Writes the JSON report to the path ('-' for standard output); false, with
// the system's reason told, when it cannot be written.
bool writeJson(const std::string& path, const Json& json)
{
    std::string text = jsontext::jsonText(json, 2) + "\n";
    if (path == "-") {
        if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0)
            return true;
        commands::print(stderr, "dictcheck: writing standard output failed: %s\n", std::strerror(errno));
        return false;
    }
    // An earlier report stays as it was unless the new one is complete.
    std::string error;
    if (commands::writeWhole(path, text, error))
        return true;
    commands::print(stderr, "dictcheck: %s\n", error.c_str());
    return false;
}

// What a report says of a file it could not finish: the check ran out of
// memory or met an error outside the import, which catches its own.
FileReport unfinished(const std::string& path, const char* why)
{
    FileReport report;
    report.path = path;
    report.loaded = false;
    report.error.kind = document::LoadError::Kind::CannotRead;
    report.errorMessage = std::string("could not be checked: ") + why;
    return report;
}

// Runs `step`; an exception it throws is told on standard error as what
// failed and gives false, so that the other outputs and files go on.
template <class Step>
bool survived(const char* what, Step&& step)
{
    try {
        return step();
    } catch (const std::bad_alloc&) {
        commands::print(stderr, "dictcheck: %s failed: out of memory\n", what);
    } catch (const std::exception& e) {
        commands::print(stderr, "dictcheck: %s failed: %s\n", what, e.what());
    }
    return false;
}

int run(int argc, char** argv);

} // namespace

int main(int argc, char** argv)
{
    return commands::guarded("dictcheck", 1, [&] { return run(argc, argv); });
}

namespace {

// The command line: the files to check, the outputs asked for, and
// whether to describe the format instead.
struct Arguments {
    std::string jsonPath, htmlPath, svgDir;
    std::size_t examples = 3;
    bool format = false;
    std::vector<std::string> files;
};

// Reads the command line into `args`: -1 to go on, else the exit status
// (--help, --version, or a bad argument, said on standard error).
int readOptions(int argc, char** argv, Arguments& args)
{
    CLI::App app{"Imports each FILE as the plug-in does and reports, per file, the rows each of the " +
                     std::to_string(dictcheck::importedTableCount()) +
                     " tables holds and stores, and what the import left out or read otherwise than written. With "
                     "--format, describes the tables of the file format instead.",
                 "dictcheck"};
    app.allow_windows_style_options(false);
    app.set_version_flag("--version", std::string("dictcheck ") + DICTIMPORT_VERSION);
    app.footer("Exit status: 0 when every file imports complete (notes, such as an absent field or a declared "
               "encoding, are no loss); 1 when an import of a file leaves out or alters something it holds, or the "
               "file cannot be imported; 2 on bad arguments, a refused --json, --html or --svg-dir target (nothing "
               "is checked then), or an output that could not be written.");
    app.add_option("--json", args.jsonPath, "Also write the report as JSON to PATH ('-' for standard output)")
        ->option_text("PATH");
    app.add_option("--html", args.htmlPath,
                   "Also write the report as one self-contained HTML page to PATH, with a plan of every storey "
                   "drawn from what the import stored")
        ->option_text("PATH");
    app.add_option("--svg-dir", args.svgDir,
                   "Also write each storey's plan as an SVG file into DIR (made when missing)")
        ->option_text("DIR");
    app.add_option("--examples", args.examples, "Places shown per kind of warning")
        ->type_name("N")
        ->check(CLI::Range(1, 1000000))
        ->capture_default_str();
    CLI::Option* formatFlag = app.add_flag(
        "--format", args.format,
        "Print the tables of the file format (elements, kinds, what a missing element does) as Markdown, "
        "from the readers' own field lists");
    app.add_option("FILE", args.files, "Dictionary files to check (required unless --format)")->excludes(formatFlag);
    return commands::parseArguments(app, argc, argv, "dictcheck");
}

// --format: prints the tables of the file format, which takes no output
// option; the exit status.
int writeFormat(const Arguments& args)
{
    if (!args.jsonPath.empty()) {
        commands::print(stderr, "dictcheck: --format takes no --json (see 'dictcheck --help')\n");
        return 2;
    }
    if (!args.htmlPath.empty() || !args.svgDir.empty()) {
        commands::print(stderr, "dictcheck: --format takes no --html or --svg-dir (see 'dictcheck --help')\n");
        return 2;
    }
    dictcheck::writeFormatTables(std::cout);
    return commands::standardOutputWritten("dictcheck") ? 0 : 2;
}

// Whether there are files to check and the JSON report may be written
// where asked; false after saying why not.
bool checkTargets(const Arguments& args)
{
    if (args.files.empty()) {
        commands::print(stderr, "dictcheck: FILE is required (see 'dictcheck --help')\n");
        return false;
    }
    const std::string& jsonPath = args.jsonPath;
    bool reportToFile = !jsonPath.empty() && jsonPath != "-";
    if (std::string refusal = reportToFile ? commands::refusedTarget("dictcheck", jsonPath, args.files, "report",
                                                                     kReportFormat, {"{\n  \"files\": ["})
                                           : "";
        !refusal.empty()) {
        commands::put(stderr, refusal);
        return false;
    }
    return !reportToFile || commands::writableTarget("dictcheck", jsonPath);
}

// What checking the files came to: the JSON report, whether it holds
// every file (a report that lost a file's part is not written: it would
// tell of fewer files than were checked), whether every file imported
// complete, and whether the plans were written.
struct Checked {
    Json json;
    bool jsonWhole = false;
    bool clean = true;
    bool planned = true;
};

// Checks each file in turn: its report told on standard output (standard
// error when the JSON goes there), added to the JSON and drawn as plans.
Checked checkFiles(const Arguments& args, htmlreport::PlanOutputs& plans)
{
    std::FILE* text = args.jsonPath == "-" ? stderr : stdout;
    Checked checked;
    checked.json = {{"format", kReportFormat}, {"files", Json::array()}};
    checked.jsonWhole = !args.jsonPath.empty();
    // On a terminal, a line of progress for files that take a while.
    commands::ProgressLine progress("dictcheck");
    for (const std::string& path : args.files) {
        FileReport report;
        progress.begin(path);
        try {
            report = check(path, args.examples, progress);
        } catch (const std::bad_alloc&) {
            report = unfinished(path, "out of memory");
        } catch (const std::exception& e) {
            report = unfinished(path, e.what());
        }
        progress.clear();
        commands::put(text, dictcheck::reportText(report));
        checked.clean = checked.clean && dictcheck::verdictOf(report) == dictcheck::Verdict::Complete;
        if (checked.jsonWhole)
            checked.jsonWhole = survived("the JSON report", [&] {
                checked.json["files"].push_back(dictcheck::reportJson(report));
                return true;
            });
        if (plans.wanted()) {
            progress.stage("drawing plans");
            checked.planned = plans.addFile(report, dictcheck::reportJson(report)) && checked.planned;
        }
        progress.end();
    }
    return checked;
}

// Writes the JSON report and the plans, each on its own: one that fails
// loses no other. False when any failed.
bool writeOutputs(const Arguments& args, const Checked& checked, htmlreport::PlanOutputs& plans)
{
    bool written = checked.planned;
    if (!args.jsonPath.empty())
        written = checked.jsonWhole &&
                  survived("the JSON report", [&] { return writeJson(args.jsonPath, checked.json); }) && written;
    return plans.finish() && written;
}

int run(int argc, char** argv)
{
    Arguments args;
    if (int status = readOptions(argc, argv, args); status >= 0)
        return status;
    if (args.format)
        return writeFormat(args);
    if (!checkTargets(args))
        return 2;
    htmlreport::PlanOutputs plans(args.htmlPath, args.svgDir);
    if (!plans.targetsAccepted(args.files, args.jsonPath))
        return 2;
    Checked checked = checkFiles(args, plans);
    bool written = writeOutputs(args, checked, plans);
    if (!commands::standardOutputWritten("dictcheck") || !written)
        return 2;
    return checked.clean ? 0 : 1;
}

} // namespace
