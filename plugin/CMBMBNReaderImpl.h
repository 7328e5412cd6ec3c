// The plug-in's reader: one per library life. It loads a dictionary file,
// indexes its two sections and runs the model and design importers.
#pragma once

#include <functional>
#include <string>

#include "document/DocumentLoad.h"
#include "document/ImportObserver.h"
#include "document/LossTally.h"
#include "document/SectionIndex.h"
#include "host/CMBMBNReader.h"

class CModelDBImpl;
class CDesignDBImpl;

// What the user sees of a run in the host: the steps in the progress
// display, and in the framework's message box why a file could not be
// imported, or what its import left out. A report on a file turns both
// off.
struct RunFeedback {
    bool progress = true;
    bool messages = true;
    // Told as the run goes, for a command's own display of its progress:
    // step 0 of the count as the file starts to load, then each import step.
    std::function<void(int step, int count)> steps;
};

class CMBMBNReaderImpl : public CMBMBNReader {
public:
    // The observer, when there is one, hears of everything each run reads
    // and of every failure.
    explicit CMBMBNReaderImpl(document::ImportObserver* observer = nullptr, RunFeedback feedback = {});
    ~CMBMBNReaderImpl() override;

    // True when the file was loaded and both importers ran to their end.
    bool importFile(const char* path) override;

    // What the last run left out of its file or read otherwise than written.
    const document::LossTally& losses() const { return m_losses; }
    // The encoding the last file's declaration names ("" without one).
    const std::string& declaredEncoding() const { return m_declaredEncoding; }

    // How files are held while they are read: row by row, unless a check
    // that both ways agree asks for the whole document.
    void setReading(document::Reading reading) { m_reading = reading; }

private:
    // The run's steps, in order. Each tells the observer and the user what
    // it finds; `load` is false when the file could not be loaded.
    const char* startRun(const char* path);
    bool load(const char* path, document::LoadedDocument& document, document::LoadedText& loaded);
    void indexDocument(TiXmlDocument& document, const document::DictionaryFrame& frame,
                       const document::LoadedText& loaded);
    void tallyUnreadTables();
    void tellOutcome(const char* path, const document::DictionaryFrame& frame, const document::LoadedText& loaded);

    const char* m_path;
    CModelDBImpl* m_pModel;
    CDesignDBImpl* m_pDesign;
    document::SectionIndex m_sections;
    document::LossTally m_losses;
    std::string m_declaredEncoding;
    document::ImportObserver* m_pObserver;
    RunFeedback m_feedback;
    document::Reading m_reading = document::Reading::RowByRow;
};

// The one reader of the plug-in, constructed on first use.
CMBMBNReaderImpl& theReader();
