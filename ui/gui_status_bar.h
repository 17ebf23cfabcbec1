// A status bar with flat pane borders: the backend paints the bar as usual, then this painter
// flattens the top edge and the pane frames with the button-face colour.
#pragma once

#include "framework/document.h"

class CGuiStatusBar : public fw::StatusBarPainter {
  public:
    void Paint(fw::Painter& painter, const fw::StatusBar& bar) override;
};
