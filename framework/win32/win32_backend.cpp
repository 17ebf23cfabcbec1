#include "framework/win32/win32_backend.h"

#include <vector>

#include "framework/win32/win32_text.h"

namespace fw::win32 {
namespace {

// The window a message box or the save dialog belongs to: the active window of this thread, so
// that it opens in front of the dialog the user is in, else the foreground window.
HWND FrontOwner() {
    HWND active = GetActiveWindow();
    return active ? active : GetForegroundWindow();
}

// Puts one clipboard format, as a movable global block holding `bytes`.
bool PutOnClipboard(UINT format, const void* bytes, size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block) {
        return false;
    }
    void* target = GlobalLock(block);
    CopyMemory(target, bytes, size);
    GlobalUnlock(block);
    if (!SetClipboardData(format, block)) {
        GlobalFree(block);
        return false;
    }
    return true;
}

}  // namespace

Win32Backend::Win32Backend() {
    SetBackend(this);
}

Win32Backend::~Win32Backend() {
    if (GetBackend() == this) {
        SetBackend(nullptr);
    }
}

std::unique_ptr<Win32Form> Win32Backend::CreateChildForm(HWND parent, const DialogTemplate& layout,
                                                         FormEvents& events) {
    auto form = std::make_unique<Win32Form>(layout, events, parent);
    events.OnInitDialog(*form);
    return form;
}

std::unique_ptr<Form> Win32Backend::CreateForm(const DialogTemplate& layout, FormEvents& events) {
    return CreateChildForm(nullptr, layout, events);
}

int Win32Backend::DoModal(const DialogTemplate& layout, FormEvents& events, Form* owner) {
    auto* ownerForm = dynamic_cast<Win32Form*>(owner);
    Win32Form form(layout, events, ownerForm ? GetAncestor(ownerForm->window(), GA_ROOT) : nullptr);
    events.OnInitDialog(form);
    return form.RunModal();
}

int Win32Backend::MessageBox(std::string_view text, MessageIcon icon) {
    UINT style = MB_OK;
    switch (icon) {
        case MessageIcon::None:
            break;
        case MessageIcon::Error:
            style |= MB_ICONERROR;
            break;
        case MessageIcon::Warning:
            style |= MB_ICONWARNING;
            break;
        case MessageIcon::Information:
            style |= MB_ICONINFORMATION;
            break;
    }
    // Focus goes back to where it was once the box is closed.
    HWND focus = GetFocus();
    box_ = {std::string(text), icon, FrontOwner(), box_.serial + 1};
    boxUp_ = true;
    MessageBoxW(box_.owner, Wide(text).c_str(), L"IPO", style);
    boxUp_ = false;
    if (focus && IsWindow(focus)) {
        ::SetFocus(focus);
    }
    return kIdOk;
}

// The text goes on as CF_TEXT (in the system's ANSI code page, as exported files are read) and
// as CF_UNICODETEXT, so that no character is lost to the code page.
bool Win32Backend::SetClipboardText(std::string_view text) {
    const std::wstring wide = Wide(text);
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, ansi.data(), size, nullptr, nullptr);
    if (!OpenClipboard(FrontOwner())) {
        return false;
    }
    const bool put =
        EmptyClipboard() && PutOnClipboard(CF_TEXT, ansi.data(), ansi.size()) &&
        PutOnClipboard(CF_UNICODETEXT, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    CloseClipboard();
    return put;
}

std::wstring ToFilter(std::string_view filter) {
    std::string parts;
    for (const std::string& part : FilterParts(filter)) {
        parts += part;
        parts += '\0';
    }
    parts += '\0';
    return Wide(parts);
}

std::optional<std::string> Win32Backend::SaveFileDialog(const SaveFileRequest& request) {
    const std::wstring filter = ToFilter(request.filter);
    const std::wstring folder = Wide(request.initialFolder);
    const std::wstring extension = Wide(request.defaultExtension);
    std::vector<wchar_t> path(MAX_PATH * 4, L'\0');
    const std::wstring name = Wide(request.defaultFileName);
    name.copy(path.data(), std::min(name.size(), path.size() - 1));
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = FrontOwner();
    dialog.lpstrFilter = filter.size() > 1 ? filter.c_str() : nullptr;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    saving_ = true;
    ++saves_;
    const bool saved = GetSaveFileNameW(&dialog);
    saving_ = false;
    if (!saved) {
        return std::nullopt;
    }
    return Narrow(path.data());
}

int Win32Backend::TrackPopupMenu(const Menu& menu, Form& owner) {
    auto* form = dynamic_cast<Win32Form*>(&owner);
    if (!form || !form->window()) {
        return 0;
    }
    // Items carry their index + 1, so that 0 stays "nothing chosen" whatever the ids are.
    HMENU popup = CreatePopupMenu();
    for (size_t index = 0; index < menu.items.size(); ++index) {
        const MenuItem& item = menu.items[index];
        const UINT flags = MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED) |
                           (item.checked ? MF_CHECKED : MF_UNCHECKED);
        AppendMenuW(popup, flags, index + 1, Wide(item.text).c_str());
    }
    POINT at{};
    GetCursorPos(&at);
    HWND top = GetAncestor(form->window(), GA_ROOT);
    SetForegroundWindow(top);
    shown_ = {&menu, popup};
    const auto chosen = static_cast<size_t>(::TrackPopupMenu(
        popup, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, top, nullptr));
    shown_ = {};
    DestroyMenu(popup);
    return chosen >= 1 && chosen <= menu.items.size() ? menu.items[chosen - 1].id : 0;
}

void Win32Backend::BeginWaitCursor() {
    ++waitDepth_;
    SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
}

void Win32Backend::EndWaitCursor() {
    if (waitDepth_ > 0 && --waitDepth_ == 0) {
        SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
    }
}

LocalTime Win32Backend::Now() const {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

}  // namespace fw::win32
