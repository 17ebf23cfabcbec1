// The user's actions on the headless backend's windows: each goes through the same entry points
// a test uses on HeadlessForm. Modal dialogs, message boxes and popup menus wait for the user
// while the driver runs (the backend's waitForUser runs this loop).
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>

#include "framework/headless/headless_backend.h"
#include "framework/user_actions.h"

namespace fw::headless {

class HeadlessUser : public UserActions {
  public:
    explicit HeadlessUser(HeadlessBackend& backend);
    ~HeadlessUser() override;

    void RunUntil(const std::function<bool()>& done) override;
    void Post(std::function<void()> task) override;
    bool Idle() const override { return true; }  // every action runs to its end at once
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
    std::string Clipboard() const override { return backend_.clipboard; }

  private:
    // The newest shown window with this title, or null.
    HeadlessForm* ShownWindow(std::string_view caption) const;
    // The window in use, if it is still open; it comes to the front as the user acts in it.
    HeadlessForm* Window(bool activate = false) const;
    // The control of the window in use that a user can reach: shown and enabled.
    const Control* Reachable(int id) const;

    HeadlessBackend& backend_;
    HeadlessForm* window_ = nullptr;
    bool abandoned_ = false;  // the user answers nothing more: waits end at once
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> tasks_;
};

}  // namespace fw::headless
