#include "design/CDesignDBImpl.h"

#include "schema/DesignSchema.h"
#include "document/TableWalk.h"

using namespace building_designDB;
using building_designDB::fields::kTables;

CDesignDBImpl::CDesignDBImpl(CMBMBNReaderImpl* reader, document::SectionIndex& sections,
                             const importsteps::StepPlan& steps, document::LossTally& tally,
                             document::ImportObserver* observer)
    : m_pReader(reader), m_sections(sections), m_steps(steps), m_tally(tally), m_pObserver(observer)
{
}

CDesignDBImpl::~CDesignDBImpl() = default;

bool CDesignDBImpl::importDesignDB()
{
    importsteps::runSteps(kTables, m_steps, [this](const auto& entry) { readEntry(entry); });
    return true;
}

template <class Entry>
bool CDesignDBImpl::readEntry(const Entry& entry)
{
    return document::walkTable<document::DesignRows>(m_sections, entry, this->*entry.table, &m_tally,
                                                        m_pObserver);
}

template <class R>
bool CDesignDBImpl::readTable()
{
    return readEntry(schema::entryOf<R>(kTables));
}

// clang-format off
bool CDesignDBImpl::readRcDgnGlobalTable() { return readTable<S_RcDgnGlobal_D>(); }
bool CDesignDBImpl::readBeamDesignTable() { return readTable<S_RcDesignBeam_D>(); }
bool CDesignDBImpl::readColumnDesignTable() { return readTable<S_RcDesignColumn_D>(); }
bool CDesignDBImpl::readWallDesignTable() { return readTable<S_RcDesignWall_D>(); }
bool CDesignDBImpl::readWallLLDesignTable() { return readTable<S_RcDesignWallLL_D>(); }
bool CDesignDBImpl::readWallColumnDesignTable() { return readTable<S_RcDesignWallColumn_D>(); }
bool CDesignDBImpl::readSlabDesignTable() { return readTable<S_RcDesignSlab_D>(); }
// clang-format on
