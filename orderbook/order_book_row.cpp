#include "orderbook/order_book_row.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "base/text.h"
#include "bridge/ipo_service_bridge.h"
#include "orderbook/order_status.h"

namespace {

struct Column {
    const char* title;
    int field;
};

constexpr Column kColumns[kOrderBookColumnCount] = {
    {"Offer Type", 0},
    {"offer Name", 1},
    {"Application No", 2},
    {"Bid Reference/Order No", 3},
    {"Cut off Indicator 1", 5},
    {"Bid Price 1", 6},
    {"Lot(Qty) 1", 7},
    {"Amount Payable 1", 8},
    {"Cut off Indicator 2", 13},
    {"Bid Price 2", 14},
    {"Lot(Qty) 2", 15},
    {"Amount Payable 2", 16},
    {"Cut off Indicator 3", 21},
    {"Bid Price 3", 22},
    {"Lot(Qty) 3", 23},
    {"Amount Payable 3", 24},
    {"Total Amount Payable", 29},
    {"Payment Mode", 30},
    {"status", 31},
    {"last modified date and time", 32},
    {"Bid Date", 33},
    {"Allocated Qty", 34},
    {"Refund Amount", 35},
    {"Payment Status", 36},
    {"Rejection Reason", 46},
    {"Client Name", 47},
};

// Shares per lot may be 0 (or anything else the service sends): no division by zero, and the
// one quotient that overflows 32 bits is computed in 64.
int64_t LotsOf(int32_t quantity, int32_t lotSize) {
    return lotSize == 0 ? 0 : static_cast<int64_t>(quantity) / lotSize;
}

}  // namespace

// Writes a row's texts field after field into one reused buffer, then hands the row one block
// of exactly their size. Numbers are written with std::to_chars, which gives the texts of "%d"
// and "%.2f" (both exact, rounding the binary value to nearest) without a format string.
class RowWriter {
  public:
    RowWriter() : out_(buffer()) { out_.clear(); }

    void Text(std::string_view text) {
        out_.append(text);
        End();
    }
    void Text(const char* text) { Text(std::string_view(base::OrEmpty(text))); }
    void Integer(int64_t value) {
        char digits[24];
        Text(std::string_view(digits, std::to_chars(digits, digits + sizeof digits, value).ptr));
    }
    // "%.2f". Below 1e11 the product value * 100 is within 0.002 of the exact one, so when it
    // lies more than 0.49 from a tie, its nearest whole number is the exact product's, which is
    // what printf rounds to: the text is that number's digits with a point before the last two.
    // Near a tie (and for large values) the exact conversion decides.
    void Fixed2(double value) {
        constexpr double kLimit = 1e11;
        if (value > -kLimit && value < kLimit) {
            const double cents = value * 100;
            const double nearest = std::round(cents);
            if (std::fabs(cents - nearest) < 0.49) {
                Cents(static_cast<int64_t>(nearest), std::signbit(value));
                return;
            }
        }
        // Fixed notation of the largest double has 309 digits before the point.
        char digits[400];
        const auto result =
            std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 2);
        Text(std::string_view(digits, result.ptr));
    }
    // Money the service sends in hundredths, shown in currency units. For a whole number of
    // hundredths below 1e13 the quotient lies within 2e-5 of the exact one, far from any rounding
    // boundary, so its "%.2f" text is the number's digits with a point before the last two.
    void Hundredths(double value) {
        if (Integral(value)) {
            Cents(static_cast<int64_t>(value), std::signbit(value));
        } else {
            Fixed2(value / 100.0);
        }
    }
    // "lots(quantity)".
    void LotsAndQuantity(int64_t lots, int32_t quantity) {
        char digits[48];
        char* end = std::to_chars(digits, digits + 24, lots).ptr;
        *end++ = '(';
        end = std::to_chars(end, digits + sizeof digits - 1, quantity).ptr;
        *end++ = ')';
        Text(std::string_view(digits, end));
    }
    void Empty(int count) {
        while (count-- > 0) {
            End();
        }
    }

    void Finish(tagIPOOrderBookRow& row, RowTextStore* store) {
        const std::string& texts = out_;
        char* copy = nullptr;
        if (store) {
            copy = store->Allocate(texts.size());
            row.ownTexts_.reset();
        } else {
            row.ownTexts_ = std::make_unique_for_overwrite<char[]>(texts.size());
            copy = row.ownTexts_.get();
        }
        std::memcpy(copy, texts.data(), texts.size());
        row.texts_ = copy;
        row.ends_ = ends_;
    }

  private:
    // A whole number of hundredths below 1e13 (-0 too: it prints as "-0.00").
    static bool Integral(double value) {
        constexpr double kLimit = 1e13;
        return value > -kLimit && value < kLimit && value == std::trunc(value);
    }
    // Hundredths as "[-]units.hh".
    void Cents(int64_t cents, bool negative) {
        char digits[32];
        char* end = digits;
        if (negative) {
            *end++ = '-';
        }
        const uint64_t magnitude = static_cast<uint64_t>(cents < 0 ? -cents : cents);
        end = std::to_chars(end, digits + 24, magnitude / 100).ptr;
        *end++ = '.';
        *end++ = static_cast<char>('0' + magnitude / 10 % 10);
        *end++ = static_cast<char>('0' + magnitude % 10);
        Text(std::string_view(digits, end));
    }
    // One buffer per thread, kept between rows: filling a row allocates only its block. It is
    // looked up once per row: inside a loaded library every thread-local lookup is a call.
    static std::string& buffer() {
        thread_local std::string texts;
        return texts;
    }
    void End() { ends_[next_++] = static_cast<uint32_t>(out_.size()); }

    std::string& out_;
    std::array<uint32_t, kOrderBookFieldCount> ends_{};
    size_t next_ = 0;
};

tagIPOOrderBookRow::tagIPOOrderBookRow(std::span<const std::string_view> fields) {
    RowWriter writer;
    for (size_t field = 0; field < kOrderBookFieldCount; ++field) {
        writer.Text(field < fields.size() ? fields[field] : std::string_view());
    }
    writer.Finish(*this, nullptr);
}

char* RowTextStore::Allocate(size_t size) {
    if (current_ < blocks_.size() && used_ + size <= kBlockSize) {
        char* start = blocks_[current_].get() + used_;
        used_ += size;
        return start;
    }
    // A text run longer than a block gets a block of its own, released by Clear.
    if (size > kBlockSize) {
        return large_.emplace_back(std::make_unique_for_overwrite<char[]>(size)).get();
    }
    if (current_ < blocks_.size()) {
        ++current_;
    }
    if (current_ == blocks_.size()) {
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlockSize));
    }
    used_ = size;
    return blocks_[current_].get();
}

void RowTextStore::Clear() {
    large_.clear();
    current_ = 0;
    used_ = 0;
}

void FillRow(tagIPOOrderBookRow& row, IPOOrderBookEntry& entry, RowTextStore* store) {
    RowWriter w;
    w.Text(entry.OfferType());
    w.Text(entry.OfferName());
    w.Text(entry.ApplicationNumber());
    w.Integer(entry.OrderNumber());
    w.Text(entry.FurtherText());

    // A bid shows at its position (0, 1, 2); of two bids at one position the later one shows.
    std::array<IPOOrderBid*, 3> bidAt{};
    const PtrList* bids = entry.Bids();
    const bool hasBids = bids && bids->Count > 0;
    const int32_t lotSize = hasBids ? entry.LotSize() : 0;
    ForEachRecord<IPOOrderBid>(bids, [&](IPOOrderBid* bid) {
        const int32_t position = bid->Position();
        if (position >= 0 && position <= 2) {
            bidAt[static_cast<size_t>(position)] = bid;
        }
    });
    for (IPOOrderBid* bid : bidAt) {
        if (!bid) {
            w.Empty(kFieldsPerBid);
            continue;
        }
        const int32_t quantity = bid->Quantity();
        const int64_t lots = LotsOf(quantity, lotSize);
        w.Integer(bid->CutOff());
        w.Hundredths(bid->Price());
        w.LotsAndQuantity(lots, quantity);
        w.Hundredths(bid->AmountPayable());
        w.Integer(bid->FurtherNumber());
        w.Text(bid->BidReference());
        w.Integer(lots);
        w.Integer(quantity);
    }

    w.Hundredths(entry.TotalAmountPayable());  // kFieldTotalAmount
    w.Text(entry.PaymentMode());
    w.Text(OrderStatusText(base::OrEmpty(entry.StatusCode())));
    w.Text(entry.LastModified());
    w.Text(entry.BidDate());
    w.Integer(entry.AllocatedQuantity());
    w.Fixed2(entry.RefundAmount());
    w.Text(PaymentStatusText(base::OrEmpty(entry.PaymentStatusCode())));
    w.Text(entry.CategoryCode());
    w.Text(entry.UPIId());
    w.Text(entry.BankName());
    w.Text(entry.BankAccount());  // kFieldBankAccount
    if (hasBids) {
        w.Integer(lotSize);
        w.Text(entry.IssueKey());
    } else {
        w.Empty(2);
    }
    w.Text(entry.UserReference1());
    w.Text(entry.UserReference2());
    if (hasBids) {
        w.Integer(entry.OrderNumber());  // kFieldOrderNumber
    } else {
        w.Empty(1);
    }
    w.Text(entry.RejectionReason());
    w.Text(entry.ClientName());
    w.Finish(row, store);
}

void PrefetchRow(const tagIPOOrderBookRow& row) {
    constexpr size_t kCacheLine = 64;
    const char* bytes = reinterpret_cast<const char*>(&row);
    for (size_t offset = 0; offset < sizeof row; offset += kCacheLine) {
        __builtin_prefetch(bytes + offset);
    }
    const std::string_view texts = row.Field(kOrderBookFieldCount - 1);
    for (const char* text = row.Texts(); text < texts.data() + texts.size(); text += kCacheLine) {
        __builtin_prefetch(text);
    }
}

void PrefetchRecord(const IPOOrderBookEntry* entry) {
    constexpr size_t kCacheLine = 64;
    constexpr size_t kRecordBytes = 1024;
    const char* bytes = reinterpret_cast<const char*>(entry);
    for (size_t offset = 0; offset < kRecordBytes; offset += kCacheLine) {
        __builtin_prefetch(bytes + offset);
    }
}

int ColumnField(int column) {
    return column >= 0 && column < kOrderBookColumnCount ? kColumns[column].field : -1;
}

std::string_view RowCellText(const tagIPOOrderBookRow& row, int column) {
    const int field = ColumnField(column);
    return field < 0 ? std::string_view() : row.Field(field);
}

const char* ColumnTitle(int column) {
    return column >= 0 && column < kOrderBookColumnCount ? kColumns[column].title : "";
}
