#include "commands/OutputTarget.h"

#include "commands/OutputFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string_view>
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

// Whether `path` is an existing regular file that does not start as the
// command's own output does: '{', then `"format"` with the command's
// marker as its value, white space allowed between them; or exactly as
// one of `earlierStarts`, the starts of what earlier versions wrote.
bool holdsOtherThanOwnOutput(const std::string& path, const std::string& marker,
                             const std::vector<std::string>& earlierStarts)
{
    std::error_code error;
    if (!fs::is_regular_file(path, error))
        return false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false; // the writability check tells why
    char start[256];
    std::size_t size = std::fread(start, 1, sizeof start, file);
    std::fclose(file);
    std::string_view text(start, size);
    std::size_t at = 0;
    auto expect = [&](std::string_view token) {
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\n' || text[at] == '\r'))
            ++at;
        if (text.substr(at, token.size()) != token)
            return false;
        at += token.size();
        return true;
    };
    if (size == 0)
        return false; // an empty file holds nothing to lose
    for (const std::string& start : earlierStarts)
        if (text.substr(0, start.size()) == start)
            return false;
    return !(expect("{") && expect("\"format\"") && expect(":") && expect("\"" + marker + "\""));
}

} // namespace

std::string refusedTarget(const char* tool, const std::string& target, const std::vector<std::string>& inputs,
                          const char* what, const std::string& marker, const std::vector<std::string>& earlierStarts)
{
    std::string start = std::string(tool) + ": the --json target " + target;
    for (const std::string& input : inputs)
        if (sameFile(input, target))
            return start + " is one of the files to import " + (input == target ? "" : "(" + input + ") ") +
                   "and would be overwritten; give another path\n";
    if (holdsOtherThanOwnOutput(target, marker, earlierStarts))
        return start + " exists and is not a " + what + " written by " + tool +
               " (it does not start with {\"format\": \"" + marker +
               "\"}); not overwriting it: give another path, or remove the file first (is a file to import given "
               "after --json?)\n";
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
