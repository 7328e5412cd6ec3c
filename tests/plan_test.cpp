// Storey plans from the store: storeys and their order, members placed by
// their nodes, every fault named, design results, and the plan's SVG
// (each member once, hostile texts kept harmless, a well-formed file).
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <regex>
#include <set>

#include <tinyxml.h>

#include "PlanModels.h"
#include "TestSupport.h"
#include "tools/htmlreport/JsonHtml.h"
#include "tools/plan/Markup.h"
#include "tools/plan/Plan.h"
#include "tools/plan/PlanSvg.h"

using namespace testsupport;
using namespace planmodels;
using building_modelDB::S_Brace_D;
using building_modelDB::S_Column_D;
using building_modelDB::S_Wall_D;

namespace {

plan::Plan planOf(const std::string& xml, const std::set<std::string>& designHeld = {})
{
    importText(xml);
    return plan::readPlan(designHeld);
}

const plan::Storey* storey(const plan::Plan& p, int key)
{
    for (const plan::Storey& s : p.storeys)
        if (s.key == key)
            return &s;
    return nullptr;
}

const plan::Member* member(const plan::Plan& p, plan::Kind kind, int key)
{
    for (const plan::Storey& s : p.storeys)
        for (const plan::Member& m : s.members[static_cast<std::size_t>(kind)])
            if (m.key == key)
                return &m;
    return nullptr;
}

// The parts a member is drawn with: its own, then its elements'.
std::vector<std::vector<plan::Point>> partsOf(const plan::Plan& p, const plan::Member& m)
{
    std::vector<std::vector<plan::Point>> parts = m.parts;
    for (std::size_t e : m.through)
        if (!p.elements[e].points.empty())
            parts.push_back(p.elements[e].points);
    return parts;
}

std::vector<std::pair<double, double>> points(const plan::Plan& p, const plan::Member& m)
{
    std::vector<std::pair<double, double>> out;
    for (const auto& part : partsOf(p, m))
        for (plan::Point point : part)
            out.emplace_back(point.x, point.y);
    return out;
}

// The nodes a member names, itself and through its elements.
std::vector<int> nodesOf(const plan::Plan& p, const plan::Member& m)
{
    std::vector<int> nodes = m.nodes;
    for (std::size_t e : m.through)
        nodes.insert(nodes.end(), p.elements[e].nodes.begin(), p.elements[e].nodes.end());
    return nodes;
}

std::vector<std::string> problems(const plan::Plan& p, const plan::Member& m)
{
    bool more = false;
    return plan::problemTexts(p, m, SIZE_MAX, more);
}

std::string svgOf(const plan::Plan& p, const plan::Storey& s, plan::SvgUse use)
{
    std::string svg;
    plan::PlanDrawing(p, use, "").writeStorey(svg, s);
    return svg;
}

using Points = std::vector<std::pair<double, double>>;

TEST(Plan, StoreysComeByElevationThenThoseOnlyMembersName)
{
    Model model;
    model.floors = floorRow(1, 1, "ground", "0") + floorRow(2, 3, "third", "6000") + floorRow(3, 2, "second", "3000") +
                   floorRow(4, 5, "twin b", "9000") + floorRow(5, 4, "twin a", "9000") +
                   floorRow(6, 6, "no elevation", "");
    model.beams = memberRow(1, 2, {1}) + memberRow(2, 12, {1}) + memberRow(3, 8, {1});
    model.columns = "";
    plan::Plan p = planOf(model.xml());
    std::vector<std::pair<int, bool>> order;
    for (const plan::Storey& s : p.storeys)
        order.emplace_back(s.key, s.stored);
    // Floor 6 has no elevation element: the store's default, 0.
    EXPECT_EQ(order, (std::vector<std::pair<int, bool>>{
                         {1, true}, {6, true}, {3, true}, {2, true}, {5, true}, {4, true}, {8, false}, {12, false}}));
    EXPECT_EQ(storey(p, 3)->name, "second");
    EXPECT_EQ(storey(p, 3)->number, 2);
    EXPECT_EQ(storey(p, 3)->elevation, 3000);
    EXPECT_EQ(storey(p, 1)->members[static_cast<std::size_t>(plan::Kind::Beam)].size(), 0u)
        << "a storey without members still has its plan";
}

TEST(Plan, MembersArePlacedByTheNodesTheyName)
{
    plan::Plan p = planOf(Model().xml());
    using K = plan::Kind;
    using Keys = std::vector<int>;
    const struct {
        K kind;
        Points expected;
        Keys elements, nodes; // the keys it names
    } cases[] = {
        {K::Beam, {{0, 0}, {6000, 0}}, {1}, {1, 2}},
        {K::Column, {{0, 0}, {0, 0}}, {2}, {5, 1}},
        {K::Brace, {{6000, 0}, {6000, 6000}}, {3}, {2, 3}},
        {K::Wall, {{0, 6000}, {6000, 6000}}, {4}, {4, 3}},
        {K::WallBeam, {{0, 6000}, {6000, 6000}}, {}, {4, 3}},
        {K::WallColumn, {{6000, 6000}}, {}, {3}},
        // Each support repeats the node the one before it ended on, the
        // last the first node: the outline has each corner once.
        {K::Slab, {{0, 0}, {6000, 0}, {6000, 6000}, {0, 6000}}, {}, {1, 2, 3, 4}},
    };
    for (const auto& c : cases) {
        const plan::Member* m = member(p, c.kind, 1);
        ASSERT_NE(m, nullptr) << plan::info(c.kind).table;
        EXPECT_EQ(points(p, *m), c.expected) << plan::info(c.kind).table;
        EXPECT_EQ(m->elements, c.elements) << plan::info(c.kind).table;
        EXPECT_EQ(nodesOf(p, *m), c.nodes) << plan::info(c.kind).table;
        EXPECT_EQ(problems(p, *m), std::vector<std::string>{}) << plan::info(c.kind).table;
    }
    EXPECT_EQ(storey(p, 2)->nodes.size(), 5u) << "each node its members use, once";
    ASSERT_EQ(p.axes.size(), 2u);
    EXPECT_EQ(p.axes[1].name, "1");
    EXPECT_EQ(p.axes[1].end.y, 6000);
}

TEST(Plan, EachFaultIsNamedAndWhatCanBeDrawnIsKept)
{
    using K = plan::Kind;
    const struct {
        const char* what;
        void (*fault)(Model&);
        K kind;
        int storey;
        const char* problem;
        std::size_t partsLeft;
    } cases[] = {
        {"storey not stored", [](Model& m) { m.beams = memberRow(1, 9, {1}); }, K::Beam, 9,
         "storey 9 is not in the Floor table", 1},
        {"one node of a column missing", [](Model& m) { m.elements += elementRow(9, 2, {99, 1}); m.columns = memberRow<S_Column_D>(1, 2, {9}); },
         K::Column, 2, "node 99 is not in the Node table", 1},
        {"every node of a column missing", [](Model& m) { m.elements += elementRow(9, 2, {98, 99}); m.columns = memberRow<S_Column_D>(1, 2, {9}); },
         K::Column, 2, "node 98 is not in the Node table", 0},
        {"node without finite coordinates", [](Model& m) { m.nodes += nodeRow(7, "inf", "0"); m.wallColumns = wallColumnRow(1, 2, 7); },
         K::WallColumn, 2, "node 7 has no finite coordinates", 0},
        {"element not stored", [](Model& m) { m.beams = memberRow(1, 2, {77}); }, K::Beam, 2,
         "element 77 is not in the Element table", 0},
        {"no elements", [](Model& m) { m.braces = memberRowWithoutElements<S_Brace_D>(1, 2); }, K::Brace, 2,
         "no elements", 0},
        {"element without nodes", [](Model& m) { m.elements += elementRow(9, 2, {}); m.walls = memberRow<S_Wall_D>(1, 2, {9}); },
         K::Wall, 2, "element 9 has no nodes", 0},
        {"element on another storey", [](Model& m) { m.elements += elementRow(9, 1, {1, 2}); m.beams = memberRow(1, 2, {9}); },
         K::Beam, 2, "element 9 is on storey 1", 1},
        {"slab without supports", [](Model& m) { m.slabs = slabRowWithoutSupports(1, 2); }, K::Slab, 2, "no supports", 0},
        {"slab on two nodes", [](Model& m) { m.slabs = slabRow(1, 2, {{1, 2}, {2, 1}}); }, K::Slab, 2,
         "its supports name 2 node(s), too few for an outline", 1},
        {"wall beam node missing", [](Model& m) { m.wallBeams = wallBeamRow(1, 2, 4, 40); }, K::WallBeam, 2,
         "node 40 is not in the Node table", 1},
    };
    for (const auto& c : cases) {
        Model model;
        c.fault(model);
        plan::Plan p = planOf(model.xml());
        const plan::Storey* s = storey(p, c.storey);
        ASSERT_NE(s, nullptr) << c.what;
        const auto& list = s->members[static_cast<std::size_t>(c.kind)];
        ASSERT_EQ(list.size(), 1u) << c.what;
        const plan::Member& m = list[0];
        std::vector<std::string> found = problems(p, m);
        EXPECT_NE(std::find(found.begin(), found.end(), c.problem), found.end())
            << c.what << ": " << (found.empty() ? "no problem" : found[0]);
        EXPECT_EQ(partsOf(p, m).size(), c.partsLeft) << c.what;
        EXPECT_EQ(s->count(plan::Style::Warning), 1u) << c.what << ": the other members are as they were";
    }
}

TEST(Plan, AMissingDesignRowIsAFaultOnlyWhereTheFileHeldDesignRowsOfItsKind)
{
    Model model;
    model.wallColumns = wallColumnRow(1, 2, 3) + wallColumnRow(2, 2, 4);
    model.design = table("WallColumnTable", wallColumnDesignRow(1, "12.5"));
    plan::Plan held = planOf(model.xml(), {"RcDesignWallColumn"});
    const plan::Member* withRow = member(held, plan::Kind::WallColumn, 1);
    const plan::Member* without = member(held, plan::Kind::WallColumn, 2);
    EXPECT_EQ(held.designFields[static_cast<std::size_t>(plan::Kind::WallColumn)],
              (std::vector<std::string>{"ReqMainAs", "ReqHoopAs"}));
    EXPECT_EQ(withRow->design, (std::vector<std::string>{"12.5", "0.5"}));
    EXPECT_TRUE(withRow->problems.empty());
    EXPECT_TRUE(without->design.empty());
    EXPECT_EQ(problems(held, *without), std::vector<std::string>{"no RcDesignWallColumn row stored"});

    plan::Plan notHeld = planOf(Model().xml(), {});
    EXPECT_TRUE(member(notHeld, plan::Kind::Beam, 1)->problems.empty()) << "a model without design results";
}

// The sample's design rows reach the plan as the store holds them.
TEST(Plan, DesignResultsAreTheStoredRowsRequiredSteel)
{
    importText(readFile(std::string(SAMPLES_DIR) + "/sample.xml"));
    Json store = storeJson();
    plan::Plan p = plan::readPlan({"RcDesignBeam", "RcDesignSlab"});
    const auto& beamFields = p.designFields[static_cast<std::size_t>(plan::Kind::Beam)];
    const plan::Member* beam = member(p, plan::Kind::Beam, 7);
    ASSERT_NE(beam, nullptr);
    ASSERT_EQ(beam->design.size(), beamFields.size());
    EXPECT_EQ(beamFields.size(), 18u) << "six required areas in each of three sections";
    const Json* row = nullptr;
    for (const Json& r : rows(store, "design", "RcDesignBeam"))
        if (r["key"] == 7)
            row = &r["value"];
    ASSERT_NE(row, nullptr);
    for (std::size_t i = 0; i < beamFields.size(); ++i) {
        std::string section = beamFields[i].substr(0, beamFields[i].find('.'));
        std::string field = beamFields[i].substr(beamFields[i].find('.') + 1);
        EXPECT_EQ(beam->design[i], (*row)[section][field].get<std::string>()) << beamFields[i];
    }
    const auto& slabFields = p.designFields[static_cast<std::size_t>(plan::Kind::Slab)];
    auto supportAs = std::find(slabFields.begin(), slabFields.end(), "ReqSupportAs");
    ASSERT_NE(supportAs, slabFields.end());
    const plan::Member* slab = member(p, plan::Kind::Slab, 1);
    EXPECT_NE(slab->design[static_cast<std::size_t>(supportAs - slabFields.begin())].find(", "), std::string::npos)
        << "a value list, its values joined";
}

TEST(Plan, OpeningsAreDescribedFromTheOpeningTable)
{
    Model model;
    model.openings = row("3", element("OpeningType", "2") + element("Width", "1500") + element("Height", "2100"));
    model.slabs = slabRow(1, 2, {{1, 2}, {2, 3}, {3, 4}, {4, 1}}, "3,8");
    plan::Plan p = planOf(model.xml());
    const plan::Member* slab = member(p, plan::Kind::Slab, 1);
    EXPECT_EQ(slab->openings, "3,8 (opening 3: type 2, 1500 x 2100; opening 8 is not in the Opening table)");
}

// Every data-keys list of an SVG, by table: the keys in document order.
std::map<std::string, std::vector<std::string>> drawnKeys(const std::string& svg)
{
    std::map<std::string, std::vector<std::string>> keys;
    std::regex attributes("data-table=\"([^\"]*)\" data-keys=\"([^\"]*)\"");
    for (std::sregex_iterator i(svg.begin(), svg.end(), attributes), end; i != end; ++i) {
        std::istringstream list((*i)[2].str());
        for (std::string key; list >> key;)
            keys[(*i)[1]].push_back(key);
    }
    return keys;
}

TEST(PlanSvg, EveryMemberOfTheStoreyIsListedOnceWhetherDrawnOrNot)
{
    Model model;
    model.elements += elementRow(9, 2, {98, 99}) + elementRow(10, 2, {1, 99});
    model.columns =
        memberRow<S_Column_D>(1, 2, {2}) + memberRow<S_Column_D>(2, 2, {9}) + memberRow<S_Column_D>(3, 2, {10});
    model.beams = memberRow(1, 2, {1}) + memberRow(2, 2, {77}) + memberRow(3, 2, {1});
    plan::Plan p = planOf(model.xml());
    std::string svg = svgOf(p, *storey(p, 2), plan::SvgUse::Inline);
    auto keys = drawnKeys(svg);
    EXPECT_EQ(keys["Column"], (std::vector<std::string>{"1", "3", "2"})) << "drawn, warning style, not drawable";
    EXPECT_EQ(keys["Beam"], (std::vector<std::string>{"1", "3", "2"}));
    for (const char* table : {"Slab", "Wall", "Brace", "WallLL", "WallColumn"})
        EXPECT_EQ(keys[table], std::vector<std::string>{"1"}) << table;
    EXPECT_TRUE(std::regex_search(svg, std::regex("class=\"k-column warn\" data-table=\"Column\" data-keys=\"3\"")));
    EXPECT_TRUE(std::regex_search(svg, std::regex("<text class=\"unplaced\" [^>]*data-table=\"Column\" "
                                                  "data-keys=\"2\"[^>]*>columns without any stored node: 2<")));
    // The column on nodes 5 and 1 is two symbols; the plan says so.
    EXPECT_TRUE(std::regex_search(svg, std::regex("data-table=\"Column\" data-keys=\"1\" data-parts=\"2\"")));
}

TEST(PlanSvg, TextsFromTheFileCannotBreakTheFileAndReadAsWritten)
{
    // A storey name and an axis name with markup, quotes, a control
    // character and a byte that is not UTF-8.
    const std::string hostile = "</title><script>alert(\"1\")</script>&amp;'\x01\xff";
    Model model;
    model.floors = floorRow(1, 1, "F1", "0") + floorRow(2, 2, "&lt;/title&gt;&lt;script&gt;alert(\"1\")&lt;/script&gt;"
                                                             "&amp;amp;'&#x1;\xff", "3000");
    model.axes = axisRow(1, "&lt;b&gt;A&lt;/b&gt;", 1, 2);
    plan::Plan p = planOf(model.xml());
    ASSERT_EQ(storey(p, 2)->name, hostile) << "the store holds the text as the file gave it";
    std::string svg = svgOf(p, *storey(p, 2), plan::SvgUse::Standalone);
    TiXmlDocument document;
    document.Parse(svg.c_str());
    ASSERT_FALSE(document.Error()) << document.ErrorDesc() << "\n" << svg;
    const TiXmlElement* title = document.RootElement()->FirstChildElement("title");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(std::string(title->GetText()),
              "Storey 2 </title><script>alert(\"1\")</script>&amp;'\xEF\xBF\xBD\xEF\xBF\xBD, elevation 3000, "
              "height 3000 (Floor 2)");
    EXPECT_EQ(svg.find("<script"), std::string::npos);
    EXPECT_NE(svg.find("&lt;b&gt;A&lt;/b&gt;</text>"), std::string::npos);
}

TEST(Markup, TextIsEscapedForHtmlAndXmlAlike)
{
    const struct {
        std::string in, out;
    } cases[] = {
        {"plain 第1层", "plain 第1层"},
        {"<a href=\"x\">&'", "&lt;a href=&quot;x&quot;&gt;&amp;&#39;"},
        {"tab\tline\nreturn\r", "tab\tline\nreturn\r"},
        {std::string("nul\0bell\x07", 9), "nul\xEF\xBF\xBD" "bell\xEF\xBF\xBD"},
        {"cut \xE7\xAC", "cut \xEF\xBF\xBD\xEF\xBF\xBD"},
        {"overlong \xC0\xAF", "overlong \xEF\xBF\xBD\xEF\xBF\xBD"},
        {"noncharacter \xEF\xBF\xBF", "noncharacter \xEF\xBF\xBD"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(plan::escaped(c.in), c.out) << c.in;
}

TEST(Markup, ALongTextIsCutBetweenCharacters)
{
    const struct {
        std::string in;
        std::size_t limit;
        std::string out;
    } cases[] = {
        {"Storey 3", 8, "Storey 3"},
        {"Storey 3", 7, "Storey \xE2\x80\xA6"},
        {"第3层", 7, "第3层"},
        {"第3层", 6, "第3\xE2\x80\xA6"},     // not inside 层
        {"第3层", 2, "\xE2\x80\xA6"},         // not inside 第
        {"ab\xFF\xFE" "cd", 3, "ab\xFF\xE2\x80\xA6"}, // a byte that is not UTF-8 is one
    };
    for (const auto& c : cases)
        EXPECT_EQ(plan::shortened(c.in, c.limit), c.out) << c.in << " at " << c.limit;
}

TEST(Markup, NumbersAreShortAndReadTheSameEverywhere)
{
    const struct {
        double in;
        const char* out;
    } cases[] = {{0, "0"},       {6000, "6000"},           {-0.5, "-0.5"},           {5999.62811, "5999.62811"},
                 {1.0 / 3, "0.3333333333"}, {123456789012.0, "1.23456789e+11"}, {1e-7, "1e-07"},
                 {std::nan(""), "0"}, {INFINITY, "0"}};
    for (const auto& c : cases)
        EXPECT_EQ(plan::number(c.in), c.out) << c.in;
}

// The report's fields reach the page whatever they are: a field or a kind
// the page's code has never heard of is shown like the others.
TEST(JsonHtml, EveryFieldOfEveryObjectIsShown)
{
    Json report = Json::parse(R"({
        "path": "a.xml", "loaded": true, "error": null,
        "model": {"Node": {"present": true, "rows": 3, "stored": 2}, "Beam": {"present": false, "rows": 0}},
        "warnings": [
            {"kind": "row-skipped", "title": "rows not stored", "count": 2,
             "examples": [{"line": 4, "table": "Node", "text": "<x> missing"},
                          {"line": 9, "elementLine": 11, "table": "Node", "text": "y"}]},
            {"kind": "a-kind-not-yet-known", "title": "new", "count": 1, "examples": []}]
    })");
    std::string html;
    htmlreport::appendJsonHtml(html, report);
    for (const char* text : {"<th>elementLine</th>", "<td>11</td>", "&lt;x&gt; missing", "a-kind-not-yet-known",
                             "<th>Beam</th>", "<th>stored</th>", "<td>2</td>", "<span class=\"none\">none</span>"})
        EXPECT_NE(html.find(text), std::string::npos) << text << " in\n" << html;
    // The example without the field has an empty cell in its column.
    EXPECT_NE(html.find("<td>4</td><td>Node</td><td>&lt;x&gt; missing</td><td></td>"), std::string::npos) << html;
}

} // namespace
