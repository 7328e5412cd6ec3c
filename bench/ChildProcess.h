// Measurements in a fresh child process, shared by the benchmarks: one
// command run to its end, its wall time as the parent sees it, its CPU
// time and peak resident memory (ru_maxrss) and, when asked for, its
// standard output.
#pragma once

#include <string>
#include <vector>

namespace bench {

// Where the child's standard output and error go, and what it may use.
struct ChildSetup {
    bool captureOutput = false; // standard output into ChildRun::output
    std::string outputPath;     // otherwise into this file ("" inherits the parent's)
    std::string errorPath;      // standard error into this file ("" inherits the parent's)
    int cpuSeconds = 0;         // the kernel ends the child after this much CPU time (0: no limit)
    long long memoryBytes = 0;  // address space beyond which allocations fail (0: no limit)
};

struct ChildRun {
    bool started = false;
    bool exited = false;    // ended by exit; otherwise by a signal
    int status = 0;         // its exit status, or the signal that ended it
    bool cpuLimited = false; // the signal was the CPU limit's
    double seconds = 0;     // wall time from fork to reaping
    double userSeconds = 0; // ru_utime
    double systemSeconds = 0; // ru_stime: the kernel's work for it (files, pages)
    double peakMB = 0;      // ru_maxrss
    std::string output;     // its standard output, when captured
    bool succeeded() const { return started && exited && status == 0; }
};

// Runs argv[0] (a path) with the arguments argv[1...] and waits for it.
ChildRun runChild(const std::vector<std::string>& argv, const ChildSetup& setup = {});

double median(std::vector<double> values);

// The running program's own path.
std::string selfPath();

} // namespace bench
