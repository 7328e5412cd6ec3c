#include "document/TableWalk.h"

namespace document {

TableRows tableRows(SectionIndex& index, const char* section, const char* table)
{
    TableRows rows;
    TiXmlElement* entry = nullptr;
    rows.present = findTable(table, index.section(section), entry);
    if (!rows.present)
        return rows;
    TiXmlHandle holder = TiXmlHandle(entry).FirstChild("Value").FirstChild("Pairs");
    rows.holder = holder.ToElement();
    rows.first = holder.FirstChild("Pair").ToElement();
    return rows;
}

bool hidesText(const TiXmlElement* element)
{
    for (const TiXmlNode* child = element->FirstChild(); child; child = child->NextSibling())
        if (child->ToText())
            return true;
    return false;
}

} // namespace document
