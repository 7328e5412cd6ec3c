#include "tools/dictdiff/Comparison.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <unordered_map>
#include <tuple>
#include <utility>

#include "document/Conversions.h"
#include "tools/dictdiff/Pairing.h"
#include "tools/dictdiff/RecordWalk.h"
#include "tools/dictdiff/TableList.h"

namespace dictdiff {

namespace {

using hoststore::Rows;
using hoststore::StoreRows;

// A value as the reports show it. Non-finite reals, which JSON cannot
// hold, become the texts "inf", "-inf" and "nan", as in the store's dump.
Json realValue(double v)
{
    if (std::isnan(v))
        return "nan";
    if (std::isinf(v))
        return v > 0 ? "inf" : "-inf";
    return v;
}

template <class R>
Json recordValue(const R& record);
template <class V>
Json listValue(const std::map<int, V>& entries);

template <class M>
Json valueOf(const M& v)
{
    if constexpr (std::is_same_v<M, double>) {
        return realValue(v);
    } else if constexpr (std::is_arithmetic_v<M> || std::is_same_v<M, std::string>) {
        return v;
    } else if constexpr (std::is_array_v<M>) {
        Json items = Json::array();
        for (const auto& item : v)
            items.push_back(valueOf(item));
        return items;
    } else if constexpr (std::is_pointer_v<M>) {
        return listValue(entriesOf(v));
    } else {
        return recordValue(v);
    }
}

// A list: its values in key order.
template <class V>
Json listValue(const std::map<int, V>& entries)
{
    Json items = Json::array();
    for (const auto& entry : entries)
        items.push_back(valueOf(entry.second));
    return items;
}

template <class R>
Json recordValue(const R& record)
{
    Json object = Json::object();
    schema::forEachMember<R>([&](const auto& f) { object[f.element] = valueOf(record.*f.member); });
    return object;
}

// A node's move; no other record has a place to move from.
template <class R>
std::optional<double> distanceMoved(const R&, const R&)
{
    return std::nullopt;
}
std::optional<double> distanceMoved(const building_modelDB::S_Node_D& a, const building_modelDB::S_Node_D& b)
{
    return planarDistance(b.x - a.x, b.y - a.y);
}

// The members of two records that differ, walked together.
class RecordDiff {
public:
    RecordDiff(const Pairing& pairing, const Options& options) : m_pairing(pairing), m_options(options) {}

    template <class R>
    std::vector<MemberChange> members(const R& a, const R& b)
    {
        m_changes.clear();
        record(a, b, fieldsOf<R>());
        return std::move(m_changes);
    }

private:
    struct Segment {
        const char* name;
        int index; // -1 for a member, otherwise an array's or list's index
    };

    template <class R, class Fields>
    void record(const R& a, const R& b, const Fields& fields)
    {
        forEachMemberKind(fields, [&](const auto& member, const auto& kind) {
            m_path.push_back({member.element, -1});
            value(a.*member.member, b.*member.member, kind);
            m_path.pop_back();
        });
    }

    template <class M, class Kind>
    void value(const M& a, const M& b, const Kind& kind)
    {
        if constexpr (std::is_same_v<M, int>) {
            if (!sameKey(keyElement(kind), a, b))
                differs(a, b);
        } else if constexpr (std::is_same_v<M, bool>) {
            if (a != b)
                differs(a, b);
        } else if constexpr (std::is_same_v<M, double>) {
            if (!sameReal(a, b))
                differs(a, b);
        } else if constexpr (std::is_same_v<M, std::string>) {
            if (m_options.oldText || m_options.newText) {
                std::string x = m_options.oldText ? m_options.oldText(a) : a;
                std::string y = m_options.newText ? m_options.newText(b) : b;
                if (x != y && !sameNumberText(x, y))
                    differs(x, y);
            } else if (a != b && !sameNumberText(a, b)) {
                differs(a, b);
            }
        } else if constexpr (std::is_array_v<M>) {
            for (std::size_t i = 0; i < std::extent_v<M>; ++i) {
                m_path.push_back({nullptr, static_cast<int>(i)});
                if constexpr (isSubRecord<std::remove_extent_t<M>>)
                    record(a[i], b[i], subFields(kind));
                else
                    value(a[i], b[i], nullptr);
                m_path.pop_back();
            }
        } else if constexpr (std::is_pointer_v<M>) {
            list(entriesOf(a), entriesOf(b), kind);
        } else {
            record(a, b, subFields(kind));
        }
    }

    // A list of sub-records: entry by entry, an entry one side lacks as a whole.
    template <class V, class Kind>
    void list(const std::map<int, V>& a, const std::map<int, V>& b, const Kind& kind)
    {
        if constexpr (isSubRecord<V>) {
            auto i = a.begin();
            auto j = b.begin();
            while (i != a.end() || j != b.end()) {
                bool left = j == b.end() || (i != a.end() && i->first < j->first);
                bool right = i == a.end() || (j != b.end() && j->first < i->first);
                m_path.push_back({nullptr, left ? i->first : j->first});
                if (left)
                    m_changes.push_back({path(), recordValue(i->second), nullptr});
                else if (right)
                    m_changes.push_back({path(), nullptr, recordValue(j->second)});
                else
                    record(i->second, j->second, subFields(kind));
                m_path.pop_back();
                if (!right)
                    ++i;
                if (!left)
                    ++j;
            }
        } else if (!sameList(a, b, kind)) {
            m_changes.push_back({path(), listValue(a), listValue(b)});
        }
    }

    // A list of keys or reals: the same entries, keys compared through
    // the pairing of the table they refer to, a set regardless of order.
    template <class V, class Kind>
    bool sameList(const std::map<int, V>& a, const std::map<int, V>& b, const Kind& kind) const
    {
        if (a.size() != b.size())
            return false;
        const char* element = keyElement(kind);
        int target = tableOfKeyElement(element);
        if constexpr (std::is_same_v<V, int>) {
            if (target >= 0 && m_options.match == Match::Geometry && isSet(kind)) {
                std::vector<std::int64_t> x, y;
                for (const auto& entry : a)
                    x.push_back(m_pairing.canonical(target, Side::Old, entry.second));
                for (const auto& entry : b)
                    y.push_back(m_pairing.canonical(target, Side::New, entry.second));
                std::sort(x.begin(), x.end());
                std::sort(y.begin(), y.end());
                return x == y;
            }
        }
        return std::equal(a.begin(), a.end(), b.begin(), [&](const auto& x, const auto& y) {
            if (x.first != y.first)
                return false;
            if constexpr (std::is_same_v<V, int>)
                return sameKey(element, x.second, y.second);
            else
                return sameReal(x.second, y.second);
        });
    }

    bool sameKey(const char* element, int a, int b) const
    {
        int target = tableOfKeyElement(element);
        return target < 0 ? a == b : m_pairing.sameReference(target, a, b);
    }

    bool sameReal(double a, double b) const
    {
        if (a == b || (std::isnan(a) && std::isnan(b)))
            return true;
        double size = std::max(std::fabs(a), std::fabs(b));
        return std::fabs(a - b) <= m_options.tolerance * std::min(1.0, size);
    }

    // Design results are stored as texts: two texts that each read whole
    // as a number compare as reals.
    bool sameNumberText(const std::string& a, const std::string& b) const
    {
        document::NumberFit fitA, fitB;
        double x = document::toReal(a.c_str(), &fitA);
        double y = document::toReal(b.c_str(), &fitB);
        return fitA == document::NumberFit::Whole && fitB == document::NumberFit::Whole && sameReal(x, y);
    }

    template <class M>
    void differs(const M& a, const M& b)
    {
        m_changes.push_back({path(), valueOf(a), valueOf(b)});
    }

    std::string path() const
    {
        std::string text;
        for (const Segment& s : m_path) {
            if (s.name) {
                if (!text.empty())
                    text += '.';
                text += s.name;
            } else {
                text += '[' + std::to_string(s.index) + ']';
            }
        }
        return text;
    }

    const Pairing& m_pairing;
    const Options& m_options;
    std::vector<Segment> m_path;
    std::vector<MemberChange> m_changes;
};

// The storeys of both imports, and which storey each record belongs to.
class Storeys {
public:
    Storeys(const StoreRows& older, const StoreRows& newer, const Pairing& pairing, const Options& options)
        : m_older(older), m_newer(newer)
    {
        auto name = [](const auto& decode, const std::string& text) { return decode ? decode(text) : text; };
        for (const auto& [key, floor] : newer.of<building_modelDB::S_Floor_D>())
            m_list.push_back({pairing.partnerOfNew(kFloorTable, key), key, name(options.newText, floor.StoryName),
                              floor.Elevation});
        for (const auto& [key, floor] : older.of<building_modelDB::S_Floor_D>())
            if (!pairing.partnerOfOld(kFloorTable, key))
                m_list.push_back({key, std::nullopt, name(options.oldText, floor.StoryName), floor.Elevation});
        auto order = [](const Storey& s) {
            return std::make_tuple(std::isnan(s.elevation) ? 0.0 : s.elevation, !s.newKey.has_value(),
                                   s.newKey.value_or(s.oldKey.value_or(0)));
        };
        std::sort(m_list.begin(), m_list.end(),
                  [&](const Storey& a, const Storey& b) { return order(a) < order(b); });
        for (std::size_t i = 0; i < m_list.size(); ++i) {
            if (m_list[i].oldKey)
                m_byOldFloor[*m_list[i].oldKey] = static_cast<int>(i);
            if (m_list[i].newKey)
                m_byNewFloor[*m_list[i].newKey] = static_cast<int>(i);
        }
    }

    std::vector<Storey> take() { return std::move(m_list); }

    // The storey of a table's record: a floor's, itself; a record's with a
    // floor reference, that floor; a node's, the lowest storey of the
    // members that use it; a design row's, its member's. -1 for none.
    int of(int table, Side side, int key)
    {
        if (table == kNodeTable)
            return ofNode(side, key);
        if (table == kFloorTable)
            return ofFloor(side, key);
        int storey = -1;
        withTable(table, [&](const auto& t) {
            using R = RecordOf<decltype(t)>;
            const Rows<R>& rows = t.of(side == Side::Old ? m_older : m_newer);
            auto it = rows.find(key);
            if (it == rows.end())
                return;
            int floor = 0;
            bool found = false;
            auto first = [&](const char* element, const int* keys, std::size_t count, bool) {
                if (!found && count > 0 && tableOfKeyElement(element) == kFloorTable) {
                    floor = keys[0];
                    found = true;
                }
            };
            forEachReference(it->second, fieldsOf<R>(), first);
            if (found)
                storey = ofFloor(side, floor);
            else if (int member = memberTableOf(table); member >= 0)
                storey = of(member, side, key);
        });
        return storey;
    }

private:
    int ofFloor(Side side, int floor) const
    {
        const auto& index = side == Side::Old ? m_byOldFloor : m_byNewFloor;
        auto it = index.find(floor);
        return it == index.end() ? -1 : it->second;
    }

    int ofNode(Side side, int key)
    {
        auto& nodes = m_nodeStoreys[side == Side::Old ? 0 : 1];
        if (!nodes) {
            nodes.emplace();
            for (const auto& [node, floors] : floorsOfNodes(side == Side::Old ? m_older : m_newer)) {
                int lowest = -1;
                for (int floor : floors)
                    if (int s = ofFloor(side, floor); s >= 0 && (lowest < 0 || s < lowest))
                        lowest = s;
                (*nodes)[node] = lowest;
            }
        }
        auto it = nodes->find(key);
        return it == nodes->end() ? -1 : it->second;
    }

    const StoreRows& m_older;
    const StoreRows& m_newer;
    std::vector<Storey> m_list;
    std::unordered_map<int, int> m_byOldFloor;
    std::unordered_map<int, int> m_byNewFloor;
    std::optional<std::unordered_map<int, int>> m_nodeStoreys[2];
};

} // namespace

const char* changeName(Change change)
{
    switch (change) {
    case Change::Added: return "added";
    case Change::Removed: return "removed";
    case Change::Changed: return "changed";
    }
    return "";
}

const char* matchName(Match match)
{
    return match == Match::Geometry ? "geometry" : "key";
}

bool Comparison::equal() const
{
    return std::all_of(tables.begin(), tables.end(), [](const TableComparison& t) {
        return t.added == 0 && t.removed == 0 && t.changed == 0 && (t.notRead.empty() || t.notRead == "both");
    });
}

void markNotRead(Comparison& comparison, const std::vector<UnreadTable>& older,
                 const std::vector<UnreadTable>& newer)
{
    for (TableComparison& t : comparison.tables) {
        for (const auto& [list, written] : {std::pair{&older, &t.writtenOld}, std::pair{&newer, &t.writtenNew}})
            for (const UnreadTable& u : *list)
                if (u.table == t.name && written->empty()) {
                    *written = u.written;
                    t.knownName = u.known;
                }
        bool inOld = !t.writtenOld.empty(), inNew = !t.writtenNew.empty();
        if (!inOld && !inNew)
            continue;
        t.notRead = inOld && inNew ? "both" : inOld ? "old" : "new";
        t.records.erase(std::remove_if(t.records.begin(), t.records.end(),
                                       [](const RecordChange& r) { return r.change != Change::Changed; }),
                        t.records.end());
        t.added = 0;
        t.removed = 0;
    }
}

Comparison compare(const StoreRows& older, const StoreRows& newer, const Options& options)
{
    Pairing pairing(older, newer, options);
    Storeys storeys(older, newer, pairing, options);
    RecordDiff diff(pairing, options);
    Comparison result;
    result.options = options;
    forEachTableOf([&](int id, const char* section, const auto& t) {
        using R = RecordOf<decltype(t)>;
        const Rows<R>& a = t.of(older);
        const Rows<R>& b = t.of(newer);
        TableComparison table;
        table.section = section;
        table.name = t.name;
        table.pairedBy = pairing.rule(id);
        table.oldRecords = static_cast<long long>(a.size());
        table.newRecords = static_cast<long long>(b.size());
        auto paired = [&](int oldKey, const R& x, int newKey, const R& y) {
            if (oldKey != newKey) {
                ++table.rekeyed;
                table.rekeyedPairs.emplace_back(oldKey, newKey);
            }
            std::vector<MemberChange> members = diff.members(x, y);
            if (members.empty())
                return;
            ++table.changed;
            table.records.push_back({Change::Changed, oldKey, newKey, storeys.of(id, Side::New, newKey),
                                     distanceMoved(x, y), std::move(members)});
        };
        auto removed = [&](int key) {
            ++table.removed;
            table.records.push_back({Change::Removed, key, std::nullopt, storeys.of(id, Side::Old, key), {}, {}});
        };
        auto added = [&](int key) {
            ++table.added;
            table.records.push_back({Change::Added, std::nullopt, key, storeys.of(id, Side::New, key), {}, {}});
        };
        if (pairing.byKey(id)) {
            auto i = a.begin();
            auto j = b.begin();
            while (i != a.end() || j != b.end()) {
                if (j == b.end() || (i != a.end() && i->first < j->first)) {
                    removed(i->first);
                    ++i;
                } else if (i == a.end() || j->first < i->first) {
                    added(j->first);
                    ++j;
                } else {
                    paired(i->first, i->second, j->first, j->second);
                    ++i;
                    ++j;
                }
            }
        } else {
            for (const auto& [key, record] : a) {
                if (std::optional<int> partner = pairing.partnerOfOld(id, key))
                    paired(key, record, *partner, b.at(*partner));
                else
                    removed(key);
            }
            for (const auto& entry : b)
                if (!pairing.partnerOfNew(id, entry.first))
                    added(entry.first);
            auto order = [](const RecordChange& r) {
                return std::make_pair(r.newKey ? *r.newKey : *r.oldKey, r.change != Change::Removed);
            };
            std::sort(table.records.begin(), table.records.end(),
                      [&](const RecordChange& x, const RecordChange& y) { return order(x) < order(y); });
        }
        result.tables.push_back(std::move(table));
    });
    result.storeys = storeys.take();
    return result;
}

} // namespace dictdiff
