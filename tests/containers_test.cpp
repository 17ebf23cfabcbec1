#include <gtest/gtest.h>

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

// Codes 91 to 96 fall into buckets 15, 9, 3, 14, 8 and 2 of 17; 17 and 34 share one bucket.
TEST(CTSMapTest, HashAndWalkGoByBucketThenNewestFirst) {
    EXPECT_EQ(HashMapKey(17), 285719u);
    EXPECT_EQ(HashMapKey(-1), 2147483647u - 16807u);  // a negative intermediate comes back
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
    EXPECT_TRUE(colliding.Lookup(34, found) && found == &b);
    EXPECT_TRUE(colliding.RemoveKey(34));
    EXPECT_TRUE(colliding.Lookup(17, found) && found == &a);
    EXPECT_FALSE(colliding.Lookup(34, found));
    EXPECT_EQ(found, &a) << "a failed lookup leaves the out value alone";
}

}  // namespace
