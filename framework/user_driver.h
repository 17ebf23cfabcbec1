// Drives the windows as a user does, from a scenario's own thread while the UI thread runs its
// loop: each action is handed to the UI thread, and the driver waits until the UI has handled
// it, or until the modal window, message box or popup menu it opened is up. Each look is taken
// on the UI thread. Waits are on conditions, up to a patience, never fixed sleeps.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/user_actions.h"

namespace fw {

class UserDriver {
  public:
    explicit UserDriver(UserActions& ui,
                        std::chrono::milliseconds patience = std::chrono::seconds(10));

    // Runs the scenario on a thread of its own while this thread runs the UI; returns when the
    // scenario has ended.
    void Run(const std::function<void(UserDriver&)>& scenario);
    // Runs a task on the UI thread as an action (a host opening a window, say).
    void OnUi(std::function<void()> task);
    // Waits until the condition, tested on the UI thread, holds; false after the patience.
    bool WaitUntil(std::function<bool(UserActions&)> condition);
    bool WaitUntil(std::function<bool(UserActions&)> condition, std::chrono::milliseconds patience);

    // --- actions ---
    bool Use(std::string_view caption);  // waits for the window to be shown
    bool Click(int id);
    bool Click(std::string_view caption);  // the control showing this caption
    bool Type(int id, std::string_view text);
    bool Tick(int id, bool ticked);  // clicks a check box when it is not already so
    bool Choose(int id, std::string_view item);
    bool PickDate(int id, const base::Date& date);
    bool ClickCell(int listId, int row, int column);
    bool ClickHeader(int listId, int column);
    bool SelectRows(int listId, const std::vector<size_t>& rows);
    bool Press(Key key);
    // Right-clicks the control, waits for its popup menu and reads it; the menu stays up.
    std::optional<Menu> OpenPopup(int id);
    bool ChooseMenuItem(std::string_view text);
    // Waits for a message box, presses its OK and gives what it showed; none when no box came.
    std::optional<MessageBoxShown> AnswerMessageBox();
    // The same with a patience of its own (a short one to see that no box comes).
    std::optional<MessageBoxShown> AnswerMessageBox(std::chrono::milliseconds patience);
    // Waits for the save dialog, saves under the path and gives what the dialog suggested.
    std::optional<SaveFileRequest> SaveAs(std::string_view path);

    // --- looks ---
    bool Shown(std::string_view caption);
    std::string FrontWindow();
    std::string Text(int id);
    bool Enabled(int id);
    bool Checked(int id);
    int Focused();
    std::string Clipboard();
    std::vector<std::vector<std::string>> Rows(int listId);
    // Waits for the list to hold this many rows; the rows it holds then.
    std::vector<std::vector<std::string>> WaitForRows(int listId, size_t count);

  private:
    bool Act(std::function<bool(UserActions&)> action);
    template <class T>
    T Look(std::function<T(UserActions&)> look);
    void Settle();

    UserActions& ui_;
    std::chrono::milliseconds patience_;
};

}  // namespace fw
