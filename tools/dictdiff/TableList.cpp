#include "tools/dictdiff/TableList.h"

#include <utility>
#include <vector>

#include "tools/dictdiff/RecordWalk.h"

namespace dictdiff {

int tableId(std::string_view name)
{
    int found = -1;
    forEachTableOf([&](int id, const char*, const auto& t) {
        if (found < 0 && name == t.name)
            found = id;
    });
    return found;
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
