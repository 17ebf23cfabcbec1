#include "bid/ipo_order_entry_layout.h"

namespace {

using fw::ControlKind;

constexpr uint32_t kEditStyle = fw::kStyleBorder | fw::kStyleAutoHScroll | fw::kStyleTabStop;
constexpr uint32_t kListStyle = fw::kStyleSorted | fw::kStyleTabStop;

// Labels and group boxes have ids of their own from 1401 on. Rows sit 16 units apart; the columns
// are cut-off box, lot, quantity, price band, price.
constexpr fw::ControlEntry kBidControls[] = {
    {1401, ControlKind::Static, "IPO Name", 10, 9, 36, 8, 0},
    {kBidIPOName, ControlKind::Edit, "", 52, 7, 110, 12, kEditStyle | fw::kStyleDisabled},
    {1402, ControlKind::Static, "Client Id", 176, 9, 32, 8, 0},
    {kBidClientId, ControlKind::Edit, "", 214, 7, 116, 12, kEditStyle},

    {1403, ControlKind::GroupBox, "IPO Details", 4, 22, 329, 88, 0},
    {1404, ControlKind::Static, "Cut Off Price", 36, 32, 44, 8, fw::kStyleCentered},
    {1405, ControlKind::Static, "Lot", 84, 32, 46, 8, fw::kStyleCentered},
    {1406, ControlKind::Static, "Quantity", 134, 32, 50, 8, fw::kStyleCentered},
    {1407, ControlKind::Static, "Min-Max Price", 188, 32, 70, 8, fw::kStyleCentered},
    {1408, ControlKind::Static, "Bid Price", 262, 32, 64, 8, fw::kStyleCentered},

    {1409, ControlKind::Static, "Bid 1", 10, 45, 24, 8, 0},
    {kBidCutOff[0], ControlKind::CheckBox, "", 54, 44, 10, 12, fw::kStyleTabStop},
    {kBidLot[0], ControlKind::Edit, "", 84, 43, 46, 12, kEditStyle},
    {kBidQuantity[0], ControlKind::Edit, "", 134, 43, 50, 12, kEditStyle | fw::kStyleDisabled},
    {kBidPriceBand[0], ControlKind::Edit, "", 188, 43, 70, 12, kEditStyle | fw::kStyleDisabled},
    {kBidPrice[0], ControlKind::Edit, "", 262, 43, 64, 12, kEditStyle},

    {1410, ControlKind::Static, "Bid 2", 10, 61, 24, 8, 0},
    {kBidCutOff[1], ControlKind::CheckBox, "", 54, 60, 10, 12, fw::kStyleTabStop},
    {kBidLot[1], ControlKind::Edit, "", 84, 59, 46, 12, kEditStyle},
    {kBidQuantity[1], ControlKind::Edit, "", 134, 59, 50, 12, kEditStyle | fw::kStyleDisabled},
    {kBidPriceBand[1], ControlKind::Edit, "", 188, 59, 70, 12, kEditStyle | fw::kStyleDisabled},
    {kBidPrice[1], ControlKind::Edit, "", 262, 59, 64, 12, kEditStyle},

    {1411, ControlKind::Static, "Bid 3", 10, 77, 24, 8, 0},
    {kBidCutOff[2], ControlKind::CheckBox, "", 54, 76, 10, 12, fw::kStyleTabStop},
    {kBidLot[2], ControlKind::Edit, "", 84, 75, 46, 12, kEditStyle},
    {kBidQuantity[2], ControlKind::Edit, "", 134, 75, 50, 12, kEditStyle | fw::kStyleDisabled},
    {kBidPriceBand[2], ControlKind::Edit, "", 188, 75, 70, 12, kEditStyle | fw::kStyleDisabled},
    {kBidPrice[2], ControlKind::Edit, "", 262, 75, 64, 12, kEditStyle},

    {1412, ControlKind::Static, "Investor Category", 10, 95, 60, 8, 0},
    {kBidCategory, ControlKind::ComboDropList, "", 74, 93, 110, 80, kListStyle},
    {1413, ControlKind::Static, "Amount Payable", 196, 95, 56, 8, 0},
    {kBidAmountPayable, ControlKind::Edit, "", 262, 93, 64, 12, kEditStyle | fw::kStyleDisabled},

    {1414, ControlKind::GroupBox, "Payment Details", 4, 112, 329, 48, 0},
    {1415, ControlKind::Static, "Payment Mode", 10, 124, 50, 8, 0},
    {kBidUPI, ControlKind::RadioButton, "UPI", 74, 122, 30, 12,
     fw::kStyleGroup | fw::kStyleTabStop},
    {kBidASBA, ControlKind::RadioButton, "ASBA", 108, 122, 34, 12, 0},
    {1416, ControlKind::Static, "UPI Id", 176, 124, 30, 8, 0},
    {kBidUPIId, ControlKind::Edit, "", 214, 122, 112, 12, kEditStyle},
    {1417, ControlKind::Static, "Bank Name", 10, 142, 50, 8, 0},
    {kBidBankName, ControlKind::ComboDropList, "", 74, 138, 96, 80,
     kListStyle | fw::kStyleDisabled},
    {1418, ControlKind::Static, "Bank A/C No.", 176, 142, 44, 8, 0},
    {kBidBankAccount, ControlKind::ComboDropList, "", 222, 138, 104, 80,
     kListStyle | fw::kStyleDisabled},

    {kBidTerms, ControlKind::CheckBox, "I hereby agree with all the", 10, 165, 98, 12,
     fw::kStyleTabStop},
    {kBidTermsLink, ControlKind::LinkButton, "Terms and Conditions", 108, 165, 96, 12, 0},
    {kBidPlaceBid, ControlKind::Button, "Place Bid", 206, 164, 58, 14, fw::kStyleTabStop},
    {kBidCancel, ControlKind::Button, "Cancel", 270, 164, 58, 14, fw::kStyleTabStop},
};

constexpr fw::DialogTemplate kBidLayout = {
    10530, fw::FormKind::PopupDialog, "Bid Order-IPO", "MS Shell Dlg", 8, 337, 185, kBidControls,
};

constexpr fw::ControlEntry kTermsControls[] = {
    {kTermsText, ControlKind::Static, "", 6, 5, 324, 74, 0},
};

constexpr fw::DialogTemplate kTermsLayout = {
    10531,          fw::FormKind::ModalDialog, "Terms & Conditions", "MS Shell Dlg", 8, 334, 83,
    kTermsControls,
};

}  // namespace

const fw::DialogTemplate& BidOrderEntryLayout() {
    return kBidLayout;
}
const fw::DialogTemplate& TermsAndConditionLayout() {
    return kTermsLayout;
}
