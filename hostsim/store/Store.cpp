// The host's store: one set of tables per process, shared by every
// CModelDB and CDesignDB, so that every import adds to the same tables.
#include "hostsim/store/Store.h"

#include <cstdlib>
#include <new>
#include <type_traits>
#include <utility>

#include "host/CDesignDB.h"
#include "host/CMBMBNReader.h"
#include "host/CModelDB.h"
#include "host/EventData.h"
#include "hostsim/store/JsonWriter.h"
#include "hostsim/store/Tables.h"
#include "keylists/KeyListImpls.h"
#include "schema/Records.h"

namespace hoststore {
namespace {

// What the host application watches of the writes its tables receive.
struct Writes {
    WriteCounts counts{0, 0};
    long long untilFailure = 0; // AddData calls left before one fails; 0: none fails
    const char* logPath = std::getenv("STORE_LOG");
} g_writes;

// Fails the write when a test asked for it.
void failIfAsked()
{
    if (g_writes.untilFailure > 0 && --g_writes.untilFailure == 0)
        throw std::bad_alloc();
}

// Counts the write and appends "AddData <table> <key>" to the file named
// by STORE_LOG.
void noteAddData(const char* table, int key, bool replaces)
{
    ++(replaces ? g_writes.counts.replaced : g_writes.counts.added);
    if (g_writes.logPath && *g_writes.logPath)
        if (std::FILE* log = std::fopen(g_writes.logPath, "ab")) {
            std::fprintf(log, "AddData %s %d\n", table, key);
            std::fclose(log);
        }
}

// A host table: the map-backed table, plus what the host application
// watches of the writes it receives.
template <class R>
class StoreTable final : public MapBackedList<TableInterface<int, R>, int, R> {
public:
    bool AddData(const int& key, R& record) override
    {
        failIfAsked();
        std::size_t before = this->entries().size();
        bool added = this->m_pPolicy->AddData(key, record);
        noteAddData(m_name, key, this->entries().size() == before);
        return added;
    }
    void setName(const char* name) { m_name = name; }
    void clear() { this->m_policy = TCopyPolicyImplMap<int, R>(); }

private:
    const char* m_name = "";
};

using Tables = TableSet<StoreTable>;

Tables& tables()
{
    static Tables* instance = [] {
        static Tables t;
        auto setName = [](const auto& n) { n.of(t).setName(n.name); };
        forEachTable(kModelTables, setName);
        forEachTable(kDesignTables, setName);
        return &t;
    }();
    return *instance;
}

void write(JsonWriter& json, int v) { json.value(v); }
void write(JsonWriter& json, double v) { json.value(v); }
void write(JsonWriter& json, bool v) { json.value(v); }
void write(JsonWriter& json, const std::string& v) { json.value(std::string_view(v)); }

template <class T, std::size_t N>
void write(JsonWriter& json, const T (&items)[N]);
template <class T>
void write(JsonWriter& json, T* const& list);
template <class R, class = std::enable_if_t<schema::isDescribed<R>>>
void write(JsonWriter& json, const R& record);

template <class T, std::size_t N>
void write(JsonWriter& json, const T (&items)[N])
{
    json.beginArray();
    for (const auto& item : items)
        write(json, item);
    json.endArray();
}

// A list: [[key, value], ...] in ascending key order.
template <class T>
void write(JsonWriter& json, T* const& list)
{
    json.beginArray();
    for (const auto& [key, value] : entriesOf(list)) {
        json.beginArray();
        json.value(key);
        write(json, value);
        json.endArray();
    }
    json.endArray();
}

template <class R, class>
void write(JsonWriter& json, const R& record)
{
    json.beginObject();
    schema::forEachMember<R>([&](const auto& f) {
        json.key(f.element);
        write(json, record.*f.member);
    });
    json.endObject();
}

// A section; line breaks go before each table name, each record and the
// closing bracket of a table that has records.
template <class Tuple>
void writeSection(JsonWriter& json, const char* name, const Tuple& list)
{
    json.lineBreak();
    json.key(name);
    json.beginObject();
    forEachTable(list, [&](const auto& t) {
        json.lineBreak();
        json.key(t.name);
        json.beginArray();
        const auto& entries = t.of(tables()).entries();
        for (const auto& [key, record] : entries) {
            json.lineBreak();
            json.beginObject();
            json.key("key");
            json.value(key);
            json.key("value");
            write(json, record);
            json.endObject();
        }
        if (!entries.empty())
            json.lineBreak();
        json.endArray();
    });
    json.lineBreak();
    json.endObject();
}

template <class Tuple>
void count(std::vector<TableCount>& counts, const char* section, const Tuple& list)
{
    forEachTable(list, [&](const auto& t) {
        counts.push_back({section, t.name, static_cast<long long>(t.of(tables()).entries().size())});
    });
}


} // namespace

std::vector<TableCount> countRecords()
{
    std::vector<TableCount> counts;
    count(counts, "model", kModelTables);
    count(counts, "design", kDesignTables);
    return counts;
}

bool writeJson(std::FILE* out, JsonLayout layout)
{
    JsonWriter json(out, layout == JsonLayout::RecordPerLine);
    json.beginObject();
    json.lineBreak();
    json.key("format");
    json.value(std::string_view(kDumpFormat));
    writeSection(json, "model", kModelTables);
    writeSection(json, "design", kDesignTables);
    json.lineBreak();
    json.endObject();
    json.newline();
    return json.flush();
}

WriteCounts writeCounts()
{
    return g_writes.counts;
}

void failAddDataAt(long long n)
{
    g_writes.untilFailure = n > 0 ? n : 0;
}

StoreRows takeRows()
{
    StoreRows rows;
    auto move = [&](const auto& t) { t.of(rows) = t.of(tables()).takeEntries(); };
    forEachTable(kModelTables, move);
    forEachTable(kDesignTables, move);
    rows.RcDesignWallReserved = tables().RcDesignWallReserved.takeEntries();
    return rows;
}

void clearStore()
{
    forEachTable(kModelTables, [](const auto& t) { t.of(tables()).clear(); });
    forEachTable(kDesignTables, [](const auto& t) { t.of(tables()).clear(); });
    tables().RcDesignWallReserved.clear();
}

} // namespace hoststore

using hoststore::tables;

CMBMBNReader::CMBMBNReader() : m_pEvent(nullptr) {}
CMBMBNReader::~CMBMBNReader() = default;

bool CMBMBNReader::setData(EventData* event)
{
    m_pEvent = event;
    return event != nullptr;
}

// Each host table member points at the store's table of its records.
template <class Host, class Registry>
void pointAtStoreTables(Host& host, const Registry& registry)
{
    schema::forEachTable(registry, [&](const auto& entry) {
        host.*entry.table = &tables().of<typename std::decay_t<decltype(entry)>::Record>();
    });
}

CModelDB::CModelDB()
{
    pointAtStoreTables(*this, building_modelDB::fields::kTables);
}

CModelDB::~CModelDB() = default;
bool CModelDB::setData(CModelDBData*) { return true; }
bool CModelDB::setData(EventData*) { return true; }

CDesignDB::CDesignDB() : m_pRcDesignWallReserved(&tables().RcDesignWallReserved)
{
    pointAtStoreTables(*this, building_designDB::fields::kTables);
}

CDesignDB::~CDesignDB() = default;
bool CDesignDB::setData(CDesignDBData*) { return true; }
bool CDesignDB::setData(EventData*) { return true; }
