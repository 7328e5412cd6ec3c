// The row walk shared by every table reader: per row a fresh host record,
// its fields read from the row's "Value", AddData under the row's key.
// The two kinds of table differ only in their policy:
// - ModelRows reads every field on its own (a missing element leaves its
//   member as constructed) and skips a row that has no key;
// - DesignRows reads the fields as a chain that stops at the first missing
//   element, stores only complete rows, and numbers a row without a key on
//   from the previous row's key, stored or not.
// Who hears the walk is the policy's Listener: a tally of what the walk
// leaves out, which the plug-in tells the user of, and an ImportObserver
// for a report, which hears every table, row and field.
#pragma once

#include <algorithm>
#include <cmath>
#include <string>
#include <type_traits>
#include <vector>

#include <tinyxml.h>

#include "document/Conversions.h"
#include "document/DocumentLoad.h"
#include "document/FieldRead.h"
#include "document/ImportObserver.h"
#include "document/LossTally.h"
#include "document/SectionIndex.h"
#include "host/TableInterface.h"

namespace document {

// A table's rows: the first row, or null when the table or its first
// "Pair" is missing, and the element that holds them. `present` tells
// whether the table was found.
struct TableRows {
    bool present = false;
    TiXmlElement* holder = nullptr; // the table's "Pairs"
    TiXmlElement* first = nullptr;
};
TableRows tableRows(SectionIndex& index, const char* section, const char* table);
// The rows of a table entry, counted as a walk would visit them: every
// element from its first "Pair" on.
long long rowCount(const TiXmlElement* entry);

// Walks the table of `entry` into `table`; false when the table or its
// first row is missing.
template <class Rows, class Entry>
bool walkTable(SectionIndex& index, const Entry& entry, TableInterface<int, typename Entry::Record>* table, Rows rows)
{
    TableRows found = tableRows(index, Rows::kSection, entry.name);
    rows.tableBegin(Rows::kSection, entry.name, entry.displayName, found.present);
    // Elements before the first "Pair" are never rows.
    if (found.holder)
        for (TiXmlElement* e = found.holder->FirstChildElement(); e && e != found.first; e = e->NextSiblingElement())
            rows.elementNotRead(Rows::kSection, entry.name, e);
    TiXmlElement* row = found.first;
    if (!row)
        return false;
    while (row) {
        {
            RowTree tree(index.document(), row);
            rows.row(tree.element());
            // A fresh record per row: an empty element or a list never
            // carries another row's values into this one.
            typename Entry::Record record;
            int key = 0;
            if (rows.read(TiXmlHandle(tree.element()), record, entry.fields, key)) {
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
    rows.tableEnd();
    return true;
}

// Whether an element without text has text behind other markup, as
// <x><!-- c -->6000</x> has: TinyXML gives an element text only when its
// first child is text.
bool hidesText(const TiXmlElement* element);

// Who hears the walk: the tally, which counts what the walk leaves out of
// the file or reads otherwise than written (a missing element is no
// loss), and the observer, when there is one, which hears every table,
// row and field with its element. One plain class: the plug-in's run and
// a report's run differ only in the observer.
class Listener {
public:
    explicit Listener(LossTally* tally, ImportObserver* observer = nullptr) : m_tally(tally), m_observer(observer) {}

    void tableBegin(const char* section, const char* name, const char* displayName, bool present)
    {
        m_keys.clear();
        if (m_observer)
            m_observer->tableBegin(section, name, displayName, present);
    }
    void elementNotRead(const char* section, const char* table, const TiXmlElement* e) const
    {
        ++m_tally->elementsNotRead;
        if (m_observer)
            m_observer->elementNotRead(section, table, e);
    }
    void row(const TiXmlElement* row) const
    {
        if (m_observer)
            m_observer->row(row);
    }
    void rowStored(int key)
    {
        m_keys.push_back(key);
        if (m_observer)
            m_observer->rowStored(key);
    }
    void rowSkipped(const TiXmlElement* at, const char* why) const
    {
        ++m_tally->rowsNotStored;
        if (m_observer)
            m_observer->rowSkipped(at, why);
    }
    // Keys stored more than once: each later row replaced the earlier.
    void tableEnd()
    {
        if (!std::is_sorted(m_keys.begin(), m_keys.end()))
            std::sort(m_keys.begin(), m_keys.end());
        for (std::size_t i = 1; i < m_keys.size(); ++i)
            m_tally->keysReplaced += m_keys[i] == m_keys[i - 1];
    }
    void keyEmpty(const TiXmlElement* keyValue) const
    {
        ++m_tally->designKeysEmpty;
        if (m_observer)
            m_observer->designKeyEmpty(keyValue);
    }
    void enter(const char* element) const
    {
        if (m_observer)
            m_observer->enter(element);
    }
    void leave() const
    {
        if (m_observer)
            m_observer->leave();
    }
    void missing(const TiXmlElement* holder, const char* element) const
    {
        if (m_observer)
            m_observer->elementMissing(holder, element);
    }
    const char* text(const TiXmlElement* e) const
    {
        const char* text = e->GetText();
        if (!text && e->FirstChild() && hidesText(e)) {
            ++m_tally->textsHidden;
            if (m_observer)
                m_observer->textHidden(e);
        }
        return text;
    }
    // A number that the text did not hold whole, or a real written as
    // infinity or NaN (read as written, and counted on its own).
    template <class M>
    void assign(const TiXmlElement* e, const char* text, M& member) const
    {
        NumberFit fit = NumberFit::Whole;
        assignText(text, member, &fit);
        if (fit != NumberFit::Whole) {
            ++m_tally->numbersNotAsWritten;
            if (m_observer)
                m_observer->numberNotWhole(e, text, fit, static_cast<double>(member));
        } else if constexpr (std::is_floating_point_v<M>) {
            if (!std::isfinite(member)) {
                ++m_tally->valuesNotFinite;
                if (m_observer)
                    m_observer->nonFinite(e, text);
            }
        }
    }
    void assign(const TiXmlElement*, const char* text, std::string& member) const { member = text; }

private:
    LossTally* m_tally;
    ImportObserver* m_observer;
    std::vector<int> m_keys; // of the rows of the table stored so far
};

struct ModelRows : Listener {
    static constexpr const char* kSection = "ModelDB";
    using Listener::Listener;

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
            return skip(row.ToElement(), keyElement ? "no \"Value\"" : "no \"Key\"");
        // A row without key text has no key to be stored under.
        const TiXmlElement* keyValue = firstChild(TiXmlHandle(keyElement), "Value").ToElement();
        const char* keyText = keyValue ? this->text(keyValue) : nullptr;
        if (!keyText)
            return keyValue ? skip(keyValue, "no key text") : skip(keyElement, "no \"Value\" in \"Key\"");
        this->assign(keyElement, keyText, key);
        readEach(*this, TiXmlHandle(value), record, fields);
        return true;
    }

private:
    bool skip(const TiXmlElement* at, const char* why) const
    {
        this->rowSkipped(at, why);
        return false;
    }
};

struct DesignRows : Listener {
    static constexpr const char* kSection = "DesignDB";
    using Listener::Listener;

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
        TiXmlElement* keyElement = firstChild(row, "Key").ToElement();
        const TiXmlElement* keyValue = firstChild(TiXmlHandle(keyElement), "Value").ToElement();
        TiXmlHandle value = firstChild(row, "Value");
        bool complete = value.ToElement() ? readChain(*this, value, record, fields) : missingValue(row);
        if (keyValue) {
            const char* text = this->text(keyValue);
            m_runningKey = 0;
            if (text)
                this->assign(keyElement, text, m_runningKey);
            else
                this->keyEmpty(keyValue);
        } else {
            // Two's-complement step past INT_MAX, without overflow.
            m_runningKey = static_cast<int>(static_cast<unsigned>(m_runningKey) + 1u);
        }
        key = m_runningKey;
        if (!complete)
            this->rowSkipped(nullptr, nullptr);
        return complete;
    }

private:
    bool missingValue(const TiXmlHandle& row) const
    {
        this->missing(row.ToElement(), "Value");
        return false;
    }

    int m_runningKey = 0;
};

// Walks the table of `entry` with the policy `Rows`, counting what it
// leaves out into `tally`, and telling the observer when there is one.
template <class Rows, class Entry>
bool walkTable(SectionIndex& index, const Entry& entry, TableInterface<int, typename Entry::Record>* table,
               LossTally* tally, ImportObserver* observer)
{
    return walkTable(index, entry, table, Rows(tally, observer));
}

} // namespace document
