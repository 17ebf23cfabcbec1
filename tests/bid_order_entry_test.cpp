// The bid dialog as a user sees it: creation, loading an issue and the user's details, lots,
// cut-off, amounts, the client lookup through the host, and loading an order for modification.
#include <gtest/gtest.h>

#include "framework/text.h"
#include "plugin/host_callbacks.h"
#include "tests/bid_dialog_fixture.h"
#include "tests/support/record_bytes.h"

namespace {

using fw::headless::RecordingPainter;

fw::Colour LinkColourDrawn(fw::headless::HeadlessForm& form) {
    RecordingPainter painter;
    form.control(kBidTermsLink).drawer->DrawItem(painter, {form.ControlRect(kBidTermsLink), false});
    for (const auto& call : painter.calls) {
        if (call.op == "colour") {
            return call.colour;
        }
    }
    return {1, 2, 3};
}

class OrderEntryTest : public BidDialogTest {
  protected:
    void SetUp() override { SetUpIssue(); }
};

TEST_F(OrderEntryTest, IsCreatedHiddenAtItsPlaceWithTheUPILayout) {
    Create(23);
    fw::headless::HeadlessForm* found = env.backend().FindForm("Bid Order-IPO");
    ASSERT_EQ(found, &form());
    EXPECT_FALSE(form().IsWindowVisible());
    EXPECT_EQ(form().Position().x, 0);
    EXPECT_EQ(form().Position().y, 420);
    for (int id : {kBidIPOName, kBidQuantity[0], kBidQuantity[1], kBidQuantity[2], kBidPriceBand[0],
                   kBidPriceBand[1], kBidPriceBand[2], kBidAmountPayable, kBidBankName,
                   kBidBankAccount, kBidClientId}) {
        EXPECT_FALSE(Enabled(id)) << id;
    }
    EXPECT_TRUE(Enabled(kBidUPIId));
    EXPECT_TRUE(form().GetCheck(kBidUPI));
    EXPECT_FALSE(form().GetCheck(kBidASBA));
    EXPECT_EQ(form().control(kBidTermsLink).toolTip, "Terms and Conditions");
    EXPECT_TRUE(form().control(kBidTermsLink).toolTipActive);
    EXPECT_EQ(LinkColourDrawn(form()), (fw::Colour{0, 0, 255}));

    dialog->Show();
    EXPECT_TRUE(form().IsWindowVisible());
    form().Click(kBidCancel);
    EXPECT_FALSE(form().IsWindowVisible());
    dialog->Show();
    form().PressEscape();
    EXPECT_FALSE(form().IsWindowVisible());
}

TEST_F(OrderEntryTest, ClientIdIsEditableOnlyForUserType24AndBoxesHoldWhatTheirFieldsHold) {
    Create(24);
    EXPECT_TRUE(Enabled(kBidClientId));
    form().Type(kBidClientId, std::string(40, 'C'));
    EXPECT_EQ(Text(kBidClientId), std::string(29, 'C'));
    form().Type(kBidUPIId, std::string(60, 'u'));
    EXPECT_EQ(Text(kBidUPIId), std::string(50, 'u'));
}

TEST_F(OrderEntryTest, RetailCategoryIsChosenWhateverItsCaseAndTheLastBandApplies) {
    FakeCategoryRecord anchor;
    anchor.code = "ANC";
    anchor.displayName = "Anchor Investor";  // sorts before "Retail Individual"
    anchor.minimumPrice = 90;
    anchor.maximumPrice = 95;
    retail.code = "retail";
    issue.categories.Add(&anchor);  // after the retail category of the fixture
    OpenForNewBid(issue);

    EXPECT_EQ(Text(kBidIPOName), "ACME-IPO");
    EXPECT_EQ(form().ComboItems(kBidCategory),
              (std::vector<std::string>{"Anchor Investor", "Retail Individual"}));
    EXPECT_EQ(Text(kBidCategory), "Retail Individual");
    EXPECT_EQ(form().control(kBidCategory).droppedWidth,
              static_cast<int>(std::string("Retail Individual").size()) * 6);

    // The band of the last category in the list is in force, whichever one is chosen.
    FillRow(0, "1", "");
    EXPECT_EQ(Text(kBidPriceBand[0]), "90.00-95.00");
}

TEST_F(OrderEntryTest, WithoutRetailTheFirstSortedCategoryIsChosen) {
    retail.code = "HNI";
    retail.displayName = "Zeta HNI";
    FakeCategoryRecord employee;
    employee.code = "EMP";
    employee.displayName = "Employee";
    issue.categories.Add(&employee);
    OpenForNewBid(issue);
    EXPECT_EQ(Text(kBidCategory), "Employee");
}

TEST_F(OrderEntryTest, MissingCategoriesAndNullTextsLeaveEmptyFields) {
    FakeIPODetailsEntry bare;
    bare.issueIdentifier = std::nullopt;
    bare.issueTag = std::nullopt;
    bare.nullCategories = true;
    OpenForNewBid(bare);
    EXPECT_EQ(Text(kBidIPOName), "");
    EXPECT_EQ(form().ComboCount(kBidCategory), 0);
    EXPECT_EQ(form().control(kBidCategory).droppedWidth, 0);

    FakeCategoryRecord nameless;
    nameless.code = std::nullopt;
    nameless.displayName = std::nullopt;
    FakeIPODetailsEntry odd;
    odd.categories.Add(&nameless);
    dialog->LoadFromIPODetails(&odd);
    EXPECT_EQ(form().ComboItems(kBidCategory), std::vector<std::string>{""});
    dialog->LoadFromIPODetails(nullptr);  // nothing happens
    EXPECT_EQ(form().ComboCount(kBidCategory), 1);
}

TEST_F(OrderEntryTest, LotsGiveQuantitiesAndTheAmountPayableIsTheLargestBid) {
    OpenForNewBid(issue);
    FillRow(0, "2", "100");
    EXPECT_EQ(Text(kBidQuantity[0]), "60");
    EXPECT_EQ(Text(kBidPriceBand[0]), "100.00-110.00");
    EXPECT_EQ(Text(kBidAmountPayable), "6000.00");
    FillRow(1, "2.5", "105");
    EXPECT_EQ(Text(kBidQuantity[1]), "60");
    FillRow(2, "1", "110");
    EXPECT_EQ(Text(kBidQuantity[2]), "30");
    EXPECT_EQ(Text(kBidAmountPayable), "6300.00");  // 6000, 6300, 3300: not the sum

    form().Type(kBidLot[2], "abc");
    form().Focus(kBidPlaceBid);
    EXPECT_EQ(Text(kBidQuantity[2]), "0");
}

TEST_F(OrderEntryTest, ClearedLotStillCountsUntilThePaymentModeIsChosenAgain) {
    OpenForNewBid(issue);
    FillRow(0, "2", "100");
    FillRow(1, "3", "105");
    EXPECT_EQ(Text(kBidAmountPayable), "9450.00");
    form().Type(kBidLot[1], "");
    form().Focus(kBidPlaceBid);
    EXPECT_EQ(Text(kBidQuantity[1]), "");
    EXPECT_EQ(Text(kBidPriceBand[1]), "");
    EXPECT_EQ(Text(kBidAmountPayable), "9450.00");

    form().Click(kBidUPI);
    form().Type(kBidPrice[0], "101");
    form().Focus(kBidPlaceBid);
    EXPECT_EQ(Text(kBidAmountPayable), "6060.00");
}

TEST_F(OrderEntryTest, LotTimesLotSizeBeyond32BitsWrapsWithoutUndefinedBehaviour) {
    issue.lotSize = 100000;
    OpenForNewBid(issue);
    form().Type(kBidLot[0], "50000");  // 5,000,000,000 shares
    form().Focus(kBidPlaceBid);
    EXPECT_EQ(Text(kBidQuantity[0]), "705032704");
    form().Type(kBidLot[0], "99999999999");  // read as the largest 32-bit value
    form().Focus(kBidPlaceBid);
    EXPECT_EQ(Text(kBidQuantity[0]), "-100000");
}

TEST_F(OrderEntryTest, CutOffOnRowOneTakesTheMaximumPriceAndClosesTheLaterRows) {
    OpenForNewBid(issue);
    FillRow(0, "2", "");
    FillRow(1, "1", "105");
    FillRow(2, "1", "106");
    form().Click(kBidCutOff[0]);

    EXPECT_EQ(Text(kBidPrice[0]), "110.00");
    EXPECT_FALSE(Enabled(kBidPrice[0]));
    EXPECT_EQ(Text(kBidPriceBand[0]), "100.00-110.00");
    EXPECT_EQ(Text(kBidAmountPayable), "6600.00");
    for (int row : {1, 2}) {
        for (int id : {kBidLot[row], kBidQuantity[row], kBidPriceBand[row], kBidPrice[row]}) {
            EXPECT_EQ(Text(id), "") << id;
        }
        for (int id : {kBidCutOff[row], kBidLot[row], kBidPrice[row]}) {
            EXPECT_FALSE(Enabled(id)) << id;
        }
    }

    form().Click(kBidCutOff[0]);
    EXPECT_TRUE(Enabled(kBidPrice[0]));
    EXPECT_EQ(Text(kBidPrice[0]), "110.00");
    EXPECT_EQ(form().FocusedControl(), kBidPrice[0]);
    for (int id : {kBidCutOff[1], kBidLot[1], kBidPrice[1], kBidCutOff[2], kBidLot[2]}) {
        EXPECT_TRUE(Enabled(id)) << id;
    }
}

TEST_F(OrderEntryTest, CutOffOnRowTwoClosesOnlyRowThreeAndRowThreeClosesNothing) {
    OpenForNewBid(issue);
    FillRow(0, "1", "104");
    FillRow(1, "1", "");
    FillRow(2, "1", "106");
    form().Click(kBidCutOff[1]);
    EXPECT_EQ(Text(kBidPrice[1]), "110.00");
    EXPECT_EQ(Text(kBidPrice[0]), "104");
    EXPECT_TRUE(Enabled(kBidLot[0]));
    EXPECT_EQ(Text(kBidLot[2]), "");
    EXPECT_FALSE(Enabled(kBidLot[2]));
    form().Click(kBidCutOff[1]);
    EXPECT_TRUE(Enabled(kBidLot[2]));

    FillRow(2, "1", "");
    form().Click(kBidCutOff[2]);
    EXPECT_EQ(Text(kBidPrice[2]), "110.00");
    EXPECT_EQ(Text(kBidLot[1]), "1");
    EXPECT_TRUE(Enabled(kBidLot[1]));
}

TEST_F(OrderEntryTest, LaterRowsNeedTheEarlierRowsFirst) {
    struct Case {
        std::vector<std::string> lots;  // lots 1 and 2 typed first, then the row tested
        int row;
        const char* message;
    };
    const Case cases[] = {
        {{"", "1"}, 1, "Kindly enter the Bid 1 details and then Enter Bid 2 Details"},
        {{"", "", "1"}, 2, "Kindly enter the Bid 1 & Bid 2 details and then Enter Bid 3 Details"},
        {{"", "1", "1"}, 2, "Kindly enter the Bid 1 details and then Enter Bid 3 Details"},
        {{"1", "", "1"}, 2, "Kindly enter the Bid 2 details and then Enter Bid 3 Details"},
    };
    OpenForNewBid(issue);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        dialog->ResetBidForm();
        env.backend().messages.clear();
        // Earlier rows are set directly so that only the tested row's check runs.
        for (int row = 0; row < c.row; ++row) {
            form().SetText(kBidLot[row], c.lots[static_cast<size_t>(row)]);
        }
        form().Type(kBidPrice[c.row], "105");
        form().Type(kBidLot[c.row], c.lots[static_cast<size_t>(c.row)]);
        form().Focus(kBidPlaceBid);
        EXPECT_EQ(Messages(), std::vector<std::string>{c.message});
        for (int id :
             {kBidLot[c.row], kBidQuantity[c.row], kBidPriceBand[c.row], kBidPrice[c.row]}) {
            EXPECT_EQ(Text(id), "") << id;
        }
    }

    dialog->ResetBidForm();
    env.backend().messages.clear();
    FillRow(0, "1", "");
    FillRow(1, "1", "");
    FillRow(2, "2", "");
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Text(kBidQuantity[2]), "60");
}

TEST_F(OrderEntryTest, BidPriceOutsideTheBandIsReportedAndNotCounted) {
    OpenForNewBid(issue);
    FillRow(0, "1", "110");
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Text(kBidAmountPayable), "3300.00");
    FillRow(0, "1", "110.01");
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Bid Price1 should be in the range on Min-Max Price"});
    EXPECT_EQ(Text(kBidPrice[0]), "110.01");
    EXPECT_EQ(Text(kBidAmountPayable), "3300.00");
    FillRow(1, "1", "99.99");
    FillRow(2, "1", "120");
    EXPECT_EQ(Messages().back(), "Bid Price3 should be in the range on Min-Max Price");
    EXPECT_EQ(Messages().at(1), "Bid Price2 should be in the range on Min-Max Price");
}

// ---------------------------------------------------------------- the user's details

class UserDetailsTest : public OrderEntryTest {
  protected:
    void AddAccount(FakeBankAccountRecord& account, const char* bank, const char* number,
                    uint8_t asba = 1) {
        account.bankName = bank;
        account.accountNumber = number;
        account.asbaAllowed = asba;
        details.bankAccounts.Add(&account);
    }
    void ScriptDetails() { env.companion().Script(kRequestUserDetails, {0, 1, "", {{&details}}}); }

    FakeUserDetailsRecord details;
    FakeBankAccountRecord first, second;
};

TEST_F(UserDetailsTest, BankNamesAndAccountsAreSortedEachOnItsOwn) {
    AddAccount(first, "Zeta Bank", "111");
    AddAccount(second, "Alpha Bank", "999");
    ScriptDetails();
    OpenForNewBid(issue);

    EXPECT_EQ(Text(kBidClientId), "LC1001");
    EXPECT_EQ(form().ComboItems(kBidBankName),
              (std::vector<std::string>{"Alpha Bank", "Zeta Bank"}));
    EXPECT_EQ(form().ComboItems(kBidBankAccount), (std::vector<std::string>{"111", "999"}));
    EXPECT_EQ(Text(kBidBankName), "Alpha Bank");
    EXPECT_EQ(Text(kBidBankAccount), "111");
    EXPECT_EQ(form().control(kBidBankName).droppedWidth, 10 * 6);
    EXPECT_TRUE(Enabled(kBidASBA));
    EXPECT_FALSE(Enabled(kBidBankName));

    form().Click(kBidASBA);
    EXPECT_TRUE(Enabled(kBidBankName));
    EXPECT_TRUE(Enabled(kBidBankAccount));
    EXPECT_FALSE(Enabled(kBidUPIId));
    form().Click(kBidUPI);
    EXPECT_FALSE(Enabled(kBidBankName));
    EXPECT_TRUE(Enabled(kBidUPIId));

    const IPOServiceRequest& request = env.companion().Requests().back();
    EXPECT_EQ(request.RequestCode, kRequestUserDetails);
    EXPECT_EQ(TextAt(&request, 178, 51), "LC1001");
    EXPECT_EQ(TextAt(&request, 229, 11), "LCODE1");
}

TEST_F(UserDetailsTest, AnAccountClosedToASBADisablesTheChoiceForGood) {
    AddAccount(first, "Zeta Bank", "111", 0);
    ScriptDetails();
    OpenForNewBid(issue);
    EXPECT_FALSE(Enabled(kBidASBA));
    form().Click(kBidASBA);
    EXPECT_FALSE(form().GetCheck(kBidASBA));

    dialog->ResetBidForm();
    dialog->LoadFromIPODetails(&issue);
    dialog->LoadUserDetails();
    EXPECT_FALSE(Enabled(kBidASBA));
}

TEST_F(UserDetailsTest, NullListsAndTextsAreSurvived) {
    AddAccount(first, "Zeta Bank", "111");
    first.bankName = std::nullopt;
    first.accountNumber = std::nullopt;
    FakeUserDetailsRecord bare;
    bare.nullBankAccounts = true;
    bare.nullReferences = true;
    env.companion().Script(kRequestUserDetails, {0, 1, "", {{&bare}, {&details}}});
    OpenForNewBid(issue);
    EXPECT_EQ(form().ComboItems(kBidBankName), std::vector<std::string>{""});
    EXPECT_EQ(form().ComboItems(kBidBankAccount), std::vector<std::string>{""});
}

TEST_F(UserDetailsTest, FailedDetailsRequestLeavesTheBankListsEmpty) {
    env.companion().Script(kRequestUserDetails, {1, 0, "null", {}});
    OpenForNewBid(issue);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Service is not available."});
    EXPECT_EQ(form().ComboCount(kBidBankName), 0);
}

// ---------------------------------------------------------------- the client lookup

TEST_F(UserDetailsTest, UserType24LooksTheClientUpAndLoadsItsDetails) {
    Create(24);
    env.answerClientLookup = [](ClientLookupMessage& m) {
        fw::CopyField(m.ClientId, "CL-42");
        fw::CopyField(m.ClientCode, "C42");
    };
    AddAccount(first, "Zeta Bank", "111");
    ScriptDetails();
    OpenForNewBid(issue, 24);
    EXPECT_EQ(form().ComboCount(kBidBankName), 0);  // nothing until a client is entered

    form().Type(kBidClientId, "cl-42");
    form().Focus(kBidLot[0]);

    ASSERT_EQ(env.clientLookups.size(), 1u);
    const ClientLookupMessage& lookup = env.clientLookups[0];
    EXPECT_EQ(NumberAt<uint32_t>(&lookup, 0), 108u);
    EXPECT_EQ(NumberAt<int32_t>(&lookup, 8), 1);
    EXPECT_EQ(NumberAt<int32_t>(&lookup, 12), 1);
    EXPECT_EQ(TextAt(&lookup, 16, 30), "cl-42");
    EXPECT_EQ(Text(kBidClientId), "CL-42");

    ASSERT_EQ(env.clientSelections.size(), 1u);
    const ClientSelectedMessage& selected = env.clientSelections[0];
    EXPECT_EQ(NumberAt<uint32_t>(&selected, 0), 121u);
    EXPECT_EQ(TextAt(&selected, 8, 30), "CL-42");
    EXPECT_EQ(TextAt(&selected, 38, 30), "C42");
    EXPECT_EQ(NumberAt<int32_t>(&selected, 68), 1);

    const IPOServiceRequest& request = env.companion().Requests().back();
    EXPECT_EQ(request.RequestCode, kRequestUserDetails);
    EXPECT_EQ(TextAt(&request, 127, 51), "CL-42");
    EXPECT_EQ(TextAt(&request, 105, 11), "C42");
    EXPECT_EQ(form().ComboItems(kBidBankName), std::vector<std::string>{"Zeta Bank"});

    // Another client replaces the first one's accounts.
    FakeUserDetailsRecord other;
    FakeBankAccountRecord otherAccount;
    otherAccount.bankName = "Other Bank";
    otherAccount.accountNumber = "222";
    other.bankAccounts.Add(&otherAccount);
    env.companion().Script(kRequestUserDetails, {0, 1, "", {{&other}}});
    form().Type(kBidClientId, "cl-43");
    form().Focus(kBidLot[0]);
    EXPECT_EQ(form().ComboItems(kBidBankName), std::vector<std::string>{"Other Bank"});
}

TEST_F(UserDetailsTest, UserType24WithoutAClientCodeSendsTheLoginCodeAndAsksNothing) {
    Create(24);
    env.answerClientLookup = [](ClientLookupMessage& m) { fw::CopyField(m.ClientId, "CL-42"); };
    OpenForNewBid(issue, 24);
    const size_t requests = env.companion().Requests().size();
    form().Type(kBidClientId, "cl-42");
    form().Focus(kBidLot[0]);
    ASSERT_EQ(env.clientSelections.size(), 1u);
    EXPECT_EQ(TextAt(&env.clientSelections[0], 38, 30), "LCODE1");
    EXPECT_EQ(env.companion().Requests().size(), requests);
}

TEST_F(UserDetailsTest, UserTypes26And23NameTheLoggedInPartyOrNobody) {
    struct Case {
        uint16_t userType;
        const char* id;
        const char* code;
    };
    for (const Case& c : {Case{26, "LC1001", "LCODE1"}, Case{23, "", ""}}) {
        SCOPED_TRACE(c.userType);
        dialog.reset();
        env.clientSelections.clear();
        OpenForNewBid(issue, c.userType);
        dialog->EnableClientIdField(true);
        form().Type(kBidClientId, "X1");
        form().Focus(kBidLot[0]);
        ASSERT_EQ(env.clientSelections.size(), 1u);
        EXPECT_EQ(TextAt(&env.clientSelections[0], 8, 30), c.id);
        EXPECT_EQ(TextAt(&env.clientSelections[0], 38, 30), c.code);
    }
}

TEST_F(UserDetailsTest, NoLookupBeforeTheDialogIsReadyOrWithoutAHost) {
    Create(24);
    form().Type(kBidClientId, "cl-42");
    form().Focus(kBidLot[0]);
    EXPECT_TRUE(env.hostMessageIds.empty());

    dialog->SetReady(true);
    SetHostCallback(nullptr);
    form().Type(kBidClientId, "cl-42");
    form().Focus(kBidLot[0]);
    EXPECT_EQ(Text(kBidClientId), "cl-42");
    EXPECT_TRUE(env.hostMessageIds.empty());
    EXPECT_TRUE(Messages().empty());
}

// ---------------------------------------------------------------- modification

tagIPOModifyOrder UPIOrder() {
    tagIPOModifyOrder order;
    order.IssueKey = "ACME-IPO";
    order.ClientId = "CL-42";
    order.ClientCode = "C42";
    order.CategoryCode = "retail";
    order.PaymentMode = "UPI";
    order.UPIId = "me@upi";
    order.CutOff[1] = "1";
    order.LotSize = "30";
    order.Lots[0] = "2";
    order.Lots[1] = "1";
    order.Quantities[0] = "60";
    order.Quantities[1] = "30";
    order.Prices[0] = "104.00";
    order.Prices[1] = "110.00";
    order.BidReferences[0] = "B-1";
    order.BidReferences[1] = "B-2";
    order.AmountPayable = "6240.00";
    order.OrderNumber = "4711";
    order.IssueTag = "EQ";
    order.MinimumPrice = 100;
    order.MaximumPrice = 110;
    order.ApplicationNumber = "APP-9";
    return order;
}

TEST_F(OrderEntryTest, ModifyingAUPIOrderShowsItAndLocksThePaymentMode) {
    Create(24);
    dialog->ResetBidForm();
    dialog->LoadForModify(UPIOrder());
    EXPECT_EQ(Text(kBidIPOName), "ACME-IPO");
    EXPECT_EQ(Text(kBidClientId), "CL-42");
    EXPECT_EQ(form().ComboItems(kBidCategory), std::vector<std::string>{"retail"});
    EXPECT_EQ(Text(kBidCategory), "retail");
    EXPECT_FALSE(Enabled(kBidCategory));
    EXPECT_TRUE(form().GetCheck(kBidUPI));
    EXPECT_FALSE(Enabled(kBidASBA));
    EXPECT_EQ(Text(kBidUPIId), "me@upi");
    EXPECT_FALSE(Enabled(kBidBankName));
    EXPECT_FALSE(form().GetCheck(kBidCutOff[0]));
    EXPECT_TRUE(form().GetCheck(kBidCutOff[1]));
    EXPECT_FALSE(Enabled(kBidLot[2]));
    EXPECT_FALSE(Enabled(kBidCutOff[2]));
    EXPECT_TRUE(Enabled(kBidLot[1]));
    EXPECT_EQ(Text(kBidLot[0]), "2");
    EXPECT_EQ(Text(kBidQuantity[1]), "30");
    EXPECT_EQ(Text(kBidPrice[1]), "110.00");
    EXPECT_EQ(Text(kBidPriceBand[0]), "100.00-110.00");
    EXPECT_EQ(Text(kBidPriceBand[2]), "");
    EXPECT_EQ(Text(kBidAmountPayable), "6240.00");
    EXPECT_TRUE(form().GetCheck(kBidTerms));

    // The lot size comes from the record.
    form().Type(kBidLot[0], "3");
    form().Focus(kBidPlaceBid);
    EXPECT_EQ(Text(kBidQuantity[0]), "90");
}

TEST_F(OrderEntryTest, ModifyingAnASBAOrderLocksUPIAndShowsTheOrdersAccount) {
    Create(23);
    tagIPOModifyOrder order = UPIOrder();
    order.PaymentMode = "ASBA";
    order.BankName = "Zeta Bank";
    order.BankAccount = "111";
    dialog->ResetBidForm();
    dialog->LoadForModify(order);
    EXPECT_EQ(Text(kBidClientId), "LC1001");
    EXPECT_TRUE(form().GetCheck(kBidASBA));
    EXPECT_FALSE(Enabled(kBidUPI));
    EXPECT_EQ(form().ComboItems(kBidBankName), std::vector<std::string>{"Zeta Bank"});
    EXPECT_EQ(Text(kBidBankAccount), "111");
    EXPECT_TRUE(Enabled(kBidBankName));
    EXPECT_TRUE(Enabled(kBidBankAccount));
}

TEST_F(OrderEntryTest, ResetBlanksTheFormAndOpensEveryRow) {
    Create(24);
    dialog->LoadForModify(UPIOrder());
    dialog->ResetBidForm();
    for (int id : {kBidClientId, kBidIPOName, kBidUPIId, kBidAmountPayable}) {
        EXPECT_EQ(Text(id), "") << id;
    }
    for (int row = 0; row < 3; ++row) {
        for (int id : {kBidLot[row], kBidQuantity[row], kBidPriceBand[row], kBidPrice[row]}) {
            EXPECT_EQ(Text(id), "") << id;
        }
        EXPECT_FALSE(form().GetCheck(kBidCutOff[row]));
        EXPECT_TRUE(Enabled(kBidCutOff[row]));
        EXPECT_TRUE(Enabled(kBidLot[row]));
        EXPECT_TRUE(Enabled(kBidPrice[row]));
    }
    for (int id : {kBidCategory, kBidBankName, kBidBankAccount}) {
        EXPECT_EQ(form().ComboCount(id), 0) << id;
    }
    EXPECT_FALSE(form().GetCheck(kBidTerms));
}

}  // namespace
