#include "framework/win32/win32_status_bar.h"

#include <algorithm>

#include "framework/win32/win32_painter.h"
#include "framework/win32/win32_text.h"

namespace fw::win32 {

Win32StatusBar::Win32StatusBar(HWND frame, StatusBarKind kind, StatusBarPainter* painter)
    : bar_(CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, frame,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBarId)),
                           GetModuleHandleW(nullptr), nullptr)),
      painter_(kind == StatusBarKind::OwnerDrawn ? painter : nullptr),
      widths_(1, -1) {
    if (bar_ && painter_) {
        SetWindowSubclass(bar_, &Win32StatusBar::PaintProc, 0, reinterpret_cast<DWORD_PTR>(this));
    }
}

Win32StatusBar::~Win32StatusBar() {
    if (bar_ && painter_) {
        RemoveWindowSubclass(bar_, &Win32StatusBar::PaintProc, 0);
    }
}

LRESULT CALLBACK Win32StatusBar::PaintProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR /*subclass*/, DWORD_PTR data) {
    const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    if (message == WM_PAINT) {
        auto* bar = reinterpret_cast<Win32StatusBar*>(data);
        HDC dc = GetDC(window);
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
        {
            GdiPainter painter(dc);
            bar->painter_->Paint(painter, *bar);
        }
        ReleaseDC(window, dc);
    }
    return result;
}

void Win32StatusBar::Resize() {
    SendMessageW(bar_, WM_SIZE, 0, 0);
    ApplyWidths();
}

int Win32StatusBar::Height() const {
    RECT rect{};
    GetWindowRect(bar_, &rect);
    return rect.bottom - rect.top;
}

bool Win32StatusBar::SetPaneCount(int count) {
    if (count < 1 || count > kMaxStatusPanes) {
        return false;
    }
    widths_.assign(static_cast<size_t>(count), 0);
    widths_.back() = -1;
    ApplyWidths();
    return true;
}

void Win32StatusBar::SetPaneInfo(int pane, int /*commandId*/, int style, int width) {
    if (pane < 0 || pane >= PaneCount()) {
        return;
    }
    widths_[static_cast<size_t>(pane)] = (style & kPaneStretch) ? -1 : width;
    ApplyWidths();
}

// A pane is its width plus the bar's borders around its text; the stretching pane (the last
// one when none stretches) takes the width the others leave.
void Win32StatusBar::ApplyWidths() {
    int borders[3] = {};
    SendMessageW(bar_, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    const int margin = 2 * borders[0] + borders[2];
    RECT client{};
    GetClientRect(bar_, &client);
    int fixed = 0;
    for (int width : widths_) {
        fixed += width < 0 ? 0 : width + margin;
    }
    std::vector<int> edges;
    int right = 0;
    for (int width : widths_) {
        right +=
            width < 0 ? std::max(static_cast<int>(client.right) - fixed, margin) : width + margin;
        edges.push_back(right);
    }
    SendMessageW(bar_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

void Win32StatusBar::SetPaneText(int pane, std::string_view text) {
    SendMessageW(bar_, SB_SETTEXTW, static_cast<WPARAM>(pane),
                 reinterpret_cast<LPARAM>(Wide(text).c_str()));
}

std::string Win32StatusBar::PaneText(int pane) const {
    const auto length = LOWORD(SendMessageW(bar_, SB_GETTEXTLENGTHW, static_cast<WPARAM>(pane), 0));
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(bar_, SB_GETTEXTW, static_cast<WPARAM>(pane),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return Narrow(text);
}

Rect Win32StatusBar::ItemRect(int pane) const {
    RECT rect{};
    SendMessageW(bar_, SB_GETRECT, static_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(&rect));
    return {rect.left, rect.top, rect.right, rect.bottom};
}

Rect Win32StatusBar::ClientRect() const {
    RECT rect{};
    GetClientRect(bar_, &rect);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace fw::win32
