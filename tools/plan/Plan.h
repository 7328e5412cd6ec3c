// Storey plans from what an import stored: every storey with the members
// that name it, placed by the nodes of their elements, supports or own
// node keys, with their design results and whatever keeps a member from
// being drawn as the file meant it (a storey, element or node that is not
// stored, a design row that is missing). Read from the host's tables
// through their own interface.
#pragma once

#include <array>
#include <set>
#include <string>
#include <vector>

namespace plan {

// The members a plan draws, in drawing order (bottom to top).
enum class Kind { Slab, Wall, Beam, WallBeam, Brace, Column, WallColumn };
constexpr std::size_t kKindCount = 7;

// How a kind is drawn: lines between nodes, thick lines, a symbol at each
// node, or a filled outline.
enum class Shape { Line, ThickLine, Symbol, Area };

struct KindInfo {
    Kind kind;
    const char* table;  // the store's model table
    const char* design; // the store's design table, or null
    const char* label;  // for readers: "beams", "wall columns"
    const char* css;    // class of its paths
    Shape shape;
    // Presentation: stroke colour, width in pixels at the plan's own scale,
    // line end, dashes (pixels, "" for none) and fill ("none" for lines).
    const char* stroke;
    double width;
    const char* cap;
    const char* dashes;
    const char* fill;
};

// Every kind, in drawing order.
const std::array<KindInfo, kKindCount>& kinds();
const KindInfo& info(Kind kind);

struct Point {
    double x, y;
};

// How a member is drawn: as its kind, in the warning style (something
// keeps it from being drawn as the file meant it), or as a comparison of
// two imports found it.
enum class Style { Normal, Warning, Added, Changed, Removed };

// What a plan marks besides each member's kind: the problems of one
// import, or what a comparison of two imports found.
enum class Marking { Problems, Changes };

struct Member {
    int key = 0;
    // Polylines (lines, thick lines), nodes (symbols: every point of every
    // part) or one outline (areas); a part of one point is drawn as a dot.
    std::vector<std::vector<Point>> parts;
    // The values of the kind's design fields (Plan::designFields), empty
    // when the member has no design row.
    std::vector<std::string> design;
    // What keeps it from being drawn as the file meant it; it is drawn in
    // the warning style when there is anything.
    std::vector<std::string> problems;
    // Its openings as stored, with what the Opening table holds of each.
    std::string openings;
    // The Warning style when it has problems; a comparison sets its own.
    Style style = Style::Normal;
    // The keys of the elements and nodes it names (an element's nodes
    // too), stored or not, in order, for relating it to those records.
    std::vector<int> elements;
    std::vector<int> nodes;
    // Set by a comparison: the key as shown when it is not just `key`
    // ("17 -> 40": paired under another key), and what changed, a line each.
    std::string shownKey;
    std::vector<std::string> changes;

    bool drawable() const { return !parts.empty(); }
};

struct Storey {
    int key = 0;
    bool stored = false; // in the Floor table; otherwise only named by members
    int number = 0;
    std::string name;
    double elevation = 0, height = 0;
    std::array<std::vector<Member>, kKindCount> members; // by Kind, in key order
    std::vector<Point> nodes; // the nodes its members use, once each
    std::string remark; // added to its title ("only in OLD"); empty for one import

    // Its members drawn in this style.
    std::size_t count(Style style) const;
};

struct Axis {
    int key;
    std::string name;
    Point start, end;
};

struct Plan {
    // Stored storeys by elevation (then number, then key), then the
    // storeys that members name but the Floor table lacks, by key.
    std::vector<Storey> storeys;
    std::vector<Axis> axes;                 // those with both nodes stored
    std::vector<std::string> axisProblems;  // why the others are not drawn
    // Per kind, the design fields shown: the required steel of its design
    // record ("ISection.ReqAsTop"), as the store names them.
    std::array<std::vector<std::string>, kKindCount> designFields;
    Marking marking = Marking::Problems;
};

// Reads the plan from the store as the last import left it.
// `designTablesHeld` names the design tables (as the store names them) of
// which the file held rows: a member of such a kind whose design row was
// not stored is a problem; one whose file held no design rows of its kind
// at all is not.
Plan readPlan(const std::set<std::string>& designTablesHeld);

} // namespace plan
