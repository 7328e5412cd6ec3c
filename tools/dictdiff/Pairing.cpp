#include "tools/dictdiff/Pairing.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <utility>

#include "tools/dictdiff/RecordWalk.h"
#include "tools/dictdiff/TableList.h"

namespace dictdiff {

double planarDistance(double dx, double dy)
{
    double scale = std::max(std::fabs(dx), std::fabs(dy));
    if (scale < 1e150)
        return std::sqrt(dx * dx + dy * dy);
    if (!std::isfinite(scale))
        return scale;
    dx /= scale;
    dy /= scale;
    return scale * std::sqrt(dx * dx + dy * dy);
}

namespace {

using hoststore::Rows;
using hoststore::StoreRows;

// The canonical value of a key without partner: outside the range of keys.
constexpr std::int64_t kUnpaired = std::int64_t(1) << 33;

// The tables a record type refers to, anywhere in it, from its field
// list: the key elements of its members and sub-records.
template <class R, class Fields>
void addKeyTargets(const Fields& fields, std::vector<int>& targets);

template <class M, class Kind>
void addMemberTargets(const Kind& kind, std::vector<int>& targets)
{
    if (int target = tableOfKeyElement(keyElement(kind)); target >= 0)
        targets.push_back(target);
    if constexpr (std::is_pointer_v<M>) {
        using Impl = typename ListImpl<std::remove_pointer_t<M>>::type;
        using V = typename std::decay_t<decltype(std::declval<const Impl&>().entries())>::mapped_type;
        if constexpr (isSubRecord<V>)
            addKeyTargets<V>(subFields(kind), targets);
    } else if constexpr (std::is_array_v<M>) {
        if constexpr (isSubRecord<std::remove_extent_t<M>>)
            addKeyTargets<std::remove_extent_t<M>>(subFields(kind), targets);
    } else if constexpr (isSubRecord<M>) {
        addKeyTargets<M>(subFields(kind), targets);
    }
}

template <class R, class Fields>
void addKeyTargets(const Fields& fields, std::vector<int>& targets)
{
    forEachMemberKind(fields, [&](const auto& member, const auto& kind) {
        addMemberTargets<typename std::decay_t<decltype(member)>::Member>(kind, targets);
    });
}

struct SignatureHash {
    std::size_t operator()(const std::vector<std::int64_t>& s) const
    {
        std::size_t h = s.size();
        for (std::int64_t v : s)
            h = (h ^ std::hash<std::int64_t>()(v)) * 0x100000001b3ull;
        return h;
    }
};

// How many records carry a signature, and the key of one of them.
struct Holders {
    int count = 0;
    int key = 0;
};
using SignatureIndex = std::unordered_map<std::vector<std::int64_t>, Holders, SignatureHash>;

} // namespace

std::unordered_map<int, std::vector<int>> floorsOfNodes(const StoreRows& rows)
{
    std::unordered_map<int, std::vector<int>> floors;
    hoststore::forEachTable(kModelTables, [&](const auto& t) {
        using R = RecordOf<decltype(t)>;
        std::vector<int> targets;
        addKeyTargets<R>(fieldsOf<R>(), targets);
        if (std::find(targets.begin(), targets.end(), kFloorTable) == targets.end() ||
            std::find(targets.begin(), targets.end(), kNodeTable) == targets.end())
            return;
        std::vector<int> recordFloors, recordNodes;
        auto collect = [&](const char* element, const int* keys, std::size_t count, bool) {
            int target = tableOfKeyElement(element);
            std::vector<int>& into = target == kFloorTable ? recordFloors : recordNodes;
            if (target == kFloorTable || target == kNodeTable)
                into.insert(into.end(), keys, keys + count);
        };
        for (const auto& [key, record] : t.of(rows)) {
            recordFloors.clear();
            recordNodes.clear();
            forEachReference(record, fieldsOf<R>(), collect);
            for (int node : recordNodes)
                floors[node].insert(floors[node].end(), recordFloors.begin(), recordFloors.end());
        }
    });
    for (auto& [node, list] : floors) {
        std::sort(list.begin(), list.end());
        list.erase(std::unique(list.begin(), list.end()), list.end());
    }
    return floors;
}

Pairing::Pairing(const StoreRows& older, const StoreRows& newer, const Options& options)
    : m_old(older), m_new(newer), m_options(options), m_tables(kTableCount), m_paired(kTableCount, false),
      m_identity(kTableCount, false)
{
    forEachTableOf([&](int id, const char*, const auto& t) {
        const auto* a = &t.of(older);
        const auto* b = &t.of(newer);
        m_tables[id].inOld = [a](int key) { return a->count(key) != 0; };
        m_tables[id].inNew = [b](int key) { return b->count(key) != 0; };
    });
    if (options.match == Match::Key)
        return;

    // The tables whose references place a record: those that refer to
    // nodes, or to records placed by their nodes.
    std::vector<std::vector<int>> targets(kTableCount);
    hoststore::forEachTable(kModelTables, [&, id = 0](const auto& t) mutable {
        addKeyTargets<RecordOf<decltype(t)>>(fieldsOf<RecordOf<decltype(t)>>(), targets[id++]);
    });
    m_identity[kNodeTable] = true;
    for (bool grew = true; grew;) {
        grew = false;
        for (int id = 0; id < kModelTableCount; ++id)
            if (!m_identity[id] && id != kFloorTable &&
                std::any_of(targets[id].begin(), targets[id].end(), [&](int target) { return m_identity[target]; }))
                grew = m_identity[id] = true;
    }

    pairFloors();
    pairNodes();
    // Each placed table once the tables it refers to are paired; a cycle
    // of references, which no model has, is broken in store order.
    for (bool left = true; left;) {
        left = false;
        int ready = -1;
        for (int id = 0; id < kModelTableCount && ready < 0; ++id)
            if (m_identity[id] && !m_paired[id] &&
                std::all_of(targets[id].begin(), targets[id].end(),
                            [&](int target) { return target == id || !m_identity[target] || m_paired[target]; }))
                ready = id;
        for (int id = 0; id < kModelTableCount && ready < 0; ++id)
            if (m_identity[id] && !m_paired[id])
                ready = id;
        if (ready < 0)
            break;
        left = true;
        withTable(ready, [&](const auto& t) { pairByReferences(ready, t.of(m_old), t.of(m_new)); });
    }
    // Design rows as their members: "RcDesignBeam" as "Beam".
    forEachTableOf([&](int id, const char*, const auto& t) {
        if (int member = memberTableOf(id); member >= 0)
            pairThroughMembers(id, member, t.of(m_old), t.of(m_new));
    });
}

void Pairing::pair(int table, int oldKey, int newKey)
{
    m_tables[table].forward.emplace(oldKey, newKey);
    m_tables[table].backward.emplace(newKey, oldKey);
}

std::optional<int> Pairing::partner(int table, Side side, int key) const
{
    const Table& t = m_tables[table];
    bool fromOld = side == Side::Old;
    if (t.byKey)
        return (fromOld ? t.inNew : t.inOld)(key) ? std::optional<int>(key) : std::nullopt;
    const auto& partners = fromOld ? t.forward : t.backward;
    auto it = partners.find(key);
    return it == partners.end() ? std::nullopt : std::optional<int>(it->second);
}

std::int64_t Pairing::canonical(int table, Side side, int key) const
{
    const Table& t = m_tables[table];
    if (side == Side::New)
        return t.inNew(key) ? key : kUnpaired + key;
    if (t.inOld(key))
        if (std::optional<int> partner = partnerOfOld(table, key))
            return *partner;
    return kUnpaired + key;
}

bool Pairing::sameReference(int table, int oldKey, int newKey) const
{
    if (m_options.match == Match::Key)
        return oldKey == newKey;
    return canonical(table, Side::Old, oldKey) == canonical(table, Side::New, newKey);
}

template <class R>
void Pairing::pairRestByKey(int table, const Rows<R>& older, const Rows<R>& newer)
{
    Table& t = m_tables[table];
    long long kept = 0;
    for (const auto& [oldKey, newKey] : t.forward)
        kept += oldKey == newKey;
    if (kept * 2 < static_cast<long long>(t.forward.size()))
        return;
    for (const auto& entry : older) {
        int key = entry.first;
        if (!t.forward.count(key) && newer.count(key) && !t.backward.count(key))
            pair(table, key, key);
    }
}

void Pairing::pairFloors()
{
    // Lowest first; floors of one elevation in key order.
    auto byHeight = [](const Rows<building_modelDB::S_Floor_D>& floors) {
        std::vector<std::pair<double, int>> order;
        for (const auto& [key, floor] : floors)
            order.emplace_back(std::isnan(floor.Elevation) ? 0.0 : floor.Elevation, key);
        std::sort(order.begin(), order.end());
        return order;
    };
    auto a = byHeight(m_old.of<building_modelDB::S_Floor_D>());
    auto b = byHeight(m_new.of<building_modelDB::S_Floor_D>());
    Table& t = m_tables[kFloorTable];
    t.byKey = false;
    t.rule = "storey order";
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        pair(kFloorTable, a[i].second, b[i].second);
    m_paired[kFloorTable] = true;
}

namespace {

// The storeys of each node, as values the two imports share, in order.
using NodeStoreys = std::unordered_map<int, std::vector<std::int64_t>>;

NodeStoreys storeysOfNodes(const Pairing& pairing, const StoreRows& rows, Side side)
{
    NodeStoreys result;
    for (auto& [node, floors] : floorsOfNodes(rows)) {
        std::vector<std::int64_t>& list = result[node];
        for (int floor : floors)
            list.push_back(pairing.canonical(kFloorTable, side, floor));
        std::sort(list.begin(), list.end());
    }
    return result;
}

const std::vector<std::int64_t> kNoStoreys;

// A node's storeys; none for a node no member uses.
const std::vector<std::int64_t>& storeysOf(const NodeStoreys& storeys, int key)
{
    auto it = storeys.find(key);
    return it == storeys.end() ? kNoStoreys : it->second;
}

// The new import's nodes in a grid of cells as wide as the tolerance: a
// node's partner lies in its own cell or a neighbouring one.
class NodeGrid {
public:
    NodeGrid(const Rows<building_modelDB::S_Node_D>& nodes, const NodeStoreys& storeys, double tolerance)
        : m_storeys(storeys), m_tolerance(tolerance), m_cell(tolerance > 0 ? tolerance : 1.0)
    {
        for (const auto& [key, node] : nodes)
            if (std::isfinite(node.x) && std::isfinite(node.y))
                m_grid[{cellOf(node.x), cellOf(node.y)}].emplace_back(key, &node);
    }

    // The new nodes within the tolerance of an old `node` and on the same
    // `storeys`: 0, 1 (then `candidate` is it) or 2 for more than one. The
    // search stops at a second candidate (an old node with two pairs with
    // none) and after kLooks nodes of its cells, so that nodes piled on one
    // place cost no more than a few looks each. Each candidate found is
    // counted in `candidacies`.
    int candidates(const building_modelDB::S_Node_D& node, const std::vector<std::int64_t>& storeys,
                   int& candidate, std::unordered_map<int, int>& candidacies) const
    {
        constexpr int kLooks = 1000;
        int found = 0, looks = 0;
        std::int64_t cx = cellOf(node.x), cy = cellOf(node.y);
        for (std::int64_t dx = -1; dx <= 1 && found < 2; ++dx)
            for (std::int64_t dy = -1; dy <= 1 && found < 2; ++dy) {
                auto it = m_grid.find({cx + dx, cy + dy});
                if (it == m_grid.end())
                    continue;
                for (std::size_t i = 0; i < it->second.size() && found < 2; ++i) {
                    if (++looks > kLooks) {
                        found = 2;
                        break;
                    }
                    const auto& [other, n] = it->second[i];
                    if (planarDistance(n->x - node.x, n->y - node.y) <= m_tolerance &&
                        storeysOf(m_storeys, other) == storeys) {
                        ++found;
                        candidate = other;
                        ++candidacies[other];
                    }
                }
            }
        return found;
    }

private:
    struct CellHash {
        std::size_t operator()(const std::pair<std::int64_t, std::int64_t>& c) const
        {
            return std::hash<std::int64_t>()(c.first * 0x9E3779B97F4A7C15ll ^ c.second);
        }
    };
    using Cell = std::vector<std::pair<int, const building_modelDB::S_Node_D*>>;

    std::int64_t cellOf(double v) const
    {
        double c = std::floor(v / m_cell);
        return static_cast<std::int64_t>(std::clamp(c, -4.0e18, 4.0e18));
    }

    const NodeStoreys& m_storeys;
    double m_tolerance;
    double m_cell;
    std::unordered_map<std::pair<std::int64_t, std::int64_t>, Cell, CellHash> m_grid;
};

} // namespace

void Pairing::pairNodes()
{
    NodeStoreys oldStoreys = storeysOfNodes(*this, m_old, Side::Old);
    NodeStoreys newStoreys = storeysOfNodes(*this, m_new, Side::New);
    NodeGrid grid(m_new.of<building_modelDB::S_Node_D>(), newStoreys, m_options.tolerance);
    // A pair only where each is the other's one candidate.
    std::vector<std::pair<int, int>> sole; // old key, its one candidate
    std::unordered_map<int, int> candidacies; // new key: old nodes that have it as a candidate
    for (const auto& [key, node] : m_old.of<building_modelDB::S_Node_D>()) {
        if (!std::isfinite(node.x) || !std::isfinite(node.y))
            continue;
        int candidate = 0;
        if (grid.candidates(node, storeysOf(oldStoreys, key), candidate, candidacies) == 1)
            sole.emplace_back(key, candidate);
    }
    Table& t = m_tables[kNodeTable];
    t.byKey = false;
    t.rule = "position";
    for (const auto& [oldKey, newKey] : sole)
        if (candidacies[newKey] == 1)
            pair(kNodeTable, oldKey, newKey);
    pairRestByKey(kNodeTable, m_old.of<building_modelDB::S_Node_D>(), m_new.of<building_modelDB::S_Node_D>());
    m_paired[kNodeTable] = true;
}

template <class R>
std::vector<std::int64_t> Pairing::signature(const R& record, Side side) const
{
    std::vector<std::int64_t> signature;
    auto add = [&](const char* element, const int* keys, std::size_t count, bool set) {
        int target = tableOfKeyElement(element);
        if (target < 0 || !(target == kFloorTable || m_identity[target]))
            return;
        signature.push_back(static_cast<std::int64_t>(count));
        std::size_t start = signature.size();
        for (std::size_t i = 0; i < count; ++i)
            signature.push_back(canonical(target, side, keys[i]));
        if (set)
            std::sort(signature.begin() + static_cast<std::ptrdiff_t>(start), signature.end());
    };
    forEachReference(record, fieldsOf<R>(), add);
    return signature;
}

template <class R>
void Pairing::pairByReferences(int table, const Rows<R>& older, const Rows<R>& newer)
{
    Table& t = m_tables[table];
    t.byKey = false;
    t.rule = "references";
    auto index = [&](const Rows<R>& rows, Side side) {
        SignatureIndex result;
        for (const auto& [key, record] : rows) {
            std::vector<std::int64_t> s = signature(record, side);
            if (s.empty())
                continue;
            Holders& h = result[std::move(s)];
            ++h.count;
            h.key = key;
        }
        return result;
    };
    SignatureIndex a = index(older, Side::Old);
    SignatureIndex b = index(newer, Side::New);
    for (const auto& [s, holders] : a) {
        if (holders.count != 1)
            continue;
        auto it = b.find(s);
        if (it != b.end() && it->second.count == 1)
            pair(table, holders.key, it->second.key);
    }
    pairRestByKey(table, older, newer);
    m_paired[table] = true;
}

template <class R>
void Pairing::pairThroughMembers(int table, int memberTable, const Rows<R>& older, const Rows<R>& newer)
{
    Table& t = m_tables[table];
    t.byKey = false;
    t.rule = "member";
    for (const auto& entry : older)
        if (std::optional<int> partner = partnerOfOld(memberTable, entry.first))
            if (newer.count(*partner) && !t.backward.count(*partner))
                pair(table, entry.first, *partner);
    pairRestByKey(table, older, newer);
    m_paired[table] = true;
}

} // namespace dictdiff
