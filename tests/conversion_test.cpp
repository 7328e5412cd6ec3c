// Field conversions: integer, real, flag and text, and the value kinds
// that read them from a record's elements.
#include <climits>
#include <clocale>
#include <cmath>

#include <gtest/gtest.h>

#include "document/Conversions.h"
#include "document/FieldRead.h"
#include "document/TableWalk.h"

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

// One field of each value kind, read from `<r>...</r>` by the model walk's
// rules (every field on its own).
struct Values {
    int i = 9;
    double d = 9.5;
    bool b = true;
    std::string s = "kept";
    int key = -1;
};
constexpr auto kValues = schema::fieldList(
    schema::field("i", &Values::i, schema::asInt), schema::field("d", &Values::d, schema::asReal),
    schema::field("b", &Values::b, schema::asFlag), schema::field("s", &Values::s, schema::asText),
    schema::field("k", &Values::key, schema::keyRef("S_Node_K")));

Values readValues(const std::string& fields)
{
    TiXmlDocument doc;
    doc.Parse(("<r>" + fields + "</r>").c_str());
    Values v;
    document::LossTally ignored;
    document::readEach(document::ModelRows(&ignored), TiXmlHandle(doc.RootElement()), v, kValues);
    return v;
}

TEST(FieldKinds, MissingElementOrAbsentTextLeavesTheMemberUnchanged)
{
    for (const char* fields : {"", "<i/><d/><b/><s/><k/>", "<i></i><k><S_Node_K/></k>", "<k><S_Node_K><Value/></S_Node_K></k>",
                               "<k><S_Floor_K><Value>3</Value></S_Floor_K></k>"}) {
        Values v = readValues(fields);
        EXPECT_EQ(v.i, 9) << fields;
        EXPECT_EQ(v.d, 9.5) << fields;
        EXPECT_TRUE(v.b) << fields;
        EXPECT_EQ(v.s, "kept") << fields;
        EXPECT_EQ(v.key, -1) << fields;
    }
}

TEST(FieldKinds, FlagIsTheIntegerConversionNotZero)
{
    const struct {
        const char* text;
        bool expected;
    } cases[] = {{"1", true}, {"2", true}, {"-1", true}, {"0", false}, {"true", false}, {"0.5", false}, {"x", false}};
    for (const auto& c : cases)
        EXPECT_EQ(readValues("<b>" + std::string(c.text) + "</b>").b, c.expected) << "text: \"" << c.text << "\"";
}

TEST(FieldKinds, TextIsCopiedUnchangedAndOnlyTheFirstElementIsRead)
{
    EXPECT_EQ(readValues("<s>第1层 A&amp;B</s>").s, "第1层 A&B");
    EXPECT_EQ(readValues("<s>x</s><s>y</s>").s, "x");
    EXPECT_EQ(readValues("<i>4</i><i>5</i>").i, 4);
}

TEST(FieldKinds, KeyRefReadsTheWrappersValue)
{
    EXPECT_EQ(readValues("<k><S_Node_K><Value>12</Value></S_Node_K></k>").key, 12);
    // Only the first wrapper of the name, and its first "Value".
    EXPECT_EQ(readValues("<k><S_Floor_K><Value>3</Value></S_Floor_K><S_Node_K><Value>7</Value><Value>8</Value>"
                         "</S_Node_K></k>")
                  .key,
              7);
}

} // namespace
