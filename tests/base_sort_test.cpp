#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "base/stable_sort.h"

namespace {

using Item = std::pair<int, std::string>;

std::vector<std::string> Tags(const std::vector<Item>& items) {
    std::vector<std::string> tags;
    for (const Item& item : items) {
        tags.push_back(item.second);
    }
    return tags;
}

// Equal items keep their order (a result of 0 keeps a first, a positive one moves b first),
// at odd sizes and at none.
TEST(MergeSort, IsStable) {
    const auto byKey = [](const Item& a, const Item& b) { return a.first - b.first; };
    std::vector<Item> items{{3, "a"}, {1, "b"}, {3, "c"}, {2, "d"}, {1, "e"}, {3, "f"}, {2, "g"}};
    base::MergeSort(items, byKey);
    EXPECT_EQ((std::vector<std::string>{"b", "e", "d", "g", "a", "c", "f"}), Tags(items));
    std::vector<Item> five{{5, "a"}, {4, "b"}, {3, "c"}, {2, "d"}, {1, "e"}};
    base::MergeSort(five, byKey);
    EXPECT_EQ((std::vector<std::string>{"e", "d", "c", "b", "a"}), Tags(five));
    std::vector<Item> none;
    base::MergeSort(none, byKey);
    EXPECT_TRUE(none.empty());
}

TEST(MergeSort, SurvivesAComparatorThatIsNotAStrictWeakOrder) {
    // Unknown keys (-1) compare as "after" both ways, as the date columns do: the sort must end
    // with every item kept once, and the known keys that meet directly stay in order.
    std::vector<Item> items;
    for (int i = 0; i < 37; ++i) {
        items.push_back({(i * 7) % 11 == 0 ? -1 : (i * 13) % 17, "i" + std::to_string(i)});
    }
    std::vector<std::string> before = Tags(items);
    base::MergeSort(items, [](const Item& a, const Item& b) {
        if (a.first < 0 || b.first < 0) {
            return 1;
        }
        return a.first <= b.first ? 0 : 1;
    });
    std::vector<std::string> after = Tags(items);
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(before, after);
}

}  // namespace
