#include "document/SectionIndex.h"

#include <cstring>

#include <tinyxml.h>

#include "document/ImportObserver.h"
#include "document/LossTally.h"
#include "document/Navigation.h"

namespace document {

DictionaryFrame dictionaryFrame(TiXmlDocument& document)
{
    DictionaryFrame frame;
    TiXmlElement* root = document.RootElement();
    if (!root) {
        frame.missing = DictionaryFrame::Missing::Root;
        // TinyXML ends a DOCTYPE at its first '>', inside the subset, and
        // stops reading at the "]>" left over.
        for (const TiXmlNode* node = document.FirstChild(); node; node = node->NextSibling())
            if (node->ToUnknown() && std::strncmp(node->Value(), "!DOCTYPE", 8) == 0 && std::strchr(node->Value(), '['))
                frame.doctypeSubset = true;
        return frame;
    }
    frame.sectionList = TiXmlHandle(root).FirstChild("Pairs").ToElement();
    if (!frame.sectionList) {
        frame.missing = DictionaryFrame::Missing::SectionList;
        frame.rootName = root->Value();
    } else if (!frame.sectionList->FirstChildElement()) {
        frame.missing = DictionaryFrame::Missing::Section;
    }
    return frame;
}

bool indexSection(TiXmlElement* sectionEntry, TableMap& tables, LossTally* tally, ImportObserver* observer,
                  const char* section)
{
    LossTally unused;
    LossTally& lost = tally ? *tally : unused;
    TiXmlHandle list = TiXmlHandle(sectionEntry).FirstChild("Value").FirstChild("Pairs");
    // Elements before the first "Pair" are never table entries.
    if (const TiXmlElement* holder = list.ToElement()) {
        const TiXmlElement* first = list.FirstChild("Pair").ToElement();
        for (const TiXmlElement* e = holder->FirstChildElement(); e && e != first; e = e->NextSiblingElement()) {
            ++lost.elementsNotRead;
            if (observer)
                observer->elementNotRead(section, nullptr, e);
        }
    }
    forEachEntry(list, "Pair", [&](TiXmlElement* entry) {
        TiXmlHandle handle(entry);
        const TiXmlElement* key = handle.FirstChild("Key").ToElement();
        const char* skipped = !key ? "no \"Key\"" : !handle.FirstChild("Value").ToElement() ? "no \"Value\"" : nullptr;
        // An entry whose "Key" has no text has no name to be found by.
        const char* name = skipped ? nullptr : key->GetText();
        if (!skipped && !name)
            skipped = "no table name";
        if (skipped) {
            ++lost.entriesIgnored;
            if (observer)
                observer->tableEntrySkipped(section, entry, skipped);
            return;
        }
        bool indexed = tables.emplace(name, entry).second;
        lost.entriesIgnored += !indexed;
        if (observer)
            observer->tableEntry(section, name, entry, indexed);
    });
    return true;
}

bool findTable(const std::string& name, const TableMap& tables, TiXmlElement*& entry)
{
    auto it = tables.find(name);
    if (it == tables.end())
        return false;
    entry = it->second;
    return true;
}

} // namespace document
