// The importer of one section, over the section's registry: its tables in
// registry order as the run's progress steps, each table walked by the
// section's row policy into the host table the registry names. The model
// and design importers are this template over their own host base class,
// row policy and registry.
#pragma once

#include "document/ImportObserver.h"
#include "document/LossTally.h"
#include "document/SectionIndex.h"
#include "document/TableWalk.h"
#include "progress/ImportSteps.h"
#include "schema/Tables.h"

template <class HostBase, class Rows, const auto& Tables>
class SectionImporter : public HostBase {
public:
    // The readers find their tables in the reader's section index, take
    // their steps where `steps` says, count what they leave out of the
    // file into `tally`, and tell the observer, when there is one, what
    // they read.
    SectionImporter(document::SectionIndex& sections, const importsteps::StepPlan& steps, document::LossTally& tally,
                    document::ImportObserver* observer = nullptr)
        : m_sections(sections), m_steps(steps), m_tally(tally), m_pObserver(observer)
    {
    }

    // Every table of the section, one after the other as its steps; always true.
    bool importSection()
    {
        importsteps::runSteps(Tables, m_steps, [this](const auto& entry) { readEntry(entry); });
        return true;
    }

    // The table of records R alone: false when it or its first row is missing.
    template <class R>
    bool readTable()
    {
        return readEntry(schema::entryOf<R>(Tables));
    }

private:
    template <class Entry>
    bool readEntry(const Entry& entry)
    {
        return document::walkTable<Rows>(m_sections, entry, this->*entry.table, &m_tally, m_pObserver);
    }

    document::SectionIndex& m_sections;
    importsteps::StepPlan m_steps;
    document::LossTally& m_tally;
    document::ImportObserver* m_pObserver;
};
