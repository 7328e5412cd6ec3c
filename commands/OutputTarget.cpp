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

// The first bytes of `path` when it is a regular file that holds
// something; empty otherwise (a new file, a device, an empty file: nothing
// to lose).
std::string startOf(const std::string& path)
{
    std::error_code error;
    if (!fs::is_regular_file(path, error))
        return "";
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return ""; // the writability check tells why
    char start[256];
    std::size_t size = std::fread(start, 1, sizeof start, file);
    std::fclose(file);
    return std::string(start, size);
}

// Whether a file's start is the command's own JSON output: '{', then
// `"format"` with the command's marker as its value, white space allowed
// between them; or exactly one of `earlierStarts`, the starts of what
// earlier versions wrote.
bool startsAsOwnJson(std::string_view text, const std::string& marker, const std::vector<std::string>& earlierStarts)
{
    std::size_t at = 0;
    auto expect = [&](std::string_view token) {
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\n' || text[at] == '\r'))
            ++at;
        if (text.substr(at, token.size()) != token)
            return false;
        at += token.size();
        return true;
    };
    for (const std::string& start : earlierStarts)
        if (text.substr(0, start.size()) == start)
            return true;
    return expect("{") && expect("\"format\"") && expect(":") && expect("\"" + marker + "\"");
}

// Why `target` must not be written because it is one of the inputs, or "".
std::string sameAsInput(const std::string& refused, const std::string& target, const std::vector<std::string>& inputs)
{
    for (const std::string& input : inputs)
        if (sameFile(input, target))
            return refused + " is one of the files to import " + (input == target ? "" : "(" + input + ") ") +
                   "and would be overwritten; give another path\n";
    return "";
}

// Why an existing file that is not the command's output is not replaced.
std::string notOwnOutput(const std::string& refused, const char* tool, const char* option, const char* what,
                         const std::string& ownStart)
{
    return refused + " exists and is not a " + what + " written by " + tool + " (it does not start with " +
           ownStart + "); not overwriting it: give another path, or remove the file first (is a file to import " +
           "given after " + option + "?)\n";
}

} // namespace

std::string refusedTarget(const char* tool, const std::string& target, const std::vector<std::string>& inputs,
                          const char* what, const std::string& marker, const std::vector<std::string>& earlierStarts)
{
    std::string refused = std::string(tool) + ": the --json target " + target;
    if (std::string refusal = sameAsInput(refused, target, inputs); !refusal.empty())
        return refusal;
    std::string start = startOf(target);
    if (!start.empty() && !startsAsOwnJson(start, marker, earlierStarts))
        return notOwnOutput(refused, tool, "--json", what, "{\"format\": \"" + marker + "\"}");
    return "";
}

std::string refusedTarget(const char* tool, const char* option, const std::string& target,
                          const std::vector<std::string>& inputs, const char* what, const std::string& ownStart)
{
    std::string refused = std::string(tool) + ": the " + option + " target " + target;
    if (std::string refusal = sameAsInput(refused, target, inputs); !refusal.empty())
        return refusal;
    std::string start = startOf(target);
    if (!start.empty() && start.compare(0, ownStart.size(), ownStart) != 0)
        return notOwnOutput(refused, tool, option, what, ownStart);
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
