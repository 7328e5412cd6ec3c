// dictcheck's page in a real browser (headless Chromium): every stored
// member of every storey drawn exactly once, as the page's own script sees
// it and as the store holds it; a screenshot that shows a plan; faults in
// the warning style and in the list; a member's tooltip.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "BrowserSupport.h"
#include "PlanModels.h"
#include "TestSupport.h"
#include "hostsim/store/Store.h"

using namespace testsupport;
namespace fs = std::filesystem;
using building_modelDB::S_Brace_D;
using building_modelDB::S_Column_D;

namespace {

// Pages and screenshots stay here for people to look at.
const std::string kOutput = BROWSER_OUTPUT_DIR;

// (floor key, table) -> keys, each as often as it is listed.
using Drawn = std::map<std::pair<int, std::string>, std::multiset<int>>;

Drawn drawnMembers(const std::string& dom)
{
    Drawn drawn;
    for (const browsertest::Listed& listed : browsertest::listedMembers(dom))
        drawn[{listed.floor, listed.table}].insert(listed.keys.begin(), listed.keys.end());
    return drawn;
}

const char* const kMemberTables[] = {"Beam", "Column", "Brace", "Wall", "WallLL", "WallColumn", "Slab"};

// What the store holds after importing the file here, in this process.
Drawn storedMembers(const std::string& file)
{
    hoststore::clearStore();
    importPath(file);
    Json store = storeJson();
    Drawn stored;
    for (const char* table : kMemberTables)
        for (const Json& row : rows(store, "model", table))
            stored[{row["value"]["PStorK"].get<int>(), table}].insert(row["key"].get<int>());
    return stored;
}

std::string describe(const Drawn& members)
{
    std::ostringstream out;
    for (const auto& [where, keys] : members)
        out << "floor " << where.first << " " << where.second << ": " << keys.size() << "\n";
    return out.str();
}

// The page of a file, written by dictcheck, and its screenshot of one
// storey's plan shown alone, kept in the build tree for people to look at.
struct Page {
    std::string html;
    std::string dom;
    browsertest::Pixels pixels;
};

Page pageOf(const std::string& file, const std::string& name, const std::string& storey)
{
    fs::create_directories(kOutput);
    Page page;
    page.html = kOutput + "/" + name + ".html";
    fs::remove(page.html); // one an earlier build wrote may not be recognised as a page
    CommandResult result = run(quote(DICTCHECK_PATH) + " --html " + quote(page.html) + " " + quote(file) + " >/dev/null");
    EXPECT_LE(result.status, 1);
    page.dom = browsertest::dom(page.html);
    page.pixels = browsertest::screenshot(page.html, "#plan=" + storey, kOutput + "/" + name + "-" + storey + ".png");
    return page;
}

void expectEveryStoredMemberDrawnOnce(const std::string& file, const Page& page)
{
    Drawn drawn = drawnMembers(page.dom);
    Drawn stored = storedMembers(file);
    EXPECT_EQ(drawn, stored) << "drawn:\n" << describe(drawn) << "stored:\n" << describe(stored);
    std::size_t total = 0;
    for (const auto& [where, keys] : stored)
        total += keys.size();
    EXPECT_GT(total, 0u);
    std::smatch members;
    ASSERT_TRUE(std::regex_search(page.dom, members, std::regex("data-members=\"([0-9]+)\"")));
    std::size_t undrawable = 0;
    std::regex unplaced("class=\"unplaced\"[^>]*data-keys=\"([-0-9 ]*)\"");
    for (std::sregex_iterator u(page.dom.begin(), page.dom.end(), unplaced), end; u != end; ++u) {
        std::istringstream keys((*u)[1].str());
        for (int key; keys >> key;)
            ++undrawable;
    }
    EXPECT_EQ(std::stoul(members[1]) + undrawable, total) << "the members the page's script found in the paths";
}

TEST(PlanPage, TheSampleDrawsEveryStoredMemberOnceAndShowsAPlan)
{
    NEED_BROWSER();
    std::string sample = std::string(SAMPLES_DIR) + "/sample.xml";
    Page page = pageOf(sample, "sample", "f1-s2");
    expectEveryStoredMemberDrawnOnce(sample, page);
    EXPECT_GT(page.pixels.drawn, 0.10) << "the screenshot of storey 2 is blank";
    EXPECT_EQ(page.pixels.red, 0) << "nothing is in the warning style";
}

TEST(PlanPage, AGeneratedModelDrawsEveryStoredMemberOnce)
{
    NEED_BROWSER();
    TempFile model("", "generated.xml");
    ASSERT_EQ(run(quote(MODELGEN_PATH) + " --storeys 9 --bays-x 6 --bays-y 4 --seed 21 -o " + quote(model.path()) +
                  " >/dev/null 2>&1")
                  .status,
              0);
    Page page = pageOf(model.path(), "generated", "f1-s9");
    expectEveryStoredMemberDrawnOnce(model.path(), page);
    EXPECT_GT(page.pixels.drawn, 0.10) << "the screenshot of storey 9 is blank";
}

// A beam on a storey that does not exist, a column on a node that does not,
// a slab without supports, a whole storey missing and a beam without its
// design row: drawn in the warning style, listed, and the rest as usual.
TEST(PlanPage, FaultsAreDrawnInTheWarningStyleAndListed)
{
    NEED_BROWSER();
    using namespace planmodels;
    Model model;
    model.floors = floorRow(1, 1, "F1", "0") + floorRow(2, 2, "F2", "3000");
    model.elements += elementRow(9, 2, {99, 1}) + elementRow(10, 3, {1, 2}) + elementRow(11, 9, {1, 2});
    model.beams = memberRow(1, 2, {1}) + memberRow(2, 9, {11}) + memberRow(3, 3, {10});
    model.columns = memberRow<S_Column_D>(1, 2, {2}) + memberRow<S_Column_D>(2, 2, {9});
    model.slabs = slabRow(1, 2, {{1, 2}, {2, 3}, {3, 4}, {4, 1}}) + slabRowWithoutSupports(2, 2);
    model.wallColumns = wallColumnRow(1, 2, 3) + wallColumnRow(2, 2, 4);
    model.design = table("WallColumnTable", wallColumnDesignRow(1, "12"));
    TempFile file(model.xml(), "faulty.xml");
    Page page = pageOf(file.path(), "faulty", "f1-s3");
    expectEveryStoredMemberDrawnOnce(file.path(), page);

    const struct {
        const char* path; // the path or text that must list the member
        const char* why;  // its line in the list
    } faults[] = {
        {"<svg class=\"plan\"[^>]*data-floor=\"9\" data-stored=\"0\"[\\s\\S]*?class=\"k-beam warn\" data-table=\"Beam\" "
         "data-keys=\"2\"",
         "<td>Beam</td><td class=\"n\">2</td><td>storey 9 is not in the Floor table</td>"},
        {"<svg class=\"plan\"[^>]*data-floor=\"3\" data-stored=\"0\"[\\s\\S]*?class=\"k-beam warn\" data-table=\"Beam\" "
         "data-keys=\"3\"",
         "<td>Beam</td><td class=\"n\">3</td><td>storey 3 is not in the Floor table</td>"},
        {"<svg class=\"plan\"[^>]*data-floor=\"2\"[\\s\\S]*?class=\"k-column warn\" data-table=\"Column\" "
         "data-keys=\"2\"",
         "<td>Column</td><td class=\"n\">2</td><td>node 99 is not in the Node table</td>"},
        {"<svg class=\"plan\"[^>]*data-floor=\"2\"[\\s\\S]*?class=\"unplaced\"[^>]*data-table=\"Slab\" data-keys=\"2\"",
         "<td>Slab</td><td class=\"n\">2</td><td>no supports; not drawn: no stored node</td>"},
        {"<svg class=\"plan\"[^>]*data-floor=\"2\"[\\s\\S]*?class=\"k-wallcolumn warn\" data-table=\"WallColumn\" "
         "data-keys=\"2\"",
         "<td>WallColumn</td><td class=\"n\">2</td><td>no RcDesignWallColumn row stored</td>"},
    };
    for (const auto& f : faults) {
        EXPECT_TRUE(std::regex_search(page.dom, std::regex(f.path))) << f.path;
        EXPECT_NE(page.dom.find(f.why), std::string::npos) << f.why;
    }
    EXPECT_NE(page.dom.find("Members drawn in the warning style: 5</h4>"), std::string::npos);

    // The report as dictcheck writes it as JSON: every field of every
    // warning's examples heads a column of the page's report.
    Json report = Json::parse(run(quote(DICTCHECK_PATH) + " --json - " + quote(file.path()) + " 2>/dev/null").out);
    std::set<std::string> fields;
    for (const Json& group : report["files"][0]["warnings"])
        for (const Json& example : group["examples"])
            for (const auto& field : example.items())
                fields.insert(field.key());
    EXPECT_GE(fields.size(), 3u);
    for (const std::string& field : fields)
        EXPECT_NE(page.dom.find("<th>" + field + "</th>"), std::string::npos) << field;
    EXPECT_GT(page.pixels.red, 0.0005) << "the beam on the storey that does not exist is not drawn in red";
}

// Beams on two storeys drawn through one element, which names a node that
// is not stored: the element is drawn once and used by each; the page's
// script finds every member, and pointing at one tells the element's
// problem, from the part's lookup.
TEST(PlanPage, MembersDrawnThroughOneElementAreFoundAndTellItsProblems)
{
    NEED_BROWSER();
    using namespace planmodels;
    Model model;
    model.elements += elementRow(9, 2, {1, 99, 2});
    model.beams = memberRow(1, 2, {9}) + memberRow(2, 2, {9}) + memberRow(3, 1, {9}) + memberRow(4, 2, {1});
    TempFile file(model.xml(), "shared-element.xml");
    Page page = pageOf(file.path(), "shared-element", "f1-s2");
    expectEveryStoredMemberDrawnOnce(file.path(), page);
    EXPECT_NE(page.dom.find("<path id=\"f1-e"), std::string::npos) << "the element is defined once";
    EXPECT_GT(page.pixels.red, 0.0005) << "the beams through it are not drawn in red";

    // Beams 1 and 2 lie on one another: the later, drawn on top, is found.
    browsertest::Pointed pointed = browsertest::pointAt(page.html, "#f1-s2 path.k-beam.warn", "#plan=f1-s2");
    EXPECT_EQ(pointed.tip.rfind("Beam 2\n", 0), 0u) << pointed.tip;
    EXPECT_NE(pointed.tip.find("node 99 is not in the Node table"), std::string::npos) << pointed.tip;
}

// Pointing at a beam shows its table, key and required steel, as the store
// holds them.
TEST(PlanPage, PointingAtAMemberShowsItsTableKeyAndDesign)
{
    NEED_BROWSER();
    std::string sample = std::string(SAMPLES_DIR) + "/sample.xml";
    fs::create_directories(kOutput);
    std::string html = kOutput + "/tooltip.html";
    fs::remove(html);
    run(quote(DICTCHECK_PATH) + " --html " + quote(html) + " " + quote(sample) + " >/dev/null");
    browsertest::Pointed pointed = browsertest::pointAt(html, "#f1-s1 path.k-beam", "#plan=f1-s1");
    const std::string& text = pointed.tip;
    ASSERT_NE(pointed.key, "");
    // The beam answers, or the brace drawn over it, telling of the beam too.
    EXPECT_TRUE(text.rfind("Beam " + pointed.key + "\n", 0) == 0 ||
                (text.rfind("Brace ", 0) == 0 && text.find("\nBeam " + pointed.key + "\n") != std::string::npos))
        << text;
    EXPECT_NE(text.find("Storey 1 "), std::string::npos) << text;
    hoststore::clearStore();
    importPath(sample);
    Json store = storeJson();
    for (const Json& row : rows(store, "design", "RcDesignBeam"))
        if (row["key"].get<int>() == std::stoi(pointed.key)) {
            const Json& v = row["value"];
            std::string line = "ReqAsTop: " + v["ISection"]["ReqAsTop"].get<std::string>() + " | " +
                               v["MSection"]["ReqAsTop"].get<std::string>() + " | " +
                               v["JSection"]["ReqAsTop"].get<std::string>() + "  (ISection | MSection | JSection)";
            EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
        }
}

// Every column and wall column of a storey answers the pointer with its own
// key, though beams meet at each of them and wall columns lie on columns; a
// brace lying on a beam is drawn over it and names the beam under it.
TEST(PlanPage, EveryColumnAndWallColumnAnswersThePointer)
{
    NEED_BROWSER();
    std::string sample = std::string(SAMPLES_DIR) + "/sample.xml";
    Page page = pageOf(sample, "pointing", "f1-s1");
    // A wall column's dot lies on the column at its node: the column answers
    // near its square's corner, the wall column on its dot.
    for (const auto& [kind, offset] : {std::pair{"column", 0.8}, std::pair{"wallcolumn", 0.0}}) {
        auto pointed =
            browsertest::pointAtEach(page.html, std::string("#f1-s1 path.k-") + kind, "#plan=f1-s1", offset);
        ASSERT_FALSE(pointed.empty()) << kind;
        std::string table = std::string(kind) == "column" ? "Column" : "WallColumn";
        for (const auto& [key, title] : pointed)
            EXPECT_EQ(title.rfind(table + " " + key, 0), 0u) << table << " " << key << " answered as: " << title;
    }

    // A brace along the first beam of storey 1: the same element.
    using namespace planmodels;
    Model model;
    model.elements += elementRow(9, 1, {1, 2});
    model.beams = memberRow(1, 1, {9});
    model.braces = memberRow<S_Brace_D>(2, 1, {9});
    TempFile file(model.xml(), "brace-on-beam.xml");
    Page braced = pageOf(file.path(), "brace-on-beam", "f1-s1");
    auto pointed = browsertest::pointAt(braced.html, "#f1-s1 path.k-brace", "#plan=f1-s1");
    EXPECT_EQ(pointed.tip.rfind("Brace 2\n", 0), 0u) << pointed.tip;
    EXPECT_NE(pointed.tip.find("Under it: Beam 1\nBeam 1\n"), std::string::npos) << pointed.tip;
    EXPECT_GT(braced.pixels.green, 0.0002) << "the brace is not seen over the beam";
}

} // namespace
