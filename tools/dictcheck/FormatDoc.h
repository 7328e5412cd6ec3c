// The tables of the dictionary file format, described from the readers'
// own field lists: per section every table, its elements, their kinds and
// what a missing element does, then the sub-records the tables hold.
#pragma once

#include <ostream>

namespace dictcheck {

// Writes the description as Markdown (the generated part of docs/format.md).
void writeFormatTables(std::ostream& out);

} // namespace dictcheck
