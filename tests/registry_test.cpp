// Each named table reader reads its own table, under its own name, into
// its own host table; the run's steps are the registries' steps.
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

TEST(NamedReaders, EachModelReaderReadsItsTableIntoItsHostTable)
{
    const struct {
        bool (CModelDBImpl::*read)();
        const char* table;
        const char* host;
    } cases[] = {
        {&CModelDBImpl::readProjectInfoTable, "ProjectInfoTable", "ProjectInfo"},
        {&CModelDBImpl::readUnitFlagTable, "UnitFlagTable", "UnitFlag"},
        {&CModelDBImpl::readSectionTable, "SectionTable", "Section"},
        {&CModelDBImpl::readThicknessTable, "ThicknessTable", "Thickness"},
        {&CModelDBImpl::readOpeningTable, "OpeningTable", "Opening"},
        {&CModelDBImpl::readDesignMaterialTable, "DesignMaterialTable", "DesignMaterial"},
        {&CModelDBImpl::readDesignCodeTable, "DesignCodeTable", "DesignCode"},
        {&CModelDBImpl::readFloorTable, "FloorTable", "Floor"},
        {&CModelDBImpl::readNodeTable, "NodeTable", "Node"},
        {&CModelDBImpl::readAxisTable, "AxisTable", "Axis"},
        {&CModelDBImpl::readAxisGroupTable, "AxisGroupTable", "AxisGroup"},
        {&CModelDBImpl::readElementTable, "ElementTable", "Element"},
        {&CModelDBImpl::readBeamTable, "BeamTable", "Beam"},
        {&CModelDBImpl::readBeamGroupTable, "BeamGroupTable", "BeamGroup"},
        {&CModelDBImpl::readColumnTable, "ColumnTable", "Column"},
        {&CModelDBImpl::readBraceTable, "BraceTable", "Brace"},
        {&CModelDBImpl::readWallTable, "WallTable", "Wall"},
        {&CModelDBImpl::readWallLLTable, "WallLLTable", "WallLL"},
        {&CModelDBImpl::readWallColumnTable, "WallColumnTable", "WallColumn"},
        {&CModelDBImpl::readSlabTable, "SlabTable", "Slab"},
        {&CModelDBImpl::readMemberEndRlsTable, "MemberEndRlsTable", "MemberEndRls"},
        {&CModelDBImpl::readMdulTable, "MdulTable", "Mdul"},
        {&CModelDBImpl::readPlanTable, "PlanTable", "Plan"},
    };
    static_assert(std::size(cases) == schema::tableCount(building_modelDB::fields::kTables));
    for (const auto& c : cases) {
        hoststore::clearStore();
        Sections sections(everyTable());
        TableLog log;
        document::LossTally losses;
        CModelDBImpl importer(nullptr, sections.index, {1, 31, false}, losses, &log);
        EXPECT_TRUE((importer.*c.read)()) << c.table;
        EXPECT_EQ(log.looked, std::vector<std::string>{std::string("ModelDB/") + c.table + " -> " + c.host});
        // A model row with an empty "Value" is stored as constructed.
        EXPECT_EQ(filled(), std::vector<std::string>{std::string(c.host) + " 1"}) << c.table;
    }
}

TEST(NamedReaders, EachDesignReaderLooksUpItsTable)
{
    const struct {
        bool (CDesignDBImpl::*read)();
        const char* table;
        const char* host;
    } cases[] = {
        {&CDesignDBImpl::readRcDgnGlobalTable, "RcDgnGlobalTable", "RcDgnGlobal"},
        {&CDesignDBImpl::readBeamDesignTable, "BeamTable", "RcDesignBeam"},
        {&CDesignDBImpl::readColumnDesignTable, "ColumnTable", "RcDesignColumn"},
        {&CDesignDBImpl::readWallDesignTable, "WallTable", "RcDesignWall"},
        {&CDesignDBImpl::readWallLLDesignTable, "WallLLTable", "RcDesignWallLL"},
        {&CDesignDBImpl::readWallColumnDesignTable, "WallColumnTable", "RcDesignWallColumn"},
        {&CDesignDBImpl::readSlabDesignTable, "SlabTable", "RcDesignSlab"},
    };
    static_assert(std::size(cases) == schema::tableCount(building_designDB::fields::kTables));
    for (const auto& c : cases) {
        hoststore::clearStore();
        Sections sections(everyTable());
        TableLog log;
        document::LossTally losses;
        CDesignDBImpl importer(nullptr, sections.index, {24, 31, false}, losses, &log);
        EXPECT_TRUE((importer.*c.read)()) << c.table;
        EXPECT_EQ(log.looked, std::vector<std::string>{std::string("DesignDB/") + c.table + " -> " + c.host});
        // A design row whose chain fails at once is not stored.
        EXPECT_TRUE(filled().empty()) << c.table;
    }
}

TEST(NamedReaders, AMissingTableIsFalse)
{
    Sections sections(dictionary(""));
    document::LossTally losses;
    CModelDBImpl model(nullptr, sections.index, {1, 31, false}, losses);
    CDesignDBImpl design(nullptr, sections.index, {24, 31, false}, losses);
    EXPECT_FALSE(model.readNodeTable());
    EXPECT_FALSE(design.readSlabDesignTable());
}

TEST(Registries, StepsAreTheRunsThirtyOne)
{
    EXPECT_EQ(schema::stepCount(building_modelDB::fields::kTables), 23);
    EXPECT_EQ(schema::stepCount(building_designDB::fields::kTables), 8);
}

} // namespace
