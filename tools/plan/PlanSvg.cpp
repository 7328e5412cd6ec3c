#include "tools/plan/PlanSvg.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <unordered_map>
#include <unordered_set>

#include "tools/plan/Markup.h"

namespace plan {

namespace {

const char* const kWarningStroke = "#e00000";
const double kMarkedWider = 1.5; // pixels a marked style adds to a kind's width

// What the plans draw besides members: class, stroke, width in pixels,
// line end and dashes.
struct Mark {
    const char* css;
    const char* stroke;
    double width;
    const char* cap;
    const char* dashes;
};
const Mark kNodes{"nodes", "#8a8a8a", 3, "round", ""};
const Mark kAxes{"axis", "#b04040", 0.8, "butt", "14 4 2 4"};
const Mark kOpenings{"openings", "#000000", 1.2, "butt", ""};
const Mark kScaleBar{"scale-bar", "#000000", 1.5, "butt", ""};

struct Bounds {
    double minX = std::numeric_limits<double>::infinity(), minY = minX;
    double maxX = -minX, maxY = -minX;

    void add(Point p)
    {
        minX = std::min(minX, p.x);
        minY = std::min(minY, p.y);
        maxX = std::max(maxX, p.x);
        maxY = std::max(maxY, p.y);
    }
    void add(const Bounds& b)
    {
        minX = std::min(minX, b.minX);
        minY = std::min(minY, b.minY);
        maxX = std::max(maxX, b.maxX);
        maxY = std::max(maxY, b.maxY);
    }
    bool empty() const { return minX > maxX; }
};

void attribute(std::string& out, const char* name, std::string_view value)
{
    out += ' ';
    out += name;
    out += "=\"";
    appendEscaped(out, value);
    out += '"';
}

void attribute(std::string& out, const char* name, double value)
{
    out += ' ';
    out += name;
    out += "=\"";
    appendNumber(out, value);
    out += '"';
}

void appendPoint(std::string& d, Point p)
{
    appendNumber(d, p.x);
    d += ' ';
    appendNumber(d, p.y);
}

// A dot: a subpath of no length, which the line ends draw.
void appendDot(std::string& d, Point p)
{
    d += d.empty() ? "M" : " M";
    appendPoint(d, p);
    d += " h0";
}

// A part's subpaths as a shape draws them; returns how many.
int appendPart(std::string& d, Shape shape, const std::vector<Point>& part)
{
    if (shape == Shape::Symbol || part.size() == 1) {
        for (Point p : part)
            appendDot(d, p);
        return static_cast<int>(part.size());
    }
    d += d.empty() ? "M" : " M";
    appendPoint(d, part[0]);
    d += " L";
    for (std::size_t i = 1; i < part.size(); ++i) {
        d += ' ';
        appendPoint(d, part[i]);
    }
    if (shape == Shape::Area && part.size() >= 3)
        d += " Z";
    return 1;
}

Bounds extentOf(const std::vector<Point>& points)
{
    Bounds b;
    for (Point p : points)
        b.add(p);
    return b;
}

// Where a member's openings are marked, and how large the mark is: the
// middle of its first part's extent (`first`), a fifth of its smaller side
// (of its length, for a line).
bool openingMark(const Member& member, const Bounds& first, Point& centre, double& half)
{
    if (member.openings.empty() || first.empty())
        return false;
    const Bounds& b = first;
    centre = {(b.minX + b.maxX) / 2, (b.minY + b.maxY) / 2};
    double w = b.maxX - b.minX, h = b.maxY - b.minY;
    double side = std::min(w, h) > std::max(w, h) / 20 ? std::min(w, h) : std::max(w, h);
    half = side / 10;
    return half > 0;
}

// A length of 1, 2 or 5 times a power of ten, near a fifth of `extent`.
double scaleLength(double extent)
{
    double target = extent / 5;
    double power = std::pow(10.0, std::floor(std::log10(target)));
    for (double step : {5.0, 2.0, 1.0})
        if (step * power <= target)
            return step * power;
    return power;
}

// Dashes (pixels) in plan units (`unit` is one pixel at the plan's own
// scale).
void dashArray(std::string& out, const char* dashes, double unit)
{
    if (!*dashes)
        return;
    std::string scaled;
    const char* p = dashes;
    while (*p) {
        char* end;
        double v = std::strtod(p, &end);
        if (end == p)
            break;
        scaled += (scaled.empty() ? "" : " ") + number(v * unit);
        p = end;
    }
    attribute(out, "stroke-dasharray", scaled);
}

// Path presentation attributes in plan units, which a page may override
// with its own styles.
void stroke(std::string& out, const char* colour, double width, const char* cap, const char* dashes, double unit)
{
    attribute(out, "stroke", colour);
    attribute(out, "stroke-width", width * unit);
    attribute(out, "stroke-linecap", cap);
    out += " stroke-linejoin=\"round\"";
    dashArray(out, dashes, unit);
}

void stroke(std::string& out, const Mark& mark, double unit)
{
    stroke(out, mark.stroke, mark.width, mark.cap, mark.dashes, unit);
}

// A CSS rule giving a class its width (and dashes) in screen pixels.
void screenRule(std::string& css, const std::string& selector, double width, const char* dashes)
{
    css += "svg.plan " + selector + "{stroke-width:" + number(width) + "px";
    if (*dashes) {
        css += ";stroke-dasharray:";
        for (const char* p = dashes; *p; ++p)
            css += *p == ' ' ? std::string("px ") : std::string(1, *p);
        css += "px";
    }
    css += "}\n";
}

void keysAttributes(std::string& out, const char* table, const std::vector<const Member*>& members,
                    const std::vector<int>& parts)
{
    attribute(out, "data-table", table);
    out += " data-keys=\"";
    for (std::size_t i = 0; i < members.size(); ++i) {
        if (i)
            out += ' ';
        out += std::to_string(members[i]->key);
    }
    out += '"';
    if (std::any_of(parts.begin(), parts.end(), [](int n) { return n != 1; })) {
        out += " data-parts=\"";
        for (std::size_t i = 0; i < parts.size(); ++i) {
            if (i)
                out += ' ';
            out += std::to_string(parts[i]);
        }
        out += '"';
    }
}

// How a kind is drawn in a style: its own presentation in the normal
// style; wider, in the style's colours, line ends (a symbol keeps its own)
// and dashes (where it has any; a symbol has none) otherwise.
struct Presentation {
    const char* stroke;
    double width;
    const char* cap;
    const char* dashes;
    const char* fill;
};

Presentation presentation(const KindInfo& k, const StyleInfo& style)
{
    if (style.style == Style::Normal)
        return {k.stroke, k.width, k.cap, k.dashes, k.fill};
    bool symbol = k.shape == Shape::Symbol;
    return {style.stroke, k.width + kMarkedWider, symbol ? k.cap : style.cap,
            *style.dashes && !symbol ? style.dashes : k.dashes, k.shape == Shape::Area ? style.fill : "none"};
}

// A path's or a <use>'s stroke and fill as its group is drawn.
void groupPresentation(std::string& out, const PathGroup& group, double unit)
{
    const KindInfo& k = info(group.kind);
    Presentation p = presentation(k, info(group.style));
    stroke(out, p.stroke, p.width, p.cap, p.dashes, unit);
    attribute(out, "fill", k.shape != Shape::Area ? "none" : p.fill);
    if (k.shape == Shape::Area)
        out += " fill-opacity=\"0.7\""; // the axes show through
}

std::string groupClass(const PathGroup& group)
{
    const StyleInfo& style = info(group.style);
    return std::string(info(group.kind).css) + (*style.css ? " " : "") + style.css;
}

template <class FirstPart>
void writeOpenings(std::string& out, const Storey& storey, double unit, FirstPart firstPart)
{
    for (const KindInfo& k : kinds()) {
        std::string d;
        std::vector<const Member*> marked;
        for (const Member& m : storey.members[static_cast<std::size_t>(k.kind)]) {
            Point c;
            double s;
            if (!openingMark(m, firstPart(m), c, s))
                continue;
            marked.push_back(&m);
            Point corners[] = {{c.x - s, c.y - s}, {c.x + s, c.y - s}, {c.x + s, c.y + s}, {c.x - s, c.y + s}};
            d += d.empty() ? "M" : " M";
            appendPoint(d, corners[0]);
            d += " L";
            for (int i : {1, 2, 3}) {
                d += ' ';
                appendPoint(d, corners[i]);
            }
            d += " Z M";
            appendPoint(d, corners[0]);
            d += " L ";
            appendPoint(d, corners[2]);
            d += " M";
            appendPoint(d, corners[3]);
            d += " L ";
            appendPoint(d, corners[1]);
        }
        if (marked.empty())
            continue;
        out += "<path class=\"openings\"";
        attribute(out, "data-opening-of", k.table);
        out += " data-keys=\"";
        for (std::size_t i = 0; i < marked.size(); ++i)
            out += (i ? " " : "") + std::to_string(marked[i]->key);
        out += '"';
        stroke(out, kOpenings, unit);
        out += " fill=\"none\"";
        attribute(out, "d", d);
        out += "/>\n";
    }
}

void writeNodes(std::string& out, const Storey& storey, double unit)
{
    if (storey.nodes.empty())
        return;
    std::string d;
    for (Point p : storey.nodes)
        appendDot(d, p);
    out += "<path class=\"nodes\"";
    stroke(out, kNodes, unit);
    attribute(out, "d", d);
    out += "/>\n";
}

// Text at a plan point, upright in the flipped drawing.
void text(std::string& out, const char* cls, Point at, double size, const char* anchor, std::string_view content,
          const std::string& extra = "")
{
    out += "<text";
    attribute(out, "class", cls);
    attribute(out, "x", at.x);
    attribute(out, "y", -at.y);
    attribute(out, "font-size", size);
    attribute(out, "text-anchor", anchor);
    out += extra;
    out += '>';
    appendEscaped(out, content);
    out += "</text>\n";
}

// Axis lines, drawn past their ends (`d`), each with its name in a
// circle before its start (`labels`, upright: y down).
struct AxesDrawing {
    std::string d;
    std::string labels;
};

AxesDrawing axesDrawing(const Plan& plan, double unit)
{
    AxesDrawing out;
    const double radius = 14 * unit, overhang = 12 * unit;
    for (const Axis& a : plan.axes) {
        double dx = a.end.x - a.start.x, dy = a.end.y - a.start.y;
        // sqrt of the sum of squares, not std::hypot: the same bits on every
        // platform, so pages built on Windows and Linux agree.
        double length = std::sqrt(dx * dx + dy * dy);
        Point ux = length > 0 ? Point{dx / length, dy / length} : Point{0, 1};
        Point from{a.start.x - ux.x * overhang, a.start.y - ux.y * overhang};
        Point to{a.end.x + ux.x * overhang, a.end.y + ux.y * overhang};
        Point bubble{from.x - ux.x * radius, from.y - ux.y * radius};
        out.d += out.d.empty() ? "M" : " M";
        appendPoint(out.d, from);
        out.d += " L ";
        appendPoint(out.d, to);
        out.labels += "<circle class=\"axis-bubble\"";
        attribute(out.labels, "cx", bubble.x);
        attribute(out.labels, "cy", -bubble.y);
        attribute(out.labels, "r", radius);
        attribute(out.labels, "stroke-width", unit);
        out.labels += " stroke=\"" + std::string(kAxes.stroke) + "\" fill=\"#ffffff\"/>\n";
        text(out.labels, "axis-name", {bubble.x, bubble.y - 5 * unit}, 14 * unit, "middle", a.name);
    }
    return out;
}

// A page styles the bar itself (screenStyles).
void writeScaleBar(std::string& out, Point at, double length, double unit, bool styled)
{
    std::string d = "M";
    appendPoint(d, {at.x, -at.y});
    d += " h";
    appendNumber(d, length);
    for (double x : {0.0, length / 2, length}) {
        d += " M";
        appendPoint(d, {at.x + x, -at.y});
        d += " v";
        appendNumber(d, -6 * unit);
    }
    out += "<g class=\"scale-bar\"><path";
    if (!styled)
        stroke(out, kScaleBar, unit);
    attribute(out, "d", d);
    out += "/>\n";
    text(out, "scale-label", {at.x, at.y + 9 * unit}, 13 * unit, "start", "0");
    text(out, "scale-label", {at.x + length, at.y + 9 * unit}, 13 * unit, "middle", number(length));
    text(out, "scale-label", {at.x + length + 14 * unit, at.y - 4 * unit}, 13 * unit, "start",
         "(units of the file's coordinates)");
    out += "</g>\n";
}

// Members without any stored node: one line per kind, naming their keys.
void writeUnplaced(std::string& out, const Plan& plan, const Storey& storey, Point at, double unit)
{
    for (const KindInfo& k : kinds()) {
        std::vector<const Member*> members;
        for (const Member& m : storey.members[static_cast<std::size_t>(k.kind)])
            if (!plan.drawable(m))
                members.push_back(&m);
        if (members.empty())
            continue;
        std::string line = std::string(k.label) + " without any stored node:";
        std::string extra;
        keysAttributes(extra, k.table, members, {});
        for (const Member* m : members)
            line += " " + std::to_string(m->key);
        extra += " fill=\"" + std::string(kWarningStroke) + "\"";
        text(out, "unplaced", at, 14 * unit, "start", line, extra);
        at.y -= 20 * unit;
    }
}

// A legend item's width in pixels: its swatch, then its label.
double legendItemWidth(std::string_view label)
{
    return 40 + 8.0 * static_cast<double>(label.size());
}

const char* const kLegendMarks[] = {"nodes", "axes", "openings"};

void writeLegendItems(std::string& out, double x, double y, double unit, Marking marking)
{
    auto swatch = [&](const char* label, const std::string& shape) {
        out += shape;
        text(out, "legend-label", {x + 30 * unit, -(y + 5 * unit)}, 13 * unit, "start", label);
        x += legendItemWidth(label) * unit;
    };
    auto line = [&](const char* colour, double width, const char* cap, const char* dashes, const char* fill,
                    bool dot) {
        std::string s = "<path";
        stroke(s, colour, width, cap, dashes, unit);
        attribute(s, "fill", fill);
        std::string d = "M";
        if (dot) {
            appendPoint(d, {x + 12 * unit, y});
            d += " h0";
        } else if (std::string_view(fill) != "none") {
            appendPoint(d, {x, y - 7 * unit});
            d += " h" + number(24 * unit) + " v" + number(14 * unit) + " h" + number(-24 * unit) + " Z";
        } else {
            appendPoint(d, {x, y});
            d += " h" + number(24 * unit);
        }
        attribute(s, "d", d);
        return s + "/>\n";
    };
    for (const KindInfo& k : kinds())
        swatch(k.label, line(k.stroke, k.width, k.cap, k.dashes, k.fill, k.shape == Shape::Symbol));
    for (Style style : markedStyles(marking)) {
        const StyleInfo& s = info(style);
        swatch(s.label, line(s.stroke, 2 + kMarkedWider, s.cap, s.dashes, "none", false));
    }
    swatch(kLegendMarks[0], line(kNodes.stroke, kNodes.width, kNodes.cap, kNodes.dashes, "none", true));
    swatch(kLegendMarks[1], line(kAxes.stroke, kAxes.width, kAxes.cap, kAxes.dashes, "none", false));
    swatch(kLegendMarks[2], line(kOpenings.stroke, kOpenings.width, kOpenings.cap, kOpenings.dashes, "none", false));
}

double legendWidth(Marking marking)
{
    double width = 0;
    for (const KindInfo& k : kinds())
        width += legendItemWidth(k.label);
    for (Style style : markedStyles(marking))
        width += legendItemWidth(info(style).label);
    for (const char* label : kLegendMarks)
        width += legendItemWidth(label);
    return width;
}

} // namespace

const std::array<StyleInfo, kStyleCount>& styles()
{
    static const std::array<StyleInfo, kStyleCount> list = {{
        {Style::Normal, "", "normal", "", "", "", ""},
        {Style::Removed, "removed", "removed", "#d01818", "#f6c4c4", "butt", "7 4"},
        {Style::Changed, "changed", "changed", "#e89400", "#ffe2a0", "round", ""},
        {Style::Added, "added", "added", "#189a3c", "#bfe8c9", "round", ""},
        {Style::Warning, "warn", "warning style", kWarningStroke, "#ffb8b8", "round", ""},
    }};
    return list;
}

const StyleInfo& info(Style style)
{
    for (const StyleInfo& s : styles())
        if (s.style == style)
            return s;
    return styles()[0];
}

const std::vector<Style>& markedStyles(Marking marking)
{
    static const std::vector<Style> problems{Style::Warning};
    static const std::vector<Style> changes{Style::Added, Style::Changed, Style::Removed};
    return marking == Marking::Problems ? problems : changes;
}

std::vector<PathGroup> pathGroups(const Plan& plan, const Storey& storey)
{
    std::vector<PathGroup> groups;
    for (const KindInfo& k : kinds())
        for (const StyleInfo& style : styles()) {
            PathGroup group{k.kind, style.style, {}};
            for (const Member& m : storey.members[static_cast<std::size_t>(k.kind)])
                if (plan.drawable(m) && m.style == style.style)
                    group.members.push_back(&m);
            if (!group.members.empty())
                groups.push_back(std::move(group));
        }
    return groups;
}

std::string storeyTitle(const Storey& storey)
{
    if (!storey.stored)
        return "Floor " + std::to_string(storey.key) + ": not in the Floor table" +
           (storey.remark.empty() ? "" : " (" + storey.remark + ")");
    return "Storey " + std::to_string(storey.number) + (storey.name.empty() ? "" : " " + storey.name) +
           ", elevation " + number(storey.elevation) + ", height " + number(storey.height) + " (Floor " +
           std::to_string(storey.key) + (storey.remark.empty() ? "" : ", " + storey.remark) + ")";
}

struct PlanDrawing::State {
    const Plan& plan;
    SvgUse use;
    std::string ids;
    std::string sharedFile;
    std::vector<Bounds> elementBounds; // by Plan::elements
    Bounds axesBounds;
    double axesUnit = 1; // of the axes drawn once: the largest storey's
    // The shared elements with points, in Plan::elements order, each with
    // whether some member draws it as lines.
    std::vector<std::pair<std::size_t, bool>> shared;
    std::size_t repeated = 0;

    State(const Plan& p, SvgUse u, std::string i, std::string file)
        : plan(p), use(u), ids(std::move(i)), sharedFile(std::move(file))
    {
        for (const Element& e : plan.elements)
            elementBounds.push_back(extentOf(e.points));
        for (const Axis& a : plan.axes) {
            axesBounds.add(a.start);
            axesBounds.add(a.end);
        }
        // Per shared element, the storeys that draw it, for what Standalone
        // files repeat; and whether any member draws it as lines.
        std::vector<bool> lines(plan.elements.size());
        std::vector<std::size_t> storeys(plan.elements.size()), lastStorey(plan.elements.size(), SIZE_MAX);
        double largest = 0;
        for (std::size_t i = 0; i < plan.storeys.size(); ++i) {
            const Storey& storey = plan.storeys[i];
            for (const KindInfo& k : kinds())
                for (const Member& m : storey.members[static_cast<std::size_t>(k.kind)])
                    for (std::size_t e : m.through) {
                        if (!plan.elements[e].shared)
                            continue;
                        lines[e] = lines[e] || k.shape != Shape::Symbol;
                        if (lastStorey[e] != i) {
                            lastStorey[e] = i;
                            ++storeys[e];
                        }
                    }
            largest = std::max(largest, sizeOf(boundsOf(storey)));
        }
        axesUnit = (plan.storeys.empty() ? sizeOf(axesBounds) : largest) / 1000;
        if (!plan.axes.empty() && plan.storeys.size() > 1) {
            AxesDrawing axes = axesDrawing(plan, axesUnit);
            repeated += (plan.storeys.size() - 1) * (axes.d.size() + axes.labels.size());
        }
        for (std::size_t e = 0; e < plan.elements.size(); ++e) {
            if (!plan.elements[e].shared || plan.elements[e].points.empty())
                continue;
            shared.emplace_back(e, lines[e]);
            std::string definition;
            writeElement(definition, e, lines[e]);
            repeated += (std::max<std::size_t>(storeys[e], 1) - 1) * definition.size();
        }
    }

    static double sizeOf(const Bounds& b) { return std::max({b.maxX - b.minX, b.maxY - b.minY, 1e-9}); }

    // Everything drawn, for the plan's extent.
    Bounds boundsOf(const Storey& storey) const
    {
        Bounds b;
        for (const auto& list : storey.members)
            for (const Member& m : list) {
                for (const auto& part : m.parts)
                    for (Point p : part)
                        b.add(p);
                for (std::size_t e : m.through)
                    if (!plan.elements[e].points.empty())
                        b.add(elementBounds[e]);
            }
        for (Point p : storey.nodes)
            b.add(p);
        if (!plan.axes.empty())
            b.add(axesBounds);
        if (b.empty()) {
            b.add(Point{0, 0});
            b.add(Point{1000, 1000});
        }
        return b;
    }

    // The ids of an element drawn as lines, or as dots (its nodes, or a
    // symbol at each), and of the axes' lines and labels.
    std::string elementId(std::size_t e, bool asLines) const
    {
        return ids + (asLines ? "e" : "n") + std::to_string(e);
    }
    std::string axesId(bool labels) const { return ids + (labels ? "axis-labels" : "axis-lines"); }
    // What refers to a shared definition: within the document, or in the
    // shared file.
    std::string ref(const std::string& id) const { return (use == SvgUse::Referring ? sharedFile : "") + "#" + id; }

    // A page's styles keep strokes at their screen width, but reach no
    // definition a <use> draws: it carries that itself.
    void definition(std::string& out, const std::string& id, const std::string& d,
                    const std::string& presentation = "") const
    {
        out += "<path";
        attribute(out, "id", id);
        if (use == SvgUse::Inline)
            out += " vector-effect=\"non-scaling-stroke\"";
        out += presentation;
        attribute(out, "d", d);
        out += "/>\n";
    }

    // An element's definitions: as dots, and as lines when `asLines`.
    void writeElement(std::string& out, std::size_t e, bool asLines) const
    {
        const std::vector<Point>& points = plan.elements[e].points;
        std::string d;
        appendPart(d, Shape::Symbol, points);
        definition(out, elementId(e, false), d);
        if (asLines) {
            d.clear();
            appendPart(d, Shape::Line, points);
            definition(out, elementId(e, true), d);
        }
    }

    void writeDefinitions(std::string& out, const std::vector<std::pair<std::size_t, bool>>& elements,
                          bool axes) const
    {
        out += "<defs>\n";
        if (axes) {
            // What does not depend on the scale of the storey that uses them.
            AxesDrawing drawn = axesDrawing(plan, axesUnit);
            std::string presentation;
            attribute(presentation, "stroke", kAxes.stroke);
            attribute(presentation, "stroke-linecap", kAxes.cap);
            presentation += " stroke-linejoin=\"round\" fill=\"none\"";
            definition(out, axesId(false), drawn.d, presentation);
            out += "<g";
            attribute(out, "id", axesId(true));
            out += ">\n" + drawn.labels + "</g>\n";
        }
        for (const auto& [e, asLines] : elements)
            writeElement(out, e, asLines);
        out += "</defs>\n";
    }

    void writeShared(std::string& out) const
    {
        bool axes = !plan.axes.empty();
        if (use == SvgUse::Inline) {
            if (!axes && shared.empty())
                return;
            out += "<svg class=\"plan-shared\" width=\"0\" height=\"0\" aria-hidden=\"true\" "
                   "style=\"position:absolute\">\n";
            writeDefinitions(out, shared, axes);
            out += "</svg>\n";
        } else if (use == SvgUse::Referring) {
            out += std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") + kSvgFormat +
                   "\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"1200\" height=\"60\" viewBox=\"0 0 1200 60\" "
                   "font-family=\"sans-serif\">\n<title>Shared by the storeys' plans</title>\n"
                   "<text x=\"20\" y=\"35\" font-size=\"16\">The axes and the elements several members are drawn "
                   "through, "
                   "defined once for the plans of the storeys beside this file.</text>\n";
            writeDefinitions(out, shared, axes);
            out += "</svg>\n";
        }
    }

    // The shared elements the storey draws, in drawing order, each with
    // whether any of its members draws it as lines.
    std::vector<std::pair<std::size_t, bool>> sharedOn(const Storey& storey) const
    {
        std::vector<std::pair<std::size_t, bool>> found;
        std::unordered_map<std::size_t, std::size_t> places;
        for (const KindInfo& k : kinds())
            for (const Member& m : storey.members[static_cast<std::size_t>(k.kind)])
                for (std::size_t e : m.through) {
                    if (!plan.elements[e].shared || plan.elements[e].points.empty())
                        continue;
                    auto [place, added] = places.emplace(e, found.size());
                    if (added)
                        found.emplace_back(e, false);
                    found[place->second].second = found[place->second].second || k.shape != Shape::Symbol;
                }
        return found;
    }

    // A group's path: its members' own parts and the elements only they
    // are drawn through; then a <use> of each shared element they are.
    void writeGroup(std::string& out, const PathGroup& group, double unit) const
    {
        Shape shape = info(group.kind).shape;
        std::string d, uses;
        std::vector<int> parts;
        std::vector<std::size_t> used;
        std::unordered_set<std::size_t> seen;
        bool anyUse = false;
        for (const Member* m : group.members) {
            int count = 0;
            for (const auto& part : m->parts)
                count += appendPart(d, shape, part);
            std::string ownUses;
            for (std::size_t e : m->through) {
                const Element& element = plan.elements[e];
                if (element.points.empty())
                    continue;
                if (!element.shared) {
                    count += appendPart(d, shape, element.points);
                    continue;
                }
                ownUses += (ownUses.empty() ? "" : ",") + elementId(e, shape != Shape::Symbol);
                if (seen.insert(e).second)
                    used.push_back(e);
            }
            parts.push_back(count);
            anyUse = anyUse || !ownUses.empty();
            uses += (uses.empty() ? "" : " ") + (ownUses.empty() ? std::string("-") : ownUses);
        }
        out += "<path";
        attribute(out, "class", groupClass(group));
        keysAttributes(out, info(group.kind).table, group.members, parts);
        if (anyUse)
            attribute(out, "data-uses", uses);
        groupPresentation(out, group, unit);
        attribute(out, "d", d);
        out += "/>\n";
        for (std::size_t e : used) {
            out += "<use";
            attribute(out, "href", ref(elementId(e, shape != Shape::Symbol)));
            attribute(out, "class", groupClass(group));
            groupPresentation(out, group, unit);
            out += "/>\n";
        }
    }

    // The first part a member is drawn with, for its openings' mark.
    Bounds firstPart(const Member& m) const
    {
        if (!m.parts.empty())
            return extentOf(m.parts[0]);
        for (std::size_t e : m.through)
            if (!plan.elements[e].points.empty())
                return elementBounds[e];
        return Bounds();
    }

    void writeMarks(std::string& out, const Storey& storey,
                    const std::vector<std::pair<std::size_t, bool>>& sharedHere, double unit) const
    {
        writeOpenings(out, storey, unit, [&](const Member& m) { return firstPart(m); });
        writeNodes(out, storey, unit);
        for (const auto& [e, asLines] : sharedHere) {
            out += "<use";
            attribute(out, "href", ref(elementId(e, false)));
            out += " class=\"nodes\"";
            stroke(out, kNodes, unit);
            out += "/>\n";
        }
    }

    // Where a storey's plan lies, in the model's units: what is drawn, its
    // size and the unit of strokes and texts (a thousandth of the size),
    // and the box around it, with room for the caption, the scale bar and,
    // on its own, the legend.
    struct Frame {
        Bounds b;
        double size, unit, margin, top, scaleY, bottom, left, width, height;
    };

    Frame frameOf(const Storey& storey) const
    {
        Frame f;
        f.b = boundsOf(storey);
        const Bounds& b = f.b;
        f.size = sizeOf(b);
        f.unit = f.size / 1000;
        double unit = f.unit;
        f.margin = 80 * unit;
        double margin = f.margin;
        bool standalone = use != SvgUse::Inline;
        bool referring = use == SvgUse::Referring;
        f.top = b.maxY + margin + (standalone ? 50 * unit : 0) + (referring ? 20 * unit : 0);
        f.scaleY = b.minY - margin;
        f.bottom = f.scaleY - 30 * unit - (standalone ? 60 * unit : 0);
        f.left = b.minX - margin;
        f.width =
            std::max(b.maxX + margin - f.left, standalone ? legendWidth(plan.marking) * unit + 2 * margin : 0.0);
        f.height = f.top - f.bottom;
        return f;
    }

    // The plan's opening: the XML declaration and note of a file of its
    // own, the <svg> element and the storey's title.
    void openSvg(std::string& out, const Storey& storey, const Frame& f) const
    {
        bool standalone = use != SvgUse::Inline;
        bool referring = use == SvgUse::Referring;
        if (standalone)
            out += std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") + kSvgFormat + "\n";
        if (referring)
            out += "<!-- The axes and the elements several members are drawn through are defined once, in " +
                   escaped(sharedFile) + " beside this file. -->\n";
        out += standalone ? "<svg xmlns=\"http://www.w3.org/2000/svg\"" : "<svg";
        out += " class=\"plan\"";
        if (standalone) {
            attribute(out, "width", 1200.0);
            attribute(out, "height", std::round(1200.0 * f.height / f.width));
        }
        out += " viewBox=\"";
        appendNumber(out, f.left);
        out += ' ';
        appendNumber(out, -f.top);
        out += ' ';
        appendNumber(out, f.width);
        out += ' ';
        appendNumber(out, f.height);
        out += '"';
        attribute(out, "data-floor", static_cast<double>(storey.key));
        attribute(out, "data-stored", storey.stored ? "1" : "0");
        attribute(out, "data-unit", f.unit);
        out += " font-family=\"sans-serif\">\n<title>";
        appendEscaped(out, storeyTitle(storey));
        out += "</title>\n";
    }

    // A file of its own has a white background and a caption; one that
    // refers to the shared file says so.
    void writeBackground(std::string& out, const Storey& storey, const Frame& f) const
    {
        double unit = f.unit;
        if (use != SvgUse::Inline) {
            out += "<rect";
            attribute(out, "x", f.left);
            attribute(out, "y", -f.top);
            attribute(out, "width", f.width);
            attribute(out, "height", f.height);
            out += " fill=\"#ffffff\"/>\n";
            text(out, "caption", {f.left + 20 * unit, f.top - 35 * unit}, 22 * unit, "start", storeyTitle(storey));
        }
        if (use == SvgUse::Referring)
            text(out, "shared-note", {f.left + 20 * unit, f.top - 58 * unit}, 13 * unit, "start",
                 "Axes and elements several members share: from " + sharedFile + ", beside this file");
    }

    // The axes' lines: in place, sized for this storey (their labels
    // returned, for writeAxisLabels); else a <use> of the definition sized
    // once, for the largest.
    AxesDrawing writeAxisLines(std::string& out, double unit) const
    {
        AxesDrawing inPlace;
        if (use == SvgUse::Standalone) {
            inPlace = axesDrawing(plan, unit);
            out += "<path class=\"axis\"";
            stroke(out, kAxes, unit);
            attribute(out, "d", inPlace.d);
            out += "/>\n";
        } else {
            // A page's styles give the width and dashes.
            out += "<use";
            attribute(out, "href", ref(axesId(false)));
            out += " class=\"axis\"";
            if (use == SvgUse::Referring) {
                attribute(out, "stroke-width", kAxes.width * unit);
                dashArray(out, kAxes.dashes, unit);
            }
            out += "/>\n";
        }
        return inPlace;
    }

    // The axes' labels, upright: outside the flipped group.
    void writeAxisLabels(std::string& out, const AxesDrawing& inPlace) const
    {
        if (use == SvgUse::Standalone) {
            out += inPlace.labels;
        } else {
            out += "<use";
            attribute(out, "href", ref(axesId(true)));
            out += " pointer-events=\"none\"/>\n";
        }
    }

    // The members, flipped so that y grows upwards: the axes' lines, then
    // the groups of members, the openings and nodes before the first group
    // drawn as symbols (after the last group when none is); then the axes'
    // labels.
    void writeMembers(std::string& out, const Storey& storey,
                      const std::vector<std::pair<std::size_t, bool>>& sharedHere, double unit) const
    {
        bool axes = !plan.axes.empty();
        AxesDrawing inPlace;
        out += "<g transform=\"scale(1 -1)\">\n";
        if (axes)
            inPlace = writeAxisLines(out, unit);
        bool marksWritten = false;
        for (const PathGroup& g : pathGroups(plan, storey)) {
            if (info(g.kind).shape == Shape::Symbol && !marksWritten) {
                writeMarks(out, storey, sharedHere, unit);
                marksWritten = true;
            }
            writeGroup(out, g, unit);
        }
        if (!marksWritten)
            writeMarks(out, storey, sharedHere, unit);
        out += "</g>\n";
        if (axes)
            writeAxisLabels(out, inPlace);
    }

    void writeStorey(std::string& out, const Storey& storey) const
    {
        Frame f = frameOf(storey);
        openSvg(out, storey, f);
        std::vector<std::pair<std::size_t, bool>> sharedHere = sharedOn(storey);
        if (use == SvgUse::Standalone && !sharedHere.empty())
            writeDefinitions(out, sharedHere, false);
        writeBackground(out, storey, f);
        writeMembers(out, storey, sharedHere, f.unit);
        writeScaleBar(out, {f.b.minX, f.scaleY}, scaleLength(f.size), f.unit, use == SvgUse::Inline);
        writeUnplaced(out, plan, storey, {f.b.minX, f.b.maxY + f.margin - 20 * f.unit}, f.unit);
        if (use != SvgUse::Inline)
            writeLegendItems(out, f.left + 20 * f.unit, -(f.bottom + 25 * f.unit), f.unit, plan.marking);
        out += "</svg>\n";
    }
};

PlanDrawing::PlanDrawing(const Plan& plan, SvgUse use, std::string ids, std::string sharedFile)
    : m_state(std::make_shared<State>(plan, use, std::move(ids), std::move(sharedFile)))
{
}

void PlanDrawing::writeShared(std::string& out) const
{
    m_state->writeShared(out);
}

void PlanDrawing::writeStorey(std::string& out, const Storey& storey) const
{
    m_state->writeStorey(out, storey);
}

std::size_t PlanDrawing::repeatedBytes() const
{
    return m_state->repeated;
}

std::string screenStyles(Marking marking)
{
    std::string css;
    for (const KindInfo& k : kinds()) {
        screenRule(css, std::string(".") + k.css, k.width, k.dashes);
        for (Style style : markedStyles(marking)) {
            Presentation p = presentation(k, info(style));
            screenRule(css, std::string(".") + k.css + "." + info(style).css, p.width, p.dashes);
        }
    }
    for (const Mark& m : {kNodes, kAxes, kOpenings})
        screenRule(css, std::string(".") + m.css, m.width, m.dashes);
    screenRule(css, std::string(".") + kScaleBar.css + " path", kScaleBar.width, kScaleBar.dashes);
    css += std::string("svg.plan .") + kScaleBar.css + " path{stroke:" + kScaleBar.stroke +
           ";stroke-linecap:" + kScaleBar.cap + ";stroke-linejoin:round}\n";
    return css;
}

void writeLegendSvg(std::string& out, Marking marking)
{
    double width = legendWidth(marking) + 20;
    out += "<svg class=\"legend\"";
    attribute(out, "width", width);
    out += " height=\"30\" viewBox=\"0 0 ";
    appendNumber(out, width);
    out += " 30\" font-family=\"sans-serif\">\n";
    writeLegendItems(out, 10, 15, 1, marking);
    out += "</svg>\n";
}

} // namespace plan
