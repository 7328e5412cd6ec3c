#include "model/CModelDBImpl.h"

#include "document/TableWalk.h"
#include "schema/ModelSchema.h"

using namespace building_modelDB;
using building_modelDB::fields::kTables;

CModelDBImpl::CModelDBImpl(CMBMBNReaderImpl* reader, document::SectionIndex& sections,
                           const importsteps::StepPlan& steps, document::LossTally& tally,
                           document::ImportObserver* observer)
    : m_pReader(reader), m_sections(sections), m_steps(steps), m_tally(tally), m_pObserver(observer)
{
}

CModelDBImpl::~CModelDBImpl() = default;

bool CModelDBImpl::importModelDB()
{
    importsteps::runSteps(kTables, m_steps, [this](const auto& entry) { readEntry(entry); });
    return true;
}

template <class Entry>
bool CModelDBImpl::readEntry(const Entry& entry)
{
    return document::walkTable<document::ModelRows>(m_sections, entry, this->*entry.table, &m_tally,
                                                        m_pObserver);
}

template <class R>
bool CModelDBImpl::readTable()
{
    return readEntry(schema::entryOf<R>(kTables));
}

// clang-format off
bool CModelDBImpl::readProjectInfoTable() { return readTable<S_ProjectInfo_D>(); }
bool CModelDBImpl::readUnitFlagTable() { return readTable<S_UnitFlag_D>(); }
bool CModelDBImpl::readSectionTable() { return readTable<S_Section_D>(); }
bool CModelDBImpl::readThicknessTable() { return readTable<S_Thickness_D>(); }
bool CModelDBImpl::readOpeningTable() { return readTable<S_Opening_D>(); }
bool CModelDBImpl::readDesignMaterialTable() { return readTable<S_DesignMaterial_D>(); }
bool CModelDBImpl::readDesignCodeTable() { return readTable<S_DesignCode_D>(); }
bool CModelDBImpl::readFloorTable() { return readTable<S_Floor_D>(); }
bool CModelDBImpl::readNodeTable() { return readTable<S_Node_D>(); }
bool CModelDBImpl::readAxisTable() { return readTable<S_Axis_D>(); }
bool CModelDBImpl::readAxisGroupTable() { return readTable<S_AxisGroup_D>(); }
bool CModelDBImpl::readElementTable() { return readTable<S_Element_D>(); }
bool CModelDBImpl::readBeamTable() { return readTable<S_Beam_D>(); }
bool CModelDBImpl::readBeamGroupTable() { return readTable<S_BeamGroup_D>(); }
bool CModelDBImpl::readColumnTable() { return readTable<S_Column_D>(); }
bool CModelDBImpl::readBraceTable() { return readTable<S_Brace_D>(); }
bool CModelDBImpl::readWallTable() { return readTable<S_Wall_D>(); }
bool CModelDBImpl::readWallLLTable() { return readTable<S_WallLL_D>(); }
bool CModelDBImpl::readWallColumnTable() { return readTable<S_WallColumn_D>(); }
bool CModelDBImpl::readSlabTable() { return readTable<S_Slab_D>(); }
bool CModelDBImpl::readMemberEndRlsTable() { return readTable<S_MemberEndRls_D>(); }
bool CModelDBImpl::readMdulTable() { return readTable<S_Mdul_D>(); }
bool CModelDBImpl::readPlanTable() { return readTable<S_Plan_D>(); }
// clang-format on
