// A storey's plan as SVG, in the file's own coordinates (y up): one path
// per kind of member and style, the members' keys in its data attributes,
// the axes with their names, a scale bar, and what could not be placed.
//
// Each drawn member is one or more subpaths (each begins with "M") of the
// path of its kind and style; the path's data-keys lists the members' keys
// in order, and data-parts their subpath counts when any is not 1. A
// member drawn through a shared element draws it by a <use> after the
// path, one per element and path, and the path's data-uses lists, per
// member, the ids of the definitions it draws so, separated by commas ("-"
// for none). A member without any stored node is listed by a text element
// carrying data-keys too. So every member of the storey appears exactly
// once in a data-keys list.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tools/plan/Plan.h"

namespace plan {

// How a style looks: the class its paths add to their kind's, its name
// for readers, its colours (of lines, and of areas' fill), line ends and
// dashes (pixels, "" for the kind's own). The normal style is each kind's
// own.
struct StyleInfo {
    Style style;
    const char* css;
    const char* label;
    const char* stroke;
    const char* fill;
    const char* cap;
    const char* dashes;
};
constexpr std::size_t kStyleCount = 5;

// Every style, in drawing order within a kind (the normal style first).
const std::array<StyleInfo, kStyleCount>& styles();
const StyleInfo& info(Style style);
// The styles other than the normal one that a plan of this marking uses.
const std::vector<Style>& markedStyles(Marking marking);

// The members one path draws: those of one kind in one style, in key order.
struct PathGroup {
    Kind kind;
    Style style;
    std::vector<const Member*> members;
};

// The non-empty groups of a storey's drawable members, in drawing order
// (by kind, then by style); a page that adds data per member follows this
// order.
std::vector<PathGroup> pathGroups(const Plan& plan, const Storey& storey);

// What a standalone plan starts with after its XML declaration, by which
// a command knows a file it may replace as one of its own plans.
inline const char kSvgFormat[] = "<!-- format: dictimport-plan/1 -->";

enum class SvgUse {
    Inline,     // inside an HTML page, which styles and captions it
    Standalone, // a file of its own, with its caption and legend, holding all it draws
    Referring,  // a file of its own, with its caption and legend, drawing what storeys share from a shared file
};

// The storeys of a plan drawn as SVG. What every storey's plan would
// otherwise repeat is drawn once and referenced by id (<use>): the axes,
// global grid lines drawn on every storey, and each element that more than
// one member is drawn through (Element::shared), with its nodes. Inline,
// the page part holds them once (writeShared); Referring, a shared file
// does; a Standalone file defines the elements it draws itself and draws
// the axes in place, so it stands alone, at the cost of repeating them in
// every file. So a page, or a Referring set of files, grows with the input
// file, whatever it holds.
//
// Axes drawn once are sized (their overhang, their bubbles and names) for
// the largest storey; a storey drawn in place sizes them for itself.
class PlanDrawing {
public:
    // `ids` begins the ids of what is shared ("f1-" for part 1 of a page);
    // `sharedFile` is the shared file's name, beside the storeys' files,
    // for Referring.
    PlanDrawing(const Plan& plan, SvgUse use, std::string ids, std::string sharedFile = "");

    // What the storeys share: Inline, a hidden <svg> of definitions, to go
    // before the storeys' plans in the page; Referring, the shared file;
    // nothing for Standalone.
    void writeShared(std::string& out) const;

    void writeStorey(std::string& out, const Storey& storey) const;

    // What Standalone files repeat in all, beyond what Referring ones hold
    // once: the axes in every file but one, each shared element's
    // definition in every file that draws it but one. Estimated from their
    // size as drawn once.
    std::size_t repeatedBytes() const;

private:
    struct State;
    std::shared_ptr<const State> m_state;
};

// CSS that keeps every stroke of the plans at its width in screen pixels
// (and dashes in pixels) whatever the zoom, for a page that draws them with
// "vector-effect: non-scaling-stroke"; the SVG's own widths are in plan
// units, for files that stand alone.
std::string screenStyles(Marking marking);

// A legend of the kinds, the marking's styles, nodes, axes and openings, as
// a standalone SVG element laid out in one row.
void writeLegendSvg(std::string& out, Marking marking);

// "Storey 3 第3层, elevation 7800, height 3300 (Floor 3)", or "Floor 9:
// not in the Floor table", with the storey's remark, if any, in the
// parentheses; plain text, to be escaped.
std::string storeyTitle(const Storey& storey);

} // namespace plan
