// Checks on a file a command is about to write its JSON output to, made
// before anything else is done, so that a mistaken argument loses nothing.
#pragma once

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

// The same for an output that is not JSON: `option` names it ("--csv"),
// and an existing, non-empty file is refused unless it starts exactly with
// `ownStart`, as the command's output does (its header line).
std::string refusedTarget(const char* tool, const char* option, const std::string& target,
                          const std::vector<std::string>& inputs, const char* what, const std::string& ownStart);

// Whether the target can be written as an OutputFile will write it: an
// existing target must be open to writing (it is opened for appending and
// closed, never changed), and a new file must be possible beside it (one
// is created and removed again). False, after saying why on standard
// error, when either fails.
bool writableTarget(const char* tool, const std::string& target);

} // namespace commands
