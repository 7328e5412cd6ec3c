// The scaling benchmark's files: each kind imports whole, grows what it
// says it grows (rows, list entries, references, warnings) with its count
// and nothing else, is sized as asked, and its edited copies change as
// many points as they say and still import.
#include <cmath>
#include <functional>
#include <map>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "bench/ScaleModels.h"
#include "hostsim/store/Store.h"
#include "plugin/CMBMBNReaderImpl.h"
#include "tools/report/FileReport.h"

using namespace testsupport;

namespace {

// What an import of a kind's file stored and reported.
struct Facts {
    std::map<std::string, long long> stored;   // by table, as the store names it
    std::map<std::string, long long> warnings; // by kind
    Json store;

    long long rows(const char* table) const { return stored.count(table) ? stored.at(table) : 0; }
    long long warned(const char* kind) const { return warnings.count(kind) ? warnings.at(kind) : 0; }
    const Json& model(const char* table) const { return testsupport::rows(store, "model", table); }
};

Facts importKind(const std::string& xml)
{
    TempFile file(xml);
    hoststore::clearStore();
    dictcheck::FileObserver observer(file.path(), 1);
    CMBMBNReaderImpl reader(&observer, RunFeedback{false, false, {}});
    EXPECT_TRUE(reader.importFile(file.path().c_str()));
    dictcheck::FileReport report = observer.finish();
    Facts facts;
    EXPECT_TRUE(report.loaded) << report.errorMessage;
    for (const auto& table : report.tables)
        if (table.present) {
            facts.stored[table.name] = table.stored;
            EXPECT_EQ(table.rows, table.stored) << table.name << " has rows that were not stored";
        }
    for (const auto& group : report.warnings)
        facts.warnings[group.kind] = group.count;
    facts.store = storeJson();
    return facts;
}

// The keys of a stored key list or value list.
std::size_t length(const Json& list)
{
    return list.is_array() ? list.size() : 0;
}

// The members of a table whose element list is exactly {element}.
long long naming(const Facts& facts, const char* table, int element)
{
    long long n = 0;
    for (const Json& row : facts.model(table)) {
        const Json& list = row["value"]["PElemK"];
        n += list.size() == 1 && list[0][1] == element;
    }
    return n;
}

struct Case {
    const char* kind;
    long long count;
    std::function<void(long long count, const Facts& facts)> check;
};

const std::vector<Case> kCases = {
    {"rows", 2,
     [](long long n, const Facts& f) {
         EXPECT_EQ(f.rows("Floor"), n);
         EXPECT_EQ(f.rows("Node"), 20 * (n + 1));
         EXPECT_EQ(f.rows("RcDesignBeam"), f.rows("Beam"));
         EXPECT_TRUE(f.warnings.empty());
     }},
    {"grid", 6,
     [](long long k, const Facts& f) {
         EXPECT_EQ(f.rows("Floor"), k);
         EXPECT_EQ(f.rows("Axis"), k);
         EXPECT_EQ(f.rows("Beam"), k * k);
         EXPECT_EQ(f.rows("Column"), k * k);
         EXPECT_EQ(f.rows("Element"), 2 * k * k);
         EXPECT_EQ(f.rows("Node"), 2 * k * (k + 1));
         EXPECT_TRUE(f.warnings.empty());
     }},
    {"lists", 40,
     [](long long n, const Facts& f) {
         EXPECT_EQ(length(f.model("Element")[0]["value"]["PNodeKeyList"]), n);
         const Json& supports = f.model("Slab")[0]["value"]["Supports"];
         ASSERT_EQ(length(supports), 4u);
         for (const Json& support : supports)
             EXPECT_EQ(length(support[1]["NodeList"]), n / 4 + 1);
         EXPECT_EQ(length(rows(f.store, "design", "RcDesignSlab")[0]["value"]["MomentQOnSupports"]), n);
         EXPECT_EQ(length(f.model("WallColumn")[0]["value"]["Lss"]), n);
         EXPECT_EQ(length(f.model("Section")[0]["value"]["SectI"]["Size"]), n);
         EXPECT_EQ(f.rows("Node"), 64);
     }},
    {"shared", 30,
     [](long long n, const Facts& f) {
         long long third = (n + 2) / 3;
         EXPECT_EQ(f.rows("Floor"), 1 + third);
         EXPECT_EQ(f.rows("Node"), 64);
         long long onShared = 0;
         for (const char* table : {"Beam", "Brace", "Wall", "Column"})
             onShared += naming(f, table, 1);
         EXPECT_EQ(onShared, 2 * third);
         long long onNodeOne = 0;
         for (const Json& row : f.model("WallColumn"))
             onNodeOne += row["value"]["NodeKey"] == 1;
         for (const Json& row : f.model("WallLL"))
             onNodeOne += row["value"]["NodeKey1"] == 1;
         for (const Json& row : f.model("Element"))
             onNodeOne += row["key"] != 1 && row["value"]["PNodeKeyList"][0][1] == 1;
         EXPECT_EQ(onNodeOne, third);
         EXPECT_EQ(length(f.model("Element")[0]["value"]["PNodeKeyList"]), 200u);
         EXPECT_TRUE(f.warnings.empty());
     }},
    {"problems", 10,
     [](long long n, const Facts& f) {
         EXPECT_EQ(f.rows("Node"), 0);
         EXPECT_EQ(f.rows("Beam"), 4);
         EXPECT_EQ(f.rows("Slab"), 2);
         long long absentElements = 0;
         for (const Json& row : f.model("Beam"))
             absentElements += length(row["value"]["PElemK"]) == static_cast<std::size_t>(n);
         EXPECT_EQ(absentElements, 2);
         for (const Json& row : f.model("Element"))
             EXPECT_EQ(length(row["value"]["PNodeKeyList"]), n);
         for (const Json& row : f.model("Slab"))
             EXPECT_EQ(length(row["value"]["Supports"][0][1]["NodeList"]), n);
         EXPECT_TRUE(f.warnings.empty());
     }},
    {"coincident", 20,
     [](long long n, const Facts& f) {
         EXPECT_EQ(f.rows("Node"), n);
         EXPECT_EQ(f.rows("Beam"), n / 2);
         std::map<std::pair<double, double>, int> points;
         for (const Json& row : f.model("Node"))
             ++points[{row["value"]["x"].get<double>(), row["value"]["y"].get<double>()}];
         EXPECT_EQ(points.size(), 2u);
         EXPECT_TRUE(f.warnings.empty());
     }},
    {"texts", 4000,
     [](long long n, const Facts& f) {
         // a quarter and an eighth of the bytes, of which entity references take a third
         EXPECT_GT(f.model("ProjectInfo")[0]["value"]["Comment"].get<std::string>().size(),
                   static_cast<std::size_t>(n / 6));
         EXPECT_GT(f.model("Floor")[0]["value"]["StoryName"].get<std::string>().size(),
                   static_cast<std::size_t>(n / 12));
         EXPECT_GT(f.model("Wall")[0]["value"]["Openings"].get<std::string>().size(),
                   static_cast<std::size_t>(n / 10));
         EXPECT_EQ(f.rows("RcDesignWallColumn"), 1);
         EXPECT_EQ(f.warned("field-missing"), 38); // of the rows that hold only their long texts
     }},
    {"unread", 12,
     [](long long n, const Facts& f) {
         EXPECT_EQ(f.warned("table-unread"), n);
         EXPECT_EQ(f.warned("table-duplicate"), n / 2);
         EXPECT_EQ(f.rows("Floor"), 1);
         EXPECT_EQ(f.rows("Node"), 2);
     }},
    {"repeated", 12,
     [](long long n, const Facts& f) {
         EXPECT_EQ(f.rows("Node"), n);
         EXPECT_EQ(f.rows("RcDesignWallColumn"), n);
         EXPECT_EQ(f.model("Node").size(), 1u);
         EXPECT_EQ(f.warned("key-repeated"), (n - 1) + (n / 4 + 1) + (n - 1));
         EXPECT_EQ(f.warned("design-key-empty"), n);
     }},
    {"warnings", 12,
     [](long long n, const Facts& f) {
         EXPECT_EQ(f.rows("Node"), n);
         EXPECT_EQ(f.warned("number-not-whole"), (n + 2) / 3 + n / 2);
         EXPECT_EQ(f.warned("text-hidden"), (n + 1) / 3);
         EXPECT_EQ(f.warned("non-finite"), n / 3);
         EXPECT_EQ(f.warnings.size(), 3u);
     }},
};

TEST(ScaleModels, EveryKindIsChecked)
{
    ASSERT_EQ(kCases.size(), scalemodels::kinds().size());
    for (const Case& c : kCases)
        EXPECT_NE(scalemodels::findKind(c.kind), nullptr) << c.kind;
}

TEST(ScaleModels, EachKindGrowsWhatItSays)
{
    for (const Case& c : kCases) {
        const scalemodels::Kind& kind = *scalemodels::findKind(c.kind);
        for (long long count : {c.count, 2 * c.count}) {
            SCOPED_TRACE(std::string(c.kind) + " at count " + std::to_string(count));
            c.check(count, importKind(kind.write(count)));
        }
    }
}

TEST(ScaleModels, FilesComeNearTheSizeAsked)
{
    for (const scalemodels::Kind& kind : scalemodels::kinds()) {
        double bytes = static_cast<double>(kind.write(scalemodels::countForSize(kind, 1e6)).size());
        EXPECT_NEAR(bytes / 1e6, 1.0, 0.25) << kind.name;
        double doubled = static_cast<double>(kind.write(scalemodels::countForSize(kind, 2e6)).size());
        EXPECT_NEAR(doubled / bytes, 2.0, 0.5) << kind.name;
    }
}

// How many times each text stands in a file.
long long occurrences(const std::string& text, const std::string& part)
{
    long long n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// The edit points of a coincident file that an edited copy changed: its
// coordinates are 1000 and 7000, its member types 1, and an edit adds 500.
long long changedPoints(const std::string& xml, const std::string& copy)
{
    long long changed = 0;
    for (const char* text : {">1500<", ">7500<", ">501<"})
        changed += occurrences(copy, text) - occurrences(xml, text);
    return changed;
}

TEST(ScaleModels, EditedCopiesChangeWhatTheySayAndImport)
{
    const scalemodels::Kind& kind = *scalemodels::findKind("coincident");
    std::string xml = kind.write(60);
    long long points = scalemodels::editPoints(xml);
    EXPECT_EQ(points, 2 * 60 + 2 * 30 + 1); // x and y of each node, each element's and beam's type, the storey's name
    std::string few = scalemodels::edited(xml, scalemodels::Edits::Few);
    std::string many = scalemodels::edited(xml, scalemodels::Edits::Many);
    EXPECT_EQ(changedPoints(xml, few), 8);
    EXPECT_NEAR(static_cast<double>(changedPoints(xml, many)), points / 3.0, points / 6.0);
    Facts original = importKind(xml), edited = importKind(many);
    EXPECT_EQ(original.stored, edited.stored);
    EXPECT_NE(original.store, edited.store);
    // A number gains 500, the text after it stays.
    EXPECT_EQ(scalemodels::edited("<x>1,5</x><y><!-- c -->2</y>", scalemodels::Edits::Few),
              "<x>501,5</x><y><!-- c -->2</y>");
}

} // namespace
