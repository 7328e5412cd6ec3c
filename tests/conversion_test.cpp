// Field conversions: integer, real, flag and text, and their readers.
#include <climits>
#include <clocale>
#include <cmath>

#include <gtest/gtest.h>

#include "document/Conversions.h"
#include "document/FieldReaders.h"

using document::toInt;
using document::toReal;

namespace {

struct IntCase {
    const char* text;
    int expected;
};

TEST(IntegerConversion, ReadsTheLeadingDecimalNumber)
{
    const IntCase cases[] = {
        {"12", 12},          {"-7", -7},          {"+5", 5},           {"  42", 42},
        {"\t\n 3", 3},       {"12abc", 12},       {"abc", 0},          {"", 0},
        {"350.9", 350},      {"-350.9", -350},    {"12.75", 12},       {"0.999", 0},
        {"1.2e9", 1200000000}, {"1E-05", 0},      {"2.5E1", 25},       {"1e", 1},
        {"1e+", 1},          {".5", 0},           {"-.5e1", -5},       {".", 0},
        {"-", 0},            {"0x1A", 0},         {"-0x10", 0},        {"00x1A", 0},
        {"inf", 0},          {"nan", 0},          {"infinity", 0},     {"1,5", 1},
        {"true", 0},         {"  -0", 0},         {"7 8", 7},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toInt(c.text), c.expected) << "text: \"" << c.text << "\"";
}

TEST(IntegerConversion, SaturatesToTheInt32Range)
{
    const IntCase cases[] = {
        {"2147483647", INT_MAX},   {"2147483648", INT_MAX},     {"99999999999", INT_MAX},
        {"-2147483648", INT_MIN},  {"-2147483649", INT_MIN},    {"-99999999999", INT_MIN},
        {"1e400", INT_MAX},        {"-1e400", INT_MIN},         {"1e-400", 0},
        {"2147483646.9", 2147483646},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toInt(c.text), c.expected) << "text: \"" << c.text << "\"";
    std::string longNumber(10000, '9');
    EXPECT_EQ(toInt(longNumber.c_str()), INT_MAX);
    EXPECT_EQ(toInt(("-" + longNumber).c_str()), INT_MIN);
    // Read as a double first: 0.999... with 10,000 nines is 1.0.
    EXPECT_EQ(toInt(("0." + longNumber).c_str()), 1);
}

struct RealCase {
    const char* text;
    double expected;
};

TEST(RealConversion, ReadsAsStrtodInTheCLocale)
{
    const RealCase cases[] = {
        {"1.5", 1.5},     {"-0.5", -0.5},   {"  2e3", 2000.0}, {"1E-2", 0.01}, {"abc", 0.0},
        {"", 0.0},        {"3.25xyz", 3.25}, {"1,5", 1.0},     {"0x10", 16.0}, {"+7", 7.0},
        {".25", 0.25},    {"90.5", 90.5},   {"0x1p3", 8.0},  {"-0x10", -16.0}, {"0x", 0.0},
        {"0x.8", 0.5},    {"0x1p", 1.0},    {"--5", 0.0},    {"+-5", 0.0},     {"-+5", 0.0},
        {"1e-400", 0.0},  {"0x1p-99999", 0.0}, {"1e", 1.0},  {".e5", 0.0},     {"-.5", -0.5},
        {"4.9e-324", 4.9406564584124654e-324}, {"2.2250738585072011e-308", 2.2250738585072009e-308},
        {"9007199254740993", 9007199254740992.0}, {"1.7976931348623157e308", 1.7976931348623157e308},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toReal(c.text), c.expected) << "text: \"" << c.text << "\"";
    EXPECT_TRUE(std::isinf(toReal("inf")));
    EXPECT_TRUE(std::isinf(toReal("-Infinity")) && toReal("-Infinity") < 0);
    EXPECT_TRUE(std::isnan(toReal("nan")));
    EXPECT_TRUE(std::isinf(toReal("1e999")));
    EXPECT_TRUE(std::isinf(toReal("1.7976931348623159e308")));
    EXPECT_TRUE(std::isinf(toReal("0x1p99999")));
    EXPECT_EQ(toReal(("0." + std::string(400, '0') + "1e400").c_str()), 0.1);
    EXPECT_TRUE(std::isinf(toReal(std::string(400, '7').c_str())));
}

TEST(RealConversion, IgnoresTheProcessLocale)
{
    const char* previous = std::setlocale(LC_ALL, nullptr);
    std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "de_DE.UTF-8 is not installed (scripts/setup.sh installs it)";
    // Under this locale strtod itself would read "1,5" as 1.5 and stop at '.'.
    EXPECT_EQ(toReal("1.5"), 1.5);
    EXPECT_EQ(toReal("1,5"), 1.0);
    EXPECT_EQ(toInt("1.2e3"), 1200);
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(FieldReaders, AbsentTextLeavesTheMemberUnchanged)
{
    int i = 9;
    double d = 9.5;
    bool b = true;
    std::string s = "kept";
    EXPECT_FALSE(document::readInt(nullptr, i));
    EXPECT_FALSE(document::readReal(nullptr, d));
    EXPECT_FALSE(document::readFlag(nullptr, b));
    EXPECT_FALSE(document::readText(nullptr, s));
    EXPECT_EQ(i, 9);
    EXPECT_EQ(d, 9.5);
    EXPECT_TRUE(b);
    EXPECT_EQ(s, "kept");
}

TEST(FieldReaders, FlagIsTheIntegerConversionNotZero)
{
    const struct {
        const char* text;
        bool expected;
    } cases[] = {{"1", true}, {"2", true}, {"-1", true}, {"0", false}, {"true", false}, {"0.5", false}, {"x", false}};
    for (const auto& c : cases) {
        bool flag = !c.expected;
        EXPECT_TRUE(document::readFlag(c.text, flag));
        EXPECT_EQ(flag, c.expected) << "text: \"" << c.text << "\"";
    }
}

TEST(FieldReaders, TextIsCopiedUnchanged)
{
    std::string s;
    EXPECT_TRUE(document::readText("第1层 A&B", s));
    EXPECT_EQ(s, "第1层 A&B");
    EXPECT_TRUE(document::readText("", s));
    EXPECT_EQ(s, "");
}

TEST(FieldReaders, ChildTextAndKeyRef)
{
    TiXmlDocument doc;
    doc.Parse("<r><a>x</a><b/><k><S_Node_K><Value>12</Value></S_Node_K></k><w><S_Floor_K><Value>3</Value></S_Floor_K></w></r>");
    TiXmlHandle r(doc.RootElement());
    std::string s = "old";
    EXPECT_TRUE(document::readChildText(r, "a", s));
    EXPECT_EQ(s, "x");
    EXPECT_TRUE(document::readChildText(r, "b", s)); // present without text: kept
    EXPECT_EQ(s, "x");
    EXPECT_FALSE(document::readChildText(r, "missing", s));
    EXPECT_FALSE(document::readChildText(TiXmlHandle(nullptr), "a", s));

    int key = -1;
    EXPECT_TRUE(document::readKeyRef(r.FirstChild("k"), "S_Node_K", key));
    EXPECT_EQ(key, 12);
    key = -1;
    EXPECT_TRUE(document::readKeyRef(r.FirstChild("w"), "S_Node_K", key)); // other wrapper
    EXPECT_EQ(key, -1);
    EXPECT_TRUE(document::readKeyRef(r.FirstChild("missing"), "S_Node_K", key));
    EXPECT_EQ(key, -1);
}

} // namespace
