// Sorting of the order book list: the per-column comparison and the sort that derives each
// row's key once per sort and gives the same order as sorting with the comparison itself.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "orderbook/order_book_row.h"

// The one sort direction of all order book views, flipped by each column-header click.
extern bool OrderBookSortDescending;

// A date and time as microseconds since 1 January 1970 (calendar time, no time zone), read
// from "YYYY-MM-DD", "DD-MM-YYYY" or ISO "YYYY-MM-DDT", then optionally "HH:MM:SS" with an
// optional fraction of seconds (a blank or "T" between date and time). Nothing when the text
// is not such a date or names no calendar day.
std::optional<int64_t> ParseOrderBookDate(std::string_view text);

// Three-way comparison of two rows by a column; a result above 0 puts b before a.
int CompareRows(const tagIPOOrderBookRow& a, const tagIPOOrderBookRow& b, int column);

// The sorted order of `rows` (each pointing into `store`) by a column: element i is the index in
// `rows` of the row that goes to place i. Stable, in the current direction, and identical to a
// merge sort with CompareRows.
std::vector<size_t> SortedOrder(std::span<const tagIPOOrderBookRow> store,
                                const std::vector<const tagIPOOrderBookRow*>& rows, int column);
