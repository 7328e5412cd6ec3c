#include "tools/plan/Plan.h"

#include <unordered_set>

namespace plan {

bool Plan::drawable(const Member& member) const
{
    if (!member.parts.empty())
        return true;
    for (std::size_t e : member.through)
        if (!elements[e].points.empty())
            return true;
    return false;
}

namespace {

// Distinct items in the order given, at most `limit` of them.
template <class T>
class FirstOnes {
public:
    FirstOnes(std::size_t limit, bool& more) : m_limit(limit), m_more(more) { m_more = false; }

    // False when the item is new and there is no room left: the caller stops.
    bool add(const T& item)
    {
        if (m_seen.count(item))
            return true;
        if (m_items.size() == m_limit) {
            m_more = true;
            return false;
        }
        m_seen.insert(item);
        m_items.push_back(item);
        return true;
    }

    bool addAll(const std::vector<T>& items)
    {
        for (const T& item : items)
            if (!add(item))
                return false;
        return true;
    }

    std::vector<T> take() { return std::move(m_items); }

private:
    std::size_t m_limit;
    bool& m_more;
    std::unordered_set<T> m_seen;
    std::vector<T> m_items;
};

} // namespace

std::vector<std::string> problemTexts(const Plan& plan, const Member& member, std::size_t limit, bool& more)
{
    FirstOnes<std::string> texts(limit, more);
    for (const Problem& p : member.problems)
        if (!(p.element ? texts.addAll(plan.elements[*p.element].problems) : texts.add(p.text)))
            break;
    return texts.take();
}

std::vector<std::size_t> changedRecords(const Plan& plan, const Member& member, std::size_t limit, bool& more)
{
    FirstOnes<std::size_t> records(limit, more);
    auto addAll = [&] {
        if (member.change && !records.add(*member.change))
            return;
        if (!records.addAll(member.designChanges))
            return;
        for (std::size_t e : member.through)
            if (plan.elements[e].change && !records.add(*plan.elements[e].change))
                return;
        for (std::size_t e : member.through)
            if (!records.addAll(plan.elements[e].nodeChanges))
                return;
        records.addAll(member.nodeChanges);
    };
    addAll();
    return records.take();
}

void decodeTexts(Plan& plan, const std::function<std::string(const std::string&)>& decode)
{
    for (Storey& storey : plan.storeys) {
        storey.name = decode(storey.name);
        for (auto& members : storey.members)
            for (Member& member : members) {
                for (std::string& value : member.design)
                    value = decode(value);
                member.openings = decode(member.openings);
            }
    }
    for (Axis& axis : plan.axes)
        axis.name = decode(axis.name);
}

} // namespace plan
