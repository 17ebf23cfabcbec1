// The bid dialog's checks on leaving a field and on "Place Bid", the order section of the
// request, and the messages of the service's answer.
#include "base/text.h"
#include "bid/ipo_order_entry.h"
#include "bid/ipo_order_entry_layout.h"
#include "bid/ipo_order_entry_state.h"
#include "bridge/ipo_service_bridge.h"
#include "bridge/party.h"
#include "framework/backend.h"
#include "plugin/field_refusal.h"

namespace {

bool Fail(fw::Form& form, const char* message, int focusId = 0) {
    fw::MessageBox(message);
    if (focusId != 0) {
        form.SetFocus(focusId);
    }
    return false;
}

}  // namespace

// Leaving the lot field of row 2 or 3: earlier rows are filled first.
bool CIPOOrderEntry::CheckRowOrder(int row) {
    State& s = *state_;
    fw::Form& f = *s.form;
    if (row == 0) {
        return true;
    }
    for (int r = 0; r <= row; ++r) {
        s.rows[r].lotText = f.GetText(kBidLot[r]);
    }
    const bool lot1 = !s.rows[0].lotText.empty();
    const bool lot2 = !s.rows[1].lotText.empty();
    const char* message = nullptr;
    if (row == 1) {
        if (!lot1 && lot2) {
            message = "Kindly enter the Bid 1 details and then Enter Bid 2 Details";
        }
    } else if (!s.rows[2].lotText.empty()) {
        if (!lot1 && !lot2) {
            message = "Kindly enter the Bid 1 & Bid 2 details and then Enter Bid 3 Details";
        } else if (!lot1) {
            message = "Kindly enter the Bid 1 details and then Enter Bid 3 Details";
        } else if (!lot2) {
            message = "Kindly enter the Bid 2 details and then Enter Bid 3 Details";
        }
    }
    if (!message) {
        return true;
    }
    BlankRow(row);
    fw::MessageBox(message);
    return false;
}

void CIPOOrderEntry::CheckBidPrice(int row) {
    static const char* const kOutOfBand[3] = {
        "Bid Price1 should be in the range on Min-Max Price",
        "Bid Price2 should be in the range on Min-Max Price",
        "Bid Price3 should be in the range on Min-Max Price",
    };
    State& s = *state_;
    fw::Form& f = *s.form;
    BidRow& r = s.rows[row];
    r.priceText = f.GetText(kBidPrice[row]);
    r.lotText = f.GetText(kBidLot[row]);
    if (!r.priceText.empty() && !r.lotText.empty()) {
        const double price = base::ToDouble(r.priceText);
        if (price < s.minimumPrice || price > s.maximumPrice) {
            fw::MessageBox(kOutOfBand[row]);
            return;
        }
    }
    RecalcAmountPayable();
}

void CIPOOrderEntry::PlaceBid() {
    if (!CheckBeforePlacing()) {
        return;
    }
    IPOServiceRequest request{};
    if (!FillOrder(request)) {
        return;
    }
    Party party;
    if (!ChooseParty(state_->clientCode, state_->clientId, party)) {
        return;
    }
    static constexpr uint16_t kCode = kRequestPlaceOrder;
    if (IPOResultList* list =
            RequestIPOPlaceOrder(GetServiceBridge(), &kCode, party.code, party.id, request)) {
        ShowOrderResponse(*list);
    }
}

// The checks of "Place Bid", in their fixed order; the first failure ends the placing.
bool CIPOOrderEntry::CheckBeforePlacing() {
    static const char* const kNoPrice[3] = {"Kindly enter Bid Price1 Value",
                                            "Kindly enter Bid Price2 Value",
                                            "Kindly enter Bid Price3 Value"};
    static const char* const kNoLot[3] = {"Kindly enter Lot Size1 Value",
                                          "Kindly enter Lot Size2 Value",
                                          "Kindly enter Lot Size3 Value"};
    State& s = *state_;
    fw::Form& f = *s.form;

    if (f.GetText(kBidClientId).empty()) {
        // The box takes the focus from the field it points at: that must not start a lookup.
        s.lookupSuppressed = true;
        f.SetFocus(kBidClientId);
        fw::MessageBox("Client Id can not be blank.", fw::MessageIcon::Error);
        f.SetFocus(kBidClientId);
        s.lookupSuppressed = false;
        return false;
    }

    for (int row = 0; row < 3; ++row) {
        s.rows[row].lotText = f.GetText(kBidLot[row]);
    }
    BidRow* rows = s.rows;
    if (rows[0].lotText.empty() && rows[1].lotText.empty() && rows[2].lotText.empty()) {
        return Fail(f, "Kindly place atleast one Bid Order");
    }

    for (int row = 0; row < 3; ++row) {
        BidRow& r = rows[row];
        r.cutOff = f.GetCheck(kBidCutOff[row]);
        r.priceText = f.GetText(kBidPrice[row]);
        r.lotText = f.GetText(kBidLot[row]);
        if (!r.lotText.empty() && r.priceText.empty() && !r.cutOff) {
            return Fail(f, kNoPrice[row], kBidPrice[row]);
        }
        if (!r.priceText.empty() && r.lotText.empty()) {
            return Fail(f, kNoLot[row], kBidLot[row]);
        }
    }

    s.upiId = f.GetText(kBidUPIId);
    if (s.paymentMode == PaymentMode::UPI && s.upiId.empty()) {
        return Fail(f, "Kindly enter UPI Id", kBidUPIId);
    }

    const bool lot1 = !rows[0].lotText.empty();
    const bool lot2 = !rows[1].lotText.empty();
    const bool lot3 = !rows[2].lotText.empty();
    if (!lot1 && lot2) {
        return Fail(f, "Kindly enter the Bid 1 details");
    }
    if (!lot1 && !lot2 && lot3) {
        return Fail(f, "Kindly enter the Bid 1 & Bid 2 details");
    }
    if (!lot2 && lot3) {
        return Fail(f, "Kindly enter the Bid 2 details");
    }

    s.termsAccepted = f.GetCheck(kBidTerms);
    if (!s.termsAccepted) {
        return Fail(f, "Kindly accept Terms and Conditions");
    }

    // Whole units only: 100.50 and 100.90 count as equal.
    const std::string& price2 = rows[1].priceText;
    const std::string& price3 = rows[2].priceText;
    if (!price2.empty() && base::ToLong(rows[0].priceText) > base::ToLong(price2)) {
        return Fail(f, "Bid2 Price should be greater than Bid1 Price");
    }
    if (!price3.empty() && base::ToLong(price2) > base::ToLong(price3)) {
        return Fail(f, "Bid3 Price should be greater than Bid2 Price");
    }
    return true;
}

bool CIPOOrderEntry::FillOrder(IPOServiceRequest& request) {
    State& s = *state_;
    fw::Form& f = *s.form;
    s.categoryCode = base::ToUpper(s.categoryCode);
    base::CopyField(request.OrderFlag, s.orderFlag);  // "N" or "M"
    if (!CopyFieldOrRefuse(request.IPOName, s.ipoName, "IPO Name") ||
        !CopyFieldOrRefuse(request.IssueTag, s.issueTag, "Issue Tag") ||
        !CopyFieldOrRefuse(request.CategoryCode, s.categoryCode, "Category Code") ||
        !CopyFieldOrRefuse(request.UserReference1, s.userReference1, "User Reference 1") ||
        !CopyFieldOrRefuse(request.UserReference2, s.userReference2, "User Reference 2")) {
        return false;
    }

    if (s.paymentMode == PaymentMode::UPI) {
        s.upiId = f.GetText(kBidUPIId);
        base::CopyField(request.PaymentMode, "UPI");
        if (!CopyFieldOrRefuse(request.UPIId, s.upiId, "UPI Id")) {
            return false;
        }
    } else {
        s.bankName = f.GetText(kBidBankName);
        s.bankAccount = f.GetText(kBidBankAccount);
        base::CopyField(request.PaymentMode, "ASBA");
        if (!CopyFieldOrRefuse(request.BankName, s.bankName, "Bank Name") ||
            !CopyFieldOrRefuse(request.BankAccount, s.bankAccount, "Bank A/C No.")) {
            return false;
        }
    }

    request.OrderNumber = s.orderNumber;
    if (!CopyFieldOrRefuse(request.ApplicationNumber, s.applicationNumber, "Application Number")) {
        return false;
    }

    for (int row = 0; row < 3; ++row) {
        BidRow& r = s.rows[row];
        IPOBidSlot& slot = request.Bids[row];
        r.quantityValue = f.GetText(kBidQuantity[row]);
        if (r.quantityValue.empty()) {
            continue;  // a row without a quantity is sent blank
        }
        if (r.bidActionCode.empty()) {
            r.bidActionCode = "N";
        }
        const std::string reference = r.bidActionCode == "N" ? "0" : r.bidReference;
        base::CopyField(slot.BidActionCode, r.bidActionCode);  // "N" or "M"
        if (!CopyFieldOrRefuse(slot.BidReference, reference, "Bid Reference")) {
            return false;
        }
        slot.Quantity = base::ToLong(r.quantityValue);
        slot.CutOff = r.cutOff ? 1 : 0;
        slot.Price = base::ToDouble(r.priceText);
    }
    request.BidCount = 3;
    return true;
}

void CIPOOrderEntry::ShowOrderResponse(const IPOResultList& list) {
    const std::string& ipoName = state_->ipoName;
    for (OrderResponseRecord* response : TakeResults<OrderResponseRecord>(&list)) {
        const uint8_t status = response->Status();
        const std::string message = base::OrEmpty(response->Message());
        if (status == 1) {
            fw::MessageBox(base::Format("Order Placed Successfully for %s", ipoName.c_str()));
            return;
        }
        if (status == 0 && message != "null" && !message.empty()) {
            fw::MessageBox(base::Format("%s for %s", message.c_str(), ipoName.c_str()));
            return;
        }
        std::string failure;
        ForEachRecord<OrderResponseDetail>(response->Details(), [&](OrderResponseDetail* detail) {
            if (failure.empty() && detail->Status() == 0) {
                failure = base::OrEmpty(detail->Text());
            }
        });
        if (!failure.empty()) {
            fw::MessageBox(failure);
            return;
        }
    }
}
