#include "ui/gui_status_bar.h"

#include "ui/system_colours.h"

void CGuiStatusBar::Paint(fw::Painter& painter, const fw::StatusBar& bar) {
    const fw::Rect client = bar.ClientRect();

    // Hide the raised top border.
    painter.FillRect({client.left, client.top, client.right + 50, client.top + 2}, ui::kButtonFace);

    const int panes = bar.PaneCount();
    if (panes < 1) {
        return;
    }
    fw::Rect last{};
    for (int pane = 0; pane < panes; ++pane) {
        const fw::Rect item = bar.ItemRect(pane);
        painter.FrameRect(item, ui::kButtonShadow);
        painter.FrameRect({item.left + 1, item.top + 1, item.right - 1, item.bottom - 1},
                          ui::kButtonFace);
        last = item;
    }
    // Cover the sunken edge right of the last pane.
    for (int width = 2; width <= 4; ++width) {
        painter.FrameRect({last.right, last.top, last.right + width, last.bottom}, ui::kButtonFace);
    }
    // Whatever lies right of the last pane (the size grip's corner) gets the face colour.
    const int reached = last.right + 4;
    if (client.right > reached) {
        painter.FillRect({reached, client.top, client.right, client.top + 10}, ui::kButtonFace);
    }
}
