// The command line as every command here reads it.
#pragma once

#include <CLI/CLI.hpp>

namespace commands {

// Parses the command line. --help and --version are answered and give 0;
// a bad argument gives one line "TOOL: reason (see 'TOOL --help')" on
// standard error and 2;
// otherwise -1, and the command goes on.
int parseArguments(CLI::App& app, int argc, char** argv, const char* tool);

// `one` for 1, `many` otherwise.
inline const char* plural(long long n, const char* one, const char* many)
{
    return n == 1 ? one : many;
}

} // namespace commands
