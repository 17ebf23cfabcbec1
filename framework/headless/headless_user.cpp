#include "framework/headless/headless_user.h"

#include <algorithm>
#include <chrono>

namespace fw::headless {

HeadlessUser::HeadlessUser(HeadlessBackend& backend) : backend_(backend) {
    backend_.waitForUser = [this](const std::function<bool()>& answered) { RunUntil(answered); };
}

HeadlessUser::~HeadlessUser() {
    backend_.waitForUser = nullptr;
}

void HeadlessUser::RunUntil(const std::function<bool()>& done) {
    while (!done() && !abandoned_) {
        std::function<void()> task;
        {
            std::unique_lock lock(mutex_);
            if (!posted_.wait_for(lock, std::chrono::milliseconds(20),
                                  [this] { return !tasks_.empty(); })) {
                continue;
            }
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
    }
}

void HeadlessUser::Abandon() {
    // As cancelling would: no item chosen, nothing saved.
    backend_.menuAnswer = 0;
    backend_.saveFileAnswer.reset();
    abandoned_ = true;
}

void HeadlessUser::Post(std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    posted_.notify_one();
}

HeadlessForm* HeadlessUser::Window(bool activate) const {
    const auto& forms = backend_.forms;
    if (std::find(forms.begin(), forms.end(), window_) == forms.end()) {
        return nullptr;
    }
    if (activate) {
        backend_.BringToFront(window_);
    }
    return window_;
}

const Control* HeadlessUser::Reachable(int id) const {
    HeadlessForm* form = Window(true);
    if (!form || !form->IsWindowVisible()) {
        return nullptr;
    }
    try {
        const Control& c = form->control(id);
        return c.enabled && c.visible ? &c : nullptr;
    } catch (const std::out_of_range&) {
        return nullptr;
    }
}

HeadlessForm* HeadlessUser::ShownWindow(std::string_view caption) const {
    for (auto it = backend_.forms.rbegin(); it != backend_.forms.rend(); ++it) {
        if ((*it)->IsWindowVisible() && (*it)->Title() == caption) {
            return *it;
        }
    }
    return nullptr;
}

bool HeadlessUser::Use(std::string_view caption) {
    HeadlessForm* found = ShownWindow(caption);
    if (!found) {
        return false;
    }
    window_ = found;
    backend_.BringToFront(window_);
    return true;
}

std::string HeadlessUser::FrontWindow() const {
    const HeadlessForm* front = backend_.FrontForm();
    return front ? front->Title() : "";
}

int HeadlessUser::FindControl(std::string_view caption) const {
    const HeadlessForm* form = Window();
    if (!form) {
        return 0;
    }
    for (const ControlEntry& entry : form->layout().controls) {
        if (form->control(entry.id).text == caption) {
            return entry.id;
        }
    }
    return 0;
}

bool HeadlessUser::Click(int id) {
    if (!Reachable(id)) {
        return false;
    }
    window_->Click(id);
    return true;
}

bool HeadlessUser::Type(int id, std::string_view text) {
    const Control* c = Reachable(id);
    if (!c || c->entry.kind != ControlKind::Edit || (c->entry.style & kStyleReadOnly)) {
        return false;
    }
    window_->Type(id, text);
    return true;
}

bool HeadlessUser::Choose(int id, std::string_view item) {
    const Control* c = Reachable(id);
    if (!c) {
        return false;
    }
    const auto found = std::find(c->items.begin(), c->items.end(), item);
    if (found == c->items.end()) {
        return false;
    }
    window_->SelectComboItem(id, static_cast<int>(found - c->items.begin()));
    return true;
}

bool HeadlessUser::PickDate(int id, const base::Date& date) {
    return Reachable(id) && window_->PickDate(id, date);
}

bool HeadlessUser::ClickCell(int listId, int row, int column) {
    const Control* c = Reachable(listId);
    if (!c || row < 0 || static_cast<size_t>(row) >= c->itemCount) {
        return false;
    }
    window_->ClickItem(listId, row, column);
    return true;
}

bool HeadlessUser::ClickHeader(int listId, int column) {
    const Control* c = Reachable(listId);
    if (!c || column < 0 || static_cast<size_t>(column) >= c->columns.size()) {
        return false;
    }
    window_->ClickColumn(listId, column);
    return true;
}

bool HeadlessUser::SelectRows(int listId, const std::vector<size_t>& rows) {
    if (!Reachable(listId)) {
        return false;
    }
    window_->Focus(listId);
    window_->SelectItems(listId, rows);
    return true;
}

bool HeadlessUser::RightClick(int id) {
    if (!Reachable(id)) {
        return false;
    }
    window_->RightClick(id);
    return true;
}

bool HeadlessUser::Press(Key key) {
    if (backend_.menuOpen && key == Key::Escape) {
        backend_.menuAnswer = 0;
        backend_.menuOpen = false;
        return true;
    }
    HeadlessForm* form = Window(true);
    if (!form || !form->IsWindowVisible()) {
        return false;
    }
    switch (key) {
        case Key::Enter:
            form->PressEnter();
            break;
        case Key::Escape:
            form->PressEscape();
            break;
        case Key::Tab:
            form->PressTab();
            break;
    }
    return true;
}

bool HeadlessUser::Shown(std::string_view caption) const {
    return ShownWindow(caption) != nullptr;
}

std::string HeadlessUser::Text(int id) const {
    const HeadlessForm* form = Window();
    if (!form) {
        return {};
    }
    return form->control(id).entry.kind == ControlKind::ComboDropList ? form->ComboText(id)
                                                                      : form->GetText(id);
}

bool HeadlessUser::Enabled(int id) const {
    const HeadlessForm* form = Window();
    return form && form->IsEnabled(id);
}

bool HeadlessUser::Checked(int id) const {
    const HeadlessForm* form = Window();
    return form && form->GetCheck(id);
}

int HeadlessUser::Focused() const {
    const HeadlessForm* form = Window();
    return form ? form->FocusedControl() : 0;
}

std::vector<std::vector<std::string>> HeadlessUser::Rows(int listId) const {
    const HeadlessForm* form = Window();
    return form ? form->Rows(listId) : std::vector<std::vector<std::string>>{};
}

std::optional<Menu> HeadlessUser::OpenMenu() const {
    if (!backend_.menuOpen) {
        return std::nullopt;
    }
    return backend_.shownMenus.back();
}

bool HeadlessUser::ChooseMenuItem(std::string_view text) {
    if (!backend_.menuOpen) {
        return false;
    }
    for (const MenuItem& item : backend_.shownMenus.back().items) {
        if (item.text == text && item.enabled) {
            backend_.menuAnswer = item.id;
            backend_.menuOpen = false;
            return true;
        }
    }
    return false;
}

std::optional<MessageBoxShown> HeadlessUser::OpenMessageBox() const {
    if (!backend_.messageBoxOpen) {
        return std::nullopt;
    }
    const RecordedMessage& box = backend_.messages.back();
    return MessageBoxShown{box.text, box.icon, box.owner,
                           static_cast<int>(backend_.messages.size())};
}

bool HeadlessUser::CloseMessageBox() {
    const bool open = backend_.messageBoxOpen;
    backend_.messageBoxOpen = false;
    return open;
}

std::optional<SaveFileRequest> HeadlessUser::OpenSaveDialog() const {
    if (!backend_.saveDialogOpen) {
        return std::nullopt;
    }
    return backend_.saveFileRequests.back();
}

bool HeadlessUser::AnswerSaveDialog(std::string_view path) {
    if (!backend_.saveDialogOpen) {
        return false;
    }
    backend_.saveFileAnswer = std::string(path);
    backend_.saveDialogOpen = false;
    return true;
}

}  // namespace fw::headless
