#include "tools/dictdiff/PlanChanges.h"

#include <algorithm>
#include <map>
#include <optional>
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
    explicit TableChanges(const TableComparison& table) : m_table(&table)
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

    const TableComparison* table() const { return m_table; }
    const RecordChange* ofNew(int key) const { return find(m_byNewKey, key); }
    const RecordChange* removed(int oldKey) const { return find(m_removed, oldKey); }
    // The old key of a new record that is not added.
    int oldKeyOf(int newKey) const
    {
        auto it = m_oldKeys.find(newKey);
        return it == m_oldKeys.end() ? newKey : it->second;
    }

private:
    static const RecordChange* find(const std::unordered_map<int, const RecordChange*>& map, int key)
    {
        auto it = map.find(key);
        return it == map.end() ? nullptr : it->second;
    }

    const TableComparison* m_table = nullptr;
    std::unordered_map<int, const RecordChange*> m_byNewKey;
    std::unordered_map<int, const RecordChange*> m_removed;
    std::unordered_map<int, int> m_oldKeys;
};

// The keys in order, each once.
std::vector<int> once(const std::vector<int>& keys)
{
    std::vector<int> list;
    std::unordered_set<int> seen;
    for (int key : keys)
        if (seen.insert(key).second)
            list.push_back(key);
    return list;
}

// What changed of the members and elements of the new import's plan, each
// changed record told once in its Plan::records, however many members rely
// on it.
class Changes {
public:
    Changes(const Comparison& comparison, std::vector<plan::RecordNote>& notes) : m_notes(notes)
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

    // An element's changes: its own record's, and its nodes'.
    void mark(plan::Element& e)
    {
        e.change = note(of("Element"), e.key);
        const TableChanges& nodes = of("Node");
        for (int key : once(e.nodes))
            if (std::optional<std::size_t> n = note(nodes, key))
                e.nodeChanges.push_back(*n);
    }

    // A new member's style and what changed, by its own record, its design
    // row and the elements and nodes it is drawn through.
    void mark(plan::Member& m, const plan::KindInfo& kind, const std::vector<plan::Element>& elements)
    {
        const TableChanges& own = of(kind.table);
        if (const RecordChange* r = own.ofNew(m.key)) {
            if (r->change == Change::Added) {
                m.style = plan::Style::Added;
                return;
            }
            // Its own record's members that differ, told without its name.
            if (!r->members.empty())
                m.change = note(own, *r);
        }
        int oldKey = own.oldKeyOf(m.key);
        const TableChanges& design = of(kind.design);
        for (const RecordChange* r : {design.ofNew(m.key), design.removed(oldKey)})
            if (std::optional<std::size_t> n = r ? note(design, *r) : std::nullopt)
                m.designChanges.push_back(*n);
        const TableChanges& nodes = of("Node");
        for (int key : once(m.nodes))
            if (std::optional<std::size_t> n = note(nodes, key))
                m.nodeChanges.push_back(*n);
        bool changed = m.change || !m.designChanges.empty() || !m.nodeChanges.empty();
        for (std::size_t e : m.through)
            changed = changed || elements[e].change || !elements[e].nodeChanges.empty();
        m.style = changed ? plan::Style::Changed : plan::Style::Normal;
        if (changed && oldKey != m.key)
            m.shownKey = std::to_string(oldKey) + " -> " + std::to_string(m.key);
    }

private:
    std::optional<std::size_t> note(const TableChanges& table, int newKey)
    {
        const RecordChange* r = table.ofNew(newKey);
        return r ? note(table, *r) : std::nullopt;
    }

    // The record's place in Plan::records, added on its first use; none
    // when it tells nothing.
    std::optional<std::size_t> note(const TableChanges& table, const RecordChange& r)
    {
        auto known = m_places.find(&r);
        if (known != m_places.end())
            return known->second;
        plan::RecordNote n;
        n.name = std::string(table.table()->name) + " " + keysText(r);
        n.change = changeText(r);
        n.headline = r.change != Change::Changed || r.distance;
        for (const MemberChange& m : r.members)
            n.members.push_back(memberText(m));
        n.anchor = changeAnchor(*table.table(), r);
        std::optional<std::size_t> place;
        if (n.headline || !n.members.empty()) {
            m_notes.push_back(std::move(n));
            place = m_notes.size() - 1;
        }
        m_places.emplace(&r, place);
        return place;
    }

    std::map<std::string, TableChanges> m_tables;
    std::vector<plan::RecordNote>& m_notes;
    std::unordered_map<const RecordChange*, std::optional<std::size_t>> m_places;
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

// The places of a plan's stored storeys, by key.
std::unordered_map<int, std::size_t> storedStoreys(const plan::Plan& p)
{
    std::unordered_map<int, std::size_t> places;
    for (std::size_t i = 0; i < p.storeys.size(); ++i)
        if (p.storeys[i].stored)
            places.emplace(p.storeys[i].key, i);
    return places;
}

// The element of the old import's plan that a removed member brings into
// the compared plan, each once, by its place in each.
class OldElements {
public:
    OldElements(std::vector<plan::Element>& older, std::vector<plan::Element>& result)
        : m_older(older), m_result(result), m_places(older.size(), kNone)
    {
    }

    void bring(plan::Member& m)
    {
        for (std::size_t& e : m.through)
            e = place(e);
        for (plan::Problem& p : m.problems)
            if (p.element)
                p.element = place(*p.element);
    }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    std::size_t place(std::size_t old)
    {
        if (m_places[old] == kNone) {
            m_result.push_back(std::move(m_older[old]));
            m_places[old] = m_result.size() - 1;
        }
        return m_places[old];
    }

    std::vector<plan::Element>& m_older;
    std::vector<plan::Element>& m_result;
    std::vector<std::size_t> m_places;
};

// Where the compared plan's storeys are: by the old import's Floor key,
// and those the new import's members name but its Floor table lacks, by
// key.
struct StoreyPlaces {
    std::map<int, std::size_t> byOldFloor;
    std::unordered_map<int, std::size_t> unstored;
};

// The comparison's storeys, each the new import's where it has one, else
// the old import's without its members, else one made of the comparison's;
// then the storeys the new import's members name but its Floor table
// lacks. Into `storeys`; where each is, returned.
StoreyPlaces takeStoreys(const Comparison& comparison, plan::Plan& older, plan::Plan& newer,
                         std::vector<plan::Storey>& storeys)
{
    StoreyPlaces places;
    std::vector<bool> taken(newer.storeys.size());
    std::unordered_map<int, std::size_t> newStored = storedStoreys(newer), oldStored = storedStoreys(older);
    for (const Storey& s : comparison.storeys) {
        auto fromNew = s.newKey ? newStored.find(*s.newKey) : newStored.end();
        auto fromOld = s.oldKey ? oldStored.find(*s.oldKey) : oldStored.end();
        plan::Storey storey;
        if (fromNew != newStored.end()) {
            storey = std::move(newer.storeys[fromNew->second]);
            taken[fromNew->second] = true;
        } else if (fromOld != oldStored.end()) {
            storey = emptied(older.storeys[fromOld->second]);
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
            places.byOldFloor[*s.oldKey] = storeys.size();
        storeys.push_back(std::move(storey));
    }
    for (std::size_t i = 0; i < newer.storeys.size(); ++i)
        if (!taken[i] && !newer.storeys[i].stored) {
            places.unstored.emplace(newer.storeys[i].key, storeys.size());
            storeys.push_back(std::move(newer.storeys[i]));
        }
    return places;
}

// Marks what changed in each element and member of the compared plan.
void markChanges(Changes& changes, plan::Plan& result)
{
    for (plan::Element& e : result.elements)
        changes.mark(e);
    for (plan::Storey& storey : result.storeys)
        for (const plan::KindInfo& k : plan::kinds())
            for (plan::Member& m : storey.members[static_cast<std::size_t>(k.kind)])
                changes.mark(m, k, result.elements);
}

// Brings the old import's removed members into the compared plan, with
// the elements they are drawn through, on the storey they were on: the
// compared storey of their old Floor, else the unstored storey of that
// key, else the old import's storey without its members, added for them.
void bringRemoved(const Changes& changes, plan::Plan& older, StoreyPlaces& places, plan::Plan& result)
{
    OldElements oldElements(older.elements, result.elements);
    for (plan::Storey& old : older.storeys) {
        std::optional<std::size_t> target;
        if (auto it = places.byOldFloor.find(old.key); old.stored && it != places.byOldFloor.end())
            target = it->second;
        for (const plan::KindInfo& k : plan::kinds()) {
            const TableChanges& own = changes.of(k.table);
            for (plan::Member& m : old.members[static_cast<std::size_t>(k.kind)]) {
                if (!own.removed(m.key))
                    continue;
                if (!target) {
                    auto found = old.stored ? places.unstored.end() : places.unstored.find(old.key);
                    if (found == places.unstored.end()) {
                        result.storeys.push_back(emptied(old));
                        result.storeys.back().remark = "only in OLD";
                        if (!old.stored)
                            places.unstored.emplace(old.key, result.storeys.size() - 1);
                        target = result.storeys.size() - 1;
                    } else {
                        target = found->second;
                    }
                }
                m.style = plan::Style::Removed;
                oldElements.bring(m);
                result.storeys[*target].members[static_cast<std::size_t>(k.kind)].push_back(std::move(m));
            }
        }
    }
}

// Each storey's members of each kind in the order of their keys.
void sortByKey(std::vector<plan::Storey>& storeys)
{
    for (plan::Storey& storey : storeys)
        for (auto& list : storey.members)
            std::stable_sort(list.begin(), list.end(),
                             [](const plan::Member& a, const plan::Member& b) { return a.key < b.key; });
}

} // namespace

std::string changeAnchor(const TableComparison& table, const RecordChange& record)
{
    return std::string("c-") + table.name + "-" + std::to_string(&record - table.records.data());
}

plan::Plan comparedPlan(const Comparison& comparison, plan::Plan older, plan::Plan newer)
{
    plan::Plan result;
    Changes changes(comparison, result.records);
    result.marking = plan::Marking::Changes;
    result.axes = std::move(newer.axes);
    result.axisProblems = std::move(newer.axisProblems);
    result.designFields = std::move(newer.designFields);
    result.elements = std::move(newer.elements);
    StoreyPlaces places = takeStoreys(comparison, older, newer, result.storeys);
    markChanges(changes, result);
    bringRemoved(changes, older, places, result);
    sortByKey(result.storeys);
    return result;
}

} // namespace dictdiff
