// The services a window backend provides to the plug-in's views and dialogs: creating windows
// from layouts, modal loops, message boxes, the clipboard, the save-file dialog, popup menus,
// the wait cursor and the clock. One backend is installed per process (by the host, or by a
// test); the plug-in never knows which one runs.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/form.h"
#include "framework/menu.h"
#include "framework/resource.h"

namespace fw {

enum class MessageIcon { None, Error, Warning, Information };

struct LocalTime {
    int year = 1970, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0;
};

struct SaveFileRequest {
    std::string defaultExtension;
    std::string defaultFileName;
    std::string filter;
    std::string initialFolder;
};

// The parts of a save dialog's filter ("Text (*.txt) | *.txt ||"): descriptions and patterns in
// turn, each without the spaces around it, without the closing bars.
std::vector<std::string> FilterParts(std::string_view filter);

class Backend {
  public:
    virtual ~Backend() = default;

    // Builds a window from its layout; OnInitDialog runs before this returns. Popup dialogs
    // start hidden; child forms are placed into their frame by the host.
    virtual std::unique_ptr<Form> CreateForm(const DialogTemplate& layout, FormEvents& events) = 0;
    // Builds a modal dialog, runs OnInitDialog, then the modal loop until EndDialog.
    virtual int DoModal(const DialogTemplate& layout, FormEvents& events, Form* owner) = 0;

    virtual int MessageBox(std::string_view text, MessageIcon icon) = 0;
    virtual bool SetClipboardText(std::string_view text) = 0;
    virtual std::optional<std::string> SaveFileDialog(const SaveFileRequest& request) = 0;
    // Shows the menu at the pointer; the chosen command id, or 0.
    virtual int TrackPopupMenu(const Menu& menu, Form& owner) = 0;
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
    virtual LocalTime Now() const = 0;
};

void SetBackend(Backend* backend);
Backend* GetBackend();

// Shortcuts for logic code; each does nothing (or answers "no") without a backend.
int MessageBox(std::string_view text, MessageIcon icon = MessageIcon::None);
bool SetClipboardText(std::string_view text);
LocalTime Now();
// The calendar day of Now().
base::Date Today();

// Shows the wait cursor for its lifetime.
class WaitCursor {
  public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace fw
