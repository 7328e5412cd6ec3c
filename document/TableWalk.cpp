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

long long rowCount(const TiXmlElement* entry)
{
    long long rows = 0;
    TiXmlHandle holder = TiXmlHandle(const_cast<TiXmlElement*>(entry)).FirstChild("Value").FirstChild("Pairs");
    for (const TiXmlElement* row = holder.FirstChild("Pair").ToElement(); row; row = row->NextSiblingElement())
        ++rows;
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
