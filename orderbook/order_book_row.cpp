#include "orderbook/order_book_row.h"

#include <cstdint>

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

// Money the service sends in hundredths, shown in currency units.
std::string Hundredths(double value) {
    return base::FormatFixed(value / 100.0, 2);
}

// Shares per lot may be 0 (or anything else the service sends): no division by zero, and the
// one quotient that overflows 32 bits is computed in 64.
int64_t LotsOf(int32_t quantity, int32_t lotSize) {
    return lotSize == 0 ? 0 : static_cast<int64_t>(quantity) / lotSize;
}

void FillBid(tagIPOOrderBookRow& row, IPOOrderBid& bid, int32_t lotSize) {
    const int32_t position = bid.Position();
    if (position < 0 || position > 2) {
        return;
    }
    const int32_t quantity = bid.Quantity();
    const std::string lots = base::FormatInteger(LotsOf(quantity, lotSize));
    const std::string quantityText = base::FormatInteger(quantity);
    row.Bid(position, BidField::CutOff) = base::FormatInteger(bid.CutOff());
    row.Bid(position, BidField::Price) = Hundredths(bid.Price());
    row.Bid(position, BidField::LotsAndQuantity) = lots + "(" + quantityText + ")";
    row.Bid(position, BidField::AmountPayable) = Hundredths(bid.AmountPayable());
    row.Bid(position, BidField::FurtherNumber) = base::FormatInteger(bid.FurtherNumber());
    row.Bid(position, BidField::Reference) = base::OrEmpty(bid.BidReference());
    row.Bid(position, BidField::Lots) = lots;
    row.Bid(position, BidField::Quantity) = quantityText;
}

}  // namespace

void FillRow(tagIPOOrderBookRow& row, IPOOrderBookEntry& entry) {
    auto& f = row.Fields;
    f[0] = base::OrEmpty(entry.OfferType());
    f[1] = base::OrEmpty(entry.OfferName());
    f[2] = base::OrEmpty(entry.ApplicationNumber());
    f[3] = base::FormatInteger(entry.OrderNumber());
    f[4] = base::OrEmpty(entry.FurtherText());

    const PtrList* bids = entry.Bids();
    if (bids && bids->Count > 0) {
        const int32_t lotSize = entry.LotSize();
        f[kFieldLotSize] = base::FormatInteger(lotSize);
        f[kFieldIssueKey] = base::OrEmpty(entry.IssueKey());
        f[kFieldOrderNumber] = base::FormatInteger(entry.OrderNumber());
        ForEachRecord<IPOOrderBid>(bids, [&](IPOOrderBid* bid) { FillBid(row, *bid, lotSize); });
    }

    f[kFieldTotalAmount] = Hundredths(entry.TotalAmountPayable());
    f[kFieldPaymentMode] = base::OrEmpty(entry.PaymentMode());
    f[kFieldStatus] = OrderStatusText(base::OrEmpty(entry.StatusCode()));
    f[kFieldLastModified] = base::OrEmpty(entry.LastModified());
    f[kFieldBidDate] = base::OrEmpty(entry.BidDate());
    f[34] = base::FormatInteger(entry.AllocatedQuantity());
    f[35] = base::FormatFixed(entry.RefundAmount(), 2);
    f[36] = PaymentStatusText(base::OrEmpty(entry.PaymentStatusCode()));
    f[kFieldCategoryCode] = base::OrEmpty(entry.CategoryCode());
    f[kFieldUPIId] = base::OrEmpty(entry.UPIId());
    f[kFieldBankName] = base::OrEmpty(entry.BankName());
    f[kFieldBankAccount] = base::OrEmpty(entry.BankAccount());
    f[kFieldUserReference1] = base::OrEmpty(entry.UserReference1());
    f[kFieldUserReference2] = base::OrEmpty(entry.UserReference2());
    f[46] = base::OrEmpty(entry.RejectionReason());
    f[47] = base::OrEmpty(entry.ClientName());
}

void PrefetchRow(const tagIPOOrderBookRow& row) {
    constexpr size_t kCacheLine = 64;
    const char* bytes = reinterpret_cast<const char*>(&row);
    for (size_t offset = 0; offset < sizeof row; offset += kCacheLine) {
        __builtin_prefetch(bytes + offset);
    }
}

int ColumnField(int column) {
    return column >= 0 && column < kOrderBookColumnCount ? kColumns[column].field : -1;
}

const std::string& RowCellText(const tagIPOOrderBookRow& row, int column) {
    static const std::string kEmpty;
    const int field = ColumnField(column);
    return field < 0 ? kEmpty : row.Fields[static_cast<size_t>(field)];
}

const char* ColumnTitle(int column) {
    return column >= 0 && column < kOrderBookColumnCount ? kColumns[column].title : "";
}
