// The comparison as people and programs read it: a text summary (counts
// per table, then the changes grouped by storey and table), JSON (the
// shape is docs/dictdiff.md's) and CSV (one row per changed member, and
// one per added or removed record).
#pragma once

#include <cstdio>
#include <string>

#include "tools/dictdiff/Comparison.h"

namespace dictdiff {

// The value of the JSON's first member, "format": its shape and version.
inline const char kComparisonFormat[] = "dictimport-diff/1";

// The two files compared, as the user named them.
struct Files {
    std::string older;
    std::string newer;
};

// Each writes to `out` and returns false when a write failed.
bool writeText(std::FILE* out, const Comparison& comparison, const Files& files);
bool writeJson(std::FILE* out, const Comparison& comparison, const Files& files);
bool writeCsv(std::FILE* out, const Comparison& comparison);

// A member's value as a report shows it: texts as they are, everything
// else as JSON.
std::string shown(const Json& value);

} // namespace dictdiff
