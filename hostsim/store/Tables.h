// The store's tables as one set, once: the store keeps its live tables in
// it, and a command that compares two imports takes the rows out into a
// set of plain maps (takeRows) before the next import fills the store
// again. The tables are the sections' registries' tables, model tables
// then design tables, in registry order, under the registry's store name;
// generic code walks the named lists.
#pragma once

#include <cstddef>
#include <map>
#include <tuple>
#include <utility>

#include "host/DesignRecords.h"
#include "host/HostApi.h"
#include "host/ModelRecords.h"
#include "schema/DesignSchema.h"
#include "schema/ModelSchema.h"

namespace hoststore {

// One table of each entry of a registry, in its order.
template <template <class> class Table, class Registry>
struct TablesOfRegistry;
template <template <class> class Table, class... Entries>
struct TablesOfRegistry<Table, std::tuple<Entries...>> {
    using type = std::tuple<Table<typename Entries::Record>...>;
};

template <template <class> class Table>
struct TableSet {
    typename TablesOfRegistry<Table, std::decay_t<decltype(building_modelDB::fields::kTables)>>::type model;
    typename TablesOfRegistry<Table, std::decay_t<decltype(building_designDB::fields::kTables)>>::type design;
    // The host's second wall design table, which no import writes to.
    Table<building_designDB::S_RcDesignWall_D> RcDesignWallReserved;

    // The table of records R.
    template <class R>
    Table<R>& of()
    {
        if constexpr (holds<R>(building_modelDB::fields::kTables))
            return std::get<Table<R>>(model);
        else
            return std::get<Table<R>>(design);
    }
    template <class R>
    const Table<R>& of() const
    {
        return const_cast<TableSet*>(this)->template of<R>();
    }

private:
    template <class R, class Registry>
    static constexpr bool holds(const Registry&)
    {
        constexpr std::size_t size = std::tuple_size_v<Registry>;
        return schema::indexOfRecord<R, Registry>(std::make_index_sequence<size>()) < size;
    }
};

// A table of a set under the store's name for it; `of(set)` is that table.
template <class R>
struct NamedTable {
    using Record = R;
    const char* name;
    template <class Set>
    auto& of(Set& set) const
    {
        return set.template of<R>();
    }
};

template <class Registry>
constexpr auto namedTables(const Registry& registry)
{
    return std::apply(
        [](const auto&... entry) {
            return std::make_tuple(NamedTable<typename std::decay_t<decltype(entry)>::Record>{entry.displayName}...);
        },
        registry);
}

inline constexpr auto kModelTables = namedTables(building_modelDB::fields::kTables);
inline constexpr auto kDesignTables = namedTables(building_designDB::fields::kTables);

template <class Tuple, class F>
void forEachTable(const Tuple& list, F&& f)
{
    std::apply([&](const auto&... t) { (f(t), ...); }, list);
}

// The rows of a table taken out of the store: key to record, ascending.
template <class R>
using Rows = std::map<int, R>;
using StoreRows = TableSet<Rows>;

// Moves every table's rows out of the store into the returned set, leaving
// the store empty. Nothing is copied: taking the rows costs no memory, and
// the next import fills the store again from nothing.
HOST_API StoreRows takeRows();

} // namespace hoststore
