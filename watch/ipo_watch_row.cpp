#include "watch/ipo_watch_row.h"

#include <cinttypes>

#include "base/text.h"

IPOWatchRow MakeWatchRow(IPOWatchEntry& entry) {
    IPOWatchRow row;
    row.IssueKey = base::OrEmpty(entry.IssueKey());
    row.IPOName = base::OrEmpty(entry.IPOName());
    row.PriceRange = base::Format("%.2f-%.2f", entry.PriceLow(), entry.PriceHigh());
    const char* start = base::OrEmpty(entry.BidStartDate());
    const char* end = base::OrEmpty(entry.BidEndDate());
    row.DateRange = base::Format(*start && *end ? "%s To %s" : "%s %s", start, end);
    row.IssueSize = base::Format("%" PRId64, entry.IssueSize());
    row.FaceValue = base::Format("%.2f", entry.FaceValue());
    row.MinimumOrderQuantity = base::Format("%" PRId32, entry.MinimumOrderQuantity());
    row.LotSize = base::Format("%" PRId32, entry.LotSize());
    row.IssueType = base::OrEmpty(entry.IssueType());
    return row;
}

std::string_view WatchCellText(const IPOWatchRow& row, int column) {
    switch (column) {
        case 1:
            return row.IPOName;
        case 2:
            return row.DateRange;
        case 3:
            return row.IssueType;
        case 4:
            return row.FaceValue;
        case 5:
            return row.PriceRange;
        case 6:
            return row.LotSize;
        case 7:
            return row.MinimumOrderQuantity;
        case 8:
            return row.IssueSize;
        default:
            return {};
    }
}
