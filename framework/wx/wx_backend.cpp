#include "framework/wx/wx_backend.h"

#include <wx/app.h>
#include <wx/clipbrd.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/toplevel.h>

#include <wx/utils.h>
#include <algorithm>
#include <vector>

#include "framework/wx/wx_text.h"
#include "framework/wx/x_windows.h"

namespace fw::wx {
namespace {

// The window a message box or the save dialog belongs to: the topmost of the shown windows, as
// the window manager stacks them, so that it opens in front of all of them (one owned by the
// main window would open under a bid dialog the main window owns); without a window manager's
// stacking, the window holding the focus, else the main window.
wxWindow* FrontOwner() {
    const std::vector<unsigned long> stacking = x::Stacking();
    wxWindow* front = nullptr;
    auto frontAt = stacking.begin();
    for (wxWindow* window : wxTopLevelWindows) {
        const auto at =
            std::find(stacking.begin(), stacking.end(), x::XWindowOf(window->GetHandle()));
        if (window->IsShown() && at != stacking.end() && (!front || at > frontAt)) {
            front = window;
            frontAt = at;
        }
    }
    if (!front && wxWindow::FindFocus()) {
        front = wxGetTopLevelParent(wxWindow::FindFocus());
    }
    return front || !wxTheApp ? front : wxTheApp->GetTopWindow();
}

}  // namespace

WxBackend::WxBackend() {
    SetBackend(this);
}

WxBackend::~WxBackend() {
    if (GetBackend() == this) {
        SetBackend(nullptr);
    }
}

std::unique_ptr<WxForm> WxBackend::CreateChildForm(wxWindow* parent, const DialogTemplate& layout,
                                                   FormEvents& events) {
    auto form = std::make_unique<WxForm>(layout, events, parent);
    events.OnInitDialog(*form);
    return form;
}

std::unique_ptr<Form> WxBackend::CreateForm(const DialogTemplate& layout, FormEvents& events) {
    return CreateChildForm(nullptr, layout, events);
}

int WxBackend::DoModal(const DialogTemplate& layout, FormEvents& events, Form* owner) {
    auto* ownerForm = dynamic_cast<WxForm*>(owner);
    WxForm form(layout, events, ownerForm ? ownerForm->window() : nullptr);
    events.OnInitDialog(form);
    return form.ShowModal();
}

int WxBackend::MessageBox(std::string_view text, MessageIcon icon) {
    long style = wxOK;
    switch (icon) {
        case MessageIcon::None:
            style |= wxICON_NONE;
            break;
        case MessageIcon::Error:
            style |= wxICON_ERROR;
            break;
        case MessageIcon::Warning:
            style |= wxICON_WARNING;
            break;
        case MessageIcon::Information:
            style |= wxICON_INFORMATION;
            break;
    }
    // Focus goes back to where it was once the box is closed.
    wxWindow* focus = wxWindow::FindFocus();
    wxWindow* owner = FrontOwner();
    const wxString caption = wxTheApp ? wxTheApp->GetAppDisplayName() : wxString("IPO");
    wxMessageDialog box(owner, ToWx(text), caption, style);
    box.ShowModal();
    if (focus) {
        focus->SetFocus();
    }
    return kIdOk;
}

bool WxBackend::SetClipboardText(std::string_view text) {
    wxClipboardLocker lock;
    if (!lock) {
        return false;
    }
    return wxTheClipboard->SetData(new wxTextDataObject(ToWx(text)));
}

std::string ToWxWildcard(std::string_view filter) {
    std::string wildcard;
    for (const std::string& part : FilterParts(filter)) {
        wildcard += (wildcard.empty() ? "" : "|") + part;
    }
    return wildcard;
}

std::optional<std::string> WxBackend::SaveFileDialog(const SaveFileRequest& request) {
    wxFileDialog dialog(FrontOwner(), "Save As", ToWx(request.initialFolder),
                        ToWx(request.defaultFileName), ToWx(ToWxWildcard(request.filter)),
                        wxFD_SAVE | wxFD_CHANGE_DIR);
    if (dialog.ShowModal() != wxID_OK) {
        return std::nullopt;
    }
    wxFileName chosen(dialog.GetPath());
    if (!chosen.HasExt() && !request.defaultExtension.empty()) {
        chosen.SetExt(ToWx(request.defaultExtension));
    }
    return FromWx(chosen.GetFullPath());
}

int WxBackend::TrackPopupMenu(const Menu& menu, Form& owner) {
    auto* form = dynamic_cast<WxForm*>(&owner);
    if (!form || !form->window()) {
        return 0;
    }
    // wx command ids must stay at or below 0x7FFF, while the plug-in's own command ids lie
    // above it: the menu shows items under ids of its own and gives back the plug-in's id.
    wxMenu popup;
    for (size_t index = 0; index < menu.items.size(); ++index) {
        const MenuItem& item = menu.items[index];
        const int wxId = wxID_HIGHEST + 1 + static_cast<int>(index);
        wxMenuItem* added = item.checked ? popup.AppendCheckItem(wxId, ToWx(item.text))
                                         : popup.Append(wxId, ToWx(item.text));
        added->Check(item.checked);
        added->Enable(item.enabled);
    }
    shown_ = {&menu, &popup};
    const int chosen = form->window()->GetPopupMenuSelectionFromUser(popup) - wxID_HIGHEST - 1;
    shown_ = {};
    return chosen >= 0 && static_cast<size_t>(chosen) < menu.items.size()
               ? menu.items[static_cast<size_t>(chosen)].id
               : 0;
}

void WxBackend::BeginWaitCursor() {
    wxBeginBusyCursor();
}

void WxBackend::EndWaitCursor() {
    if (wxIsBusy()) {
        wxEndBusyCursor();
    }
}

LocalTime WxBackend::Now() const {
    const wxDateTime now = wxDateTime::Now();
    return {now.GetYear(),   static_cast<int>(now.GetMonth()) + 1,
            now.GetDay(),    now.GetHour(),
            now.GetMinute(), now.GetSecond()};
}

}  // namespace fw::wx
