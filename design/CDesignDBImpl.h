// The design importer: 7 table readers around progress steps 24 to 31.
// Each row is read as a chain of fields that stops at the first missing
// element; only a complete row is stored.
#pragma once

#include "document/ImportObserver.h"
#include "document/LossTally.h"
#include "document/SectionIndex.h"
#include "host/CDesignDB.h"
#include "progress/ImportSteps.h"

class CMBMBNReaderImpl;

class CDesignDBImpl : public CDesignDB {
public:
    // The readers find their tables in the reader's section index, take
    // their steps where `steps` says, count what they leave out of the
    // file into `tally`, and tell the observer, when there is one, what
    // they read.
    CDesignDBImpl(CMBMBNReaderImpl* reader, document::SectionIndex& sections, const importsteps::StepPlan& steps,
                  document::LossTally& tally, document::ImportObserver* observer = nullptr);
    ~CDesignDBImpl() override;

    // The steps of the design registry's tables, in its order; always true.
    bool importDesignDB();

    // Table readers: false when the table or its first row is missing.
    bool readRcDgnGlobalTable();
    bool readBeamDesignTable();
    bool readColumnDesignTable();
    bool readWallDesignTable();
    bool readWallLLDesignTable();
    bool readWallColumnDesignTable();
    bool readSlabDesignTable();

private:
    template <class R>
    bool readTable();
    template <class Entry>
    bool readEntry(const Entry& entry);

    [[maybe_unused]] CMBMBNReaderImpl* m_pReader; // the reader that owns this importer
    document::SectionIndex& m_sections;
    importsteps::StepPlan m_steps;
    document::LossTally& m_tally;
    document::ImportObserver* m_pObserver;
};
