// The plug-in's reader: one per library life. It loads a dictionary file,
// indexes its two sections and runs the model and design importers.
#pragma once

#include "document/SectionIndex.h"
#include "host/CMBMBNReader.h"

class CModelDBImpl;
class CDesignDBImpl;

class CMBMBNReaderImpl : public CMBMBNReader {
public:
    CMBMBNReaderImpl();
    ~CMBMBNReaderImpl() override;

    // True when the file was loaded and both importers ran to their end.
    bool importFile(const char* path) override;

private:
    const char* m_path;
    CModelDBImpl* m_pModel;
    CDesignDBImpl* m_pDesign;
    document::SectionIndex m_sections;
};

// The one reader, constructed on first use.
CMBMBNReaderImpl& theReader();
