// dictdiff: imports two versions of a model as the plug-in does, each into
// the store stand-in, and reports what changed, table by table and member
// by member.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include <CLI/CLI.hpp>

#include "commands/Arguments.h"
#include "commands/Console.h"
#include "commands/OutputFile.h"
#include "commands/OutputTarget.h"
#include "commands/ProgressLine.h"
#include "commands/TextDecoder.h"
#include "tools/dictdiff/Comparison.h"
#include "tools/dictdiff/ComparisonPage.h"
#include "plugin/UserMessages.h"
#include "tools/dictdiff/Import.h"
#include "tools/dictdiff/PlanChanges.h"
#include "tools/dictdiff/Report.h"
#include "tools/plan/Plan.h"

namespace {

const char* const kTool = "dictdiff";
// What an output of dictdiff starts with: the JSON's "format" marker and
// the CSV's byte-order mark and header (before the mark, the header
// alone). A file that starts otherwise is not replaced.
const char* const kCsvStart = "\xEF\xBB\xBF" "section,table,change,";
const char* const kEarlierCsvStart = "section,table,change,";

const char* const kHelp =
    "Imports OLD and NEW as the plug-in does, each into a store of its own, and reports per table the records "
    "added, removed and changed, and for a changed record each member that differs, old -> new: key lists as "
    "lists (a set regardless of order), sub-records member by member.";

const char* const kFooter =
    "Pairing records (--match):\n"
    "  key       a record of OLD is the record of the same key in NEW, in every table.\n"
    "  geometry  for a model whose keys were renumbered: storeys pair by height order (lowest with lowest);\n"
    "            nodes by position (x and y within the tolerance) among nodes used by members of the same\n"
    "            storeys; elements, beams, columns, braces, walls, wall beams, wall columns, slabs, axes and\n"
    "            beam groups by the records they refer to (nodes, elements, beams, each through its own\n"
    "            pairing) and their storey; design rows as their members (RcDesignBeam as Beam). Sections,\n"
    "            materials, thicknesses, openings, plans, modules and the other tables pair by key. What a\n"
    "            rule leaves unpaired pairs by key unless the table was renumbered. Key references inside\n"
    "            records compare through the pairing: node 17 in OLD and node 1017 in NEW are the same node\n"
    "            when the pairing says so. Not paired: a storey inserted between others (every storey above\n"
    "            it pairs with its neighbour), a renumbered node that also moved (removed and added), and a\n"
    "            member whose nodes changed (paired by key if the keys were kept).\n"
    "Reals are equal when they differ by at most the tolerance or, below 1 in size, by at most that fraction\n"
    "of their size. The default 0.01 suits millimetre coordinates: a hundredth of a millimetre is far below\n"
    "any change drawn in a model and far above the difference left by writing a number out and reading it\n"
    "back; Poisson's ratios and thermal coefficients are compared relatively, so no change to them is hidden.\n"
    "Design results are stored as texts: two texts that both read as numbers compare as reals.\n"
    "--html writes one self-contained page: the summary, every change, and a plan of every storey drawn from\n"
    "NEW, members added in green, changed in amber (their record, their design row, or an element or node they\n"
    "are drawn through differs: a moved node changes its members), removed in red and dashed, drawn from OLD.\n"
    "Exit status: 0 when the models are equal, 1 when they differ, 2 on bad arguments, a refused --json, --csv\n"
    "or --html target, a file that cannot be imported (with the reason), or an output that could not be written.";

// Writes an output to `path`, '-' for standard output, whole or not at
// all; false, after saying why, when that failed.
template <class Write>
bool writeOutput(const std::string& path, const char* what, Write&& write)
{
    if (path == "-") {
        if (write(stdout))
            return true;
        commands::print(stderr, "%s: writing the %s to standard output failed: %s\n", kTool, what,
                     std::strerror(errno));
        return false;
    }
    commands::OutputFile file(path);
    if (!file.open()) {
        commands::print(stderr, "%s: cannot write %s: %s\n", kTool, path.c_str(), file.error().c_str());
        return false;
    }
    if (!write(file.stream())) {
        commands::print(stderr, "%s: writing %s failed: %s\n", kTool, path.c_str(), std::strerror(errno));
        return false;
    }
    if (!file.commit()) {
        commands::print(stderr, "%s: writing %s failed: %s\n", kTool, path.c_str(), file.error().c_str());
        return false;
    }
    return true;
}

// Whether an output goes to a file rather than standard output.
bool toFile(const std::string& path)
{
    return !path.empty() && path != "-";
}

// Whether an output file may be written, said on standard error when not:
// the refusal of the target, if any, then its writability.
bool acceptedTarget(const std::string& path, const std::string& refusal)
{
    if (!refusal.empty()) {
        commands::put(stderr, refusal);
        return false;
    }
    return commands::writableTarget(kTool, path);
}

// Runs one output's `step`; an exception it throws is told as that
// output's failure, so that the other outputs are still written.
template <class Step>
bool survived(const char* what, Step&& step)
{
    try {
        return step();
    } catch (const std::bad_alloc&) {
        commands::print(stderr, "%s: writing the %s failed: out of memory\n", kTool, what);
    } catch (const std::exception& e) {
        commands::print(stderr, "%s: writing the %s failed: %s\n", kTool, what, e.what());
    }
    return false;
}

int run(int argc, char** argv);

} // namespace

int main(int argc, char** argv)
{
    return commands::guarded(kTool, 2, [&] { return run(argc, argv); });
}

namespace {

// The command line: the two models, the outputs asked for and how to
// compare.
struct Arguments {
    std::string oldPath, newPath, jsonPath, csvPath, htmlPath;
    dictdiff::Options options;
};

// Reads the command line into `args`: -1 to go on, else the exit status
// (--help, --version, or a bad argument, said on standard error).
int readOptions(int argc, char** argv, Arguments& args)
{
    CLI::App app{kHelp, kTool};
    app.allow_windows_style_options(false);
    app.set_version_flag("--version", std::string(kTool) + " " + DICTIMPORT_VERSION);
    app.footer(kFooter);
    std::string match = "key";
    dictdiff::Options& options = args.options;
    app.add_option("--match", match, "How records of OLD and NEW are paired: key or geometry (below)")
        ->check(CLI::IsMember({"key", "geometry"}))
        ->type_name("MATCH")
        ->capture_default_str();
    app.add_option("--tolerance", options.tolerance, "Largest difference between reals taken as equal (below)")
        ->type_name("TOL")
        ->capture_default_str();
    app.add_option("--json", args.jsonPath, "Also write the comparison as JSON to PATH ('-' for standard output)")
        ->option_text("PATH");
    app.add_option("--csv", args.csvPath,
                   "Also write one CSV row per changed member, and one per added or removed record, to PATH ('-' "
                   "for standard output)")
        ->option_text("PATH");
    app.add_option("--html", args.htmlPath,
                   "Also write one self-contained page with the changes and a plan of every storey, its members "
                   "coloured by what changed, to PATH (below)")
        ->option_text("PATH");
    app.add_option("OLD", args.oldPath, "The earlier version of the model")->required();
    app.add_option("NEW", args.newPath, "The later version of the model")->required();
    if (int status = commands::parseArguments(app, argc, argv, kTool); status >= 0)
        return status;
    if (!std::isfinite(options.tolerance) || options.tolerance < 0) {
        commands::print(stderr, "%s: --tolerance must be a number, 0 or more (see '%s --help')\n", kTool, kTool);
        return 2;
    }
    options.match = match == "geometry" ? dictdiff::Match::Geometry : dictdiff::Match::Key;
    return -1;
}

// Whether the outputs may be written: not two to standard output, no two
// to the same file, none over a file that is not an earlier output of
// dictdiff; false after saying why not.
bool checkTargets(const Arguments& args)
{
    const std::string &jsonPath = args.jsonPath, &csvPath = args.csvPath, &htmlPath = args.htmlPath;
    if (jsonPath == "-" && csvPath == "-") {
        commands::print(stderr, "%s: --json and --csv cannot both go to standard output (see '%s --help')\n", kTool,
                     kTool);
        return false;
    }
    std::vector<std::string> files{args.oldPath, args.newPath};
    if (toFile(jsonPath) &&
        !acceptedTarget(jsonPath, commands::refusedTarget(kTool, jsonPath, files, "comparison",
                                                          dictdiff::kComparisonFormat)))
        return false;
    if (toFile(csvPath) && toFile(jsonPath) && commands::sameFile(csvPath, jsonPath)) {
        commands::print(stderr, "%s: --json and --csv name the same file %s; give each its own\n", kTool,
                     csvPath.c_str());
        return false;
    }
    if (toFile(csvPath) &&
        !acceptedTarget(csvPath, commands::refusedTarget(kTool, csvPath, files,
                                                         commands::OutputKind{"--csv", "CSV comparison", {kCsvStart},
                                                                              std::string("a byte-order mark and ") +
                                                                                  kEarlierCsvStart,
                                                                              {kEarlierCsvStart}})))
        return false;
    if (htmlPath == "-") {
        commands::print(stderr, "%s: --html takes a file to write, not '-' (see '%s --help')\n", kTool, kTool);
        return false;
    }
    for (const auto& [option, path] : {std::pair{"--json", &jsonPath}, std::pair{"--csv", &csvPath}})
        if (toFile(htmlPath) && toFile(*path) && commands::sameFile(htmlPath, *path)) {
            commands::print(stderr, "%s: %s and --html name the same file %s; give each its own\n", kTool, option,
                         htmlPath.c_str());
            return false;
        }
    if (toFile(htmlPath) &&
        !acceptedTarget(htmlPath, commands::refusedTarget(kTool, htmlPath, files,
                                                          commands::pageOutput("--html", "comparison page",
                                                                               dictdiff::kComparisonPageStart))))
        return false;
    return true;
}

// One version of the model as imported: its rows, taken out of the store
// before the other import fills it (two stores at most, and one document
// at a time), its plan when a page needs it (read while the store holds
// the import), and what the import found beside the rows.
struct Side {
    hoststore::StoreRows rows;
    plan::Plan plan;
    dictdiff::ImportFacts facts;
};

// Imports the file at `path` into `side`; false after saying why it could
// not be imported.
bool importSide(const std::string& path, bool withPlan, Side& side, commands::ProgressLine& progress)
{
    auto readPlan = [&] {
        if (withPlan)
            side.plan = plan::readPlan({});
    };
    auto steps = [&](int step, int count) { progress.importStep(step, count); };
    std::string why;
    progress.begin(path);
    if (!dictdiff::importRows(path, side.rows, why, readPlan, steps, &side.facts)) {
        progress.end();
        commands::print(stderr, "%s: %s cannot be imported: %s\n", kTool, path.c_str(), why.c_str());
        return false;
    }
    return true;
}

// Compares the two imports, their texts (and plans) decoded where a
// decoder is active; the comparison keeps the decoders, which must outlive
// it.
dictdiff::Comparison compareSides(dictdiff::Options options, Side& older, const commands::TextDecoder& oldDecoder,
                                  Side& newer, const commands::TextDecoder& newDecoder)
{
    if (oldDecoder.active())
        options.oldText = [decoder = &oldDecoder](const std::string& text) { return (*decoder)(text); };
    if (newDecoder.active())
        options.newText = [decoder = &newDecoder](const std::string& text) { return (*decoder)(text); };
    if (oldDecoder.active())
        plan::decodeTexts(older.plan, options.oldText);
    if (newDecoder.active())
        plan::decodeTexts(newer.plan, options.newText);
    dictdiff::Comparison comparison = dictdiff::compare(older.rows, newer.rows, options);
    dictdiff::markNotRead(comparison, dictdiff::unreadTables(older.facts.losses),
                          dictdiff::unreadTables(newer.facts.losses));
    return comparison;
}

// The two files as the reports name them: paths, verdicts, and a note for
// each side whose texts were decoded, or could not be.
dictdiff::Files fileNames(const Arguments& args, const Side& older, const commands::TextDecoder& oldDecoder,
                          const Side& newer, const commands::TextDecoder& newDecoder)
{
    dictdiff::Files names{args.oldPath, args.newPath, dictdiff::sideVerdict(older.facts.losses, older.rows),
                          dictdiff::sideVerdict(newer.facts.losses, newer.rows), {}};
    for (const auto& [side, facts, decoder] : {std::tuple{"old", &older.facts, &oldDecoder},
                                               std::tuple{"new", &newer.facts, &newDecoder}}) {
        std::string note;
        if (decoder->active())
            note = std::string("texts of ") + side + " read as " + facts->encoding + ", as its file declares";
        else if (!decoder->known())
            note = std::string(side) + " declares encoding \"" + facts->encoding +
                   "\", which is not known here: its texts are compared as the file's bytes";
        if (decoder->failures() > 0)
            note += "; " + std::to_string(decoder->failures()) + " of them hold bytes that are not " +
                    facts->encoding + " and are compared as the file's bytes, the first \"" +
                    decoder->firstFailure() + "\"";
        if (!note.empty())
            names.notes.push_back(note);
    }
    return names;
}

// Writes the JSON, CSV and page asked for, each on its own: one that fails
// loses no other. False when any failed.
bool writeOutputs(const Arguments& args, const dictdiff::Comparison& comparison, const dictdiff::Files& names,
                  Side& older, Side& newer, commands::ProgressLine& progress)
{
    bool written = true;
    if (!args.jsonPath.empty())
        written = survived("JSON comparison", [&] {
            return writeOutput(args.jsonPath, "JSON comparison",
                               [&](std::FILE* out) { return dictdiff::writeJson(out, comparison, names); });
        });
    if (!args.csvPath.empty())
        written = survived("CSV comparison", [&] {
                      return writeOutput(args.csvPath, "CSV comparison",
                                         [&](std::FILE* out) { return dictdiff::writeCsv(out, comparison); });
                  }) && written;
    if (toFile(args.htmlPath))
        written = survived("comparison page", [&] {
                      progress.stage("drawing the page");
                      std::string page = dictdiff::comparisonPage(
                          comparison, names,
                          dictdiff::comparedPlan(comparison, std::move(older.plan), std::move(newer.plan)));
                      progress.clear();
                      std::string error;
                      if (commands::writeWhole(args.htmlPath, page, error))
                          return true;
                      commands::print(stderr, "%s: %s\n", kTool, error.c_str());
                      return false;
                  }) && written;
    return written;
}

// Writes the summary to standard output, or to standard error when JSON or
// CSV goes to standard output; false after saying why when that failed.
bool writeSummary(const Arguments& args, const dictdiff::Comparison& comparison, const dictdiff::Files& names)
{
    std::FILE* text = args.jsonPath == "-" || args.csvPath == "-" ? stderr : stdout;
    if (dictdiff::writeText(text, comparison, names))
        return true;
    commands::print(stderr, "%s: writing the summary to standard %s failed: %s\n", kTool,
                    text == stdout ? "output" : "error", std::strerror(errno));
    return false;
}

int run(int argc, char** argv)
{
    Arguments args;
    if (int status = readOptions(argc, argv, args); status >= 0)
        return status;
    if (!checkTargets(args))
        return 2;
    // On a terminal, a line of progress for work that takes a while.
    commands::ProgressLine progress(kTool);
    Side older, newer;
    if (!importSide(args.oldPath, toFile(args.htmlPath), older, progress) ||
        !importSide(args.newPath, toFile(args.htmlPath), newer, progress))
        return 2;
    progress.stage("comparing");
    // Texts of a file that declares another encoding are compared and shown
    // decoded; the store and its rows keep the file's bytes.
    commands::TextDecoder oldDecoder(older.facts.encoding), newDecoder(newer.facts.encoding);
    dictdiff::Comparison comparison = compareSides(args.options, older, oldDecoder, newer, newDecoder);
    dictdiff::Files names = fileNames(args, older, oldDecoder, newer, newDecoder);
    progress.clear();
    bool written = writeOutputs(args, comparison, names, older, newer, progress);
    progress.end();
    written = writeSummary(args, comparison, names) && written;
    if (!written)
        return 2;
    return comparison.equal() ? 0 : 1;
}

} // namespace
