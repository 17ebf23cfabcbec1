// The "Bid Order-IPO" dialog: up to three bids for one issue, payment by UPI or ASBA, the
// investor category and the terms. Modeless; each owning view keeps one instance for its life.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "bid/ipo_modify_order.h"
#include "bridge/companion_abi.h"
#include "framework/form.h"

class CIPOOrderEntry final : public fw::FormEvents {
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
    void EnableClientIdField(bool enable);
    void EnableUPIIdField(bool enable);
    void Show();  // shows the dialog in its normal state

    fw::Form& form() const;

    // Form events.
    void OnInitDialog(fw::Form& form) override;
    void OnCommand(int id) override;
    void OnKillFocus(int id) override;
    void OnSelChange(int id) override;
    void OnCancel() override;

  private:
    struct State;

    // Fields to state (true) or state to fields (false).
    void UpdateData(bool saveAndValidate);
    void ShowPaymentLayout();
    void SetDroppedWidthToWidest(int listId);
    void BlankRow(int row);
    void EnableRow(int row, bool enable);

    void LookupClient();
    bool NotifyClientSelected();
    void SelectUPI();
    void SelectASBA();
    void SelectCategory();
    void ToggleCutOff(int row);
    bool CheckRowOrder(int row);
    void ApplyLot(int row);
    void RecalcAmountPayable();
    void CheckBidPrice(int row);
    void ShowTerms();

    // Placing: the checks, the order section, the identity and the response.
    void PlaceBid();
    bool CheckBeforePlacing();
    bool FillOrder(IPOServiceRequest& request);
    void ShowOrderResponse(const std::vector<void*>& resultList);

    std::unique_ptr<State> state_;
};
