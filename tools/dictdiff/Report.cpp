#include "tools/dictdiff/Report.h"

#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <regex>
#include <map>
#include <tuple>
#include <utility>
#include <vector>

#include "json/JsonText.h"
#include "text/Escapes.h"
#include "text/Format.h"

namespace dictdiff {

namespace {

// Any value as JSON on one line; texts that are not valid UTF-8 (a file in
// another encoding) too.
std::string dumped(const Json& value)
{
    return jsontext::jsonText(value);
}

Json optionalKey(const std::optional<int>& key)
{
    return key ? Json(*key) : Json();
}

// Writes formatted text, remembering a failure. A summary for people
// (`shown`) has its control characters shown escaped, texts from the
// files among them; JSON and CSV escape their own.
class Out {
public:
    explicit Out(std::FILE* file, bool shown = false) : m_file(file), m_shown(shown) {}
    void print(const char* format, ...) __attribute__((format(printf, 2, 3)))
    {
        std::string line;
        va_list args;
        va_start(args, format);
        text::appendFormattedV(line, format, args);
        va_end(args);
        put(line);
    }
    void put(const std::string& text)
    {
        const std::string& out = m_shown && text::hasControls(text) ? text::shown(text) : text;
        if (std::fwrite(out.data(), 1, out.size(), m_file) != out.size())
            m_failed = true;
    }
    bool done() { return std::fflush(m_file) == 0 && !m_failed && !std::ferror(m_file); }

private:
    std::FILE* m_file;
    bool m_shown;
    bool m_failed = false;
};

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

std::string headline(const Comparison& c, const Files& files)
{
    return files.older + " -> " + files.newer + ": " + (c.equal() ? "no change" : "changed") + " (matched by " +
           matchName(c.options.match) + ", tolerance " + number(c.options.tolerance) + ")";
}

bool listed(const TableComparison& t, Match match)
{
    return t.added != 0 || t.removed != 0 || t.changed != 0 || (match == Match::Geometry && t.rekeyed != 0) ||
           !t.notRead.empty();
}

std::string notReadText(const TableComparison& t)
{
    auto quoted = [](const std::string& name) { return "\"" + name + "\""; };
    std::string written = t.notRead == "old"   ? quoted(t.writtenOld) + " in OLD"
                          : t.notRead == "new" ? quoted(t.writtenNew) + " in NEW"
                                               : quoted(t.writtenOld) + " in OLD, " + quoted(t.writtenNew) + " in NEW";
    return std::string("not read by ") +
           (t.notRead == "both" ? "either import" : t.notRead == "old" ? "the import of OLD" : "the import of NEW") +
           ": written " + written + " for " + quoted(t.knownName) + "; its records are not counted as added or removed";
}

std::vector<std::string> verdictLines(const Files& files)
{
    std::vector<std::string> lines;
    if (!files.olderVerdict.line.empty())
        lines.push_back("old: " + files.older + ": " + files.olderVerdict.line);
    if (!files.newerVerdict.line.empty())
        lines.push_back("new: " + files.newer + ": " + files.newerVerdict.line);
    return lines;
}

std::string geometryHint(const Comparison& c)
{
    if (c.options.match != Match::Key)
        return "";
    for (const TableComparison& t : c.tables) {
        // Almost nothing paired: nine in ten records or more of each side
        // added and removed, in a table of some size whose counts agree.
        if (t.notRead.empty() && t.oldRecords >= 10 && t.oldRecords == t.newRecords && t.removed * 10 >= t.oldRecords * 9)
            return std::string("hint: ") + std::to_string(t.removed) + " of the " + std::to_string(t.oldRecords) +
                   " " + t.name + " records of each side pair with none of the other's by key; if the model was "
                   "renumbered, --match geometry pairs them by position";
    }
    return "";
}

Totals totals(const Comparison& c)
{
    Totals sum;
    for (const TableComparison& t : c.tables) {
        sum.added += t.added;
        sum.removed += t.removed;
        sum.changed += t.changed;
        if (!listed(t, c.options.match)) {
            sum.sameTables += t.newRecords > 0;
            sum.sameRecords += t.newRecords;
        }
    }
    return sum;
}

std::string totalsLine(const Totals& sum)
{
    return "Records: " + std::to_string(sum.added) + " added, " + std::to_string(sum.removed) + " removed, " +
           std::to_string(sum.changed) + " changed.";
}

std::string sameTablesLine(const Totals& sum, bool listedAny)
{
    return std::string(listedAny ? "other tables: " : "") + std::to_string(sum.sameTables) +
           (sum.sameTables == 1 ? " table holds" : " tables hold") + " the same records (" +
           std::to_string(sum.sameRecords) + " in all)";
}

std::vector<StoreyChanges> changesByStorey(const Comparison& c)
{
    std::map<int, StoreyChanges> byStorey;
    for (const TableComparison& t : c.tables)
        for (const RecordChange& r : t.records) {
            int key = r.storey < 0 ? INT32_MAX : r.storey;
            byStorey.emplace(key, StoreyChanges{r.storey, {}}).first->second.records.emplace_back(&t, &r);
        }
    std::vector<StoreyChanges> list;
    for (auto& entry : byStorey)
        list.push_back(std::move(entry.second));
    return list;
}

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

std::string keysText(const RecordChange& r)
{
    if (r.oldKey && r.newKey && *r.oldKey != *r.newKey)
        return std::to_string(*r.oldKey) + " -> " + std::to_string(*r.newKey);
    return std::to_string(r.newKey ? *r.newKey : *r.oldKey);
}

std::string changeText(const RecordChange& r)
{
    return changeName(r.change) + (r.distance ? ", moved " + readable(*r.distance) : std::string());
}

std::string memberText(const MemberChange& m)
{
    return m.member + ": " + dumped(m.before) + " -> " + dumped(m.after);
}

bool writeText(std::FILE* file, const Comparison& c, const Files& files)
{
    Out out(file, true);
    bool geometry = c.options.match == Match::Geometry;
    for (const std::string& line : verdictLines(files))
        out.put(line + "\n");
    for (const std::string& note : files.notes)
        out.put("note: " + note + "\n");
    out.put(headline(c, files) + "\n");
    // The tables that differ (or, matched by geometry, hold renumbered
    // records), then how many hold the same records.
    bool header = false;
    for (const TableComparison& t : c.tables) {
        if (!listed(t, c.options.match))
            continue;
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
        if (!t.notRead.empty())
            out.put("  " + notReadText(t));
        out.print("\n");
    }
    Totals sum = totals(c);
    out.put("  " + sameTablesLine(sum, header) + "\n" + totalsLine(sum) + "\n");
    if (std::string hint = geometryHint(c); !hint.empty())
        out.put(hint + "\n");

    for (const StoreyChanges& group : changesByStorey(c)) {
        out.put("\n" + (group.storey < 0 ? std::string("no storey") : storeyLabel(c.storeys[group.storey])) + ":\n");
        for (const auto& [t, r] : group.records) {
            out.put("  " + std::string(t->name) + " " + keysText(*r) + ": " + changeText(*r) + "\n");
            for (const MemberChange& m : r->members)
                out.put("      " + memberText(m) + "\n");
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
    // Each side's verdict and losses, as dictcheck's report names them.
    for (const auto& [side, path, verdict] : {std::tuple{"old_import", &files.older, &files.olderVerdict},
                                              std::tuple{"new_import", &files.newer, &files.newerVerdict}}) {
        Json losses = Json::array();
        for (const auto& [kind, count] : verdict->losses)
            losses.push_back({{"kind", kind}, {"count", count}});
        head[side] = {{"path", *path}, {"verdict", verdict->verdict}, {"summary", verdict->line},
                      {"losses", std::move(losses)}};
    }
    head["notes"] = files.notes;
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
                      {"removed", t.removed}, {"changed", t.changed}, {"rekeyed", t.rekeyed},
                      {"not_read", t.notRead.empty() ? Json() : Json(t.notRead)}};
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

// Whether a spreadsheet reads `text` as a plain number ("-300", "2.5e-3").
bool plainNumber(const std::string& text)
{
    static const std::regex kNumber("[-+]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][-+]?[0-9]+)?");
    return std::regex_match(text, kNumber);
}

} // namespace

std::string csvField(const std::string& text)
{
    // Control characters shown escaped, as in every text output; a cell a
    // spreadsheet would take for a formula (=, +, -, @, tab or CR first)
    // made text by a leading apostrophe, unless it is a plain number.
    std::string cell = text::hasControls(text) ? text::shown(text) : text;
    if (!cell.empty() && std::strchr("=+-@\t\r", cell[0]) && !plainNumber(cell))
        cell.insert(0, 1, '\'');
    if (cell.find_first_of(",\"\r\n") == std::string::npos)
        return cell;
    std::string quoted = "\"";
    for (char ch : cell) {
        if (ch == '"')
            quoted += '"';
        quoted += ch;
    }
    return quoted + '"';
}

namespace {

std::string csvKey(const std::optional<int>& key)
{
    return key ? std::to_string(*key) : "";
}

} // namespace

bool writeCsv(std::FILE* file, const Comparison& c)
{
    Out out(file);
    // UTF-8 with a byte-order mark: a spreadsheet takes the file for the
    // system's code page without it, which garbles Chinese names.
    out.put("\xEF\xBB\xBF" "section,table,change,old_key,new_key,storey,member,old,new,distance\r\n");
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
