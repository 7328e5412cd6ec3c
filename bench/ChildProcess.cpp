#include "bench/ChildProcess.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace bench {

namespace {

// In the child, between fork and exec: the file `path` as descriptor `fd`.
void redirect(int fd, const std::string& path)
{
    int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (file < 0)
        _exit(126);
    dup2(file, fd);
    close(file);
}

void limit(int resource, rlim_t soft, rlim_t hard)
{
    struct rlimit bounds {soft, hard};
    setrlimit(resource, &bounds);
}

} // namespace

ChildRun runChild(const std::vector<std::string>& argv, const ChildSetup& setup)
{
    ChildRun run;
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    int pipeFds[2] = {-1, -1};
    if (setup.captureOutput && pipe(pipeFds) != 0)
        return run;
    auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid < 0)
        return run;
    if (pid == 0) {
        if (setup.captureOutput) {
            dup2(pipeFds[1], STDOUT_FILENO);
            close(pipeFds[0]);
            close(pipeFds[1]);
        } else if (!setup.outputPath.empty()) {
            redirect(STDOUT_FILENO, setup.outputPath);
        }
        if (!setup.errorPath.empty())
            redirect(STDERR_FILENO, setup.errorPath);
        if (setup.cpuSeconds > 0) // SIGXCPU at the soft limit, SIGKILL a second later
            limit(RLIMIT_CPU, static_cast<rlim_t>(setup.cpuSeconds), static_cast<rlim_t>(setup.cpuSeconds) + 1);
        if (setup.memoryBytes > 0)
            limit(RLIMIT_AS, static_cast<rlim_t>(setup.memoryBytes), static_cast<rlim_t>(setup.memoryBytes));
        execv(args[0], args.data());
        _exit(127);
    }
    run.started = true;
    if (setup.captureOutput) {
        close(pipeFds[1]);
        char buffer[4096];
        ssize_t got;
        while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0)
            run.output.append(buffer, static_cast<std::size_t>(got));
        close(pipeFds[0]);
    }
    int status = 0;
    struct rusage usage {};
    while (wait4(pid, &status, 0, &usage) < 0)
        if (errno != EINTR)
            return run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.userSeconds = static_cast<double>(usage.ru_utime.tv_sec) + static_cast<double>(usage.ru_utime.tv_usec) / 1e6;
    run.systemSeconds = static_cast<double>(usage.ru_stime.tv_sec) + static_cast<double>(usage.ru_stime.tv_usec) / 1e6;
    run.peakMB = usage.ru_maxrss / 1024.0;
    run.exited = WIFEXITED(status);
    run.status = run.exited ? WEXITSTATUS(status) : WTERMSIG(status);
    run.cpuLimited = !run.exited && setup.cpuSeconds > 0 && (run.status == SIGXCPU || run.status == SIGKILL);
    return run;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string selfPath()
{
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error).string();
}

} // namespace bench
