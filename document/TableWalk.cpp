#include "document/TableWalk.h"

namespace document {

TiXmlElement* firstRow(SectionIndex& index, const char* section, const char* table, bool& present)
{
    TiXmlElement* entry = nullptr;
    present = findTable(table, index.section(section), entry);
    if (!present)
        return nullptr;
    return TiXmlHandle(entry).FirstChild("Value").FirstChild("Pairs").FirstChild("Pair").ToElement();
}

} // namespace document
