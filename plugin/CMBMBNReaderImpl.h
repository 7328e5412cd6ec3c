// The plug-in's reader: one per library life. It loads a dictionary file,
// indexes its two sections and runs the model and design importers.
#pragma once

#include <string>

#include "document/ImportObserver.h"
#include "document/SectionIndex.h"
#include "host/CMBMBNReader.h"

class CModelDBImpl;
class CDesignDBImpl;

// What the user sees of a run in the host: the steps in the progress
// display, and why a file could not be imported in the framework's
// message box. A report on a file turns both off.
struct RunFeedback {
    bool progress = true;
    bool messages = true;
};

class CMBMBNReaderImpl : public CMBMBNReader {
public:
    // The observer, when there is one, hears of everything each run reads
    // and of every failure.
    explicit CMBMBNReaderImpl(document::ImportObserver* observer = nullptr, RunFeedback feedback = {});
    ~CMBMBNReaderImpl() override;

    // True when the file was loaded and both importers ran to their end.
    bool importFile(const char* path) override;

private:
    template <typename Fact>
    void tellUser(std::wstring (*message)(const char*, const Fact&), const char* path, const Fact& fact) const;

    const char* m_path;
    CModelDBImpl* m_pModel;
    CDesignDBImpl* m_pDesign;
    document::SectionIndex m_sections;
    document::ImportObserver* m_pObserver;
    RunFeedback m_feedback;
};

// The one reader of the plug-in, constructed on first use.
CMBMBNReaderImpl& theReader();
