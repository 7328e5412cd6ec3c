// The row walk shared by every table reader: per row a fresh host record,
// its fields read from the row's "Value", AddData under the row's key.
// The two kinds of table differ only in their policy:
// - ModelRows reads every field on its own (a missing element leaves its
//   member as constructed) and skips a row that has no key;
// - DesignRows reads the fields as a chain that stops at the first missing
//   element, stores only complete rows, and numbers a row without a key on
//   from the previous row's key, stored or not.
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

template <class Rows, class R, class List>
bool walkTable(SectionIndex& index, const char* tableName, TableInterface<int, R>* table, const List& fields)
{
    TiXmlElement* row = firstRow(index, Rows::kSection, tableName);
    if (!row)
        return false;
    Rows rows;
    for (; row; row = row->NextSiblingElement()) {
        // A fresh record per row: an empty element or a list never carries
        // another row's values into this one.
        R record;
        int key = 0;
        if (rows.read(TiXmlHandle(row), record, fields, key))
            table->AddData(key, record);
    }
    return true;
}

struct ModelRows {
    static constexpr const char* kSection = "ModelDB";

    static TiXmlHandle subElement(const TiXmlHandle& holder, const char* name) { return firstChild(holder, name); }

    template <std::size_t Links, class R, class List>
    static bool readList(const TiXmlHandle& holder, R& record, const List& list)
    {
        static_assert(Links == std::tuple_size_v<List>, "model sub-records are read whole");
        return readEach<ModelRows>(holder, record, list);
    }

    template <class R, class List>
    bool read(const TiXmlHandle& row, R& record, const List& fields, int& key) const
    {
        TiXmlElement* keyElement = firstChild(row, "Key").ToElement();
        TiXmlElement* value = firstChild(row, "Value").ToElement();
        if (!keyElement || !value)
            return false;
        // A row without key text has no key to be stored under.
        const char* keyText = textOf(firstChild(TiXmlHandle(keyElement), "Value"));
        if (!keyText)
            return false;
        key = toInt(keyText);
        readEach<ModelRows>(TiXmlHandle(value), record, fields);
        return true;
    }
};

struct DesignRows {
    static constexpr const char* kSection = "DesignDB";

    // The index-th child element of that name (0 = the first).
    static TiXmlHandle subElement(const TiXmlHandle& holder, const char* name, int index = 0)
    {
        return TiXmlHandle(holder.ToElement()).ChildElement(name, index);
    }

    template <std::size_t Links, class R, class List>
    static bool readList(const TiXmlHandle& holder, R& record, const List& list)
    {
        return readChainOf<DesignRows, Links>(holder, record, list);
    }

    template <class R, class List>
    bool read(const TiXmlHandle& row, R& record, const List& fields, int& key)
    {
        const TiXmlElement* keyValue =
            firstChild(TiXmlHandle(firstChild(row, "Key").ToElement()), "Value").ToElement();
        bool complete = readChain<DesignRows>(firstChild(row, "Value"), record, fields);
        if (keyValue) {
            const char* text = keyValue->GetText();
            m_runningKey = toInt(text ? text : "");
        } else {
            // Two's-complement step past INT_MAX, without overflow.
            m_runningKey = static_cast<int>(static_cast<unsigned>(m_runningKey) + 1u);
        }
        key = m_runningKey;
        return complete;
    }

private:
    int m_runningKey = 0;
};

} // namespace document
