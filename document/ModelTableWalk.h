// The row walk shared by every model table reader: per row a fresh host
// record, its fields read from the row's "Value", AddData under the row's
// key.
#pragma once

#include <tinyxml.h>

#include "document/Conversions.h"
#include "document/FieldList.h"
#include "document/SectionIndex.h"
#include "host/TableInterface.h"

namespace document {

// The first row of a table of the section, or null when the table or its
// first "Pair" is missing.
TiXmlElement* firstRow(SectionIndex& index, const char* section, const char* table);

template <class R, class List>
bool walkModelTable(SectionIndex& index, const char* tableName, TableInterface<int, R>* table, const List& fields)
{
    TiXmlElement* row = firstRow(index, "ModelDB", tableName);
    if (!row)
        return false;
    for (; row; row = row->NextSiblingElement()) {
        TiXmlHandle handle(row);
        TiXmlElement* key = firstChild(handle, "Key").ToElement();
        TiXmlElement* value = firstChild(handle, "Value").ToElement();
        if (!key || !value)
            continue;
        // A row without key text has no key to be stored under.
        const char* keyText = textOf(firstChild(TiXmlHandle(key), "Value"));
        if (!keyText)
            continue;
        int rowKey = toInt(keyText);
        R record;
        readFields(TiXmlHandle(value), record, fields);
        table->AddData(rowKey, record);
    }
    return true;
}

} // namespace document
