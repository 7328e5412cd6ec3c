#include "bench/ScaleModels.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "tools/modelgen/ModelWriter.h"

namespace scalemodels {

namespace {

using Keys = std::vector<long long>;

std::string el(const std::string& name, const std::string& text)
{
    return "<" + name + ">" + text + "</" + name + ">";
}

std::string num(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6g", value);
    return buffer;
}

std::string ref(const char* name, const char* wrapper, long long key)
{
    return el(name, el(wrapper, el("Value", std::to_string(key))));
}

std::string keyList(const char* name, const char* entry, const Keys& keys)
{
    std::string entries;
    for (long long key : keys)
        entries += el(entry, el("Value", std::to_string(key)));
    return el(name, entries);
}

std::string reals(const char* name, long long count)
{
    std::string entries;
    for (long long i = 0; i < count; ++i)
        entries += el("double", num(100 + 0.25 * static_cast<double>(i % 4000)));
    return el(name, entries);
}

// The fields a row of these tables gets when the row's own text lacks
// them, so that no model row is reported for a missing field and every
// design row holds its whole chain: the kinds grow what they say and
// nothing else.
struct Defaults {
    bool design; // a table of the design section
    const char* table;
    std::vector<std::pair<const char*, std::string>> fields;
};
const std::vector<Defaults>& defaults()
{
    static const std::vector<Defaults> all{
        {false, "FloorTable", {{"Num", "1"}, {"StoryName", "F"}, {"Heigh", "3000"}, {"Elevation", "0"},
                        {"MdulK", ref("MdulK", "S_Mdul_K", 1)}, {"PlanK", ref("PlanK", "S_Plan_K", 1)}}},
        {false, "AxisTable", {{"Name", "A"}, {"GroupKey", ref("GroupKey", "S_AxisGroup_K", 1)},
                       {"CenterNodeKey", ref("CenterNodeKey", "S_Node_K", 0)}}},
        {false, "ElementTable", {{"Elpro", "1"}, {"Angle", "0"}, {"MembType", "1"}, {"Ecx1", "0"}, {"Ecy1", "0"},
                          {"Ecz1", "0"}, {"Ecx2", "0"}, {"Ecy2", "0"}, {"Ecz2", "0"},
                          {"ElMatl", ref("ElMatl", "S_DesignMaterial_K", 1)}}},
        {false, "BeamTable", {{"MembType", "1"}}},
        {false, "BraceTable", {{"MembType", "3"}}},
        {false, "ColumnTable", {{"MembType", "2"}, {"MembKind", "1"}}},
        {false, "WallTable", {{"MembType", "4"}, {"Openings", ""}}},
        {false, "WallLLTable", {{"BetaAngle", "90"}, {"Ecx1", "0"}, {"Ecy1", "0"}, {"Ecz1", "0"}, {"Ecx2", "0"},
                         {"Ecy2", "0"}, {"Ecz2", "0"}, {"Width", "200"}, {"Height", "800"}, {"ElevDiff", "0"},
                         {"MaterialKey", ref("MaterialKey", "S_DesignMaterial_K", 1)},
                         {"SectionKey", ref("SectionKey", "S_Section_K", 1)}}},
        {false, "WallColumnTable", {{"WallColumnType", "1"}, {"WallEleKeys", "<WallEleKeys></WallEleKeys>"},
                             {"Lcs", "<Lcs><double>1</double></Lcs>"}, {"Lss", "<Lss><double>1</double></Lss>"}}},
        {false, "SlabTable", {{"SlabType", "1"}, {"ElevationDiff", "0"}, {"CantiLength", "0"}, {"XAngle", "0"},
                       {"SlabStyle", "0"}, {"ThicknessKey", ref("ThicknessKey", "S_Thickness_K", 1)},
                       {"MaterialKey", ref("MaterialKey", "S_DesignMaterial_K", 1)}, {"Openings", ""}}},
        {true, "SlabTable", {{"WeaponLoad", "0"}, {"NuclearWeaponLoad", "0"}, {"BottomBarGrade", "HRB400"},
                             {"TopBarGrade", "HRB400"}, {"SupportBarGrade", "HRB400"}, {"ReqBottomAs_X", "1"},
                             {"ReqBottomAs_Y", "1"}, {"ReqTopAs_X", "1"}, {"ReqTopAs_Y", "1"}, {"MomemtKOnX", "2"},
                             {"MomemtKOnY", "2"}, {"MomemtQOnX", "3"}, {"MomemtQOnY", "3"}}},
        {true, "WallColumnTable", {{"SeismicGrade", "2"}, {"SeismicIntensity", "7"}, {"MainBarGrade", "HRB400"},
                                   {"HoopBarGrade", "HPB300"}, {"ReqMainAs", "100"}, {"ReqHoopAs", "0.5"},
                                   {"LemdaVs", "0.1"}, {"HoopDia", "8"}, {"HoopSpace", "100"}}},
    };
    return all;
}

// The row's fields with the defaults of the fields it lacks: a default
// starting with '<' is the whole element, any other is its text.
std::string completed(bool design, const char* table, const std::string& fields)
{
    std::string out = fields;
    for (const Defaults& d : defaults())
        if (d.design == design && std::strcmp(d.table, table) == 0)
            for (const auto& [name, value] : d.fields)
                if (fields.find("<" + std::string(name) + ">") == std::string::npos)
                    out += value.empty() || value[0] != '<' ? el(name, value) : value;
    return out;
}

// A file built table by table: rows go to their table, and the tables are
// written in the order of their first row.
class Dict {
public:
    // A model row under the table's next key, or under `key`; kEmptyKey
    // writes a key without text. Returns the key.
    static constexpr long long kEmptyKey = -1;
    long long row(const char* table, const std::string& fields, long long key = 0)
    {
        return add(m_model, table, completed(false, table, fields), key);
    }
    long long designRow(const char* table, const std::string& fields, long long key = 0)
    {
        return add(m_design, table, completed(true, table, fields), key);
    }
    // A whole table entry of the model section, written after the others.
    void entry(const std::string& name, const std::string& rows) { m_entries += table(name, rows); }

    std::string xml() const
    {
        std::string model, design;
        for (const Table& t : m_model)
            model += table(t.name, t.rows);
        for (const Table& t : m_design)
            design += table(t.name, t.rows);
        return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Dictionary><Pairs>\n"
               "<Pair><Key>ModelDB</Key><Value><Pairs>\n" +
               model + m_entries + "</Pairs></Value></Pair>\n<Pair><Key>DesignDB</Key><Value><Pairs>\n" + design +
               "</Pairs></Value></Pair>\n</Pairs></Dictionary>\n";
    }

    static std::string rowText(long long key, const std::string& fields)
    {
        return "<Pair><Key><Value>" + (key == kEmptyKey ? std::string() : std::to_string(key)) + "</Value></Key>" +
               el("Value", fields) + "</Pair>\n";
    }

private:
    struct Table {
        std::string name, rows;
        long long next = 1;
    };
    static std::string table(const std::string& name, const std::string& rows)
    {
        return "<Pair><Key>" + name + "</Key><Value><Pairs>\n" + rows + "</Pairs></Value></Pair>\n";
    }
    static long long add(std::vector<Table>& section, const char* name, const std::string& fields, long long key)
    {
        Table* t = nullptr;
        for (Table& existing : section)
            if (existing.name == name)
                t = &existing;
        if (!t)
            t = &section.emplace_back(Table{name, "", 1});
        if (key == 0)
            key = t->next;
        if (key >= t->next)
            t->next = key + 1;
        t->rows += rowText(key, fields);
        return key;
    }

    std::vector<Table> m_model, m_design;
    std::string m_entries;
};

// The rows the kinds are made of.

long long floorRow(Dict& d, long long number)
{
    return d.row("FloorTable", el("Num", std::to_string(number)) + el("StoryName", "F" + std::to_string(number)) +
                                   el("Heigh", "3000") + el("Elevation", num(3000.0 * (number - 1))));
}

long long nodeRow(Dict& d, double x, double y)
{
    return d.row("NodeTable", el("x", num(x)) + el("y", num(y)));
}

// `count` nodes on a circle of 10 m radius.
Keys ring(Dict& d, int count)
{
    Keys keys;
    for (int i = 0; i < count; ++i) {
        double angle = 2 * 3.141592653589793 * i / count;
        keys.push_back(nodeRow(d, 10000 * std::cos(angle), 10000 * std::sin(angle)));
    }
    return keys;
}

// `length` keys taken from `keys` in turn, from `offset` on.
Keys cycle(const Keys& keys, long long length, long long offset = 0)
{
    Keys out;
    for (long long i = 0; i < length; ++i)
        out.push_back(keys[static_cast<std::size_t>((offset + i) % static_cast<long long>(keys.size()))]);
    return out;
}

// `count` keys from `first` on, which no table holds.
Keys absent(long long& first, long long count)
{
    Keys out;
    for (long long i = 0; i < count; ++i)
        out.push_back(first++);
    return out;
}

long long elementRow(Dict& d, long long storey, const Keys& nodes)
{
    return d.row("ElementTable",
                 el("MembType", "1") + ref("PStorK", "S_Floor_K", storey) + keyList("PNodeKeyList", "S_Node_K", nodes));
}

// A beam, column, brace or wall.
long long memberRow(Dict& d, const char* table, long long storey, const Keys& elements, const std::string& more = "")
{
    return d.row(table, el("MembType", "1") + ref("PStorK", "S_Floor_K", storey) +
                            keyList("PElemK", "S_Element_K", elements) + more);
}

long long slabRow(Dict& d, long long storey, const std::vector<Keys>& supports)
{
    std::string list;
    for (const Keys& nodes : supports)
        list += el("S_Support", el("BoudaryCondition", "1") + keyList("NodeList", "S_Node_K", nodes));
    return d.row("SlabTable", ref("PStorK", "S_Floor_K", storey) + el("Supports", list));
}

long long wallColumnRow(Dict& d, long long storey, long long node, const std::string& more = "")
{
    return d.row("WallColumnTable", ref("NodeKey", "S_Node_K", node) + ref("PStorK", "S_Floor_K", storey) + more);
}

long long wallBeamRow(Dict& d, long long storey, long long node1, long long node2)
{
    return d.row("WallLLTable", ref("PStorK", "S_Floor_K", storey) + ref("NodeKey1", "S_Node_K", node1) +
                                    ref("NodeKey2", "S_Node_K", node2));
}

// About `bytes` of text as it stands in the file: Chinese, escaped markup
// and plain words.
std::string longText(long long bytes)
{
    static const std::string phrase = "结构 &lt;B&amp;C&gt; 'x' \"y\" ";
    std::string text;
    while (static_cast<long long>(text.size()) < bytes)
        text += phrase;
    return text;
}

// The kinds.

std::string realisticModel(long long storeys)
{
    modelgen::BuildingShape shape{static_cast<int>(std::min<long long>(storeys, modelgen::kMaxStoreys)), 4, 3, 2026};
    char* data = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&data, &size);
    if (!out)
        return "";
    modelgen::writeModel(shape, out);
    std::fclose(out);
    std::string xml(data, size);
    std::free(data);
    return xml;
}

// k storeys and k axes: on every storey a beam along each axis and a
// column at its start, each on nodes of its own level.
std::string storeysAndAxes(long long k)
{
    Dict d;
    std::vector<Keys> level(1);
    for (long long a = 0; a < k; ++a) {
        long long start = nodeRow(d, 0, 6000.0 * a), end = nodeRow(d, 6000, 6000.0 * a);
        level[0].insert(level[0].end(), {start, end});
        d.row("AxisTable", el("Name", "A" + std::to_string(a + 1)) + ref("StartNodeKey", "S_Node_K", start) +
                               ref("EndNodeKey", "S_Node_K", end));
    }
    for (long long s = 1; s <= k; ++s) {
        long long storey = floorRow(d, s);
        level.emplace_back();
        for (long long a = 0; a < k; ++a)
            level[s].insert(level[s].end(), {nodeRow(d, 0, 6000.0 * a), nodeRow(d, 6000, 6000.0 * a)});
        for (long long a = 0; a < k; ++a) {
            long long start = level[s][2 * a], end = level[s][2 * a + 1];
            memberRow(d, "BeamTable", storey, {elementRow(d, storey, {start, end})});
            memberRow(d, "ColumnTable", storey, {elementRow(d, storey, {level[s - 1][2 * a], start})});
        }
    }
    return d.xml();
}

// Lists `length` long: an element's nodes, a slab's supports (a quarter
// each), its design row's value lists, a wall column's value lists and a
// section's sizes, over a fixed ring of nodes.
std::string longLists(long long length)
{
    Dict d;
    long long storey = floorRow(d, 1);
    Keys nodes = ring(d, 64);
    long long element = elementRow(d, storey, cycle(nodes, length));
    memberRow(d, "BeamTable", storey, {element});
    std::vector<Keys> supports;
    for (int side = 0; side < 4; ++side)
        supports.push_back(cycle(nodes, length / 4 + 1, 16 * side));
    d.designRow("SlabTable",
                reals("ReqSupportAs", length) + reals("MomentKOnSupports", length) + reals("MomentQOnSupports", length),
                slabRow(d, storey, supports));
    wallColumnRow(d, storey, nodes[0],
                  keyList("WallEleKeys", "S_Element_K", {element}) + reals("Lcs", length) + reals("Lss", length));
    d.row("SectionTable", el("SName", "S1") + el("SectI", reals("Size", length)));
    return d.xml();
}

// Members sharing records, a third of the count each: beams, braces, walls
// and columns on one storey naming one element of 200 nodes; wall columns,
// wall beams and beams' elements naming one node; and one beam on each of
// as many further storeys, naming that same element.
std::string sharedReferences(long long count)
{
    static const char* const members[] = {"BeamTable", "BraceTable", "WallTable", "ColumnTable"};
    Dict d;
    long long storey = floorRow(d, 1);
    Keys nodes = ring(d, 64);
    long long shared = elementRow(d, storey, cycle(nodes, 200));
    long long third = (count + 2) / 3;
    for (long long i = 0; i < third; ++i)
        memberRow(d, members[i % 4], storey, {shared});
    for (long long i = 0; i < third; ++i) {
        long long other = nodes[static_cast<std::size_t>(1 + i % 63)];
        if (i % 3 == 0)
            wallColumnRow(d, storey, nodes[0]);
        else if (i % 3 == 1)
            wallBeamRow(d, storey, nodes[0], other);
        else
            memberRow(d, "BeamTable", storey, {elementRow(d, storey, {nodes[0], other})});
    }
    for (long long i = 0; i < third; ++i)
        memberRow(d, "BeamTable", floorRow(d, i + 2), {shared});
    return d.xml();
}

// Two beams naming `count` elements each that no table holds, two beams
// whose elements name `count` absent nodes each, and two slabs whose
// support names `count` absent nodes: few members, so that a cost per
// problem of a member shows at small sizes.
std::string problemsPerMember(long long count)
{
    Dict d;
    long long storey = floorRow(d, 1);
    long long missing = 1000000;
    for (int i = 0; i < 2; ++i) {
        memberRow(d, "BeamTable", storey, absent(missing, count));
        memberRow(d, "BeamTable", storey, {elementRow(d, storey, absent(missing, count))});
        slabRow(d, storey, {absent(missing, count)});
    }
    return d.xml();
}

// `count` nodes at two points, half at each, and a beam between each pair.
std::string nodesAtOnePoint(long long count)
{
    Dict d;
    long long storey = floorRow(d, 1);
    for (long long i = 0; i < (count + 1) / 2; ++i) {
        long long a = nodeRow(d, 1000, 1000), b = nodeRow(d, 7000, 1000);
        memberRow(d, "BeamTable", storey, {elementRow(d, storey, {a, b})});
    }
    return d.xml();
}

// About `bytes` of text in: the project's comment, a storey's and an
// axis's name, a section's name, an opening's outline, a wall's openings
// (the one opening named again and again) and a wall column's required
// steel, an eighth each (the comment a quarter).
std::string longTexts(long long bytes)
{
    Dict d;
    long long part = bytes / 8;
    d.row("ProjectInfoTable", el("Project", "P") + el("Comment", longText(2 * part)));
    long long storey = d.row("FloorTable", el("Num", "1") + el("StoryName", longText(part)) + el("Heigh", "3000") +
                                               el("Elevation", "0"));
    long long a = nodeRow(d, 0, 0), b = nodeRow(d, 6000, 0);
    d.row("AxisTable",
          el("Name", longText(part)) + ref("StartNodeKey", "S_Node_K", a) + ref("EndNodeKey", "S_Node_K", b));
    d.row("SectionTable", el("SName", longText(part)));
    std::string outline;
    for (long long i = 0; static_cast<long long>(outline.size()) < part; ++i)
        outline += std::to_string(i * 10) + "," + std::to_string(i % 7 * 10) + " ";
    d.row("OpeningTable", el("Num", "1") + el("OpeningType", "1") + el("Width", "900") + el("Height", "2100") +
                              el("Pline", outline));
    std::string openings;
    while (static_cast<long long>(openings.size()) < part)
        openings += "1,";
    memberRow(d, "WallTable", storey, {elementRow(d, storey, {a, b})}, el("Openings", openings));
    d.designRow("WallColumnTable", el("ReqMainAs", longText(part)), wallColumnRow(d, storey, a));
    return d.xml();
}

// `count` table entries that no reader reads (misspelt names, two rows
// each), and half as many repeated entries of the floor table.
std::string unreadTables(long long count)
{
    Dict d;
    long long storey = floorRow(d, 1);
    memberRow(d, "BeamTable", storey, {elementRow(d, storey, {nodeRow(d, 0, 0), nodeRow(d, 6000, 0)})});
    std::string nodes = Dict::rowText(1, el("x", "0") + el("y", "0")) + Dict::rowText(2, el("x", "1") + el("y", "0"));
    for (long long i = 0; i < count; ++i)
        d.entry("NodeTabel" + std::to_string(i), nodes);
    for (long long i = 0; i < count / 2; ++i)
        d.entry("FloorTable", Dict::rowText(1, el("Num", "1") + el("Heigh", "3000")));
    return d.xml();
}

// `count` node rows under one key, a quarter as many beams under one key,
// and `count` wall column design rows without key text (all stored under
// key 0).
std::string repeatedKeys(long long count)
{
    Dict d;
    long long storey = floorRow(d, 1);
    for (long long i = 0; i < count; ++i)
        d.row("NodeTable", el("x", num(static_cast<double>(i))) + el("y", "0"), 1);
    long long element = elementRow(d, storey, {1, 1});
    for (long long i = 0; i < count / 4 + 1; ++i)
        memberRow(d, "BeamTable", storey, {element});
    for (long long i = 0; i < count / 4 + 1; ++i)
        d.row("BeamTable", el("MembType", "1") + ref("PStorK", "S_Floor_K", storey) +
                               keyList("PElemK", "S_Element_K", {element}), 1);
    for (long long i = 0; i < count; ++i)
        d.designRow("WallColumnTable", "", Dict::kEmptyKey);
    return d.xml();
}

// `count` nodes, each with one fault in turn: a number not read as written
// ("1,5"), a text behind a comment, a coordinate that is not finite; and
// a beam through each two of them whose member type is not whole.
std::string manyWarnings(long long count)
{
    Dict d;
    long long storey = floorRow(d, 1);
    Keys nodes;
    for (long long i = 0; i < count; ++i) {
        std::string x = num(100.0 * static_cast<double>(i)), y = "2000";
        if (i % 3 == 0)
            x += ",5";
        else if (i % 3 == 1)
            y = "<!-- c -->" + y;
        else
            x = "nan";
        nodes.push_back(d.row("NodeTable", el("x", x) + el("y", y)));
    }
    for (std::size_t i = 0; i + 1 < nodes.size(); i += 2)
        d.row("BeamTable", el("MembType", "2.5") + ref("PStorK", "S_Floor_K", storey) +
                               keyList("PElemK", "S_Element_K", {elementRow(d, storey, {nodes[i], nodes[i + 1]})}));
    return d.xml();
}

// The names of the elements whose text edited() changes.
const std::set<std::string>& editedElements()
{
    static const std::set<std::string> names{"x", "y", "double", "MembType", "Comment", "StoryName", "Pline"};
    return names;
}

// Calls `point(begin, end)` with the bounds of each edit point's text,
// in file order.
template <class Point>
void forEachEditPoint(const std::string& xml, Point point)
{
    std::size_t at = 0;
    while ((at = xml.find('<', at)) != std::string::npos) {
        std::size_t close = xml.find('>', at);
        if (close == std::string::npos)
            return;
        std::string name = xml.substr(at + 1, close - at - 1);
        at = close + 1;
        if (!editedElements().count(name) || at >= xml.size() || xml[at] == '<')
            continue;
        std::size_t end = xml.find('<', at);
        if (end == std::string::npos)
            return;
        point(at, end);
        at = end;
    }
}

} // namespace

const std::vector<Kind>& kinds()
{
    static const std::vector<Kind> all{
        {"rows", "a realistic model (modelgen, 4 x 3 bays): its storeys", 1, 2, realisticModel},
        {"grid", "storeys and axes, k of each (a beam and a column per axis and storey)", 2, 16, storeysAndAxes},
        {"lists", "key and value lists: an element's nodes, a slab's supports, design and wall-column values", 1,
         4000, longLists},
        {"shared", "members naming one element, members naming one node, storeys naming one element", 1, 600,
         sharedReferences},
        {"problems", "absent elements and nodes per member (6 members)", 1, 1600, problemsPerMember},
        {"coincident", "nodes at one point (half at each of two), a beam between each pair", 1, 1000,
         nodesAtOnePoint},
        {"texts", "long texts: comment, names, an opening's outline, a wall's openings, design text", 1, 40000,
         longTexts},
        {"unread", "table entries no reader reads, repeated table entries", 1, 200, unreadTables},
        {"repeated", "rows under one key: nodes, beams, design rows without key text", 1, 1000, repeatedKeys},
        {"warnings", "warnings of a few kinds: numbers, hidden texts, non-finite coordinates", 1, 1000,
         manyWarnings},
    };
    return all;
}

const Kind* findKind(const std::string& name)
{
    for (const Kind& kind : kinds())
        if (name == kind.name)
            return &kind;
    return nullptr;
}

long long countForSize(const Kind& kind, double bytes)
{
    long long probe = kind.probe;
    // bytes = fixed + perUnit * count^power, from the files at probe and 2 probe
    double first = static_cast<double>(kind.write(probe).size());
    double second = static_cast<double>(kind.write(2 * probe).size());
    double units1 = std::pow(static_cast<double>(probe), kind.power);
    double units2 = std::pow(2.0 * static_cast<double>(probe), kind.power);
    double perUnit = (second - first) / (units2 - units1);
    double fixed = first - perUnit * units1;
    if (perUnit <= 0 || bytes <= fixed + perUnit)
        return 1;
    return std::max(1LL, std::llround(std::pow((bytes - fixed) / perUnit, 1.0 / kind.power)));
}

std::string floorModel()
{
    Dict d;
    floorRow(d, 1);
    nodeRow(d, 0, 0);
    return d.xml();
}

long long editPoints(const std::string& xml)
{
    long long points = 0;
    forEachEditPoint(xml, [&](std::size_t, std::size_t) { ++points; });
    return points;
}

std::string edited(const std::string& xml, Edits edits)
{
    long long points = editPoints(xml), index = 0, next = 0;
    // Few: the points at (j + 0.5) / 8 of the way, j = 0 ... 7.
    int few = 0;
    auto chosen = [&](long long i) {
        if (edits == Edits::Many)
            return i % 3 == 1;
        while (few < 8 && static_cast<long long>((few + 0.5) * static_cast<double>(points) / 8) < i)
            ++few;
        return few < 8 && static_cast<long long>((few + 0.5) * static_cast<double>(points) / 8) == i;
    };
    std::string out;
    out.reserve(xml.size() + xml.size() / 16);
    forEachEditPoint(xml, [&](std::size_t begin, std::size_t end) {
        if (!chosen(index++))
            return;
        out.append(xml, static_cast<std::size_t>(next), begin - static_cast<std::size_t>(next));
        std::string text = xml.substr(begin, end - begin);
        char* after = nullptr;
        double value = std::strtod(text.c_str(), &after);
        if (after != text.c_str() && std::isfinite(value))
            out += num(value + 500) + std::string(after);
        else
            out += "~" + text;
        next = static_cast<long long>(end);
    });
    out.append(xml, static_cast<std::size_t>(next), std::string::npos);
    return out;
}

} // namespace scalemodels
