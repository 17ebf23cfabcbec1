#include "framework/user_driver.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

namespace fw {
namespace {

// What one handed-over task reports back to the scenario's thread.
struct Handover {
    std::mutex mutex;
    std::condition_variable changed;
    bool ran = false;      // the task has returned
    bool settled = false;  // the UI got past the task, or into a loop the task opened
    bool result = false;

    void Mark(bool Handover::*flag) {
        {
            std::lock_guard lock(mutex);
            this->*flag = true;
        }
        changed.notify_all();
    }
    bool WaitFor(bool Handover::*flag, std::chrono::milliseconds patience) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, patience, [this, flag] { return this->*flag; });
    }
};

}  // namespace

UserDriver::UserDriver(UserActions& ui, std::chrono::milliseconds patience)
    : ui_(ui), patience_(patience) {}

void UserDriver::Run(const std::function<void(UserDriver&)>& scenario) {
    std::atomic<bool> ended = false;
    std::atomic<bool> released = false;
    std::thread user([&] {
        scenario(*this);
        ended = true;
        // Whatever the scenario left waiting for the user is cancelled until the loop is back.
        while (!released) {
            ui_.Post([&ui = ui_] { ui.Abandon(); });
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    ui_.RunUntil([&ended] { return ended.load(); });
    released = true;
    user.join();
}

void UserDriver::OnUi(std::function<void()> task) {
    Act([task = std::move(task)](UserActions&) {
        task();
        return true;
    });
}

bool UserDriver::Act(std::function<bool(UserActions&)> action) {
    auto handover = std::make_shared<Handover>();
    ui_.Post([&ui = ui_, handover, action = std::move(action)] {
        bool result = false;
        try {
            result = action(ui);
        } catch (const std::exception&) {
            result = false;  // a control the window does not have
        }
        std::lock_guard lock(handover->mutex);
        handover->result = result;
        handover->ran = true;
    });
    // Runs once the action has returned, or inside the modal loop it opened.
    ui_.Post([handover] { handover->Mark(&Handover::settled); });
    if (!handover->WaitFor(&Handover::settled, patience_)) {
        return false;
    }
    Settle();
    std::lock_guard lock(handover->mutex);
    return handover->ran ? handover->result : true;
}

void UserDriver::Settle() {
    // What the action queued in turn (layout, deferred calls) is handled before the next step.
    WaitUntil([](UserActions& ui) { return ui.Idle(); });
}

template <class T>
T UserDriver::Look(std::function<T(UserActions&)> look) {
    auto handover = std::make_shared<Handover>();
    auto value = std::make_shared<T>();
    ui_.Post([&ui = ui_, handover, value, look = std::move(look)] {
        try {
            *value = look(ui);
        } catch (const std::exception&) {
            *value = T{};
        }
        handover->Mark(&Handover::ran);
    });
    handover->WaitFor(&Handover::ran, patience_);
    std::lock_guard lock(handover->mutex);
    return handover->ran ? *value : T{};
}

bool UserDriver::WaitUntil(std::function<bool(UserActions&)> condition) {
    return WaitUntil(std::move(condition), patience_);
}

bool UserDriver::WaitUntil(std::function<bool(UserActions&)> condition,
                           std::chrono::milliseconds patience) {
    const auto until = std::chrono::steady_clock::now() + patience;
    while (!Look<bool>(condition)) {
        if (std::chrono::steady_clock::now() >= until) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

bool UserDriver::Use(std::string_view caption) {
    const std::string wanted(caption);
    return WaitUntil([wanted](UserActions& ui) { return ui.Use(wanted); });
}

bool UserDriver::Click(int id) {
    return Act([id](UserActions& ui) { return ui.Click(id); });
}

bool UserDriver::Click(std::string_view caption) {
    const std::string wanted(caption);
    return Act([wanted](UserActions& ui) {
        const int id = ui.FindControl(wanted);
        return id != 0 && ui.Click(id);
    });
}

bool UserDriver::Type(int id, std::string_view text) {
    return Act([id, typed = std::string(text)](UserActions& ui) { return ui.Type(id, typed); });
}

bool UserDriver::Tick(int id, bool ticked) {
    return Act([id, ticked](UserActions& ui) { return ui.Checked(id) == ticked || ui.Click(id); });
}

bool UserDriver::Choose(int id, std::string_view item) {
    return Act([id, wanted = std::string(item)](UserActions& ui) { return ui.Choose(id, wanted); });
}

bool UserDriver::PickDate(int id, const base::Date& date) {
    return Act([id, date](UserActions& ui) { return ui.PickDate(id, date); });
}

bool UserDriver::ClickCell(int listId, int row, int column) {
    return Act([=](UserActions& ui) { return ui.ClickCell(listId, row, column); });
}

bool UserDriver::ClickHeader(int listId, int column) {
    return Act([=](UserActions& ui) { return ui.ClickHeader(listId, column); });
}

bool UserDriver::SelectRows(int listId, const std::vector<size_t>& rows) {
    return Act([listId, rows](UserActions& ui) { return ui.SelectRows(listId, rows); });
}

bool UserDriver::Press(Key key) {
    return Act([key](UserActions& ui) { return ui.Press(key); });
}

std::optional<Menu> UserDriver::OpenPopup(int id) {
    if (!Act([id](UserActions& ui) { return ui.RightClick(id); }) ||
        !WaitUntil([](UserActions& ui) { return ui.OpenMenu().has_value(); })) {
        return std::nullopt;
    }
    return Look<std::optional<Menu>>([](UserActions& ui) { return ui.OpenMenu(); });
}

bool UserDriver::ChooseMenuItem(std::string_view text) {
    return Act([wanted = std::string(text)](UserActions& ui) { return ui.ChooseMenuItem(wanted); });
}

std::optional<MessageBoxShown> UserDriver::AnswerMessageBox() {
    return AnswerMessageBox(patience_);
}

std::optional<MessageBoxShown> UserDriver::AnswerMessageBox(std::chrono::milliseconds patience) {
    if (!WaitUntil([](UserActions& ui) { return ui.OpenMessageBox().has_value(); }, patience)) {
        return std::nullopt;
    }
    auto shown =
        Look<std::optional<MessageBoxShown>>([](UserActions& ui) { return ui.OpenMessageBox(); });
    // Pressed until that box has gone: a press that comes before the box runs is lost.
    const int serial = shown ? shown->serial : 0;
    WaitUntil([serial](UserActions& ui) {
        const auto open = ui.OpenMessageBox();
        return !open || open->serial != serial || (ui.CloseMessageBox() && false);
    });
    Settle();  // the code that showed the box has run on
    return shown;
}

std::optional<SaveFileRequest> UserDriver::SaveAs(std::string_view path) {
    if (!WaitUntil([](UserActions& ui) { return ui.OpenSaveDialog().has_value(); })) {
        return std::nullopt;
    }
    auto shown =
        Look<std::optional<SaveFileRequest>>([](UserActions& ui) { return ui.OpenSaveDialog(); });
    Act([chosen = std::string(path)](UserActions& ui) { return ui.AnswerSaveDialog(chosen); });
    return shown;
}

bool UserDriver::Shown(std::string_view caption) {
    return Look<bool>(
        [wanted = std::string(caption)](UserActions& ui) { return ui.Shown(wanted); });
}

std::string UserDriver::FrontWindow() {
    return Look<std::string>([](UserActions& ui) { return ui.FrontWindow(); });
}

std::string UserDriver::Text(int id) {
    return Look<std::string>([id](UserActions& ui) { return ui.Text(id); });
}

bool UserDriver::Enabled(int id) {
    return Look<bool>([id](UserActions& ui) { return ui.Enabled(id); });
}

bool UserDriver::Checked(int id) {
    return Look<bool>([id](UserActions& ui) { return ui.Checked(id); });
}

int UserDriver::Focused() {
    return Look<int>([](UserActions& ui) { return ui.Focused(); });
}

std::string UserDriver::Clipboard() {
    return Look<std::string>([](UserActions& ui) { return ui.Clipboard(); });
}

std::vector<std::vector<std::string>> UserDriver::Rows(int listId) {
    return Look<std::vector<std::vector<std::string>>>(
        [listId](UserActions& ui) { return ui.Rows(listId); });
}

std::vector<std::vector<std::string>> UserDriver::WaitForRows(int listId, size_t count) {
    WaitUntil([listId, count](UserActions& ui) { return ui.Rows(listId).size() == count; });
    return Rows(listId);
}

int ControlWithCaption(const Form& form, const DialogTemplate& layout, std::string_view caption) {
    for (const ControlEntry& entry : layout.controls) {
        if (form.GetText(entry.id) == caption) {
            return entry.id;
        }
    }
    return 0;
}

}  // namespace fw
