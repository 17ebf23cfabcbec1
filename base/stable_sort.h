// The one sort of the lists: a stable merge sort driven by a three-way comparator, where a
// result above 0 moves b before a. Comparators that are not strict weak orders (the date
// columns) are safe here: the merge only ever asks "does b go before a?".
#pragma once

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace base {

// Each merge step chooses its item by index rather than by a branch, which the compiler turns
// into a conditional move for small items: keys that come in no order mispredict a branch on
// half of the comparisons.
template <class T, class Compare>
void MergeSort(std::vector<T>& items, Compare compare) {
    const size_t count = items.size();
    if (count < 2) {
        return;
    }
    std::vector<T> buffer(count);
    T* from = items.data();
    T* to = buffer.data();
    for (size_t width = 1; width < count; width *= 2) {
        for (size_t left = 0; left < count; left += 2 * width) {
            const size_t middle = std::min(left + width, count);
            const size_t right = std::min(left + 2 * width, count);
            size_t a = left;
            size_t b = middle;
            size_t out = left;
            while (a < middle && b < right) {
                const bool takeB = compare(from[a], from[b]) > 0;
                to[out++] = std::move(from[takeB ? b : a]);
                b += takeB;
                a += !takeB;
            }
            std::move(from + a, from + middle, to + out);
            std::move(from + b, from + right, to + out + (middle - a));
        }
        std::swap(from, to);
    }
    if (from != items.data()) {
        items.swap(buffer);
    }
}

}  // namespace base
