// A record's fields as a list: element name, member and kind, one entry
// per member, in member order. The lists are inert data: reading them is
// the generic folds below, describing them is the format document's
// business (tools/).
//
// A kind reads one field: `kind.read(policy, holder, element, member)`
// looks the element up under `holder`, fills the member from it, and
// returns false when the element is missing. The walk's policy says how
// lists are read (every field on its own, or a chain that stops at the
// first missing element), how a sub-record's element is found, and who
// hears what was read: a kind tells the policy of a missing element
// (`missing`, with the element that should hold it), of the elements it
// goes into (`enter`, `leave`), asks it for an element's text (`text`)
// and hands it each text to convert (`assign`, with its element).
#pragma once

#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include <tinyxml.h>

#include "document/Conversions.h"
#include "document/Navigation.h"
#include "host/TableInterface.h"

namespace document {

template <class R, class M, class Kind>
struct Field {
    using Record = R;
    using Member = M;
    const char* element;
    M R::*member;
    Kind kind;
};

template <class R, class M, class Kind>
constexpr Field<R, M, Kind> field(const char* element, M R::*member, Kind kind)
{
    return {element, member, kind};
}

template <class... F>
constexpr auto fieldList(F... fields)
{
    return std::make_tuple(fields...);
}

// The record type a list describes.
template <class List>
using RecordOf = typename std::tuple_element_t<0, List>::Record;

template <class Policy, class R, class F>
bool readField(const Policy& policy, const TiXmlHandle& holder, R& record, const F& f)
{
    return f.kind.read(policy, holder, f.element, record.*f.member);
}

// Every field on its own: a missing element leaves its member as it was.
// Always true.
template <class Policy, class R, class List>
bool readEach(const Policy& policy, const TiXmlHandle& holder, R& record, const List& list)
{
    std::apply([&](const auto&... f) { (readField(policy, holder, record, f), ...); }, list);
    return true;
}

template <class Policy, class R, class List, std::size_t... I>
bool readLinks(const Policy& policy, const TiXmlHandle& holder, R& record, const List& list,
               std::index_sequence<I...>)
{
    return (readField(policy, holder, record, std::get<I>(list)) && ...);
}

// The first N fields as a chain: stops at the first missing element and
// returns false; fields read before it keep what they received.
template <std::size_t N, class Policy, class R, class List>
bool readChainOf(const Policy& policy, const TiXmlHandle& holder, R& record, const List& list)
{
    return readLinks(policy, holder, record, list, std::make_index_sequence<N>());
}

template <class Policy, class R, class List>
bool readChain(const Policy& policy, const TiXmlHandle& holder, R& record, const List& list)
{
    return readChainOf<std::tuple_size_v<List>>(policy, holder, record, list);
}

// Tells the policy that the fields below `element` are being read, for
// as long as it lives.
template <class Policy>
class Entered {
public:
    Entered(const Policy& policy, const char* element) : m_policy(policy) { m_policy.enter(element); }
    ~Entered() { m_policy.leave(); }
    Entered(const Entered&) = delete;
    Entered& operator=(const Entered&) = delete;

private:
    const Policy& m_policy;
};

// Converts a field's text into the member; `fit`, when given, says how
// the text fitted the number.
inline void assignText(const char* text, std::string& member, NumberFit*)
{
    member = text;
}
inline void assignText(const char* text, int& member, NumberFit* fit)
{
    member = toInt(text, fit);
}
inline void assignText(const char* text, double& member, NumberFit* fit)
{
    member = toReal(text, fit);
}
inline void assignText(const char* text, bool& member, NumberFit* fit)
{
    member = toInt(text, fit) != 0;
}

// The element's own text, converted; absent text leaves the member as it was.
template <class M>
struct AsValue {
    template <class Policy>
    bool read(const Policy& policy, const TiXmlHandle& holder, const char* element, M& member) const
    {
        const TiXmlElement* e = firstChild(holder, element).ToElement();
        if (!e) {
            policy.missing(holder.ToElement(), element);
            return false;
        }
        if (const char* text = policy.text(e))
            policy.assign(e, text, member);
        return true;
    }
};

constexpr AsValue<int> asInt{};
constexpr AsValue<double> asReal{};
constexpr AsValue<std::string> asText{};
constexpr AsValue<bool> asFlag{};

// A keyed reference: <field><Wrapper><Value>key</Value></Wrapper></field>.
// A missing wrapper, "Value" or text leaves the key as it was.
struct KeyRef {
    const char* wrapper;
    template <class Policy>
    bool read(const Policy& policy, const TiXmlHandle& holder, const char* element, int& member) const
    {
        TiXmlHandle e = firstChild(holder, element);
        if (!e.ToElement()) {
            policy.missing(holder.ToElement(), element);
            return false;
        }
        Entered<Policy> inField(policy, element);
        TiXmlHandle w = firstChild(e, wrapper);
        if (!w.ToElement()) {
            policy.missing(e.ToElement(), wrapper);
            return true;
        }
        Entered<Policy> inWrapper(policy, wrapper);
        AsValue<int>().read(policy, w, "Value", member);
        return true;
    }
};
constexpr KeyRef keyRef(const char* wrapper)
{
    return {wrapper};
}

// Integers from the 1st, 2nd, ... child element named "double".
struct AsIntsFromDoubles {
    template <class Policy, std::size_t N>
    bool read(const Policy& policy, const TiXmlHandle& holder, const char* element, int (&member)[N]) const
    {
        TiXmlHandle e(firstChild(holder, element).ToElement());
        if (!e.ToElement()) {
            policy.missing(holder.ToElement(), element);
            return false;
        }
        Entered<Policy> inField(policy, element);
        for (std::size_t i = 0; i < N; ++i)
            if (const TiXmlElement* d = e.ChildElement("double", static_cast<int>(i)).ToElement())
                if (const char* text = policy.text(d))
                    policy.assign(d, text, member[i]);
        return true;
    }
};
constexpr AsIntsFromDoubles asIntsFromDoubles{};

// A sub-record: its own list, read from its element by the walk's policy.
// Only the first `Links` fields are read; the others keep their values.
template <class List, std::size_t Links = std::tuple_size_v<List>>
struct SubRecord {
    List list;
    template <class Policy, class M>
    bool read(const Policy& policy, const TiXmlHandle& holder, const char* element, M& member) const
    {
        return readSubRecord(policy, holder, Policy::subElement(holder, element), element, member);
    }
    // `e` is the sub-record's element, found under `holder`.
    template <class Policy, class M>
    bool readSubRecord(const Policy& policy, const TiXmlHandle& holder, const TiXmlHandle& e, const char* element,
                       M& member) const
    {
        if (!e.ToElement()) {
            policy.missing(holder.ToElement(), element);
            return false;
        }
        Entered<Policy> inSubRecord(policy, element);
        return policy.template readList<Links>(e, member, list);
    }
};
template <class List>
constexpr SubRecord<List> subRecord(const List& list)
{
    return {list};
}
template <std::size_t Links, class List>
constexpr SubRecord<List, Links> subRecordUpTo(const List& list)
{
    return {list};
}

// An array of sub-records, the i-th read from the i-th element of the name.
template <class List>
struct SubRecords {
    SubRecord<List> each;
    template <class Policy, class M, std::size_t N>
    bool read(const Policy& policy, const TiXmlHandle& holder, const char* element, M (&members)[N]) const
    {
        for (std::size_t i = 0; i < N; ++i)
            if (!each.readSubRecord(policy, holder, Policy::subElement(holder, element, static_cast<int>(i)),
                                    element, members[i]))
                return false;
        return true;
    }
};
template <class List>
constexpr SubRecords<List> subRecords(const List& list)
{
    return {{list}};
}

// Keys of a list's entries: their positions 0, 1, ... or their own values.
enum class EntryKeys { Position, Value };

// A list of numbers held by the record: one entry per element, from the
// first child named `first` on through every following sibling element,
// whatever its name. An entry's number is the text of its child
// `valueChild`, or its own text when that is null; an entry without text
// repeats the number before it (0 for the first). Entries are added to
// what the list already holds.
template <class V>
struct EntryList {
    const char* first;
    EntryKeys keys;
    const char* valueChild;

    template <class Policy>
    void readEntries(const Policy& policy, const TiXmlHandle& list, TableInterface<int, V>* target) const
    {
        V value = V();
        int position = 0;
        for (TiXmlElement* entry = Policy::subElement(list, first).ToElement(); entry;
             entry = entry->NextSiblingElement()) {
            const TiXmlElement* source =
                valueChild ? firstChild(TiXmlHandle(entry), valueChild).ToElement() : entry;
            if (const char* text = source ? policy.text(source) : nullptr)
                policy.assign(entry, text, value);
            if (keys == EntryKeys::Position) {
                target->AddData(position, value);
                ++position;
            } else {
                int key = static_cast<int>(value);
                target->AddData(key, value);
            }
        }
    }

    template <class Policy, class L>
    bool read(const Policy& policy, const TiXmlHandle& holder, const char* element, L* const& member) const
    {
        TiXmlHandle list = Policy::subElement(holder, element);
        if (!list.ToElement()) {
            policy.missing(holder.ToElement(), element);
            return false;
        }
        Entered<Policy> inList(policy, element);
        readEntries(policy, list, member);
        return true;
    }

};

// A list of sub-records held by the record, one per element from the
// first child named `first` on, each under its position.
template <class List>
struct RecordList {
    const char* first;
    List list;

    template <class Policy, class R>
    void readEntries(const Policy& policy, const TiXmlHandle& holder, TableInterface<int, R>* target) const
    {
        int position = 0;
        for (TiXmlElement* entry = Policy::subElement(holder, first).ToElement(); entry;
             entry = entry->NextSiblingElement()) {
            R record;
            Entered<Policy> inEntry(policy, entry->Value());
            policy.template readList<std::tuple_size_v<List>>(TiXmlHandle(entry), record, list);
            target->AddData(position, record);
            ++position;
        }
    }

    template <class Policy, class R>
    bool read(const Policy& policy, const TiXmlHandle& holder, const char* element,
              TableInterface<int, R>* const& member) const
    {
        TiXmlHandle e = Policy::subElement(holder, element);
        if (!e.ToElement()) {
            policy.missing(holder.ToElement(), element);
            return false;
        }
        Entered<Policy> inList(policy, element);
        readEntries(policy, e, member);
        return true;
    }

};
template <class List>
constexpr RecordList<List> recordList(const char* first, const List& list)
{
    return {first, list};
}

// A link that never fails a chain; a missing element is no news.
template <class Kind>
struct Optional {
    Kind kind;
    template <class Policy, class M>
    bool read(const Policy& policy, const TiXmlHandle& holder, const char* element, M& member) const
    {
        if (Policy::subElement(holder, element).ToElement())
            kind.read(policy, holder, element, member);
        return true;
    }
};
template <class Kind>
constexpr Optional<Kind> optional(Kind kind)
{
    return {kind};
}

} // namespace document
