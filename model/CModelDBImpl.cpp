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
    importsteps::runSteps(*this, kReaders, importsteps::kFirstModelStep, m_pObserver == nullptr);
    return true;
}

template <class R, class List>
bool CModelDBImpl::readTable(const char* name, TableInterface<int, R>* table, const List& fields)
{
    return document::walkTable<ModelRows>(m_sections, name, table, fields, m_pObserver);
}

// clang-format off
bool CModelDBImpl::readProjectInfoTable() { return readTable("ProjectInfoTable", m_pProjectInfo, kProjectInfo); }
bool CModelDBImpl::readUnitFlagTable() { return readTable("UnitFlagTable", m_pUnitFlag, kUnitFlag); }
bool CModelDBImpl::readSectionTable() { return readTable("SectionTable", m_pSection, kSection); }
bool CModelDBImpl::readThicknessTable() { return readTable("ThicknessTable", m_pThickness, kThickness); }
bool CModelDBImpl::readOpeningTable() { return readTable("OpeningTable", m_pOpening, kOpening); }
bool CModelDBImpl::readDesignMaterialTable() { return readTable("DesignMaterialTable", m_pDesignMaterial, kDesignMaterial); }
bool CModelDBImpl::readDesignCodeTable() { return readTable("DesignCodeTable", m_pDesignCode, kDesignCode); }
bool CModelDBImpl::readFloorTable() { return readTable("FloorTable", m_pFloor, kFloor); }
bool CModelDBImpl::readNodeTable() { return readTable("NodeTable", m_pNode, kNode); }
bool CModelDBImpl::readAxisTable() { return readTable("AxisTable", m_pAxis, kAxis); }
bool CModelDBImpl::readAxisGroupTable() { return readTable("AxisGroupTable", m_pAxisGroup, kAxisGroup); }
bool CModelDBImpl::readElementTable() { return readTable("ElementTable", m_pElement, kElement); }
bool CModelDBImpl::readBeamTable() { return readTable("BeamTable", m_pBeam, kBeam); }
bool CModelDBImpl::readBeamGroupTable() { return readTable("BeamGroupTable", m_pBeamGroup, kBeamGroup); }
bool CModelDBImpl::readColumnTable() { return readTable("ColumnTable", m_pColumn, kColumn); }
bool CModelDBImpl::readBraceTable() { return readTable("BraceTable", m_pBrace, kBrace); }
bool CModelDBImpl::readWallTable() { return readTable("WallTable", m_pWall, kWall); }
bool CModelDBImpl::readWallLLTable() { return readTable("WallLLTable", m_pWallLL, kWallLL); }
bool CModelDBImpl::readWallColumnTable() { return readTable("WallColumnTable", m_pWallColumn, kWallColumn); }
bool CModelDBImpl::readSlabTable() { return readTable("SlabTable", m_pSlab, kSlab); }
bool CModelDBImpl::readMemberEndRlsTable() { return readTable("MemberEndRlsTable", m_pMemberEndRls, kMemberEndRls); }
bool CModelDBImpl::readMdulTable() { return readTable("MdulTable", m_pMdul, kMdul); }
bool CModelDBImpl::readPlanTable() { return readTable("PlanTable", m_pPlan, kPlan); }

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

