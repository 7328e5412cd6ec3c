// Model sizes on the command line, shared by modelgen and importbench: a
// number with an optional unit in either case, the building that comes
// closest to it, and what to say when no building of the grid can.
#pragma once

#include <string>

#include <CLI/CLI.hpp>

#include "tools/modelgen/ModelWriter.h"

namespace modelgen {

// Turns "250K", "10m", "1G", "2.5MB" or "300000" into bytes (powers of
// 1000); a number without a unit counts in `bareUnit` ("B", "K", "M" or
// "G"). Sizes below 1 byte, and anything else, are refused with a message
// that quotes the text.
CLI::Validator sizeInBytes(const std::string& bareUnit = "B");

// The building of the grid's shape whose file comes closest to `bytes`,
// and whether it is near enough: false when even the one-storey building
// is larger, or the tallest one still half a storey smaller.
struct SizeFit {
    BuildingShape shape;
    long long target; // the bytes asked for, clamped to 10^18
    bool met;
};
SizeFit fitSize(BuildingShape grid, double bytes);

// "1 storey", "2 storeys".
std::string count(long long n, const char* one, const char* many);
// "4 x 3 bays", "1 x 1 bay".
std::string grid(const BuildingShape& shape);
// "no model of 4 x 3 bays is as small as 1 byte; <done> the smallest, N bytes"
std::string unmetSizeNote(const SizeFit& fit, long long bytes, const char* done);

} // namespace modelgen
