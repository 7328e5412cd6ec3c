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
    std::map<K, V> takeEntries() { return m_policy.take(); }

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

// The concrete list behind each kind of list pointer a record holds, as
// the store's record constructors create them.
template <class P> struct ListImpl;
template <> struct ListImpl<building_modelDB::SPNodeKeyList> { using type = building_modelDB::SPNodeKeyListImpl; };
template <> struct ListImpl<building_modelDB::SBeamList> { using type = building_modelDB::SBeamListImpl; };
template <> struct ListImpl<building_modelDB::SWallEleKeys> { using type = building_modelDB::SWallEleKeysImpl; };
template <> struct ListImpl<building_modelDB::SLcs> { using type = building_modelDB::SLcsImpl; };
template <> struct ListImpl<building_modelDB::SLss> { using type = building_modelDB::SLssImpl; };
template <class K, class V> struct ListImpl<TableInterface<K, V>> { using type = MapTable<K, V>; };

// The entries behind a list pointer that the store's constructors filled
// in, through the list's own type.
template <class P>
const auto& entriesOf(const P* list)
{
    return static_cast<const typename ListImpl<P>::type*>(list)->entries();
}

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
