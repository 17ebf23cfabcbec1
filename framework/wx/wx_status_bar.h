// The status bar of a frame: the standard one, or the owner-drawn one that paints its panes
// through a fw::StatusBarPainter after the standard painting.
#pragma once

#include <wx/statusbr.h>

#include <vector>

#include "framework/document.h"

namespace fw::wx {

class FwStatusBar : public wxStatusBar, public StatusBar {
  public:
    FwStatusBar(wxWindow* parent, StatusBarKind kind, StatusBarPainter* painter);

    bool SetPaneCount(int count) override;
    int PaneCount() const override { return GetFieldsCount(); }
    void SetPaneInfo(int pane, int commandId, int style, int width) override;
    void SetPaneText(int pane, std::string_view text) override;
    std::string PaneText(int pane) const override;
    Rect ItemRect(int pane) const override;
    Rect ClientRect() const override;

    StatusBarKind kind() const { return kind_; }

  protected:
    void DrawField(wxDC& dc, int i, int textHeight) override;
    // Repaints a pane at once, as wx does, unless the bar has no room for it yet.
    void DoUpdateStatusText(int pane) override;

  private:
    StatusBarKind kind_;
    StatusBarPainter* painter_;
    std::vector<int> widths_;  // -1 for the pane that stretches
};

}  // namespace fw::wx
