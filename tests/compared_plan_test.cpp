// The plan of a comparison: which member is drawn added, changed, removed
// or as it was, with what changed, on which storey; read as dictdiff reads
// them, each import's plan while the store holds it.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "ModelEditor.h"
#include "PlanModels.h"
#include "TestSupport.h"
#include "hostsim/store/Store.h"
#include "tools/dictdiff/PlanChanges.h"
#include "tools/plan/PlanSvg.h"

using namespace testsupport;
using namespace planmodels;
using building_modelDB::S_Column_D;
using building_modelDB::S_Wall_D;
using plan::Kind;
using plan::Style;

namespace {

struct Import {
    hoststore::StoreRows rows;
    plan::Plan plan;
};

Import importOf(const std::string& xml)
{
    Import result;
    importText(xml);
    result.plan = plan::readPlan({});
    result.rows = hoststore::takeRows();
    return result;
}

plan::Plan compared(const std::string& older, const std::string& newer, dictdiff::Match match)
{
    Import a = importOf(older), b = importOf(newer);
    dictdiff::Options options;
    options.match = match;
    dictdiff::Comparison c = dictdiff::compare(a.rows, b.rows, options);
    return dictdiff::comparedPlan(c, std::move(a.plan), std::move(b.plan));
}

// A member drawn in a style other than the normal one: where, and why.
struct Marked {
    std::size_t storey; // its place in the plan
    Style style;
    std::string shownKey;
    std::vector<std::string> changes;
    bool operator==(const Marked& o) const
    {
        return storey == o.storey && style == o.style && shownKey == o.shownKey && changes == o.changes;
    }
};
using MarkedMembers = std::map<std::pair<Kind, int>, Marked>;

// What a member's tooltip says changed, a line each: its own record's
// members, then each record it relies on, named.
std::vector<std::string> changeLines(const plan::Plan& p, const plan::Member& m)
{
    bool more = false;
    std::vector<std::string> lines;
    for (std::size_t r : plan::changedRecords(p, m, SIZE_MAX, more)) {
        const plan::RecordNote& note = p.records[r];
        bool own = m.change && *m.change == r;
        if (!own && note.headline)
            lines.push_back(note.name + ": " + note.change);
        for (const std::string& member : note.members)
            lines.push_back(own ? member : note.name + ": " + member);
    }
    return lines;
}

MarkedMembers marked(const plan::Plan& p)
{
    MarkedMembers found;
    for (std::size_t i = 0; i < p.storeys.size(); ++i)
        for (const plan::KindInfo& k : plan::kinds())
            for (const plan::Member& m : p.storeys[i].members[static_cast<std::size_t>(k.kind)])
                if (m.style != Style::Normal)
                    found[{k.kind, m.key}] = {i, m.style, m.shownKey, changeLines(p, m)};
    return found;
}

std::string describe(const MarkedMembers& members)
{
    std::string text;
    for (const auto& [which, m] : members) {
        text += std::string(plan::info(which.first).table) + " " + std::to_string(which.second) + " on " +
                std::to_string(m.storey) + ": " + plan::info(m.style).label + " " + m.shownKey + "\n";
        for (const std::string& line : m.changes)
            text += "    " + line + "\n";
    }
    return text.empty() ? "nothing\n" : text;
}

std::string withWallColumnDesign(Model model, const std::string& mainAs)
{
    model.design = table("WallColumnTable", wallColumnDesignRow(1, mainAs));
    return model.xml();
}

// Plan storey 1 is Floor 2, where every member of the model is.
const std::size_t kUpper = 1;
const std::vector<std::string> kNode3Moved{"Node 3: changed, moved 100", "Node 3: x: 6000.0 -> 6100.0"};

TEST(ComparedPlan, EachMemberIsDrawnAsWhatHappenedToIt)
{
    const struct {
        const char* what;
        std::string older, newer;
        dictdiff::Match match;
        MarkedMembers expected;
    } cases[] = {
        {"nothing changed", Model().xml(), Model().xml(), dictdiff::Match::Key, {}},
        {"a node moved: every member drawn through it",
         Model().xml(),
         [] {
             Model m;
             m.nodes = nodeRow(1, "0", "0") + nodeRow(2, "6000", "0") + nodeRow(3, "6100", "6000") +
                       nodeRow(4, "0", "6000") + nodeRow(5, "0", "0");
             return m.xml();
         }(),
         dictdiff::Match::Key,
         {{{Kind::Brace, 1}, {kUpper, Style::Changed, "", kNode3Moved}},
          {{Kind::Wall, 1}, {kUpper, Style::Changed, "", kNode3Moved}},
          {{Kind::WallBeam, 1}, {kUpper, Style::Changed, "", kNode3Moved}},
          {{Kind::WallColumn, 1}, {kUpper, Style::Changed, "", kNode3Moved}},
          {{Kind::Slab, 1}, {kUpper, Style::Changed, "", kNode3Moved}}}},
        {"a node moved within the tolerance", Model().xml(),
         [] {
             Model m;
             m.nodes = nodeRow(1, "0", "0") + nodeRow(2, "6000", "0") + nodeRow(3, "6000.004", "6000") +
                       nodeRow(4, "0", "6000") + nodeRow(5, "0", "0");
             return m.xml();
         }(),
         dictdiff::Match::Key, {}},
        {"an element on other nodes: its beam", Model().xml(),
         [] {
             Model m;
             m.elements = elementRow(1, 2, {1, 3}) + elementRow(2, 2, {5, 1}) + elementRow(3, 2, {2, 3}) +
                          elementRow(4, 2, {4, 3});
             return m.xml();
         }(),
         dictdiff::Match::Key,
         {{{Kind::Beam, 1}, {kUpper, Style::Changed, "", {"Element 1: PNodeKeyList: [1,2] -> [1,3]"}}}}},
        {"a wall's own record", Model().xml(),
         [] {
             Model m;
             m.walls = memberRow<S_Wall_D>(1, 2, {4}, element("MembType", "3"));
             return m.xml();
         }(),
         dictdiff::Match::Key, {{{Kind::Wall, 1}, {kUpper, Style::Changed, "", {"MembType: 0 -> 3"}}}}},
        {"a design result", withWallColumnDesign(Model(), "12"), withWallColumnDesign(Model(), "15.5"),
         dictdiff::Match::Key,
         {{{Kind::WallColumn, 1},
           {kUpper, Style::Changed, "", {"RcDesignWallColumn 1: ReqMainAs: \"12\" -> \"15.5\""}}}}},
        {"a design result written otherwise", withWallColumnDesign(Model(), "12"),
         withWallColumnDesign(Model(), "12.000"), dictdiff::Match::Key, {}},
        {"a design row removed", withWallColumnDesign(Model(), "12"), Model().xml(), dictdiff::Match::Key,
         {{{Kind::WallColumn, 1}, {kUpper, Style::Changed, "", {"RcDesignWallColumn 1: removed"}}}}},
        {"a design row added", Model().xml(), withWallColumnDesign(Model(), "12"), dictdiff::Match::Key,
         {{{Kind::WallColumn, 1}, {kUpper, Style::Changed, "", {"RcDesignWallColumn 1: added"}}}}},
        {"a beam removed, a column added: the removed one drawn where it was",
         Model().xml(),
         [] {
             Model m;
             m.beams = "";
             m.columns += memberRow<S_Column_D>(2, 2, {3});
             return m.xml();
         }(),
         dictdiff::Match::Key,
         {{{Kind::Beam, 1}, {kUpper, Style::Removed, "", {}}}, {{Kind::Column, 2}, {kUpper, Style::Added, "", {}}}}},
        {"a storey renamed: its members are as they were", Model().xml(),
         [] {
             Model m;
             m.floors = floorRow(1, 1, "F1", "0") + floorRow(2, 2, "Roof", "3000");
             return m.xml();
         }(),
         dictdiff::Match::Key, {}},
        {"the beam under another key, a node it uses moved: paired by geometry, shown with both keys",
         Model().xml(),
         [] {
             Model m;
             m.beams = memberRow(7, 2, {1});
             m.nodes = nodeRow(1, "0", "0") + nodeRow(2, "6000", "-250") + nodeRow(3, "6000", "6000") +
                       nodeRow(4, "0", "6000") + nodeRow(5, "0", "0");
             return m.xml();
         }(),
         dictdiff::Match::Geometry,
         [] {
             std::vector<std::string> moved{"Node 2: changed, moved 250", "Node 2: y: 0.0 -> -250.0"};
             return MarkedMembers{{{Kind::Beam, 7}, {kUpper, Style::Changed, "1 -> 7", moved}},
                                  {{Kind::Brace, 1}, {kUpper, Style::Changed, "", moved}},
                                  {{Kind::Slab, 1}, {kUpper, Style::Changed, "", moved}}};
         }()},
    };
    for (const auto& c : cases) {
        MarkedMembers found = marked(compared(c.older, c.newer, c.match));
        EXPECT_EQ(found, c.expected) << c.what << "\nfound:\n" << describe(found) << "expected:\n"
                                     << describe(c.expected);
    }
}

// A storey only the old model has: a plan of its own, after those of the
// same elevation, saying so, with the members it held drawn removed.
TEST(ComparedPlan, AStoreyOnlyTheOldModelHasIsDrawnWithItsRemovedMembers)
{
    Model older;
    older.floors += floorRow(3, 3, "F3", "6000");
    older.beams += memberRow(2, 3, {1});
    plan::Plan p = compared(older.xml(), Model().xml(), dictdiff::Match::Key);
    ASSERT_EQ(p.storeys.size(), 3u);
    const plan::Storey& gone = p.storeys[2];
    EXPECT_EQ(gone.key, 3);
    EXPECT_EQ(plan::storeyTitle(gone), "Storey 3 F3, elevation 6000, height 3000 (Floor 3, only in OLD)");
    MarkedMembers found = marked(p);
    EXPECT_EQ(found, (MarkedMembers{{{Kind::Beam, 2}, {2, Style::Removed, "", {}}}})) << describe(found);
    const plan::Member& beam = gone.members[static_cast<std::size_t>(Kind::Beam)].at(0);
    ASSERT_EQ(beam.through.size(), 1u);
    EXPECT_EQ(p.elements.at(beam.through[0]).points.size(), 2u) << "drawn through the old model's nodes";
    EXPECT_EQ(p.storeys[1].members[static_cast<std::size_t>(Kind::Beam)].size(), 1u) << "beam 1 stays on Floor 2";
}

// Beams the new model removed, drawn through one element of the old model:
// the compared plan holds that element once, and both refer to it, as
// they did to the old plan's.
TEST(ComparedPlan, RemovedMembersThroughOneOldElementShareIt)
{
    Model older;
    older.elements += elementRow(9, 2, {1, 3});
    older.beams += memberRow(2, 2, {9}) + memberRow(3, 2, {9});
    plan::Plan p = compared(older.xml(), Model().xml(), dictdiff::Match::Key);
    const auto& beams = p.storeys[kUpper].members[static_cast<std::size_t>(Kind::Beam)];
    ASSERT_EQ(beams.size(), 3u);
    EXPECT_EQ(beams[1].style, Style::Removed);
    EXPECT_EQ(beams[2].style, Style::Removed);
    ASSERT_EQ(beams[1].through.size(), 1u);
    EXPECT_EQ(beams[1].through, beams[2].through);
    const plan::Element& element = p.elements.at(beams[1].through[0]);
    EXPECT_EQ(element.key, 9);
    EXPECT_TRUE(element.shared);
    std::size_t nines = 0;
    for (const plan::Element& e : p.elements)
        nines += e.key == 9;
    EXPECT_EQ(nines, 1u);
}

// A generated model whose nodes all took other keys, every reference
// following them: paired by geometry, nothing is coloured; by key, the
// members are drawn through other nodes.
TEST(ComparedPlan, ARenumberedModelIsUnchangedUnderGeometryMatching)
{
    const std::string& model = generatedModel("--storeys 3 --bays-x 3 --bays-y 2 --seed 4");
    ModelEditor editor(model);
    std::vector<int> keys = editor.keys(Section::Model, "NodeTable");
    std::vector<int> shuffled = keys;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(5));
    std::map<int, int> renumbered;
    for (std::size_t i = 0; i < keys.size(); ++i)
        renumbered[keys[i]] = shuffled[i] + 5000;
    editor.renumberNodes(renumbered);
    TempFile revised("", "renumbered.xml");
    editor.save(revised.path());
    std::string older = readFile(model), newer = readFile(revised.path());

    MarkedMembers geometry = marked(compared(older, newer, dictdiff::Match::Geometry));
    EXPECT_TRUE(geometry.empty()) << describe(geometry);
    MarkedMembers byKey = marked(compared(older, newer, dictdiff::Match::Key));
    std::size_t members = 0;
    for (const auto& [which, m] : byKey)
        members += m.style == Style::Changed;
    EXPECT_GT(members, 20u) << describe(byKey);
}

} // namespace
