// Reads the plan through the host's own table interface (GetSize, GetKeys,
// GetData), as a host application reads its store after an import.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <map>
#include <optional>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>

#include "host/CDesignDB.h"
#include "host/CModelDB.h"
#include "schema/Records.h"
#include "tools/plan/Markup.h"
#include "tools/plan/Plan.h"

namespace plan {

using namespace building_modelDB;
using namespace building_designDB;

const std::array<KindInfo, kKindCount>& kinds()
{
    static const std::array<KindInfo, kKindCount> list = {{
        {Kind::Slab, "Slab", "RcDesignSlab", "slabs", "k-slab", Shape::Area, "#6f9cc8", 0.8, "round", "", "#d3e4f4"},
        {Kind::Wall, "Wall", "RcDesignWall", "walls", "k-wall", Shape::ThickLine, "#4d4d4d", 7, "butt", "", "none"},
        {Kind::Beam, "Beam", "RcDesignBeam", "beams", "k-beam", Shape::Line, "#1f5fa8", 2, "butt", "", "none"},
        {Kind::WallBeam, "WallLL", "RcDesignWallLL", "wall beams", "k-wallbeam", Shape::Line, "#8e44ad", 3, "butt",
         "", "none"},
        {Kind::Brace, "Brace", nullptr, "braces", "k-brace", Shape::Line, "#2e8b57", 3.2, "butt", "7 4", "none"},
        {Kind::Column, "Column", "RcDesignColumn", "columns", "k-column", Shape::Symbol, "#1a1a1a", 11, "square", "",
         "none"},
        {Kind::WallColumn, "WallColumn", "RcDesignWallColumn", "wall columns", "k-wallcolumn", Shape::Symbol,
         "#c05a00", 9, "round", "", "none"},
    }};
    return list;
}

const KindInfo& info(Kind kind)
{
    return kinds()[static_cast<std::size_t>(kind)];
}

std::size_t Storey::count(Style style) const
{
    std::size_t n = 0;
    for (const auto& list : members)
        for (const Member& m : list)
            n += m.style == style ? 1 : 0;
    return n;
}

namespace {

// The host's tables, reached as every CModelDB and CDesignDB reaches them.
struct StoreTables : CModelDB, CDesignDB {
    template <class R>
    using Table = TableInterface<int, R>*;
    Table<S_Floor_D> floors() const { return m_pFloor; }
    Table<S_Node_D> nodes() const { return m_pNode; }
    Table<S_Axis_D> axes() const { return m_pAxis; }
    Table<S_Opening_D> openings() const { return m_pOpening; }
    Table<S_Element_D> elements() const { return m_pElement; }
    Table<S_Beam_D> beams() const { return m_pBeam; }
    Table<S_Column_D> columns() const { return m_pColumn; }
    Table<S_Brace_D> braces() const { return m_pBrace; }
    Table<S_Wall_D> walls() const { return m_pWall; }
    Table<S_WallLL_D> wallBeams() const { return m_pWallLL; }
    Table<S_WallColumn_D> wallColumns() const { return m_pWallColumn; }
    Table<S_Slab_D> slabs() const { return m_pSlab; }
    Table<S_RcDesignBeam_D> beamDesign() const { return m_pRcDesignBeam; }
    Table<S_RcDesignColumn_D> columnDesign() const { return m_pRcDesignColumn; }
    Table<S_RcDesignWall_D> wallDesign() const { return m_pRcDesignWall; }
    Table<S_RcDesignWallLL_D> wallBeamDesign() const { return m_pRcDesignWallLL; }
    Table<S_RcDesignWallColumn_D> wallColumnDesign() const { return m_pRcDesignWallColumn; }
    Table<S_RcDesignSlab_D> slabDesign() const { return m_pRcDesignSlab; }
};

// A keyed list's entries in key order, as a host application lists them:
// the size, then the keys and the values for that size.
template <class K, class V>
std::vector<std::pair<K, V>> entries(TableInterface<K, V>* list)
{
    std::vector<std::pair<K, V>> out;
    int size = list ? list->GetSize() : 0;
    if (size <= 0)
        return out;
    std::vector<K> keys(static_cast<std::size_t>(size));
    std::vector<V> values(static_cast<std::size_t>(size));
    if (!list->GetKeys(keys.data(), size) || !list->GetData(values.data(), size))
        return out;
    out.reserve(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i)
        out.emplace_back(keys[i], std::move(values[i]));
    return out;
}

template <class V>
std::vector<V> valuesOf(TableInterface<int, V>* list)
{
    std::vector<V> out;
    for (auto& [key, value] : entries(list))
        out.push_back(std::move(value));
    return out;
}

bool isRequired(const char* name)
{
    return std::strncmp(name, "Req", 3) == 0;
}

// The required steel of a design record, by the store's member list: every
// text or value list whose name begins with "Req", in sub-records too
// ("ISection.ReqAsTop"). With `names`, their names; with `values`, their
// values (a list as its values joined by ", ").
template <class R>
void requiredSteel(const R& record, const std::string& prefix, std::vector<std::string>* names,
                   std::vector<std::string>* values)
{
    schema::forEachMember<R>([&](const auto& m) {
        using T = std::decay_t<decltype(record.*m.member)>;
        const T& value = record.*m.member;
        if constexpr (schema::isDescribed<T>) {
            requiredSteel(value, prefix + m.element + ".", names, values);
        } else if constexpr (std::is_array_v<T>) {
            if constexpr (schema::isDescribed<std::remove_extent_t<T>>)
                for (std::size_t i = 0; i < std::extent_v<T>; ++i)
                    requiredSteel(value[i], prefix + m.element + "[" + std::to_string(i) + "].", names, values);
        } else if constexpr (std::is_same_v<T, std::string> || std::is_same_v<T, TableInterface<int, double>*>) {
            if (!isRequired(m.element))
                return;
            if (names)
                names->push_back(prefix + m.element);
            if (!values)
                return;
            if constexpr (std::is_same_v<T, std::string>) {
                values->push_back(value);
            } else {
                std::string joined;
                for (double v : valuesOf(value))
                    joined += (joined.empty() ? "" : ", ") + number(v);
                values->push_back(joined);
            }
        }
    });
}

// What the plan needs of the shared tables, looked up by key.
struct Lookup {
    std::unordered_map<int, Point> nodes;
    std::unordered_set<int> nodesNotFinite;
    std::unordered_map<int, S_Element_D> elements;
    std::map<int, S_Floor_D> floors;
    std::unordered_map<int, S_Opening_D> openings;
};

std::string nodeProblem(const Lookup& lookup, int key)
{
    return "node " + std::to_string(key) +
           (lookup.nodesNotFinite.count(key) ? " has no finite coordinates" : " is not in the Node table");
}

// The points of the stored nodes among `keys`, and a problem for each
// other key, once each.
class NodePlacer {
public:
    explicit NodePlacer(const Lookup& lookup) : m_lookup(lookup) {}

    template <class Problem>
    std::vector<Point> place(const std::vector<int>& keys, Problem problem)
    {
        std::vector<Point> points;
        std::unordered_set<int> missing;
        for (int key : keys) {
            auto found = m_lookup.nodes.find(key);
            if (found != m_lookup.nodes.end())
                points.push_back(found->second);
            else if (missing.insert(key).second)
                problem(nodeProblem(m_lookup, key));
        }
        return points;
    }

private:
    const Lookup& m_lookup;
};

// The elements members name, each read once into Plan::elements however
// many members name it, with the storey its record names.
class ElementTable {
public:
    ElementTable(const Lookup& lookup, std::vector<Element>& elements) : m_lookup(lookup), m_elements(elements) {}

    // The element's place in Plan::elements, read on its first use; none
    // when the Element table lacks it.
    std::optional<std::size_t> find(int key)
    {
        auto known = m_places.find(key);
        if (known != m_places.end())
            return known->second;
        auto found = m_lookup.elements.find(key);
        if (found == m_lookup.elements.end())
            return std::nullopt;
        Element element;
        element.key = key;
        element.nodes = valuesOf<int>(found->second.PNodeKeyList);
        if (element.nodes.empty())
            element.problems.push_back("element " + std::to_string(key) + " has no nodes");
        element.points = NodePlacer(m_lookup).place(element.nodes,
                                                    [&](std::string text) { element.problems.push_back(text); });
        m_elements.push_back(std::move(element));
        m_storeys.push_back(found->second.PStorK);
        m_uses.push_back(0);
        return m_places.emplace(key, m_elements.size() - 1).first->second;
    }

    const Element& operator[](std::size_t element) const { return m_elements[element]; }
    int storeyOf(std::size_t element) const { return m_storeys[element]; }
    // Counts a member drawn through the element.
    void used(std::size_t element) { ++m_uses[element]; }
    std::size_t uses(std::size_t element) const { return m_uses[element]; }

private:
    const Lookup& m_lookup;
    std::vector<Element>& m_elements;
    std::unordered_map<int, std::size_t> m_places;
    std::vector<int> m_storeys;
    std::vector<std::size_t> m_uses;
};

// Builds one member: its parts from node keys, noting what is missing.
class MemberBuilder {
public:
    MemberBuilder(const Lookup& lookup, ElementTable& elements, Member& member, int storey,
                  std::unordered_set<int>& storeyNodes)
        : m_lookup(lookup), m_elements(elements), m_member(member), m_storey(storey), m_storeyNodes(storeyNodes)
    {
    }

    // A part through the nodes with these keys, in order.
    void nodes(const std::vector<int>& keys)
    {
        m_member.nodes.insert(m_member.nodes.end(), keys.begin(), keys.end());
        for (int key : keys)
            if (m_lookup.nodes.count(key))
                m_storeyNodes.insert(key);
        std::vector<Point> part = NodePlacer(m_lookup).place(keys, [&](std::string text) { problem(text); });
        if (!part.empty())
            m_member.parts.push_back(std::move(part));
    }

    // A part through the nodes of each element, one part per element.
    void elements(TableInterface<int, int>* list)
    {
        std::vector<int> keys = valuesOf(list);
        if (keys.empty())
            problem("no elements");
        std::unordered_set<int> named;
        for (int key : keys) {
            m_member.elements.push_back(key);
            if (!named.insert(key).second)
                continue;
            std::optional<std::size_t> place = m_elements.find(key);
            if (!place) {
                problem("element " + std::to_string(key) + " is not in the Element table");
                continue;
            }
            int storey = m_elements.storeyOf(*place);
            if (storey != m_storey)
                problem("element " + std::to_string(key) + " is on storey " + std::to_string(storey));
            m_member.through.push_back(*place);
            m_elements.used(*place);
            if (!m_elements[*place].problems.empty())
                m_member.problems.push_back({"", place});
        }
    }

    void problem(std::string text)
    {
        if (m_problems.insert(text).second)
            m_member.problems.push_back({std::move(text), std::nullopt});
    }

    // The member's openings text, with what the Opening table holds of
    // every whole number in it, each number once.
    void openings(const std::string& text)
    {
        if (text.empty())
            return;
        std::string details;
        std::unordered_set<std::string> told;
        for (std::size_t i = 0; i < text.size();) {
            if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
                ++i;
                continue;
            }
            std::size_t end = i;
            while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])))
                ++end;
            std::string digits = text.substr(i, end - i);
            i = end;
            if (!told.insert(digits).second)
                continue;
            long long key = digits.size() <= 9 ? std::stoll(digits) : -1;
            auto found = m_lookup.openings.find(static_cast<int>(key));
            details += details.empty() ? "" : "; ";
            if (key >= 0 && found != m_lookup.openings.end())
                details += "opening " + std::to_string(key) + ": type " + std::to_string(found->second.OpeningType) +
                           ", " + number(found->second.Width) + " x " + number(found->second.Height);
            else
                details += "opening " + digits + " is not in the Opening table";
        }
        m_member.openings = details.empty() ? text : text + " (" + details + ")";
    }

private:
    const Lookup& m_lookup;
    ElementTable& m_elements;
    Member& m_member;
    int m_storey;
    std::unordered_set<int>& m_storeyNodes;
    std::unordered_set<std::string> m_problems;
};

class PlanReader {
public:
    explicit PlanReader(const std::set<std::string>& designTablesHeld) : m_designHeld(designTablesHeld) {}

    Plan read()
    {
        for (auto& [key, node] : entries(m_tables.nodes())) {
            if (std::isfinite(node.x) && std::isfinite(node.y))
                m_lookup.nodes.emplace(key, Point{node.x, node.y});
            else
                m_lookup.nodesNotFinite.insert(key);
        }
        for (auto& [key, element] : entries(m_tables.elements()))
            m_lookup.elements.emplace(key, std::move(element));
        for (auto& [key, floor] : entries(m_tables.floors()))
            m_lookup.floors.emplace(key, std::move(floor));
        for (auto& [key, opening] : entries(m_tables.openings()))
            m_lookup.openings.emplace(key, std::move(opening));

        readMembers(Kind::Slab, m_tables.slabs(), [&](MemberBuilder& b, const S_Slab_D& r) {
            std::vector<int> outline;
            for (const SS_Support& support : valuesOf(r.Supports))
                for (int node : valuesOf(support.NodeList))
                    if (outline.empty() || outline.back() != node)
                        outline.push_back(node);
            if (outline.size() > 1 && outline.front() == outline.back())
                outline.pop_back();
            if (valuesOf(r.Supports).empty())
                b.problem("no supports");
            else if (outline.size() < 3)
                b.problem("its supports name " + std::to_string(outline.size()) + " node(s), too few for an outline");
            b.nodes(outline);
            b.openings(r.Openings);
        });
        readMembers(Kind::Wall, m_tables.walls(), [&](MemberBuilder& b, const S_Wall_D& r) {
            b.elements(r.PElemK);
            b.openings(r.Openings);
        });
        readMembers(Kind::Beam, m_tables.beams(), [&](MemberBuilder& b, const S_Beam_D& r) { b.elements(r.PElemK); });
        readMembers(Kind::WallBeam, m_tables.wallBeams(),
                    [&](MemberBuilder& b, const S_WallLL_D& r) { b.nodes({r.NodeKey1, r.NodeKey2}); });
        readMembers(Kind::Brace, m_tables.braces(), [&](MemberBuilder& b, const S_Brace_D& r) { b.elements(r.PElemK); });
        readMembers(Kind::Column, m_tables.columns(),
                    [&](MemberBuilder& b, const S_Column_D& r) { b.elements(r.PElemK); });
        readMembers(Kind::WallColumn, m_tables.wallColumns(),
                    [&](MemberBuilder& b, const S_WallColumn_D& r) { b.nodes({r.NodeKey}); });
        // Every kind with a design table, by the kind table's names.
        attachDesign(Kind::Slab, m_tables.slabDesign());
        attachDesign(Kind::Wall, m_tables.wallDesign());
        attachDesign(Kind::Beam, m_tables.beamDesign());
        attachDesign(Kind::WallBeam, m_tables.wallBeamDesign());
        attachDesign(Kind::Column, m_tables.columnDesign());
        attachDesign(Kind::WallColumn, m_tables.wallColumnDesign());

        for (auto& [key, storey] : m_storeys)
            for (auto& list : storey.members)
                for (Member& member : list)
                    member.style = member.problems.empty() ? Style::Normal : Style::Warning;
        readAxes();
        arrangeStoreys();
        return std::move(m_plan);
    }

private:
    // Every row of a member table, placed on the storey it names.
    template <class R, class Place>
    void readMembers(Kind kind, TableInterface<int, R>* table, Place place)
    {
        for (const auto& [key, record] : entries(table)) {
            Storey& storey = storeyOf(record.PStorK);
            auto& list = storey.members[static_cast<std::size_t>(kind)];
            list.emplace_back();
            list.back().key = key;
            MemberBuilder builder(m_lookup, m_elements, list.back(), record.PStorK, m_storeyNodes[record.PStorK]);
            if (!storey.stored)
                builder.problem("storey " + std::to_string(record.PStorK) + " is not in the Floor table");
            place(builder, record);
        }
    }

    // Each member of the kind takes the required steel of its design row,
    // found by its own key; a missing row is a problem when the file held
    // rows of the kind's design table.
    template <class D>
    void attachDesign(Kind kind, TableInterface<int, D>* table)
    {
        const KindInfo& k = info(kind);
        requiredSteel(D(), "", &m_plan.designFields[static_cast<std::size_t>(kind)], nullptr);
        std::unordered_map<int, D> design;
        for (auto& [key, row] : entries(table))
            design.emplace(key, std::move(row));
        bool held = m_designHeld.count(k.design) > 0;
        for (auto& [storeyKey, storey] : m_storeys)
            for (Member& member : storey.members[static_cast<std::size_t>(kind)]) {
                auto found = design.find(member.key);
                if (found != design.end())
                    requiredSteel(found->second, "", nullptr, &member.design);
                else if (held)
                    member.problems.push_back({std::string("no ") + k.design + " row stored", std::nullopt});
            }
    }

    Storey& storeyOf(int key)
    {
        auto found = m_storeys.find(key);
        if (found != m_storeys.end())
            return found->second;
        Storey storey;
        storey.key = key;
        auto floor = m_lookup.floors.find(key);
        if (floor != m_lookup.floors.end()) {
            storey.stored = true;
            storey.number = floor->second.Num;
            storey.name = floor->second.StoryName;
            storey.elevation = floor->second.Elevation;
            storey.height = floor->second.Heigh;
        }
        return m_storeys.emplace(key, std::move(storey)).first->second;
    }

    void readAxes()
    {
        for (auto& [key, axis] : entries(m_tables.axes())) {
            std::string problem;
            for (int node : {axis.StartNodeKey, axis.EndNodeKey})
                if (!m_lookup.nodes.count(node))
                    problem += (problem.empty() ? "" : ", ") + nodeProblem(m_lookup, node);
            if (problem.empty())
                m_plan.axes.push_back(
                    {key, axis.Name, m_lookup.nodes.at(axis.StartNodeKey), m_lookup.nodes.at(axis.EndNodeKey)});
            else
                m_plan.axisProblems.push_back("Axis " + std::to_string(key) + " \"" + axis.Name + "\": " + problem);
        }
    }

    // Every stored storey has a plan, members or not; stored ones by
    // elevation (then number and key; no elevation last), then those only
    // members name, by key. An element more than one member is drawn
    // through is shared; the nodes of every other go with its storey's.
    void arrangeStoreys()
    {
        for (const auto& [key, floor] : m_lookup.floors)
            storeyOf(key);
        for (std::size_t e = 0; e < m_plan.elements.size(); ++e)
            m_plan.elements[e].shared = m_elements.uses(e) > 1;
        for (auto& [key, storey] : m_storeys) {
            std::unordered_set<int>& nodes = m_storeyNodes[key];
            for (const auto& list : storey.members)
                for (const Member& member : list)
                    for (std::size_t e : member.through)
                        if (!m_plan.elements[e].shared)
                            for (int node : m_plan.elements[e].nodes)
                                if (m_lookup.nodes.count(node))
                                    nodes.insert(node);
            std::vector<int> used(nodes.begin(), nodes.end());
            std::sort(used.begin(), used.end());
            for (int node : used)
                storey.nodes.push_back(m_lookup.nodes.at(node));
            m_plan.storeys.push_back(std::move(storey));
        }
        std::stable_sort(m_plan.storeys.begin(), m_plan.storeys.end(), [](const Storey& a, const Storey& b) {
            if (a.stored != b.stored)
                return a.stored;
            if (a.stored) {
                bool aUnknown = std::isnan(a.elevation), bUnknown = std::isnan(b.elevation);
                if (aUnknown != bUnknown)
                    return bUnknown;
                if (!aUnknown && a.elevation != b.elevation)
                    return a.elevation < b.elevation;
                if (a.number != b.number)
                    return a.number < b.number;
            }
            return a.key < b.key;
        });
    }

    const std::set<std::string>& m_designHeld;
    StoreTables m_tables;
    Lookup m_lookup;
    Plan m_plan;
    ElementTable m_elements{m_lookup, m_plan.elements};
    std::map<int, Storey> m_storeys;
    std::unordered_map<int, std::unordered_set<int>> m_storeyNodes; // per storey, the nodes its members use
};

} // namespace

Plan readPlan(const std::set<std::string>& designTablesHeld)
{
    return PlanReader(designTablesHeld).read();
}

} // namespace plan
