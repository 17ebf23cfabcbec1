#include "host/win32/win32_doc_template.h"

#include <algorithm>

namespace {

constexpr wchar_t kCloserClass[] = L"IpoTerminalCloser";
constexpr UINT kCloseWindow = WM_APP + 1;

}  // namespace

Win32DocTemplate::Win32DocTemplate(MenuWindowClasses classes, HWND owner,
                                   fw::win32::Win32Backend& backend, std::function<RECT()> place)
    : classes_(classes), owner_(owner), backend_(backend), place_(std::move(place)) {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = &Win32DocTemplate::WindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kCloserClass;
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
    closer_ = CreateWindowExW(0, kCloserClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(closer_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32DocTemplate::~Win32DocTemplate() {
    CloseAllDocuments(true);
    DestroyWindow(closer_);
}

LRESULT CALLBACK Win32DocTemplate::WindowProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    auto* owner = reinterpret_cast<Win32DocTemplate*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (owner && message == kCloseWindow) {
        owner->Close(reinterpret_cast<Win32HostWindow*>(lParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool Win32DocTemplate::OpenWindow(std::string& error) {
    PluginWindowParts parts;
    if (!MakePluginWindow(classes_, parts, error)) {
        return false;
    }
    const fw::DialogTemplate* layout = parts.layout;
    fw::CFrameWnd* frame = parts.frame.get();
    fw::CView* view = parts.view.get();
    auto window = std::make_unique<Win32HostWindow>();
    window->frame = std::move(parts.frame);
    window->view = std::move(parts.view);
    window->site = std::make_unique<fw::win32::Win32FrameSite>();
    // Owned by the main window: in front of it, minimised and closed with it. Yet a window of the
    // user's own, with a taskbar button: a window manager skips an owned window without one when
    // it gives the focus back (after a dialog over it closes, it would go to the main window).
    HWND frameWindow = window->site->frame();
    SetWindowLongPtrW(frameWindow, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner_));
    SetWindowLongPtrW(frameWindow, GWL_EXSTYLE,
                      GetWindowLongPtrW(frameWindow, GWL_EXSTYLE) | WS_EX_APPWINDOW);
    window->site->SetTitle(layout->caption ? layout->caption : "");
    Win32HostWindow* opened = window.get();
    window->site->SetCloseHandler([this, opened] { OnFrameClose(opened); });
    windows_.push_back(std::move(window));

    frame->AttachSite(opened->site.get());
    opened->form = backend_.CreateChildForm(opened->site->frame(), *layout, *view);
    opened->site->SetForm(opened->form->window(), opened->form->TemplateSize());
    view->AttachToFrame(opened->form.get(), frame);
    frame->SetActiveView(view);
    // The frame is shown in its place before the view's initial update, which may load data and
    // say something in a message box; the view fits the frame to its form there, and the frame
    // then takes its place again, where the view lays itself out.
    PlaceFrame(opened->site->frame());
    ShowWindow(opened->site->frame(), SW_SHOW);
    SetForegroundWindow(opened->site->frame());
    view->OnInitialUpdate();
    if (opened->site->HasWindow()) {
        PlaceFrame(opened->site->frame());
    }
    return true;
}

void Win32DocTemplate::PlaceFrame(HWND frame) const {
    const RECT area = place_();
    SetWindowPos(frame, nullptr, area.left, area.top, area.right - area.left,
                 area.bottom - area.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32DocTemplate::OnFrameClose(Win32HostWindow* window) {
    if (window->frame->activeView()) {
        window->frame->activeView()->OnUserMessage(kFrameClosingMessage);
    }
    if (window->site->HasWindow()) {
        PostMessageW(closer_, kCloseWindow, 0, reinterpret_cast<LPARAM>(window));
    }
}

void Win32DocTemplate::Close(Win32HostWindow* window) {
    auto found = std::find_if(
        windows_.begin(), windows_.end(),
        [window](const std::unique_ptr<Win32HostWindow>& w) { return w.get() == window; });
    if (found == windows_.end()) {
        return;
    }
    std::unique_ptr<Win32HostWindow> closing = std::move(*found);
    windows_.erase(found);
    // The view goes first (with its dialogs), then its form, the frame object and the window.
    closing->view.reset();
    closing->form.reset();
    closing->frame.reset();
    closing->site->CloseFrame();
}

void Win32DocTemplate::CloseAllDocuments(bool /*endSession*/) {
    while (!windows_.empty()) {
        Close(windows_.back().get());
    }
}
