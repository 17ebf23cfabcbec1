// The MDI child frame both plug-in views live in. It owns the status bar the views write to
// and picks its kind from the user type: the owner-drawn bar for type 23, else the standard one.
#pragma once

#include <memory>
#include <string_view>

#include "framework/document.h"

class CIPOGenericFrame : public fw::CFrameWnd {
  public:
    CIPOGenericFrame();
    ~CIPOGenericFrame() override;

    // Creates the status bar with `panes` panes (at most 14), all with id 0 and no text.
    bool CreateStatusBar(int panes);
    void SetStatusPaneText(int pane, std::string_view text);
    void SetStatusPaneInfo(int pane, int commandId, int style, int width);

    // The window's close request: message 1277 to the active view, then the base close.
    void OnClose();

    // Asks the host to size this frame (the size callback, with 0, 0, 1).
    void ReportSize(int width, int height);

  private:
    struct Bars;
    // The bar of the kind the current user type selects (null before it was created).
    fw::StatusBar* ChosenBar() const;

    std::unique_ptr<Bars> bars_;
};

// The message the frame sends its active view on close (user message base + 253).
constexpr unsigned kFrameClosingMessage = 1277;
