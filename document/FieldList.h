// A record's fields as a list: element name, member and conversion, one
// entry per member, in member order. readFields walks such a list.
#pragma once

#include <tuple>

#include <tinyxml.h>

#include "document/FieldReaders.h"

namespace document {

template <class R, class M, class Convert>
struct Field {
    const char* element;
    M R::*member;
    Convert convert; // called with the field's element and the member
};

template <class R, class M, class Convert>
constexpr Field<R, M, Convert> field(const char* element, M R::*member, Convert convert)
{
    return {element, member, convert};
}

template <class... F>
constexpr auto fieldList(F... fields)
{
    return std::make_tuple(fields...);
}

// Reads every field on its own from the first child of its name under
// `holder`; a missing element leaves its member as it was.
template <class R, class List>
void readFields(const TiXmlHandle& holder, R& record, const List& list)
{
    std::apply([&](const auto&... f) { (f.convert(firstChild(holder, f.element), record.*f.member), ...); },
               list);
}

// Conversions of a field's own text.
struct AsInt {
    void operator()(const TiXmlHandle& e, int& m) const { readInt(textOf(e), m); }
};
struct AsReal {
    void operator()(const TiXmlHandle& e, double& m) const { readReal(textOf(e), m); }
};
struct AsText {
    void operator()(const TiXmlHandle& e, std::string& m) const { readText(textOf(e), m); }
};
struct AsFlag {
    void operator()(const TiXmlHandle& e, bool& m) const { readFlag(textOf(e), m); }
};
constexpr AsInt asInt{};
constexpr AsReal asReal{};
constexpr AsText asText{};
constexpr AsFlag asFlag{};

// A keyed reference held in the named wrapper element.
struct KeyRef {
    const char* wrapper;
    void operator()(const TiXmlHandle& e, int& m) const { readKeyRef(e, wrapper, m); }
};
constexpr KeyRef keyRef(const char* wrapper)
{
    return {wrapper};
}

// Integers from the 1st, 2nd, ... child element named "double".
struct AsIntsFromDoubles {
    template <std::size_t N>
    void operator()(const TiXmlHandle& e, int (&m)[N]) const
    {
        TiXmlHandle holder(e.ToElement());
        for (std::size_t i = 0; i < N; ++i)
            readInt(textOf(holder.ChildElement("double", static_cast<int>(i))), m[i]);
    }
};
constexpr AsIntsFromDoubles asIntsFromDoubles{};

// A sub-record or a list, read by the given reader.
template <class Reader>
struct By {
    Reader read;
    template <class M>
    void operator()(const TiXmlHandle& e, M& m) const { read(e, m); }
};
template <class Reader>
constexpr By<Reader> by(Reader read)
{
    return {read};
}

} // namespace document
