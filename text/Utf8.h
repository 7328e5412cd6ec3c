// Wide text to UTF-8 and back, for messages and file names on systems
// whose interfaces take narrow text. wchar_t is UTF-16 on Windows, UTF-32
// elsewhere.
//
// Header-only and depending on nothing else here (library utf8), so that
// the platform layer, the plug-in and the host's stand-ins can all use it;
// the functions keep the platform namespace their callers use.
#pragma once

#include <string>
#include <string_view>

namespace platform {

inline std::string toUtf8(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char32_t>(text[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
                char32_t low = static_cast<char32_t>(text[i + 1]);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                    ++i;
                }
            }
        }
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
            c = 0xFFFD; // a lone surrogate or no code point at all
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Length of the valid UTF-8 sequence at the start of `s`, or 0 when the
// first byte does not begin one (stray continuation, overlong form,
// surrogate, beyond U+10FFFF, or cut short).
inline std::size_t utf8SequenceLength(std::string_view s)
{
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    unsigned char b0 = byte(0);
    if (b0 < 0x80)
        return 1;
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        if (b0 == 0xE0)
            low = 0xA0;
        else if (b0 == 0xED)
            high = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        if (b0 == 0xF0)
            low = 0x90;
        else if (b0 == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (s.size() < length)
        return 0;
    if (byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    return length;
}

// UTF-8 text as wide text; each byte that does not begin a valid sequence
// becomes U+FFFD.
inline std::wstring fromUtf8(std::string_view text)
{
    std::wstring out;
    out.reserve(text.size());
    while (!text.empty()) {
        std::size_t length = utf8SequenceLength(text);
        if (length == 0) {
            out += static_cast<wchar_t>(0xFFFD);
            text.remove_prefix(1);
            continue;
        }
        char32_t c = static_cast<unsigned char>(text[0]);
        if (length > 1) {
            c &= 0x3F >> (length - 1);
            for (std::size_t i = 1; i < length; ++i)
                c = (c << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
        }
        if constexpr (sizeof(wchar_t) == 2) {
            if (c >= 0x10000) {
                out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
                c = 0xDC00 + ((c - 0x10000) & 0x3FF);
            }
        }
        out += static_cast<wchar_t>(c);
        text.remove_prefix(length);
    }
    return out;
}

} // namespace platform
