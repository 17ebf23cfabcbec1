#include "framework/wx/wx_form.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/datectrl.h>
#include <wx/dateevt.h>
#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <gtk/gtk.h>

#include <algorithm>
#include <cmath>

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

// A dialog unit is a quarter of the layout font's average character width across, an eighth of
// its height down, as on the platform the layouts were drawn for.
wxSize DialogBase(const wxWindow& window, const wxFont& font) {
    int width = 0;
    int height = 0;
    window.GetTextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", &width, &height,
                         nullptr, nullptr, &font);
    return {(width / 26 + 1) / 2, height};
}

// GTK's default theme pads entries, buttons and drop-downs for touch-sized rows; the layouts
// were drawn for thin 3D boxes around text in an 8-point font. Inside a layout window the
// controls keep their theme's look with the padding such boxes have.
constexpr char kLayoutStyleClass[] = "fw-layout";
constexpr char kLayoutStyle[] = R"(
.fw-layout entry { min-height: 0; padding: 1px 2px; }
.fw-layout button { min-height: 0; min-width: 0; padding: 1px 4px; }
.fw-layout combobox arrow { min-height: 12px; min-width: 12px; }
.fw-layout checkbutton, .fw-layout radiobutton { min-height: 0; padding: 0; }
.fw-layout check, .fw-layout radio { min-height: 13px; min-width: 13px; margin: 0; }
.fw-layout checkbutton label, .fw-layout radiobutton label { margin-left: 4px; }
)";

void UseLayoutStyle(wxWindow& window) {
    static GtkCssProvider* const provider = [] {
        GtkCssProvider* css = gtk_css_provider_new();
        gtk_css_provider_load_from_data(css, kLayoutStyle, -1, nullptr);
        gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(css),
                                                  GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
        return css;
    }();
    static_cast<void>(provider);
    // Set before the controls exist, so that GTK sizes them in this style from the start.
    gtk_style_context_add_class(gtk_widget_get_style_context(GTK_WIDGET(window.GetHandle())),
                                kLayoutStyleClass);
}

// The smallest size GTK draws the control in without cutting or squeezing it.
wxSize ToolkitMinimum(const wxWindow& control) {
    GtkRequisition minimum;
    gtk_widget_get_preferred_size(GTK_WIDGET(control.GetHandle()), &minimum, nullptr);
    return {minimum.width, minimum.height};
}

// The room an entry's frame and padding take from its text, across.
int EntryFrameWidth(const wxWindow& edit) {
    GtkStyleContext* style = gtk_widget_get_style_context(GTK_WIDGET(edit.GetHandle()));
    const GtkStateFlags state = gtk_style_context_get_state(style);
    GtkBorder padding;
    GtkBorder border;
    gtk_style_context_get_padding(style, state, &padding);
    gtk_style_context_get_border(style, state, &border);
    return padding.left + padding.right + border.left + border.right;
}

// The baseline of the text a check box, radio button or static text shows, in its parent's
// client area; -1 before GTK has laid it out.
int LabelBaseline(const wxWindow& window) {
    GtkWidget* widget = GTK_WIDGET(window.GetHandle());
    GtkWidget* label = GTK_IS_BIN(widget) ? gtk_bin_get_child(GTK_BIN(widget)) : widget;
    if (!label || !GTK_IS_LABEL(label) || !gtk_widget_get_mapped(label)) {
        return -1;
    }
    int x = 0;
    int y = 0;
    gtk_label_get_layout_offsets(GTK_LABEL(label), &x, &y);
    return y + pango_layout_get_baseline(gtk_label_get_layout(GTK_LABEL(label))) / PANGO_SCALE;
}

// The control whose text a link continues: the nearest check box, radio button or static text
// on its left in the same row.
const ControlEntry* TextBeside(const DialogTemplate& layout, const ControlEntry& link) {
    const ControlEntry* beside = nullptr;
    for (const ControlEntry& entry : layout.controls) {
        const bool texty = entry.kind == ControlKind::CheckBox ||
                           entry.kind == ControlKind::RadioButton ||
                           entry.kind == ControlKind::Static;
        const bool sameRow = entry.y < link.y + link.height && link.y < entry.y + entry.height;
        if (texty && sameRow && entry.x + entry.width <= link.x &&
            (!beside || entry.x > beside->x)) {
            beside = &entry;
        }
    }
    return beside;
}

// A closed drop-down list is as tall as the platform draws one for an 8-point font; the layout's
// height also holds the dropped-down list.
constexpr int kClosedDropListHeight = 13;

bool IsSingleLineEdit(const ControlEntry& entry) {
    return entry.kind == ControlKind::Edit && !(entry.style & kStyleMultiLine);
}

// Sorted drop-down lists order their entries without regard to case, like the platform's
// sorted combo box; an entry equal to existing ones goes after them.
bool SortsBefore(const wxString& a, const wxString& b) {
    return a.CmpNoCase(b) < 0;
}

// An upper-case box turns what is typed or pasted into capitals where it lands, and the caret
// stays after it (wx's own ForceUpper leaves the caret before each typed letter under GTK, so
// that "CL0001" typed shows "1000LC").
void KeepUpper(wxTextCtrl* edit) {
    edit->Bind(wxEVT_TEXT, [edit](wxCommandEvent& event) {
        event.Skip();
        const wxString typed = edit->GetValue();
        const wxString upper = typed.Upper();
        if (upper != typed) {
            const long caret = edit->GetInsertionPoint();
            edit->ChangeValue(upper);
            edit->SetInsertionPoint(caret);
        }
    });
}

}  // namespace

namespace {

std::vector<WxForm*>& OpenForms() {
    static std::vector<WxForm*> forms;
    return forms;
}

}  // namespace

WxForm* WxForm::In(const wxWindow* window) {
    for (WxForm* form : OpenForms()) {
        if (window && form->window_ &&
            (form->window_ == window || form->window_->GetParent() == window)) {
            return form;
        }
    }
    return nullptr;
}

WxForm::WxForm(const DialogTemplate& layout, FormEvents& events, wxWindow* parent)
    : layout_(layout),
      link_(std::make_shared<Link>()),
      caption_(layout.caption ? layout.caption : "") {
    OpenForms().push_back(this);
    link_->form = this;
    link_->events = &events;
    BuildWindow(parent);
    for (const ControlEntry& entry : layout.controls) {
        CreateControl(entry);
    }
    GrowToFit();
    for (const ControlEntry& entry : layout.controls) {
        const ControlEntry* beside =
            entry.kind == ControlKind::LinkButton ? TextBeside(layout, entry) : nullptr;
        if (beside) {
            const wxWindow* text = control(beside->id);
            static_cast<FwLinkButton*>(control(entry.id))->rowBaseline = [text] {
                return LabelBaseline(*text);
            };
        }
    }
}

WxForm::~WxForm() {
    std::erase(OpenForms(), this);
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
    } else {
        long style = wxCAPTION;
        if (layout_.kind == FormKind::ModalDialog) {
            style |= wxSYSTEM_MENU | wxCLOSE_BOX;
        }
        auto* d =
            new wxDialog(parent, wxID_ANY, ToWx(caption_), wxDefaultPosition, wxDefaultSize, style);
        d->SetFont(font);
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
    UseLayoutStyle(*window_);
    const wxSize base = DialogBase(*window_, font);
    baseX_ = base.x / 4.0;
    baseY_ = base.y / 8.0;
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
        link->form->AskContextMenu(id);
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

// The control's rectangle in pixels. Edges are placed rather than sizes scaled, so that controls
// that touch in the layout touch on the screen and never overlap by rounding.
wxRect WxForm::Place(const ControlEntry& entry) const {
    const double unitX = baseX_ * growX_;
    const double unitY = baseY_ * growY_;
    const int height = entry.kind == ControlKind::ComboDropList
                           ? std::min(entry.height, kClosedDropListHeight)
                           : entry.height;
    const int left = static_cast<int>(std::lround(entry.x * unitX));
    const int top = static_cast<int>(std::lround(entry.y * unitY));
    const int right = static_cast<int>(std::lround((entry.x + entry.width) * unitX));
    const int bottom = static_cast<int>(std::lround((entry.y + height) * unitY));
    return {left, top, right - left, bottom - top};
}

void WxForm::CreateControl(const ControlEntry& entry) {
    const wxRect placed = Place(entry);
    const wxPoint pos = placed.GetPosition();
    const wxSize size = placed.GetSize();
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
            if (entry.style & kStylePassword) {
                style |= wxTE_PASSWORD;
            }
            auto* edit = new wxTextCtrl(window_, entry.id, text, pos, size, style);
            if (entry.style & kStyleUppercase) {
                KeepUpper(edit);
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
            control = new wxChoice(window_, entry.id, pos, size);
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
    // Tab passes over what the layout does not mark as a tab stop (the terms link, the second
    // radio button of a group), as on the platform the layouts were drawn for.
    if (!(entry.style & kStyleTabStop)) {
        control->DisableFocusFromKeyboard();
    }
    BindControl(control, entry);
}

// What the control needs to show its text whole and to be drawn by GTK uncut, in pixels; zero
// where the layout's size holds whatever the control gets (lists, wrapping texts).
wxSize WxForm::Needed(const ControlEntry& entry) const {
    const wxWindow* c = control(entry.id);
    switch (entry.kind) {
        case ControlKind::Static: {
            const std::string& text = staticTexts_.at(entry.id);
            if (text.empty() || Place(entry).height >= 2 * c->GetCharHeight()) {
                return {};
            }
            return c->GetTextExtent(ToWx(text));
        }
        case ControlKind::GroupBox:
            return c->GetLabel().empty() ? wxSize() : wxSize(ToolkitMinimum(*c).x, 0);
        case ControlKind::LinkButton:
            return c->GetTextExtent(wxControl::RemoveMnemonics(c->GetLabel()));
        case ControlKind::ListView:
            return {};
        case ControlKind::Edit:
            return IsSingleLineEdit(entry) ? ToolkitMinimum(*c) : wxSize();
        default:
            return ToolkitMinimum(*c);
    }
}

// Where GTK's controls or the layout's texts need more room than the layout gives them at the
// font's own dialog units, the whole layout grows by one factor across and one down, so that
// nothing is cut and nothing overlaps. The window takes the layout's grown size.
void WxForm::GrowToFit() {
    double growX = 1.0;
    double growY = 1.0;
    for (const ControlEntry& entry : layout_.controls) {
        const wxSize needed = Needed(entry);
        const int height = entry.kind == ControlKind::ComboDropList
                               ? std::min(entry.height, kClosedDropListHeight)
                               : entry.height;
        // One pixel more than needed, for placing both edges on whole pixels.
        if (needed.x > 0 && entry.width > 0) {
            growX = std::max(growX, (needed.x + 1) / (entry.width * baseX_));
        }
        if (needed.y > 0 && height > 0) {
            growY = std::max(growY, (needed.y + 1) / (height * baseY_));
        }
    }
    Scale(growX, growY);
}

void WxForm::Scale(double growX, double growY) {
    growX_ = growX;
    growY_ = growY;
    for (const ControlEntry& entry : layout_.controls) {
        if (wxWindow* c = control(entry.id)) {
            c->SetSize(Place(entry));
        }
    }
    const wxSize size{static_cast<int>(std::lround(layout_.width * baseX_ * growX_)),
                      static_cast<int>(std::lround(layout_.height * baseY_ * growY_))};
    if (layout_.kind == FormKind::ChildForm) {
        window_->SetSize(size);
        if (ownFrame_) {
            ownFrame_->SetClientSize(size);
        }
    } else {
        window_->SetClientSize(size);
    }
}

// A program-set text that a one-line box of a dialog cannot show whole (an issue size, a bid
// time) widens the dialog as far as the screen allows; the dialog never shrinks again.
void WxForm::GrowForContent(const ControlEntry& entry, const wxString& text) {
    const wxWindow* edit = control(entry.id);
    if (layout_.kind == FormKind::ChildForm || !IsSingleLineEdit(entry) || entry.width <= 0) {
        return;
    }
    const int needed = edit->GetTextExtent(text).x + EntryFrameWidth(*edit) + 2;
    if (needed <= edit->GetSize().x) {
        return;
    }
    const int screenWidth = wxDisplay(window_).GetClientArea().width;
    const double widest = screenWidth / (layout_.width * baseX_);
    const double growX = std::min(needed / (entry.width * baseX_), widest);
    if (growX > growX_) {
        Scale(growX, growY_);
    }
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
                if (link->form) {
                    link->form->AskContextMenu(id);
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

// One right-click opens one popup menu, once the press has been handled: the list reports a
// right-click below its rows twice, and a menu (with the save dialog it may lead to) run inside
// the press left the second report to bring the menu back after the first, taking the next click.
void WxForm::AskContextMenu(int id) {
    if (link_->menuAsked) {
        return;
    }
    link_->menuAsked = true;
    std::shared_ptr<Link> link = link_;
    wxTheApp->CallAfter([link, id] {
        link->menuAsked = false;
        if (link->events) {
            link->events->OnContextMenu(id);
        }
    });
}

void WxForm::OnCharHook(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    if (key == WXK_ESCAPE) {
        Cancel();
        return;
    }
    if (key == WXK_RETURN || key == WXK_NUMPAD_ENTER) {
        // Enter presses the focused button itself (GTK does, once the key goes on); anywhere
        // else it is the dialog's OK, as on the default button.
        wxWindow* focus = wxWindow::FindFocus();
        auto* edit = dynamic_cast<wxTextCtrl*>(focus);
        if (!dynamic_cast<wxButton*>(focus) && !(edit && edit->IsMultiLine()) && link_->events) {
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
        KeepKeyboard();
    }
}

// A dialog whose controls all refuse the focus (every box disabled) holds it itself, so that
// the keys pressed in it (Escape) reach it rather than no one.
void WxForm::KeepKeyboard() {
    for (wxWindow* child : window_->GetChildren()) {
        if (child->IsShown() && child->IsEnabled() && child->CanAcceptFocus()) {
            return;
        }
    }
    window_->SetCanFocus(true);
    window_->SetFocus();
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
    return {static_cast<int>(std::lround(units.width * baseX_ * growX_)),
            static_cast<int>(std::lround(units.height * baseY_ * growY_))};
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
        PaintNow(*window_);
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
            for (const ControlEntry& entry : layout_.controls) {
                if (entry.id == id) {
                    GrowForContent(entry, ToWx(text));
                }
            }
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
    // A view sized from a frame not yet laid out may ask for less than nothing; wx would read -1
    // as "keep the present size" and Gtk refuses anything below it.
    if (wxWindow* c = control(id)) {
        c->SetSize(std::max(0, pixels.width), std::max(0, pixels.height));
    }
}

}  // namespace fw::wx
