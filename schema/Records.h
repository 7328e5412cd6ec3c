// Any record or sub-record's field list, found by its type among both
// sections' tables and the sub-records their fields hold: what the store,
// the comparison and the generator walk to see a record member by member.
#pragma once

#include <tuple>
#include <type_traits>

#include "schema/DesignSchema.h"
#include "schema/Fields.h"
#include "schema/ModelSchema.h"

namespace schema {

template <class R, class List>
constexpr auto listsOf(const List& list);

template <class R, class Kind>
constexpr auto listsIn(const Kind& kind)
{
    if constexpr (HoldsSubRecords<Kind>::value)
        return listsOf<R>(subFields(kind));
    else
        return std::tuple<>();
}

// The lists of record R: `list` itself when it describes R, then those
// its fields' sub-records hold, in field order.
template <class R, class List>
constexpr auto listsOf(const List& list)
{
    auto held = std::apply([](const auto&... f) { return std::tuple_cat(listsIn<R>(f.kind)...); }, list);
    if constexpr (std::is_same_v<RecordOf<List>, R>)
        return std::tuple_cat(std::make_tuple(list), held);
    else
        return held;
}

template <class R, class Registry>
constexpr auto listsInTables(const Registry& registry)
{
    return std::apply([](const auto&... entry) { return std::tuple_cat(listsOf<R>(entry.fields)...); }, registry);
}

template <class R>
constexpr auto allListsOf()
{
    return std::tuple_cat(listsInTables<R>(building_modelDB::fields::kTables),
                          listsInTables<R>(building_designDB::fields::kTables));
}

// Whether R is a record or sub-record of either section.
template <class R>
constexpr bool isDescribed = std::tuple_size_v<decltype(allListsOf<R>())> > 0;

// The field list of record R (every list of it is the same list).
template <class R>
struct Described {
    static_assert(isDescribed<R>, "no table of either section holds these records");
    static constexpr auto fields = std::get<0>(allListsOf<R>());
};

// Calls f(field) for every field of record R, in member order.
template <class R, class F>
constexpr void forEachMember(F&& f)
{
    forEachField(Described<R>::fields, f);
}

} // namespace schema
