// An owner-drawn status bar's painter for the backends' tests: frames each pane and keeps the
// rectangles it was handed on the last paint.
#pragma once

#include <gtest/gtest.h>

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

// The order book's kind of bar on `site`: three panes (60 and 90 pixels, then one that
// stretches) painted by `painter`, texts in the first and the last. A count beyond the bar's
// limit is refused first. Null when the bar or its three panes cannot be made.
inline fw::StatusBar* ThreePaneBar(fw::FrameSite& site, BarPainter& painter) {
    fw::StatusBar* bar = site.CreateStatusBar(fw::StatusBarKind::OwnerDrawn, &painter);
    if (!bar) {
        return nullptr;
    }
    EXPECT_FALSE(bar->SetPaneCount(15));
    if (!bar->SetPaneCount(3)) {
        return nullptr;
    }
    bar->SetPaneInfo(0, 0, 0, 60);
    bar->SetPaneInfo(1, 0, 0, 90);
    bar->SetPaneInfo(2, 0, fw::kPaneStretch, 10);
    bar->SetPaneText(0, "Filters");
    bar->SetPaneText(2, "No of records : 4");
    return bar;
}
