// Whether bytes are UTF-8 and, where they are not, whether they fit GBK,
// the double-byte encoding Chinese Windows writes by default. Header-only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "text/Utf8.h"

namespace text {

namespace detail {

// Past the run of ASCII bytes at p, eight at a time.
inline const unsigned char* skipAscii(const unsigned char* p, const unsigned char* end)
{
    while (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        if (word & 0x8080808080808080ull)
            break;
        p += 8;
    }
    while (p < end && *p < 0x80)
        ++p;
    return p;
}

} // namespace detail

// Calls `invalid(offset)` for each byte that neither starts nor continues
// a valid UTF-8 sequence, in order, and returns how many there were.
template <class F>
std::size_t forEachInvalidUtf8(std::string_view bytes, F&& invalid)
{
    const auto* begin = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = begin + bytes.size();
    std::size_t count = 0;
    for (const unsigned char* p = detail::skipAscii(begin, end); p < end; p = detail::skipAscii(p, end)) {
        std::size_t length =
            platform::utf8SequenceLength(std::string_view(reinterpret_cast<const char*>(p), end - p));
        if (length == 0) {
            invalid(static_cast<std::size_t>(p - begin));
            ++count;
            length = 1;
        }
        p += length;
    }
    return count;
}

inline std::size_t countInvalidUtf8(std::string_view bytes)
{
    return forEachInvalidUtf8(bytes, [](std::size_t) {});
}

// Whether the bytes read as GBK: ASCII, and pairs of a lead byte 0x81 to
// 0xFE and a trail byte 0x40 to 0xFE other than 0x7F. (0x80 stands alone,
// as the euro sign of Windows' code page 936.)
inline bool fitsGbk(std::string_view bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    for (p = detail::skipAscii(p, end); p < end; p = detail::skipAscii(p, end)) {
        if (*p == 0x80) {
            ++p;
            continue;
        }
        if (*p == 0xFF || end - p < 2 || p[1] < 0x40 || p[1] == 0x7F || p[1] == 0xFF)
            return false;
        p += 2;
    }
    return true;
}

} // namespace text
