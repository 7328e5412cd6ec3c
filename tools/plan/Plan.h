// Storey plans from what an import stored: every storey with the members
// that name it, placed by the nodes of their elements, supports or own
// node keys, with their design results and whatever keeps a member from
// being drawn as the file meant it (a storey, element or node that is not
// stored, a design row that is missing). Read from the host's tables
// through their own interface.
#pragma once

#include <array>
#include <functional>
#include <optional>
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

// An element that members are drawn through, held once however many
// members name it, however often: a member refers to it by its place in
// Plan::elements.
struct Element {
    int key = 0;
    std::vector<Point> points; // of its stored nodes, in order
    std::vector<int> nodes;    // the keys of every node it names, stored or not, in order
    // What keeps it from being drawn as the file meant it ("element 9 has
    // no nodes", "node 99 is not in the Node table"): a problem of every
    // member drawn through it.
    std::vector<std::string> problems;
    // Drawn through by more than one member: drawn once and referenced by
    // each of them, its nodes with it. Every other element is drawn with
    // its one member, its nodes among its storey's.
    bool shared = false;
    // Set by a comparison: the changes of its own record and of its nodes
    // (Plan::records), each once.
    std::optional<std::size_t> change;
    std::vector<std::size_t> nodeChanges;
};

// A reason a member is drawn in the warning style: a text of its own, or,
// with `element`, the problems of that element (Plan::elements).
struct Problem {
    std::string text;
    std::optional<std::size_t> element;
};

// A record a comparison found added, removed or changed, told once for
// every member that relies on it.
struct RecordNote {
    std::string name;   // "Node 9", "Beam 17 -> 40"
    std::string change; // "changed, moved 150", "removed", "changed"
    bool headline = false; // whether a member relying on it says `change` on a line of its own
    std::vector<std::string> members; // each member that differs: "x: 18000.4 -> 18150.4"
    std::string anchor; // the id of its place in the list of changes, within its page part
};

struct Member {
    int key = 0;
    // Polylines (lines, thick lines), nodes (symbols: every point of every
    // part) or one outline (areas) through the nodes it names itself; a
    // part of one point is drawn as a dot.
    std::vector<std::vector<Point>> parts;
    // The stored elements it names (Plan::elements), each once, in order:
    // each with points is a part of its own.
    std::vector<std::size_t> through;
    // The values of the kind's design fields (Plan::designFields), empty
    // when the member has no design row.
    std::vector<std::string> design;
    // What keeps it from being drawn as the file meant it, each once; it
    // is drawn in the warning style when there is anything.
    std::vector<Problem> problems;
    // Its openings as stored, with what the Opening table holds of each.
    std::string openings;
    // The Warning style when it has problems; a comparison sets its own.
    Style style = Style::Normal;
    // The keys of the elements it names and of the nodes it names itself
    // (not its elements'), stored or not, in order, for relating it to
    // those records.
    std::vector<int> elements;
    std::vector<int> nodes;
    // Set by a comparison: the key as shown when it is not just `key`
    // ("17 -> 40": paired under another key), and what changed
    // (Plan::records): its own record, its design rows, its own nodes;
    // the elements it is drawn through add theirs.
    std::string shownKey;
    std::optional<std::size_t> change;
    std::vector<std::size_t> designChanges;
    std::vector<std::size_t> nodeChanges;
};

struct Storey {
    int key = 0;
    bool stored = false; // in the Floor table; otherwise only named by members
    int number = 0;
    std::string name;
    double elevation = 0, height = 0;
    std::array<std::vector<Member>, kKindCount> members; // by Kind, in key order
    // The nodes drawn with the storey, once each: those its members name
    // and those of the elements that are not shared.
    std::vector<Point> nodes;
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
    std::vector<Element> elements;          // those members name and the Element table holds
    std::vector<RecordNote> records;        // what a comparison found of the records members rely on
    // Per kind, the design fields shown: the required steel of its design
    // record ("ISection.ReqAsTop"), as the store names them.
    std::array<std::vector<std::string>, kKindCount> designFields;
    Marking marking = Marking::Problems;

    // Whether the member has anything to draw: a part of its own or an
    // element with points.
    bool drawable(const Member& member) const;
};

// A member's problems as texts, its elements' in their place, each once,
// in order; at most `limit` of them, `more` set when there are others.
std::vector<std::string> problemTexts(const Plan& plan, const Member& member, std::size_t limit, bool& more);

// The records whose changes a member shows (Plan::records), each once, in
// the order its tooltip tells them: its own, its design rows', its
// elements', their nodes', its own nodes'; at most `limit` of them, `more`
// set when there are others.
std::vector<std::size_t> changedRecords(const Plan& plan, const Member& member, std::size_t limit, bool& more);

// Reads the plan from the store as the last import left it.
// `designTablesHeld` names the design tables (as the store names them) of
// which the file held rows: a member of such a kind whose design row was
// not stored is a problem; one whose file held no design rows of its kind
// at all is not.
Plan readPlan(const std::set<std::string>& designTablesHeld);

// Makes the texts a plan shows of its file (storey and axis names, design
// results, openings) what `decode` makes of them: UTF-8, for a file that
// declares another encoding.
void decodeTexts(Plan& plan, const std::function<std::string(const std::string&)>& decode);

} // namespace plan
