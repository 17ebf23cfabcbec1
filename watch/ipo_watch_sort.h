// The order of watch rows by column, and the one sort direction shared by every watch view.
#pragma once

#include <memory>
#include <vector>

#include "watch/ipo_watch_row.h"

// Flipped by each column-header click in any watch view; false when the plug-in is loaded.
extern bool WatchSortDescending;

// Three-way comparison of two rows by a list column: > 0 when b goes before a. Descending
// order swaps the rows first. Texts compare byte by byte; "Face Value" as a decimal number;
// "Lot Size", "Minimum Order Quantity" and "Issue Size" as 32-bit integers.
int CompareWatchRows(const IPOWatchRow& a, const IPOWatchRow& b, int column);

// Sorts rows by a list column in the order CompareWatchRows gives them, with a stable merge
// sort; the number of a number column is read once per row, not once per comparison. A null
// row (the placeholder without a record) sorts as a row of empty texts.
void SortWatchRows(std::vector<std::unique_ptr<IPOWatchRow>>& rows, int column);
