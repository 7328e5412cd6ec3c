#include "plugin/CMBMBNReaderImpl.h"

#include <cctype>
#include <memory>
#include <string>

#include <tinyxml.h>

#include "design/CDesignDBImpl.h"
#include "document/DocumentLoad.h"
#include "model/CModelDBImpl.h"
#include "platform/Platform.h"
#include "plugin/LoadFailureMessage.h"

CMBMBNReaderImpl::CMBMBNReaderImpl(document::ImportObserver* observer)
    : m_path(nullptr), m_pModel(nullptr), m_pDesign(nullptr), m_pObserver(observer)
{
    std::unique_ptr<CModelDBImpl> model(new CModelDBImpl(this, m_sections, observer));
    m_pDesign = new CDesignDBImpl(this, m_sections, observer);
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
    std::string upper;
    for (char c : encoding)
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (!encoding.empty() && upper != "UTF-8" && upper != "UTF8")
        observer.declaredEncoding(encoding.c_str());
    int position = 0;
    for (TiXmlElement* entry = sections.FirstChildElement().ToElement(); entry; entry = entry->NextSiblingElement())
        observer.sectionEntry(position++, entry);
}

} // namespace

bool CMBMBNReaderImpl::importFile(const char* path)
{
    m_sections.clear();
    if (!path || !*path)
        return false;
    try {
        m_path = path;
        IndexReset reset{m_sections};
        TiXmlDocument document;
        document::LoadError error;
        // Only a report reads the rows and columns of nodes.
        auto positions = m_pObserver ? document::Positions::Tracked : document::Positions::Untracked;
        if (!document::loadDocument(path, document, &error, positions)) {
            if (m_pObserver)
                m_pObserver->loadFailed(error);
            else
                platform::showMessageBox(loadFailureMessage(path, error), platform::MessageKind::Error);
            return false;
        }
        TiXmlHandle sectionList = TiXmlHandle(document.RootElement()).FirstChild("Pairs");
        TiXmlHandle sections(sectionList.ToElement());
        if (m_pObserver)
            tellDocument(*m_pObserver, document, sections);
        document::indexSection(sections.ChildElement(0).ToElement(), m_sections.section("ModelDB"), m_pObserver,
                               "ModelDB");
        document::indexSection(sections.ChildElement(1).ToElement(), m_sections.section("DesignDB"), m_pObserver,
                               "DesignDB");
        m_pModel->importModelDB();
        m_pDesign->importDesignDB();
        return true;
    } catch (...) {
        return false;
    }
}

CMBMBNReaderImpl& theReader()
{
    static CMBMBNReaderImpl reader;
    return reader;
}
