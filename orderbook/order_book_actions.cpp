// The order book's context menu and what its commands do: cancel, modify, export, copy,
// column sizing, grid lines and the change of client.
#include <algorithm>

#include "base/platform.h"
#include "base/text.h"
#include "bridge/ipo_service_bridge.h"
#include "bridge/party.h"
#include "framework/backend.h"
#include "framework/files.h"
#include "orderbook/ipo_order_book.h"
#include "orderbook/order_book_layout.h"
#include "orderbook/order_status.h"
#include "plugin/field_refusal.h"
#include "plugin/login_context.h"
#include "plugin/user_type.h"
#include "watch/ipo_client_filter_dialog.h"

void CIPOOrderBook::OnOrderBookContextMenu(int controlId) {
    fw::Form* form = this->form();
    if (!form) {
        return;
    }
    fw::Menu menu = OrderBookMenu();
    const uint16_t userType = Login().UserType;
    if (ActsForLoggedInParty(userType)) {
        menu.Remove(kCommandChangeClient);
    } else if (userType == kDealerUserType) {
        menu.Find(kCommandChangeClient)->enabled = true;
    }

    const size_t count = form->ListItemCount(kOrderBookList);
    const tagIPOOrderBookRow* row = GetSelectedRow();
    const bool oneOpenOrder = count > 0 && form->ListSelectedItems(kOrderBookList).size() == 1 &&
                              (!row || !IsOrderFinal(row->Field(kFieldStatus)));
    menu.Find(kCommandModify)->enabled = oneOpenOrder;
    menu.Find(kCommandCancel)->enabled = oneOpenOrder;
    menu.Find(kCommandSizeToFit)->enabled = count > 0;
    menu.Find(kCommandGrid)->checked = gridLines_;

    fw::Backend* backend = fw::GetBackend();
    if (controlId != kOrderBookList || !backend) {
        return;
    }
    const int command = backend->TrackPopupMenu(menu, *form);
    if (command != 0) {
        OnCommand(command);
    }
}

// ---------------------------------------------------------------- cancel

void CIPOOrderBook::OnCancelOrder() {
    const tagIPOOrderBookRow* row = GetSelectedRow();
    IPOServiceRequest request{};
    Party party;
    if (!row || !FillCancelRequest(*row, request) ||
        !ChooseParty(SelectedClientCode, SelectedClientId, party)) {
        return;
    }
    if (RequestIPOCancelOrder(bridge_, &kRequestCancelOrder, party.code, party.id, request)) {
        ShowCancelResponse();
    }
}

bool CIPOOrderBook::FillCancelRequest(const tagIPOOrderBookRow& row,
                                      IPOServiceRequest& request) const {
    request.CancelOrderNumber = base::ToLong(row.Field(kFieldOrderNumberText));
    base::CopyField(request.CancelAction, "N");
    request.BidReferenceCount = 3;
    for (int bid = 0; bid < 3; ++bid) {
        const std::string_view reference = row.Bid(bid, BidField::Reference);
        const std::string name = base::Format("Bid Reference %d", bid + 1);
        if (!CopyFieldOrRefuse(request.BidReferences[bid], reference.empty() ? "0" : reference,
                               name.c_str())) {
            return false;
        }
    }
    return true;
}

void CIPOOrderBook::ShowCancelResponse() {
    const std::vector<IPOCancelResponse*> responses = TakeResults<IPOCancelResponse>(&ResultList());
    if (!responses.empty()) {
        IPOCancelResponse& response = *responses.front();
        fw::MessageBox(response.Outcome() == 1 ? std::string("Order Cancelled Successfully")
                                               : std::string(base::OrEmpty(response.Message())));
    }
}

// ---------------------------------------------------------------- modify

void CIPOOrderBook::OnModifyOrder() {
    const tagIPOOrderBookRow* row = GetSelectedRow();
    if (!row) {
        return;
    }
    orderEntry_.ResetBidForm();
    tagIPOModifyOrder record = ModifyRecordFor(*row);
    if (Login().UserType == kDealerUserType) {
        orderEntry_.EnableClientIdField(false);
    }
    orderEntry_.EnableUPIIdField(false);
    LoadIssuePrices(record);
    orderEntry_.LoadForModify(record);
    orderEntry_.Show();
}

tagIPOModifyOrder CIPOOrderBook::ModifyRecordFor(const tagIPOOrderBookRow& row) const {
    const auto f = [&row](int field) { return std::string(row.Field(field)); };
    tagIPOModifyOrder record;
    record.IssueKey = f(kFieldIssueKey);
    if (Login().UserType == kDealerUserType) {
        record.ClientId = SelectedClientId;
        record.ClientCode = SelectedClientCode;
    }
    record.CategoryCode = f(kFieldCategoryCode);
    record.UserReference1 = f(kFieldUserReference1);
    record.UserReference2 = f(kFieldUserReference2);
    record.PaymentMode = f(kFieldPaymentMode);
    record.UPIId = f(kFieldUPIId);
    record.BankName = f(kFieldBankName);
    record.BankAccount = f(kFieldBankAccount);
    record.LotSize = f(kFieldLotSize);
    for (int bid = 0; bid < 3; ++bid) {
        record.CutOff[bid] = std::string(row.Bid(bid, BidField::CutOff));
        record.Lots[bid] = std::string(row.Bid(bid, BidField::Lots));
        record.Quantities[bid] = std::string(row.Bid(bid, BidField::Quantity));
        record.Prices[bid] = std::string(row.Bid(bid, BidField::Price));
        record.BidReferences[bid] = std::string(row.Bid(bid, BidField::Reference));
    }
    record.AmountPayable = f(kFieldTotalAmount);
    record.OrderNumber = f(kFieldOrderNumber);
    record.ApplicationNumber = f(kFieldApplicationNumber);
    return record;
}

// The issue's price band and tag from its details; the last record wins, a failed request
// leaves the prices at 0 and the tag empty.
void CIPOOrderBook::LoadIssuePrices(tagIPOModifyOrder& record) {
    const LoginContext& login = Login();
    const IPOResultList* result =
        RequestIPOWatchDetails(bridge_, &kRequestWatchDetails, login.LoginClientCode,
                               login.LoginClientId, record.IssueKey);
    double lowest = 0;
    double highest = 0;
    for (IPODetailsEntry* details : TakeResults<IPODetailsEntry>(result)) {
        lowest = details->PriceLow();
        highest = details->PriceHigh();
        record.IssueTag = base::OrEmpty(details->IssueTag());
    }
    record.MinimumPrice = lowest;
    record.MaximumPrice = highest;
}

// ---------------------------------------------------------------- export and copy

std::string_view CIPOOrderBook::ExportCellText(size_t item, int column) const {
    const uint16_t userType = Login().UserType;
    if (item < rows_.size() &&
        (ActsForLoggedInParty(userType) || (userType == kDealerUserType && column != 3))) {
        return RowCellText(*rows_[item], column);
    }
    return {};
}

std::string CIPOOrderBook::ListText(std::string_view separator, std::string_view lineEnd,
                                    bool forExport) const {
    const fw::Form& form = *this->form();
    const int columns = form.ListColumnCount(kOrderBookList);
    std::string text;
    for (int column = 0; column < columns; ++column) {
        text += column > 0 ? separator : "";
        text += form.ListColumnTitle(kOrderBookList, column);
    }
    text += lineEnd;
    // Rows in list order lie scattered in memory: each is fetched a few items ahead.
    constexpr size_t kRowsAhead = 4;
    for (size_t item = 0; item < rows_.size(); ++item) {
        if (item + kRowsAhead < rows_.size()) {
            PrefetchRow(*rows_[item + kRowsAhead]);
        }
        for (int column = 0; column < columns; ++column) {
            text += column > 0 ? separator : "";
            text += forExport ? ExportCellText(item, column) : RowCellText(*rows_[item], column);
        }
        text += lineEnd;
    }
    return text;
}

void CIPOOrderBook::OnExportCSV() {
    fw::Backend* backend = fw::GetBackend();
    if (!backend) {
        return;
    }
    const fw::LocalTime now = fw::Now();
    fw::SaveFileRequest request;
    request.defaultExtension = "csv";
    request.defaultFileName =
        base::Format("%02d%02d%04d%s", now.day, now.month, now.year, "IPOOrderBook.csv");
    request.filter = "Upload Files (*.csv) | *.csv ||";
    request.initialFolder =
        Login().WorkingDirectory + base::kPathSeparator + "Upload" + base::kPathSeparator;
    const std::optional<std::string> path = backend->SaveFileDialog(request);
    if (path) {
        WriteOrderBookFile(*path);
    }
}

void CIPOOrderBook::WriteOrderBookFile(const std::string& path) {
    if (!form()) {
        return;
    }
    const std::string_view separator = path.find(".txt") != std::string::npos ? "\t" : " ,";
    fw::FileWriter file;
    if (!file.Open(path)) {
        fw::MessageBox("File could not be open", fw::MessageIcon::Error);
        return;
    }
    fw::WaitCursor wait;
    file.Write(ListText(separator, "\r\n", true));
    file.Close();
}

void CIPOOrderBook::OnCopyToClipboard() {
    if (form()) {
        fw::SetClipboardText(ListText("\t", "\n", false));
    }
}

// ---------------------------------------------------------------- columns and grid

void CIPOOrderBook::OnSizeToFit() {
    fw::Form& form = *this->form();
    form.Show(kOrderBookList, false);
    const int columns = form.ListColumnCount(kOrderBookList);
    for (int column = 0; column < columns; ++column) {
        int widest = 0;
        for (size_t item = 0; item < rows_.size(); ++item) {
            const int width = form.TextWidth(kOrderBookList, ExportCellText(item, column));
            widest = std::max(widest, column == 0 && width == 0 ? 40 : width);
        }
        form.ListSetColumnWidth(kOrderBookList, column, widest + 14);
        form.Repaint();
        form.Show(kOrderBookList, true);
    }
}

void CIPOOrderBook::OnSizeToHeader() {
    fw::Form& form = *this->form();
    const int columns = std::min(form.ListColumnCount(kOrderBookList), kOrderBookColumnCount);
    bool unchanged = true;
    for (int column = 0; column < columns; ++column) {
        unchanged = unchanged && form.ListColumnWidth(kOrderBookList, column) ==
                                     recordedWidths_[static_cast<size_t>(column)];
    }
    if (unchanged) {
        return;
    }
    recordedWidths_.fill(0);
    for (int column = 0; column < columns; ++column) {
        form.ListAutoSizeColumnToHeader(kOrderBookList, column);
        int widest = form.ListColumnWidth(kOrderBookList, column);
        for (const auto& row : rows_) {
            widest = std::max(widest, form.TextWidth(kOrderBookList, RowCellText(*row, column)));
        }
        const auto width = static_cast<uint16_t>(widest + 10);
        form.ListSetColumnWidth(kOrderBookList, column, width);
        recordedWidths_[static_cast<size_t>(column)] = width;
    }
}

void CIPOOrderBook::OnGrid() {
    fw::Form& form = *this->form();
    if (gridLines_) {
        form.ListSetExtendedStyle(kOrderBookList, 0, fw::kListGridLines);
        gridLines_ = false;
    } else {
        form.ListSetExtendedStyle(kOrderBookList, fw::kListGridLines, 0);
        gridLines_ = true;
    }
}

// ---------------------------------------------------------------- change of client

void CIPOOrderBook::OnChangeClient() {
    CIPOClientFilterDialog dialog(form());
    dialog.PresetClientCode(SelectedClientCode);
    if (dialog.DoModal() != fw::kIdOk) {
        return;
    }
    SelectedClientCode = dialog.ClientCode();
    SelectedClientId = dialog.ClientId();
    SelectedClientName = dialog.ClientName();
    dialog.NotifyClientSelected(SelectedClientId, SelectedClientCode);
}
