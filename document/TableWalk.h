// The row walk shared by every table reader: per row a fresh host record,
// its fields read from the row's "Value", AddData under the row's key.
// The two kinds of table differ only in their policy:
// - ModelRows reads every field on its own (a missing element leaves its
//   member as constructed) and skips a row that has no key;
// - DesignRows reads the fields as a chain that stops at the first missing
//   element, stores only complete rows, and numbers a row without a key on
//   from the previous row's key, stored or not.
// An observer, when given, hears of every table, row and field.
#pragma once

#include <typeinfo>

#include <tinyxml.h>

#include "document/Conversions.h"
#include "document/FieldList.h"
#include "document/ImportObserver.h"
#include "document/SectionIndex.h"
#include "host/TableInterface.h"

namespace document {

// The first row of a table of the section, or null when the table or its
// first "Pair" is missing. `present` tells whether the table was found.
TiXmlElement* firstRow(SectionIndex& index, const char* section, const char* table, bool& present);

template <class Rows, class R, class List>
bool walkTable(SectionIndex& index, const char* tableName, TableInterface<int, R>* table, const List& fields,
               ImportObserver* observer)
{
    bool present = false;
    TiXmlElement* row = firstRow(index, Rows::kSection, tableName, present);
    if (observer)
        observer->tableBegin(Rows::kSection, tableName, typeid(R), present);
    if (!row)
        return false;
    Rows rows{observer};
    while (row) {
        if (observer)
            observer->row(row);
        {
            // A fresh record per row: an empty element or a list never
            // carries another row's values into this one.
            R record;
            int key = 0;
            if (rows.read(TiXmlHandle(row), record, fields, key)) {
                table->AddData(key, record);
                if (observer)
                    observer->rowStored(key);
            }
        }
        // No reader looks at a row twice, and the document goes when the run
        // ends: freeing the row now, while it is still in the cache, costs
        // far less than freeing it with the rest of the document.
        TiXmlElement* next = row->NextSiblingElement();
        row->Parent()->RemoveChild(row);
        row = next;
    }
    return true;
}

struct ModelRows {
    static constexpr const char* kSection = "ModelDB";
    explicit ModelRows(ImportObserver* o = nullptr) : observer(o) {}
    ImportObserver* observer;

    static TiXmlHandle subElement(const TiXmlHandle& holder, const char* name) { return firstChild(holder, name); }

    template <std::size_t Links, class R, class List>
    bool readList(const TiXmlHandle& holder, R& record, const List& list) const
    {
        static_assert(Links == std::tuple_size_v<List>, "model sub-records are read whole");
        return readEach(*this, holder, record, list);
    }

    template <class R, class List>
    bool read(const TiXmlHandle& row, R& record, const List& fields, int& key) const
    {
        TiXmlElement* keyElement = firstChild(row, "Key").ToElement();
        TiXmlElement* value = firstChild(row, "Value").ToElement();
        if (!keyElement || !value)
            return skip(keyElement ? "no \"Value\"" : "no \"Key\"");
        // A row without key text has no key to be stored under.
        TiXmlHandle keyValue = firstChild(TiXmlHandle(keyElement), "Value");
        const char* keyText = textOf(keyValue);
        if (!keyText)
            return skip(keyValue.ToElement() ? "no key text" : "no \"Value\" in \"Key\"");
        assignText(*this, "Key", keyText, key);
        readEach(*this, TiXmlHandle(value), record, fields);
        return true;
    }

private:
    bool skip(const char* why) const
    {
        if (observer)
            observer->rowSkipped(why);
        return false;
    }
};

struct DesignRows {
    static constexpr const char* kSection = "DesignDB";
    explicit DesignRows(ImportObserver* o = nullptr) : observer(o) {}
    ImportObserver* observer;

    // The index-th child element of that name (0 = the first).
    static TiXmlHandle subElement(const TiXmlHandle& holder, const char* name, int index = 0)
    {
        return childElement(holder, name, index);
    }

    template <std::size_t Links, class R, class List>
    bool readList(const TiXmlHandle& holder, R& record, const List& list) const
    {
        return readChainOf<Links>(*this, holder, record, list);
    }

    // A row that is not stored has had its first missing element told.
    template <class R, class List>
    bool read(const TiXmlHandle& row, R& record, const List& fields, int& key)
    {
        const TiXmlElement* keyValue =
            firstChild(TiXmlHandle(firstChild(row, "Key").ToElement()), "Value").ToElement();
        TiXmlHandle value = firstChild(row, "Value");
        bool complete = value.ToElement() ? readChain(*this, value, record, fields) : missingValue();
        if (keyValue) {
            const char* text = keyValue->GetText();
            m_runningKey = 0;
            if (text)
                assignText(*this, "Key", text, m_runningKey);
        } else {
            // Two's-complement step past INT_MAX, without overflow.
            m_runningKey = static_cast<int>(static_cast<unsigned>(m_runningKey) + 1u);
        }
        key = m_runningKey;
        if (!complete && observer)
            observer->rowSkipped(nullptr);
        return complete;
    }

private:
    bool missingValue() const
    {
        tellMissing(*this, "Value");
        return false;
    }

    int m_runningKey = 0;
};

} // namespace document
