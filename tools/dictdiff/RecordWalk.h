// A record's members as the comparison walks them: the store's member list
// (hostsim/store/Members.h) gives each member's name and value, and the
// reader's field list of the same record, which agrees with it member for
// member (tests/field_lists_check.cpp), tells what a member holds beyond
// its type: which table an integer key or a key list refers to (the
// wrapper element "S_Node_K" names the store's table "Node"), whether a
// key list is a set or a sequence, and the field list of a sub-record.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>
#include <tuple>
#include <type_traits>
#include <utility>

#include "design/DesignFields.h"
#include "document/FieldList.h"
#include "document/TableRegistry.h"
#include "hostsim/store/Members.h"
#include "keylists/KeyListImpls.h"
#include "model/ModelFields.h"

namespace dictdiff {

template <class R, class Registry>
constexpr bool holdsRecord(const Registry&)
{
    constexpr std::size_t size = std::tuple_size_v<Registry>;
    return document::indexOfRecord<R, Registry>(std::make_index_sequence<size>()) < size;
}

// The field list of a table's records, from the model or design registry.
template <class R>
const auto& fieldsOf()
{
    if constexpr (holdsRecord<R>(building_modelDB::fields::kTables))
        return document::entryOf<R>(building_modelDB::fields::kTables).fields;
    else
        return document::entryOf<R>(building_designDB::fields::kTables).fields;
}

template <class R, class Fields, class F, std::size_t... I>
void zipMembers(const Fields& fields, F& f, std::index_sequence<I...>)
{
    (f(std::get<I>(hoststore::Members<R>::members), std::get<I>(fields).kind), ...);
}

// Calls f(member, kind) for every member of R in member order: `member`
// from the store's list (name, pointer), `kind` from the field list.
template <class R, class Fields, class F>
void forEachMemberKind(const Fields& fields, F&& f)
{
    constexpr std::size_t size = std::tuple_size_v<std::decay_t<decltype(hoststore::Members<R>::members)>>;
    static_assert(std::tuple_size_v<Fields> == size, "the field list and the member list disagree");
    zipMembers<R>(fields, f, std::make_index_sequence<size>());
}

// The wrapper or entry element of a keyed member ("S_Node_K"), or null
// for a member that holds no keys.
template <class K>
const char* keyElement(const K&)
{
    return nullptr;
}
inline const char* keyElement(const document::KeyRef& kind)
{
    return kind.wrapper;
}
inline const char* keyElement(const document::EntryList<int>& kind)
{
    return kind.first;
}
template <class K>
const char* keyElement(const document::Optional<K>& kind)
{
    return keyElement(kind.kind);
}

// The store's name of the table a key element refers to: "S_Node_K"
// refers to "Node"; empty for an element of another form.
inline std::string_view referencedTable(const char* keyElement)
{
    std::string_view name = keyElement ? keyElement : "";
    if (name.size() <= 4 || name.substr(0, 2) != "S_" || name.substr(name.size() - 2) != "_K")
        return {};
    return name.substr(2, name.size() - 4);
}

// Whether a key list holds a set (keys are the values) rather than a
// sequence (keys are positions).
template <class K>
bool isSet(const K&)
{
    return false;
}
template <class V>
bool isSet(const document::EntryList<V>& kind)
{
    return kind.keys == document::EntryKeys::Value;
}
template <class K>
bool isSet(const document::Optional<K>& kind)
{
    return isSet(kind.kind);
}

// The field list of a sub-record member, of each of an array's
// sub-records, or of each entry of a list of sub-records.
template <class List, std::size_t Links>
const List& subFields(const document::SubRecord<List, Links>& kind)
{
    return kind.list;
}
template <class List>
const List& subFields(const document::SubRecords<List>& kind)
{
    return kind.each.list;
}
template <class List>
const List& subFields(const document::RecordList<List>& kind)
{
    return kind.list;
}
template <class K>
const auto& subFields(const document::Optional<K>& kind)
{
    return subFields(kind.kind);
}

// The type of the member a store's member entry describes.
template <class Entry>
struct MemberTypeOf;
template <class R, class M>
struct MemberTypeOf<hoststore::Member<R, M>> {
    using type = M;
};
template <class Entry>
using MemberType = typename MemberTypeOf<std::decay_t<Entry>>::type;

// A member that is itself a described record.
template <class M>
constexpr bool isSubRecord = hoststore::IsDescribed<M>::value;

template <class R, class Fields, class F>
void forEachReference(const R& record, const Fields& fields, F& f);

// The references one member holds, told as for forEachReference.
template <class M, class Kind, class F>
void referencesIn(const M& value, const Kind& kind, F& f)
{
    if constexpr (std::is_same_v<M, int>) {
        if (const char* element = keyElement(kind))
            f(element, &value, 1, false);
    } else if constexpr (std::is_pointer_v<M>) {
        const auto& entries = entriesOf(value);
        using V = typename std::decay_t<decltype(entries)>::mapped_type;
        if constexpr (std::is_same_v<V, int>) {
            if (const char* element = keyElement(kind)) {
                std::vector<int> keys;
                keys.reserve(entries.size());
                for (const auto& entry : entries)
                    keys.push_back(entry.second);
                f(element, keys.data(), keys.size(), isSet(kind));
            }
        } else if constexpr (isSubRecord<V>) {
            for (const auto& entry : entries)
                forEachReference(entry.second, subFields(kind), f);
        }
    } else if constexpr (std::is_array_v<M>) {
        if constexpr (isSubRecord<std::remove_extent_t<M>>)
            for (const auto& item : value)
                forEachReference(item, subFields(kind), f);
    } else if constexpr (isSubRecord<M>) {
        forEachReference(value, subFields(kind), f);
    }
}

// Calls f(element, keys, count, set) for every keyed member of the record
// and of its sub-records, in member order: `element` is the key element
// ("S_Floor_K"), `keys` the key or the list's keys in key order, `set`
// whether the list is a set.
template <class R, class Fields, class F>
void forEachReference(const R& record, const Fields& fields, F& f)
{
    forEachMemberKind<R>(fields, [&](const auto& member, const auto& kind) {
        referencesIn(record.*member.ptr, kind, f);
    });
}

} // namespace dictdiff
