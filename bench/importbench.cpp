// importbench: TinyXML's own load and teardown against the whole import
// through the plug-in, on generated models of several sizes. Every
// measurement runs in a fresh process, so that peak RSS is its own.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <iostream>
#include <malloc.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <CLI/CLI.hpp>
#include <tinyxml.h>

#include "host/EventData.h"
#include "hostsim/store/Store.h"
#include "tools/modelgen/ModelWriter.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

struct Sample {
    double seconds = 0;
    double peakMB = 0;
    double storeMB = 0;
    long long records = 0;
};

using Dispatch = int (*)(EventData*);

// The plug-in's EventDispatcher; the plug-in stays loaded.
Dispatch loadDispatcher(const std::string& plugin)
{
    void* library = dlopen(plugin.c_str(), RTLD_NOW);
    auto dispatch = library ? reinterpret_cast<Dispatch>(dlsym(library, "EventDispatcher")) : nullptr;
    if (!dispatch)
        std::fprintf(stderr, "importbench: cannot load %s\n", plugin.c_str());
    return dispatch;
}

// Child side: one measurement, printed as "seconds records storeBytes".
int measure(const std::string& mode, const std::string& file, const std::string& plugin)
{
    if (mode == "tinyxml") {
        auto start = Clock::now();
        {
            TiXmlDocument document;
            if (!document.LoadFile(file.c_str()))
                return 1;
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
    std::size_t heapAfter = mallinfo2().uordblks;
    long long records = 0;
    for (const auto& count : hoststore::countRecords())
        records += count.records;
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
        if (i == 1 || i % step == 0)
            std::printf("import %5d: resident %8ld KB, %.1f s\n", i, residentKB(),
                        std::chrono::duration<double>(Clock::now() - start).count());
    }
    return 0;
}

// Parent side: runs one measurement in a child process.
bool runChild(const std::string& self, const std::string& mode, const std::string& file, const std::string& plugin,
              Sample& sample)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return false;
    pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        execl(self.c_str(), self.c_str(), "--child", mode.c_str(), "--plugin", plugin.c_str(), file.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    std::string out;
    char buffer[256];
    ssize_t got;
    while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        out.append(buffer, static_cast<std::size_t>(got));
    close(pipeFds[0]);
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return false;
    unsigned long long storeBytes = 0;
    if (std::sscanf(out.c_str(), "%lf %lld %llu", &sample.seconds, &sample.records, &storeBytes) != 3)
        return false;
    sample.peakMB = usage.ru_maxrss / 1024.0;
    sample.storeMB = storeBytes / 1048576.0;
    return true;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string selfPath()
{
    std::error_code error;
    return fs::read_symlink("/proc/self/exe", error).string();
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Measures TinyXML's load and teardown alone (a) against the whole import through the "
                 "plug-in into the stand-in store (b), on generated models; medians of several runs.",
                 "importbench"};
    std::vector<int> sizes{1, 10, 100};
    int runs = 5;
    std::string plugin = (fs::path(selfPath()).parent_path() / "libDictImport.so").string();
    std::string directory = fs::temp_directory_path().string();
    std::string child;
    std::vector<std::string> childFile;
    app.add_option("--sizes", sizes, "Model sizes in MB")->delimiter(',');
    app.add_option("--runs", runs, "Runs per measurement")->check(CLI::Range(1, 100));
    app.add_option("--plugin", plugin, "The plug-in library");
    app.add_option("--dir", directory, "Where the generated models are written");
    int repeats = 0;
    app.add_option("--repeat", repeats, "Import the given file this many times in one process instead")
        ->check(CLI::Range(1, 1000000));
    app.add_option("--child", child)->group("");
    app.add_option("file", childFile)->group("");
    CLI11_PARSE(app, argc, argv);
    if (!child.empty())
        return childFile.empty() ? 2 : measure(child, childFile[0], plugin);
    if (repeats > 0)
        return childFile.empty() ? 2 : repeat(childFile[0], plugin, repeats);

    std::string self = selfPath();
    std::printf("%8s %-8s %10s %8s %12s %10s %10s\n", "size MB", "mode", "median s", "MB/s", "records/s",
                "peak MB", "store MB");
    for (int mb : sizes) {
        // A smaller grid for small files, so that a storey does not outgrow them.
        modelgen::BuildingShape shape = mb < 5 ? modelgen::BuildingShape{1, 4, 3, 2026} : modelgen::BuildingShape{1, 10, 8, 2026};
        shape.storeys = modelgen::storeysForSize(shape, mb * 1000000LL);
        fs::path file = fs::path(directory) / ("bench-" + std::to_string(mb) + "MB.xml");
        if (!fs::exists(file)) {
            std::FILE* out = std::fopen(file.c_str(), "wb");
            if (!out || modelgen::writeModel(shape, out) < 0) {
                std::fprintf(stderr, "importbench: cannot write %s\n", file.c_str());
                return 1;
            }
            std::fclose(out);
        }
        double fileMB = fs::file_size(file) / 1e6;
        double medians[2] = {0, 0}, peaks[2] = {0, 0}, store = 0;
        long long records = 0;
        const char* modes[] = {"tinyxml", "import"};
        for (int m = 0; m < 2; ++m) {
            std::vector<double> seconds, peak;
            for (int r = 0; r < runs; ++r) {
                Sample sample;
                if (!runChild(self, modes[m], file.string(), plugin, sample)) {
                    std::fprintf(stderr, "importbench: %s run failed\n", modes[m]);
                    return 1;
                }
                seconds.push_back(sample.seconds);
                peak.push_back(sample.peakMB);
                if (m == 1) {
                    records = sample.records;
                    store = sample.storeMB;
                }
            }
            medians[m] = median(seconds);
            peaks[m] = median(peak);
        }
        for (int m = 0; m < 2; ++m)
            std::printf("%8.1f %-8s %10.3f %8.1f %12.0f %10.1f %10s\n", fileMB, modes[m], medians[m],
                        fileMB / medians[m], records / medians[m], peaks[m],
                        m ? std::to_string(static_cast<int>(store + 0.5)).c_str() : "");
        std::printf("%8.1f b/a time %.3f, time per MB %.2f ms, peak b / (a + store) %.3f\n\n", fileMB,
                    medians[1] / medians[0], 1000 * medians[1] / fileMB, peaks[1] / (peaks[0] + store));
        std::fflush(stdout);
    }
    return 0;
}
