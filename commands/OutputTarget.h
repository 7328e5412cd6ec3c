// Checks on a file a command is about to write its JSON output to, made
// before anything else is done, so that a mistaken argument loses nothing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace commands {

// Why `target` must not be written, as one line for standard error, or ""
// when it may: it is one of the input files (by path or as the same file),
// or an existing file that holds something other than JSON (its first byte
// that is not white space is not '{'). `what` names the output ("dump").
std::string refusedTarget(const char* tool, const std::string& target, const std::vector<std::string>& inputs,
                          const char* what);

// The same for the output of any option: `option` names it ("--csv"), and
// an existing file is refused unless it starts, white space aside, with
// `start`, as an earlier output does.
std::string refusedTarget(const char* tool, const char* option, const std::string& target,
                          const std::vector<std::string>& inputs, const char* what, std::string_view start);

// Whether the target can be written as an OutputFile will write it: an
// existing target must be open to writing (it is opened for appending and
// closed, never changed), and a new file must be possible beside it (one
// is created and removed again). False, after saying why on standard
// error, when either fails.
bool writableTarget(const char* tool, const std::string& target);

} // namespace commands
