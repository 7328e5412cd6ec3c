// The row walk shared by every table reader: per row a fresh host record,
// its fields read from the row's "Value", AddData under the row's key.
// The two kinds of table differ only in their policy:
// - ModelRows reads every field on its own (a missing element leaves its
//   member as constructed) and skips a row that has no key;
// - DesignRows reads the fields as a chain that stops at the first missing
//   element, stores only complete rows, and numbers a row without a key on
//   from the previous row's key, stored or not.
// Who hears the walk is the policy's listener: Quiet (nobody, and the
// walk costs nothing for it) or Told (an ImportObserver: every table,
// row and field).
#pragma once

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

// Walks the table of `entry` into `table`; false when the table or its
// first row is missing.
template <class Rows, class Entry>
bool walkTable(SectionIndex& index, const Entry& entry, TableInterface<int, typename Entry::Record>* table, Rows rows)
{
    bool present = false;
    TiXmlElement* row = firstRow(index, Rows::kSection, entry.name, present);
    rows.tableBegin(Rows::kSection, entry.name, entry.displayName, present);
    if (!row)
        return false;
    while (row) {
        rows.row(row);
        {
            // A fresh record per row: an empty element or a list never
            // carries another row's values into this one.
            typename Entry::Record record;
            int key = 0;
            if (rows.read(TiXmlHandle(row), record, entry.fields, key)) {
                table->AddData(key, record);
                rows.rowStored(key);
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

// Hears nothing.
struct Quiet {
    void tableBegin(const char*, const char*, const char*, bool) const {}
    void row(const TiXmlElement*) const {}
    void rowStored(int) const {}
    void rowSkipped(const char*) const {}
    void enter(const char*) const {}
    void leave() const {}
    void missing(const char*) const {}
    template <class M>
    void assign(const char*, const char* text, M& member) const
    {
        assignText(text, member, nullptr);
    }
};

// Tells the observer of everything the walk reads.
struct Told {
    ImportObserver* observer;

    void tableBegin(const char* section, const char* name, const char* displayName, bool present) const
    {
        observer->tableBegin(section, name, displayName, present);
    }
    void row(const TiXmlElement* row) const { observer->row(row); }
    void rowStored(int key) const { observer->rowStored(key); }
    void rowSkipped(const char* why) const { observer->rowSkipped(why); }
    void enter(const char* element) const { observer->enter(element); }
    void leave() const { observer->leave(); }
    void missing(const char* element) const { observer->elementMissing(element); }
    // A number that the text did not hold whole is told.
    template <class M>
    void assign(const char* element, const char* text, M& member) const
    {
        NumberFit fit = NumberFit::Whole;
        assignText(text, member, &fit);
        if (fit != NumberFit::Whole)
            observer->numberNotWhole(element, text, fit, static_cast<double>(member));
    }
    void assign(const char*, const char* text, std::string& member) const { member = text; }
};

template <class Listener>
struct ModelRows : Listener {
    static constexpr const char* kSection = "ModelDB";
    explicit ModelRows(Listener listener = {}) : Listener(listener) {}

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
        this->assign("Key", keyText, key);
        readEach(*this, TiXmlHandle(value), record, fields);
        return true;
    }

private:
    bool skip(const char* why) const
    {
        this->rowSkipped(why);
        return false;
    }
};

template <class Listener>
struct DesignRows : Listener {
    static constexpr const char* kSection = "DesignDB";
    explicit DesignRows(Listener listener = {}) : Listener(listener) {}

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
                this->assign("Key", text, m_runningKey);
        } else {
            // Two's-complement step past INT_MAX, without overflow.
            m_runningKey = static_cast<int>(static_cast<unsigned>(m_runningKey) + 1u);
        }
        key = m_runningKey;
        if (!complete)
            this->rowSkipped(nullptr);
        return complete;
    }

private:
    bool missingValue() const
    {
        this->missing("Value");
        return false;
    }

    int m_runningKey = 0;
};

// Walks the table of `entry` with the policy `Rows`, told to the observer
// when there is one, and quiet otherwise.
template <template <class> class Rows, class Entry>
bool walkTable(SectionIndex& index, const Entry& entry, TableInterface<int, typename Entry::Record>* table,
               ImportObserver* observer)
{
    if (observer)
        return walkTable(index, entry, table, Rows<Told>(Told{observer}));
    return walkTable(index, entry, table, Rows<Quiet>());
}

} // namespace document
