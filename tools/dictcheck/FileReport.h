// What an import of one file found: its tables, what it stored and left
// out, and why. Built by listening to the import as it reads.
#pragma once

#include <map>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

#include "document/DocumentLoad.h"
#include "document/ImportObserver.h"

namespace dictcheck {

struct TableReport {
    std::string section; // "model" or "design"
    std::string name;    // as the store names it
    bool present = false;
    long long rows = 0;   // rows the walk visited
    long long stored = 0; // AddData calls
};

// A table entry that no reader reads, with the known name it most likely
// misspells ("" when none is close).
struct UnreadTable {
    int section; // 0 for the model section, 1 for the design section
    std::string table;
    std::string nearest;
    int line;
};

// One place where a warning applies.
struct Example {
    int line;          // the row's (or entry's) line in the file
    std::string table; // the table as the store names it, or the section
    std::string text;
};

// The warnings of one kind, with their count and the first few places.
struct WarningGroup {
    std::string kind;  // a stable identifier, such as "field-missing"
    std::string title; // what it means, for a reader
    long long count = 0;
    std::vector<Example> examples;
};

struct FileReport {
    std::string path;
    bool loaded = false; // loaded, and read to its end
    document::LoadError error;
    std::string errorMessage; // empty when loaded
    std::string noDictionary; // what the file lacks to be a dictionary, when it loaded but is not one
    std::vector<TableReport> tables; // model tables, then design tables
    std::vector<UnreadTable> unread;
    std::vector<WarningGroup> warnings; // only kinds that occurred, in a fixed order

    long long warningCount() const;
};

// Listens to one import run and makes its report.
class FileObserver : public document::ImportObserver {
public:
    FileObserver(const std::string& path, std::size_t examplesPerKind);

    // The report, once the run is over.
    FileReport finish();

    void loadFailed(const document::LoadError& error) override;
    void declaredEncoding(const char* encoding) override;
    void noDictionary(const document::DictionaryFrame& frame, const document::LoadedText& loaded) override;
    void runFailed(const document::RunFailure& failure) override;
    void sectionEntry(int position, const TiXmlElement* entry) override;
    void tableEntry(const char* section, const char* name, const TiXmlElement* entry, bool indexed) override;
    void tableEntrySkipped(const char* section, const TiXmlElement* entry, const char* why) override;
    void tableBegin(const char* section, const char* name, const char* displayName, bool present) override;
    void row(const TiXmlElement* row) override;
    void rowStored(int key) override;
    void rowSkipped(const char* why) override;
    void enter(const char* element) override;
    void leave() override;
    void elementMissing(const char* element) override;
    void numberNotWhole(const char* element, const char* text, document::NumberFit fit, double value) override;

private:
    enum Kind {
        Encoding,
        SectionName,
        SectionIgnored,
        TableEntrySkipped,
        TableDuplicate,
        TableUnread,
        RowSkipped,
        KeyRepeated,
        FieldMissing,
        NumberNotWhole,
        KindCount,
    };
    void warn(Kind kind, int line, const std::string& table, const std::string& text);
    std::string path(const char* element) const;

    FileReport m_report;
    std::size_t m_examplesPerKind;
    WarningGroup m_groups[KindCount];
    TableReport* m_table = nullptr;
    bool m_designTable = false;
    int m_rowLine = 0; // the row being read (the walk frees rows once read)
    std::string m_firstMissing; // in the current design row
    std::vector<std::string> m_path;
    std::unordered_set<int> m_keys;
    // Per section: the table names indexed (with the entry's line) and the
    // names the readers looked up.
    std::map<std::string, std::map<std::string, int>> m_indexed;
    std::map<std::string, std::set<std::string>> m_lookedUp;
};

// The tables an import reads, both sections together.
std::size_t importedTableCount();

// The known name closest to `name`, when it is close enough to be a likely
// misspelling (same letters in another case, or at most two edits), else "".
std::string nearestName(const std::string& name, const std::set<std::string>& known);

} // namespace dictcheck
