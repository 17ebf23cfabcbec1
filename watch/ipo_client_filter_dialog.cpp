#include "watch/ipo_client_filter_dialog.h"

#include <cstring>

#include "base/text.h"
#include "framework/backend.h"
#include "plugin/host_abi.h"
#include "plugin/host_callbacks.h"
#include "plugin/user_type.h"
#include "watch/ipo_client_filter_layout.h"

namespace {

// A text that does not fit a host record's field is refused with one message naming it.
bool CopyOrRefuse(char* field, size_t width, std::string_view text, const char* name) {
    if (base::CopyField(field, width, text)) {
        return true;
    }
    fw::MessageBox(
        base::Format("%s can not be longer than %d characters.", name, static_cast<int>(width) - 1),
        fw::MessageIcon::Error);
    return false;
}

}  // namespace

CIPOClientFilterDialog::CIPOClientFilterDialog(fw::Form* parent) : parent_(parent) {}

void CIPOClientFilterDialog::PresetClientCode(std::string code) {
    clientCode_ = std::move(code);
}

int CIPOClientFilterDialog::DoModal() {
    fw::Backend* backend = fw::GetBackend();
    if (!backend) {
        return fw::kIdCancel;
    }
    const int result = backend->DoModal(ClientFilterLayout(), *this, parent_);
    form_ = nullptr;
    return result;
}

void CIPOClientFilterDialog::OnInitDialog(fw::Form& form) {
    form_ = &form;
    closing_ = false;
    form.LimitText(kFilterClientIdBox, kClientIdMaxLength);
    form.SetText(kFilterClientIdBox, clientId_);
    form.SetText(kFilterClientName, clientName_);
}

void CIPOClientFilterDialog::OnKillFocus(int id) {
    if (id == kFilterClientIdBox && !closing_) {
        LookupClient();
    }
}

void CIPOClientFilterDialog::OnCommand(int id) {
    if (id == fw::kIdOk) {
        OnOK();
    } else if (id == fw::kIdCancel) {
        OnCancel();
    }
}

void CIPOClientFilterDialog::LookupClient() {
    clientId_ = form_->GetText(kFilterClientIdBox);
    clientName_ = form_->GetText(kFilterClientName);
    if (!HasHostCallback()) {
        return;
    }
    ClientLookupMessage message;
    std::memset(&message, 0, sizeof message);
    message.MessageId = kClientLookupMessageId;
    message.Flag1 = 1;
    message.Flag2 = 1;
    if (!CopyOrRefuse(message.ClientIdTyped, sizeof message.ClientIdTyped, clientId_,
                      "Client Id")) {
        return;
    }
    SendHostMessage(&message);
    clientId_ = base::FieldText(message.ClientId);
    clientCode_ = base::FieldText(message.ClientCode);
    clientName_ = base::FieldText(message.ClientName);
    furtherText_ = base::FieldText(message.FurtherText);
    form_->SetText(kFilterClientIdBox, clientId_);
    form_->SetText(kFilterClientName, clientName_);
}

void CIPOClientFilterDialog::OnOK() {
    if (form_->GetText(kFilterClientIdBox).empty()) {
        // The message box takes the focus from the box: no lookup while it is up.
        closing_ = true;
        fw::MessageBox("Client Id can not be blank.", fw::MessageIcon::Error);
        closing_ = false;
        return;
    }
    form_->SetText(kFilterClientName, clientName_);
    clientId_ = form_->GetText(kFilterClientIdBox);
    clientName_ = form_->GetText(kFilterClientName);
    form_->EndDialog(fw::kIdOk);
}

void CIPOClientFilterDialog::OnCancel() {
    closing_ = true;
    form_->EndDialog(fw::kIdCancel);
}

int CIPOClientFilterDialog::NotifyClientSelected(std::string clientId, std::string clientCode) {
    ClientSelectedMessage message;
    std::memset(&message, 0, sizeof message);
    message.MessageId = kClientSelectedMessageId;
    const Party client = SelectedClient(clientCode, clientId);
    if (!CopyOrRefuse(message.ClientId, sizeof message.ClientId, client.id, "Client Id") ||
        !CopyOrRefuse(message.ClientCode, sizeof message.ClientCode, client.code, "Client Code")) {
        return 0;
    }
    message.Answer = 1;
    SendHostMessage(&message);
    return message.Answer != 0 ? 1 : 0;
}
