#include "bench/ScaleModels.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "schema/DesignSchema.h"
#include "schema/ModelSchema.h"
#include "tools/modelgen/ModelWriter.h"
#include "tools/modelgen/RecordWriter.h"
#include "tools/modelgen/RowBuilder.h"

namespace scalemodels {

namespace {

using namespace building_modelDB;
using namespace building_designDB;
using modelgen::Completion;
using modelgen::Row;
using modelgen::XmlOut;

using Keys = std::vector<long long>;

std::string num(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6g", value);
    return buffer;
}

// `count` reals of a value list.
std::vector<double> reals(long long count)
{
    std::vector<double> values;
    for (long long i = 0; i < count; ++i)
        values.push_back(100 + 0.25 * static_cast<double>(i % 4000));
    return values;
}

// A file built table by table: rows go to their table, and the tables are
// written in the order of their first row.
class Dict {
public:
    // A row under the table's next key, or under `key`; kEmptyKey writes a
    // key without text. Returns the key.
    static constexpr long long kEmptyKey = -1;
    template <class R>
    long long row(const Row<R>& row, long long key = 0)
    {
        const char* name = modelgen::tableOf<R>().name;
        if constexpr (modelgen::holdsTable<R>(building_modelDB::fields::kTables))
            return add(m_model, name, row.fields(), key);
        else
            return add(m_design, name, row.fields(), key);
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
        std::string text;
        XmlOut x(text);
        if (key == kEmptyKey)
            modelgen::beginRow(x, "");
        else
            modelgen::beginRow(x, key);
        x.raw(fields);
        modelgen::endRow(x);
        return text;
    }

private:
    struct Table {
        std::string name, rows;
        long long next = 1;
    };
    static std::string table(const std::string& name, const std::string& rows)
    {
        std::string text;
        XmlOut x(text);
        modelgen::beginTable(x, name.c_str());
        x.raw(rows);
        modelgen::endTable(x);
        return text;
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
    return d.row(Row<S_Floor_D>()
                     .set(&S_Floor_D::Num, number)
                     .set(&S_Floor_D::StoryName, "F" + std::to_string(number))
                     .set(&S_Floor_D::Heigh, 3000.0)
                     .set(&S_Floor_D::Elevation, 3000.0 * (number - 1)));
}

long long nodeRow(Dict& d, double x, double y)
{
    return d.row(Row<S_Node_D>().set(&S_Node_D::x, x).set(&S_Node_D::y, y));
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
    return d.row(Row<S_Element_D>()
                     .set(&S_Element_D::MembType, 1)
                     .set(&S_Element_D::PStorK, storey)
                     .set(&S_Element_D::PNodeKeyList, nodes));
}

// A beam, column, brace or wall (R) on its storey, naming its elements.
template <class R>
Row<R> member(long long storey, const Keys& elements)
{
    Row<R> row;
    row.set(&R::MembType, 1).set(&R::PStorK, storey).set(&R::PElemK, elements);
    return row;
}

template <class R>
long long memberRow(Dict& d, long long storey, const Keys& elements)
{
    return d.row(member<R>(storey, elements));
}

long long slabRow(Dict& d, long long storey, const std::vector<Keys>& supports)
{
    std::vector<SS_Support> list(supports.size());
    for (std::size_t i = 0; i < supports.size(); ++i) {
        list[i].BoudaryCondition = 1;
        modelgen::addEntries(list[i], &SS_Support::NodeList, supports[i]);
    }
    return d.row(Row<S_Slab_D>().set(&S_Slab_D::PStorK, storey).set(&S_Slab_D::Supports, list));
}

Row<S_WallColumn_D> wallColumn(long long storey, long long node)
{
    Row<S_WallColumn_D> row;
    row.set(&S_WallColumn_D::NodeKey, node).set(&S_WallColumn_D::PStorK, storey);
    return row;
}

long long wallBeamRow(Dict& d, long long storey, long long node1, long long node2)
{
    return d.row(Row<S_WallLL_D>()
                     .set(&S_WallLL_D::PStorK, storey)
                     .set(&S_WallLL_D::NodeKey1, node1)
                     .set(&S_WallLL_D::NodeKey2, node2));
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
        d.row(Row<S_Axis_D>()
                  .set(&S_Axis_D::Name, "A" + std::to_string(a + 1))
                  .set(&S_Axis_D::StartNodeKey, start)
                  .set(&S_Axis_D::EndNodeKey, end));
    }
    for (long long s = 1; s <= k; ++s) {
        long long storey = floorRow(d, s);
        level.emplace_back();
        for (long long a = 0; a < k; ++a)
            level[s].insert(level[s].end(), {nodeRow(d, 0, 6000.0 * a), nodeRow(d, 6000, 6000.0 * a)});
        for (long long a = 0; a < k; ++a) {
            long long start = level[s][2 * a], end = level[s][2 * a + 1];
            memberRow<S_Beam_D>(d, storey, {elementRow(d, storey, {start, end})});
            memberRow<S_Column_D>(d, storey, {elementRow(d, storey, {level[s - 1][2 * a], start})});
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
    memberRow<S_Beam_D>(d, storey, {element});
    std::vector<Keys> supports;
    for (int side = 0; side < 4; ++side)
        supports.push_back(cycle(nodes, length / 4 + 1, 16 * side));
    using D = S_RcDesignSlab_D;
    d.row(Row<D>()
              .set(&D::ReqSupportAs, reals(length))
              .set(&D::MomentKOnSupports, reals(length))
              .set(&D::MomentQOnSupports, reals(length)),
          slabRow(d, storey, supports));
    d.row(wallColumn(storey, nodes[0])
              .set(&S_WallColumn_D::WallEleKeys, Keys{element})
              .set(&S_WallColumn_D::Lcs, reals(length))
              .set(&S_WallColumn_D::Lss, reals(length)));
    d.row(Row<S_Section_D>()
              .set(&S_Section_D::SName, "S1")
              .sub(&S_Section_D::SectI, Row<S_SectShape>().set(&S_SectShape::Size, reals(length))));
    return d.xml();
}

// Members sharing records, a third of the count each: beams, braces, walls
// and columns on one storey naming one element of 200 nodes; wall columns,
// wall beams and beams' elements naming one node; and one beam on each of
// as many further storeys, naming that same element.
std::string sharedReferences(long long count)
{
    Dict d;
    long long storey = floorRow(d, 1);
    Keys nodes = ring(d, 64);
    long long shared = elementRow(d, storey, cycle(nodes, 200));
    long long third = (count + 2) / 3;
    for (long long i = 0; i < third; ++i)
        switch (i % 4) {
        case 0: memberRow<S_Beam_D>(d, storey, {shared}); break;
        case 1: memberRow<S_Brace_D>(d, storey, {shared}); break;
        case 2: memberRow<S_Wall_D>(d, storey, {shared}); break;
        default: memberRow<S_Column_D>(d, storey, {shared}); break;
        }
    for (long long i = 0; i < third; ++i) {
        long long other = nodes[static_cast<std::size_t>(1 + i % 63)];
        if (i % 3 == 0)
            d.row(wallColumn(storey, nodes[0]));
        else if (i % 3 == 1)
            wallBeamRow(d, storey, nodes[0], other);
        else
            memberRow<S_Beam_D>(d, storey, {elementRow(d, storey, {nodes[0], other})});
    }
    for (long long i = 0; i < third; ++i)
        memberRow<S_Beam_D>(d, floorRow(d, i + 2), {shared});
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
        memberRow<S_Beam_D>(d, storey, absent(missing, count));
        memberRow<S_Beam_D>(d, storey, {elementRow(d, storey, absent(missing, count))});
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
        memberRow<S_Beam_D>(d, storey, {elementRow(d, storey, {a, b})});
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
    d.row(Row<S_ProjectInfo_D>()
              .set(&S_ProjectInfo_D::Project, "P")
              .text(&S_ProjectInfo_D::Comment, longText(2 * part)));
    long long storey = d.row(Row<S_Floor_D>()
                                 .set(&S_Floor_D::Num, 1)
                                 .text(&S_Floor_D::StoryName, longText(part))
                                 .set(&S_Floor_D::Heigh, 3000.0)
                                 .set(&S_Floor_D::Elevation, 0.0));
    long long a = nodeRow(d, 0, 0), b = nodeRow(d, 6000, 0);
    d.row(Row<S_Axis_D>()
              .text(&S_Axis_D::Name, longText(part))
              .set(&S_Axis_D::StartNodeKey, a)
              .set(&S_Axis_D::EndNodeKey, b));
    d.row(Row<S_Section_D>().text(&S_Section_D::SName, longText(part)));
    std::string outline;
    for (long long i = 0; static_cast<long long>(outline.size()) < part; ++i)
        outline += std::to_string(i * 10) + "," + std::to_string(i % 7 * 10) + " ";
    d.row(Row<S_Opening_D>()
              .set(&S_Opening_D::Num, 1)
              .set(&S_Opening_D::OpeningType, 1)
              .set(&S_Opening_D::Width, 900.0)
              .set(&S_Opening_D::Height, 2100.0)
              .set(&S_Opening_D::Pline, outline));
    std::string openings;
    while (static_cast<long long>(openings.size()) < part)
        openings += "1,";
    d.row(member<S_Wall_D>(storey, {elementRow(d, storey, {a, b})}).set(&S_Wall_D::Openings, openings));
    d.row(Row<S_RcDesignWallColumn_D>().text(&S_RcDesignWallColumn_D::ReqMainAs, longText(part)),
          d.row(wallColumn(storey, a)));
    return d.xml();
}

// The name of a table with its last two letters swapped.
std::string misspelt(std::string name)
{
    if (name.size() >= 2)
        std::swap(name[name.size() - 1], name[name.size() - 2]);
    return name;
}

// `count` table entries that no reader reads (misspelt names, two rows
// each), and half as many repeated entries of the floor table.
std::string unreadTables(long long count)
{
    Dict d;
    long long storey = floorRow(d, 1);
    memberRow<S_Beam_D>(d, storey, {elementRow(d, storey, {nodeRow(d, 0, 0), nodeRow(d, 6000, 0)})});
    std::string nodes = Dict::rowText(1, Row<S_Node_D>().set(&S_Node_D::x, 0.0).set(&S_Node_D::y, 0.0).fields()) +
                        Dict::rowText(2, Row<S_Node_D>().set(&S_Node_D::x, 1.0).set(&S_Node_D::y, 0.0).fields());
    const std::string nodeTable = modelgen::tableOf<S_Node_D>().name, floorTable = modelgen::tableOf<S_Floor_D>().name;
    for (long long i = 0; i < count; ++i)
        d.entry(misspelt(nodeTable) + std::to_string(i), nodes);
    std::string floor =
        Row<S_Floor_D>(Completion::AsGiven).set(&S_Floor_D::Num, 1).set(&S_Floor_D::Heigh, 3000.0).fields();
    for (long long i = 0; i < count / 2; ++i)
        d.entry(floorTable, Dict::rowText(1, floor));
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
        d.row(Row<S_Node_D>().set(&S_Node_D::x, static_cast<double>(i)).set(&S_Node_D::y, 0.0), 1);
    long long element = elementRow(d, storey, {1, 1});
    for (long long i = 0; i < count / 4 + 1; ++i)
        memberRow<S_Beam_D>(d, storey, {element});
    for (long long i = 0; i < count / 4 + 1; ++i)
        d.row(member<S_Beam_D>(storey, {element}), 1);
    for (long long i = 0; i < count; ++i)
        d.row(Row<S_RcDesignWallColumn_D>(), Dict::kEmptyKey);
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
        nodes.push_back(d.row(Row<S_Node_D>().text(&S_Node_D::x, x).text(&S_Node_D::y, y)));
    }
    for (std::size_t i = 0; i + 1 < nodes.size(); i += 2)
        d.row(Row<S_Beam_D>()
                  .text(&S_Beam_D::MembType, "2.5")
                  .set(&S_Beam_D::PStorK, storey)
                  .set(&S_Beam_D::PElemK, Keys{elementRow(d, storey, {nodes[i], nodes[i + 1]})}));
    return d.xml();
}

// The names of the elements whose text edited() changes.
const std::set<std::string>& editedElements()
{
    using modelgen::elementOf;
    static const std::set<std::string> names{elementOf(&S_Node_D::x),
                                             elementOf(&S_Node_D::y),
                                             building_modelDB::fields::reals.first,
                                             elementOf(&S_Beam_D::MembType),
                                             elementOf(&S_ProjectInfo_D::Comment),
                                             elementOf(&S_Floor_D::StoryName),
                                             elementOf(&S_Opening_D::Pline)};
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
