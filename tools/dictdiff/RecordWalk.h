// A record's members as the comparison walks them: its field list gives
// each member's name and value, and tells what a member holds beyond its
// type: which table an integer key or a key list refers to (the wrapper
// element "S_Node_K" names the store's table "Node"), whether a key list
// is a set or a sequence, and the field list of a sub-record.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>
#include <tuple>
#include <type_traits>
#include <utility>

#include "keylists/KeyListImpls.h"
#include "schema/Records.h"

namespace dictdiff {

// The field list of a record's table or sub-record.
template <class R>
constexpr const auto& fieldsOf()
{
    return schema::Described<R>::fields;
}

// Calls f(field, kind) for every field of the list, in member order.
template <class Fields, class F>
void forEachMemberKind(const Fields& fields, F&& f)
{
    schema::forEachField(fields, [&](const auto& field) { f(field, field.kind); });
}

// The wrapper or entry element of a keyed member ("S_Node_K"), or null
// for a member that holds no keys.
template <class K>
const char* keyElement(const K&)
{
    return nullptr;
}
inline const char* keyElement(const schema::KeyRef& kind)
{
    return kind.wrapper;
}
inline const char* keyElement(const schema::EntryList<int>& kind)
{
    return kind.first;
}
template <class K>
const char* keyElement(const schema::Optional<K>& kind)
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
bool isSet(const schema::EntryList<V>& kind)
{
    return kind.keys == schema::EntryKeys::Value;
}
template <class K>
bool isSet(const schema::Optional<K>& kind)
{
    return isSet(kind.kind);
}

using schema::subFields;

// A member that is itself a described record.
template <class M>
constexpr bool isSubRecord = schema::isDescribed<M>;

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
    forEachMemberKind(fields, [&](const auto& member, const auto& kind) {
        referencesIn(record.*member.member, kind, f);
    });
}

} // namespace dictdiff
