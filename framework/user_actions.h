// What a user does to the windows on screen and what they see, as one interface that each
// backend implements: the headless backend on its recorded controls, the wx backend with keys
// and clicks sent through the X server to real windows under a window manager. Every call runs on
// the UI thread; UserDriver makes the calls from a scenario's thread of its own and waits for
// their effects.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/date.h"
#include "framework/backend.h"
#include "framework/menu.h"

namespace fw {

enum class Key { Enter, Escape, Tab };

struct MessageBoxShown {
    std::string text;
    MessageIcon icon = MessageIcon::None;
    std::string owner;    // caption of the window the box belongs to
    int serial = 0;       // counts the boxes shown: two boxes with one text differ here
    bool inFront = true;  // stacked above every other window (a modal box is, where none overlap)
};

class UserActions {
  public:
    virtual ~UserActions() = default;

    // The UI thread's loop: runs the posted tasks (and the windows' own events) until `done`
    // holds. Modal windows run the same tasks in their own loops.
    virtual void RunUntil(const std::function<bool()>& done) = 0;
    // Queues a task for the UI thread; callable from any thread.
    virtual void Post(std::function<void()> task) = 0;
    // Whether the UI has handled everything queued for it (on the UI thread).
    virtual bool Idle() const = 0;
    // Ends whatever waits for the user (a message box, a popup menu, the save dialog, a modal
    // dialog) as cancelling it would: a scenario that stops early leaves nothing hanging.
    virtual void Abandon() = 0;

    // --- windows ---
    // Turns to the shown window with this caption (it comes to the front) and directs what
    // follows to it; false when none is shown.
    virtual bool Use(std::string_view caption) = 0;
    // The caption of the window the user is in (the one holding the keyboard focus).
    virtual std::string FrontWindow() const = 0;
    // The id of the control in the window in use whose caption is this text; 0 when none.
    virtual int FindControl(std::string_view caption) const = 0;

    // --- actions on the window in use; false when the control cannot take them ---
    virtual bool Click(int id) = 0;                          // button, check box, radio, link
    virtual bool Type(int id, std::string_view text) = 0;    // focuses the box, replaces its text
    virtual bool Choose(int id, std::string_view item) = 0;  // a drop-down list's item
    virtual bool PickDate(int id, const base::Date& date) = 0;
    virtual bool ClickCell(int listId, int row, int column) = 0;
    virtual bool ClickHeader(int listId, int column) = 0;
    virtual bool SelectRows(int listId, const std::vector<size_t>& rows) = 0;
    virtual bool RightClick(int id) = 0;  // opens the control's popup menu, if it has one
    virtual bool Press(Key key) = 0;

    // --- what the user sees in the window in use ---
    virtual bool Shown(std::string_view caption) const = 0;  // any window, by caption
    virtual std::string Text(int id) const = 0;  // box, label, caption, chosen drop-down item
    virtual bool Enabled(int id) const = 0;
    virtual bool Checked(int id) const = 0;
    virtual int Focused() const = 0;  // 0 when no control of the window has the focus
    virtual std::vector<std::vector<std::string>> Rows(int listId) const = 0;

    // --- popup menus and message boxes ---
    virtual std::optional<Menu> OpenMenu() const = 0;  // the popup menu up now, as shown
    virtual bool ChooseMenuItem(std::string_view text) = 0;
    virtual std::optional<MessageBoxShown> OpenMessageBox() const = 0;
    virtual bool CloseMessageBox() = 0;  // presses its OK

    // --- the save dialog and the clipboard ---
    virtual std::optional<SaveFileRequest> OpenSaveDialog() const = 0;  // as it shows them
    virtual bool AnswerSaveDialog(std::string_view path) = 0;           // saves under the path
    virtual std::string Clipboard() const = 0;
};

// The id of the layout's control that shows this caption in the form; 0 when none.
int ControlWithCaption(const Form& form, const DialogTemplate& layout, std::string_view caption);

}  // namespace fw
