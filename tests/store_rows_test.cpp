// Taking the store's rows out: every record leaves the store, whole, and
// lives on while the store fills again from another import.
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "hostsim/store/Store.h"
#include "hostsim/store/Tables.h"
#include "keylists/KeyListImpls.h"

using namespace testsupport;

namespace {

const std::string kSample = std::string(SAMPLES_DIR) + "/sample.xml";

// The rows of a taken set per table, by the store's names.
std::map<std::string, long long> sizesOf(const hoststore::StoreRows& rows)
{
    std::map<std::string, long long> sizes;
    auto add = [&](const auto& t) { sizes[t.name] = static_cast<long long>(t.of(rows).size()); };
    hoststore::forEachTable(hoststore::kModelTables, add);
    hoststore::forEachTable(hoststore::kDesignTables, add);
    return sizes;
}

std::map<std::string, long long> storeCounts()
{
    std::map<std::string, long long> counts;
    for (const auto& count : hoststore::countRecords())
        counts[count.table] = count.records;
    return counts;
}

TEST(StoreRows, TakingRowsEmptiesTheStoreAndKeepsEveryRecord)
{
    hoststore::clearStore();
    ASSERT_TRUE(importPath(kSample));
    std::map<std::string, long long> before = storeCounts();
    hoststore::StoreRows rows = hoststore::takeRows();
    EXPECT_EQ(sizesOf(rows), before);
    EXPECT_EQ(before.at("Element"), 402);
    EXPECT_EQ(recordCount(storeJson()), 0u);
}

TEST(StoreRows, TakenRowsOutliveTheNextImportIntoTheStore)
{
    hoststore::clearStore();
    ASSERT_TRUE(importPath(kSample));
    Json dump = storeJson();
    hoststore::StoreRows rows = hoststore::takeRows();
    // The store fills again from the same file, then is emptied: the taken
    // records, their lists included, are untouched by either.
    ASSERT_TRUE(importPath(kSample));
    EXPECT_EQ(recordCount(storeJson()), recordCount(dump));
    hoststore::clearStore();

    const Json& elements = testsupport::rows(dump, "model", "Element");
    ASSERT_EQ(rows.of<building_modelDB::S_Element_D>().size(), elements.size());
    for (const Json& element : elements) {
        const auto& record = rows.of<building_modelDB::S_Element_D>().at(element.at("key").get<int>());
        Json nodes = Json::array();
        for (const auto& [position, node] : entriesOf(record.PNodeKeyList))
            nodes.push_back({position, node});
        EXPECT_EQ(nodes, element.at("value").at("PNodeKeyList"));
    }
    const Json& floors = testsupport::rows(dump, "model", "Floor");
    EXPECT_EQ(rows.of<building_modelDB::S_Floor_D>().at(floors.at(2).at("key").get<int>()).StoryName,
              floors.at(2).at("value").at("StoryName").get<std::string>());
}

TEST(StoreRows, TakingFromAnEmptyStoreGivesEmptyTables)
{
    hoststore::clearStore();
    hoststore::StoreRows rows = hoststore::takeRows();
    for (const auto& [table, size] : sizesOf(rows))
        EXPECT_EQ(size, 0) << table;
}

} // namespace
