// The model importer: 23 table readers run in a fixed order, each step
// announced to the progress display.
#pragma once

#include "document/ImportObserver.h"
#include "document/LossTally.h"
#include "document/SectionIndex.h"
#include "host/CModelDB.h"
#include "progress/ImportSteps.h"

class CMBMBNReaderImpl;

class CModelDBImpl : public CModelDB {
public:
    // The readers find their tables in the reader's section index, take
    // their steps where `steps` says, count what they leave out of the
    // file into `tally`, and tell the observer, when there is one, what
    // they read.
    CModelDBImpl(CMBMBNReaderImpl* reader, document::SectionIndex& sections, const importsteps::StepPlan& steps,
                 document::LossTally& tally, document::ImportObserver* observer = nullptr);
    ~CModelDBImpl() override;

    // One step per table, in the order of the model registry; always true.
    bool importModelDB();

    // Table readers: false when the table or its first row is missing.
    bool readProjectInfoTable();
    bool readUnitFlagTable();
    bool readSectionTable();
    bool readThicknessTable();
    bool readOpeningTable();
    bool readDesignMaterialTable();
    bool readDesignCodeTable();
    bool readFloorTable();
    bool readNodeTable();
    bool readAxisTable();
    bool readAxisGroupTable();
    bool readElementTable();
    bool readBeamTable();
    bool readBeamGroupTable();
    bool readColumnTable();
    bool readBraceTable();
    bool readWallTable();
    bool readWallLLTable();
    bool readWallColumnTable();
    bool readSlabTable();
    bool readMemberEndRlsTable();
    bool readMdulTable();
    bool readPlanTable();

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
