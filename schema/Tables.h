// A section's tables as inert data: per table its name in the file, the
// field list of its rows, the host table its records go to, the name
// people know it by (the store's name of the table), and the progress
// steps it takes. The import order is the order of the list; every layer
// that lists tables walks the same list.
#pragma once

#include <cstddef>
#include <tuple>
#include <type_traits>
#include <utility>

#include "host/TableInterface.h"
#include "schema/Fields.h"

namespace schema {

template <class Store, class R, class List>
struct TableEntry {
    using Record = R;
    const char* name;                       // the table's name in its section
    List fields;                            // of its rows' records
    TableInterface<int, R>* Store::*table;  // the host table its rows go to
    const char* displayName;                // the store's name of that table
    int steps;                              // progress steps announced before its reader runs
};

// The host table's records must be the records the field list fills: a
// list paired with another record's table does not compile.
template <class Store, class R, class List>
constexpr TableEntry<Store, R, List> tableEntry(const char* name, const List& fields,
                                                TableInterface<int, R>* Store::*table, const char* displayName,
                                                int steps = 1)
{
    static_assert(std::is_same_v<R, RecordOf<List>>, "the field list and the host table hold different records");
    return {name, fields, table, displayName, steps};
}

template <class... Entries>
constexpr auto tableRegistry(Entries... entries)
{
    return std::make_tuple(entries...);
}

template <class Registry, class F>
void forEachTable(const Registry& registry, F&& f)
{
    std::apply([&](const auto&... entry) { (f(entry), ...); }, registry);
}

// The progress steps of a section: its tables' steps together.
template <class Registry>
constexpr int stepCount(const Registry& registry)
{
    return std::apply([](const auto&... entry) { return (0 + ... + entry.steps); }, registry);
}

template <class Registry>
constexpr std::size_t tableCount(const Registry&)
{
    return std::tuple_size_v<Registry>;
}

template <class R, class Registry, std::size_t... I>
constexpr std::size_t indexOfRecord(std::index_sequence<I...>)
{
    std::size_t index = sizeof...(I);
    (void)((std::is_same_v<R, typename std::tuple_element_t<I, Registry>::Record> ? (index = I, true) : false) ||
           ...);
    return index;
}

// The entry whose records are of type R.
template <class R, class Registry>
constexpr const auto& entryOf(const Registry& registry)
{
    constexpr std::size_t size = std::tuple_size_v<Registry>;
    constexpr std::size_t index = indexOfRecord<R, Registry>(std::make_index_sequence<size>());
    static_assert(index < size, "no table of the section holds these records");
    return std::get<index>(registry);
}

} // namespace schema
