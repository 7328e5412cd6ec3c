// Reading a record's fields from its element, by the kinds its field list
// gives them (schema/): one reader per kind, `ReadKind<Kind>::read(policy,
// holder, element, member, kind)`, which looks the element up under
// `holder`, fills the member from it, and returns false when the element
// is missing.
//
// The walk's policy says how lists are read (every field on its own, or a
// chain that stops at the first missing element), how a sub-record's
// element is found, and who hears what was read: a reader tells the
// policy of a missing element (`missing`, with the element that should
// hold it), of the elements it goes into (`enter`, `leave`), asks it for
// an element's text (`text`) and hands it each text to convert (`assign`,
// with its element).
#pragma once

#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include <tinyxml.h>

#include "document/Conversions.h"
#include "document/Navigation.h"
#include "host/TableInterface.h"
#include "schema/Fields.h"

namespace document {

// The reader of a kind; one specialisation per kind below.
template <class Kind>
struct ReadKind;

template <class Policy, class R, class F>
bool readField(const Policy& policy, const TiXmlHandle& holder, R& record, const F& f)
{
    return ReadKind<std::decay_t<decltype(f.kind)>>::read(policy, holder, f.element, record.*f.member, f.kind);
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
struct ReadKind<schema::AsValue<M>> {
    template <class Policy>
    static bool read(const Policy& policy, const TiXmlHandle& holder, const char* element, M& member,
                     const schema::AsValue<M>& = {})
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

// <field><Wrapper><Value>key</Value></Wrapper></field>. A missing wrapper,
// "Value" or text leaves the key as it was.
template <>
struct ReadKind<schema::KeyRef> {
    template <class Policy>
    static bool read(const Policy& policy, const TiXmlHandle& holder, const char* element, int& member,
                     const schema::KeyRef& kind)
    {
        TiXmlHandle e = firstChild(holder, element);
        if (!e.ToElement()) {
            policy.missing(holder.ToElement(), element);
            return false;
        }
        Entered<Policy> inField(policy, element);
        TiXmlHandle w = firstChild(e, kind.wrapper);
        if (!w.ToElement()) {
            policy.missing(e.ToElement(), kind.wrapper);
            return true;
        }
        Entered<Policy> inWrapper(policy, kind.wrapper);
        ReadKind<schema::AsValue<int>>::read(policy, w, "Value", member);
        return true;
    }
};

template <>
struct ReadKind<schema::AsIntsFromDoubles> {
    template <class Policy, std::size_t N>
    static bool read(const Policy& policy, const TiXmlHandle& holder, const char* element, int (&member)[N],
                     const schema::AsIntsFromDoubles&)
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

// A sub-record from its element, found by the walk's policy; only the
// first `Links` fields are read.
template <class List, std::size_t Links>
struct ReadKind<schema::SubRecord<List, Links>> {
    template <class Policy, class M>
    static bool read(const Policy& policy, const TiXmlHandle& holder, const char* element, M& member,
                     const schema::SubRecord<List, Links>& kind)
    {
        return readAt(policy, holder, Policy::subElement(holder, element), element, member, kind);
    }
    // `e` is the sub-record's element, found under `holder`.
    template <class Policy, class M>
    static bool readAt(const Policy& policy, const TiXmlHandle& holder, const TiXmlHandle& e, const char* element,
                       M& member, const schema::SubRecord<List, Links>& kind)
    {
        if (!e.ToElement()) {
            policy.missing(holder.ToElement(), element);
            return false;
        }
        Entered<Policy> inSubRecord(policy, element);
        return policy.template readList<Links>(e, member, kind.list);
    }
};

// The i-th sub-record of an array from the i-th element of the name.
template <class List>
struct ReadKind<schema::SubRecords<List>> {
    template <class Policy, class M, std::size_t N>
    static bool read(const Policy& policy, const TiXmlHandle& holder, const char* element, M (&members)[N],
                     const schema::SubRecords<List>& kind)
    {
        for (std::size_t i = 0; i < N; ++i)
            if (!ReadKind<schema::SubRecord<List>>::readAt(policy, holder,
                                                           Policy::subElement(holder, element, static_cast<int>(i)),
                                                           element, members[i], kind.each))
                return false;
        return true;
    }
};

template <class V>
struct ReadKind<schema::EntryList<V>> {
    template <class Policy>
    static void readEntries(const Policy& policy, const TiXmlHandle& list, TableInterface<int, V>* target,
                            const schema::EntryList<V>& kind)
    {
        V value = V();
        int position = 0;
        for (TiXmlElement* entry = Policy::subElement(list, kind.first).ToElement(); entry;
             entry = entry->NextSiblingElement()) {
            const TiXmlElement* source =
                kind.valueChild ? firstChild(TiXmlHandle(entry), kind.valueChild).ToElement() : entry;
            if (const char* text = source ? policy.text(source) : nullptr)
                policy.assign(entry, text, value);
            if (kind.keys == schema::EntryKeys::Position) {
                target->AddData(position, value);
                ++position;
            } else {
                int key = static_cast<int>(value);
                target->AddData(key, value);
            }
        }
    }

    template <class Policy, class L>
    static bool read(const Policy& policy, const TiXmlHandle& holder, const char* element, L* const& member,
                     const schema::EntryList<V>& kind)
    {
        TiXmlHandle list = Policy::subElement(holder, element);
        if (!list.ToElement()) {
            policy.missing(holder.ToElement(), element);
            return false;
        }
        Entered<Policy> inList(policy, element);
        readEntries(policy, list, member, kind);
        return true;
    }
};

// Each entry under its position.
template <class List>
struct ReadKind<schema::RecordList<List>> {
    template <class Policy, class R>
    static bool read(const Policy& policy, const TiXmlHandle& holder, const char* element,
                     TableInterface<int, R>* const& member, const schema::RecordList<List>& kind)
    {
        TiXmlHandle e = Policy::subElement(holder, element);
        if (!e.ToElement()) {
            policy.missing(holder.ToElement(), element);
            return false;
        }
        Entered<Policy> inList(policy, element);
        int position = 0;
        for (TiXmlElement* entry = Policy::subElement(e, kind.first).ToElement(); entry;
             entry = entry->NextSiblingElement()) {
            R record;
            Entered<Policy> inEntry(policy, entry->Value());
            policy.template readList<std::tuple_size_v<List>>(TiXmlHandle(entry), record, kind.list);
            member->AddData(position, record);
            ++position;
        }
        return true;
    }
};

template <class Kind>
struct ReadKind<schema::Optional<Kind>> {
    template <class Policy, class M>
    static bool read(const Policy& policy, const TiXmlHandle& holder, const char* element, M& member,
                     const schema::Optional<Kind>& kind)
    {
        if (Policy::subElement(holder, element).ToElement())
            ReadKind<Kind>::read(policy, holder, element, member, kind.kind);
        return true;
    }
};

} // namespace document
