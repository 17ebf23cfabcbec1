#include "watch/ipo_watch.h"

#include <algorithm>

#include "base/date.h"
#include "base/text.h"
#include "bid/ipo_order_entry.h"
#include "bridge/ipo_service_bridge.h"
#include "framework/backend.h"
#include "framework/menu.h"
#include "plugin/generic_frame.h"
#include "plugin/login_context.h"
#include "plugin/runtime_classes.h"
#include "plugin/user_type.h"
#include "watch/ipo_watch_details.h"
#include "watch/ipo_watch_layout.h"
#include "watch/ipo_watch_sort.h"

namespace {

struct ColumnSpec {
    const char* title;
    int width;
};

constexpr std::array<ColumnSpec, CIPOWatch::kColumnCount> kColumns{{
    {"Place Bid", 80},
    {"IPO Name", 500},
    {"Date Range", 80},
    {"Issue Type", 80},
    {"Face Value", 80},
    {"Price Range", 80},
    {"Lot Size", 80},
    {"Minimum Order Quantity", 150},
    {"Issue Size", 150},
}};

constexpr int kPlaceBidColumnWidth = 80;
constexpr int kWidthMargin = 10;
constexpr int kSizeReportHeightLess = 120;
// Rows are sorted by "Minimum Order Quantity" after each load.
constexpr int kLoadSortColumn = 7;

fw::CObject* CreateWatchView() {
    return new CIPOWatch;
}

}  // namespace

CIPOWatch::CIPOWatch()
    : bridge_(GetServiceBridge()),
      details_(std::make_unique<CIPOWatchDetails>()),
      bidDialog_(std::make_unique<CIPOOrderEntry>()) {
    // Closed from the keyboard, the popup leaves the user back in the list.
    details_->onClosed = [this] {
        detailsVisible_ = false;
        if (form()) {
            form()->SetFocus(kWatchList);
        }
    };
    const base::Date now = fw::Today();
    from_ = now;
    to_ = now;
}

CIPOWatch::~CIPOWatch() = default;

CIPOGenericFrame* CIPOWatch::Frame() const {
    return dynamic_cast<CIPOGenericFrame*>(frame());
}

void CIPOWatch::OnInitialUpdate() {
    fw::Form& form = *this->form();
    CIPOGenericFrame* frame = Frame();
    fw::FrameSite* site = frame ? frame->site() : nullptr;
    if (site) {
        site->SetTitle("IPO WatchList");
        site->RemoveMaximizeBox();
    }

    form.ListSetExtendedStyle(kWatchList, fw::kListFullRowSelect | fw::kListHeaderDragDrop, 0);
    form.ListSetSource(kWatchList, this);
    for (int column = 0; column < kColumnCount; ++column) {
        form.ListInsertColumn(kWatchList, column, kColumns[column].title, kColumns[column].width);
    }

    to_ = fw::Today();
    from_ = base::AddDays(to_, -365);
    WriteDates();

    const fw::Rect listRect = form.ControlRect(kWatchList);
    listTopLeft_ = {listRect.left, listRect.top};
    listTopOffset_ = listRect.top + 3;

    if (frame && frame->CreateStatusBar(3)) {
        frame->SetStatusPaneInfo(0, 0, 0, form.TextWidth(kWatchList, "Filters"));
        frame->SetStatusPaneInfo(1, 0, 0, form.TextWidth(kWatchList, "CURRENT IPO"));
        frame->SetStatusPaneInfo(2, 0, fw::kPaneStretch, 0);
        frame->SetStatusPaneText(0, "Filters");
        frame->SetStatusPaneText(1, "");
        frame->SetStatusPaneText(2, "");
    }

    SwitchMode(kWatchCurrent);

    const fw::Size viewSize = form.ClientSize();
    if (site) {
        site->FitToForm();
    }
    layoutDone_ = true;
    const fw::Size frameSize = site ? site->WindowSize() : viewSize;
    form.MoveControl(kWatchList, {listTopLeft_.x, listTopLeft_.y, listTopLeft_.x + frameSize.width,
                                  listTopLeft_.y + frameSize.height - listTopOffset_});

    if (frame) {
        frame->ReportSize(viewSize.width, viewSize.height - kSizeReportHeightLess);
    }
    form.Repaint();
}

void CIPOWatch::OnCommand(int id) {
    switch (id) {
        case kWatchCurrentButton:
            SwitchMode(kWatchCurrent);
            break;
        case kWatchForthcomingButton:
            SwitchMode(kWatchForthcoming);
            break;
        case kWatchPastButton:
            SwitchMode(kWatchPast);
            break;
        case kWatchApplyButton:
            LoadList(kWatchPast);
            break;
        case kCmdWatchCopyToClipboard:
            CopyToClipboard();
            break;
        case kCmdWatchSizeToFit:
            SizeToFit();
            break;
        case kCmdWatchSizeToHeader:
            SizeToHeader();
            break;
        case kCmdWatchGrid:
            ToggleGrid();
            break;
        case kCmdWatchOpenBid:
            OpenBidDialog();
            break;
        default:
            break;
    }
}

void CIPOWatch::OnColumnClick(int listId, int column) {
    if (listId != kWatchList) {
        return;
    }
    WatchSortDescending = !WatchSortDescending;
    SortList(column);
}

void CIPOWatch::OnItemClick(int listId, int item, int column) {
    if (listId == kWatchList) {
        RowClick(item, column);
    }
}

void CIPOWatch::OnItemChanged(int listId, int item, int column) {
    if (listId == kWatchList && item >= 0 && column >= 0 && detailsVisible_) {
        ShowDetails();
    }
}

void CIPOWatch::OnContextMenu(int controlId) {
    if (controlId == kWatchList) {
        ShowContextMenu();
    }
}

void CIPOWatch::OnSize(fw::Size clientSize) {
    if (!layoutDone_) {
        return;
    }
    form()->MoveControl(kWatchList,
                        {listTopLeft_.x, listTopLeft_.y, listTopLeft_.x + clientSize.width,
                         listTopLeft_.y + clientSize.height - listTopOffset_});
}

void CIPOWatch::OnCancel() {
    CIPOGenericFrame* frame = Frame();
    if (frame && frame->site()) {
        frame->site()->PostClose();
    }
}

std::string CIPOWatch::CellText(size_t item, int column) const {
    if (item >= rows_.size() || !rows_[item]) {
        return {};
    }
    return std::string(WatchCellText(*rows_[item], column));
}

int CIPOWatch::ItemImage(size_t /*item*/) const {
    return 0;
}

void CIPOWatch::SwitchMode(IPOWatchMode mode) {
    fw::Form& form = *this->form();
    ReadDates();
    mode_ = mode;
    form.SetCheck(kWatchCurrentButton, mode == kWatchCurrent);
    form.SetCheck(kWatchForthcomingButton, mode == kWatchForthcoming);
    form.SetCheck(kWatchPastButton, mode == kWatchPast);

    fitToTextPending_ = true;
    fitToHeaderPending_ = true;

    if (mode == kWatchPast) {
        ShowPastModeControls(true);
        ClearList();
    } else {
        ShowPastModeControls(false);
        pastModeFirstLoad_ = true;
    }

    // The image list sets the row height (25 pixels) in every mode; only current issues show
    // the "Place Bid" image.
    form.ListSetImages(kWatchList,
                       mode == kWatchCurrent ? fw::ListImages::PlaceBid : fw::ListImages::Blank);

    rows_.insert(rows_.begin(), nullptr);
    form.ListSetItemCount(kWatchList, rows_.size());

    if (mode != kWatchPast) {
        LoadList(mode);
    } else if (pastModeFirstLoad_) {
        LoadList(kWatchPast);
        pastModeFirstLoad_ = false;
    }
    WriteDates();
}

void CIPOWatch::ShowPastModeControls(bool show) {
    for (int id :
         {kWatchFromLabel, kWatchFromDate, kWatchToLabel, kWatchToDate, kWatchApplyButton}) {
        form()->Show(id, show);
    }
}

void CIPOWatch::ReadDates() {
    from_ = form()->GetDate(kWatchFromDate);
    to_ = form()->GetDate(kWatchToDate);
}

void CIPOWatch::WriteDates() {
    form()->SetDate(kWatchFromDate, from_);
    form()->SetDate(kWatchToDate, to_);
}

void CIPOWatch::ClearList() {
    rows_.clear();
    form()->ListSetItemCount(kWatchList, 0);
}

void CIPOWatch::LoadList(IPOWatchMode mode) {
    if (!bridge_) {
        return;
    }
    ClearList();

    std::string fromText;
    std::string toText;
    if (mode == kWatchPast) {
        // A bad range is reported, and the request goes out all the same.
        CheckDateRange();
        FormatRequestDates(fromText, toText);
    }

    const LoginContext& login = Login();
    if (IsServedUserType(login.UserType)) {
        const uint16_t requestCode = kRequestWatchList;
        const IPOResultList* results =
            RequestIPOWatchList(bridge_, &requestCode, login.LoginClientCode, login.LoginClientId,
                                &mode, fromText, toText);
        for (IPOWatchEntry* entry : TakeResults<IPOWatchEntry>(results)) {
            rows_.push_back(std::make_unique<IPOWatchRow>(MakeWatchRow(*entry)));
        }
    }
    form()->ListSetItemCount(kWatchList, rows_.size());

    SortList(kLoadSortColumn);

    if (CIPOGenericFrame* frame = Frame()) {
        static constexpr const char* kModeTexts[] = {"CURRENT IPO", "FORTHCOMING IPO",
                                                     "PAST/CLOSED IPO"};
        frame->SetStatusPaneText(0, "For help,");
        frame->SetStatusPaneText(1, mode >= 1 && mode <= 3 ? kModeTexts[mode - 1] : "");
        frame->SetStatusPaneText(2,
                                 base::Format("No of records : %d",
                                              static_cast<int>(form()->ListItemCount(kWatchList))));
    }
}

bool CIPOWatch::CheckDateRange() {
    ReadDates();
    const base::Date today = fw::Today();
    if (from_ > today || to_ > today) {
        fw::MessageBox("From Date and To Date should be less than Current Date");
        return false;
    }
    if (from_ > to_) {
        fw::MessageBox("From Date should be less than To Date");
        return false;
    }
    return true;
}

void CIPOWatch::FormatRequestDates(std::string& fromText, std::string& toText) const {
    fromText = base::RequestDateText(from_);
    toText = base::RequestDateText(to_);
}

void CIPOWatch::SortList(int column) {
    fw::Form& form = *this->form();
    // The selection follows its rows through the sort.
    std::vector<const IPOWatchRow*> selected;
    for (size_t item : form.ListSelectedItems(kWatchList)) {
        selected.push_back(rows_[item].get());
        form.ListSelect(kWatchList, item, false);
    }
    SortWatchRows(rows_, column);
    for (size_t item = 0; item < rows_.size(); ++item) {
        if (std::find(selected.begin(), selected.end(), rows_[item].get()) != selected.end()) {
            form.ListSelect(kWatchList, item, true);
        }
    }
    form.ListRefresh(kWatchList);
}

const IPOWatchRow* CIPOWatch::SelectedRecord() const {
    const std::vector<size_t> selected = form()->ListSelectedItems(kWatchList);
    if (selected.empty() || selected.front() >= rows_.size()) {
        return nullptr;
    }
    return rows_[selected.front()].get();
}

void CIPOWatch::RowClick(int item, int column) {
    if (item < 0 || column < 0) {
        return;
    }
    if (column == 0 && mode_ == kWatchCurrent) {
        OpenBidDialog();
    } else if (detailsVisible_) {
        detailsVisible_ = false;
        details_->Hide();
    } else {
        details_->SetRequestFlag(1);
        ShowDetails();
        detailsVisible_ = true;
    }
}

void CIPOWatch::ShowDetails() {
    if (const IPOWatchRow* row = SelectedRecord(); row && details_->RequestFlag() == 1) {
        form()->ListRefresh(kWatchList);
        const LoginContext& login = Login();
        if (!bridge_ || !IsServedUserType(login.UserType)) {
            return;
        }
        details_->ClearFields();
        const uint16_t requestCode = kRequestWatchDetails;
        const IPOResultList* results = RequestIPOWatchDetails(
            bridge_, &requestCode, login.LoginClientCode, login.LoginClientId, row->IssueKey);
        if (results) {
            for (IPODetailsEntry* entry : TakeResults<IPODetailsEntry>(results)) {
                details_->ShowEntry(entry);
            }
            details_->Show();
        }
    }
    form()->SetFocus(kWatchList);
}

void CIPOWatch::OpenBidDialog() {
    const IPOWatchRow* row = SelectedRecord();
    if (!row || !bridge_) {
        return;
    }
    const LoginContext& login = Login();
    std::vector<IPODetailsEntry*> entries;
    if (IsServedUserType(login.UserType)) {
        const uint16_t requestCode = kRequestWatchDetails;
        entries = TakeResults<IPODetailsEntry>(RequestIPOWatchDetails(
            bridge_, &requestCode, login.LoginClientCode, login.LoginClientId, row->IssueKey));
    }
    // The dialog opens also when nothing was asked or nothing came back.
    bidDialog_->ResetBidForm();
    for (IPODetailsEntry* entry : entries) {
        bidDialog_->SetReady(true);
        bidDialog_->LoadFromIPODetails(entry);
    }
    if (ActsForLoggedInParty(login.UserType)) {
        bidDialog_->LoadUserDetails();
    }
    bidDialog_->Show();
}

void CIPOWatch::CopyToClipboard() {
    const fw::Form& form = *this->form();
    const int columns = form.ListColumnCount(kWatchList);
    std::string text;
    for (int column = 1; column < columns; ++column) {
        text += form.ListColumnTitle(kWatchList, column);
        text += column + 1 < columns ? "\t" : "";
    }
    text += "\n";
    for (size_t item = 0; item < rows_.size(); ++item) {
        for (int column = 1; column < columns; ++column) {
            text += CellText(item, column);
            text += column + 1 < columns ? "\t" : "";
        }
        text += "\n";
    }
    // A clipboard that cannot be had drops the copy.
    fw::SetClipboardText(text);
}

bool CIPOWatch::AnyWidthChanged() const {
    for (int column = 0; column < kColumnCount; ++column) {
        if (form()->ListColumnWidth(kWatchList, column) != recordedWidths_[column]) {
            return true;
        }
    }
    return false;
}

void CIPOWatch::SizeToFit() {
    if (!fitToTextPending_ && !AnyWidthChanged()) {
        return;
    }
    fw::Form& form = *this->form();
    recordedWidths_.fill(0);
    fitToHeaderPending_ = true;
    for (int column = 0; column < kColumnCount; ++column) {
        int widest = 0;
        for (size_t item = 0; item < rows_.size(); ++item) {
            widest =
                std::max(widest, form.TextWidth(kWatchList, base::Trim(CellText(item, column))));
        }
        form.ListSetColumnWidth(kWatchList, column,
                                column == 0 ? kPlaceBidColumnWidth : widest + kWidthMargin);
        recordedWidths_[column] = static_cast<uint16_t>(widest + kWidthMargin);
    }
    fitToTextPending_ = false;
}

void CIPOWatch::SizeToHeader() {
    if (!fitToHeaderPending_ && !AnyWidthChanged()) {
        return;
    }
    fw::Form& form = *this->form();
    recordedWidths_.fill(0);
    fitToTextPending_ = true;
    for (int column = 0; column < kColumnCount; ++column) {
        form.ListAutoSizeColumnToHeader(kWatchList, column);
        const int header = form.ListColumnWidth(kWatchList, column);
        int widest = 0;
        for (size_t item = 0; item < rows_.size(); ++item) {
            widest = std::max(widest, form.TextWidth(kWatchList, CellText(item, column)));
        }
        const int width =
            column == 0 ? kPlaceBidColumnWidth : (header > widest ? header : widest) + kWidthMargin;
        form.ListSetColumnWidth(kWatchList, column, width);
        recordedWidths_[column] = static_cast<uint16_t>(width);
    }
    fitToHeaderPending_ = false;
}

void CIPOWatch::ToggleGrid() {
    if (gridLines_) {
        form()->ListSetExtendedStyle(kWatchList, 0, fw::kListGridLines);
        gridLines_ = false;
    } else {
        form()->ListSetExtendedStyle(kWatchList, fw::kListGridLines, 0);
        gridLines_ = true;
    }
}

void CIPOWatch::ShowContextMenu() {
    fw::Backend* backend = fw::GetBackend();
    if (!backend) {
        return;
    }
    fw::Menu menu{"IPOWatch",
                  {{kCmdWatchCopyToClipboard, "Copy to ClipBoard", true, false},
                   {kCmdWatchSizeToFit, "Size To Fit", true, false},
                   {kCmdWatchSizeToHeader, "Size To Header", true, false},
                   {kCmdWatchGrid, "Grid", true, gridLines_}}};
    const int command = backend->TrackPopupMenu(menu, *form());
    if (command != 0) {
        OnCommand(command);
    }
}

const fw::RuntimeClass& WatchViewClass() {
    static const fw::RuntimeClass runtimeClass{"CIPOWatch", &CreateWatchView};
    return runtimeClass;
}
