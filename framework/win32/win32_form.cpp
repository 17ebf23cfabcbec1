#include "framework/win32/win32_form.h"

#include <algorithm>
#include <cmath>

#include "framework/win32/win32_painter.h"
#include "framework/win32/win32_text.h"

namespace fw::win32 {
namespace {

constexpr wchar_t kFormClass[] = L"IpoFwForm";
constexpr int kImageWidth = 75;
constexpr int kImageHeight = 25;

HINSTANCE Instance() {
    return GetModuleHandleW(nullptr);
}

void RegisterFormClass(WNDPROC procedure) {
    static const bool registered = [procedure] {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_DATE_CLASSES |
                                                            ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = Instance();
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kFormClass;
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

// The window class and styles of a control of the layout.
struct NativeControl {
    const wchar_t* windowClass;
    DWORD style;
    DWORD extendedStyle;
};

NativeControl NativeOf(const ControlEntry& entry) {
    const uint32_t s = entry.style;
    DWORD style = WS_CHILD;
    style |= (s & kStyleHidden) ? 0 : WS_VISIBLE;
    style |= (s & kStyleDisabled) ? WS_DISABLED : 0;
    style |= (s & kStyleGroup) ? WS_GROUP : 0;
    const DWORD border = (s & kStyleBorder) ? WS_EX_CLIENTEDGE : 0;
    switch (entry.kind) {
        case ControlKind::Static:
            return {L"STATIC", style | ((s & kStyleCentered) ? SS_CENTER : SS_LEFT), 0};
        case ControlKind::GroupBox:
            return {L"BUTTON", style | BS_GROUPBOX, 0};
        case ControlKind::Edit:
            style |= WS_TABSTOP | ((s & kStyleAutoHScroll) ? ES_AUTOHSCROLL : 0);
            style |= (s & kStyleMultiLine) ? ES_MULTILINE | ES_AUTOVSCROLL : 0;
            style |= (s & kStyleUppercase) ? ES_UPPERCASE : 0;
            style |= (s & kStyleReadOnly) ? ES_READONLY : 0;
            style |= (s & kStylePassword) ? ES_PASSWORD : 0;
            return {L"EDIT", style, border};
        case ControlKind::Button:
            return {L"BUTTON", style | WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY, 0};
        case ControlKind::DefaultButton:
            return {L"BUTTON", style | WS_TABSTOP | BS_DEFPUSHBUTTON | BS_NOTIFY, 0};
        case ControlKind::CheckBox:
            return {L"BUTTON", style | WS_TABSTOP | BS_AUTOCHECKBOX | BS_NOTIFY, 0};
        case ControlKind::RadioButton:
            return {L"BUTTON",
                    style | BS_AUTORADIOBUTTON | BS_NOTIFY | ((s & kStyleGroup) ? WS_TABSTOP : 0),
                    0};
        case ControlKind::ComboDropList:
            return {WC_COMBOBOXW,
                    style | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST |
                        ((s & kStyleSorted) ? CBS_SORT : 0),
                    0};
        case ControlKind::DatePicker:
            return {DATETIMEPICK_CLASSW,
                    style | WS_TABSTOP | ((s & kStyleShortDate) ? DTS_SHORTDATEFORMAT : 0) |
                        ((s & kStyleCalendarRight) ? DTS_RIGHTALIGN : 0),
                    0};
        case ControlKind::ListView:
            return {WC_LISTVIEWW,
                    style | WS_TABSTOP | LVS_OWNERDATA | LVS_SHOWSELALWAYS |
                        ((s & kStyleReport) ? LVS_REPORT : 0) |
                        ((s & kStyleSingleSel) ? LVS_SINGLESEL : 0),
                    border};
        case ControlKind::LinkButton:  // a tab stop only where the layout marks it so
            return {L"BUTTON", style | ((s & kStyleTabStop) ? WS_TABSTOP : 0) | BS_OWNERDRAW, 0};
    }
    return {L"STATIC", style, 0};
}

DWORD ToNativeListStyle(uint32_t style) {
    return ((style & kListGridLines) ? LVS_EX_GRIDLINES : 0) |
           ((style & kListFullRowSelect) ? LVS_EX_FULLROWSELECT : 0) |
           ((style & kListHeaderDragDrop) ? LVS_EX_HEADERDRAGDROP : 0);
}

// The 75 x 25 "Place Bid" image: a blue button face with a white caption, on white, which the
// image list shows as transparent.
HBITMAP DrawPlaceBidImage(HDC screen, HFONT font) {
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, kImageWidth, kImageHeight);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    GdiPainter painter(dc);
    painter.FillRect({0, 0, kImageWidth, kImageHeight}, {255, 255, 255});
    painter.FillRect({1, 1, kImageWidth - 1, kImageHeight - 1}, {0, 70, 200});
    painter.FrameRect({1, 1, kImageWidth - 1, kImageHeight - 1}, {0, 40, 140});
    SelectObject(dc, font);
    painter.SetTextColour({255, 255, 255});
    painter.SetTransparentBackground(true);
    const Size text = painter.MeasureText("Place Bid");
    painter.DrawText({(kImageWidth - text.width) / 2, (kImageHeight - text.height) / 2}, text,
                     "Place Bid", false);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return bitmap;
}

// Whether the date is a real day of the calendar from 1 January 1970 on.
bool IsPickable(const base::Date& date) {
    static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (date.year < 1970 || date.month < 1 || date.month > 12 || date.day < 1 ||
        date.day > kDays[date.month - 1]) {
        return false;
    }
    const bool leap = (date.year % 4 == 0 && date.year % 100 != 0) || date.year % 400 == 0;
    return date.month != 2 || date.day <= 28 || leap;
}

}  // namespace

Win32Form::Win32Form(const DialogTemplate& layout, FormEvents& events, HWND parent)
    : layout_(layout), events_(&events), caption_(layout.caption ? layout.caption : "") {
    RegisterFormClass(&Win32Form::WindowProc);
    BuildWindow(parent);
}

Win32Form::~Win32Form() {
    events_ = nullptr;
    if (window_) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    for (auto& [id, list] : lists_) {
        if (list.images) {
            ImageList_Destroy(list.images);
        }
    }
    DeleteObject(font_);
}

// Dialog units are the layout font's average character width / 4 and height / 8.
void Win32Form::MeasureFont() {
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(layout_.pointSize, GetDeviceCaps(screen, LOGPIXELSY), 72);
    font_ = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_DONTCARE, Wide(layout_.fontName).c_str());
    HGDIOBJ previous = SelectObject(screen, font_);
    static const wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE extent{};
    TEXTMETRICW metrics{};
    if (GetTextExtentPoint32W(screen, kLetters, 52, &extent) && GetTextMetricsW(screen, &metrics)) {
        baseX_ = (extent.cx / 26 + 1) / 2;
        baseY_ = metrics.tmHeight;
    }
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
}

namespace {

// The room a control leaves its caption: its width less a check box's box or a button's edges.
int CaptionRoom(const ControlEntry& entry, int width) {
    switch (entry.kind) {
        case ControlKind::CheckBox:
        case ControlKind::RadioButton:
            return width - GetSystemMetrics(SM_CXMENUCHECK) - GetSystemMetrics(SM_CXEDGE);
        case ControlKind::Button:
        case ControlKind::DefaultButton:
        case ControlKind::GroupBox:
            return width - 4 * GetSystemMetrics(SM_CXEDGE);
        default:
            return width;
    }
}

}  // namespace

// The layouts were drawn for the system's dialog face; where another face stands in for it and
// draws a caption wider than its control, the whole form widens evenly until every caption
// fits, so that positions keep their proportions.
void Win32Form::GrowToFit() {
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, font_);
    for (const ControlEntry& entry : layout_.controls) {
        const bool captioned =
            entry.kind == ControlKind::Static || entry.kind == ControlKind::Button ||
            entry.kind == ControlKind::DefaultButton || entry.kind == ControlKind::CheckBox ||
            entry.kind == ControlKind::RadioButton || entry.kind == ControlKind::GroupBox;
        const std::wstring caption = Wide(entry.text ? entry.text : "");
        SIZE extent{};
        if (!captioned || caption.empty() ||
            !GetTextExtentPoint32W(screen, caption.c_str(), static_cast<int>(caption.size()),
                                   &extent)) {
            continue;
        }
        // Grows in steps of a hundredth until the caption fits its room.
        while (CaptionRoom(entry, DialogUnitsToPixels({entry.width, 0}).width) < extent.cx &&
               growX_ < 2.0) {
            growX_ += 0.01;
        }
    }
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
}

void Win32Form::BuildWindow(HWND parent) {
    MeasureFont();
    GrowToFit();
    // Not clipping its children: group boxes are transparent, the form paints behind them.
    DWORD style = 0;
    DWORD extendedStyle = WS_EX_CONTROLPARENT;
    switch (layout_.kind) {
        case FormKind::ChildForm:
            style |= parent ? WS_CHILD | WS_VISIBLE : WS_OVERLAPPEDWINDOW;
            break;
        case FormKind::PopupDialog:
            style |= WS_POPUP | WS_CAPTION;
            extendedStyle |= WS_EX_DLGMODALFRAME;
            break;
        case FormKind::ModalDialog:
            style |= WS_POPUP | WS_CAPTION | WS_SYSMENU;
            extendedStyle |= WS_EX_DLGMODALFRAME;
            break;
    }
    const Size client = TemplateSize();
    RECT outer{0, 0, client.width, client.height};
    AdjustWindowRectEx(&outer, style, FALSE, extendedStyle);
    window_ = CreateWindowExW(extendedStyle, kFormClass, Wide(caption_).c_str(), style,
                              (style & WS_CHILD) ? 0 : CW_USEDEFAULT,
                              (style & WS_CHILD) ? 0 : CW_USEDEFAULT, outer.right - outer.left,
                              outer.bottom - outer.top, parent, nullptr, Instance(), nullptr);
    if (!window_) {
        return;
    }
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    for (const ControlEntry& entry : layout_.controls) {
        CreateControl(entry);
    }
}

void Win32Form::CreateControl(const ControlEntry& entry) {
    const NativeControl native = NativeOf(entry);
    const Size at = DialogUnitsToPixels({entry.x, entry.y});
    const Size size = DialogUnitsToPixels({entry.width, entry.height});
    HWND control = CreateWindowExW(
        native.extendedStyle, native.windowClass, Wide(entry.text ? entry.text : "").c_str(),
        native.style, at.width, at.height, size.width, size.height, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.id)), Instance(), nullptr);
    if (!control) {
        return;
    }
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    controls_[entry.id] = control;
    kinds_[entry.id] = entry.kind;
    if (entry.kind == ControlKind::ListView) {
        lists_[entry.id] = ListState{};
    } else if (entry.kind == ControlKind::LinkButton) {
        SetWindowSubclass(control, &Win32Form::LinkProc, 0, reinterpret_cast<DWORD_PTR>(this));
    }
}

Win32Form* Win32Form::In(HWND window) {
    wchar_t name[16] = {};
    if (!window || !GetClassNameW(window, name, 16) || lstrcmpW(name, kFormClass) != 0) {
        return nullptr;
    }
    return reinterpret_cast<Win32Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

Win32Form* Win32Form::Shown(HWND top) {
    Win32Form* form = In(top);
    return form ? form : In(FindWindowExW(top, nullptr, kFormClass, nullptr));
}

HWND Win32Form::control(int id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : found->second;
}

Size Win32Form::TemplateSize() const {
    return DialogUnitsToPixels({layout_.width, layout_.height});
}

LRESULT Win32Form::Send(int id, UINT message, WPARAM wParam, LPARAM lParam) const {
    HWND target = control(id);
    return target ? SendMessageW(target, message, wParam, lParam) : 0;
}

Win32Form::ListState* Win32Form::List(int id) {
    const auto found = lists_.find(id);
    return found == lists_.end() ? nullptr : &found->second;
}

const Win32Form::ListState* Win32Form::List(int id) const {
    const auto found = lists_.find(id);
    return found == lists_.end() ? nullptr : &found->second;
}

// The layout control a window belongs to (a combo box's edit, a list's header), or 0.
int Win32Form::ControlIdOf(HWND window) const {
    while (window && GetParent(window) != window_) {
        if (window == window_) {
            return 0;
        }
        window = GetParent(window);
    }
    if (!window) {
        return 0;
    }
    const int id = GetDlgCtrlID(window);
    return controls_.count(id) ? id : 0;
}

// ---------------------------------------------------------------- messages

LRESULT CALLBACK Win32Form::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* form = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return form->Handle(message, wParam, lParam);
}

LRESULT Win32Form::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommandMessage(wParam, lParam);
            return 0;
        case WM_NOTIFY:
            return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_DRAWITEM:
            OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_CONTEXTMENU:
            if (events_) {
                events_->OnContextMenu(ControlIdOf(reinterpret_cast<HWND>(wParam)));
            }
            return 0;
        case WM_SIZE:
            if (events_) {
                events_->OnSize({LOWORD(lParam), HIWORD(lParam)});
            }
            return 0;
        case WM_CLOSE:
            Cancel();
            return 0;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void Win32Form::OnCommandMessage(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (!events_) {
        return;
    }
    // The keyboard's Enter and Esc come without a control (IsDialogMessage sends them).
    if (lParam == 0) {
        if (id == IDOK) {
            events_->OnOK();
        } else if (id == IDCANCEL) {
            Cancel();
        }
        return;
    }
    switch (code) {
        case BN_CLICKED:
            events_->OnCommand(id);
            break;
        case CBN_SELCHANGE:
            if (kinds_[id] == ControlKind::ComboDropList) {
                events_->OnSelChange(id);
            }
            break;
        case BN_KILLFOCUS:
        case EN_KILLFOCUS:
            events_->OnKillFocus(id);
            break;
        case CBN_KILLFOCUS:
            if (kinds_[id] == ControlKind::ComboDropList) {
                events_->OnKillFocus(id);
            }
            break;
        default:
            break;
    }
}

LRESULT Win32Form::OnNotify(const NMHDR& header) {
    const int id = static_cast<int>(header.idFrom);
    if (!events_ || control(id) != header.hwndFrom) {
        return 0;
    }
    switch (header.code) {
        case LVN_GETDISPINFOW: {
            auto& info = reinterpret_cast<NMLVDISPINFOW&>(const_cast<NMHDR&>(header)).item;
            ListState* list = List(id);
            if (!list || !list->source || info.iItem < 0) {
                return 0;
            }
            const auto item = static_cast<size_t>(info.iItem);
            if ((info.mask & LVIF_TEXT) && info.pszText && info.cchTextMax > 0) {
                list->cell = Wide(list->source->CellText(item, info.iSubItem));
                lstrcpynW(info.pszText, list->cell.c_str(), info.cchTextMax);
            }
            if (info.mask & LVIF_IMAGE) {
                info.iImage = info.iSubItem == 0 ? list->source->ItemImage(item) : -1;
            }
            return 0;
        }
        case LVN_COLUMNCLICK:
            events_->OnColumnClick(id, reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
            return 0;
        case LVN_ITEMCHANGED: {
            const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
            if (change.iItem >= 0 && (change.uNewState & LVIS_SELECTED) &&
                !(change.uOldState & LVIS_SELECTED)) {
                events_->OnItemChanged(id, change.iItem, 0);
            }
            return 0;
        }
        case NM_CLICK: {
            const auto& click = reinterpret_cast<const NMITEMACTIVATE&>(header);
            if (kinds_[id] == ControlKind::ListView && click.iItem >= 0) {
                events_->OnItemClick(id, click.iItem, click.iSubItem);
            }
            return 0;
        }
        case NM_KILLFOCUS:
            events_->OnKillFocus(id);
            return 0;
        default:
            return 0;
    }
}

void Win32Form::OnDrawItem(const DRAWITEMSTRUCT& item) {
    const auto drawer = drawers_.find(static_cast<int>(item.CtlID));
    if (drawer == drawers_.end() || !drawer->second) {
        return;
    }
    GdiPainter painter(item.hDC);
    SelectObject(item.hDC, font_);
    const RECT& r = item.rcItem;
    drawer->second->DrawItem(painter,
                             {{r.left, r.top, r.right, r.bottom}, item.itemState == ODS_DISABLED});
}

// The press reaches the link's drawer before the button reports its click.
LRESULT CALLBACK Win32Form::LinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR /*subclass*/, DWORD_PTR data) {
    if (message == WM_LBUTTONDOWN) {
        auto* form = reinterpret_cast<Win32Form*>(data);
        const auto drawer = form->drawers_.find(GetDlgCtrlID(window));
        if (drawer != form->drawers_.end() && drawer->second) {
            drawer->second->OnLeftButtonDown();
        }
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, &Win32Form::LinkProc, 0);
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

// Esc or the close box: the owner hears of it; a dialog its owner did not end ends with
// Cancel (modal) or hides (popup), as dialogs do.
void Win32Form::Cancel() {
    if (events_) {
        events_->OnCancel();
    }
    if (ended_ || layout_.kind == FormKind::ChildForm) {
        return;
    }
    if (modal_) {
        EndDialog(kIdCancel);
    } else {
        ::ShowWindow(window_, SW_HIDE);
    }
}

// The keys go to the outermost form around the window they are for: a dialog, or a child form
// inside a frame.
bool Win32Form::PreTranslate(MSG& message) {
    HWND form = nullptr;
    for (HWND window = message.hwnd; window; window = GetAncestor(window, GA_PARENT)) {
        form = In(window) ? window : form;
    }
    return form && IsDialogMessageW(form, &message) != FALSE;
}

int Win32Form::RunModal() {
    HWND owner = GetWindow(window_, GW_OWNER);
    if (owner) {
        EnableWindow(owner, FALSE);
    }
    modal_ = true;
    ended_ = false;
    ::ShowWindow(window_, SW_SHOW);
    MSG message;
    while (!ended_ && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!PreTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (owner) {
        EnableWindow(owner, TRUE);
        SetActiveWindow(owner);
    }
    ::ShowWindow(window_, SW_HIDE);
    modal_ = false;
    return result_;
}

// ---------------------------------------------------------------- the window itself

void Win32Form::SetCaption(std::string_view text) {
    caption_ = text;
    SetWindowTextW(window_, Wide(text).c_str());
}

std::string Win32Form::Caption() const {
    return caption_;
}

void Win32Form::ShowWindow(bool show) {
    if (show) {
        ended_ = false;
    }
    ::ShowWindow(window_, show ? SW_SHOW : SW_HIDE);
}

bool Win32Form::IsWindowVisible() const {
    return ::IsWindowVisible(window_) != FALSE;
}

void Win32Form::MoveTo(Point screenPosition) {
    POINT at{screenPosition.x, screenPosition.y};
    if (HWND parent = GetParent(window_);
        parent && (GetWindowLongW(window_, GWL_STYLE) & WS_CHILD)) {
        ScreenToClient(parent, &at);
    }
    SetWindowPos(window_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Point Win32Form::Position() const {
    RECT rect{};
    GetWindowRect(window_, &rect);
    return {rect.left, rect.top};
}

Size Win32Form::ClientSize() const {
    RECT rect{};
    GetClientRect(window_, &rect);
    return {rect.right, rect.bottom};
}

Size Win32Form::DialogUnitsToPixels(Size units) const {
    return {static_cast<int>(std::lround(units.width * baseX_ * growX_ / 4.0)),
            MulDiv(units.height, baseY_, 8)};
}

void Win32Form::EndDialog(int result) {
    result_ = result;
    ended_ = true;
    if (modal_) {
        PostMessageW(window_, WM_NULL, 0, 0);  // wakes the modal loop
    } else {
        ::ShowWindow(window_, SW_HIDE);
    }
}

void Win32Form::Repaint() {
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// ---------------------------------------------------------------- any control

std::string Win32Form::GetText(int id) const {
    HWND target = control(id);
    if (!target) {
        return {};
    }
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(target)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(target, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

void Win32Form::SetText(int id, std::string_view text) {
    if (HWND target = control(id)) {
        SetWindowTextW(target, Wide(text).c_str());
    }
}

void Win32Form::Enable(int id, bool enable) {
    if (HWND target = control(id)) {
        EnableWindow(target, enable);
    }
}

bool Win32Form::IsEnabled(int id) const {
    HWND target = control(id);
    return target && IsWindowEnabled(target);
}

void Win32Form::Show(int id, bool show) {
    if (HWND target = control(id)) {
        ::ShowWindow(target, show ? SW_SHOWNA : SW_HIDE);
    }
}

bool Win32Form::IsVisible(int id) const {
    HWND target = control(id);
    return target && (GetWindowLongW(target, GWL_STYLE) & WS_VISIBLE);
}

void Win32Form::SetFocus(int id) {
    if (HWND target = control(id)) {
        ::SetFocus(target);
    }
}

int Win32Form::FocusedControl() const {
    return ControlIdOf(GetFocus());
}

Rect Win32Form::ControlRect(int id) const {
    HWND target = control(id);
    if (!target) {
        return {};
    }
    RECT rect{};
    GetWindowRect(target, &rect);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

void Win32Form::MoveControl(int id, const Rect& rect) {
    if (HWND target = control(id)) {
        MoveWindow(target, rect.left, rect.top, rect.Width(), rect.Height(), TRUE);
    }
}

void Win32Form::ResizeControl(int id, Size pixels) {
    if (HWND target = control(id)) {
        SetWindowPos(target, nullptr, 0, 0, pixels.width, pixels.height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

int Win32Form::TextWidth(int id, std::string_view text) const {
    HWND target = control(id);
    if (!target) {
        return 0;
    }
    HDC dc = GetDC(target);
    HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(target, WM_GETFONT, 0, 0)));
    const std::wstring wide = Wide(text);
    SIZE extent{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent);
    SelectObject(dc, previous);
    ReleaseDC(target, dc);
    return extent.cx;
}

void Win32Form::LimitText(int id, int maxCharacters) {
    Send(id, EM_LIMITTEXT, static_cast<WPARAM>(maxCharacters));
}

void Win32Form::SetCheck(int id, bool checked) {
    Send(id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool Win32Form::GetCheck(int id) const {
    return Send(id, BM_GETCHECK) == BST_CHECKED;
}

// ---------------------------------------------------------------- drop-down lists

void Win32Form::ComboReset(int id) {
    Send(id, CB_RESETCONTENT);
}

int Win32Form::ComboAdd(int id, std::string_view text) {
    const std::wstring wide = Wide(text);
    return static_cast<int>(Send(id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str())));
}

int Win32Form::ComboCount(int id) const {
    return static_cast<int>(Send(id, CB_GETCOUNT));
}

std::string Win32Form::ComboItem(int id, int index) const {
    const LRESULT length = Send(id, CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
    if (length == CB_ERR) {
        return {};
    }
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    Send(id, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return Narrow(text);
}

int Win32Form::ComboSelection(int id) const {
    return static_cast<int>(Send(id, CB_GETCURSEL));
}

void Win32Form::ComboSetSelection(int id, int index) {
    Send(id, CB_SETCURSEL, static_cast<WPARAM>(index));
}

int Win32Form::ComboSelectPrefix(int id, std::string_view text) {
    const std::wstring wide = Wide(text);
    const auto found = static_cast<int>(
        Send(id, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(wide.c_str())));
    if (found == CB_ERR) {
        return -1;
    }
    Send(id, CB_SETCURSEL, static_cast<WPARAM>(found));
    return found;
}

void Win32Form::ComboSetDroppedWidth(int id, int pixels) {
    Send(id, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(pixels));
}

// ---------------------------------------------------------------- date pickers

base::Date Win32Form::GetDate(int id) const {
    SYSTEMTIME time{};
    if (Send(id, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) != GDT_VALID) {
        return {};
    }
    return {time.wYear, time.wMonth, time.wDay};
}

bool Win32Form::SetDate(int id, const base::Date& date) {
    if (!IsPickable(date)) {
        return false;
    }
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(date.year);
    time.wMonth = static_cast<WORD>(date.month);
    time.wDay = static_cast<WORD>(date.day);
    return Send(id, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time)) != 0;
}

// ---------------------------------------------------------------- list views

void Win32Form::ListSetSource(int id, const ListSource* source) {
    if (ListState* list = List(id)) {
        list->source = source;
        ListRefresh(id);
    }
}

void Win32Form::ListInsertColumn(int id, int column, std::string_view title, int width) {
    std::wstring wide = Wide(title);
    LVCOLUMNW entry{};
    entry.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    entry.pszText = wide.data();
    entry.cx = width;
    entry.iSubItem = column;
    Send(id, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&entry));
}

int Win32Form::ListColumnCount(int id) const {
    HWND header = reinterpret_cast<HWND>(Send(id, LVM_GETHEADER));
    return header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

std::string Win32Form::ListColumnTitle(int id, int column) const {
    wchar_t title[256] = {};
    LVCOLUMNW entry{};
    entry.mask = LVCF_TEXT;
    entry.pszText = title;
    entry.cchTextMax = 256;
    if (!Send(id, LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&entry))) {
        return {};
    }
    return Narrow(title);
}

void Win32Form::ListSetColumnWidth(int id, int column, int width) {
    Send(id, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0));
}

int Win32Form::ListColumnWidth(int id, int column) const {
    return static_cast<int>(Send(id, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column)));
}

void Win32Form::ListAutoSizeColumnToHeader(int id, int column) {
    Send(id, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
         MAKELPARAM(LVSCW_AUTOSIZE_USEHEADER, 0));
}

void Win32Form::ListSetItemCount(int id, size_t count) {
    Send(id, LVM_SETITEMCOUNT, count, 0);
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    Send(id, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
}

size_t Win32Form::ListItemCount(int id) const {
    return static_cast<size_t>(Send(id, LVM_GETITEMCOUNT));
}

std::vector<size_t> Win32Form::ListSelectedItems(int id) const {
    std::vector<size_t> selected;
    auto item = static_cast<int>(Send(id, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    while (item >= 0) {
        selected.push_back(static_cast<size_t>(item));
        item =
            static_cast<int>(Send(id, LVM_GETNEXTITEM, static_cast<WPARAM>(item), LVNI_SELECTED));
    }
    return selected;
}

void Win32Form::ListSelect(int id, size_t item, bool selected) {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    state.state = selected ? LVIS_SELECTED : 0;
    Send(id, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&state));
}

void Win32Form::ListSetExtendedStyle(int id, uint32_t add, uint32_t remove) {
    ListState* list = List(id);
    if (!list) {
        return;
    }
    list->style = (list->style | add) & ~remove;
    const DWORD mask = ToNativeListStyle(add | remove);
    Send(id, LVM_SETEXTENDEDLISTVIEWSTYLE, mask, static_cast<LPARAM>(ToNativeListStyle(add)));
}

uint32_t Win32Form::ListExtendedStyle(int id) const {
    const ListState* list = List(id);
    return list ? list->style : 0;
}

void Win32Form::ListSetImages(int id, ListImages images) {
    ListState* list = List(id);
    if (!list) {
        return;
    }
    HIMAGELIST made = nullptr;
    if (images != ListImages::None) {
        made = ImageList_Create(kImageWidth, kImageHeight, ILC_COLOR24 | ILC_MASK, 1, 0);
        if (images == ListImages::PlaceBid) {
            HDC screen = GetDC(nullptr);
            HBITMAP image = DrawPlaceBidImage(screen, font_);
            ReleaseDC(nullptr, screen);
            ImageList_AddMasked(made, image, RGB(255, 255, 255));
            DeleteObject(image);
        }
    }
    Send(id, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(made));
    if (list->images) {
        ImageList_Destroy(list->images);
    }
    list->images = made;
}

void Win32Form::ListRefresh(int id) {
    if (HWND target = control(id)) {
        InvalidateRect(target, nullptr, TRUE);
    }
}

// ---------------------------------------------------------------- owner-drawn controls, tips

void Win32Form::SetOwnerDrawn(int id, OwnerDrawn* drawer) {
    drawers_[id] = drawer;
    if (HWND target = control(id)) {
        InvalidateRect(target, nullptr, TRUE);
    }
}

void Win32Form::SetToolTip(int id, std::string_view text, bool active) {
    HWND target = control(id);
    if (!target) {
        return;
    }
    if (!toolTip_) {
        toolTip_ = CreateWindowExW(
            WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, Instance(), nullptr);
    }
    std::wstring wide = Wide(text);
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(target);
    tool.lpszText = wide.data();
    SendMessageW(toolTip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    if (active) {
        SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

}  // namespace fw::win32
