// The order of watch rows by column, and the one sort direction shared by every watch view.
#pragma once

#include "watch/ipo_watch_row.h"

// Flipped by each column-header click in any watch view; false when the plug-in is loaded.
extern bool WatchSortDescending;

// Three-way comparison of two rows by a list column: > 0 when b goes before a. Descending
// order swaps the rows first. Texts compare byte by byte; "Face Value" as a decimal number;
// "Lot Size", "Minimum Order Quantity" and "Issue Size" as 32-bit integers.
int CompareWatchRows(const IPOWatchRow& a, const IPOWatchRow& b, int column);
