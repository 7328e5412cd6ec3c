// printf into a string, for texts laid out in columns. Header-only.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

namespace text {

inline void appendFormattedV(std::string& out, const char* format, va_list args)
{
    va_list again;
    va_copy(again, args);
    int length = std::vsnprintf(nullptr, 0, format, args);
    if (length > 0) {
        std::size_t at = out.size();
        out.resize(at + static_cast<std::size_t>(length) + 1);
        std::vsnprintf(&out[at], static_cast<std::size_t>(length) + 1, format, again);
        out.pop_back(); // the terminating NUL
    }
    va_end(again);
}

#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
inline void appendFormatted(std::string& out, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    appendFormattedV(out, format, args);
    va_end(args);
}

} // namespace text
