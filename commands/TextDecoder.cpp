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

} // namespace commands
