// The user's actions on real wx windows: clicks, typing, choices and keys arrive as the
// controls' own events; focus moves as it does under the mouse or Tab (a control left gets its
// focus-lost event even where the window manager gives no focus); message boxes, popup menus
// and the save dialog are the real ones, answered while their own loops run.
#pragma once

#include <wx/modalhook.h>
#include <wx/timer.h>
#include <wx/weakref.h>
#include <wx/window.h>

#include <functional>
#include <memory>
#include <vector>

#include "framework/user_actions.h"

class wxListCtrl;
class wxMessageDialog;
class wxFileDialog;

namespace fw::wx {

class WxUser : public UserActions, private wxModalDialogHook {
  public:
    WxUser();  // on the UI thread, with a WxBackend installed
    ~WxUser() override;

    void RunUntil(const std::function<bool()>& done) override;
    void Post(std::function<void()> task) override;
    bool Idle() const override;
    void Abandon() override;

    bool Use(std::string_view caption) override;
    std::string FrontWindow() const override;
    int FindControl(std::string_view caption) const override;

    bool Click(int id) override;
    bool Type(int id, std::string_view text) override;
    bool Choose(int id, std::string_view item) override;
    bool PickDate(int id, const base::Date& date) override;
    bool ClickCell(int listId, int row, int column) override;
    bool ClickHeader(int listId, int column) override;
    bool SelectRows(int listId, const std::vector<size_t>& rows) override;
    bool RightClick(int id) override;
    bool Press(Key key) override;

    bool Shown(std::string_view caption) const override;
    std::string Text(int id) const override;
    bool Enabled(int id) const override;
    bool Checked(int id) const override;
    int Focused() const override;
    std::vector<std::vector<std::string>> Rows(int listId) const override;

    std::optional<Menu> OpenMenu() const override;
    bool ChooseMenuItem(std::string_view text) override;
    std::optional<MessageBoxShown> OpenMessageBox() const override;
    bool CloseMessageBox() override;
    std::optional<SaveFileRequest> OpenSaveDialog() const override;
    bool AnswerSaveDialog(std::string_view path) override;
    std::string Clipboard() const override;

  private:
    // --- wxModalDialogHook: notes the message boxes and save dialogs as they open ---
    int Enter(wxDialog* dialog) override;
    void Exit(wxDialog* dialog) override;

    // Runs a task handed over by Post, unless wx is inside a Yield (the host yields while it
    // lays a new window out): the task waits for the Yield to end, so that a step never runs
    // in the middle of another.
    void RunOrDefer(std::function<void()> task);
    void RetryDeferred();
    // A control of the window in use that a user can reach (shown and enabled), or null.
    wxWindow* Reachable(int id) const;
    wxWindow* Control(int id) const;
    // Gives the control the keyboard focus; the control that had it is told it lost it.
    void MoveFocus(wxWindow* control);
    void OnFocusLeft(wxFocusEvent& event);
    void OnIdle(wxIdleEvent& event);

    wxWeakRef<wxWindow> window_;   // the window in use
    wxWeakRef<wxWindow> focused_;  // the control the user gave the focus last
    bool focusLeft_ = false;
    // A box or dialog answered but not yet returned from: the code that showed it has not run on.
    bool closing_ = false;
    wxMessageDialog* messageBox_ = nullptr;
    int messageBoxes_ = 0;
    wxFileDialog* saveDialog_ = nullptr;
    // Tasks still queued in wx when the driver has gone find no one here.
    std::shared_ptr<WxUser*> alive_ = std::make_shared<WxUser*>(this);
    std::vector<std::function<void()>> deferred_;
    // Idle cycles seen, and the count when the last task ended: windows finish their layout
    // (a list places its rows) in idle time, so a step counts as handled only after one.
    unsigned long idles_ = 0;
    unsigned long idlesAtLastTask_ = 0;
    wxTimer retry_;
};

}  // namespace fw::wx
