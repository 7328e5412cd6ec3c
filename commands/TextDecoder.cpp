#include "commands/TextDecoder.h"

#include <cctype>

namespace commands {

bool namesUtf8(std::string_view encoding)
{
    std::string name;
    for (char c : encoding)
        if (c != '-' && c != '_')
            name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name == "utf8";
}

bool namesWideEncoding(std::string_view encoding)
{
    std::string name;
    for (char c : encoding)
        if (c != '-' && c != '_')
            name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* wide : {"utf16", "utf32", "ucs2", "ucs4", "unicode"})
        if (name.rfind(wide, 0) == 0)
            return true;
    return false;
}

} // namespace commands
