// Each table reader reads its own table, under its own name, into its own
// host table; the run's steps are the registries' steps.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <tinyxml.h>

#include "TestSupport.h"
#include "design/CDesignDBImpl.h"
#include "schema/DesignSchema.h"
#include "document/SectionIndex.h"
#include "hostsim/store/Store.h"
#include "model/CModelDBImpl.h"
#include "schema/ModelSchema.h"

using namespace testsupport;

namespace {

// Hears which tables the readers look up.
struct TableLog : document::ImportObserver {
    std::vector<std::string> looked;
    void tableBegin(const char* section, const char* name, const char* displayName, bool) override
    {
        looked.push_back(std::string(section) + "/" + name + " -> " + displayName);
    }
};

// One row in every table of both sections, in the file under every name
// the readers know.
std::string everyTable()
{
    std::string model, design;
    schema::forEachTable(building_modelDB::fields::kTables,
                           [&](const auto& t) { model += table(t.name, row("5", "")); });
    schema::forEachTable(building_designDB::fields::kTables,
                           [&](const auto& t) { design += table(t.name, row("5", "")); });
    return dictionary(model, design);
}

struct Sections {
    TiXmlDocument doc;
    document::SectionIndex index;
    explicit Sections(const std::string& xml)
    {
        doc.Parse(xml.c_str());
        TiXmlHandle list(document::dictionaryFrame(doc).sectionList);
        document::indexSection(list.ChildElement(0).ToElement(), index.section("ModelDB"));
        document::indexSection(list.ChildElement(1).ToElement(), index.section("DesignDB"));
    }
};

// The store's tables that hold records.
std::vector<std::string> filled()
{
    std::vector<std::string> out;
    for (const auto& count : hoststore::countRecords())
        if (count.records > 0)
            out.push_back(count.table + " " + std::to_string(count.records));
    return out;
}

// Reads each table of a section alone, by its record type, from a file
// that holds every table: the reader looks up that table alone, and its
// one row lands in the host table the registry names, or nowhere when
// the section stores only complete rows.
template <class Importer, class Registry>
void eachTableReadAlone(const Registry& tables, const std::string& section, int firstStep, bool rowStored)
{
    schema::forEachTable(tables, [&](const auto& entry) {
        using R = typename std::decay_t<decltype(entry)>::Record;
        hoststore::clearStore();
        Sections sections(everyTable());
        TableLog log;
        document::LossTally losses;
        Importer importer(sections.index, {firstStep, 31, false}, losses, &log);
        EXPECT_TRUE(importer.template readTable<R>()) << entry.name;
        EXPECT_EQ(log.looked, std::vector<std::string>{section + "/" + entry.name + " -> " + entry.displayName});
        std::vector<std::string> expected;
        if (rowStored)
            expected.push_back(std::string(entry.displayName) + " 1");
        EXPECT_EQ(filled(), expected) << entry.name;
    });
}

TEST(TableReaders, EachModelTableIsReadIntoItsHostTable)
{
    // A model row with an empty "Value" is stored as constructed.
    eachTableReadAlone<CModelDBImpl>(building_modelDB::fields::kTables, "ModelDB", 1, true);
}

TEST(TableReaders, EachDesignTableIsLookedUpAlone)
{
    // A design row whose chain fails at once is not stored.
    eachTableReadAlone<CDesignDBImpl>(building_designDB::fields::kTables, "DesignDB", 24, false);
}

TEST(TableReaders, AMissingTableIsFalse)
{
    Sections sections(dictionary(""));
    document::LossTally losses;
    CModelDBImpl model(sections.index, {1, 31, false}, losses);
    CDesignDBImpl design(sections.index, {24, 31, false}, losses);
    EXPECT_FALSE(model.readTable<building_modelDB::S_Node_D>());
    EXPECT_FALSE(design.readTable<building_designDB::S_RcDesignSlab_D>());
}

TEST(Registries, StepsAreTheRunsThirtyOne)
{
    EXPECT_EQ(schema::stepCount(building_modelDB::fields::kTables), 23);
    EXPECT_EQ(schema::stepCount(building_designDB::fields::kTables), 8);
}

} // namespace
