#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "containers/ts_map.h"

namespace {

using IntMap = CTSMap<int32_t, int32_t, int*, int*>;

std::vector<int32_t> WalkKeys(const IntMap& map) {
    std::vector<int32_t> keys;
    for (MapPosition position = map.GetStartPosition(); position;) {
        int32_t key = 0;
        int* value = nullptr;
        map.GetNextAssoc(position, key, value);
        keys.push_back(key);
    }
    return keys;
}

TEST(CTSMapTest, IntegerHash) {
    EXPECT_EQ(HashMapKey(17), 285719u);
    EXPECT_EQ(HashMapKey(34), 571438u);
    // A negative intermediate is brought back into the positive range.
    EXPECT_EQ(HashMapKey(-1), 2147483647u - 16807u);
}

// Codes 91 to 96 fall into buckets 15, 9, 3, 14, 8 and 2 of 17.
TEST(CTSMapTest, WalkGoesByBucketThenNewestFirst) {
    IntMap map;
    for (int32_t code = 91; code <= 96; ++code) {
        map[code];
    }
    EXPECT_EQ(WalkKeys(map), (std::vector<int32_t>{96, 93, 95, 92, 94, 91}));

    IntMap colliding;
    int a = 1, b = 2;
    colliding[17] = &a;
    colliding[34] = &b;
    EXPECT_EQ(WalkKeys(colliding), (std::vector<int32_t>{34, 17}));
    int* found = nullptr;
    ASSERT_TRUE(colliding.Lookup(17, found));
    EXPECT_EQ(found, &a);
    ASSERT_TRUE(colliding.Lookup(34, found));
    EXPECT_EQ(found, &b);
    EXPECT_TRUE(colliding.RemoveKey(34));
    ASSERT_TRUE(colliding.Lookup(17, found));
    EXPECT_EQ(found, &a);
    EXPECT_FALSE(colliding.Lookup(34, found));
}

TEST(CTSMapTest, IndexInsertsNullAndStoringReplaces) {
    IntMap map;
    EXPECT_EQ(map.GetStartPosition(), nullptr);
    EXPECT_EQ(map[5], nullptr);
    int a = 1, b = 2;
    map[5] = &a;
    map[5] = &b;
    EXPECT_EQ(map.GetCount(), 1u);
    int* value = nullptr;
    ASSERT_TRUE(map.Lookup(5, value));
    EXPECT_EQ(value, &b);
    EXPECT_FALSE(map.Lookup(6, value));
    EXPECT_EQ(value, &b) << "a failed lookup leaves the out value alone";
}

// A freed entry is taken again; removing the last entry or all of them leaves an empty map
// that takes new entries.
TEST(CTSMapTest, RemovedEntriesAreRecycledAndAnEmptiedMapRefills) {
    IntMap map;
    for (int32_t key = 0; key <= 10; ++key) {
        map[key];
    }
    EXPECT_TRUE(map.RemoveKey(3));
    EXPECT_FALSE(map.RemoveKey(3));
    map[100];
    EXPECT_EQ(map.GetBlockCount(), 2u);  // blocks of ten entries: the freed one was taken
    EXPECT_EQ(WalkKeys(map).size(), 11u);
    map.RemoveAll();
    EXPECT_TRUE(map.IsEmpty());
    EXPECT_EQ(map.GetStartPosition(), nullptr);
    map[7];
    EXPECT_TRUE(map.RemoveKey(7));
    EXPECT_EQ(map.GetStartPosition(), nullptr);
    map[8];
    EXPECT_EQ(WalkKeys(map), std::vector<int32_t>{8});
}

}  // namespace
