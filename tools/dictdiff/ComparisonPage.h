// The comparison as one self-contained HTML page: the verdict, the tables
// that differ, every change by storey, and a plan of every storey with
// the members coloured by what happened to them (PlanChanges.h).
#pragma once

#include <string>

#include "tools/dictdiff/Comparison.h"
#include "tools/dictdiff/Report.h"
#include "tools/plan/Plan.h"

namespace dictdiff {

// What the page starts with after its document type, by which dictdiff
// knows a page it may overwrite as one of its own.
inline const char kComparisonPageStart[] = "<!-- format: dictimport-diff-page/1 -->";

// `plan` is the comparison's (comparedPlan), its storeys in the
// comparison's order.
std::string comparisonPage(const Comparison& comparison, const Files& files, const plan::Plan& plan);

} // namespace dictdiff
