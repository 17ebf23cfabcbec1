// The wxWidgets backend of the framework: real windows, message boxes, clipboard, file dialog,
// popup menus and the busy cursor. The host installs one for the process.
#pragma once

#include <wx/menu.h>
#include <wx/window.h>

#include "framework/backend.h"
#include "framework/wx/wx_form.h"

namespace fw::wx {

class WxBackend : public Backend {
  public:
    WxBackend();  // installs itself as the process's backend
    ~WxBackend() override;

    // A child form inside `parent` (a frame's client area); OnInitDialog runs before it returns.
    std::unique_ptr<WxForm> CreateChildForm(wxWindow* parent, const DialogTemplate& layout,
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

    // The popup menu up now (the plug-in's menu and wx's), for a user driver; null when none.
    struct ShownPopup {
        const Menu* menu = nullptr;
        wxMenu* popup = nullptr;
    };
    const ShownPopup* shownPopup() const { return shown_.popup ? &shown_ : nullptr; }

  private:
    ShownPopup shown_;
};

// The file-type filter of a save dialog ("Text (*.txt)|*.txt||") as wx writes it.
std::string ToWxWildcard(std::string_view filter);

}  // namespace fw::wx
