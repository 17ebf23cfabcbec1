#include "framework/wx/wx_form.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/datectrl.h>
#include <wx/dateevt.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>

#include "framework/wx/wx_link_button.h"
#include "framework/wx/wx_list_view.h"
#include "framework/wx/wx_painter.h"
#include "framework/wx/wx_text.h"

namespace fw::wx {
namespace {

wxFont LayoutFont(const DialogTemplate& layout) {
    wxFontInfo info(layout.pointSize > 0 ? layout.pointSize : 8);
    info.Family(wxFONTFAMILY_SWISS);
    return FontWithFace(info, layout.fontName);
}

// Sorted drop-down lists order their entries without regard to case, like the platform's
// sorted combo box; an entry equal to existing ones goes after them.
bool SortsBefore(const wxString& a, const wxString& b) {
    return a.CmpNoCase(b) < 0;
}

}  // namespace

WxForm::WxForm(const DialogTemplate& layout, FormEvents& events, wxWindow* parent)
    : layout_(layout),
      link_(std::make_shared<Link>()),
      caption_(layout.caption ? layout.caption : "") {
    link_->form = this;
    link_->events = &events;
    BuildWindow(parent);
    for (const ControlEntry& entry : layout.controls) {
        CreateControl(entry);
    }
}

WxForm::~WxForm() {
    link_->form = nullptr;
    link_->events = nullptr;
    if (ownFrame_) {
        ownFrame_->Destroy();
    } else if (wxDialog* d = dialog()) {
        d->Hide();
        d->Destroy();
    } else if (window_) {
        window_->Destroy();
    }
}

void WxForm::BuildWindow(wxWindow* parent) {
    const wxFont font = LayoutFont(layout_);
    if (layout_.kind == FormKind::ChildForm) {
        if (!parent) {
            ownFrame_ = new wxFrame(nullptr, wxID_ANY, ToWx(caption_));
            parent = ownFrame_;
        }
        window_ = new wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL);
        window_->SetFont(font);
        window_->SetSize(window_->ConvertDialogToPixels(wxSize(layout_.width, layout_.height)));
        if (ownFrame_) {
            ownFrame_->SetClientSize(window_->GetSize());
        }
    } else {
        long style = wxCAPTION;
        if (layout_.kind == FormKind::ModalDialog) {
            style |= wxSYSTEM_MENU | wxCLOSE_BOX;
        }
        auto* d =
            new wxDialog(parent, wxID_ANY, ToWx(caption_), wxDefaultPosition, wxDefaultSize, style);
        d->SetFont(font);
        d->SetClientSize(d->ConvertDialogToPixels(wxSize(layout_.width, layout_.height)));
        std::shared_ptr<Link> link = link_;
        d->Bind(wxEVT_CLOSE_WINDOW, [link](wxCloseEvent& event) {
            if (!link->form || !event.CanVeto()) {
                event.Skip();
                return;
            }
            event.Veto();
            link->form->Cancel();
        });
        window_ = d;
    }
    std::shared_ptr<Link> link = link_;
    wxWindow* self = window_;
    window_->Bind(wxEVT_CHAR_HOOK, [link](wxKeyEvent& event) {
        if (link->form) {
            link->form->OnCharHook(event);
        } else {
            event.Skip();
        }
    });
    window_->Bind(wxEVT_SIZE, [link](wxSizeEvent& event) {
        event.Skip();
        if (link->form && link->events) {
            link->form->NotifySize();
        }
    });
    window_->Bind(wxEVT_CONTEXT_MENU, [link](wxContextMenuEvent& event) {
        if (!link->form || !link->events) {
            return;
        }
        int id = 0;
        for (const auto& [controlId, control] : link->form->controls_) {
            if (control == event.GetEventObject()) {
                id = controlId;
            }
        }
        link->events->OnContextMenu(id);
    });
    // A window destroyed by its parent leaves the form without controls, never dangling.
    window_->Bind(wxEVT_DESTROY, [link, self](wxWindowDestroyEvent& event) {
        event.Skip();
        if (event.GetEventObject() == self && link->form) {
            link->form->window_ = nullptr;
            link->form->ownFrame_ = nullptr;
            link->form->controls_.clear();
        }
    });
}

void WxForm::CreateControl(const ControlEntry& entry) {
    const wxPoint pos = window_->ConvertDialogToPixels(wxPoint(entry.x, entry.y));
    const wxSize size = window_->ConvertDialogToPixels(wxSize(entry.width, entry.height));
    const wxString text = ToWx(entry.text ? entry.text : "");
    wxWindow* control = nullptr;
    switch (entry.kind) {
        case ControlKind::Static: {
            const long align =
                (entry.style & kStyleCentered) ? wxALIGN_CENTRE_HORIZONTAL : wxALIGN_LEFT;
            control = new wxStaticText(window_, entry.id, wxString(), pos, size,
                                       align | wxST_NO_AUTORESIZE);
            break;
        }
        case ControlKind::GroupBox:
            control = new wxStaticBox(window_, entry.id, text, pos, size);
            break;
        case ControlKind::Edit: {
            long style = 0;
            if (entry.style & kStyleMultiLine) {
                style |= wxTE_MULTILINE | wxTE_NO_VSCROLL;
            }
            if (entry.style & kStyleReadOnly) {
                style |= wxTE_READONLY;
            }
            auto* edit = new wxTextCtrl(window_, entry.id, text, pos, size, style);
            if (entry.style & kStyleUppercase) {
                edit->ForceUpper();
            }
            control = edit;
            break;
        }
        case ControlKind::Button:
        case ControlKind::DefaultButton: {
            auto* button = new wxButton(window_, entry.id, text, pos, size);
            if (entry.kind == ControlKind::DefaultButton) {
                button->SetDefault();
            }
            control = button;
            break;
        }
        case ControlKind::CheckBox:
            control = new wxCheckBox(window_, entry.id, text, pos, size);
            break;
        case ControlKind::RadioButton:
            control = new wxRadioButton(window_, entry.id, text, pos, size,
                                        (entry.style & kStyleGroup) ? wxRB_GROUP : 0);
            break;
        case ControlKind::ComboDropList:
            // The layout's height includes the dropped-down list; the closed box keeps its own.
            control = new wxChoice(window_, entry.id, pos, wxSize(size.x, -1));
            if (entry.style & kStyleSorted) {
                sortedCombos_.insert(entry.id);
            }
            break;
        case ControlKind::DatePicker: {
            auto* picker = new wxDatePickerCtrl(window_, entry.id, wxDefaultDateTime, pos, size,
                                                wxDP_DROPDOWN | wxDP_SHOWCENTURY);
            picker->SetRange(wxDateTime(1, wxDateTime::Jan, 1970), wxInvalidDateTime);
            control = picker;
            break;
        }
        case ControlKind::ListView:
            control = new FwListView(window_, entry.id, wxRect(pos, size),
                                     (entry.style & kStyleSingleSel) != 0);
            break;
        case ControlKind::LinkButton:
            control = new FwLinkButton(window_, entry.id, text, wxRect(pos, size));
            break;
    }
    if (entry.kind == ControlKind::CheckBox || entry.kind == ControlKind::RadioButton) {
        KeepToolkitMinimum(*control);
    }
    controls_[entry.id] = control;
    kinds_[entry.id] = entry.kind;
    if (entry.kind == ControlKind::Static) {
        SetStaticText(entry.id, entry.text ? entry.text : "");
    }
    if (entry.style & kStyleDisabled) {
        control->Disable();
    }
    if (entry.style & kStyleHidden) {
        control->Hide();
    }
    BindControl(control, entry);
}

// GTK draws check and radio buttons with an indicator and a label of fixed minimum sizes; a box
// smaller than that cuts the label and makes GTK complain at every layout. Such a box grows to
// the toolkit's size, centred on the row the layout gave it.
void WxForm::KeepToolkitMinimum(wxWindow& control) {
    const wxRect given = control.GetRect();
    const wxSize best = control.GetBestSize();
    const int width = std::max(given.width, best.x);
    const int height = std::max(given.height, best.y);
    control.SetSize(given.x, given.y - (height - given.height) / 2, width, height);
}

void WxForm::BindControl(wxWindow* control, const ControlEntry& entry) {
    std::shared_ptr<Link> link = link_;
    const int id = entry.id;
    auto command = [link, id](wxCommandEvent&) {
        if (link->events) {
            link->events->OnCommand(id);
        }
    };
    auto killFocus = [link, id](wxFocusEvent& event) {
        event.Skip();
        if (link->events) {
            link->events->OnKillFocus(id);
        }
    };
    switch (entry.kind) {
        case ControlKind::Button:
        case ControlKind::DefaultButton:
            control->Bind(wxEVT_BUTTON, command);
            break;
        case ControlKind::CheckBox:
            control->Bind(wxEVT_CHECKBOX, command);
            break;
        case ControlKind::RadioButton:
            control->Bind(wxEVT_RADIOBUTTON, command);
            break;
        case ControlKind::ComboDropList:
            control->Bind(wxEVT_CHOICE, [link, id](wxCommandEvent&) {
                if (link->events) {
                    link->events->OnSelChange(id);
                }
            });
            break;
        case ControlKind::LinkButton:
            static_cast<FwLinkButton*>(control)->onClick = [link, id] {
                if (link->events) {
                    link->events->OnCommand(id);
                }
            };
            break;
        case ControlKind::ListView: {
            auto* list = static_cast<FwListView*>(control);
            list->Bind(wxEVT_LIST_COL_CLICK, [link, id](wxListEvent& event) {
                if (link->events) {
                    link->events->OnColumnClick(id, event.GetColumn());
                }
            });
            list->Bind(wxEVT_LIST_ITEM_SELECTED, [link, id](wxListEvent& event) {
                if (link->events) {
                    link->events->OnItemChanged(id, static_cast<int>(event.GetIndex()), 0);
                }
            });
            list->Bind(wxEVT_CONTEXT_MENU, [link, id](wxContextMenuEvent&) {
                if (link->events) {
                    link->events->OnContextMenu(id);
                }
            });
            list->onItemClick = [link, id](long item, long column) {
                if (link->events) {
                    link->events->OnItemClick(id, static_cast<int>(item), static_cast<int>(column));
                }
            };
            list->RowsWindow()->Bind(wxEVT_KILL_FOCUS, killFocus);
            return;
        }
        default:
            break;
    }
    if (entry.kind != ControlKind::Static && entry.kind != ControlKind::GroupBox) {
        control->Bind(wxEVT_KILL_FOCUS, killFocus);
    }
}

void WxForm::OnCharHook(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    if (key == WXK_ESCAPE) {
        Cancel();
        return;
    }
    if (key == WXK_RETURN || key == WXK_NUMPAD_ENTER) {
        auto* edit = dynamic_cast<wxTextCtrl*>(wxWindow::FindFocus());
        if (!(edit && edit->IsMultiLine()) && link_->events) {
            link_->events->OnOK();
            return;
        }
    }
    event.Skip();
}

void WxForm::Cancel() {
    std::shared_ptr<Link> link = link_;
    if (link->events) {
        link->events->OnCancel();
    }
    // A dialog whose owner did not end it on Esc or close ends with Cancel, as dialogs do.
    if (!link->form || ended_) {
        return;
    }
    if (wxDialog* d = dialog()) {
        if (d->IsModal()) {
            EndDialog(kIdCancel);
        } else if (d->IsShown()) {
            d->Hide();
        }
    }
}

wxDialog* WxForm::dialog() const {
    return dynamic_cast<wxDialog*>(window_);
}

wxWindow* WxForm::control(int id) const {
    auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : found->second;
}

template <class T>
T* WxForm::As(int id) const {
    return dynamic_cast<T*>(control(id));
}

FwListView* WxForm::List(int id) const {
    return As<FwListView>(id);
}

Size WxForm::TemplateSize() const {
    return DialogUnitsToPixels({layout_.width, layout_.height});
}

int WxForm::ShowModal() {
    wxDialog* d = dialog();
    if (!d) {
        return kIdCancel;
    }
    ended_ = false;
    return d->ShowModal();
}

void WxForm::NotifySize() {
    if (window_ && link_->events) {
        link_->events->OnSize(ClientSize());
    }
}

// ---------------------------------------------------------------- the window itself

void WxForm::SetCaption(std::string_view text) {
    caption_ = text;
    if (wxDialog* d = dialog()) {
        d->SetTitle(ToWx(text));
    } else if (ownFrame_) {
        ownFrame_->SetTitle(ToWx(text));
    }
}

std::string WxForm::Caption() const {
    return caption_;
}

void WxForm::ShowWindow(bool show) {
    if (!window_) {
        return;
    }
    if (show) {
        ended_ = false;
    }
    if (ownFrame_) {
        ownFrame_->Show(show);
    }
    window_->Show(show);
    if (show && dialog()) {
        dialog()->Raise();
    }
}

bool WxForm::IsWindowVisible() const {
    return window_ && window_->IsShown() && (!ownFrame_ || ownFrame_->IsShown());
}

void WxForm::MoveTo(Point screenPosition) {
    if (!window_) {
        return;
    }
    wxWindow* top = ownFrame_ ? ownFrame_ : window_;
    if (top->IsTopLevel()) {
        top->Move(screenPosition.x, screenPosition.y);
    } else {
        top->Move(top->GetParent()->ScreenToClient(wxPoint(screenPosition.x, screenPosition.y)));
    }
}

Point WxForm::Position() const {
    if (!window_) {
        return {};
    }
    const wxPoint at =
        window_->IsTopLevel() ? window_->GetPosition() : window_->GetScreenPosition();
    return {at.x, at.y};
}

Size WxForm::ClientSize() const {
    if (!window_) {
        return {};
    }
    const wxSize size = window_->GetClientSize();
    return {size.x, size.y};
}

Size WxForm::DialogUnitsToPixels(Size units) const {
    if (!window_) {
        return {};
    }
    const wxSize pixels = window_->ConvertDialogToPixels(wxSize(units.width, units.height));
    return {pixels.x, pixels.y};
}

void WxForm::EndDialog(int result) {
    ended_ = true;
    wxDialog* d = dialog();
    if (!d) {
        return;
    }
    if (d->IsModal()) {
        d->EndModal(result);
    } else {
        d->Hide();
    }
}

void WxForm::Repaint() {
    if (window_) {
        window_->Refresh();
        window_->Update();
    }
}

// ---------------------------------------------------------------- any control

std::string WxForm::GetText(int id) const {
    wxWindow* c = control(id);
    if (!c) {
        return {};
    }
    switch (kinds_.at(id)) {
        case ControlKind::Edit:
            return FromWx(static_cast<wxTextCtrl*>(c)->GetValue());
        case ControlKind::Static:
            return staticTexts_.at(id);
        case ControlKind::ComboDropList:
            return FromWx(static_cast<wxChoice*>(c)->GetStringSelection());
        case ControlKind::ListView:
        case ControlKind::DatePicker:
            return {};
        default:
            return FromWx(c->GetLabel());
    }
}

void WxForm::SetStaticText(int id, std::string_view text) {
    auto* label = As<wxStaticText>(id);
    if (!label) {
        return;
    }
    staticTexts_[id] = text;
    label->SetLabelText(ToWx(text));
    // A static taller than one line wraps its words, as a multi-line static does.
    if (label->GetSize().y >= 2 * label->GetCharHeight()) {
        label->Wrap(label->GetSize().x);
    }
}

void WxForm::SetText(int id, std::string_view text) {
    wxWindow* c = control(id);
    if (!c) {
        return;
    }
    switch (kinds_.at(id)) {
        case ControlKind::Edit:
            static_cast<wxTextCtrl*>(c)->ChangeValue(ToWx(text));
            break;
        case ControlKind::Static:
            SetStaticText(id, text);
            break;
        case ControlKind::ComboDropList:
        case ControlKind::ListView:
        case ControlKind::DatePicker:
            break;  // these show their entries, not a text of their own
        default:
            c->SetLabel(ToWx(text));
            c->Refresh();
            break;
    }
}

void WxForm::Enable(int id, bool enable) {
    if (wxWindow* c = control(id)) {
        c->Enable(enable);
    }
}

bool WxForm::IsEnabled(int id) const {
    wxWindow* c = control(id);
    return c && c->IsThisEnabled();
}

void WxForm::Show(int id, bool show) {
    if (wxWindow* c = control(id)) {
        c->Show(show);
    }
}

bool WxForm::IsVisible(int id) const {
    wxWindow* c = control(id);
    return c && c->IsShown();
}

void WxForm::SetFocus(int id) {
    if (wxWindow* c = control(id)) {
        c->SetFocus();
    }
}

int WxForm::FocusedControl() const {
    for (wxWindow* w = wxWindow::FindFocus(); w; w = w->GetParent()) {
        for (const auto& [id, c] : controls_) {
            if (c == w) {
                return id;
            }
        }
        if (w == window_) {
            break;
        }
    }
    return 0;
}

Rect WxForm::ControlRect(int id) const {
    wxWindow* c = control(id);
    if (!c) {
        return {};
    }
    const wxRect r = c->GetRect();
    return {r.x, r.y, r.x + r.width, r.y + r.height};
}

void WxForm::MoveControl(int id, const Rect& rect) {
    if (wxWindow* c = control(id)) {
        c->SetSize(rect.left, rect.top, rect.Width(), rect.Height());
    }
}

int WxForm::TextWidth(int id, std::string_view text) const {
    wxWindow* c = control(id);
    return c ? c->GetTextExtent(ToWx(text)).x : 0;
}

void WxForm::LimitText(int id, int maxCharacters) {
    if (auto* edit = As<wxTextCtrl>(id)) {
        edit->SetMaxLength(static_cast<unsigned long>(std::max(maxCharacters, 0)));
    }
}

// ---------------------------------------------------------------- check boxes and radio buttons

void WxForm::SetCheck(int id, bool checked) {
    if (auto* box = As<wxCheckBox>(id)) {
        box->SetValue(checked);
    } else if (auto* radio = As<wxRadioButton>(id)) {
        radio->SetValue(checked);
    }
}

bool WxForm::GetCheck(int id) const {
    if (auto* box = As<wxCheckBox>(id)) {
        return box->GetValue();
    }
    if (auto* radio = As<wxRadioButton>(id)) {
        return radio->GetValue();
    }
    return false;
}

// ---------------------------------------------------------------- drop-down lists

void WxForm::ComboReset(int id) {
    if (auto* combo = As<wxChoice>(id)) {
        combo->Clear();
    }
}

int WxForm::ComboAdd(int id, std::string_view text) {
    auto* combo = As<wxChoice>(id);
    if (!combo) {
        return -1;
    }
    const wxString entry = ToWx(text);
    int index = static_cast<int>(combo->GetCount());
    if (sortedCombos_.count(id)) {
        index = 0;
        while (index < static_cast<int>(combo->GetCount()) &&
               !SortsBefore(entry, combo->GetString(static_cast<unsigned>(index)))) {
            ++index;
        }
    }
    return combo->Insert(entry, static_cast<unsigned>(index));
}

int WxForm::ComboCount(int id) const {
    auto* combo = As<wxChoice>(id);
    return combo ? static_cast<int>(combo->GetCount()) : 0;
}

std::string WxForm::ComboItem(int id, int index) const {
    auto* combo = As<wxChoice>(id);
    if (!combo || index < 0 || index >= static_cast<int>(combo->GetCount())) {
        return {};
    }
    return FromWx(combo->GetString(static_cast<unsigned>(index)));
}

int WxForm::ComboSelection(int id) const {
    auto* combo = As<wxChoice>(id);
    return combo ? combo->GetSelection() : -1;
}

void WxForm::ComboSetSelection(int id, int index) {
    if (auto* combo = As<wxChoice>(id)) {
        combo->SetSelection(
            index >= 0 && index < static_cast<int>(combo->GetCount()) ? index : wxNOT_FOUND);
    }
}

int WxForm::ComboSelectPrefix(int id, std::string_view text) {
    auto* combo = As<wxChoice>(id);
    if (!combo) {
        return -1;
    }
    const wxString prefix = ToWx(text).Lower();
    for (unsigned i = 0; i < combo->GetCount(); ++i) {
        if (combo->GetString(i).Lower().StartsWith(prefix)) {
            combo->SetSelection(static_cast<int>(i));
            return static_cast<int>(i);
        }
    }
    return -1;
}

// GTK sizes a drop-down to its widest entry by itself; there is no width to set.
void WxForm::ComboSetDroppedWidth(int /*id*/, int /*pixels*/) {}

// ---------------------------------------------------------------- date pickers

base::Date WxForm::GetDate(int id) const {
    auto* picker = As<wxDatePickerCtrl>(id);
    if (!picker || !picker->GetValue().IsValid()) {
        return {};
    }
    const wxDateTime value = picker->GetValue();
    return {value.GetYear(), static_cast<int>(value.GetMonth()) + 1, value.GetDay()};
}

bool WxForm::SetDate(int id, const base::Date& date) {
    auto* picker = As<wxDatePickerCtrl>(id);
    if (!picker || date.year < 1970 || date.month < 1 || date.month > 12 || date.day < 1 ||
        date.day > wxDateTime::GetNumberOfDays(static_cast<wxDateTime::Month>(date.month - 1),
                                               date.year)) {
        return false;
    }
    picker->SetValue(wxDateTime(static_cast<wxDateTime::wxDateTime_t>(date.day),
                                static_cast<wxDateTime::Month>(date.month - 1), date.year));
    return true;
}

// ---------------------------------------------------------------- list views

void WxForm::ListSetSource(int id, const ListSource* source) {
    if (FwListView* list = List(id)) {
        list->SetSource(source);
        list->Refresh();
    }
}

void WxForm::ListInsertColumn(int id, int column, std::string_view title, int width) {
    if (FwListView* list = List(id)) {
        list->InsertColumn(column, ToWx(title), wxLIST_FORMAT_LEFT, width);
    }
}

int WxForm::ListColumnCount(int id) const {
    FwListView* list = List(id);
    return list ? list->GetColumnCount() : 0;
}

std::string WxForm::ListColumnTitle(int id, int column) const {
    FwListView* list = List(id);
    wxListItem item;
    item.SetMask(wxLIST_MASK_TEXT);
    if (!list || column < 0 || column >= list->GetColumnCount() || !list->GetColumn(column, item)) {
        return {};
    }
    return FromWx(item.GetText());
}

void WxForm::ListSetColumnWidth(int id, int column, int width) {
    FwListView* list = List(id);
    if (list && column >= 0 && column < list->GetColumnCount()) {
        list->SetColumnWidth(column, width);
    }
}

int WxForm::ListColumnWidth(int id, int column) const {
    FwListView* list = List(id);
    return list && column >= 0 && column < list->GetColumnCount() ? list->GetColumnWidth(column)
                                                                  : 0;
}

void WxForm::ListAutoSizeColumnToHeader(int id, int column) {
    FwListView* list = List(id);
    if (list && column >= 0 && column < list->GetColumnCount()) {
        list->SetColumnWidth(column, wxLIST_AUTOSIZE_USEHEADER);
    }
}

void WxForm::ListSetItemCount(int id, size_t count) {
    if (FwListView* list = List(id)) {
        list->ClearSelection();
        list->SetItemCount(static_cast<long>(count));
        list->Refresh();
    }
}

size_t WxForm::ListItemCount(int id) const {
    FwListView* list = List(id);
    return list ? static_cast<size_t>(list->GetItemCount()) : 0;
}

std::vector<size_t> WxForm::ListSelectedItems(int id) const {
    FwListView* list = List(id);
    return list ? list->SelectedItems() : std::vector<size_t>{};
}

void WxForm::ListSelect(int id, size_t item, bool selected) {
    FwListView* list = List(id);
    if (list && item < static_cast<size_t>(list->GetItemCount())) {
        list->SetItemState(static_cast<long>(item), selected ? wxLIST_STATE_SELECTED : 0,
                           wxLIST_STATE_SELECTED);
    }
}

void WxForm::ListSetExtendedStyle(int id, uint32_t add, uint32_t remove) {
    if (FwListView* list = List(id)) {
        list->SetExtendedStyle((list->extendedStyle() & ~remove) | add);
    }
}

uint32_t WxForm::ListExtendedStyle(int id) const {
    FwListView* list = List(id);
    return list ? list->extendedStyle() : 0;
}

void WxForm::ListSetImages(int id, ListImages images) {
    if (FwListView* list = List(id)) {
        list->SetImages(images);
    }
}

void WxForm::ListRefresh(int id) {
    if (FwListView* list = List(id)) {
        list->Refresh();
    }
}

// ---------------------------------------------------------------- owner-drawn controls, tooltips

void WxForm::SetOwnerDrawn(int id, OwnerDrawn* drawer) {
    if (auto* link = As<FwLinkButton>(id)) {
        link->SetDrawer(drawer);
    }
}

void WxForm::SetToolTip(int id, std::string_view text, bool active) {
    wxWindow* c = control(id);
    if (!c) {
        return;
    }
    if (active) {
        c->SetToolTip(ToWx(text));
    } else {
        c->UnsetToolTip();
    }
}

void WxForm::ResizeControl(int id, Size pixels) {
    if (wxWindow* c = control(id)) {
        c->SetSize(pixels.width, pixels.height);
    }
}

}  // namespace fw::wx
