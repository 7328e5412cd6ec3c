// Reading a file one row at a time builds what reading its whole document
// builds, row by row: the same elements with the same lines, and the same
// store, messages and report, on every file the tests hold, the damaged
// copies of the sample, copies changed at random places and a generated
// model. The rows' content is never part of the loaded tree.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <tinyxml.h>

#include "TestSupport.h"
#include "document/DocumentLoad.h"
#include "document/ParseTrace.h"
#include "fuzz/ReadingOracle.h"
#include "hostsim/framework/FrameworkHost.h"

using namespace testsupport;

namespace {

class Reading : public ::testing::Test {
protected:
    void SetUp() override { hostframework::setMessageBoxHandler([](const wchar_t*, unsigned int) {}); }
};

TEST_F(Reading, RowByRowAgreesWithTheWholeDocumentOnEveryFileTheTestsHold)
{
    std::vector<std::string> files = filesTheTestsHold();
    ASSERT_GT(files.size(), 10u);
    for (const std::string& file : files)
        EXPECT_EQ(oracle::readingDifference(file), "") << file;
}

TEST_F(Reading, RowByRowAgreesOnDamagedAndRandomlyChangedCopies)
{
    std::vector<std::pair<std::string, std::string>> copies;
    for (const DamagedCopy& copy : damagedSampleCopies())
        copies.emplace_back(copy.what, copy.xml);
    std::vector<std::string> changed = copiesChangedAtRandom(sampleText(), 33, 60);
    for (std::size_t i = 0; i < changed.size(); ++i)
        copies.emplace_back("random copy " + std::to_string(i), changed[i]);
    // Rows whose line breaks, tabs and characters of more than one byte
    // lie where a row starts or ends.
    std::string sample = sampleText();
    for (const char* between : {"\n\t", "\r\n", "\xE5\xB1\x82", "<!-- \xE5 -->", " \n \n"}) {
        std::string copy = sample;
        for (std::size_t at = 0; (at = copy.find("</Pair><Pair>", at)) != std::string::npos; at += 13)
            copy.insert(at + 7, between);
        copies.emplace_back(std::string("between rows: ") + between, copy);
    }
    // What TinyXML reads by the document's encoding inside a row: a
    // character reference (UTF-8 bytes, or its low byte), a byte order
    // mark between elements (white space, or text).
    auto everywhere = [&](const std::string& from, const std::string& to) {
        std::string copy = sample;
        for (std::size_t at = 0; (at = copy.find(from, at)) != std::string::npos; at += to.size())
            copy.replace(at, from.size(), to);
        return copy;
    };
    copies.emplace_back("character references", everywhere("<StoryName>", "<StoryName>&#23618;&#x5C42;"));
    copies.emplace_back("byte order marks in rows", everywhere("</x>", "</x>\xEF\xBB\xBF"));
    copies.emplace_back("undeclared", everywhere("encoding=\"utf-8\"", ""));
    // Without a declaration the root is read byte by byte; a declaration
    // after it makes TinyXML read the next element as UTF-8.
    std::string body = everywhere("<StoryName>", "<StoryName>&#23618;");
    body = body.substr(body.find("?>") + 2);
    copies.emplace_back("a declaration between the root and the next element",
                        body + "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + body);
    for (const auto& [what, xml] : copies) {
        TempFile file(xml);
        EXPECT_EQ(oracle::readingDifference(file.path()), "") << what;
    }
}

TEST_F(Reading, RowByRowAgreesOnAGeneratedModel)
{
    TempFile model("", "model.xml");
    ASSERT_EQ(run(quote(MODELGEN_PATH) + " --storeys 3 --bays-x 3 --bays-y 2 --seed 5 -o " + quote(model.path())).status,
              0);
    EXPECT_EQ(oracle::readingDifference(model.path()), "");
}

// The loaded tree holds the rows as empty elements: nothing below the
// rows' level is built until a row is read.
TEST_F(Reading, TheTreeHoldsNoRowContent)
{
    document::LoadedDocument loaded;
    std::string path = std::string(SOURCE_DIR) + "/samples/sample.xml";
    ASSERT_TRUE(document::loadDocument(path.c_str(), loaded, nullptr, document::Positions::Untracked, nullptr,
                                       document::Reading::RowByRow));
    int rows = 0, deepest = 0;
    std::vector<std::pair<TiXmlNode*, int>> pending{{&loaded.tree(), 0}};
    while (!pending.empty()) {
        auto [node, depth] = pending.back();
        pending.pop_back();
        deepest = std::max(deepest, depth);
        rows += depth == document::kRowDepth;
        for (TiXmlNode* child = node->FirstChild(); child; child = child->NextSibling())
            pending.emplace_back(child, depth + 1);
    }
    EXPECT_EQ(deepest, document::kRowDepth);
    EXPECT_EQ(rows, 1452);
}

} // namespace
