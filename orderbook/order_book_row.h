// One row of the order book list: the preformatted texts of one order, and the columns that
// show them.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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

// Holds the texts of many rows in large blocks that never move: filling 100,000 rows then costs
// a few allocations instead of one per row. Clear keeps the blocks for the next fill.
class RowTextStore {
  public:
    char* Allocate(size_t size);
    void Clear();

  private:
    static constexpr size_t kBlockSize = size_t{1} << 20;
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::vector<std::unique_ptr<char[]>> large_;
    size_t current_ = 0;  // the block being filled
    size_t used_ = 0;     // bytes used in it
};

// The texts of one row in one run of bytes: field f is texts_[end of f - 1, end of f). The run
// lies in a RowTextStore, or in the row's own block when it was filled without one.
class tagIPOOrderBookRow {
  public:
    // Every field empty.
    tagIPOOrderBookRow() = default;
    // A row showing the given texts, field by field (missing fields are empty).
    explicit tagIPOOrderBookRow(std::span<const std::string_view> fields);

    std::string_view Field(int field) const {
        const uint32_t begin = field == 0 ? 0 : ends_[static_cast<size_t>(field - 1)];
        return {texts_ + begin, ends_[static_cast<size_t>(field)] - begin};
    }
    // A field of bid `bid` (0, 1, 2).
    std::string_view Bid(int bid, BidField field) const {
        return Field(kFieldBidGroup + kFieldsPerBid * bid + static_cast<int>(field));
    }
    // The start of the texts, for prefetching.
    const char* Texts() const { return texts_; }

  private:
    friend class RowWriter;
    const char* texts_ = nullptr;
    std::unique_ptr<char[]> ownTexts_;
    std::array<uint32_t, kOrderBookFieldCount> ends_{};
};

// Asks the processor to bring a row and its texts into its cache ahead of a sweep in list order.
void PrefetchRow(const tagIPOOrderBookRow& row);

// Asks the processor to bring an order book entry's record into its cache: the records the
// companion hands over are a few hundred bytes each, and their first kilobyte is fetched.
void PrefetchRecord(const IPOOrderBookEntry* entry);

// Fills a row from an order book entry; null texts read as empty. The texts go to `store` when
// given (which must outlive the row), else to a block of the row's own.
void FillRow(tagIPOOrderBookRow& row, IPOOrderBookEntry& entry, RowTextStore* store = nullptr);

// The row field a list column shows, or -1 for a column beyond the last.
int ColumnField(int column);

// The text a row shows in a column; empty for a column beyond the last.
std::string_view RowCellText(const tagIPOOrderBookRow& row, int column);

// The title of a list column, in column order.
const char* ColumnTitle(int column);
