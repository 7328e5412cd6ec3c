// scalebench: how each command's cost grows with its input. For each kind
// of growth it writes files at a base size and at each doubling of it,
// runs every command on each in a fresh process, and prints wall, user and
// system time, peak memory and output size per size, with the growth
// exponents: the log of the ratio of two sizes' costs over the log of the
// ratio of their input, step by step and as a least-squares slope in
// log-log. The costs are taken above each command's floor (its run on a
// file of one storey and one node), so that start-up does not flatten the
// exponents, and of CPU time unless asked for wall time.
#include <atomic>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "bench/ChildProcess.h"
#include "bench/ScaleModels.h"
#include "commands/Arguments.h"
#include "commands/Console.h"
#include "commands/OutputFile.h"
#include "tools/modelgen/SizeOption.h"

namespace fs = std::filesystem;

namespace {

// What a command reads besides the file, and where its output goes.
enum class Input { One, FewEdits, ManyEdits };
enum class Output { Standard, File, Folder };

struct Command {
    const char* name;
    const char* program;
    std::vector<std::string> options; // before the output option
    const char* outputOption;         // "--json", or null
    Output output;
    Input input;
};

const std::vector<Command>& commandList()
{
    static const std::vector<Command> all{
        {"hostsim", "hostsim", {}, nullptr, Output::Standard, Input::One},
        {"check", "dictcheck", {}, nullptr, Output::Standard, Input::One},
        {"check-json", "dictcheck", {}, "--json", Output::File, Input::One},
        {"check-html", "dictcheck", {}, "--html", Output::File, Input::One},
        {"check-svg", "dictcheck", {}, "--svg-dir", Output::Folder, Input::One},
        {"diff", "dictdiff", {}, nullptr, Output::Standard, Input::FewEdits},
        {"diff-many", "dictdiff", {}, nullptr, Output::Standard, Input::ManyEdits},
        {"diff-json", "dictdiff", {}, "--json", Output::File, Input::ManyEdits},
        {"diff-csv", "dictdiff", {}, "--csv", Output::File, Input::ManyEdits},
        {"diff-html", "dictdiff", {}, "--html", Output::File, Input::ManyEdits},
        {"diff-geometry", "dictdiff", {"--match", "geometry"}, nullptr, Output::Standard, Input::FewEdits},
    };
    return all;
}

// The files of one size: the model and its edited copies.
struct Files {
    std::string model, few, many;
    const std::string& input(Input input) const
    {
        return input == Input::One ? model : input == Input::FewEdits ? few : many;
    }
};

// What one command did at one size.
struct Measured {
    bool done = false;
    std::string failure; // why it was not measured
    long long count = 0;
    double inputBytes = 0, seconds = 0, userSeconds = 0, systemSeconds = 0, peakMB = 0, outputBytes = 0;
    double cpuSeconds() const { return userSeconds + systemSeconds; }
};

struct Settings {
    std::string bin, work;
    int runs = 3;
    int cpuSeconds = 60;
    long long memoryBytes = 0;
    bool keep = false;
    bool wallClock = false; // exponents of wall time rather than CPU time
};

std::atomic<bool> g_stop{false};

void stop(int)
{
    g_stop = true;
}

double folderBytes(const fs::path& folder)
{
    double bytes = 0;
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(folder, error))
        if (entry.is_regular_file(error))
            bytes += static_cast<double>(entry.file_size(error));
    return bytes;
}

std::string lastLine(const std::string& path)
{
    std::ifstream in(path);
    std::string line, last;
    while (std::getline(in, line))
        if (!line.empty())
            last = line;
    return last;
}

// The runs of one command on one size, as they come.
struct Samples {
    std::vector<double> seconds, userSeconds, systemSeconds, peaks;
    double outputBytes = 0; // of the last run
    std::string failure;    // why a run failed
};

// Runs a command once on the files, adding to `samples`; false, with
// samples.failure saying why, when the run failed.
bool runOnce(const Settings& settings, const Command& command, const Files& files, Samples& samples)
{
    fs::path work(settings.work);
    std::string outputPath = (work / (std::string("output-") + command.name)).string();
    std::vector<std::string> argv{(fs::path(settings.bin) / command.program).string()};
    argv.insert(argv.end(), command.options.begin(), command.options.end());
    if (command.outputOption)
        argv.insert(argv.end(), {command.outputOption, outputPath});
    if (command.input != Input::One)
        argv.push_back(files.model);
    argv.push_back(files.input(command.input));
    bench::ChildSetup setup;
    setup.outputPath = (work / "stdout").string();
    setup.errorPath = (work / "stderr").string();
    setup.cpuSeconds = settings.cpuSeconds;
    setup.memoryBytes = settings.memoryBytes;
    std::error_code error;
    fs::remove_all(outputPath, error);
    bench::ChildRun run = bench::runChild(argv, setup);
    // dictcheck exits 1 for a file with warnings, dictdiff for models that differ
    if (!run.started || !run.exited || run.status > 1) {
        samples.failure = !run.started     ? "could not be started"
                          : run.cpuLimited ? "stopped at the CPU limit of " + std::to_string(settings.cpuSeconds) + " s"
                          : !run.exited    ? "ended by signal " + std::to_string(run.status)
                                           : "exit " + std::to_string(run.status) + ": " + lastLine(setup.errorPath);
        return false;
    }
    samples.seconds.push_back(run.seconds);
    samples.userSeconds.push_back(run.userSeconds);
    samples.systemSeconds.push_back(run.systemSeconds);
    samples.peaks.push_back(run.peakMB);
    samples.outputBytes = command.output == Output::Folder ? folderBytes(outputPath)
                          : command.output == Output::File
                              ? static_cast<double>(fs::file_size(outputPath, error))
                              : static_cast<double>(fs::file_size(setup.outputPath, error));
    return true;
}

// The medians of a command's runs on one size.
Measured summary(const Command& command, const Files& files, const Samples& samples)
{
    Measured result;
    result.failure = samples.failure;
    if (!samples.failure.empty() || samples.seconds.empty())
        return result;
    std::error_code error;
    result.done = true;
    result.seconds = bench::median(samples.seconds);
    result.userSeconds = bench::median(samples.userSeconds);
    result.systemSeconds = bench::median(samples.systemSeconds);
    result.peakMB = bench::median(samples.peaks);
    result.inputBytes = static_cast<double>(fs::file_size(files.input(command.input), error));
    result.outputBytes = samples.outputBytes;
    return result;
}

// The growth exponent between two sizes of a cost above its floor; NaN
// when either is too small to tell from noise.
double exponent(double cost1, double cost2, double bytes1, double bytes2)
{
    if (cost1 <= 0 || cost2 <= 0 || bytes2 <= bytes1)
        return NAN;
    return std::log(cost2 / cost1) / std::log(bytes2 / bytes1);
}

// The least-squares slope of log cost over log bytes, of the points
// whose cost is measurable; NaN with fewer than two.
double slope(const std::vector<double>& costs, const std::vector<double>& bytes)
{
    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (std::size_t i = 0; i < costs.size(); ++i) {
        if (!(costs[i] > 0))
            continue;
        double x = std::log(bytes[i]), y = std::log(costs[i]);
        n += 1, sx += x, sy += y, sxx += x * x, sxy += x * y;
    }
    double d = n * sxx - sx * sx;
    return n < 2 || d <= 0 ? NAN : (n * sxy - sx * sy) / d;
}

const double kFlag = 1.15;

std::string shown(double e)
{
    if (std::isnan(e))
        return "-";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f%s", e, e > kFlag ? "!" : " ");
    return buffer;
}

// The part of a cost above the floor, or 0 when it is within the noise:
// 5 ms of time, 1 MB of memory.
double aboveFloor(double value, double floor, double noise)
{
    return value - floor >= noise ? value - floor : 0;
}

struct Exponents {
    double time = NAN, peak = NAN, output = NAN;
};

struct KindResult {
    const scalemodels::Kind* kind;
    std::vector<long long> counts;
    std::map<std::string, std::vector<Measured>> byCommand;
    std::map<std::string, Exponents> slopes;
};

// The time the exponents are taken of.
double timeOf(const Measured& m, const Settings& settings)
{
    return settings.wallClock ? m.seconds : m.cpuSeconds();
}

void printKind(KindResult& result, const std::vector<const Command*>& commands,
               const std::map<std::string, Measured>& floors, const Settings& settings)
{
    std::printf("\n%s: %s\n", result.kind->name, result.kind->grows);
    std::printf("%-14s %8s %9s %8s %8s %8s %8s %10s | %6s %6s %6s\n", "command", "count", "input MB", "wall s",
                "user s", "sys s", "peak MB", "output MB", "time", "peak", "output");
    for (const Command* command : commands) {
        const Measured& floor = floors.at(command->name);
        std::vector<Measured>& sizes = result.byCommand[command->name];
        std::vector<double> times, peaks, outputs, bytes;
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            const Measured& m = sizes[i];
            if (!m.done) {
                std::printf("%-14s %8lld  %s\n", command->name, result.counts[i], m.failure.c_str());
                continue;
            }
            times.push_back(aboveFloor(timeOf(m, settings), timeOf(floor, settings), 0.005));
            peaks.push_back(aboveFloor(m.peakMB, floor.peakMB, 1.0));
            outputs.push_back(m.outputBytes);
            bytes.push_back(m.inputBytes);
            std::size_t n = bytes.size();
            std::string steps[3];
            if (n > 1) {
                steps[0] = shown(exponent(times[n - 2], times[n - 1], bytes[n - 2], bytes[n - 1]));
                steps[1] = shown(exponent(peaks[n - 2], peaks[n - 1], bytes[n - 2], bytes[n - 1]));
                steps[2] = shown(exponent(outputs[n - 2], outputs[n - 1], bytes[n - 2], bytes[n - 1]));
            }
            std::printf("%-14s %8lld %9.3f %8.3f %8.3f %8.3f %8.1f %10.3f | %6s %6s %6s\n", command->name,
                        result.counts[i], m.inputBytes / 1e6, m.seconds, m.userSeconds, m.systemSeconds, m.peakMB,
                        m.outputBytes / 1e6, steps[0].c_str(), steps[1].c_str(), steps[2].c_str());
        }
        Exponents& e = result.slopes[command->name];
        e.time = slope(times, bytes);
        e.peak = slope(peaks, bytes);
        e.output = slope(outputs, bytes);
        std::printf("%-14s %8s %9s %8s %8s %8s %8s %10s | %6s %6s %6s\n", "", "slope", "", "", "", "", "", "",
                    shown(e.time).c_str(), shown(e.peak).c_str(), shown(e.output).c_str());
    }
    std::fflush(stdout);
}

// A Markdown table, a row per command and a column per kind.
template <class Cell>
void printTable(const std::vector<KindResult>& results, const std::vector<const Command*>& commands, Cell cell)
{
    std::printf("| command |");
    for (const KindResult& r : results)
        std::printf(" %s |", r.kind->name);
    std::printf("\n|---|");
    for (std::size_t i = 0; i < results.size(); ++i)
        std::printf("---|");
    std::printf("\n");
    for (const Command* command : commands) {
        std::printf("| %s |", command->name);
        for (const KindResult& r : results)
            std::printf(" %s |", cell(r, *command).c_str());
        std::printf("\n");
    }
}

// The summary: per command and kind the slopes of time and peak, then the
// figures at the largest size measured.
void printSummary(const std::vector<KindResult>& results, const std::vector<const Command*>& commands,
                  const Settings& settings)
{
    const char* clock = settings.wallClock ? "wall" : "CPU";
    std::printf("\nGrowth exponents, %s time / peak memory, above the floor (least-squares slope in log-log; "
                "! above %.2f)\n\n",
                clock, kFlag);
    printTable(results, commands, [](const KindResult& r, const Command& command) {
        const Exponents& e = r.slopes.at(command.name);
        return shown(e.time) + " / " + shown(e.peak);
    });
    std::printf("\nAt the largest size measured: input MB, %s s, peak MB\n\n", clock);
    printTable(results, commands, [&](const KindResult& r, const Command& command) {
        const Measured* last = nullptr;
        for (const Measured& m : r.byCommand.at(command.name))
            if (m.done)
                last = &m;
        if (!last)
            return std::string("-");
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.2f, %.3f, %.0f", last->inputBytes / 1e6, timeOf(*last, settings),
                      last->peakMB);
        return std::string(buffer);
    });
}

bool writeFile(const std::string& path, const std::string& text)
{
    std::string error;
    if (commands::writeWhole(path, text, error))
        return true;
    commands::print(stderr, "scalebench: %s\n", error.c_str());
    return false;
}

// Writes the kind's files at each size; false when one cannot be written.
bool writeFiles(const Settings& settings, const scalemodels::Kind& kind, const std::vector<long long>& counts,
                bool edits, std::vector<Files>& files)
{
    for (std::size_t i = 0; i < counts.size(); ++i) {
        fs::path base = fs::path(settings.work) / (std::string(kind.name) + "-" + std::to_string(i));
        Files f{base.string() + ".xml", base.string() + "-few.xml", base.string() + "-many.xml"};
        std::string xml = kind.write(counts[i]);
        if (!writeFile(f.model, xml))
            return false;
        if (edits && (!writeFile(f.few, scalemodels::edited(xml, scalemodels::Edits::Few)) ||
                      !writeFile(f.many, scalemodels::edited(xml, scalemodels::Edits::Many))))
            return false;
        files.push_back(f);
    }
    return true;
}

std::vector<std::string> namesOf(const std::vector<scalemodels::Kind>& kinds)
{
    std::vector<std::string> names;
    for (const auto& kind : kinds)
        names.push_back(kind.name);
    return names;
}

std::vector<std::string> namesOf(const std::vector<Command>& commands)
{
    std::vector<std::string> names;
    for (const auto& command : commands)
        names.push_back(command.name);
    return names;
}


// The commands named, in the order of commandList().
std::vector<const Command*> commandsNamed(const std::vector<std::string>& commandNames)
{
    std::vector<const Command*> commands;
    for (const Command& command : commandList())
        for (const std::string& name : commandNames)
            if (name == command.name)
                commands.push_back(&command);
    return commands;
}

// Runs every command on the smallest file, one storey and one node, and
// prints what each cost; false when one failed on it.
bool measureFloors(const Settings& settings, const std::vector<const Command*>& commands,
                   std::map<std::string, Measured>& floors)
{
    Files floorFiles;
    floorFiles.model = (fs::path(settings.work) / "floor.xml").string();
    floorFiles.few = floorFiles.many = (fs::path(settings.work) / "floor-copy.xml").string();
    std::string floorModel = scalemodels::floorModel();
    if (!writeFile(floorFiles.model, floorModel) || !writeFile(floorFiles.few, floorModel))
        return false;
    std::printf("floor (one storey, one node):");
    for (const Command* command : commands) {
        Samples samples;
        for (int r = 0; r < settings.runs && runOnce(settings, *command, floorFiles, samples); ++r) {
        }
        Measured m = summary(*command, floorFiles, samples);
        if (!m.done) {
            commands::print(stderr, "scalebench: %s failed on the floor file: %s\n", command->name, m.failure.c_str());
            return false;
        }
        floors[command->name] = m;
        std::printf(" %s %.3f s (CPU %.3f s) %.1f MB;", command->name, m.seconds, m.cpuSeconds(), m.peakMB);
    }
    std::printf("\n");
    return true;
}

// The kind's counts at the base size and at each of `steps` doublings,
// each larger than the one before.
std::vector<long long> countsFor(const scalemodels::Kind& kind, double baseBytes, int steps)
{
    std::vector<long long> counts;
    long long first = scalemodels::countForSize(kind, baseBytes);
    for (int i = 0; i <= steps; ++i) {
        long long count = std::llround(static_cast<double>(first) * std::pow(2.0, double(i) / kind.power));
        counts.push_back(i ? std::max(counts.back() + 1, count) : first);
    }
    return counts;
}

// Runs each command on the kind's files, into `result`. Round by round
// through the sizes, so that a drift of the machine's speed touches every
// size alike; a size that failed is not run again, nor any larger one.
void measureKind(const Settings& settings, const std::vector<const Command*>& commands,
                 const std::vector<Files>& files, KindResult& result)
{
    const scalemodels::Kind& kind = *result.kind;
    for (const Command* command : commands) {
        std::vector<Samples> samples(files.size());
        std::size_t failedFrom = files.size();
        for (int r = 0; r < settings.runs && !g_stop; ++r)
            for (std::size_t i = 0; i < failedFrom && !g_stop; ++i) {
                if (r == 0)
                    commands::print(stderr, "scalebench: %s: %s at count %lld\n", kind.name, command->name,
                                 result.counts[i]);
                if (!runOnce(settings, *command, files[i], samples[i]))
                    failedFrom = i;
            }
        std::vector<Measured>& sizes = result.byCommand[command->name];
        for (std::size_t i = 0; i < files.size(); ++i) {
            if (i > failedFrom)
                samples[i].failure = "not run: a smaller size failed";
            sizes.push_back(summary(*command, files[i], samples[i]));
            sizes.back().count = result.counts[i];
        }
    }
}

int run(Settings settings, double baseBytes, int steps, const std::vector<std::string>& kindNames,
        const std::vector<std::string>& commandNames)
{
    std::vector<const Command*> commands = commandsNamed(commandNames);
    bool edits = false;
    for (const Command* command : commands)
        edits = edits || command->input != Input::One;

    std::printf("scalebench: %s, %s, each in a fresh process; sizes %.0f kB doubled %d times; costs above each "
                "command's floor\n",
                modelgen::count(static_cast<long long>(kindNames.size()), "kind", "kinds").c_str(),
                modelgen::count(settings.runs, "run", "runs").c_str(), baseBytes / 1e3, steps);
    std::map<std::string, Measured> floors;
    if (!measureFloors(settings, commands, floors))
        return 1;

    std::vector<KindResult> results;
    for (const std::string& name : kindNames) {
        const scalemodels::Kind& kind = *scalemodels::findKind(name);
        KindResult result{&kind, countsFor(kind, baseBytes, steps), {}, {}};
        commands::print(stderr, "scalebench: %s: writing its files\n", kind.name);
        std::vector<Files> files;
        if (!writeFiles(settings, kind, result.counts, edits, files))
            return 1;
        measureKind(settings, commands, files, result);
        if (g_stop)
            return 130;
        printKind(result, commands, floors, settings);
        results.push_back(std::move(result));
        if (!settings.keep)
            for (const Files& f : files)
                for (const std::string& path : {f.model, f.few, f.many})
                    std::remove(path.c_str());
    }
    printSummary(results, commands, settings);
    return commands::standardOutputWritten("scalebench") ? 0 : 1;
}

} // namespace

namespace {

int run(int argc, char** argv);

} // namespace

int main(int argc, char** argv)
{
    return commands::guarded("scalebench", 1, [&] { return run(argc, argv); });
}

namespace {

// The help of --kinds: each kind and how it grows.
std::string kindsHelp()
{
    std::string kindHelp = "Kinds of growth, comma-separated (default: all):";
    for (const auto& kind : scalemodels::kinds())
        kindHelp += std::string("\n  ") + kind.name + ": " + kind.grows;
    return kindHelp;
}

// The help of --commands: each command and the command line it runs.
std::string commandsHelp()
{
    std::string commandHelp = "Commands, comma-separated (default: all):";
    for (const Command& command : commandList()) {
        commandHelp += std::string("\n  ") + command.name + ": " + command.program;
        for (const std::string& option : command.options)
            commandHelp += " " + option;
        if (command.outputOption)
            commandHelp += std::string(" ") + command.outputOption + " OUT";
        commandHelp += command.input == Input::One        ? " FILE"
                       : command.input == Input::FewEdits ? " FILE EDITED (8 edits)"
                                                          : " FILE EDITED (every third edit point)";
    }
    return commandHelp;
}

// The command line: what to grow and run, how far, and where.
struct Arguments {
    std::vector<std::string> kindNames = namesOf(scalemodels::kinds());
    std::vector<std::string> commandNames = namesOf(commandList());
    double baseBytes = 250e3;
    int steps = 3;
    Settings settings;
    std::string directory;
};

// Reads the command line into `args`: -1 to go on, else the exit status
// (--help, --version, or a bad argument, said on standard error).
int readOptions(int argc, char** argv, Arguments& args)
{
    CLI::App app{"Measures how each command's wall time, peak memory and output grow as one kind of input doubles: "
                 "files of each kind at a base size and doubled STEPS times, every command run on each in a fresh "
                 "process, with the growth exponents per doubling and as a least-squares slope in log-log.",
                 "scalebench"};
    app.allow_windows_style_options(false);
    app.set_version_flag("--version", std::string("scalebench ") + DICTIMPORT_VERSION);
    app.option_defaults()->always_capture_default();
    app.footer("Exponents are of the costs above each command's floor, its run on a file of one storey and one "
               "node (time within 5 ms and memory within 1 MB of it are not told apart from noise: '-'); '!' marks "
               "those above 1.15. A command that fails, or reaches the CPU limit, is not run at larger sizes. "
               "Exit status: 0 when every measurement was made or told why not, 1 when a file could not be "
               "written or a command failed on the floor file, 2 for bad arguments.");
    Settings& settings = args.settings;
    settings.bin = fs::path(bench::selfPath()).parent_path().string();
    std::error_code noTemp;
    args.directory = fs::temp_directory_path(noTemp).string();
    double memoryBytes = 8e9;
    app.add_option("--kinds", args.kindNames, kindsHelp())
        ->delimiter(',')
        ->check(CLI::IsMember(namesOf(scalemodels::kinds())))
        ->type_name("KIND,...")
        ->default_str("");
    app.add_option("--commands", args.commandNames, commandsHelp())
        ->delimiter(',')
        ->check(CLI::IsMember(namesOf(commandList())))
        ->type_name("COMMAND,...")
        ->default_str("");
    app.add_option("--size", args.baseBytes,
                   "The smallest size: bytes with an optional unit K, M or G (powers of 1000)")
        ->transform(modelgen::sizeInBytes("B"))
        ->default_str("250K");
    app.add_option("--steps", args.steps, "Doublings of the size")->check(CLI::Range(1, 10));
    app.add_option("--runs", settings.runs, "Runs of each command at each size (the median is shown)")
        ->check(CLI::Range(1, 100));
    app.add_option("--cpu-limit", settings.cpuSeconds, "CPU seconds a run may take before it is stopped")
        ->check(CLI::Range(1, 86400));
    app.add_option("--memory-limit", memoryBytes, "Address space a run may use (unit K, M or G)")
        ->transform(modelgen::sizeInBytes("B"))
        ->default_str("8G");
    app.add_flag("--wall", settings.wallClock,
                 "Exponents of wall time rather than CPU time (user and system), which a busy machine disturbs "
                 "less");
    app.add_option("--bin", settings.bin, "The folder of hostsim, dictcheck and dictdiff")
        ->check(CLI::ExistingDirectory)
        ->type_name("DIR");
    app.add_option("--dir", args.directory, "Where the files are written (in a folder of their own)")
        ->check(CLI::ExistingDirectory)
        ->type_name("DIR");
    app.add_flag("--keep", settings.keep, "Keep the files and the outputs, and say where");
    if (int status = commands::parseArguments(app, argc, argv, "scalebench"); status >= 0)
        return status;
    settings.memoryBytes = static_cast<long long>(memoryBytes);
    return -1;
}

int run(int argc, char** argv)
{
    Arguments args;
    if (int status = readOptions(argc, argv, args); status >= 0)
        return status;
    Settings& settings = args.settings;
    // The files and outputs go to a folder of their own.
    std::string pattern = (fs::path(args.directory) / "scalebench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        commands::print(stderr, "scalebench: cannot make a folder in %s: %s\n", args.directory.c_str(),
                        std::strerror(errno));
        return 1;
    }
    settings.work = pattern;
    std::signal(SIGINT, stop);
    std::signal(SIGTERM, stop);
    int status = run(settings, args.baseBytes, args.steps, args.kindNames, args.commandNames);
    std::error_code error;
    if (settings.keep)
        commands::print(stderr, "scalebench: the files and outputs are in %s\n", settings.work.c_str());
    else
        fs::remove_all(settings.work, error);
    return status;
}

} // namespace
