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

// What a generated file carries after its XML declaration, on the same
// line, by which modelgen knows a file it may replace as one it wrote.
inline const char kModelFormat[] = "<!-- format: dictimport-model/1, written by modelgen -->";

// Streams the whole file; returns the number of bytes written, or -1 when
// writing failed. With a null stream it only counts the bytes.
long long writeModel(const BuildingShape& shape, std::FILE* out);

// The most storeys a model may have.
constexpr int kMaxStoreys = 1000000;

// File sizes of a grid: the bytes of its one-storey model, and what each
// further storey adds (near enough: coordinates vary in length).
struct SizeSteps {
    long long oneStorey, perStorey;
};
SizeSteps sizeSteps(BuildingShape shape);

// The number of storeys, from 1 to kMaxStoreys, that brings a file of this
// grid (or of these size steps) closest to `bytes`.
int storeysForSize(const BuildingShape& shape, long long bytes);
int storeysForSize(const SizeSteps& steps, long long bytes);

} // namespace modelgen
