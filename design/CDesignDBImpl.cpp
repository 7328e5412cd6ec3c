#include "design/CDesignDBImpl.h"

#include "design/DesignFields.h"
#include "document/TableWalk.h"
#include "progress/ImportSteps.h"

using namespace building_designDB;
using namespace building_designDB::fields;
using document::DesignRows;
using document::readChain;
using document::readChainOf;

CDesignDBImpl::CDesignDBImpl(CMBMBNReaderImpl* reader, document::SectionIndex& sections,
                             document::ImportObserver* observer)
    : m_pReader(reader), m_sections(sections), m_pObserver(observer)
{
}

CDesignDBImpl::~CDesignDBImpl() = default;

bool CDesignDBImpl::importDesignDB()
{
    // One step per table, in this order, numbered on from the model steps.
    // The wall design table has two steps: the first has no reader, so its
    // message and the next go out back to back.
    static constexpr bool (CDesignDBImpl::*kReaders[])() = {
        &CDesignDBImpl::readRcDgnGlobalTable,   &CDesignDBImpl::readBeamDesignTable,
        &CDesignDBImpl::readColumnDesignTable,  nullptr,
        &CDesignDBImpl::readWallDesignTable,    &CDesignDBImpl::readWallLLDesignTable,
        &CDesignDBImpl::readWallColumnDesignTable, &CDesignDBImpl::readSlabDesignTable,
    };
    static_assert(std::size(kReaders) == importsteps::kDesignSteps);
    importsteps::runSteps(*this, kReaders, importsteps::kFirstDesignStep, m_pObserver == nullptr);
    return true;
}

template <class R, class List>
bool CDesignDBImpl::readTable(const char* name, TableInterface<int, R>* table, const List& fields)
{
    return document::walkTable<DesignRows>(m_sections, name, table, fields, m_pObserver);
}

// clang-format off
bool CDesignDBImpl::readRcDgnGlobalTable() { return readTable("RcDgnGlobalTable", m_pRcDgnGlobal, kRcDgnGlobal); }
bool CDesignDBImpl::readBeamDesignTable() { return readTable("BeamTable", m_pRcDesignBeam, kBeam); }
bool CDesignDBImpl::readColumnDesignTable() { return readTable("ColumnTable", m_pRcDesignColumn, kColumn); }
bool CDesignDBImpl::readWallDesignTable() { return readTable("WallTable", m_pRcDesignWall, kWall); }
bool CDesignDBImpl::readWallLLDesignTable() { return readTable("WallLLTable", m_pRcDesignWallLL, kWallLL); }
bool CDesignDBImpl::readWallColumnDesignTable() { return readTable("WallColumnTable", m_pRcDesignWallColumn, kWallColumn); }
bool CDesignDBImpl::readSlabDesignTable() { return readTable("SlabTable", m_pRcDesignSlab, kSlab); }

bool CDesignDBImpl::readBarGroup(const TiXmlHandle& h, S_RcBarGroup& r) { return readChain(DesignRows(), h, r, kBarGroup); }
bool CDesignDBImpl::readBarLayout(const TiXmlHandle& h, S_RcBarLayout& r) { return readChain(DesignRows(), h, r, kBarLayout); }
bool CDesignDBImpl::readStirrupSet(const TiXmlHandle& h, S_RcStirrupSet& r) { return readChain(DesignRows(), h, r, kStirrupSet); }
bool CDesignDBImpl::readBeamSectionDesign(const TiXmlHandle& h, S_RcBeamSectionDesign& r) { return readChain(DesignRows(), h, r, kBeamSectionDesign); }
// clang-format on

bool CDesignDBImpl::readForceSet(const TiXmlHandle& h, S_RcForceSet& r, bool withT)
{
    return withT ? readChain(DesignRows(), h, r, kForceSet) : readChainOf<kForceSetLinksWithoutT>(DesignRows(), h, r, kForceSet);
}

bool CDesignDBImpl::readValueList(const TiXmlHandle& holder, TableInterface<int, double>* list)
{
    values.readEntries(DesignRows(), TiXmlHandle(holder.ToElement()), list);
    return true;
}
