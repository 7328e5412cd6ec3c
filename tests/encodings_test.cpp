// Bytes that are not UTF-8, and whether they fit GBK, checked against the
// C library's own converters (iconv) on seeded random bytes.
#include <cerrno>
#include <iconv.h>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "text/Encodings.h"

namespace {

// The offset of the first byte iconv cannot convert from `encoding`, or
// npos when it converts the whole text.
std::size_t firstRefusedBy(const char* encoding, const std::string& bytes)
{
    iconv_t converter = iconv_open("UTF-32LE", encoding);
    EXPECT_NE(converter, reinterpret_cast<iconv_t>(-1)) << encoding;
    std::string copy = bytes;
    char* in = copy.data();
    std::size_t inLeft = copy.size();
    std::string out(4 * copy.size() + 16, '\0');
    char* outPointer = out.data();
    std::size_t outLeft = out.size();
    std::size_t result = iconv(converter, &in, &inLeft, &outPointer, &outLeft);
    iconv_close(converter);
    return result == static_cast<std::size_t>(-1) ? static_cast<std::size_t>(in - copy.data()) : std::string::npos;
}

std::size_t firstInvalidUtf8(const std::string& bytes)
{
    std::size_t first = std::string::npos;
    text::forEachInvalidUtf8(bytes, [&](std::size_t at) {
        if (first == std::string::npos)
            first = at;
    });
    return first;
}

// Random text leaning on the bytes where UTF-8 and GBK are decided: the
// bounds of lead and continuation bytes, surrogates, overlong forms.
std::string randomBytes(std::mt19937& random)
{
    static const unsigned char kEdges[] = {0x00, 0x3C, 0x40, 0x41, 0x7E, 0x7F, 0x80, 0x81, 0x8F, 0x90, 0x9F,
                                           0xA0, 0xBF, 0xC0, 0xC1, 0xC2, 0xDF, 0xE0, 0xE1, 0xEC, 0xED, 0xEE,
                                           0xEF, 0xF0, 0xF1, 0xF3, 0xF4, 0xF5, 0xFE, 0xFF};
    std::string out;
    for (int n = static_cast<int>(random() % 12); n > 0; --n) {
        unsigned char b = random() % 2 ? kEdges[random() % sizeof kEdges] : static_cast<unsigned char>(random());
        if (b == 0)
            b = 'a'; // iconv takes NUL as a character; a document's text has none
        out += static_cast<char>(b);
    }
    return out;
}

TEST(Encodings, InvalidUtf8IsWhereTheCLibraryStops)
{
    std::mt19937 random(20261209);
    int invalid = 0;
    for (int round = 0; round < 200000; ++round) {
        std::string bytes = randomBytes(random);
        std::size_t ours = firstInvalidUtf8(bytes);
        ASSERT_EQ(ours, firstRefusedBy("UTF-8", bytes)) << ::testing::PrintToString(bytes);
        EXPECT_EQ(ours == std::string::npos, text::countInvalidUtf8(bytes) == 0);
        invalid += ours != std::string::npos;
    }
    EXPECT_GT(invalid, 10000);
}

// Whatever the C library reads as GBK fits GBK; valid UTF-8 Chinese text
// does not pass for GBK when its length is odd.
TEST(Encodings, WhatTheCLibraryReadsAsGbkFitsGbk)
{
    std::mt19937 random(4711);
    int read = 0;
    for (int round = 0; round < 200000; ++round) {
        std::string bytes = randomBytes(random);
        if (firstRefusedBy("GBK", bytes) == std::string::npos) {
            EXPECT_TRUE(text::fitsGbk(bytes)) << ::testing::PrintToString(bytes);
            ++read;
        }
    }
    EXPECT_GT(read, 10000);
    EXPECT_TRUE(text::fitsGbk("\xD6\xD0\xCE\xC4 GBK"));
    EXPECT_FALSE(text::fitsGbk("\xE4\xB8\xAD")); // one UTF-8 character: three bytes
    EXPECT_FALSE(text::fitsGbk("caf\xE9 au lait"));
}

} // namespace
