#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

std::vector<std::string> Cells(const tagIPOOrderBookRow& row) {
    std::vector<std::string> cells;
    for (int column = 0; column < kOrderBookColumnCount; ++column) {
        cells.push_back(RowCellText(row, column));
    }
    return cells;
}

TEST(OrderBookRow, ShowsBidsByPositionWithHundredthsDividedAndLots) {
    FakeIPOOrderBookEntry entry;
    entry.offerType = "IPO";
    entry.offerName = "ACME";
    entry.applicationNumber = "APP77";
    entry.orderNumber = 9001;
    entry.lotSize = 50;
    entry.statusCode = "UC";
    entry.paymentStatusCode = "e";
    entry.totalAmountPayable = 1851750;
    entry.refundAmount = 12345;
    entry.allocatedQuantity = 100;
    entry.bidDate = "2026-12-04 10:15:00";
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
    EXPECT_EQ(expected, Cells(row));
    EXPECT_EQ("50", row.Fields[kFieldLotSize]);
    EXPECT_EQ("9001", row.Fields[kFieldOrderNumber]);
    EXPECT_EQ("REF1", row.Bid(1, BidField::Reference));
    EXPECT_EQ("3", row.Bid(1, BidField::Lots));
    EXPECT_EQ("150", row.Bid(1, BidField::Quantity));
    EXPECT_EQ("", RowCellText(row, 26));
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
    noBids.offerName = std::nullopt;
    noBids.statusCode = std::nullopt;
    tagIPOOrderBookRow empty;
    FillRow(empty, noBids);
    EXPECT_EQ("", empty.Fields[kFieldIssueKey]);
    EXPECT_EQ("", empty.Fields[kFieldLotSize]);
    EXPECT_EQ("", RowCellText(empty, 1));
    EXPECT_EQ("", RowCellText(empty, 18));
}

TEST(OrderStatus, TranslatesFilterStatusAndPaymentCodes) {
    const std::vector<std::pair<std::string, std::string>> filters = {
        {"(ALL)", "-1"},   {"PENDING", "P"},   {"CONFIRMED", "CF"},      {"REJECTED", "REJ"},
        {"MODIFIED", "M"}, {"CANCELLED", "C"}, {"ADMIN CANCELLED", "A"}, {"pending", ""}};
    for (const auto& [text, code] : filters) {
        EXPECT_EQ(code, StatusFilterCode(text)) << text;
    }
    EXPECT_EQ("CANCELLED", OrderStatusText("A"));
    EXPECT_EQ("CONFIRMED", OrderStatusText("CF"));
    EXPECT_EQ("", OrderStatusText("X"));
    EXPECT_EQ("SUCCESS", PaymentStatusText("e"));
    EXPECT_EQ("", PaymentStatusText("E"));
    EXPECT_EQ("", PaymentStatusText("S"));
    EXPECT_EQ("FAILED", PaymentStatusText("F"));
    EXPECT_TRUE(IsOrderFinal("CANCELLATION REQUEST"));
    EXPECT_FALSE(IsOrderFinal("MODIFIED"));
    EXPECT_FALSE(IsOrderFinal(""));
}

TEST(OrderBookDate, ReadsTheCompanionFormsAndRefusesOthers) {
    const auto plain = ParseOrderBookDate("2026-12-04 10:15:30");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain, ParseOrderBookDate("04-12-2026 10:15:30"));
    EXPECT_EQ(plain, ParseOrderBookDate("2026-12-04T10:15:30"));
    EXPECT_EQ(*plain + 250000, ParseOrderBookDate("2026-12-04T10:15:30.25"));
    EXPECT_EQ(*plain - (10 * 3600 + 15 * 60 + 30) * int64_t{1000000},
              ParseOrderBookDate("2026-12-04"));
    EXPECT_EQ(0, ParseOrderBookDate("1970-01-01 00:00:00"));
    for (const char* bad : {"", "2026-02-30 10:00:00", "2026-13-01", "2026-12-04 24:00:00",
                            "04-12-2026T10:15:30", "2026-12-04 10:15", "2026/12/04", "n/a",
                            "2026-12-04 10:15:30.", "2026-12-04 10:15:30x"}) {
        EXPECT_FALSE(ParseOrderBookDate(bad)) << bad;
    }
}

tagIPOOrderBookRow RowWithDate(const std::string& date, int tag) {
    tagIPOOrderBookRow row;
    row.Fields[kFieldBidDate] = date;
    row.Fields[0] = std::to_string(tag);
    row.Fields[29] = base::Format("%d.%d", tag % 7, tag % 3);
    return row;
}

// The sort with keys derived once gives exactly the order of a merge sort that asks CompareRows
// at every step, in both directions, although the date comparison is no strict weak order.
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
    const auto tags = [&list](const std::vector<size_t>& order) {
        std::vector<std::string> sorted;
        for (size_t index : order) {
            sorted.push_back(list[index]->Fields[0]);
        }
        return sorted;
    };
    for (bool descending : {false, true}) {
        OrderBookSortDescending = descending;
        for (int column : {kBidDateColumn, 16, 0, 30}) {
            std::vector<size_t> reference(list.size());
            for (size_t i = 0; i < list.size(); ++i) {
                reference[i] = i;
            }
            base::MergeSort(reference, [&](size_t a, size_t b) {
                return CompareRows(*list[a], *list[b], column);
            });
            EXPECT_EQ(tags(reference), tags(SortedOrder(store, list, column)))
                << "column " << column << (descending ? " descending" : " ascending");
        }
    }
    OrderBookSortDescending = false;
}

TEST(OrderBookSort, ComparesByColumnKind) {
    tagIPOOrderBookRow a;
    tagIPOOrderBookRow b;
    a.Fields[7] = "3(150)";  // Lot(Qty) 1: leading integer
    b.Fields[7] = "12(600)";
    a.Fields[29] = "99.50";  // Total Amount Payable: leading number
    b.Fields[29] = "100.25";
    a.Fields[1] = "acme";  // offer Name: bytes, case-sensitive
    b.Fields[1] = "Zeta";
    a.Fields[kFieldBidDate] = "2026-12-04 10:00:00.2";
    b.Fields[kFieldBidDate] = "2026-12-04 10:00:00.6";
    EXPECT_EQ(-1, CompareRows(a, b, 6));
    EXPECT_EQ(-1, CompareRows(a, b, 16));
    EXPECT_GT(CompareRows(a, b, 1), 0);
    EXPECT_EQ(0, CompareRows(a, b, kBidDateColumn));
    EXPECT_EQ(0, CompareRows(b, a, kBidDateColumn));  // less than half a second apart
    b.Fields[kFieldBidDate] = "garbage";
    EXPECT_EQ(1, CompareRows(a, b, kBidDateColumn));
    EXPECT_EQ(1, CompareRows(b, a, kBidDateColumn));
    EXPECT_EQ(0, CompareRows(a, b, 26));
    OrderBookSortDescending = true;
    EXPECT_EQ(1, CompareRows(a, b, 6));
    OrderBookSortDescending = false;
}

TEST(FastNumberTexts, ReadAndWriteAsTheCLibraryDoes) {
    for (const char* text : {"123.45",
                             " \t-7.5e2x",
                             "+0.1",
                             "-0",
                             ".5",
                             "5.",
                             "1e",
                             "0x1p4",
                             "-0X10",
                             "inf",
                             "-Infinity",
                             "nan",
                             "1e400",
                             "-1e-400",
                             "2.2250738585072011e-308",
                             "3(150)",
                             "",
                             ".",
                             "-",
                             "+-5",
                             "abc",
                             "0.1000000000000000055511151231257827"}) {
        const double expected = std::atof(text);
        const double actual = base::ToDouble(text);
        if (std::isnan(expected)) {
            EXPECT_TRUE(std::isnan(actual)) << text;
        } else {
            EXPECT_EQ(0, std::memcmp(&expected, &actual, sizeof expected)) << text;
        }
    }
    for (double value :
         {0.0, -0.0, 0.005, 0.015, 1.005, 123.45, -7.125, 1e15 + 0.5, 2.675, 123456789.125}) {
        EXPECT_EQ(base::Format("%.2f", value), base::FormatFixed(value, 2)) << value;
    }
    for (int64_t value : {int64_t{0}, int64_t{-1}, int64_t{INT32_MIN}, int64_t{2147483648}}) {
        EXPECT_EQ(base::Format("%lld", static_cast<long long>(value)), base::FormatInteger(value));
    }
}

}  // namespace
