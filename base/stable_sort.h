// The one sort of the lists: a stable merge sort driven by a three-way comparator, where a
// result above 0 moves b before a. Comparators that are not strict weak orders (the date
// columns) are safe here: the merge only ever asks "does b go before a?".
#pragma once

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace base {

template <class T, class Compare>
void MergeSort(std::vector<T>& items, Compare compare) {
    const size_t count = items.size();
    if (count < 2) {
        return;
    }
    std::vector<T> buffer(count);
    std::vector<T>* from = &items;
    std::vector<T>* to = &buffer;
    for (size_t width = 1; width < count; width *= 2) {
        for (size_t left = 0; left < count; left += 2 * width) {
            const size_t middle = std::min(left + width, count);
            const size_t right = std::min(left + 2 * width, count);
            size_t a = left;
            size_t b = middle;
            size_t out = left;
            while (a < middle && b < right) {
                if (compare((*from)[a], (*from)[b]) > 0) {
                    (*to)[out++] = std::move((*from)[b++]);
                } else {
                    (*to)[out++] = std::move((*from)[a++]);
                }
            }
            while (a < middle) {
                (*to)[out++] = std::move((*from)[a++]);
            }
            while (b < right) {
                (*to)[out++] = std::move((*from)[b++]);
            }
        }
        std::swap(from, to);
    }
    if (from != &items) {
        items = std::move(*from);
    }
}

}  // namespace base
