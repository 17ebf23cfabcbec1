// The watch view's own copy of one issue: texts only, formatted once when the row is added.
#pragma once

#include <string>
#include <string_view>

#include "bridge/companion_abi.h"

// The list kinds of the watch list request.
using IPOWatchMode = int32_t;
constexpr IPOWatchMode kWatchCurrent = 1;
constexpr IPOWatchMode kWatchForthcoming = 2;
constexpr IPOWatchMode kWatchPast = 3;

struct IPOWatchRow {
    std::string IPOName;
    std::string DateRange;
    std::string IssueType;
    std::string FaceValue;
    std::string PriceRange;
    std::string LotSize;
    std::string MinimumOrderQuantity;
    std::string IssueSize;
    std::string IssueKey;
};

// Formats one answer record of the watch list request into a row.
IPOWatchRow MakeWatchRow(IPOWatchEntry& entry);

// The text a row shows in a list column (1 to 8); empty for column 0 and any other.
std::string_view WatchCellText(const IPOWatchRow& row, int column);
