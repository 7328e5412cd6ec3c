// One file imported as the plug-in imports it, into the store stand-in,
// and its rows taken out of the store, so that the next import starts
// from an empty store while these rows are kept.
#pragma once

#include <functional>
#include <string>

#include "document/LossTally.h"
#include "hostsim/store/Tables.h"
#include "tools/dictdiff/Comparison.h"
#include "tools/dictdiff/Report.h"

namespace dictdiff {

// True with the file's rows; false with why the file could not be
// imported, as the end of a sentence starting with its path ("the file
// is empty: it holds no XML"). `whileStored`, when given, is called after
// the import, while the store still holds it (to read its plan); `steps`,
// when given, is told of the import's steps as they begin.
bool importRows(const std::string& path, hoststore::StoreRows& rows, std::string& why,
                const std::function<void()>& whileStored = {}, const std::function<void(int, int)>& steps = {},
                struct ImportFacts* facts = nullptr);

// What an import found beside the rows: what it lost, and the encoding
// the file declares ("" without a declaration).
struct ImportFacts {
    document::LossTally losses;
    std::string encoding;
};

// The tables an import could not read, by the store's name of the one each
// most likely is (for markNotRead).
std::vector<UnreadTable> unreadTables(const document::LossTally& losses);

// What an import came to, for the reports: its verdict, line and losses.
SideVerdict sideVerdict(const document::LossTally& losses, const hoststore::StoreRows& rows);

// The store's name of the table a file names `fileName` in `section`
// ("ModelDB", "BeamGroupTable": "BeamGroup"); "" when no reader reads it.
std::string storeTableName(const std::string& section, const std::string& fileName);

// The records of all tables.
long long recordCount(const hoststore::StoreRows& rows);

} // namespace dictdiff
