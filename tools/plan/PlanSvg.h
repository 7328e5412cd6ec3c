// A storey's plan as SVG, in the file's own coordinates (y up): one path
// per kind of member and style, the members' keys in its data attributes,
// the axes with their names, a scale bar, and what could not be placed.
//
// Each drawn member is one or more subpaths (each begins with "M") of the
// path of its kind and style; the path's data-keys lists the members' keys
// in order, and data-parts their subpath counts when any is not 1. A
// member without any stored node is listed by a text element carrying the
// same two attributes. So every member of the storey appears exactly once
// in a data-keys list.
#pragma once

#include <string>
#include <vector>

#include "tools/plan/Plan.h"

namespace plan {

// The members one path draws: those of one kind, in the normal or the
// warning style (members with problems), in key order.
struct PathGroup {
    Kind kind;
    bool warning;
    std::vector<const Member*> members;
};

// The non-empty groups of a storey's drawable members, in drawing order;
// a page that adds data per member follows this order.
std::vector<PathGroup> pathGroups(const Storey& storey);

enum class SvgUse {
    Inline,     // inside an HTML page, which styles and captions it
    Standalone, // a file of its own, with its caption and legend
};

void writeStoreySvg(std::string& out, const Plan& plan, const Storey& storey, SvgUse use);

// CSS that keeps every stroke of the plans at its width in screen pixels
// (and dashes in pixels) whatever the zoom, for a page that draws them with
// "vector-effect: non-scaling-stroke"; the SVG's own widths are in plan
// units, for files that stand alone.
std::string screenStyles();

// A legend of the kinds, the warning style, nodes, axes and openings, as a
// standalone SVG element laid out in one row.
void writeLegendSvg(std::string& out);

// "Storey 3 第3层, elevation 7800, height 3300 (Floor 3)", or "Floor 9:
// not in the Floor table"; plain text, to be escaped.
std::string storeyTitle(const Storey& storey);

} // namespace plan
