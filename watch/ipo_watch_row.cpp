#include "watch/ipo_watch_row.h"

#include <cinttypes>

#include "framework/text.h"

IPOWatchRow MakeWatchRow(IPOWatchEntry& entry) {
    IPOWatchRow row;
    row.IssueKey = fw::OrEmpty(entry.IssueKey());
    row.IPOName = fw::OrEmpty(entry.IPOName());
    row.PriceRange = fw::Format("%.2f-%.2f", entry.PriceLow(), entry.PriceHigh());
    const char* start = fw::OrEmpty(entry.BidStartDate());
    const char* end = fw::OrEmpty(entry.BidEndDate());
    row.DateRange = fw::Format(*start && *end ? "%s To %s" : "%s %s", start, end);
    row.IssueSize = fw::Format("%" PRId64, entry.IssueSize());
    row.FaceValue = fw::Format("%.2f", entry.FaceValue());
    row.MinimumOrderQuantity = fw::Format("%" PRId32, entry.MinimumOrderQuantity());
    row.LotSize = fw::Format("%" PRId32, entry.LotSize());
    row.IssueType = fw::OrEmpty(entry.IssueType());
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
