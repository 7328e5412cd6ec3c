#include "tools/plan/PlanSvg.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

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

// The member's subpaths; returns how many.
int appendMember(std::string& d, Shape shape, const Member& member)
{
    int count = 0;
    for (const auto& part : member.parts) {
        if (shape == Shape::Symbol || part.size() == 1) {
            for (Point p : part) {
                appendDot(d, p);
                ++count;
            }
            continue;
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
        ++count;
    }
    return count;
}

// Where a member's openings are marked, and how large the mark is: the
// middle of its first part's extent, a fifth of its smaller side (of its
// length, for a line).
bool openingMark(const Member& member, Point& centre, double& half)
{
    if (member.openings.empty() || member.parts.empty())
        return false;
    Bounds b;
    for (Point p : member.parts[0])
        b.add(p);
    centre = {(b.minX + b.maxX) / 2, (b.minY + b.maxY) / 2};
    double w = b.maxX - b.minX, h = b.maxY - b.minY;
    double side = std::min(w, h) > std::max(w, h) / 20 ? std::min(w, h) : std::max(w, h);
    half = side / 10;
    return half > 0;
}

// Everything drawn, for the plan's extent.
Bounds boundsOf(const Plan& plan, const Storey& storey)
{
    Bounds b;
    for (const auto& list : storey.members)
        for (const Member& m : list)
            for (const auto& part : m.parts)
                for (Point p : part)
                    b.add(p);
    for (Point p : storey.nodes)
        b.add(p);
    for (const Axis& a : plan.axes) {
        b.add(a.start);
        b.add(a.end);
    }
    if (b.empty()) {
        b.add({0, 0});
        b.add({1000, 1000});
    }
    return b;
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

// Path presentation attributes in plan units (`unit` is one pixel at the
// plan's own scale), which a page may override with its own styles.
void stroke(std::string& out, const char* colour, double width, const char* cap, const char* dashes, double unit)
{
    attribute(out, "stroke", colour);
    attribute(out, "stroke-width", width * unit);
    attribute(out, "stroke-linecap", cap);
    out += " stroke-linejoin=\"round\"";
    if (*dashes) {
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

void writeGroup(std::string& out, const PathGroup& group, double unit)
{
    const KindInfo& k = info(group.kind);
    const StyleInfo& style = info(group.style);
    std::string d;
    std::vector<int> parts;
    for (const Member* m : group.members)
        parts.push_back(appendMember(d, k.shape, *m));
    out += "<path";
    attribute(out, "class", std::string(k.css) + (*style.css ? " " : "") + style.css);
    keysAttributes(out, k.table, group.members, parts);
    Presentation p = presentation(k, style);
    stroke(out, p.stroke, p.width, p.cap, p.dashes, unit);
    attribute(out, "fill", k.shape != Shape::Area ? "none" : p.fill);
    if (k.shape == Shape::Area)
        out += " fill-opacity=\"0.7\""; // the axes show through
    attribute(out, "d", d);
    out += "/>\n";
}

void writeOpenings(std::string& out, const Storey& storey, double unit)
{
    for (const KindInfo& k : kinds()) {
        std::string d;
        std::vector<const Member*> marked;
        for (const Member& m : storey.members[static_cast<std::size_t>(k.kind)]) {
            Point c;
            double s;
            if (!openingMark(m, c, s))
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

// Axis lines, drawn past their ends, each with its name in a circle
// before its start.
void writeAxes(std::string& out, std::string& labels, const Plan& plan, double unit)
{
    if (plan.axes.empty())
        return;
    const double radius = 14 * unit, overhang = 12 * unit;
    std::string d;
    for (const Axis& a : plan.axes) {
        double dx = a.end.x - a.start.x, dy = a.end.y - a.start.y;
        // sqrt of the sum of squares, not std::hypot: the same bits on every
        // platform, so pages built on Windows and Linux agree.
        double length = std::sqrt(dx * dx + dy * dy);
        Point ux = length > 0 ? Point{dx / length, dy / length} : Point{0, 1};
        Point from{a.start.x - ux.x * overhang, a.start.y - ux.y * overhang};
        Point to{a.end.x + ux.x * overhang, a.end.y + ux.y * overhang};
        Point bubble{from.x - ux.x * radius, from.y - ux.y * radius};
        d += d.empty() ? "M" : " M";
        appendPoint(d, from);
        d += " L ";
        appendPoint(d, to);
        labels += "<circle class=\"axis-bubble\"";
        attribute(labels, "cx", bubble.x);
        attribute(labels, "cy", -bubble.y);
        attribute(labels, "r", radius);
        attribute(labels, "stroke-width", unit);
        labels += " stroke=\"" + std::string(kAxes.stroke) + "\" fill=\"#ffffff\"/>\n";
        text(labels, "axis-name", {bubble.x, bubble.y - 5 * unit}, 14 * unit, "middle", a.name);
    }
    out += "<path class=\"axis\"";
    stroke(out, kAxes, unit);
    attribute(out, "d", d);
    out += "/>\n";
}

void writeScaleBar(std::string& out, Point at, double length, double unit)
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
void writeUnplaced(std::string& out, const Storey& storey, Point at, double unit)
{
    for (const KindInfo& k : kinds()) {
        std::vector<const Member*> members;
        for (const Member& m : storey.members[static_cast<std::size_t>(k.kind)])
            if (!m.drawable())
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

std::vector<PathGroup> pathGroups(const Storey& storey)
{
    std::vector<PathGroup> groups;
    for (const KindInfo& k : kinds())
        for (const StyleInfo& style : styles()) {
            PathGroup group{k.kind, style.style, {}};
            for (const Member& m : storey.members[static_cast<std::size_t>(k.kind)])
                if (m.drawable() && m.style == style.style)
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

void writeStoreySvg(std::string& out, const Plan& plan, const Storey& storey, SvgUse use)
{
    Bounds b = boundsOf(plan, storey);
    double size = std::max({b.maxX - b.minX, b.maxY - b.minY, 1e-9});
    double unit = size / 1000;
    double margin = 80 * unit;
    bool standalone = use == SvgUse::Standalone;
    double top = b.maxY + margin + (standalone ? 50 * unit : 0);
    double scaleY = b.minY - margin;
    double bottom = scaleY - 30 * unit - (standalone ? 60 * unit : 0);
    double left = b.minX - margin;
    double width =
        std::max(b.maxX + margin - left, standalone ? legendWidth(plan.marking) * unit + 2 * margin : 0.0);
    double height = top - bottom;

    if (standalone)
        out += std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") + kSvgFormat +
               "\n<svg xmlns=\"http://www.w3.org/2000/svg\"";
    else
        out += "<svg";
    out += " class=\"plan\"";
    if (standalone) {
        attribute(out, "width", 1200.0);
        attribute(out, "height", std::round(1200.0 * height / width));
    }
    out += " viewBox=\"";
    appendNumber(out, left);
    out += ' ';
    appendNumber(out, -top);
    out += ' ';
    appendNumber(out, width);
    out += ' ';
    appendNumber(out, height);
    out += '"';
    attribute(out, "data-floor", static_cast<double>(storey.key));
    attribute(out, "data-stored", storey.stored ? "1" : "0");
    attribute(out, "data-unit", unit);
    out += " font-family=\"sans-serif\">\n<title>";
    appendEscaped(out, storeyTitle(storey));
    out += "</title>\n";
    if (standalone) {
        out += "<rect";
        attribute(out, "x", left);
        attribute(out, "y", -top);
        attribute(out, "width", width);
        attribute(out, "height", height);
        out += " fill=\"#ffffff\"/>\n";
        text(out, "caption", {left + 20 * unit, top - 35 * unit}, 22 * unit, "start", storeyTitle(storey));
    }

    std::string labels;
    out += "<g transform=\"scale(1 -1)\">\n";
    writeAxes(out, labels, plan, unit);
    std::vector<PathGroup> groups = pathGroups(storey);
    bool marksWritten = false;
    for (const PathGroup& g : groups) {
        if (info(g.kind).shape == Shape::Symbol && !marksWritten) {
            writeOpenings(out, storey, unit);
            writeNodes(out, storey, unit);
            marksWritten = true;
        }
        writeGroup(out, g, unit);
    }
    if (!marksWritten) {
        writeOpenings(out, storey, unit);
        writeNodes(out, storey, unit);
    }
    out += "</g>\n";
    out += labels;
    writeScaleBar(out, {b.minX, scaleY}, scaleLength(size), unit);
    writeUnplaced(out, storey, {b.minX, b.maxY + margin - 20 * unit}, unit);
    if (standalone)
        writeLegendItems(out, left + 20 * unit, -(bottom + 25 * unit), unit, plan.marking);
    out += "</svg>\n";
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
