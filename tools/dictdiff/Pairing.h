// Which record of the old import is which of the new one, table by table.
//
// Under key matching a record's partner is the record of the same key.
// Under geometry matching:
// - storeys pair by height order: the lowest with the lowest, and so on;
// - nodes pair by position: x and y within the tolerance, among the nodes
//   used by members of the same storeys (nodes of one plan position on
//   different levels differ by the storeys of the members that use them);
// - a table whose records refer to nodes, directly or through other
//   records (elements, beams, ...), pairs a record with the one holding
//   the same references, each compared through its table's pairing, and
//   the same storey;
// - a design table ("RcDesignBeam") pairs its rows as its member table
//   ("Beam") pairs the records of the same keys;
// - every other table pairs by key.
// What a table's own rule leaves unpaired is then paired by key, unless
// the table was renumbered (fewer than half of the records its rule
// paired kept their key): then it is added and removed.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

#include "hostsim/store/Tables.h"
#include "tools/dictdiff/Comparison.h"

namespace dictdiff {

// The distance between two plan positions, the same to the last bit on
// every platform, as std::hypot is not: squares, a sum and a square root,
// which IEEE arithmetic rounds alike everywhere (scaled when a square
// would overflow).
double planarDistance(double dx, double dy);

enum class Side { Old, New };

class Pairing {
public:
    Pairing(const hoststore::StoreRows& older, const hoststore::StoreRows& newer, const Options& options);

    // The partner of an old record, or of a new one; none when it has none.
    std::optional<int> partnerOfOld(int table, int oldKey) const { return partner(table, Side::Old, oldKey); }
    std::optional<int> partnerOfNew(int table, int newKey) const { return partner(table, Side::New, newKey); }
    // Whether every record pairs with the one of its own key, as under key
    // matching and in tables paired by key.
    bool byKey(int table) const { return m_tables[table].byKey; }
    // The rule that paired the table ("key", "position", ...).
    const char* rule(int table) const { return m_tables[table].rule; }

    // Whether an old and a new reference to `table` name the same record.
    // Under key matching: the same key. Under geometry matching: partners,
    // or the same key naming in each import a record without partner or
    // no record at all.
    bool sameReference(int table, int oldKey, int newKey) const;
    // A reference as a value that two imports share when sameReference
    // holds: the key of the new record it names, or a value of its own for
    // a key whose record has no partner or does not exist.
    std::int64_t canonical(int table, Side side, int key) const;

private:
    struct Table {
        const char* rule = "key";
        bool byKey = true;
        std::unordered_map<int, int> forward;  // old key to new key
        std::unordered_map<int, int> backward; // new key to old key
        std::function<bool(int)> inOld, inNew; // whether a key holds a record
    };

    std::optional<int> partner(int table, Side side, int key) const;
    void pairFloors();
    void pairNodes();
    template <class R>
    void pairByReferences(int table, const hoststore::Rows<R>& older, const hoststore::Rows<R>& newer);
    template <class R>
    void pairThroughMembers(int table, int memberTable, const hoststore::Rows<R>& older,
                            const hoststore::Rows<R>& newer);
    template <class R>
    void pairRestByKey(int table, const hoststore::Rows<R>& older, const hoststore::Rows<R>& newer);
    void pair(int table, int oldKey, int newKey);
    template <class R>
    std::vector<std::int64_t> signature(const R& record, Side side) const;

    const hoststore::StoreRows& m_old;
    const hoststore::StoreRows& m_new;
    Options m_options;
    std::vector<Table> m_tables;
    std::vector<bool> m_paired; // tables whose pairing is final
    std::vector<bool> m_identity; // tables whose references make a record's place
};

// The floors of the members that use each node, per node key: every
// record holding a floor reference adds its floors to the nodes it refers
// to, anywhere in it.
std::unordered_map<int, std::vector<int>> floorsOfNodes(const hoststore::StoreRows& rows);

} // namespace dictdiff
