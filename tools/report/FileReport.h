// What an import of one file found: its tables, what it stored and left
// out, and why. Built by listening to the import as it reads.
#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "document/DocumentLoad.h"
#include "document/ImportObserver.h"
#include "document/LossTally.h"

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
    long long rows = 0; // none of them stored
};

// One place where a warning applies.
struct Example {
    int line;          // the line of the element at fault (or of the one that lacks it)
    int rowLine;       // the line of its row, 0 outside rows
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
    std::string encoding;     // the encoding its declaration names, when that is not UTF-8
    long long bytesNotUtf8 = 0; // in a file read as UTF-8 (one warning tells of them all)
    bool likelyGbk = false;     // ... and they all fit GBK
    std::vector<TableReport> tables; // model tables, then design tables
    std::vector<UnreadTable> unread;
    std::vector<WarningGroup> warnings; // only kinds that occurred, in a fixed order

    long long warningCount() const;
};

// Listens to one import run and makes its report.
class FileObserver : public document::ImportObserver {
public:
    // The kinds of warning, in the order a report lists them. FileReport.cpp
    // names and titles each in one table, checked against this order when
    // it compiles.
    enum Kind {
        Encoding,
        NotUtf8,
        AfterRoot,
        ReferenceDropped,
        SectionName,
        SectionIgnored,
        TableEntrySkipped,
        TableDuplicate,
        TableUnread,
        ElementNotRead,
        RowSkipped,
        KeyRepeated,
        DesignKeyEmpty,
        FieldMissing,
        TextHidden,
        NumberNotWhole,
        NonFinite,
        KindCount,
    };

    FileObserver(const std::string& path, std::size_t examplesPerKind);

    // The report, once the run is over.
    FileReport finish();

    void loadFailed(const document::LoadError& error) override;
    void declaredEncoding(const char* encoding) override;
    void loaded(const document::LoadedText& loaded, const TiXmlElement* afterRoot) override;
    void noDictionary(const document::DictionaryFrame& frame, const document::LoadedText& loaded) override;
    void runFailed(const document::RunFailure& failure) override;
    void sectionEntry(int position, const TiXmlElement* entry) override;
    void tableEntry(const char* section, const char* name, const TiXmlElement* entry, bool indexed) override;
    void tableEntrySkipped(const char* section, const TiXmlElement* entry, const char* why) override;
    void tableUnread(const char* section, const std::string& name, const std::string& nearest, long long rows,
                     const TiXmlElement* entry) override;
    void elementNotRead(const char* section, const char* table, const TiXmlElement* element) override;
    void tableBegin(const char* section, const char* name, const char* displayName, bool present) override;
    void row(const TiXmlElement* row) override;
    void rowStored(int key) override;
    void rowSkipped(const TiXmlElement* at, const char* why) override;
    void designKeyEmpty(const TiXmlElement* keyValue) override;
    void enter(const char* element) override;
    void leave() override;
    void elementMissing(const TiXmlElement* holder, const char* element) override;
    void numberNotWhole(const TiXmlElement* element, const char* text, document::NumberFit fit,
                        double value) override;
    void nonFinite(const TiXmlElement* element, const char* text) override;
    void textHidden(const TiXmlElement* element) override;

private:
    // One place of a warning outside rows, or (inRow) in the row being read.
    void warn(Kind kind, int line, const std::string& table, const std::string& text, bool inRow = false);
    // A warning in the current row's table.
    void warnInRow(Kind kind, const TiXmlElement* at, const std::string& text);
    std::string path(const char* element) const;

    FileReport m_report;
    std::size_t m_examplesPerKind;
    WarningGroup m_groups[KindCount];
    TableReport* m_table = nullptr;
    bool m_designTable = false;
    const TiXmlElement* m_row = nullptr; // the row being read, until it is stored or skipped
    int m_rowLine = 0; // the row being read (the walk frees rows once read)
    std::string m_firstMissing; // in the current design row
    int m_missingLine = 0;      // the line of the element that lacks it
    std::vector<std::string> m_path;
    std::unordered_set<int> m_keys;
};

// The tables an import reads, both sections together.
std::size_t importedTableCount();

// The kinds of warning a report can hold, in the order it lists them.
std::vector<std::string> warningKinds();

// What the plug-in counts of the file as losses, taken from its report:
// the two are counted apart and must agree.
document::LossTally lossesOf(const FileReport& report);

// Whether two tallies hold the same counts and the same unread tables.
bool sameLosses(const document::LossTally& a, const document::LossTally& b);

} // namespace dictcheck
