// What the host application sees of its model store: counts, a JSON dump
// and a way to start over. Only hostsim and the tests use this. With
// STORE_LOG=FILE in the environment every AddData appends a line to FILE.
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

// How the dump is laid out: all on one line, or one line per table name
// and per record (so that two dumps diff well). Both hold the same JSON.
enum class JsonLayout { OneLine, RecordPerLine };

// The value of the dump's first member, "format", by which hostsim knows
// a file it may overwrite as one of its own dumps.
inline const char kDumpFormat[] = "dictimport-store-dump/1";

// Writes the whole store as one JSON document. Returns false when writing fails.
HOST_API bool writeJson(std::FILE* out, JsonLayout layout = JsonLayout::OneLine);

// AddData calls the tables have taken so far: records under a new key,
// and records that replaced one under the same key.
struct WriteCounts {
    long long added;
    long long replaced;
};
HOST_API WriteCounts writeCounts();

// Makes the n-th AddData from now on throw std::bad_alloc, as a store that
// runs out of memory would; 0 turns it off. For tests.
HOST_API void failAddDataAt(long long n);

// Empties every table.
HOST_API void clearStore();

} // namespace hoststore
