#include "framework/wx/wx_status_bar.h"

#include "framework/wx/wx_painter.h"
#include "framework/wx/wx_text.h"

namespace fw::wx {
namespace {

constexpr int kTextMargins = 10;

}  // namespace

FwStatusBar::FwStatusBar(wxWindow* parent, StatusBarKind kind, StatusBarPainter* painter)
    : wxStatusBar(parent, wxID_ANY,
                  wxSTB_SHOW_TIPS | wxSTB_ELLIPSIZE_END | wxFULL_REPAINT_ON_RESIZE),
      kind_(kind),
      painter_(painter) {}

bool FwStatusBar::SetPaneCount(int count) {
    if (count < 1 || count > kMaxStatusPanes) {
        return false;
    }
    widths_.assign(static_cast<size_t>(count), -1);
    SetFieldsCount(count, widths_.data());
    for (int pane = 0; pane < count; ++pane) {
        SetStatusText(wxString(), pane);
    }
    return true;
}

void FwStatusBar::SetPaneInfo(int pane, int /*commandId*/, int style, int width) {
    if (pane < 0 || pane >= PaneCount()) {
        return;
    }
    // The width is that of the pane's text; the pane adds its borders and margins to it.
    widths_[static_cast<size_t>(pane)] =
        (style & kPaneStretch) ? -1 : width + 2 * GetBorderX() + kTextMargins;
    SetStatusWidths(PaneCount(), widths_.data());
}

void FwStatusBar::SetPaneText(int pane, std::string_view text) {
    if (pane < 0 || pane >= PaneCount()) {
        return;
    }
    // wx repaints a pane whose text changes; one set to the same text is painted again too, as
    // an owner-drawn bar paints more than its texts.
    const wxString value = ToWx(text);
    if (GetStatusText(pane) == value) {
        DoUpdateStatusText(pane);
    } else {
        SetStatusText(value, pane);
    }
}

void FwStatusBar::DoUpdateStatusText(int pane) {
    // A bar not yet laid out has panes of no (or negative) width: nothing to paint yet.
    wxRect rect;
    if (GetFieldRect(pane, rect) && !rect.IsEmpty()) {
        RefreshRect(rect);
        PaintNow(*this);
    }
}

std::string FwStatusBar::PaneText(int pane) const {
    return pane >= 0 && pane < PaneCount() ? FromWx(GetStatusText(pane)) : std::string();
}

Rect FwStatusBar::ItemRect(int pane) const {
    wxRect rect;
    if (pane < 0 || pane >= PaneCount() || !GetFieldRect(pane, rect)) {
        return {};
    }
    return {rect.GetLeft(), rect.GetTop(), rect.GetRight() + 1, rect.GetBottom() + 1};
}

Rect FwStatusBar::ClientRect() const {
    const wxSize size = GetClientSize();
    return {0, 0, size.x, size.y};
}

void FwStatusBar::DrawField(wxDC& dc, int i, int textHeight) {
    wxStatusBar::DrawField(dc, i, textHeight);
    // The owner-drawn bar paints over the standard painting once the last pane is drawn.
    if (kind_ == StatusBarKind::OwnerDrawn && painter_ && i == PaneCount() - 1) {
        DcPainter painter(dc);
        painter_->Paint(painter, *this);
    }
}

}  // namespace fw::wx
