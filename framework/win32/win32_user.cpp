#include "framework/win32/win32_user.h"

#include "framework/win32/win32_form.h"
#include "framework/win32/win32_input.h"
#include "framework/win32/win32_text.h"

namespace fw::win32 {
namespace {

constexpr wchar_t kTasksClass[] = L"IpoFwUserTasks";
constexpr UINT kRunTasks = WM_APP + 1;
constexpr UINT_PTR kStepTimer = 1;
// The save dialog's file name box (cmb13) and file type list (cmb1).
constexpr int kFileNameBox = 0x47c;
constexpr int kFileTypeList = 0x470;

std::string TextOf(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

bool IsClass(HWND window, const wchar_t* name) {
    wchar_t found[32] = {};
    return GetClassNameW(window, found, 32) && lstrcmpW(found, name) == 0;
}

// The shown top-level windows of a thread.
std::vector<HWND> ShownWindows(DWORD thread) {
    std::vector<HWND> windows;
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM found) {
            if (IsWindowVisible(window)) {
                reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

HWND ShownPopupMenu() {
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu && IsWindowVisible(menu) ? menu : nullptr;
}

// The input sent has reached the window system, and the queue holds none of it.
bool InputHandled() {
    return input::Arrived() && HIWORD(GetQueueStatus(QS_INPUT)) == 0;
}

}  // namespace

Win32User::Win32User(Win32Backend& backend) : backend_(backend), uiThread_(GetCurrentThreadId()) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &Win32User::WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kTasksClass;
    RegisterClassExW(&windowClass);  // fails harmlessly when a driver before registered it
    tasksWindow_ = CreateWindowExW(0, kTasksClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(tasksWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetTimer(tasksWindow_, kStepTimer, 10, nullptr);
    input::CountArrivals();
}

Win32User::~Win32User() {
    input::StopCounting();
    SetWindowLongPtrW(tasksWindow_, GWLP_USERDATA, 0);
    DestroyWindow(tasksWindow_);
}

LRESULT CALLBACK Win32User::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* user = reinterpret_cast<Win32User*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (user && message == kRunTasks) {
        user->RunTasks();
        return 0;
    }
    if (user && message == WM_TIMER && wParam == kStepTimer) {
        user->RunReadySteps();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Win32User::RunUntil(const std::function<bool()>& done) {
    while (!done()) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!Win32Form::PreTranslate(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// The task goes through the message queue, so that the loop of a modal window, a message box
// or a popup menu runs it as the main loop does.
void Win32User::Post(std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    PostMessageW(tasksWindow_, kRunTasks, 0, 0);
}

void Win32User::RunTasks() {
    for (;;) {
        std::function<void()> task;
        {
            std::lock_guard lock(mutex_);
            if (tasks_.empty()) {
                return;
            }
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
    }
}

bool Win32User::Idle() const {
    const Win32Backend::ShownBox* box = backend_.shownMessageBox();
    const bool boxClosing = box && box->serial == answeredBox_;
    const bool saveClosing = answeredSave_ != 0 && answeredSave_ == backend_.saveDialogShown();
    const bool menuClosing = backend_.shownPopup() && !ShownPopupMenu();
    return InputHandled() && HIWORD(GetQueueStatus(QS_PAINT | QS_POSTMESSAGE)) == 0 &&
           steps_.empty() && !boxClosing && !saveClosing && !menuClosing;
}

void Win32User::Abandon() {
    steps_.clear();
    if (ShownPopupMenu()) {
        EndMenu();
    }
    if (HWND box = MessageBoxWindow()) {
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    if (HWND save = SaveDialogWindow()) {
        PostMessageW(save, WM_COMMAND, IDCANCEL, 0);
    }
    for (HWND window : ShownWindows(uiThread_)) {
        if (Win32Form* form = Win32Form::In(window); form && form->modal()) {
            form->EndDialog(kIdCancel);
        }
    }
}

void Win32User::Then(std::function<bool()> ready, std::function<void()> rest) {
    steps_.push_back({std::move(ready), std::move(rest)});
}

void Win32User::RunReadySteps() {
    while (!steps_.empty() && InputHandled() && steps_.front().ready()) {
        const std::function<void()> rest = std::move(steps_.front().rest);
        steps_.erase(steps_.begin());
        rest();
    }
}

void Win32User::FocusThen(HWND control, std::function<void()> rest) {
    HWND focus = GetFocus();
    if (focus == control || IsChild(control, focus)) {
        rest();
        return;
    }
    input::Click(input::Centre(control));
    // Leaving the box the focus was in may have raised a message box: the user answers it first.
    Then([] { return true; },
         [this, rest = std::move(rest)] {
             if (!backend_.shownMessageBox()) {
                 rest();
             }
         });
}

// ---------------------------------------------------------------- windows

bool Win32User::Use(std::string_view caption) {
    window_ = nullptr;
    for (HWND window : ShownWindows(uiThread_)) {
        if (TextOf(window) == caption) {
            window_ = window;
        }
    }
    if (!window_) {
        return false;
    }
    // In use once it is active (for Windows and for the window manager) and in front where the
    // user clicks into it: frames may overlap, and a window manager may activate a window without
    // raising it.
    const bool inFront = GetAncestor(WindowFromPoint(input::Centre(window_)), GA_ROOT) == window_;
    if (GetForegroundWindow() != window_ || !input::Active(window_) || !inFront) {
        input::Activate(window_);
        return false;
    }
    return true;
}

std::string Win32User::FrontWindow() const {
    HWND front = GetForegroundWindow();
    return front ? TextOf(front) : std::string();
}

Win32Form* Win32User::FormInUse() const {
    return IsWindow(window_) ? Win32Form::Shown(window_) : nullptr;
}

int Win32User::FindControl(std::string_view caption) const {
    const Win32Form* form = FormInUse();
    return form ? ControlWithCaption(*form, form->layout(), caption) : 0;
}

HWND Win32User::Reachable(int id) const {
    const Win32Form* form = FormInUse();
    HWND control = form ? form->control(id) : nullptr;
    return control && IsWindowVisible(control) && IsWindowEnabled(control) ? control : nullptr;
}

ControlKind Win32User::KindOf(int id) const {
    const Win32Form* form = FormInUse();
    for (const ControlEntry& entry :
         form ? form->layout().controls : std::span<const ControlEntry>()) {
        if (entry.id == id) {
            return entry.kind;
        }
    }
    return ControlKind::Static;
}

// ---------------------------------------------------------------- actions

bool Win32User::Click(int id) {
    HWND control = Reachable(id);
    switch (KindOf(id)) {
        case ControlKind::Button:
        case ControlKind::DefaultButton:
        case ControlKind::CheckBox:
        case ControlKind::RadioButton:
        case ControlKind::LinkButton:
            if (!control) {
                return false;
            }
            input::Click(input::Centre(control));
            return true;
        default:
            return false;
    }
}

bool Win32User::Type(int id, std::string_view text) {
    HWND box = Reachable(id);
    if (!box || KindOf(id) != ControlKind::Edit || (GetWindowLongW(box, GWL_STYLE) & ES_READONLY)) {
        return false;
    }
    // Everything in the box is selected and typed over, key by key.
    FocusThen(box, [typed = std::string(text)] {
        input::Key(VK_HOME, input::Modifier::Control);
        input::Key(VK_END, input::Modifier::ControlShift);
        if (typed.empty()) {
            input::Key(VK_DELETE);
        } else {
            input::Type(typed);
        }
    });
    return true;
}

bool Win32User::Choose(int id, std::string_view item) {
    HWND combo = Reachable(id);
    if (!combo || KindOf(id) != ControlKind::ComboDropList) {
        return false;
    }
    const std::wstring wide = Wide(item);
    const auto index =
        static_cast<int>(SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                      reinterpret_cast<LPARAM>(wide.c_str())));
    if (index == CB_ERR) {
        return false;
    }
    // A click drops the list down; a click on the item chooses it.
    input::Click(input::Centre(combo));
    Then([combo] { return IsWindow(combo) && SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0); },
         [combo, index] {
             COMBOBOXINFO info{};
             info.cbSize = sizeof(info);
             GetComboBoxInfo(combo, &info);
             SendMessageW(info.hwndList, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
             RECT entry{};
             SendMessageW(info.hwndList, LB_GETITEMRECT, static_cast<WPARAM>(index),
                          reinterpret_cast<LPARAM>(&entry));
             input::Click(input::Centre(info.hwndList, entry));
         });
    return true;
}

// The picker takes the focus and the day, as the calendar it drops down would give it.
bool Win32User::PickDate(int id, const base::Date& date) {
    Win32Form* form = FormInUse();
    if (!Reachable(id) || KindOf(id) != ControlKind::DatePicker) {
        return false;
    }
    form->SetFocus(id);
    return form->SetDate(id, date);
}

namespace {

// A cell's rectangle in the list's client area, once its row is in view.
RECT CellRect(HWND list, int row, int column) {
    SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    // The first column's label starts after the row's image (the watch list's "Place Bid"
    // button is one): its bounds start at the row's left edge, where a click stays in it.
    RECT cell{};
    cell.top = column;
    cell.left = column == 0 ? LVIR_BOUNDS : LVIR_LABEL;
    SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&cell));
    return cell;
}

// Where a click on a cell lands: a little inside it, half way down.
POINT CellPoint(HWND list, int row, int column) {
    const RECT cell = CellRect(list, row, column);
    POINT at{cell.left + 4, (cell.top + cell.bottom) / 2};
    ClientToScreen(list, &at);
    return at;
}

}  // namespace

bool Win32User::ClickCell(int listId, int row, int column) {
    HWND list = Reachable(listId);
    const Win32Form* form = FormInUse();
    if (!list || KindOf(listId) != ControlKind::ListView || row < 0 ||
        static_cast<size_t>(row) >= form->ListItemCount(listId) || column < 0 ||
        column >= form->ListColumnCount(listId)) {
        return false;
    }
    input::Click(CellPoint(list, row, column));
    return true;
}

bool Win32User::ClickHeader(int listId, int column) {
    HWND list = Reachable(listId);
    if (!list || KindOf(listId) != ControlKind::ListView || column < 0 ||
        column >= FormInUse()->ListColumnCount(listId)) {
        return false;
    }
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    RECT title{};
    SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&title));
    input::Click(input::Centre(header, title));
    return true;
}

bool Win32User::SelectRows(int listId, const std::vector<size_t>& rows) {
    HWND list = Reachable(listId);
    if (!list || KindOf(listId) != ControlKind::ListView || rows.empty()) {
        return false;
    }
    // A click on the first row, Ctrl and a click on each of the others.
    const size_t count = FormInUse()->ListItemCount(listId);
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i] >= count) {
            return false;
        }
        input::Click(CellPoint(list, static_cast<int>(rows[i]), 0), false,
                     i == 0 ? input::Modifier::Plain : input::Modifier::Control);
    }
    return true;
}

bool Win32User::RightClick(int id) {
    HWND control = Reachable(id);
    if (!control) {
        return false;
    }
    POINT at = input::Centre(control);
    if (KindOf(id) == ControlKind::ListView) {
        // On a chosen row (which keeps the choice), else on the blank below the rows.
        const Win32Form* form = FormInUse();
        const std::vector<size_t> chosen = form->ListSelectedItems(id);
        const size_t count = form->ListItemCount(id);
        RECT client{};
        GetClientRect(control, &client);
        if (!chosen.empty()) {
            at = CellPoint(control, static_cast<int>(chosen.front()), 0);
        } else if (count > 0) {
            const RECT last = CellRect(control, static_cast<int>(count - 1), 0);
            if (last.bottom + 8 < client.bottom) {
                at = {last.left + 4, last.bottom + 6};
                ClientToScreen(control, &at);
            }
        }
    }
    input::Click(at, true);
    return true;
}

bool Win32User::Press(Key key) {
    switch (key) {
        case Key::Enter:
            input::Key(VK_RETURN);
            break;
        case Key::Escape:
            input::Key(VK_ESCAPE);
            break;
        case Key::Tab:
            input::Key(VK_TAB);
            break;
    }
    return true;
}

// ---------------------------------------------------------------- looks

bool Win32User::Shown(std::string_view caption) const {
    for (HWND window : ShownWindows(uiThread_)) {
        if (TextOf(window) == caption) {
            return true;
        }
    }
    return false;
}

std::string Win32User::Text(int id) const {
    const Win32Form* form = FormInUse();
    return form ? form->GetText(id) : std::string();
}

bool Win32User::Enabled(int id) const {
    const Win32Form* form = FormInUse();
    return form && form->control(id) && form->IsEnabled(id);
}

bool Win32User::Checked(int id) const {
    const Win32Form* form = FormInUse();
    return form && form->control(id) && form->GetCheck(id);
}

int Win32User::Focused() const {
    const Win32Form* form = FormInUse();
    return form ? form->FocusedControl() : 0;
}

std::vector<std::vector<std::string>> Win32User::Rows(int listId) const {
    std::vector<std::vector<std::string>> rows;
    const Win32Form* form = FormInUse();
    HWND list = form ? form->control(listId) : nullptr;
    if (!list || KindOf(listId) != ControlKind::ListView) {
        return rows;
    }
    const int columns = form->ListColumnCount(listId);
    for (size_t item = 0; item < form->ListItemCount(listId); ++item) {
        std::vector<std::string> row;
        for (int column = 0; column < columns; ++column) {
            wchar_t text[512] = {};
            LVITEMW cell{};
            cell.iSubItem = column;
            cell.pszText = text;
            cell.cchTextMax = 512;
            SendMessageW(list, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&cell));
            row.push_back(Narrow(text));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

// ---------------------------------------------------------------- menus, boxes, dialogs

std::optional<Menu> Win32User::OpenMenu() const {
    const Win32Backend::ShownPopup* shown = backend_.shownPopup();
    if (!shown || !ShownPopupMenu()) {
        return std::nullopt;
    }
    Menu menu{shown->menu->name, {}};
    for (size_t index = 0; index < shown->menu->items.size(); ++index) {
        const auto position = static_cast<UINT>(index);
        wchar_t text[256] = {};
        GetMenuStringW(shown->popup, position, text, 256, MF_BYPOSITION);
        const UINT state = GetMenuState(shown->popup, position, MF_BYPOSITION);
        menu.items.push_back({shown->menu->items[index].id, Narrow(text), !(state & MF_GRAYED),
                              (state & MF_CHECKED) != 0});
    }
    return menu;
}

bool Win32User::ChooseMenuItem(std::string_view text) {
    const std::optional<Menu> menu = OpenMenu();
    for (size_t index = 0; menu && index < menu->items.size(); ++index) {
        if (menu->items[index].text == text && menu->items[index].enabled) {
            RECT item{};
            GetMenuItemRect(nullptr, backend_.shownPopup()->popup, static_cast<UINT>(index), &item);
            input::Click({(item.left + item.right) / 2, (item.top + item.bottom) / 2});
            return true;
        }
    }
    return false;
}

// A box is a dialog of the system's class with an OK button and no file name box.
HWND Win32User::MessageBoxWindow() const {
    if (!backend_.shownMessageBox()) {
        return nullptr;
    }
    for (HWND window : ShownWindows(uiThread_)) {
        if (IsClass(window, L"#32770") && GetDlgItem(window, IDOK) &&
            !GetDlgItem(window, kFileNameBox)) {
            return window;
        }
    }
    return nullptr;
}

HWND Win32User::SaveDialogWindow() const {
    if (!backend_.saveDialogShown()) {
        return nullptr;
    }
    for (HWND window : ShownWindows(uiThread_)) {
        if (IsClass(window, L"#32770") && GetDlgItem(window, kFileNameBox)) {
            return window;
        }
    }
    return nullptr;
}

std::optional<MessageBoxShown> Win32User::OpenMessageBox() const {
    HWND box = MessageBoxWindow();
    if (!box) {
        return std::nullopt;
    }
    const Win32Backend::ShownBox& shown = *backend_.shownMessageBox();
    return MessageBoxShown{shown.text, shown.icon,
                           shown.owner ? TextOf(shown.owner) : std::string(), shown.serial,
                           GetForegroundWindow() == box};
}

bool Win32User::CloseMessageBox() {
    HWND box = MessageBoxWindow();
    if (!box) {
        return false;
    }
    // One click on OK for each box, once the window manager has made it active (before, the click
    // may land on the window below): a click on its way is not repeated.
    const int serial = backend_.shownMessageBox()->serial;
    if (answeredBox_ != serial && input::Active(box)) {
        answeredBox_ = serial;
        input::Click(input::Centre(GetDlgItem(box, IDOK)));
    }
    return true;
}

std::optional<SaveFileRequest> Win32User::OpenSaveDialog() const {
    HWND dialog = SaveDialogWindow();
    if (!dialog || !input::Active(dialog)) {
        return std::nullopt;
    }
    wchar_t folder[MAX_PATH] = {};
    SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
    return SaveFileRequest{"", TextOf(GetDlgItem(dialog, kFileNameBox)),
                           TextOf(GetDlgItem(dialog, kFileTypeList)), Narrow(folder)};
}

bool Win32User::AnswerSaveDialog(std::string_view path) {
    HWND dialog = SaveDialogWindow();
    if (!dialog || answeredSave_ == backend_.saveDialogShown()) {
        return false;
    }
    answeredSave_ = backend_.saveDialogShown();
    // The whole path, in the system's own form (drive and backslashes), is typed over the file
    // name box's text, then Enter.
    HWND name = FindWindowExW(GetDlgItem(dialog, kFileNameBox), nullptr, L"ComboBox", nullptr);
    name = FindWindowExW(name, nullptr, L"Edit", nullptr);
    wchar_t full[MAX_PATH] = {};
    if (!GetFullPathNameW(Wide(path).c_str(), MAX_PATH, full, nullptr)) {
        return false;
    }
    FocusThen(name, [typed = Narrow(full)] {
        input::Key(VK_HOME, input::Modifier::Control);
        input::Key(VK_END, input::Modifier::ControlShift);
        input::Type(typed);
        input::Key(VK_RETURN);
    });
    return true;
}

std::string Win32User::Clipboard() const {
    if (!OpenClipboard(nullptr)) {
        return {};
    }
    std::string text;
    if (HANDLE held = GetClipboardData(CF_UNICODETEXT)) {
        text = Narrow(static_cast<const wchar_t*>(GlobalLock(held)));
        GlobalUnlock(held);
    }
    CloseClipboard();
    return text;
}

}  // namespace fw::win32
