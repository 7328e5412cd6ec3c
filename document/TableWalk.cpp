#include "document/TableWalk.h"

namespace document {

TiXmlElement* firstRow(SectionIndex& index, const char* section, const char* table)
{
    TiXmlElement* entry = nullptr;
    if (!findTable(table, index.section(section), entry))
        return nullptr;
    return TiXmlHandle(entry).FirstChild("Value").FirstChild("Pairs").FirstChild("Pair").ToElement();
}

} // namespace document
