#include "tools/report/FileReport.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iterator>
#include <string_view>

#include <tinyxml.h>

#include "schema/DesignSchema.h"
#include "document/SectionIndex.h"
#include "schema/ModelSchema.h"
#include "commands/TextDecoder.h"
#include "plugin/UserMessages.h"

namespace dictcheck {

namespace {

using Kind = FileObserver::Kind;
using document::LossTally;

// Each kind of warning: its identifier, its title and, for a loss the
// plug-in counts too, the tally's count it adds to.
struct KindEntry {
    Kind kind;
    const char* id;
    const char* title;
    long long LossTally::*tallied;
};
constexpr KindEntry kKinds[] = {
    {Kind::Encoding, "encoding", "declared encoding other than UTF-8 (texts are kept as the file's bytes)", nullptr},
    {Kind::NotUtf8, "not-utf8", "bytes that are not UTF-8 in a file read as UTF-8 (texts are kept as the file's bytes)",
     nullptr},
    {Kind::AfterRoot, "after-root", "content after the root element, ignored", nullptr},
    {Kind::ReferenceDropped, "reference-dropped",
     "undefined entity references and bare '&' (the '&' is dropped from the text)", &LossTally::referencesDropped},
    {Kind::SectionName, "section-name", "sections named otherwise than their position reads them", nullptr},
    {Kind::SectionIgnored, "section-ignored", "sections after the second, ignored", &LossTally::entriesIgnored},
    {Kind::TableEntrySkipped, "table-entry-skipped", "table entries without \"Key\", \"Value\" or a name, skipped",
     &LossTally::entriesIgnored},
    {Kind::TableDuplicate, "table-duplicate", "table entries whose name came before, ignored",
     &LossTally::entriesIgnored},
    {Kind::TableUnread, "table-unread", "table entries that no reader reads", nullptr},
    {Kind::ElementNotRead, "element-not-read",
     "elements before the first \"Pair\" of a table or section, never read", &LossTally::elementsNotRead},
    {Kind::RowSkipped, "row-skipped", "rows not stored", &LossTally::rowsNotStored},
    {Kind::KeyRepeated, "key-repeated", "keys stored more than once (the later row replaced the earlier)",
     &LossTally::keysReplaced},
    {Kind::DesignKeyEmpty, "design-key-empty", "design rows whose key has no text (stored under key 0)",
     &LossTally::designKeysEmpty},
    {Kind::FieldMissing, "field-missing", "fields without their element (the record keeps its default)", nullptr},
    {Kind::TextHidden, "text-hidden",
     "fields whose text follows a comment or other markup (read as no text: the record keeps its default)",
     &LossTally::textsHidden},
    {Kind::NumberNotWhole, "number-not-whole", "numbers not read as written", &LossTally::numbersNotAsWritten},
    {Kind::NonFinite, "non-finite", "reals written as infinity or NaN (stored as such)", &LossTally::valuesNotFinite},
};

constexpr bool kindsInOrder()
{
    for (int k = 0; k < Kind::KindCount; ++k)
        if (kKinds[k].kind != k)
            return false;
    return true;
}
static_assert(std::size(kKinds) == Kind::KindCount, "one entry per kind of warning");
static_assert(kindsInOrder(), "the entries follow FileObserver::Kind");

// Every count the plug-in tallies is told by some kind of warning, and a
// kind named as a counted loss adds to that loss: the report and the
// plug-in count the same things.
constexpr bool everyCountedLossTold()
{
    for (const document::CountedLoss& loss : document::kCountedLosses) {
        bool told = false;
        for (const KindEntry& entry : kKinds) {
            told = told || entry.tallied == loss.count;
            if (std::string_view(entry.id) == loss.kind && entry.tallied != loss.count)
                return false;
        }
        if (!told)
            return false;
    }
    return true;
}
static_assert(everyCountedLossTold(), "each of the tally's counts has the kinds of warning that add to it");

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

const char* keyText(const TiXmlElement* entry)
{
    const TiXmlElement* key = entry ? entry->FirstChildElement("Key") : nullptr;
    const char* text = key ? key->GetText() : nullptr;
    return text ? text : "";
}

int lineOf(const TiXmlElement* element)
{
    return element ? document::lineOf(element) : 0;
}

} // namespace

long long FileReport::warningCount() const
{
    long long count = 0;
    for (const WarningGroup& group : warnings)
        count += group.count;
    return count;
}

std::vector<std::string> warningKinds()
{
    std::vector<std::string> kinds;
    for (const KindEntry& kind : kKinds)
        kinds.push_back(kind.id);
    return kinds;
}

std::size_t importedTableCount()
{
    return schema::tableCount(building_modelDB::fields::kTables) +
           schema::tableCount(building_designDB::fields::kTables);
}

FileObserver::FileObserver(const std::string& path, std::size_t examplesPerKind) : m_examplesPerKind(examplesPerKind)
{
    m_report.path = path;
    m_report.loaded = true;
    auto add = [this](const char* section) {
        return [this, section](const auto& table) { m_report.tables.push_back({section, table.displayName}); };
    };
    schema::forEachTable(building_modelDB::fields::kTables, add("model"));
    schema::forEachTable(building_designDB::fields::kTables, add("design"));
    for (int k = 0; k < KindCount; ++k) {
        m_groups[k].kind = kKinds[k].id;
        m_groups[k].title = kKinds[k].title;
    }
}

void FileObserver::warn(Kind kind, int line, const std::string& table, const std::string& text, bool inRow)
{
    WarningGroup& group = m_groups[kind];
    ++group.count;
    if (group.examples.size() < m_examplesPerKind)
        group.examples.push_back({line, inRow ? m_rowLine : 0, table, text});
}

void FileObserver::warnInRow(Kind kind, const TiXmlElement* at, const std::string& text)
{
    warn(kind, at ? lineOf(at) : m_rowLine, m_table ? m_table->name : "", text, true);
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
    m_report.noDictionary = noDictionaryInEnglish(NoDictionary{frame, loaded});
}

void FileObserver::runFailed(const document::RunFailure& failure)
{
    m_report.loaded = false;
    m_report.errorMessage = runFailureInEnglish(failure);
}

void FileObserver::declaredEncoding(const char* encoding)
{
    m_report.encoding = encoding;
    commands::TextDecoder decoder(encoding);
    warn(Encoding, 1, "", "declared " + quoted(encoding) +
                              (decoder.active() ? ": its texts are shown decoded, and stored as the file's bytes"
                                                : !decoder.known() ? ": an encoding not known here" : ""));
}

void FileObserver::loaded(const document::LoadedText& loaded, const TiXmlElement* afterRoot)
{
    // Counts beyond the places kept are added without examples.
    auto counted = [this](Kind kind, long long all) {
        m_groups[kind].count += std::max(0LL, all - static_cast<long long>(m_groups[kind].count));
    };
    // Bytes that are not UTF-8 are one warning, with their count and the
    // first place: a file in another encoding holds thousands of them.
    if (loaded.encoding.bytes > 0) {
        m_report.bytesNotUtf8 = loaded.encoding.bytes;
        m_report.likelyGbk = loaded.encoding.likelyGbk;
        warn(NotUtf8, loaded.encoding.first.row, "", encodingFaultInEnglish(loaded.encoding));
    }
    if (afterRoot)
        warn(AfterRoot, lineOf(afterRoot), "", "element " + quoted(afterRoot->Value()) + " after the root element");
    if (loaded.unreadRow > 0)
        warn(AfterRoot, loaded.unreadRow, "",
             "text after the root element at column " + std::to_string(loaded.unreadColumn) +
                 ": reading stopped there");
    for (const document::TextPosition& at : loaded.droppedAt)
        warn(ReferenceDropped, at.row, "", "'&' at column " + std::to_string(at.column));
    counted(ReferenceDropped, static_cast<long long>(loaded.referencesDropped));
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
    if (!indexed)
        warn(TableDuplicate, lineOf(entry), section, quoted(name) + " again");
}

void FileObserver::tableUnread(const char* section, const std::string& name, const std::string& nearest,
                               long long rows, const TiXmlElement* entry)
{
    m_report.unread.push_back({std::strcmp(section, "DesignDB") == 0 ? 1 : 0, name, nearest, lineOf(entry), rows});
    warn(TableUnread, lineOf(entry), section,
         quoted(name) + " (" + std::to_string(rows) + (rows == 1 ? " row" : " rows") + ")" +
             (nearest.empty() ? "" : "; did you mean " + quoted(nearest) + "?"));
}

void FileObserver::elementNotRead(const char* section, const char* table, const TiXmlElement* element)
{
    if (table)
        warn(ElementNotRead, lineOf(element), m_table ? m_table->name : table,
             quoted(element->Value()) + " before the table's first \"Pair\"");
    else
        warn(ElementNotRead, lineOf(element), section, quoted(element->Value()) + " before the section's first \"Pair\"");
}

void FileObserver::tableEntrySkipped(const char* section, const TiXmlElement* entry, const char* why)
{
    warn(TableEntrySkipped, lineOf(entry), section, why);
}

void FileObserver::tableBegin(const char* section, const char*, const char* displayName, bool present)
{
    m_designTable = std::strcmp(section, "DesignDB") == 0;
    m_table = nullptr;
    m_row = nullptr;
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
    m_row = row;
    m_rowLine = lineOf(row);
    m_firstMissing.clear();
    m_missingLine = 0;
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
        warnInRow(KeyRepeated, m_row ? m_row->FirstChildElement("Key") : nullptr, "key " + std::to_string(key));
}

void FileObserver::rowSkipped(const TiXmlElement* at, const char* why)
{
    if (why)
        warnInRow(RowSkipped, at, why);
    else
        warn(RowSkipped, m_missingLine, m_table ? m_table->name : "", quoted(m_firstMissing) + " missing", true);
}

void FileObserver::designKeyEmpty(const TiXmlElement* keyValue)
{
    warnInRow(DesignKeyEmpty, keyValue, "\"Key/Value\" has no text: stored under key 0");
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

void FileObserver::elementMissing(const TiXmlElement* holder, const char* element)
{
    if (m_designTable) {
        // The chain stops here: this element is why the row is not stored.
        if (m_firstMissing.empty()) {
            m_firstMissing = path(element);
            m_missingLine = holder ? lineOf(holder) : m_rowLine;
        }
        return;
    }
    warnInRow(FieldMissing, holder, quoted(path(element)));
}

void FileObserver::numberNotWhole(const TiXmlElement* element, const char* text, document::NumberFit fit,
                                  double value)
{
    warnInRow(NumberNotWhole, element,
              quoted(path(element->Value())) + ": " + quoted(text) + " read as " + number(value) + " (" +
                  howRead(fit) + ")");
}

void FileObserver::nonFinite(const TiXmlElement* element, const char* text)
{
    warnInRow(NonFinite, element, quoted(path(element->Value())) + ": " + quoted(text));
}

void FileObserver::textHidden(const TiXmlElement* element)
{
    warnInRow(TextHidden, element, quoted(path(element->Value())) + ": its text follows a comment or other markup");
}

FileReport FileObserver::finish()
{
    // The places quote the file's texts: in a file that declares another
    // encoding, they are shown decoded.
    commands::TextDecoder decode(m_report.encoding);
    for (WarningGroup& group : m_groups)
        if (group.count > 0) {
            if (decode.active())
                for (Example& e : group.examples)
                    e.text = decode(e.text);
            m_report.warnings.push_back(group);
        }
    return m_report;
}

document::LossTally lossesOf(const FileReport& report)
{
    // The warnings of the kinds that fit, counted.
    auto told = [&](auto fits) {
        long long n = 0;
        for (const WarningGroup& group : report.warnings)
            for (const KindEntry& kind : kKinds)
                n += group.kind == kind.id && fits(kind) ? group.count : 0;
        return n;
    };
    LossTally tally;
    for (const document::CountedLoss& loss : document::kCountedLosses)
        tally.*loss.count = told([&](const KindEntry& kind) { return kind.tallied == loss.count; });
    static const char* const kSections[] = {"ModelDB", "DesignDB"};
    for (const UnreadTable& unread : report.unread)
        tally.unreadTables.push_back({kSections[unread.section], unread.table, unread.nearest, unread.rows});
    tally.contentAfterRoot = told([](const KindEntry& kind) { return kind.kind == Kind::AfterRoot; }) > 0;
    tally.bytesNotUtf8 = report.bytesNotUtf8;
    tally.likelyGbk = report.likelyGbk;
    return tally;
}

bool sameLosses(const document::LossTally& a, const document::LossTally& b)
{
    for (const document::CountedLoss& loss : document::kCountedLosses)
        if (a.*loss.count != b.*loss.count)
            return false;
    auto names = [](const document::LossTally& t) {
        std::vector<std::string> out;
        for (const auto& u : t.unreadTables)
            out.push_back(u.section + "/" + u.name + "/" + u.nearest + "/" + std::to_string(u.rows));
        std::sort(out.begin(), out.end());
        return out;
    };
    return a.contentAfterRoot == b.contentAfterRoot && a.bytesNotUtf8 == b.bytesNotUtf8 && names(a) == names(b);
}

} // namespace dictcheck
