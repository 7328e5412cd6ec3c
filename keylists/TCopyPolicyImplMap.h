// Map-backed storage policy for the host's keyed tables: unique keys in
// ascending order, each AddData replacing the value of an existing key.
#pragma once

#include <climits>
#include <map>

#include "host/TableInterface.h"

template <class K, class V>
class TCopyPolicyImplMap : public TCopyPolicy<K, V> {
public:
    TCopyPolicyImplMap() = default;
    TCopyPolicyImplMap(const TCopyPolicyImplMap& other) : TCopyPolicy<K, V>(), m_map(other.m_map) {}

    int GetSize() override
    {
        return m_map.size() > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(m_map.size());
    }

    // Writes the first `count` keys in ascending order. Refuses a count
    // below 1 or above the number of entries, writing nothing.
    bool GetKeys(K* buffer, int count) override
    {
        if (!acceptsCount(count))
            return false;
        auto it = m_map.begin();
        for (int i = 0; i < count; ++i, ++it)
            buffer[i] = it->first;
        return true;
    }

    // Leaves `value` untouched for an absent key; succeeds either way.
    bool GetData(const K& key, V& value) override
    {
        auto it = m_map.find(key);
        if (it != m_map.end())
            value = it->second;
        return true;
    }

    // Values in the same order as GetKeys writes the keys.
    bool GetData(V* buffer, int count) override
    {
        if (!acceptsCount(count))
            return false;
        auto it = m_map.begin();
        for (int i = 0; i < count; ++i, ++it)
            buffer[i] = it->second;
        return true;
    }

    // Keys usually come in ascending order: the end is tried first, and a
    // key that does not belong there is looked up as usual.
    bool AddData(const K& key, V& value) override
    {
        m_map.insert_or_assign(m_map.end(), key, value);
        return true;
    }

    // Replaces every entry with a copy of the other policy's entries. A
    // policy of another kind has no entries this one can read, so it
    // leaves this one unchanged. Built aside first: a failed copy changes
    // nothing.
    TCopyPolicy<K, V>& operator=(const TCopyPolicy<K, V>& other) override
    {
        auto source = dynamic_cast<const TCopyPolicyImplMap*>(&other);
        if (source != nullptr && source != this) {
            std::map<K, V> copy(source->m_map);
            m_map.swap(copy);
        }
        return *this;
    }

    TCopyPolicyImplMap& operator=(const TCopyPolicyImplMap& other)
    {
        operator=(static_cast<const TCopyPolicy<K, V>&>(other));
        return *this;
    }

    virtual ~TCopyPolicyImplMap() { m_map.clear(); }

    const std::map<K, V>& entries() const { return m_map; }
    // Hands every entry over to the caller, leaving the policy empty.
    std::map<K, V> take()
    {
        std::map<K, V> taken;
        taken.swap(m_map);
        return taken;
    }

private:
    bool acceptsCount(int count) const
    {
        return count >= 1 && static_cast<std::size_t>(count) <= m_map.size();
    }

    std::map<K, V> m_map;
};
