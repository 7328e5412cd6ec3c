#include "commands/Console.h"
#include "commands/ProgressLine.h"

#include <cstdarg>

#include "text/Escapes.h"
#include "text/Format.h"

namespace commands {

bool put(std::FILE* out, std::string_view text)
{
    // A line of progress on the terminal gives way to what is said.
    eraseProgress();
    std::string shown;
    if (text::hasControls(text)) {
        text::appendShown(shown, text);
        text = shown;
    }
    return std::fwrite(text.data(), 1, text.size(), out) == text.size();
}

bool print(std::FILE* out, const char* format, ...)
{
    std::string text;
    va_list args;
    va_start(args, format);
    text::appendFormattedV(text, format, args);
    va_end(args);
    return put(out, text);
}

} // namespace commands
