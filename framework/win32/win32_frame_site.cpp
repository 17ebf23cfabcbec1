#include "framework/win32/win32_frame_site.h"

#include <algorithm>

#include "framework/win32/win32_text.h"

namespace fw::win32 {
namespace {

constexpr wchar_t kFrameClass[] = L"IpoFwFrame";

void RegisterFrameClass(WNDPROC procedure) {
    static const bool registered = [procedure] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kFrameClass;
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

}  // namespace

Win32FrameSite::Win32FrameSite() {
    RegisterFrameClass(&Win32FrameSite::WindowProc);
    frame_ = CreateWindowExW(WS_EX_CONTROLPARENT, kFrameClass, L"",
                             WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                             640, 480, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(frame_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32FrameSite::~Win32FrameSite() {
    CloseFrame();
}

LRESULT CALLBACK Win32FrameSite::WindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    auto* site = reinterpret_cast<Win32FrameSite*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (site) {
        switch (message) {
            case WM_SIZE:
                site->RecalcLayout();
                return 0;
            case WM_CLOSE:
                if (site->closeHandler_) {
                    site->closeHandler_();
                    return 0;
                }
                break;
            case WM_NCDESTROY:
                site->frame_ = nullptr;
                site->form_ = nullptr;
                break;
            default:
                break;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Win32FrameSite::SetForm(HWND form, Size formSize) {
    form_ = form;
    formSize_ = formSize;
    FitToForm();
}

void Win32FrameSite::SetTitle(std::string_view title) {
    SetWindowTextW(frame_, Wide(title).c_str());
}

void Win32FrameSite::RemoveMaximizeBox() {
    SetWindowLongW(frame_, GWL_STYLE, GetWindowLongW(frame_, GWL_STYLE) & ~WS_MAXIMIZEBOX);
    SetWindowPos(frame_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

Size Win32FrameSite::WindowSize() const {
    RECT rect{};
    GetWindowRect(frame_, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// The frame's client area becomes the form's size plus the status bar below it.
void Win32FrameSite::FitToForm() {
    RECT outer{0, 0, formSize_.width, formSize_.height + (statusBar_ ? statusBar_->Height() : 0)};
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongW(frame_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(frame_, GWL_EXSTYLE)));
    SetWindowPos(frame_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RecalcLayout();
}

void Win32FrameSite::RecalcLayout() {
    RECT client{};
    GetClientRect(frame_, &client);
    int bottom = client.bottom;
    if (statusBar_) {
        statusBar_->Resize();
        bottom -= statusBar_->Height();
    }
    if (form_) {
        MoveWindow(form_, 0, 0, client.right, std::max(bottom, 0), TRUE);
    }
}

StatusBar* Win32FrameSite::CreateStatusBar(StatusBarKind kind, StatusBarPainter* painter) {
    auto bar = std::make_unique<Win32StatusBar>(frame_, kind, painter);
    if (!bar->window()) {
        return nullptr;
    }
    statusBar_ = std::move(bar);
    RecalcLayout();
    return statusBar_.get();
}

void Win32FrameSite::PostClose() {
    PostMessageW(frame_, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void Win32FrameSite::CloseFrame() {
    statusBar_.reset();
    if (frame_) {
        SetWindowLongPtrW(frame_, GWLP_USERDATA, 0);
        DestroyWindow(frame_);
        frame_ = nullptr;
        form_ = nullptr;
    }
}

}  // namespace fw::win32
