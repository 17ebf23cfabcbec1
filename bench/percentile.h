// Percentiles of a run's timings, taken by rank as the benches print them.
#pragma once

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

// The value at `fraction` of the way from the smallest to the largest (0.5: the median, the
// lower of the middle two); 0 for no values.
inline double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(fraction * static_cast<double>(values.size() - 1))];
}

inline double Median(std::vector<double> values) {
    return Percentile(std::move(values), 0.5);
}
