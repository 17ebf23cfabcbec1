#include "host/sign_in_dialog.h"

#include <cctype>

namespace {

using fw::ControlKind;

constexpr uint32_t kEditStyle = fw::kStyleBorder | fw::kStyleAutoHScroll | fw::kStyleTabStop;

constexpr fw::ControlEntry kSignInControls[] = {
    {211, ControlKind::Static, "User ID", 8, 10, 56, 8, 0},
    {kSignInUserId, ControlKind::Edit, "", 68, 8, 150, 12, kEditStyle},
    {212, ControlKind::Static, "Password", 8, 26, 56, 8, 0},
    {kSignInPassword, ControlKind::Edit, "", 68, 24, 150, 12, kEditStyle | fw::kStylePassword},
    {213, ControlKind::Static, "Service", 8, 42, 56, 8, 0},
    {kSignInService, ControlKind::Edit, "", 68, 40, 150, 12, kEditStyle},
    {kSignInProblem, ControlKind::Static, "", 8, 58, 210, 26, 0},
    {kSignInButton, ControlKind::DefaultButton, "Sign In", 114, 88, 50, 14, fw::kStyleTabStop},
    {fw::kIdCancel, ControlKind::Button, "Cancel", 168, 88, 50, 14, fw::kStyleTabStop},
};

constexpr fw::DialogTemplate kSignInLayout = {
    10601, fw::FormKind::ModalDialog, kSignInCaption, "MS Shell Dlg", 8, 226, 108, kSignInControls,
};

constexpr int kSignedIn = 1;

}  // namespace

SignInDialog::SignInDialog(std::string userId, std::string service, Attempt attempt)
    : userId_(std::move(userId)), service_(std::move(service)), attempt_(std::move(attempt)) {}

bool SignInDialog::Run(fw::Backend& backend) {
    const int result = backend.DoModal(kSignInLayout, *this, nullptr);
    form_ = nullptr;
    return result == kSignedIn;
}

void SignInDialog::OnInitDialog(fw::Form& form) {
    form_ = &form;
    form.SetText(kSignInUserId, userId_);
    form.SetText(kSignInService, service_);
    form.SetFocus(userId_.empty() ? kSignInUserId : kSignInPassword);
}

void SignInDialog::Cancel() {
    if (form_) {
        form_->EndDialog(fw::kIdCancel);
    }
}

void SignInDialog::OnCommand(int id) {
    if (id == kSignInButton) {
        Try();
    } else if (id == fw::kIdCancel) {
        Cancel();
    }
}

void SignInDialog::OnOK() {
    Try();
}

void SignInDialog::Try() {
    if (!form_) {
        return;
    }
    const SignInEntry entry{form_->GetText(kSignInUserId), form_->GetText(kSignInPassword),
                            form_->GetText(kSignInService)};
    std::string problem = attempt_(entry);
    if (problem.empty()) {
        form_->EndDialog(kSignedIn);
        return;
    }
    problem[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(problem[0])));
    form_->SetText(kSignInProblem, problem);
    form_->SetText(kSignInPassword, "");
    form_->SetFocus(kSignInPassword);
}
