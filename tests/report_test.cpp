// dictcheck: what a report says of files that hold each kind of fault, of
// files that cannot be loaded, and of the bundled sample.
#include <map>

#include <gtest/gtest.h>

#include "TestSupport.h"

using namespace testsupport;

namespace {

const std::string kDictcheck = DICTCHECK_PATH;

struct Report {
    int status;
    Json file; // the report of the one file checked
};

Report dictcheck(const std::string& path)
{
    CommandResult result = run("'" + kDictcheck + "' --examples 10 --json - '" + path + "' 2>/dev/null");
    Json json = Json::parse(result.out);
    EXPECT_EQ(json["files"].size(), 1u);
    return {result.status, json["files"][0]};
}

Report checkText(const std::string& xml)
{
    TempFile file(xml);
    return dictcheck(file.path());
}

// The warnings of one kind: its count and its examples' texts.
struct Warnings {
    long long count = 0;
    std::vector<std::string> texts;
};

Warnings warnings(const Json& file, const std::string& kind)
{
    Warnings out;
    for (const auto& group : file["warnings"])
        if (group["kind"] == kind) {
            out.count = group["count"].get<long long>();
            for (const auto& e : group["examples"])
                out.texts.push_back(e["text"].get<std::string>());
        }
    return out;
}

std::string nodes(std::initializer_list<const char*> keys)
{
    std::string out;
    for (const char* key : keys)
        out += row(key, "<x>1</x><y>2</y>");
    return out;
}

std::string designSection(const std::string& designTables)
{
    return dictionary(table("NodeTable", nodes({"1"})), designTables);
}

TEST(Report, EachKindOfWarningIsCountedWithItsPlaces)
{
    const std::string node = "<x>1</x><y>2</y>";
    const struct {
        const char* what;
        std::string xml;
        const char* kind;
        std::vector<std::string> texts;
        bool alone = true; // no warning of another kind
    } cases[] = {
        {"section named otherwise",
         "<D><Pairs><Pair><Key>ModelDb</Key><Value><Pairs>" + table("NodeTable", nodes({"1"})) +
             "</Pairs></Value></Pair></Pairs></D>",
         "section-name", {"section 1 is named \"ModelDb\"; read as ModelDB"}},
        {"third section",
         "<D><Pairs><Pair><Key>ModelDB</Key></Pair><Pair><Key>DesignDB</Key></Pair><Pair><Key>Extra</Key></Pair>"
         "</Pairs></D>",
         "section-ignored", {"section 3 \"Extra\""}},
        {"table entries without key, value or name",
         dictionary("<Pair><Value/></Pair><Pair><Key>NodeTable</Key></Pair><Pair><Key/><Value/></Pair>"),
         "table-entry-skipped", {"no \"Key\"", "no \"Value\"", "no table name"}},
        {"second table of a name", dictionary(table("NodeTable", nodes({"1"})) + table("NodeTable", nodes({"2"}))),
         "table-duplicate", {"\"NodeTable\" again"}},
        {"misspelt and unknown tables",
         dictionary(table("NodesTable", nodes({"1"})) + table("Whatever", ""), table("BeamTabel", "")),
         "table-unread",
         {"\"NodesTable\" (1 row); did you mean \"NodeTable\"?", "\"Whatever\" (0 rows)",
          "\"BeamTabel\" (0 rows); did you mean \"BeamTable\"?"}},
        {"model rows without a key",
         dictionary(table("NodeTable", "<Pair><Value>" + node + "</Value></Pair><Pair><Key><Value>1</Value></Key></Pair>"
                                       "<Pair><Key/><Value>" + node + "</Value></Pair>"
                                       "<Pair><Key><Value/></Key><Value>" + node + "</Value></Pair>" +
                                       nodes({"5"}))),
         "row-skipped", {"no \"Key\"", "no \"Value\"", "no \"Value\" in \"Key\"", "no key text"}},
        {"design rows that miss an element",
         designSection(table("RcDgnGlobalTable", row("1", "<Other/>") + row("2", "<Gamma0>1</Gamma0>")) +
                       table("WallColumnTable", row("1", "<SeismicGrade>1</SeismicGrade>")) +
                       table("SlabTable", "<Pair><Key><Value>1</Value></Key></Pair>")),
         "row-skipped", {"\"Gamma0\" missing", "\"SeismicIntensity\" missing", "\"Value\" missing"}},
        {"keys stored twice", dictionary(table("NodeTable", nodes({"1", "2", "1", "1"}))), "key-repeated",
         {"key 1", "key 1"}},
        {"fields without their element",
         dictionary(table("NodeTable", row("1", "<X>1</X><y>2</y>")) +
                    table("FloorTable", row("1", "<Num>1</Num><StoryName>a</StoryName><Heigh>1</Heigh>"
                                                 "<Elevation>0</Elevation><MdulK/><PlanK><S_Plan_K/></PlanK>"))),
         "field-missing", {"\"MdulK/S_Mdul_K\"", "\"PlanK/S_Plan_K/Value\"", "\"x\""}},
        {"numbers not read as written",
         dictionary(table("NodeTable", row("1", "<x>1,5</x><y>abc</y>") + row("2.5", node) +
                                           row("3", "<x>1e999</x><y>2</y>")) +
                    table("UnitFlagTable", row("1", "<Length>350.9</Length><Force>9999999999</Force>")) +
                    table("SectionTable", row("1", "<Symmetric>true</Symmetric>"))),
         "number-not-whole",
         {"\"Length\": \"350.9\" read as 350 (fraction dropped)",
          "\"Force\": \"9999999999\" read as 2147483647 (out of range)",
          "\"Symmetric\": \"true\" read as 0 (no number)", "\"x\": \"1,5\" read as 1 (the rest ignored)",
          "\"y\": \"abc\" read as 0 (no number)", "\"Key\": \"2.5\" read as 2 (fraction dropped)",
          "\"x\": \"1e999\" read as inf (out of range)"},
         false},
        {"a field whose text follows a comment",
         dictionary(table("NodeTable", row("1", "<x><!-- c -->6000.16</x><y>2</y>") +
                                           row("2", "<x><y/>5</x><y><?pi?>7</y>"))),
         "text-hidden",
         {"\"x\": its text follows a comment or other markup", "\"x\": its text follows a comment or other markup",
          "\"y\": its text follows a comment or other markup"}},
        {"elements before the first \"Pair\"",
         dictionary("<Note/>" + table("NodeTable", "<Row>" + row("9", node) + "</Row><Head/>" + nodes({"1"}))),
         "element-not-read",
         {"\"Note\" before the section's first \"Pair\"", "\"Row\" before the table's first \"Pair\"",
          "\"Head\" before the table's first \"Pair\""}},
        {"a table whose rows are all named otherwise",
         dictionary(table("NodeTable", "<Row><Key><Value>1</Value></Key><Value>" + node + "</Value></Row>")),
         "element-not-read", {"\"Row\" before the table's first \"Pair\""}},
        {"design keys without text",
         designSection(table("RcDgnGlobalTable", "<Pair><Key><Value/></Key><Value><Gamma0>1</Gamma0></Value></Pair>"
                                                 "<Pair><Key><Value> </Value></Key><Value><Gamma0>1</Gamma0></Value>"
                                                 "</Pair>")),
         "design-key-empty",
         {"\"Key/Value\" has no text: stored under key 0", "\"Key/Value\" has no text: stored under key 0"}, false},
        {"reals written as infinity or NaN",
         dictionary(table("NodeTable", row("1", "<x>inf</x><y>-NaN</y>") + row("2", "<x>1</x><y>Infinity</y>"))),
         "non-finite", {"\"x\": \"inf\"", "\"y\": \"-NaN\"", "\"y\": \"Infinity\""}},
        {"text after the root element", dictionary(table("NodeTable", nodes({"1"}))) + "tail",
         "after-root", {"text after the root element at column 1: reading stopped there"}},
        {"a second root element", dictionary(table("NodeTable", nodes({"1"}))) + "<Dictionary/>",
         "after-root", {"element \"Dictionary\" after the root element"}},
        {"undefined references and a bare '&'",
         dictionary(table("ProjectInfoTable", row("1", "<Project>A&nbsp;B &amp; C & D&#65;</Project>"))),
         "reference-dropped", {"'&' at column 51", "'&' at column 67"}, false},
        {"declared encoding", [] {
             std::string xml = dictionary(table("NodeTable", nodes({"1"})));
             return xml.replace(xml.find("utf-8"), 5, "GB2312");
         }(),
         "encoding", {"declared \"GB2312\": its texts are shown decoded, and stored as the file's bytes"}},
    };
    for (const auto& c : cases) {
        Report report = checkText(c.xml);
        // Notes tell of no loss: they leave the exit status 0.
        bool note = c.kind == std::string("encoding") || c.kind == std::string("section-name") ||
                    c.kind == std::string("field-missing");
        EXPECT_EQ(report.status, note ? 0 : 1) << c.what;
        EXPECT_EQ(report.file["verdict"], note ? "complete" : "incomplete") << c.what;
        EXPECT_TRUE(report.file["loaded"].get<bool>()) << c.what;
        Warnings found = warnings(report.file, c.kind);
        EXPECT_EQ(found.count, static_cast<long long>(c.texts.size())) << c.what;
        EXPECT_EQ(found.texts, c.texts) << c.what;
        if (c.alone) {
            EXPECT_EQ(report.file["warnings"].size(), 1u) << c.what << ": " << report.file["warnings"].dump();
        }
    }
}

TEST(Report, CountsRowsVisitedAndStoredPerTable)
{
    // Rows of any name after the first "Pair" are visited; a keyless model
    // row is visited but not stored; a repeated key is stored twice.
    std::string rows = "<Before><Key><Value>9</Value></Key><Value><x>1</x><y>1</y></Value></Before>" +
                       nodes({"1", "1"}) + "<Pair><Value><x>1</x><y>1</y></Value></Pair>" +
                       "<Other><Key><Value>4</Value></Key><Value><x>1</x><y>1</y></Value></Other>";
    Report report = checkText(dictionary(table("NodeTable", rows), table("RcDgnGlobalTable", "")));
    EXPECT_EQ(report.file["model"]["Node"], Json::parse(R"({"present": true, "rows": 4, "stored": 3})"));
    EXPECT_EQ(report.file["design"]["RcDgnGlobal"], Json::parse(R"({"present": true, "rows": 0, "stored": 0})"));
    EXPECT_EQ(report.file["design"]["RcDesignBeam"], Json::parse(R"({"present": false, "rows": 0, "stored": 0})"));
    EXPECT_EQ(report.file["model"].size(), 23u);
    EXPECT_EQ(report.file["design"].size(), 7u);
}

TEST(Report, FilesThatCannotBeLoadedSayWhyAndWhere)
{
    TempFile malformed("<D>\n  <Pairs>\n  </Pair>\n</D>\n");
    TempFile stray("\n x<?xml version=\"1.0\"?>\n<D/>\n", "stray.xml");
    TempFile gzip(std::string("\x1F\x8B\x08\0\0\0\0\0", 8), "model.xml.gz");
    const struct {
        std::string path;
        const char* message;
        int row;
        int col;
    } cases[] = {
        {malformed.path() + ".missing", "cannot be read: No such file or directory", 0, 0},
        {malformed.path(), "is not well-formed XML at line 3, column 3: Error reading end tag.", 3, 3},
        {"", "has no name: the path is empty", 0, 0},
        {"/dev/zero", "is a device, not a file", 0, 0},
        {stray.path(), "is not XML: it starts with \"x<?xml version=\"\" at line 2, column 2, where XML starts "
                       "with '<'", 2, 2},
        {gzip.path(), "is not XML: it starts with \"\\x1f\\x8b\\x08\\x00\\x00\\x00\\x00\\x00\" at line 1, column 1, "
                      "where XML starts with '<' (a gzip-compressed file? decompress it first)", 1, 1},
    };
    for (const auto& c : cases) {
        Report report = dictcheck(c.path);
        EXPECT_EQ(report.status, 1);
        EXPECT_FALSE(report.file["loaded"].get<bool>());
        EXPECT_EQ(report.file["error"], (Json{{"message", c.message}, {"row", c.row}, {"col", c.col}}));
        for (const char* section : {"model", "design"})
            for (const auto& [name, counts] : report.file[section].items())
                EXPECT_EQ(counts, Json::parse(R"({"present": false, "rows": 0, "stored": 0})")) << name;
        EXPECT_TRUE(report.file["warnings"].empty());
    }
}

TEST(Report, FilesThatHoldNoDictionarySaySoAndFail)
{
    const struct {
        std::string content;
        std::string message;
    } cases[] = {
        {"<?xml version='1.0'?>", "holds no dictionary: no root element"},
        {"<!DOCTYPE D [\n<!ENTITY e 'x'>\n]><D/>",
         "holds no dictionary: no root element (reading stopped at line 3, column 1, at something that is not "
         "markup: a DOCTYPE with an internal subset cannot be read)"},
        {"<D><Pair/></D>", "holds no dictionary: the root element \"D\" has no \"Pairs\" section list"},
        {"<D><Pairs>text</Pairs></D>", "holds no dictionary: the \"Pairs\" section list holds no section"},
    };
    for (const auto& c : cases) {
        Report report = checkText(c.content);
        EXPECT_EQ(report.status, 1) << c.content;
        EXPECT_TRUE(report.file["loaded"].get<bool>()) << c.content;
        EXPECT_EQ(report.file["error"], (Json{{"message", c.message}, {"row", 0}, {"col", 0}})) << c.content;
    }
}

TEST(Report, TheSampleHasNoWarnings)
{
    Report report = dictcheck(std::string(SAMPLES_DIR) + "/sample.xml");
    EXPECT_EQ(report.status, 0);
    EXPECT_EQ(report.file["error"], Json());
    EXPECT_TRUE(report.file["warnings"].empty()) << report.file["warnings"].dump(2);
    EXPECT_TRUE(report.file["unread"].empty());
    long long stored = 0;
    for (const char* section : {"model", "design"})
        for (const auto& [name, counts] : report.file[section].items()) {
            EXPECT_TRUE(counts["present"].get<bool>()) << name;
            EXPECT_EQ(counts["rows"], counts["stored"]) << name;
            stored += counts["stored"].get<long long>();
        }
    EXPECT_EQ(stored, 1452);
}

TEST(Report, UnreadTablesAreListedWithTheirNearestName)
{
    Report report = checkText(dictionary(table("nodetable", "") + table("PlanTable", ""), table("SlabTbl", "")));
    EXPECT_EQ(report.file["unread"], Json::parse(R"([
        {"section": 0, "table": "nodetable", "nearest": "NodeTable", "rows": 0, "line": 4},
        {"section": 1, "table": "SlabTbl", "nearest": "SlabTable", "rows": 0, "line": 10}])"));
}

TEST(Report, BadArgumentsExitTwo)
{
    EXPECT_EQ(run("'" + kDictcheck + "' >/dev/null 2>&1").status, 2);
    EXPECT_EQ(run("'" + kDictcheck + "' --examples 0 x.xml >/dev/null 2>&1").status, 2);
    EXPECT_EQ(run("'" + kDictcheck + "' --bogus x.xml >/dev/null 2>&1").status, 2);
}

// Each damaged copy of the sample gives its loss, in the text report and
// in the JSON one, at the line of the element at fault.
TEST(Report, EachDamagedCopyOfTheSampleIsToldAtTheElementsLine)
{
    for (const DamagedCopy& copy : damagedSampleCopies()) {
        TempFile file(copy.xml);
        Report report = dictcheck(file.path());
        EXPECT_EQ(report.status, 1) << copy.what;
        const Json* found = nullptr;
        for (const auto& group : report.file["warnings"])
            if (group["kind"] == copy.kind)
                found = &group;
        ASSERT_NE(found, nullptr) << copy.what << ": " << report.file["warnings"].dump();
        EXPECT_EQ((*found)["examples"][0]["line"], copy.line()) << copy.what;
        CommandResult text = run("'" + kDictcheck + "' '" + file.path() + "' 2>&1");
        EXPECT_NE(text.out.find("    line " + std::to_string(copy.line())), std::string::npos)
            << copy.what << ":\n" << text.out;
        EXPECT_NE(text.out.find((*found)["title"].get<std::string>()), std::string::npos) << copy.what;
    }
}

// A fault inside a row is told at its element's line, with the row's line
// beside it; a fault of the whole row at the row's line.
TEST(Report, APlaceInARowNamesTheElementsLineAndTheRowsLine)
{
    std::string rows = "<Pair><Key><Value>1</Value></Key><Value>\n<x>1,5</x>\n<y>2</y></Value></Pair>\n"
                       "<Pair><Key><Value>1</Value></Key>\n<Value><x>1</x><y>2</y></Value></Pair>\n";
    Report report = checkText(dictionary(table("NodeTable", rows)));
    std::map<std::string, Json> first;
    for (const auto& group : report.file["warnings"])
        first[group["kind"].get<std::string>()] = group["examples"][0];
    EXPECT_EQ(first["number-not-whole"]["line"], 6);
    EXPECT_EQ(first["number-not-whole"]["row"], 5);
    EXPECT_EQ(first["key-repeated"]["line"], 8);
    EXPECT_EQ(first["key-repeated"]["row"], 8);
    TempFile file(dictionary(table("NodeTable", rows)));
    CommandResult text = run("'" + kDictcheck + "' '" + file.path() + "'");
    EXPECT_NE(text.out.find("    line 6 (row at line 5), Node: \"x\": \"1,5\" read as 1"), std::string::npos)
        << text.out;
}

// Bytes that are not UTF-8 in a file read as UTF-8 are told, with GBK named
// where every byte fits it; a file that declares GBK is read byte by byte
// and only its declaration is told.
TEST(Report, BytesThatAreNotUtf8AreToldWithTheLikelyEncoding)
{
    const std::string gbk = "\xD6\xD0\xCE\xC4"; // "中文" in GBK
    const std::string body = "<Dictionary><Pairs>\n<Pair><Key>ModelDB</Key><Value><Pairs>\n" +
                             table("ProjectInfoTable", row("1", "<Project>" + gbk + "</Project>")) +
                             "</Pairs></Value></Pair>\n</Pairs></Dictionary>\n";
    const struct {
        const char* what;
        std::string xml;
        const char* kind;
        std::string text;
    } cases[] = {
        {"no declaration", body, "not-utf8",
         "it declares no encoding (so it should be UTF-8) but holds 4 bytes that are not UTF-8 (the first at line "
         "4, column 50), and they fit GBK: save it as UTF-8, or declare encoding=\"GBK\""},
        {"declared UTF-8", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + body, "not-utf8",
         "it is declared UTF-8 but holds 4 bytes that are not UTF-8 (the first at line 5, column 50), and they fit "
         "GBK: save it as UTF-8, or declare encoding=\"GBK\""},
        {"Latin-1 bytes that are not GBK", "<?xml version=\"1.0\"?>\n" + [&] {
             std::string xml = body;
             return xml.replace(xml.find(gbk), gbk.size(), "\xA9 caf\xFF");
         }(),
         "not-utf8",
         "it is declared UTF-8 but holds 2 bytes that are not UTF-8 (the first at line 5, column 50): save it as "
         "UTF-8, or declare its encoding"},
        {"declared GBK", "<?xml version=\"1.0\" encoding=\"GBK\"?>\n" + body, "encoding",
         "declared \"GBK\": its texts are shown decoded, and stored as the file's bytes"},
        {"declared, unknown", "<?xml version=\"1.0\" encoding=\"no-such\"?>\n" + body, "encoding",
         "declared \"no-such\": an encoding not known here"},
    };
    for (const auto& c : cases) {
        Report report = checkText(c.xml);
        EXPECT_TRUE(report.file["loaded"].get<bool>()) << c.what;
        Warnings found = warnings(report.file, c.kind);
        ASSERT_FALSE(found.texts.empty()) << c.what << ": " << report.file["warnings"].dump();
        EXPECT_EQ(found.texts[0], c.text) << c.what;
        // The row lacks the project's other fields; nothing else is told.
        for (const auto& group : report.file["warnings"])
            EXPECT_TRUE(group["kind"] == c.kind || group["kind"] == "field-missing") << c.what << ": " << group.dump();
    }
}

} // namespace
