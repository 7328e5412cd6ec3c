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
bool CDesignDBImpl::readTable(const document::TableFields<List>& fields, TableInterface<int, R>* table)
{
    return document::walkTable<DesignRows>(m_sections, fields.name, table, fields.fields, m_pObserver);
}

// clang-format off
bool CDesignDBImpl::readRcDgnGlobalTable() { return readTable(kRcDgnGlobalTable, m_pRcDgnGlobal); }
bool CDesignDBImpl::readBeamDesignTable() { return readTable(kBeamTable, m_pRcDesignBeam); }
bool CDesignDBImpl::readColumnDesignTable() { return readTable(kColumnTable, m_pRcDesignColumn); }
bool CDesignDBImpl::readWallDesignTable() { return readTable(kWallTable, m_pRcDesignWall); }
bool CDesignDBImpl::readWallLLDesignTable() { return readTable(kWallLLTable, m_pRcDesignWallLL); }
bool CDesignDBImpl::readWallColumnDesignTable() { return readTable(kWallColumnTable, m_pRcDesignWallColumn); }
bool CDesignDBImpl::readSlabDesignTable() { return readTable(kSlabTable, m_pRcDesignSlab); }

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
