// importbench: the whole import through the plug-in against two floors,
// TinyXML's LoadFile and teardown with its defaults (a) and with row and
// column tracking off, tab size 0 (a0), on generated models of several
// sizes or on the user's files. Every measurement runs in a fresh process,
// so that peak RSS is its own; the modes alternate run by run.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <iostream>
#include <malloc.h>
#include <string>
#include <unistd.h>
#include <vector>

#include <CLI/CLI.hpp>
#include <tinyxml.h>

#include "bench/ChildProcess.h"
#include "commands/Arguments.h"
#include "commands/Console.h"
#include "commands/OutputFile.h"
#include "host/EventData.h"
#include "hostsim/framework/FrameworkHost.h"
#include "hostsim/store/Store.h"
#include "text/Utf8.h"
#include "tools/modelgen/ModelWriter.h"
#include "tools/modelgen/SizeOption.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using modelgen::count;

namespace {

// What one child process measured.
struct Sample {
    double seconds = 0;
    double peakMB = 0;
    double storeMB = 0;
    long long records = 0;
};

// The three things measured, in the order they alternate.
struct Mode {
    const char* name;  // as the child is asked for it
    const char* label; // as the table shows it
};
const Mode kModes[] = {
    {"loadfile", "a  LoadFile"},
    {"loadfile-tab0", "a0 LoadFile, tab 0"},
    {"import", "b  import"},
};
constexpr int kModeCount = 3;

using Dispatch = int (*)(EventData*);

// Whether the plug-in told of an error since the flag was last cleared: a
// file it could not import. Its messages go to standard error.
bool g_importFailed = false;

void showMessage(const wchar_t* text, unsigned int type)
{
    std::string line = platform::toUtf8(text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    if ((type & 0xF0) == kMessageBoxIconError)
        g_importFailed = true;
}

// The plug-in's EventDispatcher; the plug-in stays loaded, and its
// messages are taken over.
Dispatch loadDispatcher(const std::string& plugin)
{
    hostframework::setMessageBoxHandler(showMessage);
    void* library = dlopen(plugin.c_str(), RTLD_NOW);
    auto dispatch = library ? reinterpret_cast<Dispatch>(dlsym(library, "EventDispatcher")) : nullptr;
    if (!dispatch)
        commands::print(stderr, "importbench: cannot load the plug-in %s: %s\n", plugin.c_str(), dlerror());
    return dispatch;
}

// Child side: one measurement, printed as "seconds records storeBytes".
int measure(const std::string& mode, const std::string& file, const std::string& plugin)
{
    if (mode != "import") {
        auto start = Clock::now();
        {
            TiXmlDocument document;
            if (mode == "loadfile-tab0")
                document.SetTabSize(0); // no row and column tracking
            if (!document.LoadFile(file.c_str())) {
                commands::print(stderr, "importbench: TinyXML cannot load %s: %s\n", file.c_str(), document.ErrorDesc());
                return 1;
            }
        }
        double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        std::printf("%.6f 0 0\n", seconds);
        return 0;
    }
    auto dispatch = loadDispatcher(plugin);
    if (!dispatch)
        return 1;
    EventData event;
    event.m_strPath = file;
    std::size_t heapBefore = mallinfo2().uordblks;
    auto start = Clock::now();
    dispatch(&event);
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (g_importFailed)
        return 1;
    std::size_t heapAfter = mallinfo2().uordblks;
    long long records = 0;
    for (const auto& table : hoststore::countRecords())
        records += table.records;
    std::printf("%.6f %lld %zu\n", seconds, records, heapAfter > heapBefore ? heapAfter - heapBefore : 0);
    return 0;
}

long residentKB()
{
    long pages = 0, resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Imports one file `times` times in this process, printing resident memory
// every `times / 10` imports.
int repeat(const std::string& file, const std::string& plugin, int times)
{
    auto dispatch = loadDispatcher(plugin);
    if (!dispatch)
        return 1;
    EventData event;
    event.m_strPath = file;
    int step = std::max(1, times / 10);
    auto start = Clock::now();
    for (int i = 1; i <= times; ++i) {
        dispatch(&event);
        if (g_importFailed) {
            commands::print(stderr, "importbench: the plug-in could not import %s (import %d)\n", file.c_str(), i);
            return 1;
        }
        if (i == 1 || i % step == 0)
            std::printf("import %5d: resident %8ld KB, %.1f s\n", i, residentKB(),
                        std::chrono::duration<double>(Clock::now() - start).count());
    }
    return 0;
}

// Parent side: runs one measurement in a child process. The child's
// standard error is the parent's, so a failing run says why.
bool runChild(const std::string& self, const char* mode, const std::string& file, const std::string& plugin,
              Sample& sample)
{
    bench::ChildSetup setup;
    setup.captureOutput = true;
    bench::ChildRun run = bench::runChild({self, "--child", mode, "--plugin", plugin, file}, setup);
    if (!run.succeeded())
        return false;
    unsigned long long storeBytes = 0;
    if (std::sscanf(run.output.c_str(), "%lf %lld %llu", &sample.seconds, &sample.records, &storeBytes) != 3)
        return false;
    sample.peakMB = run.peakMB;
    sample.storeMB = storeBytes / 1048576.0;
    return true;
}

// Measures one file: `runs` rounds, each mode once per round; prints the
// medians and the ratios. False when a run failed.
bool measureFile(const std::string& self, const std::string& file, const std::string& plugin, int runs)
{
    std::printf("%s\n", file.c_str());
    std::vector<double> seconds[kModeCount], peaks[kModeCount];
    long long records = 0;
    double store = 0;
    for (int r = 0; r < runs; ++r)
        for (int m = 0; m < kModeCount; ++m) {
            Sample sample;
            if (!runChild(self, kModes[m].name, file, plugin, sample)) {
                commands::print(stderr, "importbench: the %s run on %s failed\n", kModes[m].name, file.c_str());
                return false;
            }
            seconds[m].push_back(sample.seconds);
            peaks[m].push_back(sample.peakMB);
            if (std::string(kModes[m].name) == "import") {
                records = sample.records;
                store = sample.storeMB;
            }
        }
    std::error_code error;
    double fileMB = fs::file_size(file, error) / 1e6;
    double medians[kModeCount], peak[kModeCount];
    for (int m = 0; m < kModeCount; ++m) {
        medians[m] = bench::median(seconds[m]);
        peak[m] = bench::median(peaks[m]);
        std::string storeText = m == kModeCount - 1 ? std::to_string(static_cast<long long>(store + 0.5)) : "";
        std::printf("%8.2f %-19s %9.3f %8.1f %11.0f %9.1f %9s\n", fileMB, kModes[m].label, medians[m],
                    fileMB / medians[m], records / medians[m], peak[m], storeText.c_str());
    }
    std::printf("%8.2f import / a %.3f, import / a0 %.3f; %.2f ms per MB; peak b / (a + store) %.3f; %s\n\n",
                fileMB, medians[2] / medians[0], medians[2] / medians[1], 1000 * medians[2] / fileMB,
                peak[2] / (peak[0] + store), count(records, "record", "records").c_str());
    std::fflush(stdout);
    return true;
}

// The generated model being written or measured, removed when the run is
// interrupted; empty when there is none or it is kept.
char g_removeOnSignal[4096];

void removeAndStop(int signal)
{
    if (g_removeOnSignal[0])
        unlink(g_removeOnSignal);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void removeOnSignal(const std::string& path)
{
    std::snprintf(g_removeOnSignal, sizeof g_removeOnSignal, "%s", path.c_str());
}

// A generated model of about `bytes` bytes in `directory`: one kept from
// an earlier run when there is one, otherwise written now. `generated`
// tells which. Empty when it cannot be written.
std::string modelOfSize(double bytes, const std::string& directory, bool keep, bool& generated)
{
    // A smaller grid for small files, so that a storey does not outgrow them.
    modelgen::BuildingShape grid = bytes < 5e6 ? modelgen::BuildingShape{1, 4, 3, 2026}
                                               : modelgen::BuildingShape{1, 10, 8, 2026};
    modelgen::SizeFit fit = modelgen::fitSize(grid, bytes);
    fs::path file = fs::path(directory) / ("bench-" + std::to_string(fit.target) + ".xml");
    generated = !fs::exists(file);
    if (generated) {
        std::string partial = file.string() + ".partial";
        removeOnSignal(partial);
        std::FILE* out = std::fopen(partial.c_str(), "wb");
        if (!out) {
            commands::print(stderr, "importbench: cannot write %s: %s\n", partial.c_str(), std::strerror(errno));
            return "";
        }
        std::setvbuf(out, nullptr, _IOFBF, 1 << 20);
        bool written = modelgen::writeModel(fit.shape, out) >= 0;
        written = std::fclose(out) == 0 && written;
        if (!written || std::rename(partial.c_str(), file.c_str()) != 0) {
            commands::print(stderr, "importbench: writing %s failed: %s\n", partial.c_str(), std::strerror(errno));
            std::remove(partial.c_str());
            return "";
        }
        removeOnSignal(keep ? "" : file.string());
    } else {
        commands::print(stderr, "importbench: using %s, kept by an earlier run\n", file.c_str());
    }
    std::error_code error;
    if (!fit.met)
        commands::print(stderr, "importbench: note: %s\n",
                     modelgen::unmetSizeNote(fit, static_cast<long long>(fs::file_size(file, error)), "measuring")
                         .c_str());
    return file.string();
}

// The user's file can be measured: it can be read, and read again by each
// run (so no pipe). Otherwise says why.
bool readableFile(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        commands::print(stderr, "importbench: cannot read %s: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    std::fclose(file);
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        commands::print(stderr, "importbench: %s is not a regular file; every run reads it anew (see 'importbench --help')\n",
                     path.c_str());
        return false;
    }
    return true;
}

} // namespace

namespace {

int run(int argc, char** argv);

} // namespace

int main(int argc, char** argv)
{
    return commands::guarded("importbench", 1, [&] { return run(argc, argv); });
}

namespace {

// The command line: what to measure (generated models of `sizes`, or
// `files`), how, and the child's part when this process is one.
struct Arguments {
    std::vector<double> sizes{1e6};
    bool sized = false; // --sizes was given
    int runs = 5;
    std::string plugin;
    std::string directory;
    bool keep = false;
    int repeats = 0;
    bool repeating = false; // --repeat was given
    std::string child;
    std::vector<std::string> files;
};

// Reads the command line into `args`: -1 to go on, else the exit status
// (--help, --version, or a bad argument, said on standard error).
int readOptions(int argc, char** argv, Arguments& args)
{
    CLI::App app{"Measures the whole import through the plug-in into the stand-in store (b) against two floors, "
                 "TinyXML's LoadFile and teardown with its defaults (a) and with tab size 0 (a0, no row and column "
                 "tracking), on generated models or on the given FILEs: medians of alternating runs, each in a fresh "
                 "process.",
                 "importbench"};
    app.allow_windows_style_options(false);
    app.set_version_flag("--version", std::string("importbench ") + DICTIMPORT_VERSION);
    app.option_defaults()->always_capture_default();
    app.footer("Without --sizes or FILE, one quick run on a 1 MB model. Exit status: 0 when every run completed, "
               "1 when a run failed (the plug-in could not import the file, say) or a model or the results could "
               "not be written, 2 for bad arguments.");
    args.plugin = (fs::path(bench::selfPath()).parent_path() / "libDictImport.so").string();
    std::error_code noTemp;
    args.directory = fs::temp_directory_path(noTemp).string();
    CLI::Option* sizesOption =
        app.add_option("--sizes", args.sizes,
                       "Sizes of the generated models, comma-separated: MB, or with a unit B, K, M or G (powers of "
                       "1000, either case)")
            ->delimiter(',')
            ->expected(1)
            ->allow_extra_args(false)
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
            ->transform(modelgen::sizeInBytes("M"))
            ->type_name("SIZES")
            ->default_str("1");
    app.add_option("--runs", args.runs, "Runs of each measurement")->check(CLI::Range(1, 1000));
    app.add_option("--plugin", args.plugin, "The plug-in library")->check(CLI::ExistingFile)->type_name("PATH");
    app.add_option("--dir", args.directory, "Where the generated models are written")
        ->check(CLI::ExistingDirectory)
        ->type_name("DIR");
    app.add_flag("--keep", args.keep, "Keep the generated models in --dir; later runs use them again");
    CLI::Option* repeatOption =
        app.add_option("--repeat", args.repeats, "Import FILE this many times in one process, printing resident "
                                                 "memory, instead of measuring")
            ->check(CLI::Range(1, 1000000))
            ->default_str("");
    app.add_option("--child", args.child)->group("");
    CLI::Option* filesOption = app.add_option("FILE", args.files, "Dictionary files to measure instead of generated "
                                                                  "models")
                                   ->default_str("");
    sizesOption->excludes(filesOption);
    sizesOption->excludes(repeatOption);
    if (int status = commands::parseArguments(app, argc, argv, "importbench"); status >= 0)
        return status;
    args.sized = static_cast<bool>(*sizesOption);
    args.repeating = static_cast<bool>(*repeatOption);
    return -1;
}

// Whether --repeat has its one FILE and every FILE can be read anew by
// each run; false after saying why not.
bool checkFiles(const Arguments& args)
{
    if (args.repeating && args.files.size() != 1) {
        commands::print(stderr, "importbench: --repeat takes one FILE, not %zu (see 'importbench --help')\n",
                        args.files.size());
        return false;
    }
    for (const std::string& file : args.files)
        if (!readableFile(file))
            return false;
    return true;
}

// The table's heading: what is measured, and the columns.
void printHeading(const Arguments& args)
{
    bool generated = args.files.empty();
    long long measurements =
        generated ? static_cast<long long>(args.sizes.size()) : static_cast<long long>(args.files.size());
    std::printf("importbench: %s, %s each, alternating, each in a fresh process\n",
                count(measurements, generated ? "model size" : "file", generated ? "model sizes" : "files").c_str(),
                count(args.runs, "run", "runs").c_str());
    std::printf("%8s %-19s %9s %8s %11s %9s %9s\n", "size MB", "mode", "median s", "MB/s", "records/s", "peak MB",
                "store MB");
}

// Measures each FILE; false when a run failed.
bool measureFiles(const std::string& self, const Arguments& args)
{
    for (const std::string& file : args.files)
        if (!measureFile(self, file, args.plugin, args.runs))
            return false;
    return true;
}

// Measures a generated model of each size, written to --dir unless kept
// there from an earlier run, and removed after unless --keep; false when
// a model could not be written or a run failed.
bool measureSizes(const std::string& self, const Arguments& args)
{
    for (double bytes : args.sizes) {
        bool generated = false;
        std::string file = modelOfSize(bytes, args.directory, args.keep, generated);
        if (file.empty())
            return false;
        bool measured = measureFile(self, file, args.plugin, args.runs);
        if (generated && !args.keep)
            std::remove(file.c_str());
        else if (generated)
            commands::print(stderr, "importbench: kept %s\n", file.c_str());
        removeOnSignal("");
        if (!measured)
            return false;
    }
    return true;
}

int run(int argc, char** argv)
{
    Arguments args;
    if (int status = readOptions(argc, argv, args); status >= 0)
        return status;
    if (!args.child.empty())
        return args.files.size() == 1 ? measure(args.child, args.files[0], args.plugin) : 2;
    if (!checkFiles(args))
        return 2;
    if (args.repeating)
        return repeat(args.files[0], args.plugin, args.repeats);

    if (!args.sized && args.files.empty())
        commands::print(stderr, "importbench: a quick run on a 1 MB model; --sizes 1,10,100 measures larger ones "
                             "(100 MB takes minutes and about 1.5 GB of memory), FILE... measures your files\n");
    std::signal(SIGINT, removeAndStop);
    std::signal(SIGTERM, removeAndStop);
    std::string self = bench::selfPath();
    printHeading(args);
    if (!(args.files.empty() ? measureSizes(self, args) : measureFiles(self, args)))
        return 1;
    return commands::standardOutputWritten("importbench") ? 0 : 1;
}

} // namespace
