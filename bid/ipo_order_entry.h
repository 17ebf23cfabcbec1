// The "Bid Order-IPO" dialog: up to three bids for one issue, payment by UPI or ASBA, the
// investor category and the terms. Modeless; each owning view keeps one instance for its life.
#pragma once

#include <memory>

#include "bid/ipo_modify_order.h"
#include "bridge/companion_abi.h"
#include "framework/form.h"

class CIPOOrderEntry : public fw::FormEvents {
public:
    // Creates the dialog hidden, without a parent window, and initialises it.
    CIPOOrderEntry();
    ~CIPOOrderEntry();
    CIPOOrderEntry(const CIPOOrderEntry&) = delete;
    CIPOOrderEntry& operator=(const CIPOOrderEntry&) = delete;

    // Loading, in the order the owning views call these.
    void ResetBidForm();
    void LoadFromIPODetails(IPODetailsEntry* entry);
    void LoadUserDetails();
    void LoadForModify(tagIPOModifyOrder record);
    void SetReady(bool ready);
    bool IsReady() const;
    void EnableClientIdField(bool enable);
    void EnableUPIIdField(bool enable);
    void Show();  // shows the dialog in its normal state

    fw::Form& form() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};
