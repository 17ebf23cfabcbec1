// A button that draws itself through its fw::OwnerDrawn (the link button): hand cursor, and a
// left press that tells the drawer before the owner gets the click.
#pragma once

#include <wx/control.h>

#include <functional>

#include "framework/form.h"

namespace fw::wx {

class FwLinkButton : public wxControl {
  public:
    FwLinkButton(wxWindow* parent, int id, const wxString& label, const wxRect& rect);

    void SetDrawer(OwnerDrawn* drawer);
    OwnerDrawn* drawer() const { return drawer_; }

    // The owner's click handler, called after the drawer has seen the press.
    std::function<void()> onClick;
    // Where the text beside the link sits, as the baseline's y in the parent's client area, or
    // -1 when unknown; the link moves so that the text its drawer draws sits on it.
    std::function<int()> rowBaseline;

  private:
    void OnPaint(wxPaintEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    wxSize DoGetBestSize() const override;

    OwnerDrawn* drawer_ = nullptr;
};

}  // namespace fw::wx
