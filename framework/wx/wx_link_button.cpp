#include "framework/wx/wx_link_button.h"

#include <wx/dcclient.h>

#include <cstdlib>

#include "framework/wx/wx_painter.h"

namespace fw::wx {
namespace {

// Draws as DcPainter does and remembers where the baseline of the text drawn last fell.
class BaselinePainter : public DcPainter {
  public:
    explicit BaselinePainter(wxDC& dc) : DcPainter(dc), dc_(dc) {}
    void DrawText(Point at, Size size, std::string_view text, bool embossed) override {
        DcPainter::DrawText(at, size, text, embossed);
        if (size.width > 0 && size.height > 0) {
            baseline = at.y + dc_.GetFontMetrics().ascent;
        }
    }
    int baseline = -1;

  private:
    wxDC& dc_;
};

}  // namespace

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
    BaselinePainter painter(dc);
    DrawItemInfo info;
    info.itemRect = {0, 0, size.x, size.y};
    info.disabledOnly = !IsEnabled();
    drawer_->DrawItem(painter, info);
    // The drawer places its text in its own font; the link moves (once) so that the text
    // sits on the baseline of the text beside it, as one line of words.
    const int target = rowBaseline && painter.baseline >= 0 ? rowBaseline() : -1;
    const int shift = target < 0 ? 0 : target - (GetPosition().y + painter.baseline);
    if (shift != 0 && std::abs(shift) < size.y) {
        CallAfter([this, shift] { Move(GetPosition().x, GetPosition().y + shift); });
    }
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
