// Any byte string made safe for where it goes: as a JSON string, and as
// text for a terminal. Texts from a file are hostile: they may hold
// control characters, escape sequences and bytes that are not UTF-8.
// Header-only.
#pragma once

#include <string>
#include <string_view>

#include "text/Utf8.h"

namespace text {

namespace detail {

inline void appendHexByte(std::string& out, const char* prefix, unsigned char c)
{
    static const char kHex[] = "0123456789abcdef";
    out += prefix;
    out += kHex[c >> 4];
    out += kHex[c & 15];
}

// Whether the valid sequence at the start of `s` (of `length` bytes) is a
// control character: C0, DEL, or C1 (U+0080 to U+009F).
inline bool isControl(std::string_view s, std::size_t length)
{
    unsigned char c = static_cast<unsigned char>(s[0]);
    if (length == 1)
        return c < 0x20 || c == 0x7F;
    return length == 2 && c == 0xC2 && static_cast<unsigned char>(s[1]) < 0xA0;
}

// The code point of a two-byte sequence (only C1 controls are asked for).
inline unsigned char c1Value(std::string_view s)
{
    return static_cast<unsigned char>(0x80 | (static_cast<unsigned char>(s[1]) & 0x3F));
}

} // namespace detail

// Appends `bytes` as one JSON string, quotes included. Valid UTF-8 is
// written as it is, but for control characters (C0, DEL and C1), which
// are escaped (\n, \t, ... or \u00XX); each byte that is not part of
// valid UTF-8 is written as \u00XX, its value taken as a code point, so
// that any byte string makes valid JSON and no byte is lost unseen.
inline void appendJsonString(std::string& out, std::string_view bytes)
{
    out += '"';
    while (!bytes.empty()) {
        unsigned char c = static_cast<unsigned char>(bytes[0]);
        std::size_t length = platform::utf8SequenceLength(bytes);
        if (length == 0) {
            detail::appendHexByte(out, "\\u00", c);
            bytes.remove_prefix(1);
            continue;
        }
        if (detail::isControl(bytes, length)) {
            switch (c) {
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            default: detail::appendHexByte(out, "\\u00", length == 1 ? c : detail::c1Value(bytes));
            }
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else {
            out.append(bytes.data(), length);
        }
        bytes.remove_prefix(length);
    }
    out += '"';
}

// Appends `bytes` as a terminal shows them without being steered by them:
// control characters but tab and line feed (C0, DEL, and C1 whether
// encoded as UTF-8 or as a lone byte) as \xHH (\u00HH for C1 in UTF-8);
// everything else, other bytes that are not UTF-8 included, as it is.
inline void appendShown(std::string& out, std::string_view bytes)
{
    while (!bytes.empty()) {
        unsigned char c = static_cast<unsigned char>(bytes[0]);
        std::size_t length = platform::utf8SequenceLength(bytes);
        if (length == 0) {
            if (c < 0xA0)
                detail::appendHexByte(out, "\\x", c);
            else
                out += static_cast<char>(c);
            bytes.remove_prefix(1);
            continue;
        }
        if (detail::isControl(bytes, length) && c != '\t' && c != '\n') {
            if (length == 1)
                detail::appendHexByte(out, "\\x", c);
            else
                detail::appendHexByte(out, "\\u00", detail::c1Value(bytes));
        } else {
            out.append(bytes.data(), length);
        }
        bytes.remove_prefix(length);
    }
}

inline std::string shown(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    appendShown(out, bytes);
    return out;
}

// Whether `bytes` holds anything appendShown would escape.
inline bool hasControls(std::string_view bytes)
{
    while (!bytes.empty()) {
        unsigned char c = static_cast<unsigned char>(bytes[0]);
        std::size_t length = platform::utf8SequenceLength(bytes);
        if (length == 0 ? c < 0xA0 : detail::isControl(bytes, length) && c != '\t' && c != '\n')
            return true;
        bytes.remove_prefix(length == 0 ? 1 : length);
    }
    return false;
}

} // namespace text
