#include "tools/dictdiff/Import.h"

#include <filesystem>
#include <system_error>

#include "document/DocumentLoad.h"
#include "document/ImportObserver.h"
#include "schema/DesignSchema.h"
#include "document/SectionIndex.h"
#include "schema/Tables.h"
#include "schema/ModelSchema.h"
#include "hostsim/store/Store.h"
#include "plugin/CMBMBNReaderImpl.h"
#include "plugin/UserMessages.h"
#include "tools/dictdiff/TableList.h"

namespace dictdiff {

namespace {

// Hears why a run did not import the file, and nothing else.
class Failure final : public document::ImportObserver {
public:
    void loadFailed(const document::LoadError& error) override
    {
        why = "the file " + loadFailureReasonInEnglish(error);
    }
    void noDictionary(const document::DictionaryFrame& frame, const document::LoadedText& loaded) override
    {
        why = "the file holds no dictionary: " + noDictionaryInEnglish(NoDictionary{frame, loaded});
    }
    void runFailed(const document::RunFailure& failure) override { why = runFailureInEnglish(failure); }

    std::string why;
};

bool run(const std::string& path, document::ImportObserver* observer, hoststore::StoreRows& rows,
         const std::function<void()>& whileStored, const std::function<void(int, int)>& steps,
         ImportFacts* facts)
{
    hoststore::clearStore();
    CMBMBNReaderImpl reader(observer, RunFeedback{false, false, steps});
    bool imported = reader.importFile(path.c_str());
    if (facts)
        *facts = {reader.losses(), reader.declaredEncoding()};
    if (imported && whileStored)
        whileStored();
    rows = hoststore::takeRows();
    return imported;
}

} // namespace

std::vector<UnreadTable> unreadTables(const document::LossTally& losses)
{
    std::vector<UnreadTable> tables;
    for (const auto& u : losses.unreadTables)
        if (std::string table = storeTableName(u.section, u.nearest); !table.empty())
            tables.push_back({table, u.name, u.nearest});
    return tables;
}

SideVerdict sideVerdict(const document::LossTally& losses, const hoststore::StoreRows& rows)
{
    return {losses.any() ? "incomplete" : "complete", verdictInEnglish(losses, recordCount(rows)), lossCounts(losses)};
}

std::string storeTableName(const std::string& section, const std::string& fileName)
{
    std::string found;
    auto look = [&](const auto& entry) {
        if (found.empty() && fileName == entry.name)
            found = entry.displayName;
    };
    if (section == "ModelDB")
        schema::forEachTable(building_modelDB::fields::kTables, look);
    else if (section == "DesignDB")
        schema::forEachTable(building_designDB::fields::kTables, look);
    return found;
}

long long recordCount(const hoststore::StoreRows& rows)
{
    long long count = 0;
    forEachTableOf([&](int, const char*, const auto& t) { count += static_cast<long long>(t.of(rows).size()); });
    return count;
}

bool importRows(const std::string& path, hoststore::StoreRows& rows, std::string& why,
                const std::function<void()>& whileStored, const std::function<void(int, int)>& steps,
                ImportFacts* facts)
{
    // A regular file is imported quietly, as the plug-in imports it, which
    // costs nothing for telling. Only when that run fails or stores
    // nothing is the file imported again, told this time, to hear why. A
    // pipe cannot be read twice: it is told from the start.
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error) && run(path, nullptr, rows, whileStored, steps, facts) &&
        recordCount(rows) > 0)
        return true;
    rows = hoststore::StoreRows();
    Failure failure;
    bool imported = run(path, &failure, rows, whileStored, steps, facts);
    if (imported && failure.why.empty())
        return true;
    why = failure.why.empty() ? "the file could not be imported" : failure.why;
    rows = hoststore::StoreRows();
    return false;
}

} // namespace dictdiff
