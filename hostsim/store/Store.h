// What the host application sees of its model store: counts, a JSON dump
// and a way to start over. Only hostsim and the tests use this.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "host/HostApi.h"

namespace hoststore {

struct TableCount {
    std::string section; // "model" or "design"
    std::string table;   // record name without S_ and _D
    long long records;
};

// Records per table, model tables then design tables, in store order.
HOST_API std::vector<TableCount> countRecords();

// Writes the whole store as one JSON document. Returns false when writing fails.
HOST_API bool writeJson(std::FILE* out);

// Empties every table.
HOST_API void clearStore();

} // namespace hoststore
