// The user's actions on real Win32 windows, as a person makes them: clicks, right-clicks, keys
// and typing go to the control's place on the screen, and the user turns to a window by asking
// for it to be activated; under Wine all of it goes through the X server, so that the window
// manager decides which window is in front and has the focus (win32_input.h). A step waits until
// the input sent before has arrived and been handled. What the user sees is read from the
// controls. Message boxes, popup menus and the save dialog are the real ones, answered while
// their own loops run. A test tool, never shipped.
#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "framework/user_actions.h"
#include "framework/win32/win32_backend.h"
#include "framework/win32/windows_api.h"

namespace fw::win32 {

class Win32User : public UserActions {
  public:
    explicit Win32User(Win32Backend& backend);  // on the UI thread
    ~Win32User() override;
    Win32User(const Win32User&) = delete;
    Win32User& operator=(const Win32User&) = delete;

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
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void RunTasks();
    // Runs `rest` once `ready` holds and the input sent before has been handled.
    void Then(std::function<bool()> ready, std::function<void()> rest);
    void RunReadySteps();
    // Clicks the control unless it has the focus already, then does the rest once the click has
    // been handled (and not at all when the click raised a message box).
    void FocusThen(HWND control, std::function<void()> rest);
    Win32Form* FormInUse() const;
    // A control of the window in use that a user can reach (shown and enabled), or null.
    HWND Reachable(int id) const;
    ControlKind KindOf(int id) const;
    HWND MessageBoxWindow() const;
    HWND SaveDialogWindow() const;

    Win32Backend& backend_;
    DWORD uiThread_;
    HWND tasksWindow_ = nullptr;  // a message-only window: every loop, modal ones too, runs tasks
    mutable std::mutex mutex_;
    std::deque<std::function<void()>> tasks_;
    struct Step {
        std::function<bool()> ready;
        std::function<void()> rest;
    };
    std::vector<Step> steps_;
    HWND window_ = nullptr;  // the window in use
    int answeredBox_ = 0;    // the serial of the box last clicked OK on
    int answeredSave_ = 0;   // the serial of the save dialog last answered
};

}  // namespace fw::win32
