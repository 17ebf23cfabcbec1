#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "base/stable_sort.h"
#include "base/text.h"
#include "orderbook/order_book_row.h"
#include "orderbook/order_book_sort.h"
#include "orderbook/order_status.h"
#include "tests/support/fake_records.h"

namespace {

FakeIPOOrderBid MakeBid(int position, int quantity, double price) {
    FakeIPOOrderBid bid;
    bid.position = position;
    bid.quantity = quantity;
    bid.price = price;
    bid.amountPayable = price * quantity;
    bid.bidReference = "REF" + std::to_string(position);
    return bid;
}

// Texts joined by "|".
std::string Joined(std::initializer_list<std::string_view> texts) {
    std::string joined;
    for (std::string_view text : texts) {
        joined.append(text).append("|");
    }
    return joined.substr(0, joined.size() - 1);
}

TEST(OrderBookRow, ShowsBidsByPositionWithHundredthsDividedAndLots) {
    FakeIPOOrderBookEntry entry;
    entry.offerType = "IPO", entry.offerName = "ACME", entry.applicationNumber = "APP77";
    entry.orderNumber = 9001, entry.lotSize = 50, entry.statusCode = "UC";
    entry.paymentStatusCode = "e", entry.totalAmountPayable = 1851750, entry.refundAmount = 12345;
    entry.allocatedQuantity = 100, entry.bidDate = "2026-12-04 10:15:00";
    entry.clientName = std::nullopt;
    FakeIPOOrderBid second = MakeBid(1, 150, 12345);
    second.cutOff = 1;
    FakeIPOOrderBid ignored = MakeBid(7, 999, 1);
    entry.bids.Add(&second);
    entry.bids.Add(nullptr);
    entry.bids.Add(&ignored);

    tagIPOOrderBookRow row;
    FillRow(row, entry);

    const std::vector<std::string> expected = {
        "IPO",      "ACME",     "APP77",     "9001",     "",
        "",         "",         "",                       // bid 1 unused
        "1",        "123.45",   "3(150)",    "18517.50",  // bid 2 from position 1
        "",         "",         "",          "",          // bid 3 unused
        "18517.50", "",         "CANCELLED", "",         "2026-12-04 10:15:00",
        "100",      "12345.00", "SUCCESS",   "",         ""};
    for (int column = 0; column < kOrderBookColumnCount; ++column) {
        EXPECT_EQ(expected.at(static_cast<size_t>(column)), RowCellText(row, column)) << column;
    }
    EXPECT_EQ(RowCellText(row, 26), "");  // past the last column
}

TEST(OrderBookRow, SurvivesLotSizeZeroNullBidListAndNullTexts) {
    FakeIPOOrderBookEntry zeroLots;
    FakeIPOOrderBid bid = MakeBid(0, 150, 100);
    zeroLots.bids.Add(&bid);
    tagIPOOrderBookRow row;
    FillRow(row, zeroLots);
    EXPECT_EQ("0(150)", RowCellText(row, 6));

    FakeIPOOrderBookEntry noBids;
    noBids.nullBids = true;
    noBids.issueKey = "KEY";
    noBids.offerName.reset();
    noBids.statusCode.reset();
    tagIPOOrderBookRow empty;
    FillRow(empty, noBids);
    EXPECT_EQ(Joined({empty.Field(kFieldIssueKey), empty.Field(kFieldLotSize),
                      RowCellText(empty, 1), RowCellText(empty, 18)}),
              "|||");
}

// Rows filled into a shared text store keep their texts across its block boundaries, with a
// text longer than a block among them, and after the store is cleared and filled again.
TEST(OrderBookRow, RowsInATextStoreKeepTheirTexts) {
    RowTextStore store;
    std::vector<tagIPOOrderBookRow> rows(6000);
    for (int round = 0; round < 2; ++round) {
        store.Clear();
        for (size_t i = 0; i < rows.size(); ++i) {
            FakeIPOOrderBookEntry entry;
            entry.orderNumber = static_cast<int32_t>(i) + round;
            entry.rejectionReason = i == 2500 ? std::string(3 << 20, 'r') : std::string(200, 'x');
            FillRow(rows[i], entry, &store);
        }
        for (size_t i = 0; i < rows.size(); ++i) {
            ASSERT_EQ(std::to_string(i + round), RowCellText(rows[i], 3)) << i;
            ASSERT_EQ(i == 2500 ? size_t{3} << 20 : 200, RowCellText(rows[i], 24).size()) << i;
        }
    }
}

// Money cells against printf's own texts at the edges of rounding (halves that are and are not
// exact in binary, before and after the division by 100), sign, size and the 32-bit range.
TEST(OrderBookRow, NumberTextsAreThoseOfPrintf) {
    // clang-format off
    const std::vector<double> values = {
        0, -0.0, 0.5, 12.5, -12.5, 0.125, 2.675, 1.005, -1.005, 99.995, 267.5, -267.5, 1e15,
        1000000000000001.0, -1e22, 1e300, 4.9e-324, 9007199254740993.0, 2147483647, -2147483648.0,
        123456789.125, 0.045, -5, 9999999999999.5, 99999999999.995, 0.004, -0.005, 1.115, 8.345,
        0.995, -2.5e-3, 1234.5, -11.25};
    // clang-format on
    for (size_t i = 0; i + 1 < values.size(); ++i) {
        FakeIPOOrderBookEntry entry;
        entry.lotSize = 7;
        entry.totalAmountPayable = values[i];
        entry.refundAmount = values[i + 1];
        FakeIPOOrderBid bid =
            MakeBid(static_cast<int>(i % 3), -1000 + static_cast<int>(i), values[i + 1]);
        bid.amountPayable = values[i];
        entry.bids.Add(&bid);
        tagIPOOrderBookRow row;
        FillRow(row, entry);
        const int b = bid.position;
        ASSERT_EQ(
            Joined({row.Field(kFieldTotalAmount), row.Field(35), row.Bid(b, BidField::Price),
                    row.Bid(b, BidField::AmountPayable), row.Bid(b, BidField::LotsAndQuantity)}),
            base::Format("%.2f|%.2f|%.2f|%.2f|%d(%d)", values[i] / 100.0, values[i + 1],
                         values[i + 1] / 100.0, values[i] / 100.0, bid.quantity / 7, bid.quantity))
            << "value " << i;
    }
}

// Every row of each table, and a text just off a row (another case, another code).
TEST(OrderStatus, TranslatesFilterStatusAndPaymentCodes) {
    using Rows = std::vector<std::pair<std::string_view, std::string_view>>;
    const Rows filters = {{"(ALL)", "-1"},          {"PENDING", "P"},  {"CONFIRMED", "CF"},
                          {"REJECTED", "REJ"},      {"MODIFIED", "M"}, {"CANCELLED", "C"},
                          {"ADMIN CANCELLED", "A"}, {"pending", ""},   {"USER CANCELLED", ""}};
    for (const auto& [text, code] : filters) {
        EXPECT_EQ(code, StatusFilterCode(text)) << text;
    }
    const Rows statuses = {{"P", "PENDING"},   {"CF", "CONFIRMED"}, {"REJ", "REJECTED"},
                           {"M", "MODIFIED"},  {"C", "CANCELLED"},  {"UC", "CANCELLED"},
                           {"A", "CANCELLED"}, {"-1", "(ALL)"},     {"p", ""},
                           {"CAN", ""}};
    for (const auto& [code, text] : statuses) {
        EXPECT_EQ(text, OrderStatusText(code)) << code;
    }
    const Rows payments = {{"P", "PENDING"}, {"e", "SUCCESS"}, {"F", "FAILED"},
                           {"E", ""},        {"S", ""},        {"ee", ""}};
    for (const auto& [code, text] : payments) {
        EXPECT_EQ(text, PaymentStatusText(code)) << code;
    }
    for (const char* final :
         {"CONFIRMED", "REJECTED", "CANCELLED", "CANCELLATION REQUEST", "EXCHANGE REJECTED",
          "MODIFICATION REJECTION", "CANCELLATION REJECTION", "USER CANCELLED",
          "EXCHANGE CANCELLED", "ADMIN CANCELLED"}) {
        EXPECT_TRUE(IsOrderFinal(final)) << final;
    }
    for (const char* open : {"PENDING", "MODIFIED", "", "Confirmed"}) {
        EXPECT_FALSE(IsOrderFinal(open)) << open;
    }
}

TEST(OrderBookDate, ReadsTheCompanionFormsAndRefusesOthers) {
    const auto plain = ParseOrderBookDate("2026-12-04 10:15:30");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain, ParseOrderBookDate("04-12-2026 10:15:30"));
    EXPECT_EQ(*plain + 250000, ParseOrderBookDate("2026-12-04T10:15:30.25"));
    EXPECT_EQ(*plain - (10 * 3600 + 15 * 60 + 30) * int64_t{1000000},
              ParseOrderBookDate("2026-12-04"));
    for (const char* bad : {"", "2026-02-30 10:00:00", "2026-12-04 24:00:00", "04-12-2026T10:15:30",
                            "2026-12-04 10:15", "2026-12-04 10:15:30."}) {
        EXPECT_FALSE(ParseOrderBookDate(bad)) << bad;
    }
}

// A row of the given field texts; the others empty.
tagIPOOrderBookRow RowOf(const std::vector<std::pair<int, std::string>>& texts) {
    std::array<std::string_view, kOrderBookFieldCount> fields{};
    for (const auto& [field, text] : texts) {
        fields[static_cast<size_t>(field)] = text;
    }
    return tagIPOOrderBookRow(fields);
}

tagIPOOrderBookRow RowWithDate(const std::string& date, int tag) {
    return RowOf({{kFieldBidDate, date},
                  {0, std::to_string(tag)},
                  {29, base::Format("%d.%d", tag % 7, tag % 3)}});
}

// The sort with keys derived once gives exactly the order of a merge sort that asks CompareRows
// at every step, for every column (empty texts in most) in both directions, although the date
// comparison is no strict weak order.
TEST(OrderBookSort, DerivedKeysGiveTheSameOrderAsTheComparison) {
    // clang-format off
    const std::vector<std::string> dates = {
        "2026-12-04 10:15:30", "2026-12-04 10:15:30.4", "2026-12-04 10:15:29.9",
        "04-12-2026 10:15:30", "not a date", "", "2026-12-03T23:59:59.999", "2026-12-05 00:00:00",
        "2026-02-30 10:00:00", "2026-12-04 10:15:31", "2026-12-04 10:15:30.6", "2025-01-01"};
    // clang-format on
    std::mt19937 random(7);
    std::vector<tagIPOOrderBookRow> store;
    for (int i = 0; i < 400; ++i) {
        store.push_back(RowWithDate(dates[random() % dates.size()], i));
    }
    // The list shows the stored rows in another order than they were stored.
    std::vector<const tagIPOOrderBookRow*> list;
    for (const auto& row : store) {
        list.push_back(&row);
    }
    std::shuffle(list.begin(), list.end(), random);
    for (bool descending : {false, true}) {
        OrderBookSortDescending = descending;
        for (int column = 0; column <= kOrderBookColumnCount; ++column) {
            std::vector<size_t> reference(list.size());
            std::iota(reference.begin(), reference.end(), size_t{0});
            base::MergeSort(reference, [&](size_t a, size_t b) {
                return CompareRows(*list[a], *list[b], column);
            });
            EXPECT_EQ(reference, SortedOrder(store, list, column))
                << "column " << column << (descending ? " descending" : " ascending");
        }
    }
    OrderBookSortDescending = false;
}

TEST(OrderBookSort, ComparesByColumnKind) {
    // Lot(Qty) 1: leading integer; Total Amount Payable: leading number; offer Name: bytes,
    // case-sensitive.
    const tagIPOOrderBookRow a = RowOf(
        {{7, "3(150)"}, {29, "99.50"}, {1, "acme"}, {kFieldBidDate, "2026-12-04 10:00:00.2"}});
    tagIPOOrderBookRow b = RowOf(
        {{7, "12(600)"}, {29, "100.25"}, {1, "Zeta"}, {kFieldBidDate, "2026-12-04 10:00:00.6"}});
    EXPECT_EQ(-1, CompareRows(a, b, 6));
    EXPECT_EQ(-1, CompareRows(a, b, 16));
    EXPECT_GT(CompareRows(a, b, 1), 0);
    EXPECT_EQ(0, CompareRows(a, b, kBidDateColumn));
    EXPECT_EQ(0, CompareRows(b, a, kBidDateColumn));  // less than half a second apart
    b = RowOf({{7, "12(600)"}, {29, "100.25"}, {1, "Zeta"}, {kFieldBidDate, "garbage"}});
    EXPECT_EQ(1, CompareRows(a, b, kBidDateColumn));
    EXPECT_EQ(1, CompareRows(b, a, kBidDateColumn));
    EXPECT_EQ(0, CompareRows(a, b, 26));
    OrderBookSortDescending = true;
    EXPECT_EQ(1, CompareRows(a, b, 6));
    OrderBookSortDescending = false;
}

}  // namespace
