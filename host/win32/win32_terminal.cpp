#include "host/win32/win32_terminal.h"

#include <algorithm>
#include <cstdlib>

#include "framework/win32/win32_text.h"

namespace {

using fw::win32::Narrow;
using fw::win32::Wide;

constexpr wchar_t kMainClass[] = L"IpoTerminalMain";
constexpr int kLogId = 1;
constexpr int kStatusId = 2;

}  // namespace

Win32Terminal::Win32Terminal(TerminalSettings settings, const std::string& programFolder)
    : core_(std::move(settings), programFolder, *this, backend_) {}

Win32Terminal::~Win32Terminal() {
    if (main_) {
        core_.MainWindowClosing();
        SetWindowLongPtrW(main_, GWLP_USERDATA, 0);
        DestroyWindow(main_);
    }
}

void Win32Terminal::BuildMainWindow() {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = &Win32Terminal::WindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kMainClass;
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
    HMENU bar = CreateMenu();
    for (const TerminalMenu& menu : TerminalMenus()) {
        HMENU items = CreatePopupMenu();
        for (const TerminalMenuItem& item : menu.items) {
            AppendMenuW(items, MF_STRING, static_cast<UINT_PTR>(item.id), Wide(item.text).c_str());
        }
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(items), Wide(menu.title).c_str());
    }
    main_ = CreateWindowExW(0, kMainClass, L"IPO Terminal", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                            0, 0, 1240, 860, nullptr, bar, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(main_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    log_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                           WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                               ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                           0, 0, 0, 0, main_, reinterpret_cast<HMENU>(kLogId),
                           GetModuleHandleW(nullptr), nullptr);
    SendMessageW(log_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 TRUE);
    status_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0,
                              0, 0, 0, main_, reinterpret_cast<HMENU>(kStatusId),
                              GetModuleHandleW(nullptr), nullptr);
    Layout();
    ShowWindow(main_, SW_SHOW);
    UpdateWindow(main_);
}

// The log fills the client area above the status line, whose two panes share its width 3:1.
void Win32Terminal::Layout() {
    RECT client{};
    GetClientRect(main_, &client);
    SendMessageW(status_, WM_SIZE, 0, 0);
    RECT bar{};
    GetWindowRect(status_, &bar);
    const int barHeight = bar.bottom - bar.top;
    const int parts[] = {client.right * 3 / 4, -1};
    SendMessageW(status_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    MoveWindow(log_, 0, 0, client.right, std::max<int>(client.bottom - barHeight, 0), TRUE);
}

LRESULT CALLBACK Win32Terminal::WindowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    auto* terminal = reinterpret_cast<Win32Terminal*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (terminal) {
        switch (message) {
            case WM_SIZE:
                terminal->Layout();
                return 0;
            case WM_COMMAND:
                if (HIWORD(wParam) == 0 && lParam == 0) {  // a menu command
                    terminal->core_.OnMenuCommand(LOWORD(wParam));
                    return 0;
                }
                break;
            case WM_CLOSE:
            case WM_ENDSESSION:  // the user signs off: the session ends as Exit ends it
                if (message == WM_ENDSESSION && !wParam) {
                    break;
                }
                terminal->core_.MainWindowClosing();
                SetWindowLongPtrW(window, GWLP_USERDATA, 0);
                terminal->main_ = nullptr;
                terminal->log_ = nullptr;
                terminal->status_ = nullptr;
                DestroyWindow(window);
                return 0;
            default:
                break;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Each window opens a step right of and below the one before, as MDI children cascade, so that
// every open window shows a corner to click.
RECT Win32Terminal::PluginArea() const {
    constexpr int kCascade = 24;
    int open = 0;
    for (uint32_t menuId : kPluginMenus) {
        const Win32DocTemplate* docTemplate = TemplateFor(menuId);
        open += docTemplate ? static_cast<int>(docTemplate->windows().size()) : 0;
    }
    const int step = kCascade * std::max(open - 1, 0);
    RECT area{};
    GetWindowRect(log_, &area);
    area.left = std::min<LONG>(area.left + step, area.right);
    area.top = std::min<LONG>(area.top + step, area.bottom);
    return area;
}

void Win32Terminal::CloseMainWindow() {
    if (main_) {
        PostMessageW(main_, WM_CLOSE, 0, 0);
    }
}

WindowPlace Win32Terminal::MainWindowPlace() const {
    RECT rect{};
    GetWindowRect(main_, &rect);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void Win32Terminal::PlaceMainWindow(const WindowPlace& place) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const RECT wanted{place.x, place.y, place.x + place.width, place.y + place.height};
    RECT within{};
    if (IntersectRect(&within, &wanted, &work)) {
        MoveWindow(main_, within.left, within.top, within.right - within.left,
                   within.bottom - within.top, TRUE);
    }
}

void Win32Terminal::AddLogLine(const std::string& line) {
    if (!log_) {
        return;
    }
    const int end = GetWindowTextLengthW(log_);
    SendMessageW(log_, EM_SETSEL, static_cast<WPARAM>(end), static_cast<LPARAM>(end));
    SendMessageW(log_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(Wide(line + "\r\n").c_str()));
}

void Win32Terminal::SetStatusText(int field, const std::string& text) {
    if (status_) {
        SendMessageW(status_, SB_SETTEXTW, static_cast<WPARAM>(field),
                     reinterpret_cast<LPARAM>(Wide(text).c_str()));
    }
}

std::string Win32Terminal::StatusText(int field) const {
    if (!status_) {
        return {};
    }
    std::wstring text(LOWORD(SendMessageW(status_, SB_GETTEXTLENGTHW, field, 0)) + 1, L'\0');
    SendMessageW(status_, SB_GETTEXTW, field, reinterpret_cast<LPARAM>(text.data()));
    return Narrow(text.c_str());
}

void Win32Terminal::EnableMenuItem(int id, bool enabled) {
    ::EnableMenuItem(GetMenu(main_), static_cast<UINT>(id),
                     MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    DrawMenuBar(main_);
}

bool Win32Terminal::MenuItemEnabled(int id) const {
    const UINT state = GetMenuState(GetMenu(main_), static_cast<UINT>(id), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED));
}

void Win32Terminal::ShowAbout(const std::string& text) {
    MessageBoxW(main_, Wide(text).c_str(), L"About IPO Terminal", MB_OK | MB_ICONINFORMATION);
}

std::unique_ptr<PluginWindows> Win32Terminal::MakeTemplate(const MenuWindowClasses& classes) {
    return std::make_unique<Win32DocTemplate>(classes, main_, backend_,
                                              [this] { return PluginArea(); });
}

// Through the C runtime, which updates the process's environment too: the companion may read
// either.
void Win32Terminal::SetEnvironment(const std::string& name, const std::string& value) {
    _wputenv_s(Wide(name).c_str(), Wide(value).c_str());
}

Win32DocTemplate* Win32Terminal::TemplateFor(uint32_t menuId) const {
    return static_cast<Win32DocTemplate*>(core_.TemplateFor(menuId));
}

void RunTerminalMessages(const Win32Terminal& terminal) {
    MSG message;
    while (terminal.mainWindow() && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!fw::win32::Win32Form::PreTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}
