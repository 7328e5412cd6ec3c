#include "plugin/CMBMBNReaderImpl.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include <tinyxml.h>

#include "design/CDesignDBImpl.h"
#include "schema/DesignSchema.h"
#include "document/DocumentLoad.h"
#include "document/NearestName.h"
#include "document/TableWalk.h"
#include "model/CModelDBImpl.h"
#include "schema/ModelSchema.h"
#include "platform/Platform.h"
#include "plugin/UserMessages.h"

namespace {

// The run's steps: the model tables' from 1 on, then the design tables'.
constexpr int kModelSteps = schema::stepCount(building_modelDB::fields::kTables);
constexpr int kStepCount = kModelSteps + schema::stepCount(building_designDB::fields::kTables);

} // namespace

CMBMBNReaderImpl::CMBMBNReaderImpl(document::ImportObserver* observer, RunFeedback feedback)
    : m_path(nullptr), m_pModel(nullptr), m_pDesign(nullptr), m_pObserver(observer), m_feedback(feedback)
{
    std::unique_ptr<CModelDBImpl> model(
        new CModelDBImpl(m_sections, {1, kStepCount, feedback.progress, &m_feedback.steps}, m_losses, observer));
    m_pDesign = new CDesignDBImpl(m_sections, {1 + kModelSteps, kStepCount, feedback.progress, &m_feedback.steps},
                                  m_losses, observer);
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

// What the loaded text holds that no reader sees or that reads otherwise
// than written: content after the root, dropped references, bytes that
// are not UTF-8, sections after the second.
void tallyDocument(document::LossTally& tally, const document::LoadedText& loaded, const TiXmlElement* afterRoot,
                   const TiXmlHandle& sections)
{
    tally.contentAfterRoot = afterRoot || loaded.unreadRow > 0;
    tally.referencesDropped = static_cast<long long>(loaded.referencesDropped);
    tally.bytesNotUtf8 = loaded.encoding.bytes;
    tally.likelyGbk = loaded.encoding.likelyGbk;
    if (const TiXmlElement* third = sections.ChildElement(2).ToElement())
        for (; third; third = third->NextSiblingElement())
            ++tally.entriesIgnored;
}

// The table names a section's readers look up.
template <class Registry>
std::vector<std::string> namesOf(const Registry& registry)
{
    std::vector<std::string> names;
    schema::forEachTable(registry, [&](const auto& entry) { names.push_back(entry.name); });
    return names;
}

// Table entries of a section that no reader reads: most likely misspelt.
void tallyUnread(document::LossTally& tally, document::ImportObserver* observer, const char* section,
                 const document::TableMap& tables, const std::vector<std::string>& known)
{
    for (const auto& [name, entry] : tables) {
        if (std::find(known.begin(), known.end(), name) != known.end())
            continue;
        std::string nearest = document::nearestName(name, known);
        long long rows = document::rowCount(entry);
        if (observer)
            observer->tableUnread(section, name, nearest, rows, entry);
        tally.unreadTables.push_back({section, name, nearest, rows});
    }
}

// Shows a message in the framework's message box. Building the text may
// itself fail when memory is short; nothing more can be told then.
template <typename Fact>
void tellUser(const RunFeedback& feedback, std::wstring (*message)(const char*, const Fact&), const char* path,
              const Fact& fact, platform::MessageKind kind)
{
    if (!feedback.messages)
        return;
    try {
        platform::showMessageBox(message(path, fact), kind);
    } catch (...) {
    }
}

} // namespace

bool CMBMBNReaderImpl::importFile(const char* path)
{
    path = startRun(path);
    document::RunFailure failure;
    try {
        IndexReset reset{m_sections};
        document::LoadedDocument document;
        document::LoadedText loaded;
        if (!load(path, document, loaded))
            return false;
        m_sections.setDocument(&document);
        document::DictionaryFrame frame = document::dictionaryFrame(document.tree());
        indexDocument(document.tree(), frame, loaded);
        failure.storing = true;
        m_pModel->importSection();
        m_pDesign->importSection();
        tallyUnreadTables();
        tellOutcome(path, frame, loaded);
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
    tellUser(m_feedback, runFailureMessage, path, failure, platform::MessageKind::Error);
    return false;
}

const char* CMBMBNReaderImpl::startRun(const char* path)
{
    m_sections.clear();
    m_losses = document::LossTally();
    m_declaredEncoding.clear();
    m_path = path;
    return path ? path : "";
}

bool CMBMBNReaderImpl::load(const char* path, document::LoadedDocument& document, document::LoadedText& loaded)
{
    // Only a report reads the rows and columns of nodes.
    auto positions = m_pObserver ? document::Positions::Tracked : document::Positions::Untracked;
    if (m_feedback.steps)
        m_feedback.steps(0, kStepCount);
    document::LoadError error;
    if (!document::loadDocument(path, document, &error, positions, &loaded, m_reading)) {
        if (m_pObserver)
            m_pObserver->loadFailed(error);
        tellUser(m_feedback, loadFailureMessage, path, error, platform::MessageKind::Error);
        return false;
    }
    m_declaredEncoding = document::declaredEncoding(document.tree());
    return true;
}

void CMBMBNReaderImpl::indexDocument(TiXmlDocument& document, const document::DictionaryFrame& frame,
                                     const document::LoadedText& loaded)
{
    TiXmlHandle sections(frame.sectionList);
    const TiXmlElement* root = document.RootElement();
    const TiXmlElement* afterRoot = root ? root->NextSiblingElement() : nullptr;
    tallyDocument(m_losses, loaded, afterRoot, sections);
    if (m_pObserver) {
        m_pObserver->loaded(loaded, afterRoot);
        tellDocument(*m_pObserver, document, sections);
    }
    document::indexSection(sections.ChildElement(0).ToElement(), m_sections.section("ModelDB"), &m_losses,
                           m_pObserver, "ModelDB");
    document::indexSection(sections.ChildElement(1).ToElement(), m_sections.section("DesignDB"), &m_losses,
                           m_pObserver, "DesignDB");
}

void CMBMBNReaderImpl::tallyUnreadTables()
{
    static const std::vector<std::string> kModelNames = namesOf(building_modelDB::fields::kTables);
    static const std::vector<std::string> kDesignNames = namesOf(building_designDB::fields::kTables);
    tallyUnread(m_losses, m_pObserver, "ModelDB", m_sections.section("ModelDB"), kModelNames);
    tallyUnread(m_losses, m_pObserver, "DesignDB", m_sections.section("DesignDB"), kDesignNames);
}

void CMBMBNReaderImpl::tellOutcome(const char* path, const document::DictionaryFrame& frame,
                                   const document::LoadedText& loaded)
{
    if (frame.missing != document::DictionaryFrame::Missing::Nothing) {
        if (m_pObserver)
            m_pObserver->noDictionary(frame, loaded);
        tellUser(m_feedback, noDictionaryMessage, path, NoDictionary{frame, loaded}, platform::MessageKind::Error);
    } else if (m_losses.any()) {
        tellUser(m_feedback, lossMessage, path, m_losses, platform::MessageKind::Warning);
    }
}

CMBMBNReaderImpl& theReader()
{
    static CMBMBNReaderImpl reader;
    return reader;
}
