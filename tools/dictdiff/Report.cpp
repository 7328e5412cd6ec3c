#include "tools/dictdiff/Report.h"

#include <cstdarg>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace dictdiff {

namespace {

// Texts that are not valid UTF-8 (a file in another encoding) are shown
// with U+FFFD for each invalid byte rather than refused.
std::string dumped(const Json& value)
{
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

Json optionalKey(const std::optional<int>& key)
{
    return key ? Json(*key) : Json();
}

// Writes formatted text, remembering a failure.
class Out {
public:
    explicit Out(std::FILE* file) : m_file(file) {}
    void print(const char* format, ...) __attribute__((format(printf, 2, 3)))
    {
        va_list args;
        va_start(args, format);
        if (std::vfprintf(m_file, format, args) < 0)
            m_failed = true;
        va_end(args);
    }
    void put(const std::string& text)
    {
        if (std::fwrite(text.data(), 1, text.size(), m_file) != text.size())
            m_failed = true;
    }
    bool done() { return std::fflush(m_file) == 0 && !m_failed && !std::ferror(m_file); }

private:
    std::FILE* m_file;
    bool m_failed = false;
};

std::string storeyLabel(const Storey& s)
{
    std::string label = "storey " + dumped(s.name);
    if (s.newKey && s.oldKey && *s.oldKey != *s.newKey)
        label += " (floor " + std::to_string(*s.newKey) + ", old floor " + std::to_string(*s.oldKey) + ")";
    else if (s.newKey)
        label += " (floor " + std::to_string(*s.newKey) + ")";
    else
        label += " (old floor " + std::to_string(*s.oldKey) + ", removed)";
    return label;
}

std::string keysOf(const RecordChange& r)
{
    if (r.oldKey && r.newKey && *r.oldKey != *r.newKey)
        return std::to_string(*r.oldKey) + " -> " + std::to_string(*r.newKey);
    return std::to_string(r.newKey ? *r.newKey : *r.oldKey);
}

// A tolerance in the shortest form that reads back the same.
std::string number(double v)
{
    return dumped(Json(v));
}

// A distance as people read it: six significant digits.
std::string readable(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", v);
    return text;
}

} // namespace

std::string shown(const Json& value)
{
    return value.is_string() ? value.get<std::string>() : dumped(value);
}

bool writeText(std::FILE* file, const Comparison& c, const Files& files)
{
    Out out(file);
    long long added = 0, removed = 0, changed = 0;
    for (const TableComparison& t : c.tables) {
        added += t.added;
        removed += t.removed;
        changed += t.changed;
    }
    bool geometry = c.options.match == Match::Geometry;
    out.print("%s -> %s: %s (matched by %s, tolerance %s)\n", files.older.c_str(), files.newer.c_str(),
              c.equal() ? "no change" : "changed", matchName(c.options.match), number(c.options.tolerance).c_str());
    // The tables that differ (or, matched by geometry, hold renumbered
    // records), then how many hold the same records.
    long long sameTables = 0, sameRecords = 0;
    bool header = false;
    for (const TableComparison& t : c.tables) {
        if (t.added == 0 && t.removed == 0 && t.changed == 0 && (!geometry || t.rekeyed == 0)) {
            sameTables += t.newRecords > 0;
            sameRecords += t.newRecords;
            continue;
        }
        if (!header) {
            out.print("  %-8s %-20s %8s %8s %8s %8s %8s", "section", "table", "old", "new", "added", "removed",
                      "changed");
            out.print(geometry ? " %8s  %s\n" : "\n", "rekeyed", "paired by");
            header = true;
        }
        out.print("  %-8s %-20s %8lld %8lld %8lld %8lld %8lld", t.section, t.name, t.oldRecords, t.newRecords,
                  t.added, t.removed, t.changed);
        if (geometry)
            out.print(" %8lld  %s", t.rekeyed, t.pairedBy);
        out.print("\n");
    }
    out.print("  %s%lld %s the same records (%lld in all)\n", header ? "other tables: " : "", sameTables,
              sameTables == 1 ? "table holds" : "tables hold", sameRecords);
    out.print("Records: %lld added, %lld removed, %lld changed.\n", added, removed, changed);

    // The changes by storey (in order of elevation, records of no storey
    // last), then by table in store order.
    std::map<int, std::vector<std::pair<const TableComparison*, const RecordChange*>>> byStorey;
    for (const TableComparison& t : c.tables)
        for (const RecordChange& r : t.records)
            byStorey[r.storey < 0 ? INT32_MAX : r.storey].emplace_back(&t, &r);
    for (const auto& [storey, records] : byStorey) {
        out.print("\n%s:\n", storey == INT32_MAX ? "no storey" : storeyLabel(c.storeys[storey]).c_str());
        for (const auto& [t, r] : records) {
            out.print("  %s %s: %s", t->name, keysOf(*r).c_str(), changeName(r->change));
            if (r->distance)
                out.print(", moved %s", readable(*r->distance).c_str());
            out.print("\n");
            for (const MemberChange& m : r->members)
                out.print("      %s: %s -> %s\n", m.member.c_str(), dumped(m.before).c_str(), dumped(m.after).c_str());
        }
    }
    return out.done();
}

bool writeJson(std::FILE* file, const Comparison& c, const Files& files)
{
    // Streamed: the skeleton indented, each storey and record on a line.
    Out out(file);
    Json head = {{"format", kComparisonFormat},
                 {"old", files.older},
                 {"new", files.newer},
                 {"match", matchName(c.options.match)},
                 {"tolerance", c.options.tolerance},
                 {"equal", c.equal()}};
    std::string text = dumped(head);
    text.pop_back(); // the closing brace: the lists follow
    out.put(text + ",\n \"storeys\": [");
    for (std::size_t i = 0; i < c.storeys.size(); ++i) {
        const Storey& s = c.storeys[i];
        Json storey = {{"old_floor", optionalKey(s.oldKey)},
                       {"new_floor", optionalKey(s.newKey)},
                       {"name", s.name},
                       {"elevation", s.elevation}};
        out.put((i ? ",\n  " : "\n  ") + dumped(storey));
    }
    out.put(c.storeys.empty() ? "],\n \"tables\": [" : "\n ],\n \"tables\": [");
    for (std::size_t i = 0; i < c.tables.size(); ++i) {
        const TableComparison& t = c.tables[i];
        Json table = {{"section", t.section}, {"table", t.name},   {"paired_by", t.pairedBy},
                      {"old", t.oldRecords},  {"new", t.newRecords}, {"added", t.added},
                      {"removed", t.removed}, {"changed", t.changed}, {"rekeyed", t.rekeyed}};
        text = dumped(table);
        text.pop_back();
        out.put((i ? ",\n  " : "\n  ") + text + ", \"records\": [");
        for (std::size_t j = 0; j < t.records.size(); ++j) {
            const RecordChange& r = t.records[j];
            Json members = Json::array();
            for (const MemberChange& m : r.members)
                members.push_back({{"member", m.member}, {"old", m.before}, {"new", m.after}});
            Json record = {{"change", changeName(r.change)},
                           {"old_key", optionalKey(r.oldKey)},
                           {"new_key", optionalKey(r.newKey)},
                           {"storey", r.storey < 0 ? Json() : Json(r.storey)},
                           {"distance", r.distance ? Json(*r.distance) : Json()},
                           {"members", std::move(members)}};
            out.put((j ? ",\n   " : "\n   ") + dumped(record));
        }
        out.put(t.records.empty() ? "]}" : "\n  ]}");
    }
    out.put("\n ]\n}\n");
    return out.done();
}

namespace {

// A CSV field: quoted when it holds a comma, a quote or a line break.
std::string csvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char ch : text) {
        if (ch == '"')
            quoted += '"';
        quoted += ch;
    }
    return quoted + '"';
}

std::string csvKey(const std::optional<int>& key)
{
    return key ? std::to_string(*key) : "";
}

} // namespace

bool writeCsv(std::FILE* file, const Comparison& c)
{
    Out out(file);
    out.put("section,table,change,old_key,new_key,storey,member,old,new,distance\r\n");
    for (const TableComparison& t : c.tables)
        for (const RecordChange& r : t.records) {
            std::string start = std::string(t.section) + ',' + t.name + ',' + changeName(r.change) + ',' +
                                csvKey(r.oldKey) + ',' + csvKey(r.newKey) + ',' +
                                csvField(r.storey < 0 ? "" : c.storeys[r.storey].name) + ',';
            std::string distance = r.distance ? number(*r.distance) : "";
            if (r.members.empty())
                out.put(start + ",,," + distance + "\r\n");
            for (const MemberChange& m : r.members)
                out.put(start + csvField(m.member) + ',' + csvField(shown(m.before)) + ',' +
                        csvField(shown(m.after)) + ',' + distance + "\r\n");
        }
    return out.done();
}

} // namespace dictdiff
