// The comparison as people and programs read it: a text summary (counts
// per table, then the changes grouped by storey and table), JSON (the
// shape is docs/dictdiff.md's) and CSV (one row per changed member, and
// one per added or removed record).
#pragma once

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "tools/dictdiff/Comparison.h"

namespace dictdiff {

// The value of the JSON's first member, "format": its shape and version.
inline const char kComparisonFormat[] = "dictimport-diff/1";

// The two files compared, as the user named them.
// What an import of one side came to: its verdict ("complete",
// "incomplete"), its line ("complete, 1452 records", "incomplete: ...")
// and its losses by kind.
struct SideVerdict {
    std::string verdict;
    std::string line;
    std::vector<std::pair<std::string, long long>> losses;
};

struct Files {
    std::string older;
    std::string newer;
    SideVerdict olderVerdict;
    SideVerdict newerVerdict;
    std::vector<std::string> notes; // how the texts were read ("texts of new read as GBK, ...")
};

// Why a table that an import could not read is not compared: "not read by
// the import of NEW: written \"BeamTabel\" in NEW for \"BeamTable\"; ...".
std::string notReadText(const TableComparison& table);

// The lines that come first: each file's verdict, "old: PATH: complete,
// 1452 records".
std::vector<std::string> verdictLines(const Files& files);

// A hint when key matching paired almost none of a table's records though
// both sides hold as many: the model was likely renumbered. "" otherwise.
std::string geometryHint(const Comparison& comparison);

// The parts of the text summary, for other views of the comparison.

// "OLD -> NEW: changed (matched by key, tolerance 0.01)"
std::string headline(const Comparison& comparison, const Files& files);

// Whether the summary lists a table: it has records added, removed or
// changed, or, matched by geometry, records paired under another key.
bool listed(const TableComparison& table, Match match);

struct Totals {
    long long added = 0, removed = 0, changed = 0;
    long long sameTables = 0, sameRecords = 0; // of the tables not listed, those holding records
};
Totals totals(const Comparison& comparison);
// "Records: 0 added, 2 removed, 2 changed."
std::string totalsLine(const Totals& totals);
// "other tables: 26 tables hold the same records (934 in all)"
std::string sameTablesLine(const Totals& totals, bool listedAny);

// The changes of one storey (an index into Comparison::storeys, -1 for
// records of no storey), by table in store order.
struct StoreyChanges {
    int storey;
    std::vector<std::pair<const TableComparison*, const RecordChange*>> records;
};
// By storey in order of elevation, records of no storey last.
std::vector<StoreyChanges> changesByStorey(const Comparison& comparison);

// storey "第1层" (floor 1)
std::string storeyLabel(const Storey& storey);
// "9", or "17 -> 1017" for a record paired under another key
std::string keysText(const RecordChange& record);
// "changed, moved 150", "removed"
std::string changeText(const RecordChange& record);
// "x: 18000.4 -> 18150.4"
std::string memberText(const MemberChange& member);

// Each writes to `out` and returns false when a write failed.
bool writeText(std::FILE* out, const Comparison& comparison, const Files& files);
bool writeJson(std::FILE* out, const Comparison& comparison, const Files& files);
bool writeCsv(std::FILE* out, const Comparison& comparison);

// A member's value as a report shows it: texts as they are, everything
// else as JSON.
std::string shown(const Json& value);

// A text as one CSV cell: quoted when it holds a comma, a quote or a line
// break; control characters shown escaped; a leading apostrophe when a
// spreadsheet would otherwise evaluate it.
std::string csvField(const std::string& text);

} // namespace dictdiff
