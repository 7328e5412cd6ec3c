// dictdiff's page in a real browser (headless Chromium): on a generated
// model and a revision of it, the members each storey's plan draws added,
// changed and removed are those the comparison reports, under both
// matchings; a file compared with itself colours nothing; a screenshot
// shows the colours; a changed member's tooltip says what changed.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <tuple>

#include "BrowserSupport.h"
#include "ModelEditor.h"
#include "PlanModels.h"
#include "TestSupport.h"
#include "hostsim/store/Store.h"

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

// Pages and screenshots stay here for people to look at.
const std::string kOutput = BROWSER_OUTPUT_DIR;

// (storey section "f1-s3", table, "added" | "changed" | "removed") -> keys
using Coloured = std::map<std::tuple<std::string, std::string, std::string>, std::multiset<int>>;

const char* const kChanges[] = {"added", "changed", "removed"};

Coloured drawnColoured(const std::string& dom)
{
    Coloured drawn;
    for (const browsertest::Listed& listed : browsertest::listedMembers(dom)) {
        std::istringstream classes(listed.css);
        for (std::string word; classes >> word;)
            for (const char* change : kChanges)
                if (word == change)
                    drawn[{listed.section, listed.table, change}].insert(listed.keys.begin(), listed.keys.end());
    }
    return drawn;
}

std::string describe(const Coloured& members)
{
    std::ostringstream out;
    for (const auto& [where, keys] : members) {
        out << std::get<0>(where) << " " << std::get<1>(where) << " " << std::get<2>(where) << ":";
        for (int key : keys)
            out << " " << key;
        out << "\n";
    }
    return out.str();
}

// The member tables a plan draws, with their design tables.
const std::map<std::string, std::string> kMemberTables = {
    {"Beam", "RcDesignBeam"}, {"Column", "RcDesignColumn"}, {"Brace", ""},         {"Wall", "RcDesignWall"},
    {"WallLL", "RcDesignWallLL"}, {"WallColumn", "RcDesignWallColumn"}, {"Slab", "RcDesignSlab"}};

// Every integer of a JSON value held under a member whose name starts
// with `prefix` ("NodeKey", "NodeList"), in lists ([[key, value], ...]) and
// sub-records too.
void keysUnder(const Json& value, const std::string& prefix, bool inside, std::set<int>& found)
{
    if (value.is_number_integer() && inside) {
        found.insert(value.get<int>());
    } else if (value.is_array()) {
        for (const Json& entry : value)
            if (entry.is_array() && entry.size() == 2)
                keysUnder(entry[1], prefix, inside, found);
    } else if (value.is_object()) {
        for (const auto& item : value.items())
            keysUnder(item.value(), prefix, inside || item.key().rfind(prefix, 0) == 0, found);
    }
}

// What the page must colour, from the comparison as JSON and the new
// model's store: the member tables' added and removed records, and as
// changed every other member whose record, design row, or an element or
// node it names (an element's nodes too) changed, or was added.
Coloured expectedColoured(const Json& comparison, const Json& newStore)
{
    std::map<int, std::string> sectionOfFloor;
    const Json& storeys = comparison.at("storeys");
    for (std::size_t i = 0; i < storeys.size(); ++i)
        if (!storeys[i]["new_floor"].is_null())
            sectionOfFloor[storeys[i]["new_floor"].get<int>()] = "f1-s" + std::to_string(i + 1);
    Coloured expected;
    std::set<std::pair<std::string, int>> changed, addedOrRemoved;
    std::set<int> elements, nodes; // changed or added
    for (const Json& t : comparison.at("tables")) {
        std::string table = t.at("table");
        for (const Json& r : t.at("records")) {
            std::string change = r.at("change");
            Json key = change == "removed" ? r.at("old_key") : r.at("new_key");
            if (kMemberTables.count(table) && change != "changed") {
                std::string section = "f1-s" + std::to_string(r.at("storey").get<int>() + 1);
                expected[{section, table, change}].insert(key.get<int>());
                addedOrRemoved.insert({table, key.get<int>()});
            } else if (kMemberTables.count(table)) {
                changed.insert({table, key.get<int>()});
            } else if (table == "Element" && change != "removed") {
                elements.insert(key.get<int>());
            } else if (table == "Node" && change != "removed") {
                nodes.insert(key.get<int>());
            }
            for (const auto& [member, design] : kMemberTables)
                if (table == design)
                    changed.insert({member, key.get<int>()}); // the revisions keep keys
        }
    }
    std::map<int, std::set<int>> nodesOfElement;
    for (const Json& row : rows(newStore, "model", "Element"))
        keysUnder(row["value"], "PNodeKeyList", false, nodesOfElement[row["key"].get<int>()]);
    for (const auto& [table, design] : kMemberTables)
        for (const Json& row : rows(newStore, "model", table.c_str())) {
            int key = row["key"].get<int>();
            std::set<int> named, through;
            keysUnder(row["value"], "NodeKey", false, named);
            keysUnder(row["value"], "NodeList", false, named); // a slab's supports
            keysUnder(row["value"], "PElemK", false, through);
            bool geometry = false;
            for (int element : through) {
                geometry = geometry || elements.count(element);
                named.insert(nodesOfElement[element].begin(), nodesOfElement[element].end());
            }
            for (int node : named)
                geometry = geometry || nodes.count(node);
            if ((geometry || changed.count({table, key})) && !addedOrRemoved.count({table, key}))
                expected[{sectionOfFloor.at(row["value"]["PStorK"].get<int>()), table, "changed"}].insert(key);
        }
    return expected;
}

const std::string kDictdiff = DICTDIFF_PATH;

const std::string& baseModel()
{
    return generatedModel("--storeys 5 --bays-x 4 --bays-y 3 --seed 12");
}

// The page and the JSON of a comparison, and its exit status.
struct Compared {
    std::string html;
    Json json;
    std::string dom;
    int status;
};

Compared comparedPage(const std::string& older, const std::string& newer, const std::string& options,
                      const std::string& name)
{
    fs::create_directories(kOutput);
    Compared c;
    c.html = kOutput + "/" + name + ".html";
    TempFile json("", "comparison.json");
    Output result = runWithErrors(quote(kDictdiff) + " " + options + " --html " + quote(c.html) + " --json " +
                                  quote(json.path()) + " " + quote(older) + " " + quote(newer));
    c.status = result.status;
    EXPECT_TRUE(result.status == 0 || result.status == 1) << result.errors;
    c.json = Json::parse(readFile(json.path()));
    c.dom = browsertest::dom(c.html);
    return c;
}

// A revision: the last beam removed with its design row, a node the beam
// before it stands on moved, a column added (a copy of the last under a
// new key) and a column's design result changed. Returns the moved node.
int revise(const std::string& path)
{
    ModelEditor model(baseModel());
    std::vector<int> beams = model.keys(Section::Model, "BeamTable");
    int removed = beams.back();
    model.removeRow(Section::Model, "BeamTable", removed);
    model.removeRow(Section::Design, "BeamTable", removed);
    std::string element = model.field(model.row(Section::Model, "BeamTable", beams[beams.size() - 2]),
                                      "PElemK/S_Element_K/Value");
    int node = std::stoi(model.field(model.row(Section::Model, "ElementTable", std::stoi(element)),
                                     "PNodeKeyList/S_Node_K/Value"));
    TiXmlElement* moved = model.row(Section::Model, "NodeTable", node);
    model.setField(moved, "x", std::to_string(std::stod(model.field(moved, "x")) + 300));
    std::vector<int> columns = model.keys(Section::Model, "ColumnTable");
    model.addRow(Section::Model, "ColumnTable", columns.back() + 1,
                 model.row(Section::Model, "ColumnTable", columns.back()));
    TiXmlElement* design = model.row(Section::Design, "ColumnTable", columns[columns.size() / 2]);
    model.setField(design, "ForceUp/N", "-1234.5");
    model.save(path);
    return node;
}

TEST(ComparisonPage, TheMembersColouredAreThoseTheComparisonReports)
{
    NEED_BROWSER();
    TempFile revised("", "revised.xml");
    revise(revised.path());
    for (const char* match : {"key", "geometry"}) {
        Compared c = comparedPage(baseModel(), revised.path(), std::string("--match ") + match,
                                  std::string("compared-") + match);
        EXPECT_EQ(c.status, 1);
        hoststore::clearStore();
        importPath(revised.path());
        Coloured expected = expectedColoured(c.json, storeJson());
        Coloured drawn = drawnColoured(c.dom);
        EXPECT_EQ(drawn, expected) << match << "\ndrawn:\n" << describe(drawn) << "expected:\n" << describe(expected);
        std::set<std::string> kinds;
        std::size_t total = 0;
        for (const auto& [where, keys] : drawn) {
            kinds.insert(std::get<2>(where));
            total += keys.size();
        }
        EXPECT_EQ(kinds, (std::set<std::string>{"added", "changed", "removed"})) << match;
        EXPECT_NE(c.dom.find("Members added, changed or removed: " + std::to_string(total) + "</h4>"),
                  std::string::npos)
            << match;
    }
}

TEST(ComparisonPage, AFileComparedWithItselfColoursNothing)
{
    NEED_BROWSER();
    Compared c = comparedPage(baseModel(), baseModel(), "", "compared-same");
    EXPECT_EQ(c.status, 0);
    EXPECT_EQ(describe(drawnColoured(c.dom)), "");
    EXPECT_NE(c.dom.find("Members added, changed or removed: 0</h4>"), std::string::npos);
    std::size_t plans = browsertest::listedMembers(c.dom).size();
    EXPECT_GT(plans, 5u) << "the plans are drawn, in the normal style";
    browsertest::Pixels pixels = browsertest::screenshot(c.html, "#plan=f1-s2", kOutput + "/compared-same.png");
    EXPECT_GT(pixels.drawn, 0.10) << "the screenshot of storey 2 is blank";
    EXPECT_EQ(pixels.red, 0);
    EXPECT_EQ(pixels.amber, 0);
}

// The storey of the removed beam and the moved node, alone: drawn, with
// red (removed) and amber (changed) in it; pointing at a changed beam
// tells what changed.
TEST(ComparisonPage, AStoreyShowsItsChangesAndAChangedMemberSaysWhat)
{
    NEED_BROWSER();
    TempFile revised("", "revised.xml");
    int node = revise(revised.path());
    Compared c = comparedPage(baseModel(), revised.path(), "", "compared-revision");
    std::string storey;
    for (const Json& t : c.json.at("tables"))
        if (t.at("table") == "Beam")
            for (const Json& r : t.at("records"))
                if (r.at("change") == "removed")
                    storey = "f1-s" + std::to_string(r.at("storey").get<int>() + 1);
    ASSERT_NE(storey, "");
    browsertest::Pixels pixels =
        browsertest::screenshot(c.html, "#plan=" + storey, kOutput + "/compared-revision-" + storey + ".png");
    EXPECT_GT(pixels.drawn, 0.10) << "the screenshot is blank";
    EXPECT_GT(pixels.red, 0.0002) << "no removed member in red";
    EXPECT_GT(pixels.amber, 0.0005) << "no changed member in amber";

    browsertest::Pointed pointed =
        browsertest::pointAt(c.html, "#" + storey + " path.k-beam.changed", "#plan=" + storey);
    std::string first = pointed.tip.substr(0, pointed.tip.find('\n'));
    EXPECT_NE(first.find(": changed"), std::string::npos) << pointed.tip;
    EXPECT_NE(pointed.tip.find("Node " + std::to_string(node) + ": changed, moved 300"), std::string::npos)
        << pointed.tip;
}

// Beams drawn through one element, whose node moved: each is changed, and
// pointing at one tells the node's change, told once in the page.
TEST(ComparisonPage, MembersDrawnThroughOneElementTellTheChangeOfItsNode)
{
    NEED_BROWSER();
    using namespace planmodels;
    Model older;
    older.elements += elementRow(9, 2, {1, 2});
    older.beams = memberRow(1, 2, {9}) + memberRow(2, 2, {9}) + memberRow(3, 2, {9});
    Model newer = older;
    newer.nodes = nodeRow(1, "0", "0") + nodeRow(2, "6100", "0") + nodeRow(3, "6000", "6000") +
                  nodeRow(4, "0", "6000") + nodeRow(5, "0", "0");
    TempFile oldFile(older.xml(), "old.xml"), newFile(newer.xml(), "new.xml");
    Compared c = comparedPage(oldFile.path(), newFile.path(), "", "compared-shared-element");
    Coloured drawn = drawnColoured(c.dom);
    EXPECT_EQ((drawn[{"f1-s2", "Beam", "changed"}]), (std::multiset<int>{1, 2, 3})) << describe(drawn);
    std::vector<browsertest::Listed> listed = browsertest::listedMembers(c.dom);
    auto beams = [](const browsertest::Listed& l) { return l.table == "Beam"; };
    EXPECT_EQ(std::count_if(listed.begin(), listed.end(), beams), 1) << "one path of changed beams";
    std::string page = readFile(c.html);
    std::size_t told = 0;
    for (std::size_t at = page.find("x: 6000.0 -"); at != std::string::npos; at = page.find("x: 6000.0 -", at + 1))
        ++told;
    EXPECT_EQ(told, 2u) << "in the list of changes and in the lookup";

    // The beams lie on one another: the last, drawn on top, is found.
    browsertest::Pointed pointed = browsertest::pointAt(c.html, "#f1-s2 path.k-beam.changed", "#plan=f1-s2");
    EXPECT_EQ(pointed.tip.rfind("Beam 3: changed\n", 0), 0u) << pointed.tip;
    // As the DOM's dump writes the text: ">" as "&gt;".
    EXPECT_NE(pointed.tip.find("Node 2: changed, moved 100\nNode 2: x: 6000.0 -&gt; 6100.0"), std::string::npos)
        << pointed.tip;
}

} // namespace
