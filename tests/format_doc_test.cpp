// docs/format.md: its generated tables are what the readers read now, and
// its example file imports as the text says.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "tools/report/FileReport.h"

using namespace testsupport;

namespace {

const std::string kDoc = std::string(SOURCE_DIR) + "/docs/format.md";

// The text between the line starting with `begin` and the line starting
// with `end`, without those lines; `found` tells whether both were there.
std::string between(const std::string& text, const std::string& begin, const std::string& end, bool& found)
{
    std::size_t from = text.find("\n" + begin);
    std::size_t to = from == std::string::npos ? from : text.find("\n" + end, from + 1);
    found = to != std::string::npos;
    if (!found)
        return "";
    from = text.find('\n', from + 1) + 1;
    return text.substr(from, to + 1 - from);
}

// Every kind of warning dictcheck reports is explained, under its name.
TEST(FormatDoc, EveryKindOfWarningHasItsLine)
{
    std::string doc = readFile(kDoc);
    std::vector<std::string> kinds = dictcheck::warningKinds();
    EXPECT_GE(kinds.size(), 17u);
    for (const std::string& kind : kinds)
        EXPECT_NE(doc.find("\n- `" + kind + "`: "), std::string::npos) << kind << " is not explained in " << kDoc;
}

TEST(FormatDoc, TheTablesAreThoseTheReadersReadNow)
{
    std::string doc = readFile(kDoc);
    bool found = false;
    std::string tables = between(doc, "<!-- BEGIN TABLES", "<!-- END TABLES", found);
    ASSERT_TRUE(found) << kDoc << " lacks its BEGIN TABLES and END TABLES lines";
    CommandResult generated = run("'" + std::string(DICTCHECK_PATH) + "' --format");
    ASSERT_EQ(generated.status, 0);
    std::vector<std::string> expected = splitLines("\n" + generated.out), written = splitLines(tables);
    std::size_t at = 0;
    while (at < expected.size() && at < written.size() && expected[at] == written[at])
        ++at;
    if (at < expected.size() || at < written.size())
        ADD_FAILURE() << "docs/format.md differs from the readers' field lists from its generated part's line "
                      << at + 1 << " on:\n  written:   " << (at < written.size() ? written[at] : "(end)")
                      << "\n  generated: " << (at < expected.size() ? expected[at] : "(end)")
                      << "\nrun scripts/update-format-doc.sh";
}

TEST(FormatDoc, TheExampleImportsAsDescribed)
{
    bool found = false;
    std::string xml = between(readFile(kDoc), "```xml", "```", found);
    ASSERT_TRUE(found) << "no example file in " << kDoc;
    bool imported = false;
    Json store = importText(xml, &imported);
    ASSERT_TRUE(imported);
    EXPECT_EQ(recordCount(store), 6u);
    EXPECT_EQ(rows(store, "model", "Floor").size(), 1u);
    EXPECT_EQ(rows(store, "model", "Floor")[0]["value"]["MdulK"], 1);
    EXPECT_EQ(rows(store, "model", "Floor")[0]["value"]["PlanK"], 0);
    EXPECT_EQ(rows(store, "model", "Node").size(), 2u);
    EXPECT_EQ(rows(store, "model", "Beam")[0]["value"]["PElemK"], Json::parse("[[0, 10]]"));
    EXPECT_EQ(rows(store, "design", "RcDgnGlobal").size(), 1u);
    ASSERT_EQ(rows(store, "design", "RcDesignWallColumn").size(), 1u);
    EXPECT_EQ(rows(store, "design", "RcDesignWallColumn")[0]["key"], 1);
}

} // namespace
