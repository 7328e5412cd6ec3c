#include "plugin/CMBMBNReaderImpl.h"

#include <memory>

#include <tinyxml.h>

#include "design/CDesignDBImpl.h"
#include "document/DocumentLoad.h"
#include "model/CModelDBImpl.h"

CMBMBNReaderImpl::CMBMBNReaderImpl() : m_path(nullptr), m_pModel(nullptr), m_pDesign(nullptr)
{
    std::unique_ptr<CModelDBImpl> model(new CModelDBImpl(this, m_sections));
    m_pDesign = new CDesignDBImpl(this, m_sections);
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
        if (!document::loadDocument(path, document))
            return false;
        TiXmlHandle sectionList = TiXmlHandle(document.RootElement()).FirstChild("Pairs");
        TiXmlHandle sections(sectionList.ToElement());
        document::indexSection(sections.ChildElement(0).ToElement(), m_sections.section("ModelDB"));
        document::indexSection(sections.ChildElement(1).ToElement(), m_sections.section("DesignDB"));
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
