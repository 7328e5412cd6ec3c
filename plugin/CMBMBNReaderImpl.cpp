#include "plugin/CMBMBNReaderImpl.h"

#include <exception>
#include <memory>
#include <new>
#include <string>

#include <tinyxml.h>

#include "design/CDesignDBImpl.h"
#include "design/DesignFields.h"
#include "document/DocumentLoad.h"
#include "model/CModelDBImpl.h"
#include "model/ModelFields.h"
#include "platform/Platform.h"
#include "plugin/LoadFailureMessage.h"

namespace {

// The run's steps: the model tables' from 1 on, then the design tables'.
constexpr int kModelSteps = document::stepCount(building_modelDB::fields::kTables);
constexpr int kStepCount = kModelSteps + document::stepCount(building_designDB::fields::kTables);

} // namespace

CMBMBNReaderImpl::CMBMBNReaderImpl(document::ImportObserver* observer, RunFeedback feedback)
    : m_path(nullptr), m_pModel(nullptr), m_pDesign(nullptr), m_pObserver(observer), m_feedback(feedback)
{
    std::unique_ptr<CModelDBImpl> model(
        new CModelDBImpl(this, m_sections, {1, kStepCount, feedback.progress}, observer));
    m_pDesign = new CDesignDBImpl(this, m_sections, {1 + kModelSteps, kStepCount, feedback.progress}, observer);
    m_pModel = model.release();
}

CMBMBNReaderImpl::~CMBMBNReaderImpl()
{
    delete m_pModel;
    m_pModel = nullptr;
    delete m_pDesign;
    m_pDesign = nullptr;
}

namespace {

// Empties the index when a run ends, however it ends, so that it never
// holds references into a destroyed document.
struct IndexReset {
    document::SectionIndex& index;
    ~IndexReset() { index.clear(); }
};

// Tells the observer of the file's declared encoding and of every entry of
// its section list, by position.
void tellDocument(document::ImportObserver& observer, TiXmlDocument& document, const TiXmlHandle& sections)
{
    std::string encoding = document::declaredEncoding(document);
    if (!document::namesUtf8(encoding))
        observer.declaredEncoding(encoding.c_str());
    int position = 0;
    for (TiXmlElement* entry = sections.FirstChildElement().ToElement(); entry; entry = entry->NextSiblingElement())
        observer.sectionEntry(position++, entry);
}

// Shows a message in the framework's message box. Building the text may
// itself fail when memory is short; nothing more can be told then.
template <typename Fact>
void showMessage(std::wstring (*message)(const char*, const Fact&), const char* path, const Fact& fact)
{
    try {
        platform::showMessageBox(message(path, fact), platform::MessageKind::Error);
    } catch (...) {
    }
}

} // namespace

bool CMBMBNReaderImpl::importFile(const char* path)
{
    m_sections.clear();
    m_path = path;
    if (!path)
        path = "";
    document::RunFailure failure;
    try {
        IndexReset reset{m_sections};
        TiXmlDocument document;
        document::LoadError error;
        document::LoadedText loaded;
        // Only a report reads the rows and columns of nodes.
        auto positions = m_pObserver ? document::Positions::Tracked : document::Positions::Untracked;
        if (!document::loadDocument(path, document, &error, positions, &loaded)) {
            if (m_pObserver)
                m_pObserver->loadFailed(error);
            tellUser(loadFailureMessage, path, error);
            return false;
        }
        document::DictionaryFrame frame = document::dictionaryFrame(document);
        TiXmlHandle sections(frame.sectionList);
        if (m_pObserver)
            tellDocument(*m_pObserver, document, sections);
        document::indexSection(sections.ChildElement(0).ToElement(), m_sections.section("ModelDB"), m_pObserver,
                               "ModelDB");
        document::indexSection(sections.ChildElement(1).ToElement(), m_sections.section("DesignDB"), m_pObserver,
                               "DesignDB");
        failure.storing = true;
        m_pModel->importModelDB();
        m_pDesign->importDesignDB();
        if (frame.missing != document::DictionaryFrame::Missing::Nothing) {
            if (m_pObserver)
                m_pObserver->noDictionary(frame, loaded);
            tellUser(noDictionaryMessage, path, NoDictionary{frame, loaded});
        }
        return true;
    } catch (const std::bad_alloc&) {
        failure.outOfMemory = true;
    } catch (const std::exception& e) {
        try {
            failure.what = e.what();
        } catch (...) {
        }
    } catch (...) {
    }
    // The document is gone by now, and with it most of the memory it took.
    if (m_pObserver)
        m_pObserver->runFailed(failure);
    tellUser(runFailureMessage, path, failure);
    return false;
}

template <typename Fact>
void CMBMBNReaderImpl::tellUser(std::wstring (*message)(const char*, const Fact&), const char* path,
                                const Fact& fact) const
{
    if (m_feedback.messages)
        showMessage(message, path, fact);
}

CMBMBNReaderImpl& theReader()
{
    static CMBMBNReaderImpl reader;
    return reader;
}
