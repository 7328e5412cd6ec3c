#include "commands/OutputTarget.h"

#include "commands/Console.h"
#include "commands/OutputFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>

namespace commands {

namespace fs = std::filesystem;

namespace {

// Whether `path` is an existing regular file that does not start as the
// command's own output of this kind does: with its tokens, white space
// allowed between them; or exactly as one of its earlier starts, what
// earlier versions wrote.
bool holdsOtherThanOwnOutput(const std::string& path, const OutputKind& kind)
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
    for (const std::string& start : kind.earlierStarts)
        if (text.substr(0, start.size()) == start)
            return false;
    for (const std::string& token : kind.start)
        if (!expect(token))
            return true;
    return false;
}

} // namespace

bool sameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    if (fs::equivalent(a, b, error))
        return true;
    // Absolute first: a relative path whose first part does not exist
    // stays relative in weakly_canonical ("r.json", but "./r.json").
    auto resolved = [](const std::string& path) {
        std::error_code e;
        fs::path absolute = fs::absolute(path, e).lexically_normal();
        fs::path p = fs::weakly_canonical(absolute, e);
        return e ? absolute : p;
    };
    return resolved(a) == resolved(b);
}

std::string refusedTarget(const char* tool, const std::string& target, const std::vector<std::string>& inputs,
                          const char* what, const std::string& marker, const std::vector<std::string>& earlierStarts)
{
    return refusedTarget(tool, target, inputs,
                         OutputKind{"--json", what, {"{", "\"format\"", ":", "\"" + marker + "\""},
                                    "{\"format\": \"" + marker + "\"}", earlierStarts});
}

OutputKind pageOutput(const char* option, std::string what, const std::string& marker)
{
    return {option, std::move(what), {"<!DOCTYPE html>", marker}, "<!DOCTYPE html> " + marker};
}

std::string refusedTarget(const char* tool, const std::string& target, const std::vector<std::string>& inputs,
                          const OutputKind& kind)
{
    std::string start = std::string(tool) + ": the " + kind.option + " target " + target;
    for (const std::string& input : inputs)
        if (sameFile(input, target))
            return start + " is one of the files to import " + (input == target ? "" : "(" + input + ") ") +
                   "and would be overwritten; give another path\n";
    std::error_code error;
    if (fs::is_symlink(target, error) && !fs::exists(target, error))
        return start + " is a symbolic link to nothing, and writing through it would make a file elsewhere; "
                       "give another path, or remove the link first\n";
    if (holdsOtherThanOwnOutput(target, kind))
        return start + " exists and is not a " + kind.what + " written by " + tool + " (it does not start with " +
               kind.shown + "); not overwriting it: give another path, or remove the file first (is a file to "
               "import given after " + kind.option + "?)\n";
    return "";
}

std::string refusedInFolder(const char* tool, const std::string& dir, const std::vector<std::string>& inputs,
                            const OutputKind& kind, const std::function<bool(const std::string&)>& written)
{
    std::error_code error;
    if (!fs::is_directory(dir, error))
        return "";
    for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        if (!written(name))
            continue;
        std::string refusal = refusedTarget(tool, it->path().string(), inputs, kind);
        if (!refusal.empty())
            return refusal;
    }
    return "";
}

bool writableTarget(const char* tool, const std::string& target)
{
    std::error_code error;
    std::string why;
    fs::file_status status = fs::status(target, error);
    bool exists = fs::exists(status);
    bool inPlace = exists && !fs::is_regular_file(status) && !fs::is_directory(status);
    // Asked, not tried: a pipe opened and closed here would end its
    // reader's input before the output is written.
    if (exists && !fs::is_directory(status) && !filesystem::mayWrite(target.c_str()))
        why = std::strerror(errno);
    // A device or pipe is written in place; anything else through a new
    // file beside it, which must be possible.
    OutputFile probe(target);
    if (why.empty() && !inPlace && !probe.open())
        why = probe.error();
    if (why.empty())
        return true;
    print(stderr, "%s: cannot write %s: %s\n", tool, target.c_str(), why.c_str());
    return false;
}

bool writableFolder(const char* tool, const std::string& dir)
{
    std::error_code error;
    std::string why;
    fs::path folder = fs::absolute(dir, error);
    fs::path existing = folder;
    while (!error && existing.has_relative_path()) {
        std::error_code missing; // a path under a file is missing too
        if (fs::exists(fs::status(existing, missing)))
            break;
        existing = existing.parent_path();
    }
    if (error)
        why = error.message();
    else if (!fs::is_directory(existing, error))
        why = existing == folder ? "it is not a folder" : existing.string() + " is not a folder";
    else if (OutputFile probe((existing / "probe").string()); !probe.open())
        why = probe.error();
    if (why.empty())
        return true;
    print(stderr, "%s: cannot write into %s: %s\n", tool, dir.c_str(), why.c_str());
    return false;
}

} // namespace commands
