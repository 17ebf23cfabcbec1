// The Win32 backend of the framework: windows on the common controls, message boxes owned by
// the active window, the clipboard, the save dialog, popup menus and the wait cursor. The host
// installs one for the process.
#pragma once

#include <memory>

#include "framework/backend.h"
#include "framework/win32/win32_form.h"
#include "framework/win32/windows_api.h"

namespace fw::win32 {

class Win32Backend : public Backend {
  public:
    Win32Backend();  // installs itself as the process's backend
    ~Win32Backend() override;
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;

    // A child form inside `parent` (a frame's client area); OnInitDialog runs before it returns.
    std::unique_ptr<Win32Form> CreateChildForm(HWND parent, const DialogTemplate& layout,
                                               FormEvents& events);

    // --- Backend ---
    std::unique_ptr<Form> CreateForm(const DialogTemplate& layout, FormEvents& events) override;
    int DoModal(const DialogTemplate& layout, FormEvents& events, Form* owner) override;
    int MessageBox(std::string_view text, MessageIcon icon) override;
    bool SetClipboardText(std::string_view text) override;
    std::optional<std::string> SaveFileDialog(const SaveFileRequest& request) override;
    int TrackPopupMenu(const Menu& menu, Form& owner) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    LocalTime Now() const override;

    // The popup menu up now (the plug-in's menu and the native one), for a user driver; null
    // when none.
    struct ShownPopup {
        const Menu* menu = nullptr;
        HMENU popup = nullptr;
    };
    const ShownPopup* shownPopup() const { return shown_.popup ? &shown_ : nullptr; }

    // The message box being shown (from just before it opens until it returns), for a user
    // driver; null when none. `serial` counts the boxes shown.
    struct ShownBox {
        std::string text;
        MessageIcon icon = MessageIcon::None;
        HWND owner = nullptr;
        int serial = 0;
    };
    const ShownBox* shownMessageBox() const { return boxUp_ ? &box_ : nullptr; }
    // The serial of the save dialog being shown (counting the dialogs shown); 0 when none.
    int saveDialogShown() const { return saving_ ? saves_ : 0; }

  private:
    ShownPopup shown_;
    ShownBox box_;
    bool boxUp_ = false;
    bool saving_ = false;
    int saves_ = 0;
    int waitDepth_ = 0;
};

// The file-type filter of a save dialog ("Text (*.txt)|*.txt||") as the dialog takes it:
// description and pattern pairs, each ended by a null character, the list by a second one.
std::wstring ToFilter(std::string_view filter);

}  // namespace fw::win32
