#include "framework/wx/wx_user.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/clipbrd.h>
#include <wx/datectrl.h>
#include <wx/dateevt.h>
#include <wx/dialog.h>
#include <wx/evtloop.h>
#include <wx/filedlg.h>
#include <wx/mdi.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>

#include <X11/keysym.h>
#include <gtk/gtk.h>

#include <algorithm>

#include "framework/wx/wx_backend.h"
#include "framework/wx/wx_form.h"
#include "framework/wx/wx_link_button.h"
#include "framework/wx/wx_list_view.h"
#include "framework/wx/wx_text.h"
#include "framework/wx/wx_user_actions.h"
#include "framework/wx/x_input.h"

namespace fw::wx {
namespace {

// The title of a window a user can name: a top-level window or a frame among the main
// window's tabs; empty for any other window.
wxString TitleOf(const wxWindow* window) {
    if (const auto* child = dynamic_cast<const wxMDIChildFrame*>(window)) {
        return child->GetTitle();
    }
    if (const auto* top = dynamic_cast<const wxTopLevelWindow*>(window)) {
        return top->GetTitle();
    }
    return {};
}

wxWindow* FindShown(wxWindow* window, const wxString& title) {
    // A frame among the main window's tabs is open even while another tab hides it.
    if (dynamic_cast<wxMDIChildFrame*>(window) && TitleOf(window) == title) {
        return window;
    }
    if (!window->IsShown()) {
        return nullptr;
    }
    if (TitleOf(window) == title) {
        return window;
    }
    for (wxWindow* child : window->GetChildren()) {
        if (wxWindow* found = FindShown(child, title)) {
            return found;
        }
    }
    return nullptr;
}

wxWindow* FindShownWindow(const wxString& title) {
    for (wxWindow* top : wxTopLevelWindows) {
        if (wxWindow* found = FindShown(top, title)) {
            return found;
        }
    }
    return nullptr;
}

bool IsMapped(void* handle) {
    return handle && gtk_widget_get_mapped(static_cast<GtkWidget*>(handle));
}

bool Within(const wxWindow* window, const wxWindow* ancestor) {
    for (; window; window = window->GetParent()) {
        if (window == ancestor) {
            return true;
        }
    }
    return false;
}

// The middle of a control on the screen.
wxPoint Centre(const wxWindow* control) {
    const wxSize size = control->GetClientSize();
    return control->ClientToScreen(wxPoint(size.x / 2, size.y / 2));
}

// The middle of a GTK widget on the screen (a menu item, a message box's button).
wxPoint Centre(GtkWidget* widget) {
    int x = 0;
    int y = 0;
    gdk_window_get_origin(gtk_widget_get_window(widget), &x, &y);
    GtkAllocation allocation;
    gtk_widget_get_allocation(widget, &allocation);
    if (!gtk_widget_get_has_window(widget)) {
        x += allocation.x;
        y += allocation.y;
    }
    return {x + allocation.width / 2, y + allocation.height / 2};
}

// The list a drop-down list shows while it is open, when it is up.
GtkWidget* DroppedList(wxChoice* choice) {
    AtkObject* accessible = gtk_combo_box_get_popup_accessible(GTK_COMBO_BOX(choice->GetHandle()));
    GtkWidget* popup = accessible ? gtk_accessible_get_widget(GTK_ACCESSIBLE(accessible)) : nullptr;
    return popup && GTK_IS_MENU(popup) && OnScreen(popup) ? popup : nullptr;
}

MessageIcon IconOf(long style) {
    if (style & wxICON_ERROR) {
        return MessageIcon::Error;
    }
    if (style & wxICON_WARNING) {
        return MessageIcon::Warning;
    }
    if (style & wxICON_INFORMATION) {
        return MessageIcon::Information;
    }
    return MessageIcon::None;
}

// Inside a Yield (the host yields while it lays a new window out) no step may run.
bool Yielding() {
    const wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    return loop && loop->IsYielding();
}

const WxBackend::ShownPopup* ShownPopup() {
    const auto* backend = dynamic_cast<const WxBackend*>(GetBackend());
    const WxBackend::ShownPopup* shown = backend ? backend->shownPopup() : nullptr;
    return shown && IsMapped(shown->popup->m_menu) ? shown : nullptr;
}

}  // namespace

WxUser::WxUser() {
    // A ticked box or a pressed button shows its new state at the next frame, not at the end
    // of an animation: what the user is shown is settled once the step is handled.
    g_object_set(gtk_settings_get_default(), "gtk-enable-animations", FALSE, nullptr);
    retry_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { RetryDeferred(); });
    stepTimer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { RunReadySteps(); });
    wxTheApp->Bind(wxEVT_IDLE, &WxUser::OnIdle, this);
    Register();
}

WxUser::~WxUser() {
    *alive_ = nullptr;
    Unregister();
    wxTheApp->Unbind(wxEVT_IDLE, &WxUser::OnIdle, this);
}

void WxUser::OnIdle(wxIdleEvent& event) {
    ++idles_;
    event.Skip();
}

void WxUser::RunUntil(const std::function<bool()>& done) {
    // A modal window still open in a loop of its own is first ended by Abandon.
    RunLoopUntil(done);
}

void WxUser::Post(std::function<void()> task) {
    wxTheApp->CallAfter([alive = alive_, task = std::move(task)] {
        if (WxUser* user = *alive) {
            user->RunOrDefer(task);
        }
    });
}

bool WxUser::InputHandled() const {
    return x::ReleasesReceived() >= x::ReleasesSent() && !gdk_events_pending();
}

bool WxUser::Idle() const {
    const auto* backend = dynamic_cast<const WxBackend*>(GetBackend());
    const bool menuClosing = backend && backend->shownPopup() && !ShownPopup();
    return InputHandled() && steps_.empty() && !closing_ && !menuClosing &&
           idles_ > idlesAtLastTask_ && deferred_.empty() && !wxTheApp->HasPendingEvents();
}

void WxUser::Abandon() {
    steps_.clear();
    x::ForgetUndelivered();
    if (const WxBackend::ShownPopup* shown = ShownPopup()) {
        gtk_menu_shell_deactivate(GTK_MENU_SHELL(shown->popup->m_menu));
    }
    if (messageBox_ && IsMapped(messageBox_->GetHandle())) {
        gtk_dialog_response(GTK_DIALOG(messageBox_->GetHandle()), GTK_RESPONSE_OK);
    }
    if (saveDialog_ && IsMapped(saveDialog_->GetHandle())) {
        gtk_dialog_response(GTK_DIALOG(saveDialog_->GetHandle()), GTK_RESPONSE_CANCEL);
    }
    for (wxWindow* window : wxTopLevelWindows) {
        if (auto* dialog = dynamic_cast<wxDialog*>(window); dialog && dialog->IsModal()) {
            dialog->EndModal(wxID_CANCEL);
        }
    }
}

void WxUser::RunOrDefer(std::function<void()> task) {
    if (Yielding()) {
        deferred_.push_back(std::move(task));
        if (!retry_.IsRunning()) {
            retry_.StartOnce(10);
        }
        return;
    }
    task();
    idlesAtLastTask_ = idles_;
}

void WxUser::RetryDeferred() {
    if (Yielding()) {
        retry_.StartOnce(10);
        return;
    }
    for (auto& task : std::exchange(deferred_, {})) {
        Post(std::move(task));
    }
}

void WxUser::Then(std::function<bool()> ready, std::function<void()> rest) {
    steps_.push_back({std::move(ready), std::move(rest)});
    if (!stepTimer_.IsRunning()) {
        stepTimer_.Start(10);
    }
}

void WxUser::RunReadySteps() {
    while (!steps_.empty() && InputHandled() && !Yielding() && steps_.front().ready()) {
        const std::function<void()> rest = std::move(steps_.front().rest);
        steps_.erase(steps_.begin());
        rest();
    }
    if (steps_.empty()) {
        stepTimer_.Stop();
    }
}

void WxUser::FocusThen(wxWindow* control, std::function<void()> rest) {
    if (wxWindow::FindFocus() == control) {
        rest();
        return;
    }
    x::Click(Centre(control));
    // Leaving the box the focus was in may have raised a message box: the user answers it first.
    Then([] { return true; },
         [this, rest = std::move(rest)] {
             if (!messageBox_) {
                 rest();
             }
         });
}

// ---------------------------------------------------------------- windows

bool WxUser::Use(std::string_view caption) {
    wxWindow* found = FindShownWindow(ToWx(caption));
    window_ = found;
    if (!found) {
        return false;
    }
    // The user turns to the window: its tab comes to the front, its window becomes the active one.
    if (auto* child = dynamic_cast<wxMDIChildFrame*>(found);
        child && child->GetMDIParent()->GetActiveChild() != child) {
        child->Activate();
    }
    const unsigned long window = x::XWindowOf(found->GetHandle());
    if (!x::Viewable(found->GetHandle())) {
        return false;
    }
    if (x::ActiveWindow() != window) {
        x::Activate(window);
        return false;
    }
    return true;
}

std::string WxUser::FrontWindow() const {
    const unsigned long active = x::ActiveWindow();
    if (messageBox_ && x::XWindowOf(messageBox_->GetHandle()) == active) {
        return FromWx(messageBox_->GetTitle());
    }
    for (wxWindow* top : wxTopLevelWindows) {
        if (!top->IsShown() || x::XWindowOf(top->GetHandle()) != active) {
            continue;
        }
        if (auto* main = dynamic_cast<wxMDIParentFrame*>(top); main && main->GetActiveChild()) {
            return FromWx(main->GetActiveChild()->GetTitle());
        }
        return FromWx(TitleOf(top));
    }
    return {};
}

int WxUser::FindControl(std::string_view caption) const {
    const WxForm* form = WxForm::In(window_);
    return form ? ControlWithCaption(*form, form->layout(), caption) : 0;
}

wxWindow* WxUser::Control(int id) const {
    const WxForm* form = WxForm::In(window_);
    return form ? form->control(id) : nullptr;
}

wxWindow* WxUser::Reachable(int id) const {
    wxWindow* control = Control(id);
    return control && control->IsShownOnScreen() && control->IsEnabled() ? control : nullptr;
}

// ---------------------------------------------------------------- actions

bool WxUser::Click(int id) {
    wxWindow* control = Reachable(id);
    const bool clickable =
        dynamic_cast<FwLinkButton*>(control) || dynamic_cast<wxCheckBox*>(control) ||
        dynamic_cast<wxRadioButton*>(control) || dynamic_cast<wxButton*>(control);
    if (!clickable) {
        return false;
    }
    x::Click(Centre(control));
    return true;
}

bool WxUser::Type(int id, std::string_view text) {
    auto* box = dynamic_cast<wxTextCtrl*>(Reachable(id));
    if (!box || !box->IsEditable()) {
        return false;
    }
    // Everything in the box is selected and typed over, key by key.
    FocusThen(box, [typed = std::string(text)] {
        x::Key(XK_a, x::Modifier::Control);
        if (typed.empty()) {
            x::Key(XK_BackSpace);
        } else {
            x::Type(typed);
        }
    });
    return true;
}

bool WxUser::Choose(int id, std::string_view item) {
    auto* choice = dynamic_cast<wxChoice*>(Reachable(id));
    const int index = choice ? choice->FindString(ToWx(item), true) : wxNOT_FOUND;
    if (index == wxNOT_FOUND) {
        return false;
    }
    // A click drops the list down; a click on the item chooses it.
    x::Click(Centre(choice));
    wxWeakRef<wxChoice> weak(choice);
    Then([weak] { return weak && DroppedList(weak); },
         [weak, index] {
             GList* items = gtk_container_get_children(GTK_CONTAINER(DroppedList(weak)));
             if (auto* entry = static_cast<GtkWidget*>(g_list_nth_data(items, index))) {
                 x::Click(Centre(entry));
             }
             g_list_free(items);
         });
    return true;
}

bool WxUser::PickDate(int id, const base::Date& date) {
    auto* picker = dynamic_cast<wxDatePickerCtrl*>(Reachable(id));
    if (!picker) {
        return false;
    }
    const wxDateTime day(static_cast<wxDateTime::wxDateTime_t>(date.day),
                         static_cast<wxDateTime::Month>(date.month - 1), date.year);
    wxDateTime earliest, latest;
    picker->GetRange(&earliest, &latest);
    if (!day.IsValid() || (earliest.IsValid() && day < earliest)) {
        return false;
    }
    picker->SetFocus();
    picker->SetValue(day);
    wxDateEvent changed(picker, day, wxEVT_DATE_CHANGED);
    picker->GetEventHandler()->ProcessEvent(changed);
    return true;
}

namespace {

// Where a click on a list's row lands: a little inside the cell, half way down.
wxPoint CellPoint(FwListView* list, long row, long column) {
    list->EnsureVisible(row);
    wxRect cell;
    list->GetSubItemRect(row, column, cell);
    return list->ClientToScreen(cell.GetPosition() + wxPoint(4, cell.height / 2));
}

}  // namespace

bool WxUser::ClickCell(int listId, int row, int column) {
    auto* list = dynamic_cast<FwListView*>(Reachable(listId));
    if (!list || row < 0 || row >= list->GetItemCount() || column < 0 ||
        column >= list->GetColumnCount()) {
        return false;
    }
    x::Click(CellPoint(list, row, column));
    return true;
}

bool WxUser::ClickHeader(int listId, int column) {
    auto* list = dynamic_cast<FwListView*>(Reachable(listId));
    if (!list || column < 0 || column >= list->GetColumnCount()) {
        return false;
    }
    wxWindow* header = nullptr;
    for (wxWindow* child : list->GetChildren()) {
        header = child != list->RowsWindow() ? child : header;
    }
    if (!header) {
        return false;
    }
    int left = 0;
    for (int i = 0; i < column; ++i) {
        left += list->GetColumnWidth(i);
    }
    x::Click(header->ClientToScreen(
        wxPoint(left + list->GetColumnWidth(column) / 2, header->GetClientSize().y / 2)));
    return true;
}

bool WxUser::SelectRows(int listId, const std::vector<size_t>& rows) {
    auto* list = dynamic_cast<FwListView*>(Reachable(listId));
    if (!list || rows.empty()) {
        return false;
    }
    // A click on the first row, Ctrl and a click on each of the others.
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i] >= static_cast<size_t>(list->GetItemCount())) {
            return false;
        }
        x::Click(CellPoint(list, static_cast<long>(rows[i]), 0), 1,
                 i == 0 ? x::Modifier::Plain : x::Modifier::Control);
    }
    return true;
}

bool WxUser::RightClick(int id) {
    wxWindow* control = Reachable(id);
    if (!control) {
        return false;
    }
    wxPoint at = Centre(control);
    if (auto* list = dynamic_cast<FwListView*>(control)) {
        // On a chosen row (which keeps the choice), else on the blank below the rows.
        const std::vector<size_t> chosen = list->SelectedItems();
        const long count = list->GetItemCount();
        wxRect last;
        if (!chosen.empty()) {
            at = CellPoint(list, static_cast<long>(chosen.front()), 0);
        } else if (count > 0 && list->GetItemRect(count - 1, last) &&
                   last.GetBottom() + 8 < list->GetClientSize().y) {
            at = list->ClientToScreen(wxPoint(last.x + 4, last.GetBottom() + 6));
        }
    }
    x::Click(at, 3);
    return true;
}

bool WxUser::Press(Key key) {
    switch (key) {
        case Key::Enter:
            x::Key(XK_Return);
            break;
        case Key::Escape:
            x::Key(XK_Escape);
            break;
        case Key::Tab:
            x::Key(XK_Tab);
            break;
    }
    return true;
}

// ---------------------------------------------------------------- looks

bool WxUser::Shown(std::string_view caption) const {
    return FindShownWindow(ToWx(caption)) != nullptr;
}

std::string WxUser::Text(int id) const {
    const WxForm* form = WxForm::In(window_);
    return form && form->control(id) ? form->GetText(id) : std::string();
}

bool WxUser::Enabled(int id) const {
    const WxForm* form = WxForm::In(window_);
    return form && form->control(id) && form->IsEnabled(id);
}

bool WxUser::Checked(int id) const {
    const WxForm* form = WxForm::In(window_);
    return form && form->control(id) && form->GetCheck(id);
}

int WxUser::Focused() const {
    const WxForm* form = WxForm::In(window_);
    const wxWindow* focus = wxWindow::FindFocus();
    if (!form || !focus) {
        return 0;
    }
    for (const ControlEntry& entry : form->layout().controls) {
        if (Within(focus, form->control(entry.id))) {
            return entry.id;
        }
    }
    return 0;
}

std::vector<std::vector<std::string>> WxUser::Rows(int listId) const {
    std::vector<std::vector<std::string>> rows;
    const auto* list = dynamic_cast<const wxListCtrl*>(Control(listId));
    for (long item = 0; list && item < list->GetItemCount(); ++item) {
        std::vector<std::string> row;
        for (int column = 0; column < list->GetColumnCount(); ++column) {
            row.push_back(FromWx(list->GetItemText(item, column)));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

// ---------------------------------------------------------------- menus, boxes, dialogs

std::optional<Menu> WxUser::OpenMenu() const {
    const WxBackend::ShownPopup* shown = ShownPopup();
    if (!shown) {
        return std::nullopt;
    }
    Menu menu{shown->menu->name, {}};
    for (size_t index = 0; index < shown->menu->items.size(); ++index) {
        const wxMenuItem* item = shown->popup->FindItemByPosition(index);
        menu.items.push_back({shown->menu->items[index].id, FromWx(item->GetItemLabelText()),
                              item->IsEnabled(), item->IsCheckable() && item->IsChecked()});
    }
    return menu;
}

bool WxUser::ChooseMenuItem(std::string_view text) {
    const WxBackend::ShownPopup* shown = ShownPopup();
    if (!shown) {
        return false;
    }
    for (wxMenuItem* item : shown->popup->GetMenuItems()) {
        if (FromWx(item->GetItemLabelText()) == text && item->IsEnabled()) {
            x::Click(Centre(item->GetMenuItem()));
            return true;
        }
    }
    return false;
}

int WxUser::Enter(wxDialog* dialog) {
    if (auto* box = dynamic_cast<wxMessageDialog*>(dialog)) {
        messageBox_ = box;
        ++messageBoxes_;
    } else if (auto* save = dynamic_cast<wxFileDialog*>(dialog)) {
        saveDialog_ = save;
    }
    return wxID_NONE;  // shown as usual
}

void WxUser::Exit(wxDialog* dialog) {
    closing_ = false;
    if (dialog == messageBox_) {
        messageBox_ = nullptr;
    } else if (dialog == saveDialog_) {
        saveDialog_ = nullptr;
    }
}

std::optional<MessageBoxShown> WxUser::OpenMessageBox() const {
    if (!messageBox_ || !OnScreen(messageBox_->GetHandle())) {
        return std::nullopt;
    }
    const wxWindow* owner = messageBox_->GetParent();
    const std::vector<unsigned long> stacking = x::Stacking();
    const bool inFront =
        !stacking.empty() && stacking.back() == x::XWindowOf(messageBox_->GetHandle());
    return MessageBoxShown{FromWx(messageBox_->GetMessage()),
                           IconOf(messageBox_->GetMessageDialogStyle()),
                           owner ? FromWx(TitleOf(owner)) : std::string(), messageBoxes_, inFront};
}

bool WxUser::CloseMessageBox() {
    if (!OpenMessageBox()) {
        return false;
    }
    // One click on OK for each box: a click on its way is not repeated.
    if (answeredBox_ != messageBoxes_) {
        answeredBox_ = messageBoxes_;
        GtkWidget* ok = gtk_dialog_get_widget_for_response(GTK_DIALOG(messageBox_->GetHandle()),
                                                           GTK_RESPONSE_OK);
        if (!ok) {
            return false;
        }
        x::Click(Centre(ok));
        closing_ = true;
    }
    return true;
}

std::optional<SaveFileRequest> WxUser::OpenSaveDialog() const {
    if (!saveDialog_ || !OnScreen(saveDialog_->GetHandle()) ||
        x::ActiveWindow() != x::XWindowOf(saveDialog_->GetHandle())) {
        return std::nullopt;
    }
    return SaveFileRequest{"", FromWx(saveDialog_->GetFilename()),
                           FromWx(saveDialog_->GetWildcard()), FromWx(saveDialog_->GetDirectory())};
}

bool WxUser::AnswerSaveDialog(std::string_view path) {
    if (!OpenSaveDialog()) {
        return false;
    }
    // The file name box has the focus: the whole path is typed over its text, then Enter.
    x::Key(XK_a, x::Modifier::Control);
    x::Type(path);
    x::Key(XK_Return);
    closing_ = true;
    return true;
}

std::string WxUser::Clipboard() const {
    wxClipboardLocker lock;
    wxTextDataObject text;
    return !!lock && wxTheClipboard->GetData(text) ? FromWx(text.GetText()) : std::string();
}

}  // namespace fw::wx
