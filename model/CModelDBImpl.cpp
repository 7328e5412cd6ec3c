#include "model/CModelDBImpl.h"

#include "document/TableWalk.h"
#include "model/ModelFields.h"
#include "progress/ImportSteps.h"

using namespace building_modelDB;
using document::ModelRows;
using document::readEach;
using namespace building_modelDB::fields;

namespace {

// A list read on its own, with no observer: always true.
template <class Kind, class L>
bool read(const Kind& list, const TiXmlHandle& holder, L* target)
{
    list.readEntries(ModelRows(), holder, target);
    return true;
}

} // namespace

CModelDBImpl::CModelDBImpl(CMBMBNReaderImpl* reader, document::SectionIndex& sections,
                           document::ImportObserver* observer)
    : m_pReader(reader), m_sections(sections), m_pObserver(observer)
{
}

CModelDBImpl::~CModelDBImpl() = default;

bool CModelDBImpl::importModelDB()
{
    // One step per table, in this order; each step's message goes out
    // before its reader runs.
    static constexpr bool (CModelDBImpl::*kReaders[])() = {
        &CModelDBImpl::readProjectInfoTable, &CModelDBImpl::readUnitFlagTable,
        &CModelDBImpl::readSectionTable,     &CModelDBImpl::readThicknessTable,
        &CModelDBImpl::readOpeningTable,     &CModelDBImpl::readDesignMaterialTable,
        &CModelDBImpl::readDesignCodeTable,  &CModelDBImpl::readFloorTable,
        &CModelDBImpl::readNodeTable,        &CModelDBImpl::readAxisTable,
        &CModelDBImpl::readAxisGroupTable,   &CModelDBImpl::readElementTable,
        &CModelDBImpl::readBeamTable,        &CModelDBImpl::readBeamGroupTable,
        &CModelDBImpl::readColumnTable,      &CModelDBImpl::readBraceTable,
        &CModelDBImpl::readWallTable,        &CModelDBImpl::readWallLLTable,
        &CModelDBImpl::readWallColumnTable,  &CModelDBImpl::readSlabTable,
        &CModelDBImpl::readMemberEndRlsTable, &CModelDBImpl::readMdulTable,
        &CModelDBImpl::readPlanTable,
    };
    static_assert(std::size(kReaders) == importsteps::kModelSteps);
    static_assert(std::tuple_size_v<decltype(kTables)> == importsteps::kModelSteps);
    importsteps::runSteps(*this, kReaders, importsteps::kFirstModelStep, m_pObserver == nullptr);
    return true;
}

template <class R, class List>
bool CModelDBImpl::readTable(const document::TableFields<List>& fields, TableInterface<int, R>* table)
{
    return document::walkTable<ModelRows>(m_sections, fields.name, table, fields.fields, m_pObserver);
}

// clang-format off
bool CModelDBImpl::readProjectInfoTable() { return readTable(kProjectInfoTable, m_pProjectInfo); }
bool CModelDBImpl::readUnitFlagTable() { return readTable(kUnitFlagTable, m_pUnitFlag); }
bool CModelDBImpl::readSectionTable() { return readTable(kSectionTable, m_pSection); }
bool CModelDBImpl::readThicknessTable() { return readTable(kThicknessTable, m_pThickness); }
bool CModelDBImpl::readOpeningTable() { return readTable(kOpeningTable, m_pOpening); }
bool CModelDBImpl::readDesignMaterialTable() { return readTable(kDesignMaterialTable, m_pDesignMaterial); }
bool CModelDBImpl::readDesignCodeTable() { return readTable(kDesignCodeTable, m_pDesignCode); }
bool CModelDBImpl::readFloorTable() { return readTable(kFloorTable, m_pFloor); }
bool CModelDBImpl::readNodeTable() { return readTable(kNodeTable, m_pNode); }
bool CModelDBImpl::readAxisTable() { return readTable(kAxisTable, m_pAxis); }
bool CModelDBImpl::readAxisGroupTable() { return readTable(kAxisGroupTable, m_pAxisGroup); }
bool CModelDBImpl::readElementTable() { return readTable(kElementTable, m_pElement); }
bool CModelDBImpl::readBeamTable() { return readTable(kBeamTable, m_pBeam); }
bool CModelDBImpl::readBeamGroupTable() { return readTable(kBeamGroupTable, m_pBeamGroup); }
bool CModelDBImpl::readColumnTable() { return readTable(kColumnTable, m_pColumn); }
bool CModelDBImpl::readBraceTable() { return readTable(kBraceTable, m_pBrace); }
bool CModelDBImpl::readWallTable() { return readTable(kWallTable, m_pWall); }
bool CModelDBImpl::readWallLLTable() { return readTable(kWallLLTable, m_pWallLL); }
bool CModelDBImpl::readWallColumnTable() { return readTable(kWallColumnTable, m_pWallColumn); }
bool CModelDBImpl::readSlabTable() { return readTable(kSlabTable, m_pSlab); }
bool CModelDBImpl::readMemberEndRlsTable() { return readTable(kMemberEndRlsTable, m_pMemberEndRls); }
bool CModelDBImpl::readMdulTable() { return readTable(kMdulTable, m_pMdul); }
bool CModelDBImpl::readPlanTable() { return readTable(kPlanTable, m_pPlan); }

bool CModelDBImpl::readMatlData(const TiXmlHandle& h, S_MatlData& r) { return readEach(ModelRows(), h, r, kMatlData); }
bool CModelDBImpl::readMatlAnalysis(const TiXmlHandle& h, S_MatlAnalysis& r) { return readEach(ModelRows(), h, r, kMatlAnalysis); }
bool CModelDBImpl::readSectShape(const TiXmlHandle& h, S_SectShape& r) { return readEach(ModelRows(), h, r, kSectShape); }
bool CModelDBImpl::readSectStiffness(const TiXmlHandle& h, S_SectStiffness& r) { return readEach(ModelRows(), h, r, kSectStiffness); }
bool CModelDBImpl::readSectDesign(const TiXmlHandle& h, S_SectDesign& r) { return readEach(ModelRows(), h, r, kSectDesign); }
bool CModelDBImpl::readThickValue(const TiXmlHandle& h, S_ThickValue& r) { return readEach(ModelRows(), h, r, kThickValue); }
bool CModelDBImpl::readSupport(const TiXmlHandle& h, SS_Support& r) { return readEach(ModelRows(), h, r, kSupport); }
bool CModelDBImpl::readNodeKeyList(const TiXmlHandle& h, TableInterface<int, int>* l) { return read(nodeKeys, h, l); }
bool CModelDBImpl::readElementKeyList(const TiXmlHandle& h, TableInterface<int, int>* l) { return read(elementKeys, h, l); }
bool CModelDBImpl::readBeamKeySet(const TiXmlHandle& h, TableInterface<int, int>* l) { return read(beamKeySet, h, l); }
bool CModelDBImpl::readElementKeySet(const TiXmlHandle& h, TableInterface<int, int>* l) { return read(elementKeySet, h, l); }
bool CModelDBImpl::readRealList(const TiXmlHandle& h, TableInterface<int, double>* l) { return read(reals, h, l); }
bool CModelDBImpl::readSupportList(const TiXmlHandle& h, TableInterface<int, SS_Support>* l) { return read(supports, h, l); }
// clang-format on

