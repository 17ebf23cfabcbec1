// An owner-drawn status bar's painter for the backends' tests: frames each pane and keeps the
// rectangles it was handed on the last paint.
#pragma once

#include <vector>

#include "framework/document.h"

struct BarPainter : fw::StatusBarPainter {
    std::vector<fw::Rect> panes;
    void Paint(fw::Painter& painter, const fw::StatusBar& bar) override {
        panes.clear();
        for (int i = 0; i < bar.PaneCount(); ++i) {
            panes.push_back(bar.ItemRect(i));
            painter.FrameRect(bar.ItemRect(i), {128, 128, 128});
        }
    }
};
