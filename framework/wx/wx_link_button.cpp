#include "framework/wx/wx_link_button.h"

#include <wx/dcclient.h>

#include "framework/wx/wx_painter.h"

namespace fw::wx {

FwLinkButton::FwLinkButton(wxWindow* parent, int id, const wxString& label, const wxRect& rect)
    : wxControl(parent, id, rect.GetPosition(), rect.GetSize(),
                wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE) {
    SetLabel(label);
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetCursor(wxCursor(wxCURSOR_HAND));
    Bind(wxEVT_PAINT, &FwLinkButton::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &FwLinkButton::OnLeftDown, this);
}

void FwLinkButton::SetDrawer(OwnerDrawn* drawer) {
    drawer_ = drawer;
    Refresh();
}

void FwLinkButton::OnPaint(wxPaintEvent& /*event*/) {
    wxPaintDC dc(this);
    dc.SetBackground(wxBrush(GetParent()->GetBackgroundColour()));
    dc.Clear();
    const wxSize size = GetClientSize();
    if (!drawer_) {
        dc.DrawLabel(GetLabelText(), wxRect(size), wxALIGN_LEFT | wxALIGN_CENTRE_VERTICAL);
        return;
    }
    DcPainter painter(dc);
    DrawItemInfo info;
    info.itemRect = {0, 0, size.x, size.y};
    info.disabledOnly = !IsEnabled();
    drawer_->DrawItem(painter, info);
}

void FwLinkButton::OnLeftDown(wxMouseEvent& /*event*/) {
    if (!IsEnabled()) {
        return;
    }
    if (drawer_) {
        drawer_->OnLeftButtonDown();
    }
    Refresh();
    if (onClick) {
        onClick();
    }
}

wxSize FwLinkButton::DoGetBestSize() const {
    return GetTextExtent(GetLabelText()) + wxSize(4, 2);
}

}  // namespace fw::wx
