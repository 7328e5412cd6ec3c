// hostsim plays the host application: it loads the import plug-in, sends
// it one event per file, unloads it, then shows and dumps the store.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "commands/Arguments.h"
#include "commands/Console.h"
#include "commands/OutputFile.h"
#include "commands/OutputTarget.h"
#include "host/EventData.h"
#include "hostsim/framework/FrameworkHost.h"
#include "hostsim/runner/PluginLibrary.h"
#include "hostsim/store/Store.h"
#include "text/Utf8.h"

using commands::plural;

namespace {

// What one event did, as the host sees it: whether the plug-in told of an
// error through the framework's message box, and what reached the store.
struct FileOutcome {
    std::string path;
    bool imported = true;
    bool lossy = false; // the plug-in told of what the import left out
    std::string why;    // what its message says, on one line
    hoststore::WriteCounts writes{0, 0};
};

FileOutcome* g_current = nullptr;

// How dumps started before they carried their "format" marker, in either
// layout: they may be replaced too.
const std::vector<std::string> kEarlierDumpStarts = {"{\"model\":{\"ProjectInfo\":[",
                                                     "{\n\"model\":{\n\"ProjectInfo\":["};

// What a message of the plug-in says, on one line for the file's summary:
// the items of a list ("· 3 行没有存储；"), or else what follows the
// sentence naming the file ("无法导入文件“X”：文件不是 XML：..."), without
// the closing advice.
std::string messageGist(const std::string& message)
{
    static const std::string kItem = "\xC2\xB7 ", kColon = "\xEF\xBC\x9A";
    static const std::string kEnds[] = {"\xEF\xBC\x9B", "\xE3\x80\x82"}; // "；", "。"
    std::vector<std::string> lines;
    for (std::size_t start = 0; start <= message.size();) {
        std::size_t end = message.find('\n', start);
        if (end == std::string::npos)
            end = message.size();
        lines.push_back(message.substr(start, end - start));
        start = end + 1;
    }
    std::string items;
    for (std::string line : lines) {
        if (line.compare(0, kItem.size(), kItem) != 0)
            continue;
        line.erase(0, kItem.size());
        for (const std::string& end : kEnds)
            if (line.size() >= end.size() && line.compare(line.size() - end.size(), end.size(), end) == 0)
                line.erase(line.size() - end.size());
        items += (items.empty() ? "" : "; ") + line;
    }
    if (!items.empty())
        return items;
    std::string first = lines.empty() ? "" : lines.front();
    std::size_t colon = first.find(kColon);
    return colon == std::string::npos ? first : first.substr(colon + kColon.size());
}

// The framework's message box, taken over as an application does: every
// message goes to standard error; an error marks the current file as not
// imported, a warning as imported with losses.
void showMessage(const wchar_t* text, unsigned int type)
{
    // Texts of the file it quotes are shown escaped, as everything said.
    std::string message = platform::toUtf8(text);
    commands::put(stderr, message + "\n");
    std::fflush(stderr);
    if (!g_current)
        return;
    unsigned int icon = type & 0xF0;
    if (icon == kMessageBoxIconError)
        g_current->imported = false;
    else if (icon == kMessageBoxIconWarning)
        g_current->lossy = true;
    if (icon == kMessageBoxIconError || icon == kMessageBoxIconWarning)
        g_current->why = messageGist(message);
}


void printSummary(std::FILE* out, const std::vector<FileOutcome>& outcomes)
{
    std::size_t imported = 0;
    for (const FileOutcome& o : outcomes) {
        if (!o.imported) {
            commands::print(out, "%s: not imported%s%s\n", o.path.c_str(), o.why.empty() ? "" : ": ", o.why.c_str());
            continue;
        }
        ++imported;
        commands::print(out, "%s: imported%s%s, %lld %s added, %lld replaced\n", o.path.c_str(),
                        o.lossy ? " with losses: " : "", o.lossy ? o.why.c_str() : "", o.writes.added,
                        plural(o.writes.added, "record", "records"), o.writes.replaced);
    }
    long long totals[2] = {0, 0};
    std::string section;
    for (const auto& count : hoststore::countRecords()) {
        if (count.section != section) {
            section = count.section;
            commands::print(out, "%s tables:\n", section.c_str());
        }
        commands::print(out, "  %-20s %10lld\n", count.table.c_str(), count.records);
        totals[section == "model" ? 0 : 1] += count.records;
    }
    commands::print(out, "Records: %lld model, %lld design, %lld in all.\n", totals[0], totals[1],
                 totals[0] + totals[1]);
    commands::print(out, "Imported %zu of %zu %s.\n", imported, outcomes.size(),
                 plural(static_cast<long long>(outcomes.size()), "file", "files"));
}

bool writeDump(const std::string& path, hoststore::JsonLayout layout)
{
    if (path == "-") {
        if (hoststore::writeJson(stdout, layout))
            return true;
        commands::print(stderr, "hostsim: writing the JSON dump to standard output failed: %s\n", std::strerror(errno));
        return false;
    }
    // An earlier dump stays as it was unless the new one is complete.
    commands::OutputFile file(path);
    if (!file.open()) {
        commands::print(stderr, "hostsim: cannot write %s: %s\n", path.c_str(), file.error().c_str());
        return false;
    }
    if (!hoststore::writeJson(file.stream(), layout)) {
        commands::print(stderr, "hostsim: writing %s failed: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    if (!file.commit()) {
        commands::print(stderr, "hostsim: writing %s failed: %s\n", path.c_str(), file.error().c_str());
        return false;
    }
    return true;
}

int run(int argc, char** argv);

} // namespace

int main(int argc, char** argv)
{
    return commands::guarded("hostsim", 1, [&] { return run(argc, argv); });
}

namespace {

// The command line: the files to import, the plug-in, and the dump.
struct Arguments {
    std::string jsonPath;
    hoststore::JsonLayout layout = hoststore::JsonLayout::OneLine;
    std::string pluginPath = defaultPluginPath();
    std::vector<std::string> files;
    bool strict = false;
};

// Reads the command line into `args`: -1 to go on, else the exit status
// (--help, --version, or a bad argument, said on standard error).
int readOptions(int argc, char** argv, Arguments& args)
{
    CLI::App app{"Plays the host application: loads the import plug-in, sends it one event per FILE "
                 "(in order, in one process), unloads it, says per file whether it was imported and how "
                 "many records it added and replaced, prints how many records each table of the store "
                 "holds and, with --json, writes the store as JSON.",
                 "hostsim"};
    // Paths may start with '/', also on Windows: no "/option" spellings.
    app.allow_windows_style_options(false);
    app.set_version_flag("--version", std::string("hostsim ") + DICTIMPORT_VERSION);
    app.footer("Exit status: 0 when every file was imported (and the dump written), also when the plug-in told "
               "of what an import left out (\"imported with losses\") unless --strict; 1 when the plug-in could "
               "not import a file (its message tells why), or with --strict when a file was imported with losses; "
               "2 on bad arguments, a refused --json target (one of the FILEs, an existing file other than a dump "
               "of hostsim, or one that cannot be written: nothing is imported then), a plug-in that cannot be "
               "loaded, or a summary or dump that could not be written.\n\n"
               "Environment:\n"
               "  PROGRESS_LOG=FILE  the progress stand-in appends a line to FILE per call it receives, and\n"
               "                     \"load\" and \"unload\" when it is loaded and released\n"
               "  STORE_LOG=FILE     the store appends \"AddData TABLE KEY\" to FILE per record it is given");
    std::string layoutName = "compact";
    app.add_option("--json", args.jsonPath, "Write the store as JSON to PATH ('-' for standard output)")
        ->option_text("PATH");
    app.add_option("--json-layout", layoutName,
                   "Layout of the dump: 'compact' (all on one line) or 'lines' (one line per table name and "
                   "per record, for diff); both hold the same JSON")
        ->check(CLI::IsMember({"compact", "lines"}))
        ->capture_default_str();
    app.add_option("--plugin", args.pluginPath,
                   "The plug-in library, a path as given (a bare file name is in the current folder); by default "
                   "the one beside hostsim")
        ->option_text("PATH")
        ->capture_default_str();
    app.add_flag("--strict", args.strict,
                 "Exit 1 when a file was imported with losses, as when it was not imported");
    app.add_option("FILE", args.files, "Dictionary files to import; any path the plug-in can read (pipes too)")
        ->required();
    if (int status = commands::parseArguments(app, argc, argv, "hostsim"); status >= 0)
        return status;
    args.layout = layoutName == "lines" ? hoststore::JsonLayout::RecordPerLine : hoststore::JsonLayout::OneLine;
    return -1;
}

// Whether the dump goes to a file rather than standard output.
bool dumpToFile(const Arguments& args)
{
    return !args.jsonPath.empty() && args.jsonPath != "-";
}

// Whether the dump's file is refused (one of the FILEs, or an existing
// file other than a dump of hostsim), said on standard error when it is.
bool dumpRefused(const Arguments& args)
{
    std::string refusal = dumpToFile(args) ? commands::refusedTarget("hostsim", args.jsonPath, args.files, "dump",
                                                                      hoststore::kDumpFormat, kEarlierDumpStarts)
                                           : "";
    if (refusal.empty())
        return false;
    commands::put(stderr, refusal);
    return true;
}

// Sends the plug-in one event per file, in order, and notes what each did.
std::vector<FileOutcome> importFiles(PluginLibrary& plugin, const std::vector<std::string>& files)
{
    hostframework::setMessageBoxHandler(showMessage);
    std::vector<FileOutcome> outcomes;
    for (const std::string& file : files) {
        FileOutcome outcome;
        outcome.path = file;
        g_current = &outcome;
        hoststore::WriteCounts before = hoststore::writeCounts();
        EventData event;
        event.m_strPath = file; // sent as given, whatever it names
        plugin.dispatch(&event);
        hoststore::WriteCounts after = hoststore::writeCounts();
        outcome.writes = {after.added - before.added, after.replaced - before.replaced};
        g_current = nullptr;
        outcomes.push_back(outcome);
    }
    return outcomes;
}

// Prints the summary (to standard error when the dump goes to standard
// output) and writes the dump, if asked; false after saying why when
// either could not be written.
bool writeOutputs(const Arguments& args, const std::vector<FileOutcome>& outcomes)
{
    std::FILE* summary = args.jsonPath == "-" ? stderr : stdout;
    printSummary(summary, outcomes);
    if (std::fflush(summary) != 0) {
        commands::print(stderr, "hostsim: writing the summary failed: %s\n", std::strerror(errno));
        return false;
    }
    return args.jsonPath.empty() || writeDump(args.jsonPath, args.layout);
}

// 1 when a file was not imported, or with --strict imported with losses;
// else 0.
int importStatus(const Arguments& args, const std::vector<FileOutcome>& outcomes)
{
    for (const FileOutcome& o : outcomes)
        if (!o.imported || (args.strict && o.lossy))
            return 1;
    return 0;
}

int run(int argc, char** argv)
{
    Arguments args;
    if (int status = readOptions(argc, argv, args); status >= 0)
        return status;
    if (dumpRefused(args))
        return 2;
    PluginLibrary plugin(args.pluginPath);
    if (!plugin.loaded()) {
        commands::print(stderr, "hostsim: cannot load the plug-in %s: %s\n", args.pluginPath.c_str(),
                        plugin.error().c_str());
        return 2;
    }
    if (dumpToFile(args) && !commands::writableTarget("hostsim", args.jsonPath))
        return 2;
    std::vector<FileOutcome> outcomes = importFiles(plugin, args.files);
    plugin.unload();
    if (!writeOutputs(args, outcomes))
        return 2;
    return importStatus(args, outcomes);
}

} // namespace
