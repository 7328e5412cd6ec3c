// The section index and the model table walk, seen through imports of
// the node table.
#include <gtest/gtest.h>

#include <tinyxml.h>

#include "TestSupport.h"
#include "document/SectionIndex.h"

using namespace testsupport;

namespace {

std::string node(const std::string& key, const std::string& x)
{
    return row(key, element("x", x));
}

// The x of each stored node, by key, as "key:x" in key order.
std::string nodes(const Json& store)
{
    std::string out;
    for (const auto& r : rows(store, "model", "Node"))
        out += (out.empty() ? "" : " ") + std::to_string(r["key"].get<int>()) + ":" + r["value"]["x"].dump();
    return out;
}

TEST(SectionIndex, PositionDecidesTheSections)
{
    // Section keys swapped: the first entry is still the model section.
    std::string xml = "<D><Pairs>"
                      "<Pair><Key>DesignDB</Key><Value><Pairs>" + table("NodeTable", node("1", "5")) +
                      "</Pairs></Value></Pair>"
                      "<Pair><Key>ModelDB</Key><Value><Pairs>" + table("NodeTable", node("2", "6")) +
                      "</Pairs></Value></Pair></Pairs></D>";
    EXPECT_EQ(nodes(importText(xml)), "1:5");
}

TEST(SectionIndex, ThirdSectionIsIgnoredAndOneSectionStillRuns)
{
    std::string third = "<Pair><Key>X</Key><Value><Pairs>" + table("NodeTable", node("9", "9")) +
                        "</Pairs></Value></Pair>";
    std::string xml = dictionary(table("NodeTable", node("1", "1")));
    xml.insert(xml.rfind("</Pairs></Dictionary>"), third);
    EXPECT_EQ(nodes(importText(xml)), "1:1");

    bool imported = false;
    std::string oneSection = "<D><Pairs><Pair><Key>ModelDB</Key><Value><Pairs>" +
                             table("NodeTable", node("3", "3")) + "</Pairs></Value></Pair></Pairs></D>";
    EXPECT_EQ(nodes(importText(oneSection, &imported)), "3:3");
    EXPECT_TRUE(imported);
}

TEST(SectionIndex, FirstDuplicateWinsAndNamesAreExact)
{
    std::string tables = table("NodeTable", node("1", "1")) + table("NodeTable", node("2", "2")) +
                         table("nodetable", node("3", "3")) + table("NodeTable ", node("4", "4"));
    EXPECT_EQ(nodes(importText(dictionary(tables))), "1:1");
    // Names are trimmed by the parser: " NodeTable " is found as NodeTable.
    std::string spaced = "<Pair><Key>  NodeTable  </Key><Value><Pairs>" + node("5", "5") + "</Pairs></Value></Pair>";
    EXPECT_EQ(nodes(importText(dictionary(spaced))), "5:5");
}

TEST(SectionIndex, EntriesAfterTheFirstPairAreIndexedWhateverTheirName)
{
    std::string before = "<Other><Key>NodeTable</Key><Value><Pairs>" + node("7", "7") + "</Pairs></Value></Other>";
    std::string after = "<Other><Key>NodeTable</Key><Value><Pairs>" + node("8", "8") + "</Pairs></Value></Other>";
    EXPECT_EQ(nodes(importText(dictionary(before + table("FloorTable", "") + after))), "8:8");
    EXPECT_EQ(nodes(importText(dictionary(before))), "");
}

TEST(SectionIndex, EntriesWithoutKeyValueOrNameAreSkipped)
{
    TiXmlDocument doc;
    doc.Parse("<S><Value><Pairs>"
              "<Pair><Key>A</Key></Pair>"
              "<Pair><Value/></Pair>"
              "<Pair><Key/><Value/></Pair>"
              "<Pair><Key>B</Key><Value/></Pair>"
              "<Pair><Key>B</Key><Value>second</Value></Pair>"
              "<Pair><!--Key--><Key>C</Key><Value/></Pair>"
              "</Pairs></Value></S>");
    document::TableMap tables;
    EXPECT_TRUE(document::indexSection(doc.RootElement(), tables));
    // A comment whose text is "Key" is the first child named Key, and it is
    // no element: entry C has no key.
    ASSERT_EQ(tables.size(), 1u);
    EXPECT_EQ(tables.count("B"), 1u);
    EXPECT_EQ(tables["B"]->FirstChildElement("Value")->GetText(), nullptr); // the first B

    TiXmlElement* entry = reinterpret_cast<TiXmlElement*>(0x1);
    EXPECT_FALSE(document::findTable("A", tables, entry));
    EXPECT_EQ(entry, reinterpret_cast<TiXmlElement*>(0x1));
    EXPECT_TRUE(document::indexSection(nullptr, tables));
}

TEST(SectionIndex, NothingRemainsFromAnEarlierRun)
{
    importText(dictionary(table("NodeTable", node("1", "1"))));
    // Second file has no node table: the index must not still point at the first.
    TempFile second(dictionary(table("FloorTable", "")));
    EXPECT_TRUE(importPath(second.path()));
    EXPECT_EQ(nodes(storeJson()), "1:1");
}

TEST(ModelTableWalk, RowsKeysAndValues)
{
    std::string rowsXml = "<Junk><Key><Value>99</Value></Key><Value><x>99</x></Value></Junk>" // before first Pair
                          + node("1", "1") +
                          "<Pair><Value><x>2</x></Value></Pair>"                        // no Key
                          "<Pair><Key><Value>3</Value></Key></Pair>"                    // no Value
                          "<Pair><Key/><Value><x>4</x></Value></Pair>"                  // Key without Value
                          "<Pair><Key><Value/></Key><Value><x>5</x></Value></Pair>"     // key without text
                          "<Row><Key><Value>6</Value></Key><Value><x>6</x></Value></Row>" // other name
                          + node("1", "7")                                              // same key again
                          + node(" 8abc", "8");
    // The junk row stands before the table's first Pair, so it is never read.
    std::string tableXml = "<Pair><Key>NodeTable</Key><Value><Pairs>" + rowsXml + "</Pairs></Value></Pair>";
    EXPECT_EQ(nodes(importText(dictionary(tableXml))), "1:7 6:6 8:8");
}

TEST(ModelTableWalk, MissingTableOrRowsAddNothing)
{
    const std::string cases[] = {
        dictionary(""),
        dictionary("<Pair><Key>NodeTable</Key><Value/></Pair>"),
        dictionary("<Pair><Key>NodeTable</Key><Value><Pairs/></Value></Pair>"),
        dictionary("<Pair><Key>NodeTable</Key><Value><Pairs><Row><Key><Value>1</Value></Key><Value><x>1</x>"
                   "</Value></Row></Pairs></Value></Pair>"),
        dictionary("", table("NodeTable", node("1", "1"))), // under DesignDB only
    };
    for (const auto& xml : cases) {
        bool imported = false;
        EXPECT_EQ(nodes(importText(xml, &imported)), "");
        EXPECT_TRUE(imported);
    }
}

TEST(ModelTableWalk, FieldsMissingEmptyOrRepeated)
{
    std::string rowsXml = row("1", "<x>1.5</x><y>2.5</y>") + row("2", "<x>3</x>") + row("3", "<x/><y></y>") +
                          row("4", "<x>4</x><x>40</x>") + row("5", "<X>5</X>") + row("6", "");
    Json store = importText(dictionary(table("NodeTable", rowsXml)));
    const Json expected = Json::parse(R"([
        {"key":1,"value":{"x":1.5,"y":2.5}}, {"key":2,"value":{"x":3,"y":0}},
        {"key":3,"value":{"x":0,"y":0}},     {"key":4,"value":{"x":4,"y":0}},
        {"key":5,"value":{"x":0,"y":0}},     {"key":6,"value":{"x":0,"y":0}}])");
    EXPECT_EQ(rows(store, "model", "Node"), expected);
}

} // namespace
