// The terminal's sign-in dialog: user id, password and service address. Each try is handed to
// the terminal; a refusal (wrong password, locked account, a service that cannot be reached or
// trusted) is shown inside the dialog, which stays open for another try. Cancel gives up.
#pragma once

#include <functional>
#include <string>

#include "framework/backend.h"

// The dialog's controls, for whoever drives it as a user.
constexpr int kSignInUserId = 201;
constexpr int kSignInPassword = 202;
constexpr int kSignInService = 203;
constexpr int kSignInProblem = 204;
constexpr int kSignInButton = 205;
constexpr const char* kSignInCaption = "Sign in to the IPO service";

struct SignInEntry {
    std::string userId;
    std::string password;
    std::string service;
};

class SignInDialog : public fw::FormEvents {
  public:
    // Tries one sign-in: empty when it succeeded, else the reason to show.
    using Attempt = std::function<std::string(const SignInEntry&)>;

    SignInDialog(std::string userId, std::string service, Attempt attempt);
    // Runs the dialog until a sign-in succeeds (true) or the user cancels (false).
    bool Run(fw::Backend& backend);
    // Ends the dialog as Cancel does (the terminal is asked to end meanwhile).
    void Cancel();

    void OnInitDialog(fw::Form& form) override;
    void OnCommand(int id) override;
    void OnOK() override;

  private:
    void Try();

    std::string userId_;
    std::string service_;
    Attempt attempt_;
    fw::Form* form_ = nullptr;
};
