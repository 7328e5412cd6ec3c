// What every page with plans shares: the page around its body (style
// sheet, tooltip, script, all built in) and the section of one plan set,
// whether it is one import's (dictcheck) or a comparison's (dictdiff).
#pragma once

#include <string>

#include "tools/plan/Plan.h"

namespace htmlreport {

// The whole page: its document type, then `marker` (the format comment by
// which a tool knows a page of its own), `title` (also its heading), the
// style sheet with the plans' screen styles for `marking` and `styles`,
// `body`, the tooltip and the script.
std::string pageHtml(const std::string& marker, const std::string& title, plan::Marking marking,
                     const std::string& styles, const std::string& body);

// What a plan section says besides its plans, as HTML.
struct PlanTexts {
    std::string hint; // what the plans show and how to use them
    std::string none; // when there is no storey to draw
};

// The plans of part `file` of a page: a heading, the hint, a legend of the
// plan's marking, the members per storey and kind, the list of members in
// a marked style, and a plan of every storey with its members' data for
// the tooltips. Storey N's section is "#fFILE-sN". What the storeys and
// their members share (axes, shared elements, records' changes) is in the
// part once. A record note's anchor (plan::RecordNote) is an id in the
// part (partAnchor), which the page gives to where it lists the change.
void appendPlans(std::string& out, int file, const plan::Plan& plan, const PlanTexts& texts);

// The id `id` takes in part `file`: "f1-s3".
std::string partAnchor(int file, const std::string& id);

// The id of the section of storey `index` (from 0) of part `file`.
std::string storeyAnchor(int file, std::size_t index);

} // namespace htmlreport
