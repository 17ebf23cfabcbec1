// A bid dialog opened the way its owning views open it, in a plug-in environment whose test
// companion answers the user details and order requests as each test scripts them.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "bid/ipo_order_entry.h"
#include "bid/ipo_order_entry_layout.h"
#include "tests/support/fake_records.h"
#include "tests/support/plugin_test_env.h"

class BidDialogTest : public ::testing::Test {
  public:
    // Builds the dialog for a user type, as a view does at its construction.
    void Create(uint16_t userType = 23) {
        PluginTestConfig config;
        config.userType = userType;
        env.Configure(config);
        dialog = std::make_unique<CIPOOrderEntry>();
        dialog->SetReady(false);
    }

    // The watch view's "Place Bid": reset, load the issue, the user details for 23 and 26, show.
    void OpenForNewBid(IPODetailsEntry& details, uint16_t userType = 23) {
        if (!dialog) {
            Create(userType);
        }
        dialog->ResetBidForm();
        dialog->SetReady(true);
        dialog->LoadFromIPODetails(&details);
        if (userType == 23 || userType == 26) {
            dialog->LoadUserDetails();
        }
        dialog->Show();
    }

    // An issue "ACME-IPO" with a lot of 30 shares, a band of 100 to 110 and one retail category.
    void AddRetailCategory() {
        retail.code = "RETAIL";
        retail.displayName = "Retail Individual";
        retail.minimumPrice = 100;
        retail.maximumPrice = 110;
        issue.categories.Add(&retail);
    }
    void SetUpIssue() {
        issue.issueIdentifier = "ACME-IPO";
        issue.issueTag = "EQ";
        issue.lotSize = 30;
        AddRetailCategory();
    }

    fw::headless::HeadlessForm& form() {
        return static_cast<fw::headless::HeadlessForm&>(dialog->form());
    }
    std::string Text(int id) { return form().GetText(id); }
    bool Enabled(int id) { return form().IsEnabled(id); }
    std::vector<std::string> Messages() { return env.backend().MessageTexts(); }

    // Types a lot and a price into a row and leaves the price field.
    void FillRow(int row, const std::string& lot, const std::string& price) {
        form().Type(kBidLot[row], lot);
        if (!price.empty()) {
            form().Type(kBidPrice[row], price);
        }
        form().Focus(kBidPlaceBid);
    }

    PluginTestEnv env;
    FakeIPODetailsEntry issue;
    FakeCategoryRecord retail;
    std::unique_ptr<CIPOOrderEntry> dialog;
};
