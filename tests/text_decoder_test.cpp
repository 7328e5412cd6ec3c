// Texts of a declared encoding made UTF-8 for display and comparison.
#include <string>

#include <gtest/gtest.h>

#include "commands/TextDecoder.h"

namespace {

TEST(TextDecoder, DecodesDeclaredEncodingsAndLeavesWhatDoesNotFitAsItIs)
{
    const struct {
        const char* encoding;
        std::string bytes;
        std::string expected;
        bool active;
        long long failures;
    } cases[] = {
        {"GBK", "\xB5\xDA" "1\xB2\xE3", "\xE7\xAC\xAC" "1\xE5\xB1\x82", true, 0},      // 第1层
        {"gb2312", "\xB5\xDA" "1\xB2\xE3", "\xE7\xAC\xAC" "1\xE5\xB1\x82", true, 0},   // any case
        {"Big5", "\xB2\xC4" "1\xBC\x68", "\xE7\xAC\xAC" "1\xE5\xB1\xA4", true, 0},    // 第1層
        {"ISO-8859-1", "caf\xE9", "caf\xC3\xA9", true, 0},
        {"windows-1252", "\x80" "5", "\xE2\x82\xAC" "5", true, 0},
        {"GBK", "plain ASCII", "plain ASCII", true, 0},
        {"GBK", "cut \xB5", "cut \xB5", true, 1},                                      // a lead byte alone
        {"UTF-8", "\xE7\xAC\xAC", "\xE7\xAC\xAC", false, 0},
        {"utf8", "\xB5\xDA", "\xB5\xDA", false, 0},
        {"", "\xB5\xDA", "\xB5\xDA", false, 0},
        // A file the import read is in single bytes, whatever it declares.
        {"UTF-16", "AB", "AB", false, 0},
        {"ucs-2", "AB", "AB", false, 0},
    };
    for (const auto& c : cases) {
        commands::TextDecoder decode(c.encoding);
        EXPECT_EQ(decode.active(), c.active) << c.encoding;
        EXPECT_TRUE(decode.known()) << c.encoding;
        EXPECT_EQ(decode(c.bytes), c.expected) << c.encoding << ": " << c.bytes;
        EXPECT_EQ(decode.failures(), c.failures) << c.encoding << ": " << c.bytes;
        if (c.failures > 0) {
            EXPECT_EQ(decode.firstFailure(), c.bytes);
        }
    }
    commands::TextDecoder unknown("no-such-encoding");
    EXPECT_FALSE(unknown.known());
    EXPECT_FALSE(unknown.active());
    EXPECT_EQ(unknown("\xB5\xDA"), "\xB5\xDA");
}

} // namespace
