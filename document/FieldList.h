// A record's fields as a list: element name, member and kind, one entry
// per member, in member order. Generic folds read a list; a walk's policy
// says how (every field on its own, or a chain that stops at the first
// missing element) and how a sub-record's element is found.
//
// A kind reads one field: `kind.read<Policy>(holder, element, member)`
// looks the element up under `holder`, fills the member from it, and
// returns false when the element is missing.
#pragma once

#include <tuple>
#include <utility>

#include <tinyxml.h>

#include "document/FieldReaders.h"

namespace document {

template <class R, class M, class Kind>
struct Field {
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

template <class Policy, class R, class F>
bool readField(const TiXmlHandle& holder, R& record, const F& f)
{
    return f.kind.template read<Policy>(holder, f.element, record.*f.member);
}

// Every field on its own: a missing element leaves its member as it was.
// Always true.
template <class Policy, class R, class List>
bool readEach(const TiXmlHandle& holder, R& record, const List& list)
{
    std::apply([&](const auto&... f) { (readField<Policy>(holder, record, f), ...); }, list);
    return true;
}

template <class Policy, class R, class List, std::size_t... I>
bool readLinks(const TiXmlHandle& holder, R& record, const List& list, std::index_sequence<I...>)
{
    return (readField<Policy>(holder, record, std::get<I>(list)) && ...);
}

// The first N fields as a chain: stops at the first missing element and
// returns false; fields read before it keep what they received.
template <class Policy, std::size_t N, class R, class List>
bool readChainOf(const TiXmlHandle& holder, R& record, const List& list)
{
    return readLinks<Policy>(holder, record, list, std::make_index_sequence<N>());
}

template <class Policy, class R, class List>
bool readChain(const TiXmlHandle& holder, R& record, const List& list)
{
    return readChainOf<Policy, std::tuple_size_v<List>>(holder, record, list);
}

// The element's own text, converted.
template <class M, bool (*Convert)(const char*, M&)>
struct AsText {
    template <class Policy>
    bool read(const TiXmlHandle& holder, const char* element, M& member) const
    {
        const TiXmlElement* e = firstChild(holder, element).ToElement();
        if (!e)
            return false;
        Convert(e->GetText(), member);
        return true;
    }
};

constexpr AsText<int, readInt> asInt{};
constexpr AsText<double, readReal> asReal{};
constexpr AsText<std::string, readText> asText{};
constexpr AsText<bool, readFlag> asFlag{};

// A keyed reference held in the named wrapper element.
struct KeyRef {
    const char* wrapper;
    template <class Policy>
    bool read(const TiXmlHandle& holder, const char* element, int& member) const
    {
        TiXmlHandle e = firstChild(holder, element);
        readKeyRef(e, wrapper, member);
        return e.ToElement() != nullptr;
    }
};
constexpr KeyRef keyRef(const char* wrapper)
{
    return {wrapper};
}

// Integers from the 1st, 2nd, ... child element named "double".
struct AsIntsFromDoubles {
    template <class Policy, std::size_t N>
    bool read(const TiXmlHandle& holder, const char* element, int (&member)[N]) const
    {
        TiXmlHandle e(firstChild(holder, element).ToElement());
        for (std::size_t i = 0; i < N; ++i)
            readInt(textOf(e.ChildElement("double", static_cast<int>(i))), member[i]);
        return e.ToElement() != nullptr;
    }
};
constexpr AsIntsFromDoubles asIntsFromDoubles{};

// A sub-record: its own list, read from its element by the walk's policy.
template <class List, std::size_t Links = std::tuple_size_v<List>>
struct SubRecord {
    List list;
    template <class Policy, class M>
    bool read(const TiXmlHandle& holder, const char* element, M& member) const
    {
        return Policy::template readList<Links>(Policy::subElement(holder, element), member, list);
    }
};
template <class List>
constexpr SubRecord<List> subRecord(const List& list)
{
    return {list};
}
// Only the first `Links` fields of the sub-record are read; the others
// keep their values.
template <std::size_t Links, class List>
constexpr SubRecord<List, Links> subRecordUpTo(const List& list)
{
    return {list};
}

// An array of sub-records, the i-th read from the i-th element of the name.
template <class List>
struct SubRecords {
    List list;
    template <class Policy, class M, std::size_t N>
    bool read(const TiXmlHandle& holder, const char* element, M (&members)[N]) const
    {
        for (std::size_t i = 0; i < N; ++i)
            if (!Policy::template readList<std::tuple_size_v<List>>(
                    Policy::subElement(holder, element, static_cast<int>(i)), members[i], list))
                return false;
        return true;
    }
};
template <class List>
constexpr SubRecords<List> subRecords(const List& list)
{
    return {list};
}

// A list held by the record, filled by the given reader from its element.
template <class Reader>
struct By {
    Reader reader;
    template <class Policy, class M>
    bool read(const TiXmlHandle& holder, const char* element, M& member) const
    {
        TiXmlHandle e = Policy::subElement(holder, element);
        reader(e, member);
        return e.ToElement() != nullptr;
    }
};
template <class Reader>
constexpr By<Reader> by(Reader reader)
{
    return {reader};
}

// A link that never fails a chain, whether its element is there or not.
template <class Kind>
struct Optional {
    Kind kind;
    template <class Policy, class M>
    bool read(const TiXmlHandle& holder, const char* element, M& member) const
    {
        kind.template read<Policy>(holder, element, member);
        return true;
    }
};
template <class Kind>
constexpr Optional<Kind> optional(Kind kind)
{
    return {kind};
}

} // namespace document
