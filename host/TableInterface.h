// The host's keyed table and its storage policy. A TableInterface stores
// nothing itself: every operation forwards to the policy it points at.
#pragma once

template <class K, class V>
class TCopyPolicy {
public:
    virtual int GetSize() = 0;
    virtual bool GetKeys(K* buffer, int count) = 0;
#if defined(_MSC_VER)
    // The Microsoft C++ ABI gives the virtual overloads of one name their
    // slots in reverse declaration order; declared the other way round, they
    // take the same slots as under the GNU ABI.
    virtual bool GetData(V* buffer, int count) = 0;
    virtual bool GetData(const K& key, V& value) = 0;
#else
    virtual bool GetData(const K& key, V& value) = 0;
    virtual bool GetData(V* buffer, int count) = 0;
#endif
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
#if defined(_MSC_VER) // Microsoft C++ ABI: virtual overloads take their slots in reverse order
    virtual bool GetData(const K& key, V& value) { return m_pPolicy->GetData(key, value); }
    virtual bool GetData(V* buffer, int count) { return m_pPolicy->GetData(buffer, count); }
#else
    virtual bool GetData(V* buffer, int count) { return m_pPolicy->GetData(buffer, count); }
    virtual bool GetData(const K& key, V& value) { return m_pPolicy->GetData(key, value); }
#endif
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
