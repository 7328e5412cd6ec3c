#include "tools/dictdiff/TableList.h"

#include <utility>
#include <vector>

#include "tools/dictdiff/RecordWalk.h"

namespace dictdiff {

int memberTableOf(int designTable)
{
    constexpr std::string_view prefix = "RcDesign";
    int member = -1;
    forEachTableOf([&](int id, const char* section, const auto& t) {
        std::string_view name = t.name;
        if (id == designTable && std::string_view(section) == "design" && name.substr(0, prefix.size()) == prefix)
            member = tableId(name.substr(prefix.size()));
    });
    return member;
}

int tableOfKeyElement(const char* element)
{
    if (!element)
        return -1;
    // The field lists' key elements are a handful of literals: remembered
    // by address, each is resolved once.
    static std::vector<std::pair<const char*, int>> resolved;
    for (const auto& [known, id] : resolved)
        if (known == element)
            return id;
    std::string_view table = referencedTable(element);
    int id = table.empty() ? -1 : tableId(table);
    resolved.emplace_back(element, id);
    return id;
}

} // namespace dictdiff
