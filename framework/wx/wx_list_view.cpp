#include "framework/wx/wx_list_view.h"

#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/imaglist.h>

#include "framework/wx/wx_text.h"

namespace fw::wx {
namespace {

constexpr int kImageWidth = 75;
// What a report list leaves of a column's width for its text.
constexpr int kCellMargins = 12;
constexpr int kImageHeight = 25;

}  // namespace

wxBitmap DrawPlaceBidImage() {
    wxBitmap bitmap(kImageWidth, kImageHeight, 24);
    wxMemoryDC dc(bitmap);
    // White is the image list's transparent colour: it shows the row's background.
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    const wxRect face(1, 1, kImageWidth - 2, kImageHeight - 2);
    dc.SetPen(wxPen(wxColour(0, 40, 120)));
    dc.SetBrush(wxBrush(wxColour(0, 90, 200)));
    dc.DrawRoundedRectangle(face, 3);
    // A lighter upper half gives the face its raised look.
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(wxColour(40, 120, 225)));
    dc.DrawRectangle(face.x + 2, face.y + 2, face.width - 4, face.height / 2 - 2);
    wxFont font(wxFontInfo(9).Family(wxFONTFAMILY_SWISS).Bold());
    dc.SetFont(font);
    dc.SetTextForeground(wxColour(255, 255, 254));  // not pure white, which would be masked
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    dc.DrawLabel("Place Bid", face, wxALIGN_CENTRE);
    dc.SelectObject(wxNullBitmap);
    bitmap.SetMask(new wxMask(bitmap, *wxWHITE));
    return bitmap;
}

FwListView::FwListView(wxWindow* parent, int id, const wxRect& rect, bool singleSelection)
    : wxListCtrl(
          parent, id, rect.GetPosition(), rect.GetSize(),
          wxLC_REPORT | wxLC_VIRTUAL | wxBORDER_THEME | (singleSelection ? wxLC_SINGLE_SEL : 0)) {
    // The rows are drawn by a child window of the list; the header is another child.
    for (wxWindow* child : GetChildren()) {
        if (static_cast<void*>(child) == static_cast<void*>(m_mainWin)) {
            rowsWindow_ = child;
        }
    }
    if (!rowsWindow_) {
        rowsWindow_ = this;
    }
    rowsWindow_->Bind(wxEVT_LEFT_DOWN, &FwListView::OnRowsLeftDown, this);
}

void FwListView::SetImages(ListImages images) {
    images_ = images;
    if (images == ListImages::None) {
        SetImageList(nullptr, wxIMAGE_LIST_SMALL);
        Refresh();
        return;
    }
    auto* list = new wxImageList(kImageWidth, kImageHeight, true, 1);
    if (images == ListImages::PlaceBid) {
        list->Add(DrawPlaceBidImage());
    } else {
        // A blank image keeps the rows 25 pixels high and shows nothing.
        wxBitmap blank(kImageWidth, kImageHeight, 24);
        {
            wxMemoryDC dc(blank);
            dc.SetBackground(*wxWHITE_BRUSH);
            dc.Clear();
        }
        list->Add(blank, *wxWHITE);
    }
    AssignImageList(list, wxIMAGE_LIST_SMALL);
    Refresh();
}

void FwListView::SetExtendedStyle(uint32_t style) {
    extendedStyle_ = style;
    const bool grid = (style & kListGridLines) != 0;
    SetSingleStyle(wxLC_HRULES, grid);
    SetSingleStyle(wxLC_VRULES, grid);
    Refresh();
}

std::vector<size_t> FwListView::SelectedItems() const {
    std::vector<size_t> items;
    for (long item = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); item != -1;
         item = GetNextItem(item, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) {
        items.push_back(static_cast<size_t>(item));
    }
    return items;
}

void FwListView::ClearSelection() {
    for (size_t item : SelectedItems()) {
        SetItemState(static_cast<long>(item), 0, wxLIST_STATE_SELECTED);
    }
}

void FwListView::HitCell(const wxPoint& point, long& item, long& column) const {
    int flags = 0;
    item = HitTest(point, flags);  // takes the rows window's coordinates
    column = -1;
    if (item == wxNOT_FOUND) {
        item = -1;
        return;
    }
    // Cell rectangles are in the list's own coordinates, below the header.
    const wxPoint inList = ScreenToClient(rowsWindow_->ClientToScreen(point));
    for (int c = 0; c < GetColumnCount(); ++c) {
        wxRect cell;
        if (GetSubItemRect(item, c, cell) && inList.x >= cell.GetLeft() &&
            inList.x <= cell.GetRight()) {
            column = c;
            return;
        }
    }
}

// While the rows window paints, a cell outside the part being painted (a column scrolled off to
// the side) is drawn by no one: its text is not fetched. A text too wide for its column comes cut
// with "..." where the list would cut it, measured from widths taken once, so that the list does
// not measure it again letter by letter.
wxString FwListView::OnGetItemText(long item, long column) const {
    if (!source_ || item < 0 || static_cast<size_t>(item) >= static_cast<size_t>(GetItemCount())) {
        return {};
    }
    const wxRegion& painting = rowsWindow_->GetUpdateRegion();
    wxRect cell;
    if (painting.IsEmpty() || !GetSubItemRect(item, column, cell)) {
        return ToWx(source_->CellText(static_cast<size_t>(item), static_cast<int>(column)));
    }
    const wxRect box = painting.GetBox();
    const int left = cell.x - rowsWindow_->GetPosition().x;
    if (left > box.GetRight() || left + cell.width <= box.x) {
        return {};
    }
    return CutToFit(source_->CellText(static_cast<size_t>(item), static_cast<int>(column)),
                    cell.width - kCellMargins);
}

wxString FwListView::CutToFit(const std::string& text, int width) const {
    if (charWidths_.empty()) {
        wxClientDC dc(rowsWindow_);
        dc.SetFont(rowsWindow_->GetFont());
        wxString printable;
        for (char c = ' '; c <= '~'; ++c) {
            printable += c;
        }
        wxArrayInt ends;
        dc.GetPartialTextExtents(printable, ends);
        for (size_t i = 0; i < ends.size(); ++i) {
            charWidths_.push_back(ends[i] - (i == 0 ? 0 : ends[i - 1]));
        }
        ellipsisWidth_ = 3 * charWidths_['.' - ' '];
    }
    int total = 0;
    size_t fits = 0;  // the letters that fit beside the ellipsis
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] < ' ' || text[i] > '~') {
            return ToWx(text);  // beyond the widths taken: the list measures it itself
        }
        total += charWidths_[static_cast<size_t>(text[i] - ' ')];
        if (total + ellipsisWidth_ <= width) {
            fits = i + 1;
        }
    }
    return total <= width ? ToWx(text) : ToWx(text.substr(0, fits) + "...");
}

int FwListView::OnGetItemImage(long item) const {
    return OnGetItemColumnImage(item, 0);
}

int FwListView::OnGetItemColumnImage(long item, long column) const {
    if (column != 0 || images_ == ListImages::None || !source_ || item < 0) {
        return -1;
    }
    return source_->ItemImage(static_cast<size_t>(item));
}

void FwListView::OnRowsLeftDown(wxMouseEvent& event) {
    long item = -1;
    long column = -1;
    HitCell(event.GetPosition(), item, column);
    event.Skip();  // the list selects the row first, as a click does
    if (onItemClick) {
        CallAfter([this, item, column] {
            if (onItemClick) {
                onItemClick(item, column);
            }
        });
    }
}

}  // namespace fw::wx
