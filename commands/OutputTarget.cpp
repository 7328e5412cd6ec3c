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

// Whether `path` is a regular file whose first byte that is not white
// space is something other than '{'.
bool holdsOtherThanJson(const std::string& path)
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
    std::fclose(file);
    return c != EOF && c != '{';
}

} // namespace

std::string refusedTarget(const char* tool, const std::string& target, const std::vector<std::string>& inputs,
                          const char* what)
{
    std::string start = std::string(tool) + ": the --json target " + target;
    for (const std::string& input : inputs)
        if (sameFile(input, target))
            return start + " is one of the files to import " + (input == target ? "" : "(" + input + ") ") +
                   "and would be overwritten; give another path\n";
    if (holdsOtherThanJson(target))
        return start + " exists and is not a JSON " + what +
               "; not overwriting it (is a file to import given after --json?)\n";
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
