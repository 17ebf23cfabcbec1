#include "orderbook/order_book_sort.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <climits>
#include <string>

#include "base/stable_sort.h"
#include "base/text.h"

bool OrderBookSortDescending = false;

namespace {

// A run of decimal digits filling the whole part, as an unsigned value.
bool ReadDigits(std::string_view part, int& value) {
    unsigned parsed = 0;
    const auto result = std::from_chars(part.data(), part.data() + part.size(), parsed);
    if (result.ec != std::errc() || result.ptr != part.data() + part.size()) {
        return false;
    }
    value = static_cast<int>(parsed);
    return true;
}

bool ReadDate(std::string_view text, int& year, int& month, int& day, bool& yearFirst) {
    if (text.size() < 10) {
        return false;
    }
    yearFirst = text[4] == '-' && text[7] == '-';
    if (yearFirst) {
        return ReadDigits(text.substr(0, 4), year) && ReadDigits(text.substr(5, 2), month) &&
               ReadDigits(text.substr(8, 2), day);
    }
    return text[2] == '-' && text[5] == '-' && ReadDigits(text.substr(0, 2), day) &&
           ReadDigits(text.substr(3, 2), month) && ReadDigits(text.substr(6, 4), year);
}

// "HH:MM:SS" with an optional fraction; the fraction is read to the microsecond.
bool ReadTime(std::string_view text, int64_t& micros) {
    int hour = 0, minute = 0, second = 0;
    if (text.size() < 8 || text[2] != ':' || text[5] != ':' ||
        !ReadDigits(text.substr(0, 2), hour) || !ReadDigits(text.substr(3, 2), minute) ||
        !ReadDigits(text.substr(6, 2), second) || hour > 23 || minute > 59 || second > 59) {
        return false;
    }
    int64_t fraction = 0;
    if (text.size() > 8) {
        const std::string_view digits = text.substr(9);
        const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
        if (text[8] != '.' || digits.empty() ||
            !std::all_of(digits.begin(), digits.end(), isDigit)) {
            return false;
        }
        for (size_t i = 0; i < 6; ++i) {
            fraction = fraction * 10 + (i < digits.size() ? digits[i] - '0' : 0);
        }
    }
    micros = ((hour * 60 + minute) * 60 + second) * int64_t{1000000} + fraction;
    return true;
}

struct TextKey {
    using Key = std::string_view;
    static Key Derive(std::string_view text) { return text; }
    static int Compare(Key a, Key b) { return a.compare(b); }
};

template <class Value>
int ThreeWay(Value a, Value b) {
    return a > b ? 1 : (a < b ? -1 : 0);
}

struct IntegerKey {
    using Key = int32_t;
    static Key Derive(std::string_view text) { return base::ToLong(text); }
    static int Compare(Key a, Key b) { return ThreeWay(a, b); }
};

struct NumberKey {
    using Key = double;
    static Key Derive(std::string_view text) { return base::ToDouble(text); }
    static int Compare(Key a, Key b) { return ThreeWay(a, b); }
};

// Not a strict weak order: an unparsable date is "after" either way round. Only the merge sort
// may use it.
struct DateKey {
    using Key = int64_t;  // microseconds, or kInvalid for a text that is no date
    static constexpr Key kInvalid = INT64_MIN;
    static Key Derive(std::string_view text) { return ParseOrderBookDate(text).value_or(kInvalid); }
    static int Compare(Key a, Key b) {
        constexpr int64_t kHalfSecond = 500000;
        // Equal within half a second, or a earlier than b.
        return a != kInvalid && b != kInvalid && a - b < kHalfSecond ? 0 : 1;
    }
};

// Calls visit with the key kind of a column; 0 for a column that does not sort.
template <class Visit>
auto WithColumnKind(int column, Visit visit) {
    switch (column) {
        case 2:
        case 6:
        case 10:
        case 14:
        case 21:
            return visit(IntegerKey{});
        case 3:
        case 5:
        case 7:
        case 9:
        case 11:
        case 13:
        case 15:
        case 16:
        case 22:
            return visit(NumberKey{});
        case 19:
        case 20:
            return visit(DateKey{});
        default:
            return visit(TextKey{});
    }
}

template <class Kind>
std::vector<size_t> SortByKey(std::span<const tagIPOOrderBookRow> store,
                              const std::vector<const tagIPOOrderBookRow*>& rows, size_t field) {
    // Keys are derived in the store's memory order: one field of each of 100,000 rows read in
    // list order waits on memory row by row, a sweep through the store does not. The field (and
    // a longer text's characters) are fetched some rows ahead.
    constexpr size_t kFieldAhead = 16;
    constexpr size_t kTextAhead = 8;
    std::vector<typename Kind::Key> keys(store.size());
    for (size_t i = 0; i < store.size(); ++i) {
        if (i + kFieldAhead < store.size()) {
            __builtin_prefetch(&store[i + kFieldAhead]);
        }
        if (i + kTextAhead < store.size()) {
            __builtin_prefetch(store[i + kTextAhead].Field(static_cast<int>(field)).data());
        }
        keys[i] = Kind::Derive(store[i].Field(static_cast<int>(field)));
    }
    struct Item {
        typename Kind::Key key;
        uint32_t index;
    };
    std::vector<Item> items;
    items.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        items.push_back(
            {keys[static_cast<size_t>(rows[i] - store.data())], static_cast<uint32_t>(i)});
    }
    if (OrderBookSortDescending) {
        base::MergeSort(items,
                        [](const Item& a, const Item& b) { return Kind::Compare(b.key, a.key); });
    } else {
        base::MergeSort(items,
                        [](const Item& a, const Item& b) { return Kind::Compare(a.key, b.key); });
    }
    std::vector<size_t> order;
    order.reserve(items.size());
    for (const Item& item : items) {
        order.push_back(item.index);
    }
    return order;
}

}  // namespace

// The forms are fixed, so their fields are read in place; <chrono> checks the calendar day and
// counts the days. (std::get_time measured about 600 ns a text here: a sort of 100,000 dates
// would spend 60 ms parsing, eight times a whole sort of precomputed keys.)
std::optional<int64_t> ParseOrderBookDate(std::string_view text) {
    int year = 0, month = 0, day = 0;
    bool yearFirst = false;
    if (!ReadDate(text, year, month, day, yearFirst)) {
        return std::nullopt;
    }
    const std::chrono::year_month_day date{std::chrono::year{year},
                                           std::chrono::month{static_cast<unsigned>(month)},
                                           std::chrono::day{static_cast<unsigned>(day)}};
    if (!date.ok()) {
        return std::nullopt;
    }
    int64_t micros = 0;
    if (text.size() > 10) {
        const char separator = text[10];
        if (!(separator == ' ' || (separator == 'T' && yearFirst)) ||
            !ReadTime(text.substr(11), micros)) {
            return std::nullopt;
        }
    }
    const int64_t days = std::chrono::sys_days{date}.time_since_epoch().count();
    return days * 86400 * int64_t{1000000} + micros;
}

int CompareRows(const tagIPOOrderBookRow& a, const tagIPOOrderBookRow& b, int column) {
    const int field = ColumnField(column);
    if (field < 0) {
        return 0;
    }
    const std::string_view first = (OrderBookSortDescending ? b : a).Field(field);
    const std::string_view second = (OrderBookSortDescending ? a : b).Field(field);
    return WithColumnKind(column, [&](auto kind) {
        using Kind = decltype(kind);
        return Kind::Compare(Kind::Derive(first), Kind::Derive(second));
    });
}

std::vector<size_t> SortedOrder(std::span<const tagIPOOrderBookRow> store,
                                const std::vector<const tagIPOOrderBookRow*>& rows, int column) {
    const int field = ColumnField(column);
    if (field < 0) {
        std::vector<size_t> unchanged(rows.size());
        for (size_t i = 0; i < rows.size(); ++i) {
            unchanged[i] = i;
        }
        return unchanged;
    }
    return WithColumnKind(column, [&](auto kind) {
        return SortByKey<decltype(kind)>(store, rows, static_cast<size_t>(field));
    });
}
