// Writes a realistic building model in the dictionary format: a frame of
// S storeys on a grid of X by Y bays, with walls, slabs, materials and
// design results for every member, keys consistent across tables.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace modelgen {

struct BuildingShape {
    int storeys = 3;
    int baysX = 3;
    int baysY = 2;
    std::uint64_t seed = 1;
};

// Records each table receives for a building of this shape.
struct RecordCounts {
    long long floors, nodes, axes, elements, beams, columns, braces, walls, wallBeams, wallColumns, slabs;
};
RecordCounts countRecords(const BuildingShape& shape);

// Streams the whole file; returns the number of bytes written, or -1 when
// writing failed. With a null stream it only counts the bytes.
long long writeModel(const BuildingShape& shape, std::FILE* out);

// The number of storeys that brings a file of this grid closest to `bytes`.
int storeysForSize(BuildingShape shape, long long bytes);

} // namespace modelgen
