// The store's tables as the comparison numbers them: model tables then
// design tables, in store order, from the store's own named lists.
#pragma once

#include <string_view>
#include <tuple>

#include "hostsim/store/Tables.h"

namespace dictdiff {

inline constexpr auto kModelTables = hoststore::modelTables<hoststore::StoreRows>();
inline constexpr auto kDesignTables = hoststore::designTables<hoststore::StoreRows>();
inline constexpr int kModelTableCount = static_cast<int>(std::tuple_size_v<decltype(kModelTables)>);
inline constexpr int kTableCount =
    kModelTableCount + static_cast<int>(std::tuple_size_v<decltype(kDesignTables)>);

// Calls f(id, section, table) for every table; `table` is a NamedTable
// whose member pointer reaches its rows in a StoreRows.
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
int tableId(std::string_view name);

// The id of the table a key element ("S_Node_K") refers to; -1 when it
// names none.
int tableOfKeyElement(const char* element);

} // namespace dictdiff
