// The host's keyed table and its storage policy. A TableInterface stores
// nothing itself: every operation forwards to the policy it points at.
#pragma once

template <class K, class V>
class TCopyPolicy {
public:
    virtual int GetSize() = 0;
    virtual bool GetKeys(K* buffer, int count) = 0;
    virtual bool GetData(const K& key, V& value) = 0;
    virtual bool GetData(V* buffer, int count) = 0;
    virtual bool AddData(const K& key, V& value) = 0;
    virtual TCopyPolicy& operator=(const TCopyPolicy& other) = 0;

protected:
    TCopyPolicy() = default;
    TCopyPolicy(const TCopyPolicy&) = default;
    ~TCopyPolicy() = default;
};

template <class K, class V>
class TableInterface {
public:
    virtual int GetSize() { return m_pPolicy->GetSize(); }
    virtual bool GetKeys(K* buffer, int count) { return m_pPolicy->GetKeys(buffer, count); }
    virtual bool GetData(V* buffer, int count) { return m_pPolicy->GetData(buffer, count); }
    virtual bool GetData(const K& key, V& value) { return m_pPolicy->GetData(key, value); }
    virtual bool AddData(const K& key, V& value) { return m_pPolicy->AddData(key, value); }
    // Copies the entries; the policy pointer stays this object's own.
    virtual TableInterface& operator=(const TableInterface& other)
    {
        if (this != &other)
            *m_pPolicy = *other.m_pPolicy;
        return *this;
    }

protected:
    TableInterface() = default;
    // A copy must set its own policy pointer; it never shares another's.
    TableInterface(const TableInterface&) : m_pPolicy(nullptr) {}
    ~TableInterface() = default;

    TCopyPolicy<K, V>* m_pPolicy = nullptr;
};
