// The map-backed key lists and their policy.
#include <gtest/gtest.h>

#include "keylists/KeyListImpls.h"

using namespace building_modelDB;

namespace {

template <class K, class V>
std::vector<K> keysOf(TableInterface<K, V>& list)
{
    std::vector<K> keys(static_cast<std::size_t>(list.GetSize()));
    if (!keys.empty()) {
        EXPECT_TRUE(list.GetKeys(keys.data(), list.GetSize()));
    }
    return keys;
}

void add(TableInterface<int, int>& list, int key, int value)
{
    list.AddData(key, value);
}

TEST(KeyLists, KeysComeBackInAscendingOrder)
{
    SPNodeKeyListImpl list;
    add(list, 5, 50);
    add(list, 2, 20);
    add(list, 9, 90);
    EXPECT_EQ(list.GetSize(), 3);
    EXPECT_EQ(keysOf(list), (std::vector<int>{2, 5, 9}));
    int values[3] = {};
    EXPECT_TRUE(list.GetData(values, 3));
    EXPECT_EQ(values[0], 20);
    EXPECT_EQ(values[1], 50);
    EXPECT_EQ(values[2], 90);
}

TEST(KeyLists, AddingAKeyAgainReplacesItsValue)
{
    SBeamListImpl list;
    add(list, 4, 10);
    add(list, 4, 20);
    EXPECT_EQ(list.GetSize(), 1);
    int value = 0;
    EXPECT_TRUE(list.GetData(4, value));
    EXPECT_EQ(value, 20);
}

TEST(KeyLists, LookupOfAnAbsentKeyLeavesTheValue)
{
    SWallEleKeysImpl list;
    add(list, 1, 1);
    int value = 77;
    EXPECT_TRUE(list.GetData(3, value));
    EXPECT_EQ(value, 77);
}

TEST(KeyLists, GetKeysAndGetDataRefuseCountsOutOfRange)
{
    SPNodeKeyListImpl list;
    int buffer[4] = {-1, -1, -1, -1};
    EXPECT_FALSE(list.GetKeys(buffer, 1)); // empty list
    add(list, 1, 10);
    add(list, 2, 20);
    add(list, 3, 30);
    for (int count : {0, -1, 4, 100}) {
        EXPECT_FALSE(list.GetKeys(buffer, count)) << count;
        EXPECT_FALSE(list.GetData(buffer, count)) << count;
    }
    EXPECT_EQ(buffer[0], -1);
    EXPECT_EQ(buffer[3], -1);
    // A smaller buffer gets the first entries and nothing beyond.
    EXPECT_TRUE(list.GetKeys(buffer, 2));
    EXPECT_EQ(buffer[0], 1);
    EXPECT_EQ(buffer[1], 2);
    EXPECT_EQ(buffer[2], -1);
}

TEST(KeyLists, RealListsThroughTheirBase)
{
    SLcsImpl lcs;
    TableInterface<int, double>& base = lcs;
    EXPECT_EQ(base.GetSize(), 0);
    double v = 0.5;
    base.AddData(0, v);
    EXPECT_EQ(base.GetSize(), 1);
    SLssImpl lss;
    EXPECT_EQ(lss.GetSize(), 0);
}

TEST(KeyLists, PolicyAssignment)
{
    TCopyPolicyImplMap<int, double> a, b;
    double one = 1.0, two = 2.0;
    a.AddData(1, one);
    a.AddData(2, two);
    a = a; // self-assignment keeps the entries
    EXPECT_EQ(a.GetSize(), 2);

    b.AddData(7, one);
    b = a;
    EXPECT_EQ(b.GetSize(), 2);
    double three = 3.0;
    a.AddData(3, three);
    b.AddData(1, three);
    EXPECT_EQ(b.GetSize(), 2); // independent of a afterwards
    double value = 0;
    a.GetData(1, value);
    EXPECT_EQ(value, 1.0);
    b.GetData(1, value);
    EXPECT_EQ(value, 3.0);
}

TEST(KeyLists, NodeKeyListAssignmentAndCopiesKeepTheirOwnPolicy)
{
    SPNodeKeyListImpl a;
    add(a, 0, 7);
    SPNodeKeyListImpl b;
    add(b, 5, 5);
    b = a;
    EXPECT_EQ(keysOf(b), (std::vector<int>{0}));
    add(a, 1, 3);
    EXPECT_EQ(b.GetSize(), 1);

    SPNodeKeyListImpl& self = b;
    b = self;
    EXPECT_EQ(b.GetSize(), 1);

    SPNodeKeyListImpl copy(a);
    add(copy, 9, 9);
    EXPECT_EQ(a.GetSize(), 2);
    EXPECT_EQ(copy.GetSize(), 3);

    // Assignment through the host base copies entries, never the policy pointer.
    SBeamListImpl x, y;
    add(x, 1, 1);
    static_cast<TableInterface<int, int>&>(y) = x;
    add(x, 2, 2);
    EXPECT_EQ(y.GetSize(), 1);
}

} // namespace
