#include "watch/ipo_watch_sort.h"

#include "base/stable_sort.h"
#include "base/text.h"

bool WatchSortDescending = false;

namespace {

template <class T>
int Sign(T a, T b) {
    return a > b ? 1 : (a < b ? -1 : 0);
}

bool IsNumberColumn(int column) {
    return column == 4 || (column >= 6 && column <= 8);
}

// "Face Value" reads as a decimal number; the other number columns as 32-bit integers, so issue
// sizes beyond that range all read as its limit and compare equal. Both are exact as doubles.
double NumberKey(const IPOWatchRow& row, int column) {
    const std::string_view text = WatchCellText(row, column);
    return column == 4 ? base::ToDouble(text) : static_cast<double>(base::ToLong(text));
}

// The row without a record (the list's placeholder) shows no text, and compares as a row whose
// texts are all empty.
const IPOWatchRow& RowOrBlank(const std::unique_ptr<IPOWatchRow>& row) {
    static const IPOWatchRow kBlank;
    return row ? *row : kBlank;
}

}  // namespace

int CompareWatchRows(const IPOWatchRow& a, const IPOWatchRow& b, int column) {
    const IPOWatchRow& first = WatchSortDescending ? b : a;
    const IPOWatchRow& second = WatchSortDescending ? a : b;
    if (IsNumberColumn(column)) {
        return Sign(NumberKey(first, column), NumberKey(second, column));
    }
    if (column >= 1 && column <= 5) {
        return Sign(WatchCellText(first, column).compare(WatchCellText(second, column)), 0);
    }
    return 0;
}

void SortWatchRows(std::vector<std::unique_ptr<IPOWatchRow>>& rows, int column) {
    if (!IsNumberColumn(column)) {
        base::MergeSort(rows, [column](const std::unique_ptr<IPOWatchRow>& a,
                                     const std::unique_ptr<IPOWatchRow>& b) {
            return CompareWatchRows(RowOrBlank(a), RowOrBlank(b), column);
        });
        return;
    }
    struct Keyed {
        double key = 0;
        std::unique_ptr<IPOWatchRow> row;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(rows.size());
    for (std::unique_ptr<IPOWatchRow>& row : rows) {
        const double key = NumberKey(RowOrBlank(row), column);
        keyed.push_back({key, std::move(row)});
    }
    const bool descending = WatchSortDescending;
    base::MergeSort(keyed, [descending](const Keyed& a, const Keyed& b) {
        return descending ? Sign(b.key, a.key) : Sign(a.key, b.key);
    });
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i] = std::move(keyed[i].row);
    }
}
