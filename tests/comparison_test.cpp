// The comparison of two sets of rows, built by hand: how members compare
// (reals within the tolerance, numbers in texts, lists, sub-records), the
// paths of what differs, and how geometry matching pairs records.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "tools/dictdiff/Comparison.h"
#include "tools/dictdiff/Report.h"

using namespace building_modelDB;
using namespace building_designDB;
using dictdiff::Change;
using dictdiff::Comparison;
using dictdiff::Json;
using dictdiff::Match;
using dictdiff::TableComparison;
using hoststore::StoreRows;

namespace {

const double kNan = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

void fill(TableInterface<int, int>* list, const std::vector<int>& values, bool set = false)
{
    for (std::size_t i = 0; i < values.size(); ++i) {
        int value = values[i];
        list->AddData(set ? value : static_cast<int>(i), value);
    }
}

S_Floor_D floor(const std::string& name, double elevation)
{
    S_Floor_D f;
    f.StoryName = name;
    f.Elevation = elevation;
    f.Heigh = 3000;
    return f;
}

S_Node_D node(double x, double y)
{
    S_Node_D n;
    n.x = x;
    n.y = y;
    return n;
}

S_Element_D element(int floorKey, const std::vector<int>& nodes)
{
    S_Element_D e;
    e.PStorK = floorKey;
    fill(e.PNodeKeyList, nodes);
    return e;
}

S_Beam_D beam(int floorKey, const std::vector<int>& elements)
{
    S_Beam_D b;
    b.PStorK = floorKey;
    fill(b.PElemK, elements);
    return b;
}

const TableComparison& table(const Comparison& c, const std::string& name)
{
    for (const TableComparison& t : c.tables)
        if (t.name == name)
            return t;
    throw std::runtime_error("no table " + name);
}

// The paths and values of every member that differs, in order.
std::vector<std::string> differences(const TableComparison& t)
{
    std::vector<std::string> found;
    for (const auto& r : t.records)
        for (const auto& m : r.members)
            found.push_back(m.member + ": " + m.before.dump() + " -> " + m.after.dump());
    return found;
}

Comparison compareRows(const StoreRows& a, const StoreRows& b, Match match = Match::Key, double tolerance = 0.01)
{
    return dictdiff::compare(a, b, {match, tolerance, {}, {}});
}

struct RealCase {
    double before, after, tolerance;
    bool differs;
};

TEST(Comparison, RealsDifferBeyondTheToleranceAbsoluteAboveOneRelativeBelow)
{
    const RealCase cases[] = {
        {3000, 3000.009, 0.01, false}, {3000, 3000.011, 0.01, true}, {-5, -5.01, 0.01, false},
        {0.2, 0.2019, 0.01, false},    {0.2, 0.25, 0.01, true},      {1e-5, 1.2e-5, 0.01, true},
        {0.0, 0.001, 0.01, true},      {kNan, kNan, 0.01, false},    {kInf, kInf, 0.01, false},
        {kInf, -kInf, 0.01, true},     {kNan, 0.0, 0.01, true},      {1.0, 1.0 + 1e-12, 0, true},
        {7.5, 7.5, 0, false},
    };
    for (const RealCase& c : cases) {
        StoreRows a, b;
        a.of<S_Floor_D>().emplace(1, floor("F1", c.before));
        b.of<S_Floor_D>().emplace(1, floor("F1", c.after));
        Comparison result = compareRows(a, b, Match::Key, c.tolerance);
        EXPECT_EQ(table(result, "Floor").changed, c.differs ? 1 : 0)
            << c.before << " against " << c.after << " within " << c.tolerance;
        EXPECT_EQ(result.equal(), !c.differs);
    }
}

struct TextCase {
    const char* before;
    const char* after;
    bool differs;
};

TEST(Comparison, TextsDifferUnlessEachReadsWholeAsTheSameNumber)
{
    const TextCase cases[] = {
        {"1.0", "1", false},   {"12.50", "12.5", false}, {" 7 ", "7", false},     {"12.5", "12.6", true},
        {"HRB400", "HRB500", true}, {"1,5", "1.5", true}, {"", "0", true},         {"2C20", "2C20", false},
        {"1e3", "1000", false}, {"abc", "ABC", true},
    };
    for (const TextCase& c : cases) {
        StoreRows a, b;
        a.of<building_designDB::S_RcDgnGlobal_D>()[1].Gamma0 = c.before;
        b.of<building_designDB::S_RcDgnGlobal_D>()[1].Gamma0 = c.after;
        Comparison comparison = compareRows(a, b);
        const TableComparison& t = table(comparison, "RcDgnGlobal");
        EXPECT_EQ(t.changed, c.differs ? 1 : 0) << c.before << " against " << c.after;
        if (c.differs) {
            ASSERT_EQ(t.records.size(), 1u);
            EXPECT_EQ(differences(t), (std::vector<std::string>{"Gamma0: " + Json(c.before).dump() + " -> " +
                                                                  Json(c.after).dump()}));
        }
    }
}

TEST(Comparison, MembersAreNamedByTheirPathThroughSubRecordsArraysAndLists)
{
    StoreRows a, b;
    S_Section_D& s = a.of<S_Section_D>()[4];
    double sizes[] = {600, 300};
    for (int i = 0; i < 2; ++i)
        s.SectI.Size->AddData(i, sizes[i]);
    s.UserDefOffsetY[1] = 25;
    S_Section_D& t = b.of<S_Section_D>()[4];
    sizes[0] = 650;
    for (int i = 0; i < 2; ++i)
        t.SectI.Size->AddData(i, sizes[i]);
    t.UserDefOffsetY[1] = 30;

    S_Slab_D& slab = a.of<S_Slab_D>()[2];
    SS_Support support;
    support.BoudaryCondition = 1;
    fill(support.NodeList, {1, 2});
    for (int i = 0; i < 2; ++i)
        slab.Supports->AddData(i, support);
    S_Slab_D& revised = b.of<S_Slab_D>()[2];
    revised.Supports->AddData(0, support);
    SS_Support changedSupport;
    changedSupport.BoudaryCondition = 1;
    fill(changedSupport.NodeList, {2, 1});
    revised.Supports->AddData(1, changedSupport);
    revised.Supports->AddData(2, support);

    a.of<building_designDB::S_RcDesignWallLL_D>()[3].BottomRebar[1].Dia = "20";
    b.of<building_designDB::S_RcDesignWallLL_D>()[3].BottomRebar[1].Dia = "22";
    a.of<S_RcDesignBeam_D>()[5].ISection.Force.N = "-100.0";
    b.of<S_RcDesignBeam_D>()[5].ISection.Force.N = "-120.5";

    Comparison c = compareRows(a, b);
    EXPECT_EQ(differences(table(c, "Section")),
              (std::vector<std::string>{"UserDefOffsetY[1]: 25 -> 30", "SectI.Size: [600.0,300.0] -> [650.0,300.0]"}));
    EXPECT_EQ(differences(table(c, "Slab")),
              (std::vector<std::string>{"Supports[1].NodeList: [1,2] -> [2,1]",
                                        "Supports[2]: null -> {\"BoudaryCondition\":1,\"NodeList\":[1,2]}"}));
    EXPECT_EQ(differences(table(c, "RcDesignWallLL")),
              (std::vector<std::string>{"BottomRebar[1].Dia: \"20\" -> \"22\""}));
    EXPECT_EQ(differences(table(c, "RcDesignBeam")),
              (std::vector<std::string>{"ISection.Force.N: \"-100.0\" -> \"-120.5\""}));
}

TEST(Comparison, RecordsOfOneSideAreAddedOrRemovedInKeyOrder)
{
    StoreRows a, b;
    a.of<S_Node_D>().emplace(3, node(0, 0));
    a.of<S_Node_D>().emplace(1, node(5, 5));
    b.of<S_Node_D>().emplace(1, node(5, 5));
    b.of<S_Node_D>().emplace(2, node(9, 9));
    Comparison c = compareRows(a, b);
    const TableComparison& t = table(c, "Node");
    ASSERT_EQ(t.records.size(), 2u);
    EXPECT_EQ(t.records[0].change, Change::Added);
    EXPECT_EQ(t.records[0].newKey, 2);
    EXPECT_EQ(t.records[1].change, Change::Removed);
    EXPECT_EQ(t.records[1].oldKey, 3);
    EXPECT_EQ(t.added + t.removed + t.changed, 2);
}

// Two storeys, two nodes per level 6 m apart, one above the other: columns
// from level 0 to level 1, a beam element and a beam on level 1, an
// element of the second storey on level 1, and the beam's design.
// `nodeKey` and `elementKey` give each record's key in this version.
StoreRows frame(int (*nodeKey)(int), int (*elementKey)(int), int (*floorKey)(int))
{
    StoreRows rows;
    rows.of<S_Floor_D>().emplace(floorKey(1), floor("1F", 0));
    rows.of<S_Floor_D>().emplace(floorKey(2), floor("2F", 4500));
    for (int level = 0; level < 2; ++level)
        for (int i = 0; i < 2; ++i)
            rows.of<S_Node_D>().emplace(nodeKey(1 + level * 2 + i), node(i * 6000.0, 0));
    rows.of<S_Element_D>().emplace(elementKey(1), element(floorKey(1), {nodeKey(1), nodeKey(3)}));
    rows.of<S_Element_D>().emplace(elementKey(2), element(floorKey(1), {nodeKey(2), nodeKey(4)}));
    rows.of<S_Element_D>().emplace(elementKey(3), element(floorKey(1), {nodeKey(3), nodeKey(4)}));
    rows.of<S_Element_D>().emplace(elementKey(4), element(floorKey(2), {nodeKey(3), nodeKey(4)}));
    rows.of<S_Beam_D>().emplace(elementKey(3), beam(floorKey(1), {elementKey(3)}));
    rows.of<S_RcDesignBeam_D>()[elementKey(3)].TopCovering = "25";
    S_BeamGroup_D group;
    fill(group.BeamList, {elementKey(3)}, true);
    rows.of<S_BeamGroup_D>().emplace(1, group);
    return rows;
}

int same(int key)
{
    return key;
}

TEST(Comparison, GeometryMatchingSeesNoChangeInARenumberedModel)
{
    StoreRows a = frame(same, same, same);
    StoreRows b = frame([](int k) { return 100 + (5 - k); }, [](int k) { return 40 + k * 7; },
                        [](int k) { return 3 - k; });
    Comparison geometry = compareRows(a, b, Match::Geometry);
    EXPECT_TRUE(geometry.equal());
    EXPECT_EQ(table(geometry, "Node").rekeyed, 4);
    EXPECT_EQ(table(geometry, "Node").pairedBy, std::string("position"));
    EXPECT_EQ(table(geometry, "Element").pairedBy, std::string("references"));
    EXPECT_EQ(table(geometry, "Beam").rekeyed, 1);
    EXPECT_EQ(table(geometry, "RcDesignBeam").pairedBy, std::string("member"));
    EXPECT_EQ(table(geometry, "Floor").pairedBy, std::string("storey order"));

    Comparison byKey = compareRows(a, b);
    EXPECT_FALSE(byKey.equal());
}

// Node 3 (level 1, x 0) moved by 40 mm.
StoreRows movedFrame(int (*nodeKey)(int))
{
    StoreRows rows = frame(nodeKey, same, same);
    rows.of<S_Node_D>().at(nodeKey(3)).x = 40;
    return rows;
}

TEST(Comparison, AMovedNodeKeepsItsPairWhereKeysWereKeptAndIsNewWhereTheyWereNot)
{
    StoreRows a = frame(same, same, same);
    Comparison kept = compareRows(a, movedFrame(same), Match::Geometry);
    const TableComparison& nodes = table(kept, "Node");
    EXPECT_EQ(nodes.changed, 1);
    ASSERT_EQ(nodes.records.size(), 1u);
    EXPECT_EQ(nodes.records[0].distance, 40.0);
    EXPECT_EQ(differences(nodes), (std::vector<std::string>{"x: 0.0 -> 40.0"}));
    EXPECT_EQ(table(kept, "Element").changed, 0);

    Comparison renumbered = compareRows(a, movedFrame([](int k) { return 10 + k; }), Match::Geometry);
    const TableComparison& renumberedNodes = table(renumbered, "Node");
    EXPECT_EQ(renumberedNodes.added, 1);
    EXPECT_EQ(renumberedNodes.removed, 1);
    EXPECT_EQ(renumberedNodes.changed, 0);
    // The elements on the moved node keep their keys: paired by key, their
    // node lists differ through the pairing.
    EXPECT_EQ(differences(table(renumbered, "Element")),
              (std::vector<std::string>{"PNodeKeyList: [1,3] -> [11,13]", "PNodeKeyList: [3,4] -> [13,14]",
                                        "PNodeKeyList: [3,4] -> [13,14]"}));
}

TEST(Comparison, StoreysPairByHeightOrderAndNodesOfOnePlaceByTheirStoreys)
{
    StoreRows a = frame(same, same, same);
    StoreRows b = frame(same, same, same);
    b.of<S_Floor_D>().at(2).StoryName = "Roof";
    // Swapped keys of the nodes of one plan position on the two levels:
    // told apart by the storeys of the members that use them.
    std::swap(b.of<S_Node_D>().at(1), b.of<S_Node_D>().at(3));
    for (auto& [key, e] : b.of<S_Element_D>()) {
        auto& list = *static_cast<TableInterface<int, int>*>(e.PNodeKeyList);
        for (int i = 0; i < list.GetSize(); ++i) {
            int v = 0;
            list.GetData(i, v);
            v = v == 1 ? 3 : v == 3 ? 1 : v;
            list.AddData(i, v);
        }
    }
    Comparison c = compareRows(a, b, Match::Geometry);
    EXPECT_EQ(differences(table(c, "Floor")), (std::vector<std::string>{"StoryName: \"2F\" -> \"Roof\""}));
    EXPECT_EQ(table(c, "Node").changed, 0);
    EXPECT_EQ(table(c, "Node").rekeyed, 2);
    EXPECT_EQ(table(c, "Element").changed, 0);
}

TEST(Comparison, NodesOfOnePlaceAndStoreysFallBackToTheirKeys)
{
    StoreRows a, b;
    for (StoreRows* rows : {&a, &b}) {
        rows->of<S_Node_D>().emplace(1, node(0, 0));
        rows->of<S_Node_D>().emplace(2, node(0, 0.004));
    }
    b.of<S_Node_D>().at(2).y = 0.005;
    Comparison c = compareRows(a, b, Match::Geometry, 0.01);
    const TableComparison& nodes = table(c, "Node");
    EXPECT_EQ(nodes.rekeyed, 0);
    EXPECT_EQ(nodes.added + nodes.removed, 0);
    EXPECT_EQ(nodes.changed, 1);

    // Thousands piled on one place (a file whose coordinates are all
    // missing): none pairs by position, every one by key.
    StoreRows x, y;
    for (int key = 1; key <= 20000; ++key) {
        x.of<S_Node_D>().emplace(key, node(0, 0));
        y.of<S_Node_D>().emplace(key, node(0, key % 2 ? 0 : 0.02));
    }
    Comparison piled = compareRows(x, y, Match::Geometry, 0.01);
    EXPECT_FALSE(piled.equal());
    EXPECT_EQ(table(piled, "Node").changed, 10000);
    EXPECT_EQ(table(piled, "Node").rekeyed, 0);
}

TEST(Comparison, EachRecordBelongsToItsStorey)
{
    StoreRows a = frame(same, same, same);
    StoreRows b = frame(same, same, same);
    b.of<S_Node_D>().at(1).y = 10;   // base level: used by the first storey's columns
    b.of<S_Beam_D>().at(3).MembType = 2;
    b.of<S_RcDesignBeam_D>().at(3).TopCovering = "30";
    b.of<S_Floor_D>().emplace(7, floor("3F", 9000));
    Comparison c = compareRows(a, b);
    ASSERT_EQ(c.storeys.size(), 3u);
    EXPECT_EQ(c.storeys[2].name, "3F");
    EXPECT_FALSE(c.storeys[2].oldKey.has_value());
    EXPECT_EQ(table(c, "Node").records.at(0).storey, 0);
    EXPECT_EQ(table(c, "Beam").records.at(0).storey, 0);
    EXPECT_EQ(table(c, "RcDesignBeam").records.at(0).storey, 0);
    EXPECT_EQ(table(c, "Floor").records.at(0).storey, 2);
    EXPECT_EQ(table(c, "Floor").records.at(0).change, Change::Added);
}

} // namespace

namespace {

// A CSV cell a spreadsheet would evaluate stays text; plain numbers stay
// numbers; control characters are shown escaped.
TEST(ComparisonCsv, CellsThatWouldBeFormulasStayText)
{
    const struct {
        std::string text;
        std::string cell;
    } cases[] = {
        {"=HYPERLINK(\"http://x\",\"y\")", "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""},
        {"+cmd|' /C calc'!A0", "'+cmd|' /C calc'!A0"},
        {"@SUM(A1:A9)", "'@SUM(A1:A9)"},
        {"-1+1", "'-1+1"},
        {"-inf", "'-inf"},
        {"\t=1", "'\t=1"},
        {"\r=1", "\\x0d=1"},
        {"-300", "-300"},
        {"+2.5e-3", "+2.5e-3"},
        {"-.5", "-.5"},
        {"第1层", "第1层"},
        {"a,b", "\"a,b\""},
        {"T\x1b]0;x\x07", "T\\x1b]0;x\\x07"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dictdiff::csvField(c.text), c.cell) << c.text;
}

} // namespace
