// A comparison drawn: the plans of both imports made one, storey by
// storey, the members coloured by what happened to them.
#pragma once

#include <string>

#include "tools/dictdiff/Comparison.h"
#include "tools/plan/Plan.h"

namespace dictdiff {

// The plan of a comparison. Its storeys are the comparison's, in its
// order (plan storey i is Comparison::storeys[i]), then the storeys that
// only members name. Each holds the new import's members, and the old
// import's removed members drawn where they were, on the storey they were
// on. A member's style is what happened to it, with what changed, a line
// each:
// - Added: its record is only in the new import;
// - Removed: its record is only in the old one;
// - Changed: its record differs, its design row was added, removed or
//   differs, or an element or node it is drawn through differs or was
//   added (a moved node changes every member drawn through it, though
//   their own records are the same);
// - Normal otherwise, problems or not.
// A storey only one import holds says so in its remark, as does one
// paired under another key. `older` and `newer` are read with
// plan::readPlan while the store held each import.
plan::Plan comparedPlan(const Comparison& comparison, plan::Plan older, plan::Plan newer);

// The id, within its page part, of where the page lists a changed record
// ("c-Node-4"): a record note's anchor (plan::RecordNote).
std::string changeAnchor(const TableComparison& table, const RecordChange& record);

} // namespace dictdiff
