// Checks on a file a command is about to write its output to, made before
// anything else is done, so that a mistaken argument loses nothing.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace commands {

// Why `target` must not be written, as one line for standard error, or ""
// when it may: it is one of the input files (by path or as the same file),
// or an existing, non-empty file that is not the command's own output,
// which starts with the member "format" holding `marker`
// ({"format": "dictimport-report/1", ...}), or starts exactly as one of
// `earlierStarts` (what the command wrote before it wrote the marker).
// `what` names the output ("dump").
std::string refusedTarget(const char* tool, const std::string& target, const std::vector<std::string>& inputs,
                          const char* what, const std::string& marker,
                          const std::vector<std::string>& earlierStarts = {});

// An output of a command and how a file the command wrote as it begins.
struct OutputKind {
    const char* option;             // "--html"
    std::string what;               // "report page"
    std::vector<std::string> start; // its first tokens, white space allowed between them
    std::string shown;              // the same, as a message shows it
    // How what earlier versions wrote starts, exactly, when they wrote
    // it otherwise.
    std::vector<std::string> earlierStarts = {};
};

// An HTML page of a command, given with `option`: it starts with its
// document type, then `marker`, its format comment
// ("<!-- format: dictimport-page/1 -->").
OutputKind pageOutput(const char* option, std::string what, const std::string& marker);

// As above, for any kind of output: "" when `target` may be written, else
// why not: it is one of the inputs, a symbolic link to nothing, or an
// existing, non-empty file that does not start as the command's own
// output of that kind does (links followed).
std::string refusedTarget(const char* tool, const std::string& target, const std::vector<std::string>& inputs,
                          const OutputKind& kind);

// The same for the files a command writes into the folder `dir`, whose
// names it learns only as it works: "" when every existing entry whose
// name `written` accepts (every name the command may write) may be
// replaced, else why the first that may not.
std::string refusedInFolder(const char* tool, const std::string& dir, const std::vector<std::string>& inputs,
                            const OutputKind& kind, const std::function<bool(const std::string&)>& written);

// Whether two paths name the same file (the same file when both exist,
// otherwise the same path once made absolute and resolved).
bool sameFile(const std::string& a, const std::string& b);

// Whether files can be written into the folder `dir`, which is created
// when missing: it is a folder, or it does not exist and the nearest
// folder above it that does is one in which a file can be made (one is
// made and removed again). False, after saying why on standard error,
// when it cannot be.
bool writableFolder(const char* tool, const std::string& dir);

// Whether the target can be written as an OutputFile will write it: an
// existing target must be open to writing (asked of the system, never
// opened: a pipe keeps its reader), and a new file must be possible
// beside a target that is not a pipe or device (one is created and
// removed again). False, after saying why on standard error, when either
// fails.
bool writableTarget(const char* tool, const std::string& target);

} // namespace commands
