#include "tools/plan/Plan.h"

#include <string_view>
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

std::vector<std::string> problemTexts(const Plan& plan, const Member& member, std::size_t limit, bool& more)
{
    std::vector<std::string> texts;
    std::unordered_set<std::string_view> seen;
    more = false;
    auto add = [&](const std::string& text) {
        if (seen.count(text))
            return true;
        if (texts.size() == limit) {
            more = true;
            return false;
        }
        seen.insert(text);
        texts.push_back(text);
        return true;
    };
    for (const Problem& p : member.problems) {
        if (!p.element) {
            if (!add(p.text))
                break;
            continue;
        }
        for (const std::string& text : plan.elements[*p.element].problems)
            if (!add(text))
                return texts;
    }
    return texts;
}

std::vector<std::size_t> changedRecords(const Plan& plan, const Member& member, std::size_t limit, bool& more)
{
    std::vector<std::size_t> records;
    std::unordered_set<std::size_t> seen;
    more = false;
    auto add = [&](std::size_t record) {
        if (seen.count(record))
            return true;
        if (records.size() == limit) {
            more = true;
            return false;
        }
        seen.insert(record);
        records.push_back(record);
        return true;
    };
    auto addAll = [&](const std::vector<std::size_t>& list) {
        for (std::size_t record : list)
            if (!add(record))
                return false;
        return true;
    };
    if (member.change && !add(*member.change))
        return records;
    if (!addAll(member.designChanges))
        return records;
    for (std::size_t e : member.through)
        if (plan.elements[e].change && !add(*plan.elements[e].change))
            return records;
    for (std::size_t e : member.through)
        if (!addAll(plan.elements[e].nodeChanges))
            return records;
    addAll(member.nodeChanges);
    return records;
}

} // namespace plan
