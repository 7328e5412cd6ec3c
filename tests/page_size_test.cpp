// Pages and SVG files grow with the input file, whatever it holds. Each
// construct that made them grow with a product of what the file holds
// (storeys and axes, members and an element's nodes, members and a change
// or a storey's title) is built at two sizes: the outputs stay within the
// documented bound (40 times the input plus 2 MiB) and grow as the input
// does. What is shared is written once and referred to, and the pages
// still list every member once and resolve every reference.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <regex>
#include <set>

#include "BrowserSupport.h"
#include "PlanModels.h"
#include "TestSupport.h"

using namespace testsupport;
using namespace planmodels;
namespace fs = std::filesystem;

namespace {

const double kTimesInput = 40;
const std::uintmax_t kSlack = 2 << 20;

std::uintmax_t bound(std::uintmax_t input)
{
    return static_cast<std::uintmax_t>(kTimesInput * static_cast<double>(input)) + kSlack;
}

std::vector<int> range(int from, int count)
{
    std::vector<int> keys;
    for (int k = from; k < from + count; ++k)
        keys.push_back(k);
    return keys;
}

std::string floors(int count, const std::string& name = "F")
{
    std::string rows;
    for (int k = 1; k <= count; ++k)
        rows += floorRow(k, k, name, std::to_string(3000 * k));
    return rows;
}

// Nodes 1..count along a line, and one element on storey 1 through them all.
std::string nodesInLine(int count, int dx = 0)
{
    std::string rows;
    for (int k = 1; k <= count; ++k)
        rows += nodeRow(k, std::to_string(100 * k + dx), std::to_string(k % 7 * 50));
    return rows;
}

std::string model(const std::string& floorRows, const std::string& nodes, const std::string& axes,
                  const std::string& elements, const std::string& beams)
{
    return dictionary(table("FloorTable", floorRows) + table("NodeTable", nodes) + table("AxisTable", axes) +
                      table("ElementTable", elements) + table("BeamTable", beams));
}

// Floor rows as short as a stored row can be: a key and an empty record.
std::string shortFloors(int count)
{
    std::string rows = "<Pair><Key><Value>0</Value></Key><Value/></Pair>";
    for (int k = 1; k < count; ++k)
        rows += "<a><Key><Value>" + std::to_string(k) + "</Value></Key><Value/></a>";
    return rows;
}

// The hostile models, each at a size n.

std::string storeysAndAxes(int n)
{
    std::string nodes, axes, beams;
    for (int i = 0; i < n; ++i) {
        nodes += nodeRow(2 * i + 1, std::to_string(100 * i), "0") + nodeRow(2 * i + 2, std::to_string(100 * i), "9000");
        axes += axisRow(i + 1, "A" + std::to_string(i + 1), 2 * i + 1, 2 * i + 2);
        beams += memberRow(i + 1, i + 1, {1});
    }
    return model(floors(n), nodes, axes, elementRow(1, 1, {1, 2}), beams);
}

// n members through one element of n nodes: on one storey, on a storey
// each, or one member naming it n times.
std::string membersThroughOneElement(int n)
{
    std::string beams;
    for (int m = 1; m <= n; ++m)
        beams += memberRow(m, 1, {1});
    return model(floors(1), nodesInLine(n), "", elementRow(1, 1, range(1, n)), beams);
}

std::string storeysThroughOneElement(int n)
{
    std::string beams;
    for (int s = 1; s <= n; ++s)
        beams += memberRow(s, s, {1});
    return model(floors(n), nodesInLine(n), "", elementRow(1, 1, range(1, n)), beams);
}

std::string oneMemberNamingAnElementOften(int n)
{
    return model(floors(1), nodesInLine(n), "", elementRow(1, 1, range(1, n)),
                 memberRow(1, 1, std::vector<int>(static_cast<std::size_t>(n), 1)));
}

// n members through one element naming n nodes that are not stored.
std::string membersThroughAnElementOfMissingNodes(int n)
{
    std::string beams;
    for (int m = 1; m <= n; ++m)
        beams += memberRow(m, 1, {1});
    return model(floors(1), nodeRow(1, "0", "0"), "", elementRow(1, 1, range(1000, n)), beams);
}

// A beam drawn through element 1, also naming n elements that are not stored.
std::string aBeamNamingMissingElements(int n)
{
    std::vector<int> elements = range(1000, n);
    elements.insert(elements.begin(), 1);
    return model(floors(1), nodeRow(1, "0", "0") + nodeRow(2, "6000", "0"), "", elementRow(1, 1, {1, 2}),
                 memberRow(1, 1, elements));
}

// A storey whose name grows with n, holding n members in the warning style.
std::string aLongNameAndMembersInTheWarningStyle(int n)
{
    std::string beams;
    for (int m = 1; m <= n; ++m)
        beams += memberRow(m, 1, {7});
    return model(floors(1, std::string(static_cast<std::size_t>(20 * n), '"')), nodeRow(1, "0", "0"), "", "",
                 beams);
}

std::string shortStoreys(int n)
{
    return dictionary(table("FloorTable", shortFloors(n)));
}

// Comparisons: (old, new).
using Pair = std::pair<std::string, std::string>;

Pair everyNodeOfASharedElementMoved(int n)
{
    std::string beams;
    for (int m = 1; m <= n; ++m)
        beams += memberRow(m, 1, {1});
    return {model(floors(1), nodesInLine(n), "", elementRow(1, 1, range(1, n)), beams),
            model(floors(1), nodesInLine(n, 7), "", elementRow(1, 1, range(1, n)), beams)};
}

Pair shortStoreysAdded(int n)
{
    std::string axis = table("NodeTable", nodeRow(1, "0", "0") + nodeRow(2, "1000", "0")) +
                       table("AxisTable", axisRow(1, "A", 1, 2));
    return {dictionary(axis), dictionary(table("FloorTable", shortFloors(n)) + axis)};
}

// The size of what a command wrote: a page, or a folder (with its largest
// file), and of its input.
struct Sizes {
    std::uintmax_t input = 0;
    std::uintmax_t output = 0;
    std::uintmax_t largest = 0;
};

std::uintmax_t folderSize(const std::string& dir, std::uintmax_t& largest)
{
    std::uintmax_t total = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        total += entry.file_size();
        largest = std::max(largest, entry.file_size());
    }
    return total;
}

enum class Output { CheckPage, SvgFolder, ComparisonPage };

// Writes the input(s), runs the command and measures. `text` receives the
// page, when there is one.
Sizes measure(Output output, const Pair& input, std::string* text = nullptr)
{
    TempFile older(input.first, "old.xml"), newer(input.second, "new.xml");
    std::string dir = fs::path(older.path()).parent_path().string();
    std::string page = dir + "/page.html", svg = dir + "/svg";
    Sizes sizes;
    if (output == Output::ComparisonPage) {
        sizes.input = fs::file_size(older.path()) + fs::file_size(newer.path());
        run(quote(DICTDIFF_PATH) + " --html " + quote(page) + " " + quote(older.path()) + " " + quote(newer.path()) +
            " >/dev/null 2>&1");
    } else {
        sizes.input = fs::file_size(older.path());
        std::string option = output == Output::CheckPage ? " --html " + quote(page) : " --svg-dir " + quote(svg);
        run(quote(DICTCHECK_PATH) + option + " " + quote(older.path()) + " >/dev/null 2>&1");
    }
    if (output == Output::SvgFolder) {
        sizes.output = fs::exists(svg) ? folderSize(svg, sizes.largest) : 0;
        fs::remove_all(svg);
    } else {
        sizes.output = sizes.largest = fs::exists(page) ? fs::file_size(page) : 0;
        if (text)
            *text = readFile(page);
        fs::remove(page);
    }
    return sizes;
}

struct Growth {
    const char* what;
    Output output;
    std::function<Pair(int)> make;
    int n;
};

Pair one(const std::function<std::string(int)>& make, int n)
{
    return {make(n), ""};
}

TEST(PageSize, EachHostileModelGivesOutputsWithinTheBoundThatGrowAsTheInputDoes)
{
    using namespace std::placeholders;
    auto check = [](std::string (*make)(int)) { return [make](int n) { return one(make, n); }; };
    const Growth cases[] = {
        {"every storey's plan draws every axis", Output::CheckPage, check(storeysAndAxes), 120},
        {"the same as SVG files", Output::SvgFolder, check(storeysAndAxes), 120},
        {"members on one storey through one element", Output::CheckPage, check(membersThroughOneElement), 300},
        {"members on a storey each through one element", Output::CheckPage, check(storeysThroughOneElement), 300},
        {"the same as SVG files", Output::SvgFolder, check(storeysThroughOneElement), 300},
        {"one member naming one element over and over", Output::CheckPage, check(oneMemberNamingAnElementOften),
         300},
        {"members through one element of missing nodes", Output::CheckPage,
         check(membersThroughAnElementOfMissingNodes), 300},
        {"a beam naming missing elements", Output::CheckPage, check(aBeamNamingMissingElements), 2000},
        {"a long storey name and members in the warning style", Output::CheckPage,
         check(aLongNameAndMembersInTheWarningStyle), 300},
        {"storeys as short as a stored row can be", Output::CheckPage, check(shortStoreys), 5000},
        {"members through one element whose nodes all moved", Output::ComparisonPage, everyNodeOfASharedElementMoved,
         300},
        {"storeys as short as a stored row can be, added", Output::ComparisonPage, shortStoreysAdded, 5000},
    };
    for (const Growth& c : cases) {
        Sizes small = measure(c.output, c.make(c.n)), large = measure(c.output, c.make(2 * c.n));
        ASSERT_GT(small.output, 0u) << c.what;
        for (const Sizes& s : {small, large})
            EXPECT_LE(s.largest, bound(s.input)) << c.what << ": " << s.largest << " bytes from " << s.input;
        double inputGrowth = static_cast<double>(large.input) / static_cast<double>(small.input);
        double outputGrowth = static_cast<double>(large.output) / static_cast<double>(small.output);
        EXPECT_LE(outputGrowth, 1.2 * inputGrowth)
            << c.what << ": " << small.output << " then " << large.output << " bytes, from " << small.input
            << " then " << large.input;
    }
}

// How often `pattern` matches.
std::size_t count(const std::string& text, const std::string& pattern)
{
    std::regex re(pattern);
    return static_cast<std::size_t>(std::distance(std::sregex_iterator(text.begin(), text.end(), re),
                                                  std::sregex_iterator()));
}

// Every member of every storey's plan, by (storey section, table), as the
// page lists them in data-keys: each must be there once.
std::map<std::pair<std::string, std::string>, std::multiset<int>> listed(const std::string& page)
{
    std::map<std::pair<std::string, std::string>, std::multiset<int>> members;
    for (const browsertest::Listed& l : browsertest::listedMembers(page))
        members[{l.section, l.table}].insert(l.keys.begin(), l.keys.end());
    return members;
}

std::vector<Json> scripts(const std::string& page, const std::string& cls)
{
    std::vector<Json> found;
    std::regex script("<script type=\"application/json\" class=\"" + cls + "\">([^<]*)</script>");
    for (std::sregex_iterator i(page.begin(), page.end(), script), end; i != end; ++i)
        found.push_back(Json::parse((*i)[1].str()));
    return found;
}

// Every reference of the page resolves: each definition a path's data-uses
// names is in the page, and each place a member's tooltip entry gives is
// in the part's lookup. Returns how many references there were.
std::size_t expectEveryReferenceResolves(const std::string& page)
{
    std::size_t references = 0;
    std::regex uses("data-uses=\"([^\"]*)\"");
    for (std::sregex_iterator i(page.begin(), page.end(), uses), end; i != end; ++i) {
        std::regex ids("[^ ,-][^ ,]*");
        std::string list = (*i)[1];
        for (std::sregex_iterator id(list.begin(), list.end(), ids); id != end; ++id, ++references)
            EXPECT_EQ(count(page, "<path id=\"" + id->str() + "\""), 1u) << id->str();
    }
    std::vector<Json> lookups = scripts(page, "plan-lookup");
    if (lookups.size() != 1u) {
        ADD_FAILURE() << lookups.size() << " lookups";
        return references;
    }
    const Json& records = lookups[0]["records"];
    const Json& elements = lookups[0]["elements"];
    auto record = [&](const Json& place) {
        ++references;
        EXPECT_LT(place.get<std::size_t>(), records.size());
    };
    auto element = [&](const Json& place) {
        ++references;
        EXPECT_TRUE(elements.contains(std::to_string(place.get<std::size_t>()))) << place;
    };
    for (const Json& e : elements)
        for (const char* list : {"n"})
            for (const Json& place : e.value(list, Json::array()))
                record(place);
    for (const Json& storey : scripts(page, "plan-data"))
        for (const Json& group : storey)
            for (const Json& entry : group) {
                if (!entry.is_object())
                    continue;
                if (entry.contains("r"))
                    record(entry["r"]);
                for (const char* list : {"c", "n"})
                    for (const Json& place : entry.value(list, Json::array()))
                        record(place);
                for (const Json& place : entry.value("e", Json::array()))
                    element(place);
                for (const Json& problem : entry.value("p", Json::array()))
                    if (problem.is_number())
                        element(problem);
            }
    return references;
}

TEST(SharedOnce, EachAxisIsDrawnOncePerPageAndUsedByEveryStorey)
{
    const int n = 40;
    std::string page;
    measure(Output::CheckPage, one(storeysAndAxes, n), &page);
    EXPECT_EQ(count(page, "<path id=\"f1-axis-lines\""), 1u);
    std::smatch lines;
    ASSERT_TRUE(std::regex_search(page, lines, std::regex("<path id=\"f1-axis-lines\"[^>]* d=\"([^\"]*)\"")));
    std::string d = lines[1];
    EXPECT_EQ(static_cast<int>(std::count(d.begin(), d.end(), 'M')), n) << "a line per axis";
    EXPECT_EQ(count(page, "class=\"axis-name\""), static_cast<std::size_t>(n)) << "each name once";
    EXPECT_EQ(count(page, ">A17</text>"), 1u);
    EXPECT_EQ(count(page, "<svg class=\"plan\""), static_cast<std::size_t>(n));
    EXPECT_EQ(count(page, "<use href=\"#f1-axis-lines\" class=\"axis\"/>"), static_cast<std::size_t>(n));
    EXPECT_EQ(count(page, "<use href=\"#f1-axis-labels\""), static_cast<std::size_t>(n));
    for (const auto& [where, keys] : listed(page))
        EXPECT_EQ(keys, std::multiset<int>{std::stoi(where.first.substr(4))}) << where.first << " " << where.second;
}

// A member naming an element many times draws it once; members on many
// storeys drawn through one element draw its one definition.
TEST(SharedOnce, ASharedElementsPointsAreWrittenOnce)
{
    const struct {
        const char* what;
        std::string (*make)(int);
        std::size_t storeys, usesPerStorey;
    } cases[] = {
        {"on a storey each", storeysThroughOneElement, 30, 1},
        {"on one storey", membersThroughOneElement, 1, 30},
    };
    for (const auto& c : cases) {
        std::string page;
        measure(Output::CheckPage, one(c.make, 30), &page);
        // Node 17 stands at (1700, 150): once as a dot, once on the line.
        EXPECT_EQ(count(page, "[ M]1700 150"), 2u) << c.what;
        EXPECT_EQ(count(page, "<path id=\"f1-e0\""), 1u) << c.what;
        EXPECT_EQ(count(page, "<path id=\"f1-n0\""), 1u) << c.what;
        EXPECT_EQ(count(page, "<use href=\"#f1-e0\" class=\"k-beam"), c.storeys) << c.what << ": once per storey";
        EXPECT_EQ(count(page, "<use href=\"#f1-n0\" class=\"nodes\""), c.storeys) << c.what << ": its nodes";
        std::size_t members = 0;
        for (const auto& [where, keys] : listed(page)) {
            EXPECT_EQ(keys.size(), std::set<int>(keys.begin(), keys.end()).size()) << c.what << " " << where.first;
            members += keys.size();
        }
        EXPECT_EQ(members, 30u) << c.what;
        EXPECT_EQ(expectEveryReferenceResolves(page), 30u) << c.what << ": each member's data-uses";
    }
    std::string page;
    measure(Output::CheckPage, one(oneMemberNamingAnElementOften, 30), &page);
    EXPECT_EQ(count(page, "[ M]1700 150"), 2u) << "its nodes' dots and its line, once";
    EXPECT_NE(page.find("data-keys=\"1\""), std::string::npos);
    EXPECT_EQ(page.find(" data-parts=\""), std::string::npos) << "one part";
}

TEST(SharedOnce, EachChangeIsToldOnceAndEveryMemberReliesOnIt)
{
    for (int n : {20, 40}) {
        std::string page;
        measure(Output::ComparisonPage, everyNodeOfASharedElementMoved(n), &page);
        // Node 17 moved from 1700 to 1707: in the list of changes and in the
        // lookup, however many members are drawn through it.
        EXPECT_EQ(count(page, "x: 1700\\.0 -&gt; 1707\\.0"), 1u) << n;
        EXPECT_EQ(count(page, "\"x: 1700\\.0 -> 1707\\.0\""), 1u) << n;
        EXPECT_EQ(count(page, "<tr id=\"f1-c-Node-16\">"), 1u) << n << ": the target of the members' links";
        EXPECT_EQ(count(page, "<td class=\"changed-text\">changed</td>"), static_cast<std::size_t>(n))
            << n << ": every member is changed";
        EXPECT_EQ(count(page, "<a href=\"#f1-c-Node-16\">Node 17: changed, moved 7</a>"), static_cast<std::size_t>(n))
            << n << ": each member's row links to the node's change";
        EXPECT_EQ(expectEveryReferenceResolves(page), static_cast<std::size_t>(2 * n + n))
            << n << ": the element's nodes, and each member's data-uses and element";
    }
}

// A row of the list of members in a marked style gives at most 20 reasons;
// the member's tooltip has all of them.
TEST(SharedOnce, AMemberWithManyProblemsListsTwentyAndItsTooltipAll)
{
    std::string page;
    measure(Output::CheckPage, one(aBeamNamingMissingElements, 30), &page);
    std::smatch row;
    ASSERT_TRUE(std::regex_search(page, row, std::regex("<td>Beam</td><td class=\"n\">1</td><td>([^<]*)</td>")));
    EXPECT_EQ(count(row[1], "is not in the Element table"), 20u);
    EXPECT_EQ(row[1].str().substr(row[1].length() - 35), "; and more: point at it in its plan") << row[1];
    std::vector<Json> data = scripts(page, "plan-data");
    ASSERT_EQ(data.size(), 1u);
    EXPECT_EQ(data[0][0][0]["p"].size(), 30u) << data[0];
}

// dictcheck --svg-dir: an ordinary model's files stand alone; files that
// would repeat thousands of axes refer to one shared file instead, and say so.
TEST(SvgFolder, AnOrdinaryModelsFilesStandAloneAndAHostileOnesShareAFile)
{
    TempFile sample(sampleText(), "sample.xml");
    std::string dir = fs::path(sample.path()).parent_path().string() + "/svg";
    ASSERT_LE(run(quote(DICTCHECK_PATH) + " --svg-dir " + quote(dir) + " " + quote(sample.path()) + " >/dev/null")
                  .status,
              1);
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        std::string svg = readFile(entry.path().string());
        ++files;
        EXPECT_EQ(svg.find("<use"), std::string::npos) << entry.path();
        EXPECT_EQ(count(svg, "<path class=\"axis\""), 1u) << entry.path();
        EXPECT_EQ(count(svg, "class=\"axis-name\""), 9u) << entry.path() << ": the sample's axes";
    }
    EXPECT_EQ(files, 6u) << "a file per storey, no shared file";
    fs::remove_all(dir);

    TempFile hostile(storeysAndAxes(300), "axes.xml");
    ASSERT_LE(run(quote(DICTCHECK_PATH) + " --svg-dir " + quote(dir) + " " + quote(hostile.path()) + " >/dev/null")
                  .status,
              1);
    std::string shared = readFile(dir + "/shared.svg");
    EXPECT_EQ(count(shared, "class=\"axis-name\""), 300u);
    EXPECT_EQ(count(shared, "<path id=\"axis-lines\""), 1u);
    files = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().filename() == "shared.svg")
            continue;
        std::string svg = readFile(entry.path().string());
        ++files;
        EXPECT_EQ(count(svg, "<use href=\"shared.svg#axis-lines\""), 1u) << entry.path();
        EXPECT_EQ(count(svg, "<use href=\"shared.svg#axis-labels\""), 1u) << entry.path();
        EXPECT_NE(svg.find("<!-- The axes and the elements several members are drawn through are defined once, in "
                           "shared.svg beside this file. -->"),
                  std::string::npos)
            << entry.path();
        EXPECT_NE(svg.find(">Axes and elements several members share: from shared.svg, beside this file</text>"),
                  std::string::npos)
            << entry.path();
        EXPECT_EQ(svg.find("class=\"axis-name\""), std::string::npos) << entry.path();
    }
    EXPECT_EQ(files, 300u);
}

} // namespace
