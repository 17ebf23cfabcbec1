// One row of the order book list: the preformatted texts of one order, and the columns that
// show them.
#pragma once

#include <array>
#include <string>
#include <utility>

class IPOOrderBookEntry;

// Row fields that other code reads by meaning.
enum OrderBookField {
    kFieldApplicationNumber = 2,
    kFieldOrderNumberText = 3,
    kFieldBidGroup = 5,  // first field of bid 1; bid k starts 8 * (k - 1) later
    kFieldsPerBid = 8,
    kFieldTotalAmount = 29,
    kFieldPaymentMode = 30,
    kFieldStatus = 31,
    kFieldLastModified = 32,
    kFieldBidDate = 33,
    kFieldCategoryCode = 37,
    kFieldUPIId = 38,
    kFieldBankName = 39,
    kFieldBankAccount = 40,
    kFieldLotSize = 41,
    kFieldIssueKey = 42,
    kFieldUserReference1 = 43,
    kFieldUserReference2 = 44,
    kFieldOrderNumber = 45,
    kOrderBookFieldCount = 48,
};

// The fields of one bid, in their order inside the bid's group.
enum class BidField {
    CutOff,
    Price,
    LotsAndQuantity,
    AmountPayable,
    FurtherNumber,
    Reference,
    Lots,
    Quantity
};

constexpr int kOrderBookColumnCount = 26;
constexpr int kBidDateColumn = 20;

struct tagIPOOrderBookRow {
    // Provided, so that a row made in place is not first zero-filled: every field starts empty
    // through its own constructor.
    tagIPOOrderBookRow() {}

    std::array<std::string, kOrderBookFieldCount> Fields;

    // A field of bid `bid` (0, 1, 2).
    const std::string& Bid(int bid, BidField field) const {
        return Fields[static_cast<size_t>(kFieldBidGroup + kFieldsPerBid * bid +
                                          static_cast<int>(field))];
    }
    std::string& Bid(int bid, BidField field) {
        return const_cast<std::string&>(std::as_const(*this).Bid(bid, field));
    }
};

// Asks the processor to bring a row into its cache ahead of a sweep in list order.
void PrefetchRow(const tagIPOOrderBookRow& row);

// Fills a row from an order book entry; null texts read as empty.
void FillRow(tagIPOOrderBookRow& row, IPOOrderBookEntry& entry);

// The row field a list column shows, or -1 for a column beyond the last.
int ColumnField(int column);

// The text a row shows in a column; empty for a column beyond the last.
const std::string& RowCellText(const tagIPOOrderBookRow& row, int column);

// The title of a list column, in column order.
const char* ColumnTitle(int column);
