#include "tools/plan/Markup.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "text/Utf8.h"

namespace plan {

void appendEscaped(std::string& out, std::string_view text)
{
    static const char kReplacement[] = "\xEF\xBF\xBD"; // U+FFFD
    while (!text.empty()) {
        unsigned char c = static_cast<unsigned char>(text[0]);
        std::size_t length = platform::utf8SequenceLength(text);
        if (length == 0 || (c < 0x20 && c != '\t' && c != '\n' && c != '\r') ||
            text.substr(0, 3) == "\xEF\xBF\xBE" || text.substr(0, 3) == "\xEF\xBF\xBF") {
            out += kReplacement;
            text.remove_prefix(length == 0 ? 1 : length);
            continue;
        }
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out.append(text.data(), length);
        }
        text.remove_prefix(length);
    }
}

std::string escaped(std::string_view text)
{
    std::string out;
    appendEscaped(out, text);
    return out;
}

std::string shortened(std::string_view text, std::size_t limit)
{
    if (text.size() <= limit)
        return std::string(text);
    std::size_t end = 0;
    while (end < text.size()) {
        std::size_t length = std::max<std::size_t>(platform::utf8SequenceLength(text.substr(end)), 1);
        if (end + length > limit)
            break;
        end += length;
    }
    return std::string(text.substr(0, end)) + "\xE2\x80\xA6"; // …
}

void appendNumber(std::string& out, double value)
{
    if (!std::isfinite(value)) {
        out += '0';
        return;
    }
    char buffer[40];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 10);
    out.append(buffer, result.ptr);
}

std::string number(double value)
{
    std::string out;
    appendNumber(out, value);
    return out;
}

} // namespace plan
