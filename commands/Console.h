// What a command says on standard output and standard error. Texts from a
// file (names, values, paths) may hold escape sequences that would steer
// a terminal: everything said goes through text::appendShown, which shows
// control characters escaped; the commands' own texts hold none but tab
// and line feed, so they pass unchanged.
#pragma once

#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <string_view>

namespace commands {

// Writes `text` with its control characters shown escaped; false when the
// write failed.
bool put(std::FILE* out, std::string_view text);

// printf, then put.
#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
bool print(std::FILE* out, const char* format, ...);

// Runs a command's body and returns its exit status; an exception that
// escapes it ends in one line on standard error ("TOOL: out of memory",
// "TOOL: unexpected error: ...") and `failure`, never in std::terminate.
template <class Body>
int guarded(const char* tool, int failure, Body&& body) noexcept
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        std::fflush(stdout);
        print(stderr, "%s: out of memory\n", tool);
    } catch (const std::exception& e) {
        std::fflush(stdout);
        print(stderr, "%s: unexpected error: %s\n", tool, e.what());
    } catch (...) {
        std::fflush(stdout);
        print(stderr, "%s: unexpected error\n", tool);
    }
    return failure;
}

} // namespace commands
