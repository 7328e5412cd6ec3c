// dictdiff on real files: generated models and seeded revisions of them,
// each reported exactly and nothing else, under both matchings; its
// command line, outputs and exit statuses.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <set>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "ModelEditor.h"
#include "TestSupport.h"

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

const std::string kDictdiff = DICTDIFF_PATH;

Output dictdiff(const std::string& arguments)
{
    return runWithErrors(quote(kDictdiff) + " " + arguments);
}

const std::string& baseModel()
{
    return generatedModel("--storeys 4 --bays-x 3 --bays-y 2 --seed 7");
}

// The comparison of two files as JSON; its exit status in `status`.
Json compareFiles(const std::string& older, const std::string& newer, const std::string& options,
                  int* status = nullptr)
{
    Output result = dictdiff(options + " --json - " + quote(older) + " " + quote(newer));
    if (status)
        *status = result.status;
    EXPECT_TRUE(result.status == 0 || result.status == 1) << result.errors;
    return Json::parse(result.out);
}

// Records as texts in one order, whatever the order they were made or
// reported in.
std::vector<std::string> sorted(const std::vector<Json>& records)
{
    std::vector<std::string> texts;
    for (const Json& record : records)
        texts.push_back(record.dump());
    std::sort(texts.begin(), texts.end());
    return texts;
}

// Every changed, added or removed record of a comparison, without its
// storey, with its table's name.
std::vector<Json> changes(const Json& comparison)
{
    std::vector<Json> all;
    for (const Json& table : comparison.at("tables"))
        for (Json record : table.at("records")) {
            record.erase("storey");
            Json entry = {{"table", table.at("table")}};
            entry.update(record);
            all.push_back(entry);
        }
    return all;
}

Json record(const char* table, const char* change, Json oldKey, Json newKey, Json members = Json::array(),
            Json distance = nullptr)
{
    return {{"table", table},     {"change", change},       {"old_key", oldKey},
            {"new_key", newKey}, {"distance", distance}, {"members", members}};
}

Json member(const std::string& path, Json before, Json after)
{
    return {{"member", path}, {"old", before}, {"new", after}};
}

double real(const std::string& text)
{
    return std::strtod(text.c_str(), nullptr);
}

std::string fixed(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", v);
    return text;
}

// A revision of the base model and exactly what it changed, made from a seed.
struct Revision {
    const char* name;
    std::vector<Json> (*make)(ModelEditor& model, std::mt19937& random);
};

int pick(const std::vector<int>& keys, std::mt19937& random)
{
    return keys[std::uniform_int_distribution<std::size_t>(0, keys.size() - 1)(random)];
}

const Revision kRevisions[] = {
    {"moved nodes",
     [](ModelEditor& model, std::mt19937& random) {
         std::vector<Json> expected;
         std::vector<int> keys = model.keys(Section::Model, "NodeTable");
         std::shuffle(keys.begin(), keys.end(), random);
         std::uniform_real_distribution<double> shift(5, 400);
         for (int i = 0; i < 3; ++i) {
             TiXmlElement* row = model.row(Section::Model, "NodeTable", keys[i]);
             std::string x = model.field(row, "x"), y = model.field(row, "y");
             std::string nx = fixed(real(x) + shift(random)), ny = fixed(real(y) - shift(random));
             model.setField(row, "x", nx);
             model.setField(row, "y", ny);
             expected.push_back(record("Node", "changed", keys[i], keys[i],
                                       {member("x", real(x), real(nx)), member("y", real(y), real(ny))},
                                       std::sqrt((real(nx) - real(x)) * (real(nx) - real(x)) +
                                                 (real(ny) - real(y)) * (real(ny) - real(y)))));
         }
         return expected;
     }},
    {"a changed section",
     [](ModelEditor& model, std::mt19937& random) {
         int key = pick(model.keys(Section::Model, "SectionTable"), random);
         TiXmlElement* row = model.row(Section::Model, "SectionTable", key);
         std::string name = model.field(row, "SName");
         Json before = Json::array(), after = Json::array();
         for (int i = 0; i < 8; ++i)
             before.push_back(real(model.field(row, "SectI/Size/double#" + std::to_string(i))));
         after = before;
         std::string size = fixed(before[1].get<double>() + 50);
         after[1] = real(size);
         model.setField(row, "SName", name + " rev");
         model.setField(row, "SectI/Size/double#1", size);
         return std::vector<Json>{record("Section", "changed", key, key,
                                         {member("SName", name, name + " rev"), member("SectI.Size", before, after)})};
     }},
    {"a deleted beam",
     [](ModelEditor& model, std::mt19937& random) {
         int key = pick(model.keys(Section::Model, "BeamTable"), random);
         model.removeRow(Section::Model, "BeamTable", key);
         model.removeRow(Section::Design, "BeamTable", key);
         return std::vector<Json>{record("Beam", "removed", key, nullptr),
                                  record("RcDesignBeam", "removed", key, nullptr)};
     }},
    {"a design result changed",
     [](ModelEditor& model, std::mt19937& random) {
         int key = pick(model.keys(Section::Design, "ColumnTable"), random);
         TiXmlElement* row = model.row(Section::Design, "ColumnTable", key);
         std::string before = model.field(row, "ForceUp/N");
         std::string after = fixed(real(before) * 1.25 + 10);
         model.setField(row, "ForceUp/N", after);
         return std::vector<Json>{
             record("RcDesignColumn", "changed", key, key, {member("ForceUp.N", before, after)})};
     }},
    {"a storey renamed",
     [](ModelEditor& model, std::mt19937& random) {
         int key = pick(model.keys(Section::Model, "FloorTable"), random);
         TiXmlElement* row = model.row(Section::Model, "FloorTable", key);
         std::string before = model.field(row, "StoryName");
         model.setField(row, "StoryName", "Storey " + std::to_string(key) + " renamed");
         return std::vector<Json>{record("Floor", "changed", key, key,
                                         {member("StoryName", before, "Storey " + std::to_string(key) + " renamed")})};
     }},
    {"a row added",
     [](ModelEditor& model, std::mt19937& random) {
         const char* tables[][2] = {{"NodeTable", "Node"}, {"SectionTable", "Section"}, {"OpeningTable", "Opening"}};
         const auto& table = tables[std::uniform_int_distribution<int>(0, 2)(random)];
         std::vector<int> keys = model.keys(Section::Model, table[0]);
         int key = *std::max_element(keys.begin(), keys.end()) + 1 + static_cast<int>(random() % 5);
         TiXmlElement* added = model.addRow(Section::Model, table[0], key, model.row(Section::Model, table[0], keys[0]));
         if (std::string(table[1]) == "Node")
             model.setField(added, "x", "-7500.25");
         return std::vector<Json>{record(table[1], "added", nullptr, key)};
     }},
};

class Revisions : public ::testing::TestWithParam<unsigned> {};

TEST_P(Revisions, EachIsReportedExactlyAndNothingElseUnderBothMatchings)
{
    for (const Revision& revision : kRevisions) {
        std::mt19937 random(GetParam());
        ModelEditor model(baseModel());
        std::vector<Json> expected = revision.make(model, random);
        TempFile revised("", "revised.xml");
        model.save(revised.path());
        for (const char* match : {"key", "geometry"}) {
            int status = 0;
            Json comparison = compareFiles(baseModel(), revised.path(), std::string("--match ") + match, &status);
            EXPECT_EQ(status, 1) << revision.name << ", " << match;
            EXPECT_FALSE(comparison.at("equal").get<bool>());
            std::vector<Json> found = changes(comparison);
            EXPECT_EQ(sorted(found), sorted(expected)) << revision.name << ", --match " << match << ", seed " << GetParam();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, Revisions, ::testing::Values(1u, 2u, 3u));

TEST(Dictdiff, AFileComparedWithItselfHasNoChange)
{
    for (const char* match : {"key", "geometry"}) {
        Output result = dictdiff(std::string("--match ") + match + " " + quote(baseModel()) + " " + quote(baseModel()));
        EXPECT_EQ(result.status, 0) << match;
        EXPECT_NE(result.out.find(": no change (matched by " + std::string(match) + ", tolerance 0.01)"),
                  std::string::npos)
            << result.out;
        EXPECT_NE(result.out.find("Records: 0 added, 0 removed, 0 changed."), std::string::npos);
        EXPECT_EQ(result.errors, "");
    }
}

// Every node under another key, every reference to a node following it:
// geometry matching sees no change; key matching sees every node moved
// or its references changed.
TEST(Dictdiff, RenumberedNodesAreNoChangeUnderGeometryMatching)
{
    ModelEditor model(baseModel());
    std::vector<int> keys = model.keys(Section::Model, "NodeTable");
    std::vector<int> shuffled = keys;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(11));
    std::map<int, int> renumbered;
    for (std::size_t i = 0; i < keys.size(); ++i)
        renumbered[keys[i]] = shuffled[i] + (i % 2 ? 1000 : 0);
    model.renumberNodes(renumbered);
    TempFile revised("", "renumbered.xml");
    model.save(revised.path());

    int status = 0;
    Json geometry = compareFiles(baseModel(), revised.path(), "--match geometry", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(sorted(changes(geometry)), std::vector<std::string>());
    for (const Json& table : geometry.at("tables"))
        if (table.at("table") == "Node") {
            EXPECT_EQ(table.at("paired_by").get<std::string>(), "position");
            EXPECT_GT(table.at("rekeyed").get<long long>(), static_cast<long long>(keys.size()) / 2);
        }

    Json byKey = compareFiles(baseModel(), revised.path(), "", &status);
    EXPECT_EQ(status, 1);
    EXPECT_GT(changes(byKey).size(), keys.size() / 2);
}

// A renumbered model whose one node also moved: the moved node cannot be
// told from a new one, and is reported removed and added; nothing else
// is paired wrongly.
TEST(Dictdiff, ARenumberedNodeThatMovedIsRemovedAndAdded)
{
    ModelEditor model(baseModel());
    std::vector<int> keys = model.keys(Section::Model, "NodeTable");
    std::map<int, int> renumbered;
    for (int key : keys)
        renumbered[key] = key + 500;
    TiXmlElement* row = model.row(Section::Model, "NodeTable", keys[3]);
    model.setField(row, "x", fixed(real(model.field(row, "x")) + 250));
    model.renumberNodes(renumbered);
    TempFile revised("", "moved.xml");
    model.save(revised.path());
    Json comparison = compareFiles(baseModel(), revised.path(), "--match geometry");
    for (const Json& table : comparison.at("tables"))
        if (table.at("table") == "Node") {
            EXPECT_EQ(table.at("added").get<int>(), 1);
            EXPECT_EQ(table.at("removed").get<int>(), 1);
            EXPECT_EQ(table.at("changed").get<int>(), 0);
        }
}

TEST(Dictdiff, TheTextGroupsChangesByStoreyAndTheCsvHasARowPerMember)
{
    ModelEditor model(baseModel());
    TiXmlElement* floor = model.row(Section::Model, "FloorTable", 2);
    model.setField(floor, "StoryName", "Mezzanine, \"east\"");
    TiXmlElement* node = model.row(Section::Model, "NodeTable", 1);
    model.setField(node, "x", "100.5");
    TempFile revised("", "revised.xml");
    model.save(revised.path());
    TempFile csv("", "changes.csv");
    fs::remove(csv.path());
    Output result = dictdiff("--csv " + quote(csv.path()) + " " + quote(baseModel()) + " " + quote(revised.path()));
    EXPECT_EQ(result.status, 1);
    // Node 1 is on the base level, which the first storey's members use.
    std::size_t first = result.out.find("\nstorey \"第1层\" (floor 1):\n  Node 1: changed, moved ");
    std::size_t second = result.out.find("\nstorey \"Mezzanine, \\\"east\\\"\" (floor 2):\n  Floor 2: changed\n"
                                         "      StoryName: \"第2层\" -> \"Mezzanine, \\\"east\\\"\"\n");
    EXPECT_NE(first, std::string::npos) << result.out;
    EXPECT_NE(second, std::string::npos) << result.out;
    EXPECT_LT(first, second);

    std::vector<std::string> lines = splitLines(readFile(csv.path()));
    ASSERT_EQ(lines.size(), 3u) << readFile(csv.path());
    // A byte-order mark first, so that a spreadsheet reads the names as UTF-8.
    EXPECT_EQ(lines[0], "\xEF\xBB\xBF" "section,table,change,old_key,new_key,storey,member,old,new,distance\r");
    EXPECT_EQ(lines[1], "model,Floor,changed,2,2,\"Mezzanine, \"\"east\"\"\",StoryName,第2层,\"Mezzanine, "
                        "\"\"east\"\"\",\r");
    EXPECT_EQ(lines[2].rfind("model,Node,changed,1,1,第1层,x,", 0), 0u) << lines[2];
}

TEST(Dictdiff, AFileThatCannotBeImportedExitsTwoSayingWhy)
{
    TempFile notXml("<Dictionary><Pairs></Dictionary>", "broken.xml");
    TempFile noDictionary("<Model><Tables/></Model>", "other.xml");
    TempFile empty("", "empty.xml");
    struct Case {
        std::string file;
        std::string reason;
    } cases[] = {
        {"/nonexistent/model.xml", "the file cannot be read: No such file or directory"},
        {notXml.path(), "the file is not well-formed XML"},
        {noDictionary.path(), "the file holds no dictionary: the root element \"Model\" has no \"Pairs\" section "
                              "list"},
        {empty.path(), "the file is empty: it holds no XML"},
    };
    for (const Case& c : cases) {
        for (bool first : {true, false}) {
            std::string older = first ? c.file : baseModel();
            std::string newer = first ? baseModel() : c.file;
            Output result = dictdiff(quote(older) + " " + quote(newer));
            EXPECT_EQ(result.status, 2) << c.file;
            EXPECT_EQ(result.out, "");
            EXPECT_EQ(result.errors.rfind("dictdiff: " + c.file + " cannot be imported: " + c.reason, 0), 0u)
                << result.errors;
        }
    }
    // A pipe is read once: told from the start.
    TempFile pipeHolder("", "pipe");
    fs::remove(pipeHolder.path());
    ASSERT_EQ(mkfifo(pipeHolder.path().c_str(), 0600), 0);
    auto throughPipe = [&](const std::string& file) {
        // The writer holds none of the test's pipes while it waits for a reader.
        return runWithErrors("(cat " + quote(file) + " >" + quote(pipeHolder.path()) + ") >/dev/null 2>&1 & " +
                             quote(kDictdiff) + " " + quote(pipeHolder.path()) + " " + quote(baseModel()));
    };
    Output piped = throughPipe(notXml.path());
    EXPECT_EQ(piped.status, 2);
    EXPECT_NE(piped.errors.find("cannot be imported: the file is not well-formed XML"), std::string::npos)
        << piped.errors;
    Output same = throughPipe(baseModel());
    EXPECT_EQ(same.status, 0) << same.errors;
}

TEST(Dictdiff, EachBadArgumentExitsTwoWithOneLine)
{
    const std::string files = quote(baseModel()) + " " + quote(baseModel());
    TempFile text("not a comparison\n", "notes.txt");
    // dictcheck's page is a page, but not a comparison's.
    TempFile checkPage("<!DOCTYPE html>\n<!-- format: dictimport-page/1 -->\n<html></html>\n", "check.html");
    struct Case {
        std::string arguments;
        std::string message;
    } cases[] = {
        {quote(baseModel()), "dictdiff: NEW is required (see 'dictdiff --help')\n"},
        {"--match name " + files,
         "dictdiff: --match: name not in {key,geometry} (see 'dictdiff --help')\n"},
        {"--tolerance -1 " + files, "dictdiff: --tolerance must be a number, 0 or more (see 'dictdiff --help')\n"},
        {"--tolerance nan " + files, "dictdiff: --tolerance must be a number, 0 or more (see 'dictdiff --help')\n"},
        {"--tolerance 1mm " + files,
         "dictdiff: Could not convert: --tolerance = 1mm (see 'dictdiff --help')\n"},
        {"--json - --csv - " + files,
         "dictdiff: --json and --csv cannot both go to standard output (see 'dictdiff --help')\n"},
        {"--json x.out --csv x.out " + files, "dictdiff: --json and --csv name the same file x.out; give each its own\n"},
        {"--json " + quote(baseModel()) + " " + files,
         "dictdiff: the --json target " + baseModel() +
             " is one of the files to import and would be overwritten; give another path\n"},
        {"--csv " + quote(text.path()) + " " + files,
         "dictdiff: the --csv target " + text.path() +
             " exists and is not a CSV comparison written by dictdiff (it does not start with a byte-order mark and "
             "section,table,change,); "
             "not overwriting it: give another path, or remove the file first (is a file to import given after "
             "--csv?)\n"},
        {"--csv /nonexistent/dir/out.csv " + files,
         "dictdiff: cannot write /nonexistent/dir/out.csv: No such file or directory\n"},
        {"--html - " + files, "dictdiff: --html takes a file to write, not '-' (see 'dictdiff --help')\n"},
        {"--json x.out --html x.out " + files, "dictdiff: --json and --html name the same file x.out; give each its own\n"},
        {"--csv x.out --html ./x.out " + files, "dictdiff: --csv and --html name the same file ./x.out; give each its own\n"},
        {"--html " + quote(baseModel()) + " " + files,
         "dictdiff: the --html target " + baseModel() +
             " is one of the files to import and would be overwritten; give another path\n"},
        {"--html " + quote(checkPage.path()) + " " + files,
         "dictdiff: the --html target " + checkPage.path() +
             " exists and is not a comparison page written by dictdiff (it does not start with <!DOCTYPE html> "
             "<!-- format: dictimport-diff-page/1 -->); not overwriting it: give another path, or remove the file "
             "first (is a file to import given after --html?)\n"},
        {"--html /nonexistent/dir/out.html " + files,
         "dictdiff: cannot write /nonexistent/dir/out.html: No such file or directory\n"},
    };
    for (const Case& c : cases) {
        Output result = dictdiff(c.arguments);
        EXPECT_EQ(result.status, 2) << c.arguments;
        EXPECT_EQ(result.errors, c.message) << c.arguments;
        EXPECT_EQ(result.out, "") << c.arguments;
    }
    EXPECT_EQ(readFile(text.path()), "not a comparison\n");
    EXPECT_EQ(readFile(checkPage.path()), "<!DOCTYPE html>\n<!-- format: dictimport-page/1 -->\n<html></html>\n");
}

// The page replaces an earlier page of dictdiff, whole; it holds no
// reference to anything outside itself.
TEST(Dictdiff, ThePageReplacesAnEarlierPageAndStandsAlone)
{
    TempFile page("<!DOCTYPE html>\n<!-- format: dictimport-diff-page/1 -->\nan earlier page\n", "diff.html");
    ModelEditor model(baseModel());
    model.setField(model.row(Section::Model, "FloorTable", 2), "StoryName", "<b>Mezzanine</b>");
    TempFile revised("", "revised.xml");
    model.save(revised.path());
    Output result = dictdiff("--html " + quote(page.path()) + " " + quote(baseModel()) + " " + quote(revised.path()));
    EXPECT_EQ(result.status, 1) << result.errors;
    std::string html = readFile(page.path());
    EXPECT_EQ(html.rfind("<!DOCTYPE html>\n<!-- format: dictimport-diff-page/1 -->\n", 0), 0u);
    EXPECT_EQ(html.substr(html.size() - 8), "</html>\n");
    EXPECT_NE(html.find("StoryName: &quot;第2层&quot; -&gt; &quot;&lt;b&gt;Mezzanine&lt;/b&gt;&quot;"), std::string::npos);
    EXPECT_EQ(html.find("<b>Mezzanine"), std::string::npos) << "a text of the file is markup";
    for (const char* outside : {"src=", "href=\"http", "href=\"/", "url(", "@import"})
        EXPECT_EQ(html.find(outside), std::string::npos) << outside;
}

TEST(Dictdiff, AFailedWriteOnStandardOutputExitsTwoWithAMessage)
{
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    for (const std::string& options : {std::string(""), std::string("--json - "), std::string("--csv - ")}) {
        Output result = dictdiff(options + quote(baseModel()) + " " + quote(baseModel()) + " >/dev/full");
        EXPECT_EQ(result.status, 2) << options;
        EXPECT_NE(result.errors.find("standard output failed: No space left on device"), std::string::npos)
            << options << result.errors;
    }
}

TEST(Dictdiff, HelpTellsThePairingTheToleranceAndTheExitStatuses)
{
    Output help = dictdiff("--help");
    EXPECT_EQ(help.status, 0);
    for (const char* text : {"--match MATCH:{key,geometry}=key", "--tolerance TOL=0.01", "--html PATH",
                             "a moved node changes its members", "nodes by position",
                             "design rows as their members", "Not paired:", "suits millimetre coordinates",
                             "Exit status: 0 when the models are equal"})
        EXPECT_NE(help.out.find(text), std::string::npos) << text << " in\n" << help.out;
}

} // namespace

namespace {

// The base model with one table's name misspelt, in its model section.
std::string misspelt(const std::string& from, const std::string& to)
{
    std::string xml = readFile(baseModel());
    std::size_t at = xml.find("<Key>" + from + "</Key>");
    EXPECT_NE(at, std::string::npos) << from;
    return xml.replace(at + 5, from.size(), to);
}

TEST(DictdiffVerdicts, ATableAnImportCouldNotReadIsNoChangeAndEachVerdictComesFirst)
{
    TempFile lost(misspelt("BeamGroupTable", "BeamGroupTabel"), "lost.xml");
    TempFile lostToo(misspelt("BeamGroupTable", "BeamGroupTabel"), "lost-too.xml");
    const struct {
        const char* what;
        std::string older, newer;
        const char* notRead;
        int status;
    } cases[] = {
        {"lost by the new import", baseModel(), lost.path(), "new", 1},
        {"lost by the old import", lost.path(), baseModel(), "old", 1},
        {"lost by both: equal", lost.path(), lostToo.path(), "both", 0},
    };
    for (const auto& c : cases) {
        int status = -1;
        Json json = compareFiles(c.older, c.newer, "", &status);
        EXPECT_EQ(status, c.status) << c.what;
        const Json* beamGroup = nullptr;
        for (const Json& t : json["tables"]) {
            if (t["table"] == "BeamGroup")
                beamGroup = &t;
            else
                EXPECT_EQ(t["not_read"], Json()) << c.what << ": " << t["table"];
        }
        ASSERT_NE(beamGroup, nullptr) << c.what;
        EXPECT_EQ((*beamGroup)["not_read"], c.notRead) << c.what;
        EXPECT_EQ((*beamGroup)["added"], 0) << c.what;
        EXPECT_EQ((*beamGroup)["removed"], 0) << c.what;
        EXPECT_TRUE((*beamGroup)["records"].empty()) << c.what;
        for (const auto& [side, path] : {std::pair{"old_import", c.older}, std::pair{"new_import", c.newer}}) {
            bool lossy = path != baseModel();
            EXPECT_EQ(json[side]["verdict"], lossy ? "incomplete" : "complete") << c.what << ": " << side;
            EXPECT_EQ(json[side]["losses"],
                      lossy ? Json::parse(R"([{"kind": "table-unread", "count": 1}])") : Json::array())
                << c.what << ": " << side;
        }

        Output text = dictdiff(quote(c.older) + " " + quote(c.newer));
        std::string oldLine = text.out.substr(0, text.out.find('\n'));
        std::string newLine = text.out.substr(oldLine.size() + 1, text.out.find('\n', oldLine.size() + 1) - oldLine.size() - 1);
        EXPECT_EQ(oldLine.rfind("old: " + c.older + ": ", 0), 0u) << c.what << ": " << text.out;
        EXPECT_EQ(newLine.rfind("new: " + c.newer + ": ", 0), 0u) << c.what << ": " << text.out;
        std::string lostLine = c.older == baseModel() ? newLine : oldLine;
        EXPECT_NE(lostLine.find(": incomplete: table \"BeamGroupTabel\" ("), std::string::npos) << lostLine;
        EXPECT_NE(lostLine.find("did you mean \"BeamGroupTable\"?"), std::string::npos) << lostLine;
        EXPECT_NE(text.out.find("\"BeamGroupTabel\""), std::string::npos) << c.what;
        EXPECT_EQ(text.out.find("BeamGroup 1: removed"), std::string::npos) << c.what;
        EXPECT_EQ(text.out.find("BeamGroup 1: added"), std::string::npos) << c.what;
    }
}

TEST(DictdiffVerdicts, KeyMatchingThatPairsAlmostNothingSuggestsGeometry)
{
    ModelEditor editor(baseModel());
    std::vector<int> keys = editor.keys(Section::Model, "NodeTable");
    std::map<int, int> renumbered;
    for (int key : keys)
        renumbered[key] = key + 10000;
    editor.renumberNodes(renumbered);
    TempFile revised("", "renumbered.xml");
    editor.save(revised.path());
    Output byKey = dictdiff(quote(baseModel()) + " " + quote(revised.path()));
    EXPECT_NE(byKey.out.find("Node records of each side pair with none of the other's by key; if the model was "
                             "renumbered, --match geometry pairs them by position"),
              std::string::npos)
        << byKey.out.substr(0, 2000);
    Output byGeometry = dictdiff("--match geometry " + quote(baseModel()) + " " + quote(revised.path()));
    EXPECT_EQ(byGeometry.out.find("--match geometry pairs them"), std::string::npos);
    Output same = dictdiff(quote(baseModel()) + " " + quote(baseModel()));
    EXPECT_EQ(same.out.find("hint:"), std::string::npos);
}

} // namespace

namespace {

TEST(DictdiffVerdicts, TwoFilesThatDifferOnlyInEncodingAreEqualWithANote)
{
    // The base model's Chinese texts in GBK, declared so.
    std::string xml = readFile(baseModel());
    std::string gbk;
    {
        TempFile utf8(xml, "utf8.xml");
        CommandResult converted = run("iconv -f UTF-8 -t GBK " + quote(utf8.path()));
        ASSERT_EQ(converted.status, 0);
        gbk = converted.out;
    }
    std::size_t at = gbk.find("encoding=\"utf-8\"");
    ASSERT_NE(at, std::string::npos);
    gbk.replace(at, 16, "encoding=\"GBK\"");
    ASSERT_NE(gbk, xml);
    TempFile declared(gbk, "gbk.xml");
    Output text = dictdiff(quote(baseModel()) + " " + quote(declared.path()));
    EXPECT_EQ(text.status, 0) << text.out.substr(0, 1500);
    EXPECT_NE(text.out.find("note: texts of new read as GBK, as its file declares\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find(": no change"), std::string::npos);

    // A storey renamed in the GBK file is one change, shown in UTF-8.
    std::string renamed = gbk;
    std::string storey = "\xB5\xDA" "2\xB2\xE3"; // 第2层 in GBK
    ASSERT_NE(renamed.find(storey), std::string::npos);
    renamed.replace(renamed.find(storey), storey.size(), "\xD7\xAA\xBB\xBB\xB2\xE3"); // 转换层
    TempFile changed(renamed, "renamed.xml");
    Json json = compareFiles(baseModel(), changed.path(), "");
    std::vector<Json> all = changes(json);
    ASSERT_EQ(all.size(), 1u) << json.dump().substr(0, 1500);
    EXPECT_EQ(all[0]["members"][0]["old"], "\xE7\xAC\xAC" "2\xE5\xB1\x82");
    EXPECT_EQ(all[0]["members"][0]["new"], "\xE8\xBD\xAC\xE6\x8D\xA2\xE5\xB1\x82");
    EXPECT_EQ(json["notes"], Json::array({"texts of new read as GBK, as its file declares"}));
}

} // namespace
