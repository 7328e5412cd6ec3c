// The plug-in's reader: one per library life. It loads a dictionary file,
// indexes its two sections and runs the model and design importers.
#pragma once

#include "document/ImportObserver.h"
#include "document/SectionIndex.h"
#include "host/CMBMBNReader.h"

class CModelDBImpl;
class CDesignDBImpl;

class CMBMBNReaderImpl : public CMBMBNReader {
public:
    // Without an observer, a file that cannot be loaded is told to the
    // user in the framework's message box. With one, the observer hears of
    // that and of everything each run reads, and nothing is shown.
    explicit CMBMBNReaderImpl(document::ImportObserver* observer = nullptr);
    ~CMBMBNReaderImpl() override;

    // True when the file was loaded and both importers ran to their end.
    bool importFile(const char* path) override;

private:
    const char* m_path;
    CModelDBImpl* m_pModel;
    CDesignDBImpl* m_pDesign;
    document::SectionIndex m_sections;
    document::ImportObserver* m_pObserver;
};

// The one reader of the plug-in, constructed on first use.
CMBMBNReaderImpl& theReader();
