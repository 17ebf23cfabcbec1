// The user's actions on real wx windows, as a person makes them: clicks, right-clicks, keys and
// typing go through the X server to the control's place on the screen, under a window manager
// that decides which window is in front and has the focus. What the user sees is read from the
// controls, and the window in front and the stacking from the window manager. Message boxes,
// popup menus and the save dialog are the real ones, answered while their own loops run.
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
    // Clicks the control unless it has the focus already, then does the rest once the click
    // has been handled (and not at all when the click raised a message box).
    void FocusThen(wxWindow* control, std::function<void()> rest);
    // Runs `rest` once `ready` holds and the input sent before has been handled.
    void Then(std::function<bool()> ready, std::function<void()> rest);
    void RunReadySteps();
    bool InputHandled() const;
    void OnIdle(wxIdleEvent& event);

    wxWeakRef<wxWindow> window_;  // the window in use
    // A box or dialog answered but not yet returned from: the code that showed it has not run on.
    bool closing_ = false;
    wxMessageDialog* messageBox_ = nullptr;
    int messageBoxes_ = 0;
    int answeredBox_ = 0;  // the count of the box last clicked OK on
    wxFileDialog* saveDialog_ = nullptr;
    // Tasks still queued in wx when the driver has gone find no one here.
    std::shared_ptr<WxUser*> alive_ = std::make_shared<WxUser*>(this);
    std::vector<std::function<void()>> deferred_;
    // The second half of a step that waits for the first half's effect (a drop-down's list up).
    struct Step {
        std::function<bool()> ready;
        std::function<void()> rest;
    };
    std::vector<Step> steps_;
    // Idle cycles seen, and the count when the last task ended: windows finish their layout
    // (a list places its rows) in idle time, so a step counts as handled only after one.
    unsigned long idles_ = 0;
    unsigned long idlesAtLastTask_ = 0;
    wxTimer retry_;
    wxTimer stepTimer_;
};

}  // namespace fw::wx
