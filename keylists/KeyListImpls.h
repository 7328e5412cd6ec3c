// Complete key lists: a host key-list type joined with its own embedded
// map policy. The base's policy pointer always designates this object's
// own policy, also in a copy.
#pragma once

#include "host/KeyLists.h"
#include "keylists/TCopyPolicyImplMap.h"

template <class Base, class K, class V>
class MapBackedList : public Base {
public:
    MapBackedList() { this->m_pPolicy = &m_policy; }
    MapBackedList(const MapBackedList& other) : Base(), m_policy(other.m_policy) { this->m_pPolicy = &m_policy; }
    MapBackedList& operator=(const MapBackedList& other)
    {
        m_policy = other.m_policy;
        return *this;
    }
    ~MapBackedList() = default;

    const std::map<K, V>& entries() const { return m_policy.entries(); }

protected:
    TCopyPolicyImplMap<K, V> m_policy;
};

// A plain keyed table over the map policy, for lists and tables that have
// no host key-list type of their own.
template <class K, class V>
struct MapTable final : MapBackedList<TableInterface<K, V>, K, V> {};

namespace building_modelDB {

struct SPNodeKeyListImpl final : MapBackedList<SPNodeKeyList, int, int> {
    SPNodeKeyListImpl() = default;
    SPNodeKeyListImpl(const SPNodeKeyListImpl&) = default;
    virtual SPNodeKeyListImpl& operator=(const SPNodeKeyListImpl& other)
    {
        m_policy = other.m_policy;
        return *this;
    }
};

struct SBeamListImpl final : MapBackedList<SBeamList, int, int> {};
struct SWallEleKeysImpl final : MapBackedList<SWallEleKeys, int, int> {};
struct SLcsImpl final : MapBackedList<SLcs, int, double> {};
struct SLssImpl final : MapBackedList<SLss, int, double> {};

} // namespace building_modelDB

// Each implementation is its host base followed by its policy, nothing else.
static_assert(sizeof(building_modelDB::SPNodeKeyListImpl) ==
              sizeof(building_modelDB::SPNodeKeyList) + sizeof(TCopyPolicyImplMap<int, int>));
static_assert(sizeof(building_modelDB::SBeamListImpl) ==
              sizeof(building_modelDB::SBeamList) + sizeof(TCopyPolicyImplMap<int, int>));
static_assert(sizeof(building_modelDB::SWallEleKeysImpl) ==
              sizeof(building_modelDB::SWallEleKeys) + sizeof(TCopyPolicyImplMap<int, int>));
static_assert(sizeof(building_modelDB::SLcsImpl) ==
              sizeof(building_modelDB::SLcs) + sizeof(TCopyPolicyImplMap<int, double>));
static_assert(sizeof(building_modelDB::SLssImpl) ==
              sizeof(building_modelDB::SLss) + sizeof(TCopyPolicyImplMap<int, double>));
