#include "document/SectionIndex.h"

#include <tinyxml.h>

#include "document/FieldReaders.h"

namespace document {

bool indexSection(TiXmlElement* sectionEntry, TableMap& tables)
{
    TiXmlHandle list = TiXmlHandle(sectionEntry).FirstChild("Value").FirstChild("Pairs");
    forEachEntry(list, "Pair", [&](TiXmlElement* entry) {
        TiXmlHandle handle(entry);
        const TiXmlElement* key = handle.FirstChild("Key").ToElement();
        if (!key || !handle.FirstChild("Value").ToElement())
            return;
        // An entry whose "Key" has no text has no name to be found by.
        if (const char* name = key->GetText())
            tables.emplace(name, entry);
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
