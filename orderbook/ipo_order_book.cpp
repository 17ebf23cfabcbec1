#include "orderbook/ipo_order_book.h"

#include <algorithm>

#include "base/date.h"
#include "base/text.h"
#include "bridge/ipo_service_bridge.h"
#include "bridge/party.h"
#include "framework/backend.h"
#include "orderbook/order_book_layout.h"
#include "orderbook/order_book_sort.h"
#include "orderbook/order_status.h"
#include "plugin/generic_frame.h"
#include "plugin/login_context.h"
#include "plugin/runtime_classes.h"
#include "plugin/user_type.h"

namespace {

constexpr int kRejectionReasonColumn = 24;
constexpr int kColumnWidth = 100;
constexpr int kRejectionReasonWidth = 500;
constexpr int kDaysShownAtOpening = 7;

fw::CObject* CreateOrderBook() {
    return new CIPOOrderBook;
}

}  // namespace

const fw::RuntimeClass& OrderBookViewClass() {
    static const fw::RuntimeClass kClass{"CIPOOrderBook", &CreateOrderBook};
    return kClass;
}

CIPOOrderBook::CIPOOrderBook() : bridge_(GetServiceBridge()) {
    orderEntry_.SetReady(false);
}

CIPOOrderBook::~CIPOOrderBook() = default;

CIPOGenericFrame* CIPOOrderBook::Frame() const {
    return dynamic_cast<CIPOGenericFrame*>(frame());
}

void CIPOOrderBook::OnInitialUpdate() {
    CIPOGenericFrame* frame = Frame();
    fw::Form* form = this->form();
    if (!frame || !frame->site() || !form) {
        return;
    }
    fw::FrameSite& site = *frame->site();
    site.SetTitle("IPO Order Book");
    site.RemoveMaximizeBox();
    form->ListSetExtendedStyle(kOrderBookList, fw::kListFullRowSelect | fw::kListHeaderDragDrop, 0);

    const fw::Size frameSize = site.WindowSize();
    listTopOffset_ = form->ControlRect(kOrderBookList).top + 3;

    form->ListSetSource(kOrderBookList, this);
    for (int column = 0; column < kOrderBookColumnCount; ++column) {
        const int width = column == kRejectionReasonColumn ? kRejectionReasonWidth : kColumnWidth;
        form->ListInsertColumn(kOrderBookList, column, ColumnTitle(column), width);
    }
    CreateStatusPanes(*frame);
    FillStatusCombo();

    site.FitToForm();
    layoutDone_ = true;
    form->ResizeControl(kOrderBookList, {frameSize.width, frameSize.height - listTopOffset_});
    frame->ReportSize(frameSize.width, frameSize.height);

    const base::Date today = fw::Today();
    form->SetDate(kOrderBookFromDate, base::AddDays(today, -kDaysShownAtOpening));
    form->SetDate(kOrderBookToDate, today);

    if (Login().UserType == kDealerUserType) {
        OnChangeClient();
    }
    SortList(kBidDateColumn);
}

void CIPOOrderBook::CreateStatusPanes(CIPOGenericFrame& frame) {
    if (!frame.CreateStatusBar(3)) {
        return;
    }
    const fw::Form& form = *this->form();
    frame.SetStatusPaneInfo(0, 0, 0, form.TextWidth(kOrderBookList, "Filters"));
    frame.SetStatusPaneInfo(1, 0, 0, form.TextWidth(kOrderBookList, "CURRENT IPO"));
    frame.SetStatusPaneInfo(2, 0, fw::kPaneStretch, 0);
    frame.SetStatusPaneText(0, "Filters");
    frame.SetStatusPaneText(1, "");
    frame.SetStatusPaneText(2, "");
}

void CIPOOrderBook::FillStatusCombo() {
    fw::Form& form = *this->form();
    form.ComboReset(kOrderBookStatus);
    int widest = 0;
    for (const char* text : {"(ALL)", "PENDING", "CONFIRMED", "REJECTED", "MODIFIED", "CANCELLED",
                             "ADMIN CANCELLED"}) {
        form.ComboAdd(kOrderBookStatus, text);
        widest = std::max(widest, form.TextWidth(kOrderBookStatus, text));
    }
    form.ComboSelectPrefix(kOrderBookStatus, "(ALL)");
    StatusFilterText = "(ALL)";
    form.ComboSetDroppedWidth(kOrderBookStatus, widest);
}

void CIPOOrderBook::OnCommand(int id) {
    switch (id) {
        case kOrderBookApply:
            OnApply();
            break;
        case kCommandExportCSV:
            OnExportCSV();
            break;
        case kCommandModify:
            OnModifyOrder();
            break;
        case kCommandCancel:
            OnCancelOrder();
            break;
        case kCommandCopy:
            OnCopyToClipboard();
            break;
        case kCommandSizeToFit:
            OnSizeToFit();
            break;
        case kCommandSizeToHeader:
            OnSizeToHeader();
            break;
        case kCommandGrid:
            OnGrid();
            break;
        case kCommandChangeClient:
            OnChangeClient();
            break;
        default:
            break;
    }
}

void CIPOOrderBook::OnSelChange(int id) {
    if (id == kOrderBookStatus && form()) {
        StatusFilterText = form()->GetText(kOrderBookStatus);
    }
}

void CIPOOrderBook::OnColumnClick(int listId, int column) {
    if (listId == kOrderBookList) {
        OrderBookSortDescending = !OrderBookSortDescending;
        SortList(column);
    }
}

void CIPOOrderBook::OnContextMenu(int controlId) {
    OnOrderBookContextMenu(controlId);
}

void CIPOOrderBook::OnSize(fw::Size clientSize) {
    if (!layoutDone_ || !form()) {
        return;
    }
    // The list keeps its place and fills the rest of the view.
    form()->ResizeControl(kOrderBookList, {clientSize.width, clientSize.height - listTopOffset_});
    form()->Repaint();
}

void CIPOOrderBook::OnCancel() {
    if (frame() && frame()->site()) {
        frame()->site()->PostClose();
    }
}

std::string CIPOOrderBook::CellText(size_t item, int column) const {
    return item < rows_.size() ? std::string(RowCellText(*rows_[item], column)) : std::string();
}

const tagIPOOrderBookRow* CIPOOrderBook::GetSelectedRow() const {
    if (!form()) {
        return nullptr;
    }
    const std::vector<size_t> selected = form()->ListSelectedItems(kOrderBookList);
    return selected.empty() || selected.front() >= rows_.size() ? nullptr : rows_[selected.front()];
}

void CIPOOrderBook::ClearList() {
    rows_.clear();
    rowStore_.clear();  // keeps its block for the next Apply
    rowTexts_.Clear();  // and so do the texts
    form()->ListSetItemCount(kOrderBookList, 0);
}

void CIPOOrderBook::SortList(int column) {
    const std::vector<size_t> order = SortedOrder(rowStore_, rows_, column);

    // The selection follows its rows to their new places.
    fw::Form& form = *this->form();
    const std::vector<size_t> selected = form.ListSelectedItems(kOrderBookList);
    std::vector<size_t> placeOf(order.size());
    std::vector<const tagIPOOrderBookRow*> sorted(order.size());
    for (size_t place = 0; place < order.size(); ++place) {
        placeOf[order[place]] = place;
        sorted[place] = rows_[order[place]];
    }
    rows_ = std::move(sorted);
    for (size_t item : selected) {
        form.ListSelect(kOrderBookList, item, false);
    }
    for (size_t item : selected) {
        if (item < placeOf.size()) {
            form.ListSelect(kOrderBookList, placeOf[item], true);
        }
    }
    form.ListRefresh(kOrderBookList);
}

void CIPOOrderBook::OnApply() {
    fw::Form* form = this->form();
    if (!bridge_ || !form) {
        return;
    }
    ClearList();

    const base::Date from = form->GetDate(kOrderBookFromDate);
    const base::Date to = form->GetDate(kOrderBookToDate);
    const base::Date today = fw::Today();
    if (from > today || to > today) {
        fw::MessageBox("From Date and To Date should be less than Current Date");
        return;
    }
    if (from > to) {
        fw::MessageBox("From Date should be less than To Date");
        return;
    }

    IPOServiceRequest request{};
    base::CopyField(request.OrderBookFromDate, base::RequestDateText(from));
    base::CopyField(request.OrderBookToDate, base::RequestDateText(to));
    base::CopyField(request.OrderStatus, StatusFilterCode(StatusFilterText));

    Party party;
    if (ChooseParty(SelectedClientCode, SelectedClientId, party)) {
        const IPOResultList* result =
            RequestIPOOrderBook(bridge_, &kRequestOrderBook, party.code, party.id, request);
        if (result) {
            const std::vector<IPOOrderBookEntry*> entries = TakeResults<IPOOrderBookEntry>(result);
            // Reserved up front: the store never moves while rows_ points into it.
            rowStore_.reserve(entries.size());
            // Reading the records waits on memory: each is fetched a few records ahead.
            constexpr size_t kRecordsAhead = 4;
            for (size_t i = 0; i < entries.size(); ++i) {
                if (i + kRecordsAhead < entries.size()) {
                    PrefetchRecord(entries[i + kRecordsAhead]);
                }
                FillRow(rowStore_.emplace_back(), *entries[i], &rowTexts_);
            }
            rows_.reserve(rowStore_.size());
            for (const tagIPOOrderBookRow& row : rowStore_) {
                rows_.push_back(&row);
            }
            form->ListSetItemCount(kOrderBookList, rows_.size());
        }
    }
    SortList(kBidDateColumn);
}
