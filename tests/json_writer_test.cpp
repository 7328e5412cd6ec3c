// The dump's JSON writer: number forms and the UTF-8 rule for texts.
#include <cmath>
#include <cstdio>
#include <limits>

#include <gtest/gtest.h>

#include "hostsim/store/JsonWriter.h"

namespace {

template <class Write>
std::string written(Write write, bool breakLines = false)
{
    std::FILE* file = std::tmpfile();
    {
        hoststore::JsonWriter json(file, breakLines);
        write(json);
    }
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;)
        text += static_cast<char>(c);
    std::fclose(file);
    return text;
}

std::string text(std::string_view value)
{
    return written([&](hoststore::JsonWriter& json) { json.value(value); });
}

TEST(JsonWriter, TextsKeepValidUtf8AndEscapeEveryOtherByte)
{
    const struct {
        const char* what;
        std::string input;
        const char* expected;
    } cases[] = {
        {"ASCII with escapes", "a\"b\\c\n\t\x01\x7f", "\"a\\\"b\\\\c\\n\\t\\u0001\\u007f\""},
        {"C1 control in UTF-8", "a\xc2\x9b" "b\xc2\xa0", "\"a\\u009bb\xc2\xa0\""},
        {"two, three and four byte sequences", "\xc3\xa9\xe7\xac\xac\xf0\x9f\x98\x80", "\"\xc3\xa9\xe7\xac\xac\xf0\x9f\x98\x80\""},
        {"highest code point", "\xf4\x8f\xbf\xbf", "\"\xf4\x8f\xbf\xbf\""},
        {"stray continuation byte", "\x80", "\"\\u0080\""},
        {"overlong two-byte form", "\xc0\xaf", "\"\\u00c0\\u00af\""},
        {"overlong three-byte form", "\xe0\x80\xaf", "\"\\u00e0\\u0080\\u00af\""},
        {"surrogate", "\xed\xa0\x80", "\"\\u00ed\\u00a0\\u0080\""},
        {"beyond U+10FFFF", "\xf4\x90\x80\x80", "\"\\u00f4\\u0090\\u0080\\u0080\""},
        {"sequence cut short at the end", "x\xe7\xac", "\"x\\u00e7\\u00ac\""},
        {"sequence cut short by ASCII", "\xe7" "a", "\"\\u00e7a\""},
        {"NUL byte", std::string("a\0b", 3), "\"a\\u0000b\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(text(c.input), c.expected) << c.what;
}

TEST(JsonWriter, RealsInShortestRoundTripFormAndNonFiniteAsTexts)
{
    const struct {
        double value;
        const char* expected;
    } cases[] = {
        {0.1, "0.1"},
        {-2.5, "-2.5"},
        {3.0, "3"},
        {1e300, "1e+300"},
        {5e-324, "5e-324"},
        {0.30000000000000004, "0.30000000000000004"},
        {std::numeric_limits<double>::infinity(), "\"inf\""},
        {-std::numeric_limits<double>::infinity(), "\"-inf\""},
        {std::nan(""), "\"nan\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(written([&](hoststore::JsonWriter& json) { json.value(c.value); }), c.expected) << c.value;
}

TEST(JsonWriter, ContainersSeparateTheirItems)
{
    std::string out = written([](hoststore::JsonWriter& json) {
        json.beginObject();
        json.key("a");
        json.beginArray();
        json.value(1);
        json.value(true);
        json.beginArray();
        json.endArray();
        json.endArray();
        json.key("b");
        json.beginObject();
        json.endObject();
        json.endObject();
    });
    EXPECT_EQ(out, R"({"a":[1,true,[]],"b":{}})");
}

TEST(JsonWriter, LineBreaksGoAfterTheCommaAndOnlyWhenAskedFor)
{
    auto document = [](hoststore::JsonWriter& json) {
        json.beginObject();
        json.lineBreak();
        json.key("t");
        json.beginArray();
        for (int i = 1; i <= 2; ++i) {
            json.lineBreak();
            json.value(i);
        }
        json.lineBreak();
        json.endArray();
        json.lineBreak();
        json.key("e");
        json.beginArray();
        json.endArray();
        json.lineBreak();
        json.endObject();
    };
    EXPECT_EQ(written(document), "{\"t\":[1,2],\"e\":[]}");
    EXPECT_EQ(written(document, true), "{\n\"t\":[\n1,\n2\n],\n\"e\":[]\n}");
}

} // namespace
