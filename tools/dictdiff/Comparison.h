// What changed between two imports of a model: per table the records
// added, removed and changed, and for a changed record each member that
// differs, old and new. Plain data, for the text, JSON and CSV reports
// and for a drawing that colours members by what happened to them.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "hostsim/store/Tables.h"

namespace dictdiff {

using Json = nlohmann::ordered_json;

// How records of the two imports are paired.
enum class Match {
    Key,      // by key in every table
    Geometry, // storeys by height order, nodes by position, members by their nodes and storey
};

struct Options {
    Match match = Match::Key;
    // Two reals are equal when they differ by at most this much, or for
    // reals below 1 in size, by at most this fraction of their size.
    double tolerance = 0.01;
    // Each side's texts as they are compared and shown: decoded from the
    // encoding its file declares; as stored when empty.
    std::function<std::string(const std::string&)> oldText, newText;
};

// A storey of either import: paired storeys are one.
struct Storey {
    std::optional<int> oldKey;
    std::optional<int> newKey;
    std::string name;     // the new import's name; the old one's for a storey it alone holds
    double elevation = 0; // likewise
};

// One member that differs: its path in the record ("StoryName",
// "SectI.Size", "Supports[1].NodeList", "ISection.Force.N") and its
// values. A list is the array of its values in key order; a sub-record an
// object; a list entry one side lacks is null on that side.
struct MemberChange {
    std::string member;
    Json before;
    Json after;
};

enum class Change { Added, Removed, Changed };

struct RecordChange {
    Change change = Change::Changed;
    std::optional<int> oldKey; // absent for an added record
    std::optional<int> newKey; // absent for a removed record
    int storey = -1;           // index into Comparison::storeys; -1 for a record of no storey
    std::optional<double> distance; // a node that moved: how far
    std::vector<MemberChange> members; // of a changed record
};

struct TableComparison {
    const char* section = ""; // "model" or "design"
    const char* name = "";    // the store's name of the table
    const char* pairedBy = "key";
    long long oldRecords = 0;
    long long newRecords = 0;
    long long added = 0;
    long long removed = 0;
    long long changed = 0;
    long long rekeyed = 0; // records paired under another key (geometry matching)
    std::vector<RecordChange> records; // by new key, a removed record by its old key
    // The keys (old, new) of each pair under another key, by old key;
    // every other record of either side that is not added or removed
    // pairs with the record of its own key.
    std::vector<std::pair<int, int>> rekeyedPairs;
    // "old", "new" or "both" when that side's import could not read the
    // table (its name misspelt in the file): its records are then neither
    // counted nor listed as added or removed. "" otherwise.
    std::string notRead;
    std::string writtenOld, writtenNew; // the names the files give it then ("BeamGroupTabel")
    std::string knownName;              // the name a reader reads it by ("BeamGroupTable")
};

// A table an import could not read: the store's name of the table it most
// likely is, the name the file gives it and the name it should have.
struct UnreadTable {
    std::string table;
    std::string written;
    std::string known;
};

struct Comparison {
    Options options;
    std::vector<Storey> storeys; // in order of elevation
    std::vector<TableComparison> tables; // every table, in store order
    // Equal when no table differs and each side read the same tables.
    bool equal() const;
};

// Marks the tables that one import or both could not read, and takes their
// records out of what was added or removed: a table lost by an import is
// no change the designer made.
void markNotRead(Comparison& comparison, const std::vector<UnreadTable>& older,
                 const std::vector<UnreadTable>& newer);

// Compares two imports' rows, the old against the new.
Comparison compare(const hoststore::StoreRows& older, const hoststore::StoreRows& newer, const Options& options);

const char* changeName(Change change);
const char* matchName(Match match);

} // namespace dictdiff
