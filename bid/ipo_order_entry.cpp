#include "bid/ipo_order_entry.h"

#include <algorithm>

#include "base/text.h"
#include "bid/ipo_order_entry_layout.h"
#include "bid/ipo_order_entry_state.h"
#include "bid/terms_and_condition.h"
#include "bridge/ipo_service_bridge.h"
#include "bridge/party.h"
#include "framework/backend.h"
#include "plugin/field_refusal.h"
#include "plugin/host_callbacks.h"
#include "plugin/login_context.h"
#include "plugin/user_type.h"

namespace {

constexpr fw::Point kDialogPosition = {0, 420};
constexpr fw::Colour kLinkBlue{0, 0, 255};
constexpr int kClientIdLimit = sizeof(ClientLookupMessage::ClientIdTyped) - 1;

// 32-bit product as the service's quantity field holds it: computed in 64 bits, then wrapped
// as two's complement instead of overflowing.
int32_t WrappingProduct(int32_t a, int32_t b) {
    const int64_t product = static_cast<int64_t>(a) * static_cast<int64_t>(b);
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(product)));
}

tagIPOCategoryWise FromCategoryRecord(CategoryRecord& record) {
    tagIPOCategoryWise value;
    value.Code = base::ToUpper(base::OrEmpty(record.Code()));
    value.DisplayName = base::OrEmpty(record.DisplayName());
    value.MinimumPrice = record.MinimumPrice();
    value.MaximumPrice = record.MaximumPrice();
    value.Text5 = base::OrEmpty(record.Text5());
    value.Text6 = base::OrEmpty(record.Text6());
    value.Integer7 = record.Integer7();
    value.Number8 = record.Number8();
    value.Number9 = record.Number9();
    value.Integer10 = record.Integer10();
    value.Number11 = record.Number11();
    value.Integer12 = record.Integer12();
    return value;
}

}  // namespace

CIPOOrderEntry::CIPOOrderEntry() : state_(std::make_unique<State>()) {
    // OnInitDialog runs inside CreateForm.
    state_->ownedForm = fw::GetBackend()->CreateForm(BidOrderEntryLayout(), *this);
    state_->form = state_->ownedForm.get();
}

CIPOOrderEntry::~CIPOOrderEntry() {
    // The window goes first, while everything its events could reach is still whole.
    state_->ownedForm.reset();
}

fw::Form& CIPOOrderEntry::form() const {
    return *state_->form;
}

void CIPOOrderEntry::OnInitDialog(fw::Form& form) {
    State& s = *state_;
    s.form = &form;
    form.MoveTo(kDialogPosition);
    form.ShowWindow(false);

    form.Enable(kBidIPOName, false);
    for (int row = 0; row < 3; ++row) {
        form.Enable(kBidQuantity[row], false);
        form.Enable(kBidPriceBand[row], false);
    }
    form.Enable(kBidAmountPayable, false);
    form.Enable(kBidBankAccount, false);
    form.Enable(kBidClientId, Login().UserType == kDealerUserType);
    form.LimitText(kBidClientId, kClientIdLimit);
    form.LimitText(kBidUPIId, sizeof(IPOServiceRequest::UPIId) - 1);

    s.paymentMode = PaymentMode::UPI;
    form.SetCheck(kBidUPI, true);
    form.SetCheck(kBidASBA, false);
    ShowPaymentLayout();

    s.termsLink.Attach(form, kBidTermsLink);
    s.termsLink.SetToolTipText("Terms and Conditions");
    s.termsLink.SetLinkColour(kLinkBlue);

    s.orderFlag = "N";
    s.ready = true;
}

// ---------------------------------------------------------------- events

void CIPOOrderEntry::OnCommand(int id) {
    for (int row = 0; row < 3; ++row) {
        if (id == kBidCutOff[row]) {
            ToggleCutOff(row);
            return;
        }
    }
    switch (id) {
        case kBidUPI:
            SelectUPI();
            break;
        case kBidASBA:
            SelectASBA();
            break;
        case kBidPlaceBid:
            PlaceBid();
            break;
        case kBidTermsLink:
            ShowTerms();
            break;
        case kBidCancel:
            OnCancel();
            break;
        default:
            break;
    }
}

void CIPOOrderEntry::OnKillFocus(int id) {
    if (id == kBidClientId) {
        LookupClient();
        return;
    }
    for (int row = 0; row < 3; ++row) {
        if (id == kBidLot[row]) {
            if (CheckRowOrder(row)) {
                ApplyLot(row);
            }
            return;
        }
        if (id == kBidPrice[row]) {
            CheckBidPrice(row);
            return;
        }
    }
}

void CIPOOrderEntry::OnSelChange(int id) {
    if (id == kBidCategory) {
        SelectCategory();
    }
}

void CIPOOrderEntry::OnCancel() {
    state_->form->ShowWindow(false);
}

// ---------------------------------------------------------------- owners' operations

void CIPOOrderEntry::SetReady(bool ready) {
    state_->ready = ready;
}
void CIPOOrderEntry::EnableClientIdField(bool enable) {
    state_->form->Enable(kBidClientId, enable);
}
void CIPOOrderEntry::EnableUPIIdField(bool enable) {
    state_->form->Enable(kBidUPIId, enable);
}
void CIPOOrderEntry::Show() {
    state_->form->ShowWindow(true);
}

void CIPOOrderEntry::ResetBidForm() {
    State& s = *state_;
    fw::Form& f = *s.form;
    for (int id : {kBidClientId, kBidIPOName, kBidUPIId, kBidAmountPayable}) {
        f.SetText(id, "");
    }
    for (int row = 0; row < 3; ++row) {
        BlankRow(row);
        f.SetCheck(kBidCutOff[row], false);
    }
    for (int id : {kBidCategory, kBidBankName, kBidBankAccount}) {
        f.ComboReset(id);
    }
    f.SetCheck(kBidTerms, false);
    f.Enable(kBidPrice[0], true);
    EnableRow(1, true);
    EnableRow(2, true);

    // A new bid must never carry the identity of an earlier order.
    for (BidRow& row : s.rows) {
        row.bidActionCode.clear();
        row.bidReference.clear();
    }
    s.orderNumber = 0;
    s.applicationNumber.clear();
}

void CIPOOrderEntry::LoadFromIPODetails(IPODetailsEntry* entry) {
    if (!entry) {
        return;
    }
    State& s = *state_;
    fw::Form& f = *s.form;
    SelectUPI();

    s.ipoName = base::OrEmpty(entry->IssueIdentifier());
    f.SetText(kBidIPOName, s.ipoName);
    s.issueTag = base::OrEmpty(entry->IssueTag());
    s.lotSize = entry->LotSize();

    // The categories of an earlier issue go, and with them the code chosen from them.
    s.categoryMap.clear();
    s.categoryName.clear();
    s.categoryCode.clear();
    f.ComboReset(kBidCategory);
    ForEachRecord<CategoryRecord>(entry->Categories(), [&](CategoryRecord* record) {
        tagIPOCategoryWise value = FromCategoryRecord(*record);
        f.ComboAdd(kBidCategory, value.DisplayName);
        if (value.Code == "RETAIL") {
            s.categoryCode = base::Trim(value.Code);
            s.categoryName = value.DisplayName;
            f.ComboSelectPrefix(kBidCategory, value.DisplayName);
        }
        // The last category's band stays in force for every row.
        s.minimumPrice = value.MinimumPrice;
        s.maximumPrice = value.MaximumPrice;
        s.categoryMap[value.DisplayName] = std::move(value);
    });

    if (f.ComboSelection(kBidCategory) < 0) {
        f.ComboSetSelection(kBidCategory, 0);
        s.categoryName = f.ComboItem(kBidCategory, 0);
        const auto found = s.categoryMap.find(s.categoryName);
        if (!s.categoryName.empty() && found != s.categoryMap.end()) {
            s.categoryCode = base::Trim(found->second.Code);
        }
    }
    SetDroppedWidthToWidest(kBidCategory);
}

void CIPOOrderEntry::LoadUserDetails() {
    State& s = *state_;
    fw::Form& f = *s.form;
    const LoginContext& login = Login();
    if (ActsForLoggedInParty(login.UserType)) {
        s.clientId = login.LoginClientId;
        f.SetText(kBidClientId, s.clientId);
        s.clientCode = login.LoginClientCode;
    }
    // The lists hold the accounts of the party asked for last, never of an earlier client.
    f.ComboReset(kBidBankName);
    f.ComboReset(kBidBankAccount);

    Party party;
    if (!ChooseParty(s.clientCode, s.clientId, party)) {
        return;
    }
    static constexpr uint16_t kCode = kRequestUserDetails;
    IPOResultList* list = RequestIPOUserDetails(GetServiceBridge(), &kCode, party.code, party.id);
    for (UserDetailsRecord* details : TakeResults<UserDetailsRecord>(list)) {
        PtrList* accounts = details->BankAccounts();
        if (accounts && accounts->Count > 0) {
            ForEachRecord<BankAccountRecord>(accounts, [&](BankAccountRecord* account) {
                f.ComboAdd(kBidBankName, base::OrEmpty(account->BankName()));
                f.ComboAdd(kBidBankAccount, base::OrEmpty(account->AccountNumber()));
                if (account->AsbaAllowed() == 0) {
                    f.Enable(kBidASBA, false);
                }
            });
            f.ComboSetSelection(kBidBankName, 0);
            f.ComboSetSelection(kBidBankAccount, 0);
            s.bankName = f.GetText(kBidBankName);
            s.bankAccount = f.GetText(kBidBankAccount);
            SetDroppedWidthToWidest(kBidBankName);
            SetDroppedWidthToWidest(kBidBankAccount);
        }
        ForEachRecord<UserReferenceRecord>(details->References(), [&](UserReferenceRecord* ref) {
            s.userReference1 = base::OrEmpty(ref->Reference1());
            s.userReference2 = base::OrEmpty(ref->Reference2());
        });
    }
}

void CIPOOrderEntry::LoadForModify(tagIPOModifyOrder record) {
    State& s = *state_;
    fw::Form& f = *s.form;
    const LoginContext& login = Login();

    s.ipoName = record.IssueKey;
    f.SetText(kBidIPOName, s.ipoName);
    if (login.UserType == kDealerUserType) {
        s.clientId = record.ClientId;
        s.clientCode = record.ClientCode;
        f.SetText(kBidClientId, s.clientId);
    } else if (ActsForLoggedInParty(login.UserType)) {
        s.clientId = login.LoginClientId;
        s.clientCode = login.LoginClientCode;
        f.SetText(kBidClientId, s.clientId);
    }

    f.ComboReset(kBidCategory);
    f.ComboAdd(kBidCategory, record.CategoryCode);
    f.ComboSetSelection(kBidCategory, 0);
    f.Enable(kBidCategory, false);
    s.categoryCode = record.CategoryCode;
    s.userReference1 = record.UserReference1;
    s.userReference2 = record.UserReference2;

    if (record.PaymentMode == "UPI") {
        s.paymentMode = PaymentMode::UPI;
        f.SetCheck(kBidUPI, true);
        f.SetCheck(kBidASBA, false);
        f.Enable(kBidASBA, false);
        s.upiId = record.UPIId;
        f.SetText(kBidUPIId, s.upiId);
        for (int id : {kBidBankName, kBidBankAccount}) {
            f.ComboReset(id);
            f.Enable(id, false);
        }
    } else if (record.PaymentMode == "ASBA") {
        s.paymentMode = PaymentMode::ASBA;
        f.SetCheck(kBidUPI, false);
        f.SetCheck(kBidASBA, true);
        f.Enable(kBidUPI, false);
        const std::pair<int, const std::string*> lists[] = {{kBidBankName, &record.BankName},
                                                            {kBidBankAccount, &record.BankAccount}};
        for (const auto& [id, text] : lists) {
            f.ComboReset(id);
            f.ComboAdd(id, *text);
            f.ComboSetSelection(id, 0);
            f.Enable(id, true);
        }
        s.bankName = record.BankName;
        s.bankAccount = record.BankAccount;
    }

    for (int row = 0; row < 3; ++row) {
        const bool cutOff = base::ToLong(record.CutOff[row]) == 1;
        s.rows[row].cutOff = cutOff;
        f.SetCheck(kBidCutOff[row], cutOff);
        if (cutOff) {
            for (int later = row + 1; later < 3; ++later) {
                EnableRow(later, false);
            }
        }
    }

    s.lotSize = base::ToLong(record.LotSize);
    for (int row = 0; row < 3; ++row) {
        BidRow& r = s.rows[row];
        f.SetText(kBidLot[row], record.Lots[row]);
        f.SetText(kBidQuantity[row], record.Quantities[row]);
        r.lotText = record.Lots[row];
        r.quantityValue = record.Quantities[row];
        if (!r.quantityValue.empty()) {
            r.bidActionCode = "M";
        }
    }
    s.orderFlag = "M";
    for (int row = 0; row < 3; ++row) {
        f.SetText(kBidPrice[row], record.Prices[row]);
        s.rows[row].priceText = record.Prices[row];
        s.rows[row].bidReference = record.BidReferences[row];
    }

    s.amountPayable = record.AmountPayable;
    f.SetText(kBidAmountPayable, s.amountPayable);
    s.orderNumber = base::ToLong(record.OrderNumber);
    s.issueTag = record.IssueTag;

    s.minimumPrice = record.MinimumPrice;
    s.maximumPrice = record.MaximumPrice;
    for (int row = 0; row < 3; ++row) {
        if (!record.Lots[row].empty()) {
            f.SetText(kBidPriceBand[row],
                      base::Format("%.2f-%.2f", s.minimumPrice, s.maximumPrice));
        }
    }

    f.SetCheck(kBidTerms, true);
    s.termsAccepted = true;
    s.applicationNumber = record.ApplicationNumber;
}

// ---------------------------------------------------------------- the user's actions

void CIPOOrderEntry::LookupClient() {
    State& s = *state_;
    if (!s.ready || s.lookupSuppressed || !HasHostCallback()) {
        // Without a host nobody can answer the lookup: what was typed stays as it is.
        return;
    }
    fw::Form& f = *s.form;
    UpdateData(true);

    ClientLookupMessage lookup{};
    lookup.MessageId = kClientLookupMessageId;
    lookup.Flag1 = 1;
    lookup.Flag2 = 1;
    if (!CopyFieldOrRefuse(lookup.ClientIdTyped, s.clientId, "Client Id")) {
        return;
    }
    SendHostMessage(&lookup);
    s.clientId = base::FieldText(lookup.ClientId);
    s.clientCode = base::FieldText(lookup.ClientCode);
    f.SetText(kBidClientId, s.clientId);
    if (s.clientId.empty()) {
        s.lookupSuppressed = false;
    }

    if (NotifyClientSelected()) {
        LoadUserDetails();
    }
}

bool CIPOOrderEntry::NotifyClientSelected() {
    const State& s = *state_;
    const Party client = SelectedClient(s.clientCode, s.clientId);
    ClientSelectedMessage selected{};
    selected.MessageId = kClientSelectedMessageId;
    selected.Answer = 1;
    if (!CopyFieldOrRefuse(selected.ClientId, client.id, "Client Id") ||
        !CopyFieldOrRefuse(selected.ClientCode, client.code, "Client Code")) {
        return false;
    }
    SendHostMessage(&selected);
    return true;
}

void CIPOOrderEntry::SelectUPI() {
    UpdateData(true);
    state_->paymentMode = PaymentMode::UPI;
    UpdateData(false);
    ShowPaymentLayout();
}

void CIPOOrderEntry::SelectASBA() {
    UpdateData(true);
    state_->paymentMode = PaymentMode::ASBA;
    UpdateData(false);
    ShowPaymentLayout();
}

void CIPOOrderEntry::SelectCategory() {
    State& s = *state_;
    s.categoryName = s.form->GetText(kBidCategory);
    const auto found = s.categoryMap.find(s.categoryName);
    s.categoryCode = found == s.categoryMap.end() ? "" : base::Trim(found->second.Code);
}

void CIPOOrderEntry::ToggleCutOff(int row) {
    State& s = *state_;
    fw::Form& f = *s.form;
    const bool checked = f.GetCheck(kBidCutOff[row]);
    s.rows[row].cutOff = checked;
    if (checked) {
        s.rows[row].priceText = base::Format("%.2f", s.maximumPrice);
        f.SetText(kBidPrice[row], s.rows[row].priceText);
        f.Enable(kBidPrice[row], false);
        for (int later = row + 1; later < 3; ++later) {
            EnableRow(later, false);
            f.SetCheck(kBidCutOff[later], false);
            s.rows[later].cutOff = false;
            BlankRow(later);
        }
        RecalcAmountPayable();
        f.SetText(kBidPriceBand[row], base::Format("%.2f-%.2f", s.minimumPrice, s.maximumPrice));
    } else {
        f.Enable(kBidPrice[row], true);
        f.SetFocus(kBidPrice[row]);
        for (int later = row + 1; later < 3; ++later) {
            EnableRow(later, true);
        }
    }
}

void CIPOOrderEntry::ApplyLot(int row) {
    State& s = *state_;
    fw::Form& f = *s.form;
    BidRow& r = s.rows[row];
    r.lotText = f.GetText(kBidLot[row]);
    if (!r.lotText.empty()) {
        const int32_t quantity = WrappingProduct(base::ToLong(r.lotText), s.lotSize);
        r.quantityValue = base::Format("%ld", static_cast<long>(quantity));
        f.SetText(kBidQuantity[row], r.quantityValue);
        f.SetText(kBidPriceBand[row], base::Format("%.2f-%.2f", s.minimumPrice, s.maximumPrice));
    } else {
        // The quantity value stays: the amount payable still counts it.
        f.SetText(kBidQuantity[row], "");
        f.SetText(kBidPriceBand[row], "");
    }
    RecalcAmountPayable();
}

void CIPOOrderEntry::RecalcAmountPayable() {
    State& s = *state_;
    fw::Form& f = *s.form;
    for (int row = 0; row < 3; ++row) {
        BidRow& r = s.rows[row];
        r.amount = base::ToDouble(f.GetText(kBidPrice[row])) * base::ToLong(r.quantityValue);
    }
    // The largest single bid is what the bank blocks, not the sum of the bids.
    const double largest = std::max(std::max(s.rows[0].amount, s.rows[1].amount), s.rows[2].amount);
    s.amountPayable = base::Format("%.2f", largest);
    f.SetText(kBidAmountPayable, s.amountPayable);
}

void CIPOOrderEntry::ShowTerms() {
    // The press has just switched the link's colour; it is blue again whatever the viewer does.
    state_->termsLink.SetLinkColour(kLinkBlue);
    CTermsandCondition terms(state_->form);
    terms.DoModal();
}

// ---------------------------------------------------------------- form helpers

void CIPOOrderEntry::UpdateData(bool saveAndValidate) {
    State& s = *state_;
    fw::Form& f = *s.form;
    if (saveAndValidate) {
        s.clientId = f.GetText(kBidClientId);
        s.ipoName = f.GetText(kBidIPOName);
        s.upiId = f.GetText(kBidUPIId);
        s.bankName = f.GetText(kBidBankName);
        s.bankAccount = f.GetText(kBidBankAccount);
        s.amountPayable = f.GetText(kBidAmountPayable);
        s.termsAccepted = f.GetCheck(kBidTerms);
        s.paymentMode = f.GetCheck(kBidASBA) ? PaymentMode::ASBA : PaymentMode::UPI;
        for (int row = 0; row < 3; ++row) {
            BidRow& r = s.rows[row];
            r.cutOff = f.GetCheck(kBidCutOff[row]);
            r.lotText = f.GetText(kBidLot[row]);
            r.quantityValue = f.GetText(kBidQuantity[row]);
            r.priceText = f.GetText(kBidPrice[row]);
        }
        return;
    }
    f.SetText(kBidClientId, s.clientId);
    f.SetText(kBidIPOName, s.ipoName);
    f.SetText(kBidUPIId, s.upiId);
    f.SetText(kBidAmountPayable, s.amountPayable);
    f.SetCheck(kBidTerms, s.termsAccepted);
    f.SetCheck(kBidUPI, s.paymentMode == PaymentMode::UPI);
    f.SetCheck(kBidASBA, s.paymentMode == PaymentMode::ASBA);
    for (int row = 0; row < 3; ++row) {
        const BidRow& r = s.rows[row];
        f.SetCheck(kBidCutOff[row], r.cutOff);
        f.SetText(kBidLot[row], r.lotText);
        f.SetText(kBidQuantity[row], r.quantityValue);
        f.SetText(kBidPrice[row], r.priceText);
    }
}

void CIPOOrderEntry::ShowPaymentLayout() {
    fw::Form& f = *state_->form;
    const bool upi = state_->paymentMode == PaymentMode::UPI;
    f.Enable(kBidUPIId, upi);
    f.Enable(kBidBankName, !upi);
    f.Enable(kBidBankAccount, !upi);
}

void CIPOOrderEntry::SetDroppedWidthToWidest(int listId) {
    fw::Form& f = *state_->form;
    int widest = 0;
    for (int i = 0; i < f.ComboCount(listId); ++i) {
        widest = std::max(widest, f.TextWidth(listId, f.ComboItem(listId, i)));
    }
    f.ComboSetDroppedWidth(listId, widest);
}

void CIPOOrderEntry::BlankRow(int row) {
    fw::Form& f = *state_->form;
    for (int id : {kBidLot[row], kBidQuantity[row], kBidPriceBand[row], kBidPrice[row]}) {
        f.SetText(id, "");
    }
}

void CIPOOrderEntry::EnableRow(int row, bool enable) {
    fw::Form& f = *state_->form;
    for (int id : {kBidCutOff[row], kBidLot[row], kBidPrice[row]}) {
        f.Enable(id, enable);
    }
}
