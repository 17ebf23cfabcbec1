#include "watch/ipo_watch_sort.h"

#include "framework/text.h"

bool WatchSortDescending = false;

namespace {

template <class T>
int Sign(T a, T b) {
    return a > b ? 1 : (a < b ? -1 : 0);
}

}  // namespace

int CompareWatchRows(const IPOWatchRow& a, const IPOWatchRow& b, int column) {
    const IPOWatchRow& first = WatchSortDescending ? b : a;
    const IPOWatchRow& second = WatchSortDescending ? a : b;
    const std::string_view x = WatchCellText(first, column);
    const std::string_view y = WatchCellText(second, column);
    switch (column) {
        case 1:
        case 2:
        case 3:
        case 5:
            return Sign(x.compare(y), 0);
        case 4:
            return Sign(fw::ToDouble(x), fw::ToDouble(y));
        case 6:
        case 7:
        case 8:
            // Issue sizes beyond the 32-bit range all read as its limit, and compare equal.
            return Sign(fw::ToLong(x), fw::ToLong(y));
        default:
            return 0;
    }
}
