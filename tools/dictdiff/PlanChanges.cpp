#include "tools/dictdiff/PlanChanges.h"

#include <algorithm>
#include <map>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "tools/dictdiff/Report.h"

namespace dictdiff {

namespace {

// A table's records that changed, by key: added and changed ones by their
// new key, removed ones by their old key; and the old key of each record
// paired under another key.
class TableChanges {
public:
    TableChanges() = default;
    explicit TableChanges(const TableComparison& table) : m_name(table.name)
    {
        for (const RecordChange& r : table.records) {
            if (r.change == Change::Removed)
                m_removed.emplace(*r.oldKey, &r);
            else
                m_byNewKey.emplace(*r.newKey, &r);
        }
        for (const auto& [oldKey, newKey] : table.rekeyedPairs)
            m_oldKeys.emplace(newKey, oldKey);
    }

    const RecordChange* ofNew(int key) const { return find(m_byNewKey, key); }
    const RecordChange* removed(int oldKey) const { return find(m_removed, oldKey); }
    // The old key of a new record that is not added.
    int oldKeyOf(int newKey) const
    {
        auto it = m_oldKeys.find(newKey);
        return it == m_oldKeys.end() ? newKey : it->second;
    }

    // What a record that a member relies on changed, a line each:
    // "Node 9: changed, moved 150", "Node 9: x: 18000.4 -> 18150.4".
    void describe(std::vector<std::string>& lines, const RecordChange& r) const
    {
        std::string prefix = m_name + " " + keysText(r) + ": ";
        if (r.change != Change::Changed || r.distance)
            lines.push_back(prefix + changeText(r));
        for (const MemberChange& m : r.members)
            lines.push_back(prefix + memberText(m));
    }

private:
    static const RecordChange* find(const std::unordered_map<int, const RecordChange*>& map, int key)
    {
        auto it = map.find(key);
        return it == map.end() ? nullptr : it->second;
    }

    std::string m_name;
    std::unordered_map<int, const RecordChange*> m_byNewKey;
    std::unordered_map<int, const RecordChange*> m_removed;
    std::unordered_map<int, int> m_oldKeys;
};

class Changes {
public:
    explicit Changes(const Comparison& comparison)
    {
        for (const TableComparison& t : comparison.tables)
            m_tables.emplace(t.name, TableChanges(t));
    }

    const TableChanges& of(const char* table) const
    {
        static const TableChanges none;
        auto it = table ? m_tables.find(table) : m_tables.end();
        return it == m_tables.end() ? none : it->second;
    }

    // A new member's style and what changed, by its own record, its design
    // row and the elements and nodes it is drawn through.
    void mark(plan::Member& m, const plan::KindInfo& kind) const
    {
        const TableChanges& own = of(kind.table);
        std::vector<std::string> lines;
        if (const RecordChange* r = own.ofNew(m.key)) {
            if (r->change == Change::Added) {
                m.style = plan::Style::Added;
                return;
            }
            for (const MemberChange& member : r->members)
                lines.push_back(memberText(member));
        }
        int oldKey = own.oldKeyOf(m.key);
        const TableChanges& design = of(kind.design);
        if (const RecordChange* r = design.ofNew(m.key))
            design.describe(lines, *r);
        if (const RecordChange* r = design.removed(oldKey))
            design.describe(lines, *r);
        const TableChanges& elements = of("Element");
        for (int key : once(m.elements))
            if (const RecordChange* r = elements.ofNew(key))
                elements.describe(lines, *r);
        const TableChanges& nodes = of("Node");
        for (int key : once(m.nodes))
            if (const RecordChange* r = nodes.ofNew(key))
                nodes.describe(lines, *r);
        m.style = lines.empty() ? plan::Style::Normal : plan::Style::Changed;
        if (!lines.empty() && oldKey != m.key)
            m.shownKey = std::to_string(oldKey) + " -> " + std::to_string(m.key);
        m.changes = std::move(lines);
    }

private:
    // The keys in order, each once.
    static std::vector<int> once(const std::vector<int>& keys)
    {
        std::vector<int> list;
        std::unordered_set<int> seen;
        for (int key : keys)
            if (seen.insert(key).second)
                list.push_back(key);
        return list;
    }

    std::map<std::string, TableChanges> m_tables;
};

// A storey as its own plan has it, without its members.
plan::Storey emptied(const plan::Storey& storey)
{
    plan::Storey copy;
    copy.key = storey.key;
    copy.stored = storey.stored;
    copy.number = storey.number;
    copy.name = storey.name;
    copy.elevation = storey.elevation;
    copy.height = storey.height;
    copy.nodes = storey.nodes;
    return copy;
}

// The index of the storey of this key, stored or only named by members;
// -1 when the plan has none.
int indexOf(const plan::Plan& p, int key, bool stored)
{
    for (std::size_t i = 0; i < p.storeys.size(); ++i)
        if (p.storeys[i].key == key && p.storeys[i].stored == stored)
            return static_cast<int>(i);
    return -1;
}

} // namespace

plan::Plan comparedPlan(const Comparison& comparison, plan::Plan older, plan::Plan newer)
{
    Changes changes(comparison);
    plan::Plan result;
    result.marking = plan::Marking::Changes;
    result.axes = std::move(newer.axes);
    result.axisProblems = std::move(newer.axisProblems);
    result.designFields = std::move(newer.designFields);

    // The comparison's storeys, each the new import's where it has one.
    std::vector<bool> taken(newer.storeys.size());
    std::map<int, std::size_t> byOldFloor;
    for (const Storey& s : comparison.storeys) {
        int fromNew = s.newKey ? indexOf(newer, *s.newKey, true) : -1;
        int fromOld = s.oldKey ? indexOf(older, *s.oldKey, true) : -1;
        plan::Storey storey;
        if (fromNew >= 0) {
            storey = std::move(newer.storeys[static_cast<std::size_t>(fromNew)]);
            taken[static_cast<std::size_t>(fromNew)] = true;
        } else if (fromOld >= 0) {
            storey = emptied(older.storeys[static_cast<std::size_t>(fromOld)]);
        } else {
            storey.key = s.newKey.value_or(s.oldKey.value_or(0));
            storey.stored = true;
            storey.name = s.name;
            storey.elevation = s.elevation;
        }
        if (!s.oldKey)
            storey.remark = "only in NEW";
        else if (!s.newKey)
            storey.remark = "only in OLD";
        else if (*s.oldKey != *s.newKey)
            storey.remark = "old Floor " + std::to_string(*s.oldKey);
        if (s.oldKey)
            byOldFloor[*s.oldKey] = result.storeys.size();
        result.storeys.push_back(std::move(storey));
    }
    // Then the storeys the new import's members name but its Floor table lacks.
    for (std::size_t i = 0; i < newer.storeys.size(); ++i)
        if (!taken[i] && !newer.storeys[i].stored)
            result.storeys.push_back(std::move(newer.storeys[i]));

    for (plan::Storey& storey : result.storeys)
        for (const plan::KindInfo& k : plan::kinds())
            for (plan::Member& m : storey.members[static_cast<std::size_t>(k.kind)])
                changes.mark(m, k);

    // The old import's removed members, on the storey they were on.
    for (plan::Storey& old : older.storeys) {
        plan::Storey* target = nullptr;
        if (auto it = byOldFloor.find(old.key); old.stored && it != byOldFloor.end())
            target = &result.storeys[it->second];
        for (const plan::KindInfo& k : plan::kinds()) {
            const TableChanges& own = changes.of(k.table);
            for (plan::Member& m : old.members[static_cast<std::size_t>(k.kind)]) {
                if (!own.removed(m.key))
                    continue;
                if (!target) {
                    int index = old.stored ? -1 : indexOf(result, old.key, false);
                    if (index < 0) {
                        result.storeys.push_back(emptied(old));
                        result.storeys.back().remark = "only in OLD";
                        index = static_cast<int>(result.storeys.size() - 1);
                    }
                    target = &result.storeys[static_cast<std::size_t>(index)];
                }
                m.style = plan::Style::Removed;
                target->members[static_cast<std::size_t>(k.kind)].push_back(std::move(m));
            }
        }
    }
    for (plan::Storey& storey : result.storeys)
        for (auto& list : storey.members)
            std::stable_sort(list.begin(), list.end(),
                             [](const plan::Member& a, const plan::Member& b) { return a.key < b.key; });
    return result;
}

} // namespace dictdiff
