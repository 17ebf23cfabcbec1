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

#include <gtk/gtk.h>

#include <algorithm>

#include "framework/wx/wx_backend.h"
#include "framework/wx/wx_form.h"
#include "framework/wx/wx_link_button.h"
#include "framework/wx/wx_list_view.h"
#include "framework/wx/wx_text.h"
#include "framework/wx/wx_user_actions.h"

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

void SendFocusLost(wxWindow* control, wxWindow* next) {
    wxFocusEvent lost(wxEVT_KILL_FOCUS, control->GetId());
    lost.SetEventObject(control);
    lost.SetWindow(next);
    control->GetEventHandler()->ProcessEvent(lost);
}

template <class Event>
void Send(wxWindow* control, Event& event) {
    event.SetEventObject(control);
    control->GetEventHandler()->ProcessEvent(event);
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
    if (done()) {
        return;
    }
    wxGUIEventLoop loop;
    wxTimer check;
    check.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (done()) {
            loop.ScheduleExit();
        }
    });
    check.Start(10);
    loop.Run();
}

void WxUser::Post(std::function<void()> task) {
    wxTheApp->CallAfter([alive = alive_, task = std::move(task)] {
        if (WxUser* user = *alive) {
            user->RunOrDefer(task);
        }
    });
}

bool WxUser::Idle() const {
    const auto* backend = dynamic_cast<const WxBackend*>(GetBackend());
    const bool menuClosing = backend && backend->shownPopup() && !ShownPopup();
    return !closing_ && !menuClosing && idles_ > idlesAtLastTask_ && deferred_.empty() &&
           !wxTheApp->HasPendingEvents();
}

void WxUser::Abandon() {
    if (const WxBackend::ShownPopup* shown = ShownPopup()) {
        gtk_menu_shell_deactivate(GTK_MENU_SHELL(shown->popup->m_menu));
    }
    CloseMessageBox();
    if (OpenSaveDialog()) {
        closing_ = true;
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

// ---------------------------------------------------------------- windows

bool WxUser::Use(std::string_view caption) {
    wxWindow* found = FindShownWindow(ToWx(caption));
    window_ = found;
    // The user turns to the window: its tab comes to the front, a dialog comes up.
    if (auto* child = dynamic_cast<wxMDIChildFrame*>(found)) {
        child->Activate();
    } else if (found) {
        found->Raise();
    }
    return found != nullptr;
}

std::string WxUser::FrontWindow() const {
    for (const wxWindow* window = wxWindow::FindFocus(); window; window = window->GetParent()) {
        const wxString title = TitleOf(window);
        if (!title.empty()) {
            return FromWx(title);
        }
    }
    return {};
}

int WxUser::FindControl(std::string_view caption) const {
    const WxForm* form = WxForm::In(window_);
    if (!form) {
        return 0;
    }
    for (const ControlEntry& entry : form->layout().controls) {
        if (form->GetText(entry.id) == caption) {
            return entry.id;
        }
    }
    return 0;
}

wxWindow* WxUser::Control(int id) const {
    const WxForm* form = WxForm::In(window_);
    return form ? form->control(id) : nullptr;
}

wxWindow* WxUser::Reachable(int id) const {
    wxWindow* control = Control(id);
    return control && control->IsShownOnScreen() && control->IsEnabled() ? control : nullptr;
}

void WxUser::OnFocusLeft(wxFocusEvent& event) {
    focusLeft_ = true;
    event.Skip();
}

void WxUser::MoveFocus(wxWindow* control) {
    if (auto* list = dynamic_cast<FwListView*>(control)) {
        control = list->RowsWindow();
    }
    wxWindow* previous = focused_ ? focused_.get() : wxWindow::FindFocus();
    focused_ = control;
    if (!previous || previous == control) {
        control->SetFocus();
        return;
    }
    // GTK reports the focus change at once where the window has the focus of the display;
    // where no window manager gave it, the control left is told as GTK would have told it.
    focusLeft_ = false;
    previous->Bind(wxEVT_KILL_FOCUS, &WxUser::OnFocusLeft, this);
    control->SetFocus();
    previous->Unbind(wxEVT_KILL_FOCUS, &WxUser::OnFocusLeft, this);
    if (!focusLeft_) {
        SendFocusLost(previous, control);
    }
}

// ---------------------------------------------------------------- actions

bool WxUser::Click(int id) {
    wxWindow* control = Reachable(id);
    if (!control) {
        return false;
    }
    if (auto* link = dynamic_cast<FwLinkButton*>(control)) {
        MoveFocus(link);
        const wxSize size = link->GetClientSize();
        ClickAt(link, wxPoint(size.x / 2, size.y / 2));
    } else if (auto* box = dynamic_cast<wxCheckBox*>(control)) {
        MoveFocus(box);
        box->SetValue(!box->GetValue());
        wxCommandEvent click(wxEVT_CHECKBOX, id);
        click.SetInt(box->GetValue() ? 1 : 0);
        Send(box, click);
    } else if (auto* radio = dynamic_cast<wxRadioButton*>(control)) {
        MoveFocus(radio);
        radio->SetValue(true);
        wxCommandEvent click(wxEVT_RADIOBUTTON, id);
        click.SetInt(1);
        Send(radio, click);
    } else if (auto* button = dynamic_cast<wxButton*>(control)) {
        MoveFocus(button);
        fw::wx::Press(button->GetParent(), id);
    } else {
        return false;
    }
    return true;
}

bool WxUser::Type(int id, std::string_view text) {
    auto* box = dynamic_cast<wxTextCtrl*>(Reachable(id));
    if (!box || !box->IsEditable()) {
        return false;
    }
    MoveFocus(box);
    box->Clear();
    box->AppendText(ToWx(text));
    return true;
}

bool WxUser::Choose(int id, std::string_view item) {
    auto* choice = dynamic_cast<wxChoice*>(Reachable(id));
    const int index = choice ? choice->FindString(ToWx(item), true) : wxNOT_FOUND;
    if (index == wxNOT_FOUND) {
        return false;
    }
    MoveFocus(choice);
    choice->SetSelection(index);
    wxCommandEvent chosen(wxEVT_CHOICE, id);
    chosen.SetInt(index);
    chosen.SetString(choice->GetString(static_cast<unsigned>(index)));
    Send(choice, chosen);
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
    MoveFocus(picker);
    picker->SetValue(day);
    wxDateEvent changed(picker, day, wxEVT_DATE_CHANGED);
    Send(picker, changed);
    return true;
}

bool WxUser::ClickCell(int listId, int row, int column) {
    auto* list = dynamic_cast<FwListView*>(Reachable(listId));
    if (!list || row < 0 || row >= list->GetItemCount()) {
        return false;
    }
    MoveFocus(list);
    list->EnsureVisible(row);
    return fw::wx::ClickCell(list, row, column);
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
    int x = 0;
    for (int i = 0; i < column; ++i) {
        x += list->GetColumnWidth(i);
    }
    MoveFocus(list);
    ClickAt(header, wxPoint(x + list->GetColumnWidth(column) / 2, header->GetClientSize().y / 2));
    return true;
}

bool WxUser::SelectRows(int listId, const std::vector<size_t>& rows) {
    auto* list = dynamic_cast<FwListView*>(Reachable(listId));
    if (!list) {
        return false;
    }
    MoveFocus(list);
    for (long item = 0; item < list->GetItemCount(); ++item) {
        const bool wanted =
            std::find(rows.begin(), rows.end(), static_cast<size_t>(item)) != rows.end();
        list->SetItemState(item, wanted ? wxLIST_STATE_SELECTED : 0, wxLIST_STATE_SELECTED);
    }
    return true;
}

bool WxUser::RightClick(int id) {
    wxWindow* control = Reachable(id);
    if (!control) {
        return false;
    }
    MoveFocus(control);
    const wxSize size = control->GetClientSize();
    wxContextMenuEvent menu(wxEVT_CONTEXT_MENU, id,
                            control->ClientToScreen(wxPoint(size.x / 2, size.y / 3)));
    Send(control, menu);
    return true;
}

bool WxUser::Press(Key key) {
    if (const WxBackend::ShownPopup* shown = ShownPopup(); shown && key == Key::Escape) {
        gtk_menu_shell_deactivate(GTK_MENU_SHELL(shown->popup->m_menu));
        return true;
    }
    const WxForm* form = WxForm::In(window_);
    if (!form || !form->window()) {
        return false;
    }
    wxWindow* focus = focused_ && Within(focused_, form->window()) ? focused_.get() : nullptr;
    if (key == Key::Tab) {
        // The next control, in the order the layout made them, that takes the focus.
        const wxWindowList& controls = form->window()->GetChildren();
        auto at = std::find(controls.begin(), controls.end(), focus);
        for (size_t step = 1; step <= controls.size(); ++step) {
            if (at == controls.end() || ++at == controls.end()) {
                at = controls.begin();
            }
            wxWindow* next = *at;
            if (next->IsShownOnScreen() && next->IsEnabled() && next->CanAcceptFocus()) {
                MoveFocus(next);
                return true;
            }
        }
        return false;
    }
    wxKeyEvent pressed(wxEVT_CHAR_HOOK);
    pressed.m_keyCode = key == Key::Enter ? WXK_RETURN : WXK_ESCAPE;
    pressed.ResumePropagation(wxEVENT_PROPAGATE_MAX);
    wxWindow* target = focus ? focus : form->window();
    pressed.SetEventObject(target);
    target->GetEventHandler()->ProcessEvent(pressed);
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
            gtk_menu_shell_activate_item(GTK_MENU_SHELL(shown->popup->m_menu), item->GetMenuItem(),
                                         TRUE);
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
    if (!messageBox_ || !IsMapped(messageBox_->GetHandle())) {
        return std::nullopt;
    }
    const wxWindow* owner = messageBox_->GetParent();
    return MessageBoxShown{FromWx(messageBox_->GetMessage()),
                           IconOf(messageBox_->GetMessageDialogStyle()),
                           owner ? FromWx(TitleOf(owner)) : std::string(), messageBoxes_};
}

bool WxUser::CloseMessageBox() {
    if (!OpenMessageBox()) {
        return false;
    }
    closing_ = true;
    gtk_dialog_response(GTK_DIALOG(messageBox_->GetHandle()), GTK_RESPONSE_OK);
    return true;
}

std::optional<SaveFileRequest> WxUser::OpenSaveDialog() const {
    if (!saveDialog_ || !IsMapped(saveDialog_->GetHandle())) {
        return std::nullopt;
    }
    return SaveFileRequest{"", FromWx(saveDialog_->GetFilename()),
                           FromWx(saveDialog_->GetWildcard()), FromWx(saveDialog_->GetDirectory())};
}

bool WxUser::AnswerSaveDialog(std::string_view path) {
    if (!OpenSaveDialog()) {
        return false;
    }
    saveDialog_->SetPath(ToWx(path));
    closing_ = true;
    gtk_dialog_response(GTK_DIALOG(saveDialog_->GetHandle()), GTK_RESPONSE_ACCEPT);
    return true;
}

std::string WxUser::Clipboard() const {
    wxClipboardLocker lock;
    wxTextDataObject text;
    return !!lock && wxTheClipboard->GetData(text) ? FromWx(text.GetText()) : std::string();
}

}  // namespace fw::wx
