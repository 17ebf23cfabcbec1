// A bid dialog opened the way the watch view opens it, in a plug-in environment whose test
// companion answers the user details and order requests as each test scripts them.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/text.h"
#include "bid/ipo_order_entry.h"
#include "bid/ipo_order_entry_layout.h"
#include "tests/support/fake_records.h"
#include "tests/support/plugin_test_env.h"

using Texts = std::vector<std::string>;

class BidDialogTest : public ::testing::Test {
  public:
    BidDialogTest() {
        // "ACME-IPO": lots of 30 shares, one retail category with the band 100 to 110.
        issue.issueIdentifier = "ACME-IPO", issue.issueTag = "EQ", issue.lotSize = 30;
        retail.code = "RETAIL", retail.displayName = "Retail Individual";
        retail.minimumPrice = 100, retail.maximumPrice = 110;
        issue.categories.Add(&retail);
        // The user: references and one bank account.
        reference.reference1 = "REF-ONE", reference.reference2 = "REF-TWO";
        user.references.Add(&reference);
        account.bankName = "Zeta Bank", account.accountNumber = "00012345";
        user.bankAccounts.Add(&account);
    }
    void ScriptUser() { env.Answer(kRequestUserDetails, {&user}); }

    // The dialog as a view creates it for a user type.
    void Create(uint16_t userType) {
        PluginTestConfig config;
        config.userType = userType;
        env.Configure(config);
        dialog = std::make_unique<CIPOOrderEntry>();
        dialog->SetReady(false);
    }
    // "Place Bid" on the watch list: reset, load the issue, the user's details, show.
    void OpenForNewBid(uint16_t userType = 23) {
        Create(userType);
        dialog->ResetBidForm();
        dialog->SetReady(true);
        dialog->LoadFromIPODetails(&issue);
        if (userType != 24) {
            dialog->LoadUserDetails();
        }
        dialog->Show();
    }

    // A placed UPI order of two bids, the second at the cut-off price, as the order book hands it.
    static tagIPOModifyOrder UPIOrder() {
        tagIPOModifyOrder order;
        order.IssueKey = "ACME-IPO", order.ClientId = "CL-42", order.ClientCode = "C42";
        order.CategoryCode = "retail", order.PaymentMode = "UPI", order.UPIId = "me@upi";
        order.CutOff[1] = "1", order.LotSize = "30";
        order.Lots[0] = "2", order.Quantities[0] = "60", order.Prices[0] = "104.00";
        order.Lots[1] = "1", order.Quantities[1] = "30", order.Prices[1] = "110.00";
        order.BidReferences[0] = "BR-1", order.BidReferences[1] = "BR-2";
        order.AmountPayable = "6240.00", order.OrderNumber = "4711",
        order.ApplicationNumber = "APP-9";
        order.MinimumPrice = 100, order.MaximumPrice = 110;
        return order;
    }

    fw::headless::HeadlessForm& form() {
        return static_cast<fw::headless::HeadlessForm&>(dialog->form());
    }
    std::string Text(int id) { return form().GetText(id); }
    bool Enabled(int id) { return form().IsEnabled(id); }
    std::vector<std::string> Messages() { return env.backend().MessageTexts(); }
    // Types into a box and leaves it.
    void Enter(int id, const std::string& text) {
        form().Type(id, text);
        form().Focus(kBidPlaceBid);
    }
    void FillRow(int row, const std::string& lot, const std::string& price) {
        Enter(kBidLot[row], lot);
        Enter(kBidPrice[row], price);
    }

    PluginTestEnv env;
    FakeIPODetailsEntry issue;
    FakeCategoryRecord retail;
    FakeUserDetailsRecord user;
    FakeUserReferenceRecord reference;
    FakeBankAccountRecord account;
    std::unique_ptr<CIPOOrderEntry> dialog;
};
