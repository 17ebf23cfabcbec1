// The "IPO Watch Details" popup: the details of one issue in ten read-only boxes. The watch
// view owns one, fills it from the details request and shows or hides it.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "bridge/companion_abi.h"
#include "framework/form.h"

class CIPOWatchDetails : public fw::FormEvents {
  public:
    // Creates the popup hidden, without a parent window.
    CIPOWatchDetails();
    ~CIPOWatchDetails();
    CIPOWatchDetails(const CIPOWatchDetails&) = delete;
    CIPOWatchDetails& operator=(const CIPOWatchDetails&) = delete;

    // Empties the held texts; the boxes keep what they show.
    void ClearFields();
    // Copies one entry into the texts; a box shows its new text only when it is not empty.
    void ShowEntry(IPODetailsEntry* entry);

    void Show();
    void Hide();

    int RequestFlag() const { return requestFlag_; }
    void SetRequestFlag(int flag) { requestFlag_ = flag; }

    void OnInitDialog(fw::Form& form) override;
    // Escape closes the popup as a click on the row would; the owner hears of it.
    void OnCancel() override;
    std::function<void()> onClosed;

  private:
    static constexpr size_t kFieldCount = 10;

    std::unique_ptr<fw::Form> form_;
    std::array<std::string, kFieldCount> texts_;
    int requestFlag_ = 0;
};
