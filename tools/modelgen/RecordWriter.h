// Writing host records as the file holds them, by the kinds their field
// lists give their members (schema/): one writer per kind, the inverse of
// the plug-in's readers (document/FieldRead.h). A row is its record's
// fields in member order; a generator fills a record and leaves what it
// does not set as the record's constructor made it (0, 0.0, "", false, an
// empty list), so a field added to a list is written without a line here.
//
// The generators fill the host's own records rather than calling back per
// field: a record is the one place a row's values meet, hand-written
// geometry sets the members it needs by name, and the record's
// constructor gives every other member its kind's default. The records'
// constructors are the store stand-in's (hoststore), linked only.
#pragma once

#include <cstddef>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "host/TableInterface.h"
#include "schema/Fields.h"
#include "schema/Records.h"
#include "tools/modelgen/XmlOut.h"

namespace modelgen {

// A value as the file holds it: whole numbers as they are, reals with six
// significant digits, flags as 1 or 0, texts escaped.
inline void writeValue(XmlOut& x, int value)
{
    x.format("%d", value);
}
inline void writeValue(XmlOut& x, double value)
{
    x.format("%.6g", value);
}
inline void writeValue(XmlOut& x, bool value)
{
    x.put(value ? "1" : "0", 1);
}
inline void writeValue(XmlOut& x, const std::string& value)
{
    x.escaped(value);
}

// The entries of a host list in key order: f(key, value).
template <class V, class F>
void forEachEntry(TableInterface<int, V>* list, F&& f)
{
    int size = list ? list->GetSize() : 0;
    if (size <= 0)
        return;
    std::vector<int> keys(static_cast<std::size_t>(size));
    std::vector<V> values(static_cast<std::size_t>(size));
    if (!list->GetKeys(keys.data(), size) || !list->GetData(values.data(), size))
        return;
    for (std::size_t i = 0; i < keys.size(); ++i)
        f(keys[i], values[i]);
}

template <class Kind>
struct WriteKind;

template <class R, class F>
void writeField(XmlOut& x, const R& record, const F& f)
{
    WriteKind<std::decay_t<decltype(f.kind)>>::write(x, f.element, record.*f.member, f.kind);
}

template <class R, class List, std::size_t... I>
void writeFieldsAt(XmlOut& x, const R& record, const List& list, std::index_sequence<I...>)
{
    (writeField(x, record, std::get<I>(list)), ...);
}

// The first `Links` fields of the record, in member order.
template <std::size_t Links, class R, class List>
void writeFieldsUpTo(XmlOut& x, const R& record, const List& list)
{
    writeFieldsAt(x, record, list, std::make_index_sequence<Links>());
}

template <class R, class List>
void writeFields(XmlOut& x, const R& record, const List& list)
{
    writeFieldsUpTo<std::tuple_size_v<List>>(x, record, list);
}

// A table of a section and a row of a table, as the file frames them:
// <Pair><Key>table</Key><Value><Pairs> rows </Pairs></Value></Pair>, and
// <Pair><Key><Value>key</Value></Key><Value> fields </Value></Pair>.
inline void beginTable(XmlOut& x, const char* name)
{
    x.raw("<Pair><Key>");
    x.raw(name);
    x.raw("</Key><Value><Pairs>\n");
}
inline void endTable(XmlOut& x)
{
    x.raw("</Pairs></Value></Pair>\n");
}
// `key` as the key's text, which may be empty.
inline void beginRow(XmlOut& x, const char* key)
{
    x.raw("<Pair><Key><Value>");
    x.raw(key);
    x.raw("</Value></Key><Value>");
}
inline void beginRow(XmlOut& x, long long key)
{
    char text[24];
    std::snprintf(text, sizeof text, "%lld", key);
    beginRow(x, text);
}
inline void endRow(XmlOut& x)
{
    x.raw("</Value></Pair>\n");
}

// <field>value</field>
template <class M>
struct WriteKind<schema::AsValue<M>> {
    static void write(XmlOut& x, const char* element, const M& member, const schema::AsValue<M>&)
    {
        x.open(element);
        writeValue(x, member);
        x.close(element);
    }
};

// <field><Wrapper><Value>key</Value></Wrapper></field>
template <>
struct WriteKind<schema::KeyRef> {
    static void write(XmlOut& x, const char* element, int member, const schema::KeyRef& kind)
    {
        x.open(element);
        x.open(kind.wrapper);
        x.open("Value");
        writeValue(x, member);
        x.close("Value");
        x.close(kind.wrapper);
        x.close(element);
    }
};

// <field><double>n</double>...</field>, one per integer.
template <>
struct WriteKind<schema::AsIntsFromDoubles> {
    template <std::size_t N>
    static void write(XmlOut& x, const char* element, const int (&member)[N], const schema::AsIntsFromDoubles&)
    {
        x.open(element);
        for (int value : member) {
            x.open("double");
            writeValue(x, value);
            x.close("double");
        }
        x.close(element);
    }
};

// <field>, its first `Links` fields, </field>.
template <class List, std::size_t Links>
struct WriteKind<schema::SubRecord<List, Links>> {
    template <class M>
    static void write(XmlOut& x, const char* element, const M& member, const schema::SubRecord<List, Links>& kind)
    {
        x.open(element);
        writeFieldsUpTo<Links>(x, member, kind.list);
        x.close(element);
    }
};

// One element of the name per sub-record of the array.
template <class List>
struct WriteKind<schema::SubRecords<List>> {
    template <class M, std::size_t N>
    static void write(XmlOut& x, const char* element, const M (&members)[N], const schema::SubRecords<List>& kind)
    {
        for (const M& member : members)
            WriteKind<schema::SubRecord<List>>::write(x, element, member, kind.each);
    }
};

// <field><first><Value>v</Value></first>...</field>, or <first>v</first>
// without a value child; every entry under the first entry's name.
template <class V>
struct WriteKind<schema::EntryList<V>> {
    template <class L>
    static void write(XmlOut& x, const char* element, L* const& member, const schema::EntryList<V>& kind)
    {
        x.open(element);
        forEachEntry<V>(member, [&](int, const V& value) {
            x.open(kind.first);
            if (kind.valueChild)
                x.open(kind.valueChild);
            writeValue(x, value);
            if (kind.valueChild)
                x.close(kind.valueChild);
            x.close(kind.first);
        });
        x.close(element);
    }
};

// <field><first>fields</first>...</field>
template <class List>
struct WriteKind<schema::RecordList<List>> {
    template <class R>
    static void write(XmlOut& x, const char* element, TableInterface<int, R>* const& member,
                      const schema::RecordList<List>& kind)
    {
        x.open(element);
        forEachEntry<R>(member, [&](int, const R& record) {
            x.open(kind.first);
            writeFields(x, record, kind.list);
            x.close(kind.first);
        });
        x.close(element);
    }
};

// Left out when it holds nothing: reading it back gives the same.
template <class Kind>
struct WriteKind<schema::Optional<Kind>> {
    template <class M>
    static void write(XmlOut& x, const char* element, const M& member, const schema::Optional<Kind>& kind)
    {
        if constexpr (std::is_pointer_v<M>)
            if (!member || member->GetSize() <= 0)
                return;
        WriteKind<Kind>::write(x, element, member, kind.kind);
    }
};

// Calls f(field) with the field of record R's list that describes `member`.
template <class R, class M, class F>
void withField(M R::*member, F&& f)
{
    bool found = false;
    schema::forEachMember<R>([&](const auto& field) {
        if constexpr (std::is_same_v<std::decay_t<decltype(field.member)>, M R::*>)
            if (!found && field.member == member) {
                found = true;
                f(field);
            }
    });
}

// The element that holds a member in the file.
template <class R, class M>
const char* elementOf(M R::*member)
{
    const char* element = nullptr;
    withField(member, [&](const auto& field) { element = field.element; });
    return element;
}

// Adds values to a list member as its kind keys them: by position after
// the entries it holds, or each under its own value.
template <class V, class L, class T>
void addEntries(L* list, const std::vector<T>& values, const schema::EntryList<V>& kind)
{
    int position = list->GetSize();
    for (const T& each : values) {
        V value = static_cast<V>(each);
        int key = kind.keys == schema::EntryKeys::Position ? position++ : static_cast<int>(value);
        list->AddData(key, value);
    }
}

template <class V, class L, class T>
void addEntries(L* list, const std::vector<T>& values, const schema::Optional<schema::EntryList<V>>& kind)
{
    addEntries(list, values, kind.kind);
}

template <class List, class R>
void addEntries(TableInterface<int, R>* list, std::vector<R> records, const schema::RecordList<List>&)
{
    int position = list->GetSize();
    for (R& record : records)
        list->AddData(position++, record);
}

// Adds values to the list a record's member holds, keyed as the file's
// reader keys them.
template <class R, class L, class T>
void addEntries(R& record, L* R::*member, const std::vector<T>& values)
{
    withField(member, [&](const auto& field) { addEntries(record.*member, values, field.kind); });
}

// The registry entry of the table whose rows are records of type R, in
// whichever section holds it.
template <class R, class Registry>
constexpr bool holdsTable(const Registry&)
{
    constexpr std::size_t size = std::tuple_size_v<Registry>;
    return schema::indexOfRecord<R, Registry>(std::make_index_sequence<size>()) < size;
}

template <class R>
constexpr const auto& tableOf()
{
    if constexpr (holdsTable<R>(building_modelDB::fields::kTables))
        return schema::entryOf<R>(building_modelDB::fields::kTables);
    else
        return schema::entryOf<R>(building_designDB::fields::kTables);
}

} // namespace modelgen
