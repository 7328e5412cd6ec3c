#include "tools/dictcheck/FileReport.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>

#include <tinyxml.h>

#include "design/DesignFields.h"
#include "document/SectionIndex.h"
#include "model/ModelFields.h"
#include "plugin/LoadFailureMessage.h"

namespace dictcheck {

namespace {

const struct {
    const char* kind;
    const char* title;
} kKinds[] = {
    {"encoding", "declared encoding other than UTF-8 (texts are kept as the file's bytes)"},
    {"section-name", "sections named otherwise than their position reads them"},
    {"section-ignored", "sections after the second, ignored"},
    {"table-entry-skipped", "table entries without \"Key\", \"Value\" or a name, skipped"},
    {"table-duplicate", "table entries whose name came before, ignored"},
    {"table-unread", "table entries that no reader reads"},
    {"row-skipped", "rows not stored"},
    {"key-repeated", "keys stored more than once (the later row replaced the earlier)"},
    {"field-missing", "fields without their element (the record keeps its default)"},
    {"number-not-whole", "numbers not read as written"},
};

std::string quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string number(double value)
{
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15)
        return std::to_string(static_cast<long long>(value));
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

const char* howRead(document::NumberFit fit)
{
    switch (fit) {
    case document::NumberFit::Partial:
        return "the rest ignored";
    case document::NumberFit::NoNumber:
        return "no number";
    case document::NumberFit::Truncated:
        return "fraction dropped";
    case document::NumberFit::Saturated:
        return "out of range";
    case document::NumberFit::Whole:
        break;
    }
    return "";
}

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// Edits (insertions, deletions, substitutions and swaps of neighbours)
// that make one text the other.
std::size_t editDistance(const std::string& a, const std::string& b)
{
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i)
        d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j)
        d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i)
        for (std::size_t j = 1; j <= b.size(); ++j) {
            std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

const char* keyText(const TiXmlElement* entry)
{
    const TiXmlElement* key = entry ? entry->FirstChildElement("Key") : nullptr;
    const char* text = key ? key->GetText() : nullptr;
    return text ? text : "";
}

int lineOf(const TiXmlElement* element)
{
    return element ? element->Row() : 0;
}

} // namespace

long long FileReport::warningCount() const
{
    long long count = 0;
    for (const WarningGroup& group : warnings)
        count += group.count;
    return count;
}

std::string nearestName(const std::string& name, const std::set<std::string>& known)
{
    std::string best;
    std::size_t bestDistance = 3;
    for (const std::string& candidate : known) {
        std::size_t distance = lower(candidate) == lower(name) ? 0 : editDistance(name, candidate);
        if (distance < bestDistance) {
            best = candidate;
            bestDistance = distance;
        }
    }
    return best;
}

std::size_t importedTableCount()
{
    return document::tableCount(building_modelDB::fields::kTables) +
           document::tableCount(building_designDB::fields::kTables);
}

FileObserver::FileObserver(const std::string& path, std::size_t examplesPerKind) : m_examplesPerKind(examplesPerKind)
{
    m_report.path = path;
    m_report.loaded = true;
    auto add = [this](const char* section) {
        return [this, section](const auto& table) { m_report.tables.push_back({section, table.displayName}); };
    };
    document::forEachTable(building_modelDB::fields::kTables, add("model"));
    document::forEachTable(building_designDB::fields::kTables, add("design"));
    for (int k = 0; k < KindCount; ++k) {
        m_groups[k].kind = kKinds[k].kind;
        m_groups[k].title = kKinds[k].title;
    }
}

void FileObserver::warn(Kind kind, int line, const std::string& table, const std::string& text)
{
    WarningGroup& group = m_groups[kind];
    ++group.count;
    if (group.examples.size() < m_examplesPerKind)
        group.examples.push_back({line, table, text});
}

std::string FileObserver::path(const char* element) const
{
    std::string out;
    for (const std::string& part : m_path)
        out += part + "/";
    return out + element;
}

void FileObserver::loadFailed(const document::LoadError& error)
{
    m_report.loaded = false;
    m_report.error = error;
    m_report.errorMessage = loadFailureReasonInEnglish(error);
}

void FileObserver::noDictionary(const document::DictionaryFrame& frame, const document::LoadedText& loaded)
{
    using Missing = document::DictionaryFrame::Missing;
    switch (frame.missing) {
    case Missing::Root:
        m_report.noDictionary = "no root element";
        if (loaded.unreadRow > 0)
            m_report.noDictionary += " (reading stopped at line " + std::to_string(loaded.unreadRow) + ", column " +
                                     std::to_string(loaded.unreadColumn) + ", at something that is not markup" +
                                     (frame.doctypeSubset ? ": a DOCTYPE with an internal subset cannot be read" : "") +
                                     ")";
        break;
    case Missing::SectionList:
        m_report.noDictionary = "the root element " + quoted(frame.rootName) + " has no \"Pairs\" section list";
        break;
    case Missing::Section:
        m_report.noDictionary = "the \"Pairs\" section list holds no section";
        break;
    case Missing::Nothing:
        break;
    }
}

void FileObserver::runFailed(const document::RunFailure& failure)
{
    m_report.loaded = false;
    m_report.errorMessage = std::string("the import stopped part-way: ") +
                            (failure.outOfMemory      ? "out of memory"
                             : failure.what.empty()   ? "an unexpected error"
                                                      : "an unexpected error (" + failure.what + ")") +
                            (failure.storing ? "; what was stored before stays" : "; nothing was stored");
}

void FileObserver::declaredEncoding(const char* encoding)
{
    warn(Encoding, 1, "", "declared " + quoted(encoding));
}

void FileObserver::sectionEntry(int position, const TiXmlElement* entry)
{
    static const char* const kNames[] = {"ModelDB", "DesignDB"};
    std::string name = keyText(entry);
    if (position >= 2)
        warn(SectionIgnored, lineOf(entry), "", "section " + std::to_string(position + 1) + " " + quoted(name));
    else if (name != kNames[position])
        warn(SectionName, lineOf(entry), "",
             "section " + std::to_string(position + 1) + " is named " + quoted(name) + "; read as " +
                 kNames[position]);
}

void FileObserver::tableEntry(const char* section, const char* name, const TiXmlElement* entry, bool indexed)
{
    if (indexed)
        m_indexed[section].emplace(name, lineOf(entry));
    else
        warn(TableDuplicate, lineOf(entry), section, quoted(name) + " again");
}

void FileObserver::tableEntrySkipped(const char* section, const TiXmlElement* entry, const char* why)
{
    warn(TableEntrySkipped, lineOf(entry), section, why);
}

void FileObserver::tableBegin(const char* section, const char* name, const char* displayName, bool present)
{
    m_lookedUp[section].insert(name);
    m_designTable = std::strcmp(section, "DesignDB") == 0;
    m_table = nullptr;
    for (TableReport& table : m_report.tables)
        if (table.name == displayName)
            m_table = &table;
    if (m_table)
        m_table->present = present;
    m_rowLine = 0;
    m_keys.clear();
    m_path.clear();
}

void FileObserver::row(const TiXmlElement* row)
{
    m_rowLine = lineOf(row);
    m_firstMissing.clear();
    m_path.clear();
    if (m_table)
        ++m_table->rows;
}

void FileObserver::rowStored(int key)
{
    if (!m_table)
        return;
    ++m_table->stored;
    if (!m_keys.insert(key).second)
        warn(KeyRepeated, m_rowLine, m_table->name, "key " + std::to_string(key));
}

void FileObserver::rowSkipped(const char* why)
{
    std::string text = why ? why : quoted(m_firstMissing) + " missing";
    warn(RowSkipped, m_rowLine, m_table ? m_table->name : "", text);
}

void FileObserver::enter(const char* element)
{
    m_path.push_back(element);
}

void FileObserver::leave()
{
    if (!m_path.empty())
        m_path.pop_back();
}

void FileObserver::elementMissing(const char* element)
{
    if (m_designTable) {
        // The chain stops here: this element is why the row is not stored.
        if (m_firstMissing.empty())
            m_firstMissing = path(element);
        return;
    }
    warn(FieldMissing, m_rowLine, m_table ? m_table->name : "", quoted(path(element)));
}

void FileObserver::numberNotWhole(const char* element, const char* text, document::NumberFit fit, double value)
{
    warn(NumberNotWhole, m_rowLine, m_table ? m_table->name : "",
         quoted(path(element)) + ": " + quoted(text) + " read as " + number(value) + " (" + howRead(fit) + ")");
}

FileReport FileObserver::finish()
{
    static const char* const kSections[] = {"ModelDB", "DesignDB"};
    for (int s = 0; s < 2; ++s)
        for (const auto& [name, line] : m_indexed[kSections[s]]) {
            if (m_lookedUp[kSections[s]].count(name))
                continue;
            std::string nearest = nearestName(name, m_lookedUp[kSections[s]]);
            m_report.unread.push_back({s, name, nearest, line});
            warn(TableUnread, line, kSections[s],
                 quoted(name) + (nearest.empty() ? "" : "; did you mean " + quoted(nearest) + "?"));
        }
    for (const WarningGroup& group : m_groups)
        if (group.count > 0)
            m_report.warnings.push_back(group);
    return m_report;
}

} // namespace dictcheck
