#include "commands/OutputTarget.h"

#include "commands/OutputFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace commands {

namespace {

namespace fs = std::filesystem;

// Whether two paths name the same file: the same file when both exist,
// otherwise the same path once made absolute and resolved as far as it
// exists.
bool sameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    if (fs::equivalent(a, b, error))
        return true;
    auto resolved = [](const std::string& path) {
        std::error_code e;
        fs::path p = fs::weakly_canonical(path, e);
        return e ? fs::absolute(path, e).lexically_normal() : p;
    };
    return resolved(a) == resolved(b);
}

// Whether `path` is a regular file that holds something, white space
// aside, and does not start with `start`.
bool holdsOtherThan(const std::string& path, std::string_view start)
{
    std::error_code error;
    if (!fs::is_regular_file(path, error))
        return false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false; // the writability check tells why
    int c;
    do
        c = std::fgetc(file);
    while (c == ' ' || c == '\t' || c == '\n' || c == '\r');
    bool starts = true;
    for (std::size_t i = 0; c != EOF && starts && i < start.size(); ++i) {
        if (i > 0)
            c = std::fgetc(file);
        starts = c == static_cast<unsigned char>(start[i]);
    }
    bool empty = c == EOF && starts;
    std::fclose(file);
    return !empty && !starts;
}

} // namespace

std::string refusedTarget(const char* tool, const std::string& target, const std::vector<std::string>& inputs,
                          const char* what)
{
    return refusedTarget(tool, "--json", target, inputs, (std::string("JSON ") + what).c_str(), "{");
}

std::string refusedTarget(const char* tool, const char* option, const std::string& target,
                          const std::vector<std::string>& inputs, const char* what, std::string_view expected)
{
    std::string start = std::string(tool) + ": the " + option + " target " + target;
    for (const std::string& input : inputs)
        if (sameFile(input, target))
            return start + " is one of the files to import " + (input == target ? "" : "(" + input + ") ") +
                   "and would be overwritten; give another path\n";
    if (holdsOtherThan(target, expected))
        return start + " exists and is not a " + what + "; not overwriting it (is a file to import given after " +
               option + "?)\n";
    return "";
}

bool writableTarget(const char* tool, const std::string& target)
{
    std::error_code error;
    std::string why;
    bool exists = fs::exists(target, error);
    if (exists && !fs::is_directory(target, error)) {
        if (std::FILE* file = std::fopen(target.c_str(), "ab"))
            std::fclose(file);
        else
            why = std::strerror(errno);
    }
    // A device or pipe is written in place; anything else through a new
    // file beside it.
    OutputFile probe(target);
    if (why.empty() && (!exists || fs::is_regular_file(target, error) || fs::is_directory(target, error)) &&
        !probe.open())
        why = probe.error();
    if (why.empty())
        return true;
    std::fprintf(stderr, "%s: cannot write %s: %s\n", tool, target.c_str(), why.c_str());
    return false;
}

} // namespace commands
