// The "Client Filter" dialog: the user types a client id, the host looks it up when the box
// loses the focus, and the caller takes the client's id, code and name after "OK".
#pragma once

#include <string>

#include "framework/form.h"

class CIPOClientFilterDialog : public fw::FormEvents {
  public:
    explicit CIPOClientFilterDialog(fw::Form* parent);

    void PresetClientCode(std::string code);
    int DoModal();  // fw::kIdOk or fw::kIdCancel

    const std::string& ClientId() const { return clientId_; }
    const std::string& ClientCode() const { return clientCode_; }
    const std::string& ClientName() const { return clientName_; }

    // Tells the host which client is now in use (message 121); 1 when the host left the answer set.
    int NotifyClientSelected(std::string clientId, std::string clientCode);

  private:
    // Dialog events.
    void OnInitDialog(fw::Form& form) override;
    void OnCommand(int id) override;
    void OnKillFocus(int id) override;
    void OnOK() override;
    void OnCancel() override;

    // Asks the host for the client whose id is in the box (message 108).
    void LookupClient();

    fw::Form* parent_;
    fw::Form* form_ = nullptr;  // while the dialog runs
    std::string clientId_;
    std::string clientName_;
    std::string clientCode_;
    std::string furtherText_;
    bool closing_ = false;
};
