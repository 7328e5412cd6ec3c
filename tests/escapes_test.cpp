// Any byte string as a JSON string and as text for a terminal, and JSON
// values laid out as nlohmann::json lays them out: checked on examples and
// against the library itself on random values and bytes.
#include <cmath>
#include <random>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "json/JsonText.h"
#include "text/Escapes.h"

namespace {

std::string jsonString(const std::string& bytes)
{
    std::string out;
    text::appendJsonString(out, bytes);
    return out;
}

TEST(Escapes, JsonStringsEscapeControlsAndEveryByteThatIsNotUtf8)
{
    const struct {
        const char* what;
        std::string input;
        std::string expected;
    } cases[] = {
        {"quotes and backslashes", "a\"b\\c", "\"a\\\"b\\\\c\""},
        {"short escapes", "\n\r\t\b\f", "\"\\n\\r\\t\\b\\f\""},
        {"other C0 controls and DEL", std::string("\0\x1b\x07\x7f", 4), "\"\\u0000\\u001b\\u0007\\u007f\""},
        {"C1 controls in UTF-8", "\xc2\x80\xc2\x9b\xc2\x9f", "\"\\u0080\\u009b\\u009f\""},
        {"no-break space is not a control", "\xc2\xa0", "\"\xc2\xa0\""},
        {"Chinese kept", "\xe7\xac\xac" "1\xe5\xb1\x82", "\"\xe7\xac\xac" "1\xe5\xb1\x82\""},
        {"GBK bytes one by one", "\xb5\xda" "1\xb2\xe3", "\"\\u00b5\\u00da1\\u00b2\\u00e3\""},
        {"a surrogate, as &#xD800; gives it", "\xed\xa0\x80", "\"\\u00ed\\u00a0\\u0080\""},
        {"a lone C1 byte", "\x9b", "\"\\u009b\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(jsonString(c.input), c.expected) << c.what;
}

TEST(Escapes, TerminalTextShowsControlsAndKeepsTheRest)
{
    const struct {
        const char* what;
        std::string input;
        std::string expected;
    } cases[] = {
        {"a forged title and bell", "T\x1b]0;x\x07", "T\\x1b]0;x\\x07"},
        {"tab and line feed kept", "a\tb\nc", "a\tb\nc"},
        {"carriage return and NUL shown", std::string("a\rb\0", 4), "a\\x0db\\x00"},
        {"DEL shown", "\x7f", "\\x7f"},
        {"C1 in UTF-8 shown", "\xc2\x9b" "2J", "\\u009b2J"},
        {"a lone C1 byte shown", "\x9b" "2J", "\\x9b2J"},
        {"other bytes that are not UTF-8 kept", "\xb5\xda", "\xb5\xda"},
        {"Chinese kept", "\xe7\xac\xac", "\xe7\xac\xac"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(text::shown(c.input), c.expected) << c.what;
        EXPECT_EQ(text::hasControls(c.input), c.input != c.expected) << c.what;
    }
}

std::string randomBytes(std::mt19937& random, std::size_t maxLength)
{
    // Bytes weighted toward what makes or breaks UTF-8 and JSON.
    static const unsigned char kInteresting[] = {0x00, 0x07, 0x1b, '"', '\\', 0x7f, 0x80, 0x9b, 0xbf,
                                                 0xc2, 0xc3, 0xe7, 0xed, 0xf0, 0xf4, 0xf8, 0xff, 'a'};
    std::string bytes(random() % (maxLength + 1), ' ');
    for (char& c : bytes)
        c = static_cast<char>(random() % 2 ? kInteresting[random() % sizeof kInteresting] : random() % 256);
    return bytes;
}

// Whatever the bytes: the JSON parses, a terminal text holds no control
// character, and valid UTF-8 without controls comes back as it went in.
TEST(Escapes, AnyBytesMakeValidJsonAndSafeText)
{
    std::mt19937 random(29);
    for (int i = 0; i < 20000; ++i) {
        std::string bytes = randomBytes(random, 24);
        std::string json = jsonString(bytes);
        nlohmann::json parsed;
        ASSERT_NO_THROW(parsed = nlohmann::json::parse(json)) << json;
        std::string shown = text::shown(bytes);
        EXPECT_FALSE(text::hasControls(shown)) << shown;
        for (unsigned char c : shown)
            EXPECT_TRUE(c >= 0x20 || c == '\t' || c == '\n') << shown;
        if (!text::hasControls(bytes) && jsonString(bytes).find("\\u00") == std::string::npos) {
            EXPECT_EQ(parsed.get<std::string>(), bytes);
            EXPECT_EQ(shown, bytes);
        }
    }
}

// A random value of every kind, its texts valid UTF-8 without controls.
nlohmann::ordered_json randomValue(std::mt19937& random, int depth)
{
    static const char* const kTexts[] = {"", "a", "第1层", "x y", "\"q\"", "back\\slash", "é"};
    switch (depth > 3 ? random() % 5 : random() % 7) {
    case 0: return nullptr;
    case 1: return random() % 2 == 0;
    case 2: return static_cast<long long>(random()) - (1LL << 31);
    case 3: return std::ldexp(static_cast<double>(random()), static_cast<int>(random() % 80) - 40);
    case 4: return kTexts[random() % 7];
    case 5: {
        nlohmann::ordered_json array = nlohmann::ordered_json::array();
        for (int n = static_cast<int>(random() % 4); n > 0; --n)
            array.push_back(randomValue(random, depth + 1));
        return array;
    }
    default: {
        nlohmann::ordered_json object = nlohmann::ordered_json::object();
        for (int n = static_cast<int>(random() % 4); n > 0; --n)
            object[kTexts[random() % 7] + std::to_string(n)] = randomValue(random, depth + 1);
        return object;
    }
    }
}

// Where nlohmann::json can write a value, the layout is the library's,
// byte for byte, on one line and indented.
TEST(JsonText, LaysValuesOutAsTheLibraryDoes)
{
    std::mt19937 random(7);
    for (int i = 0; i < 3000; ++i) {
        nlohmann::ordered_json value = randomValue(random, 0);
        EXPECT_EQ(jsontext::jsonText(value), value.dump());
        EXPECT_EQ(jsontext::jsonText(value, 2), value.dump(2));
    }
}

// Where it cannot (texts that are not UTF-8), the text still parses back
// to the same shape.
TEST(JsonText, WritesWhatTheLibraryCannot)
{
    nlohmann::ordered_json value = {{"name", "\xb5\xda" "1\xb2\xe3"}, {"list", {"\xff", "ok"}}, {"\x80key", 1}};
    EXPECT_THROW((void)value.dump(), nlohmann::json::type_error);
    std::string text = jsontext::jsonText(value, 2);
    nlohmann::ordered_json parsed = nlohmann::ordered_json::parse(text);
    EXPECT_EQ(parsed["name"], "\u00b5\u00da" "1\u00b2\u00e3");
    EXPECT_EQ(parsed["list"][1], "ok");
    EXPECT_EQ(parsed["\u0080key"], 1);
}

} // namespace
