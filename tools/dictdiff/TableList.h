// The store's tables as the comparison numbers them: model tables then
// design tables, in store order, from the store's named lists.
#pragma once

#include <string_view>
#include <tuple>
#include <type_traits>

#include "hostsim/store/Tables.h"

namespace dictdiff {

using hoststore::kDesignTables;
using hoststore::kModelTables;
inline constexpr int kModelTableCount = static_cast<int>(std::tuple_size_v<decltype(kModelTables)>);
inline constexpr int kTableCount =
    kModelTableCount + static_cast<int>(std::tuple_size_v<decltype(kDesignTables)>);

template <class T>
using RecordOf = typename std::decay_t<T>::Record;

// Calls f(id, section, table) for every table; `table` is a NamedTable,
// whose `of` reaches its rows in a StoreRows.
template <class F>
void forEachTableOf(F&& f)
{
    int id = 0;
    hoststore::forEachTable(kModelTables, [&](const auto& t) { f(id++, "model", t); });
    hoststore::forEachTable(kDesignTables, [&](const auto& t) { f(id++, "design", t); });
}

// Calls f(table) for the table with this id.
template <class F>
void withTable(int id, F&& f)
{
    forEachTableOf([&](int i, const char*, const auto& t) {
        if (i == id)
            f(t);
    });
}

// The id of the table of this name; -1 when there is none.
constexpr int tableId(std::string_view name)
{
    int found = -1, id = 0;
    auto look = [&](const auto& t) {
        if (found < 0 && name == t.name)
            found = id;
        ++id;
    };
    std::apply([&](const auto&... t) { (look(t), ...); }, kModelTables);
    std::apply([&](const auto&... t) { (look(t), ...); }, kDesignTables);
    return found;
}

inline constexpr int kFloorTable = tableId("Floor");
inline constexpr int kNodeTable = tableId("Node");
static_assert(kFloorTable >= 0 && kNodeTable >= 0);

// The member table whose rows a design table's rows are keyed like:
// "Beam" for "RcDesignBeam"; -1 for a table of no member table.
int memberTableOf(int designTable);

// The id of the table a key element ("S_Node_K") refers to; -1 when it
// names none.
int tableOfKeyElement(const char* element);

} // namespace dictdiff
