// The bid dialog as a user sees it: creation, the issue and the user's details, lots, cut-off,
// amounts, the client lookup through the host, and an order loaded for modification.
#include "plugin/host_callbacks.h"
#include "tests/bid_dialog_fixture.h"

namespace {

using OrderEntryTest = BidDialogTest;

TEST_F(OrderEntryTest, IsCreatedHiddenWithTheUPILayout) {
    Create(23);
    ASSERT_EQ(env.backend().FindForm("Bid Order-IPO"), &form());
    EXPECT_FALSE(form().IsWindowVisible());
    EXPECT_FALSE(Enabled(kBidQuantity[0]) || Enabled(kBidBankName) || Enabled(kBidClientId));
    EXPECT_TRUE(Enabled(kBidUPIId) && form().GetCheck(kBidUPI));

    Create(24);  // only user type 24 types a client id, of at most 29 characters
    form().Type(kBidClientId, std::string(40, 'C'));
    EXPECT_EQ(Text(kBidClientId), std::string(29, 'C'));
}

TEST_F(OrderEntryTest, RetailCategoryIsChosenElseTheFirstAndTheLastBandApplies) {
    FakeCategoryRecord anchor;
    anchor.displayName = "Anchor Investor", anchor.minimumPrice = 90, anchor.maximumPrice = 95;
    issue.categories.Add(&anchor);
    retail.code = "retail";
    OpenForNewBid();
    EXPECT_EQ(form().ComboItems(kBidCategory), (Texts{"Anchor Investor", "Retail Individual"}));
    EXPECT_EQ(Text(kBidCategory), "Retail Individual");
    FillRow(0, "1", "");
    EXPECT_EQ(Text(kBidPriceBand[0]), "90.00-95.00");

    retail.code = "HNI";
    dialog->LoadFromIPODetails(&issue);
    EXPECT_EQ(Text(kBidCategory), "Anchor Investor");

    FakeIPODetailsEntry bare;  // null texts and no category list
    bare.issueIdentifier = std::nullopt, bare.nullCategories = true;
    dialog->LoadFromIPODetails(&bare);
    EXPECT_EQ(Text(kBidIPOName) + Text(kBidCategory), "");
}

TEST_F(OrderEntryTest, LotsGiveQuantitiesAndTheAmountPayableIsTheLargestBid) {
    OpenForNewBid();
    FillRow(0, "2", "100");
    EXPECT_EQ(Text(kBidPriceBand[0]), "100.00-110.00");
    FillRow(1, "2.5", "105");
    FillRow(2, "1", "110");
    EXPECT_EQ(Text(kBidQuantity[0]) + Text(kBidQuantity[1]) + Text(kBidQuantity[2]), "606030");
    EXPECT_EQ(Text(kBidAmountPayable), "6300.00");  // 6000, 6300, 3300: not the sum
    EXPECT_TRUE(Messages().empty());                // both bounds of the band pass

    Enter(kBidLot[1], "");  // a cleared lot counts until the payment mode is chosen again
    EXPECT_EQ(Text(kBidQuantity[1]) + Text(kBidPriceBand[1]) + Text(kBidAmountPayable), "6300.00");
    form().Click(kBidUPI);
    Enter(kBidPrice[0], "100");
    EXPECT_EQ(Text(kBidAmountPayable), "6000.00");

    Enter(kBidLot[0], "abc");
    EXPECT_EQ(Text(kBidQuantity[0]), "0");
}

TEST_F(OrderEntryTest, CutOffTakesTheMaximumPriceAndClosesTheLaterRows) {
    OpenForNewBid();
    FillRow(0, "2", "");
    FillRow(1, "1", "105");
    FillRow(2, "1", "106");
    form().Click(kBidCutOff[1]);  // row 2: only row 3 closes
    EXPECT_EQ(Text(kBidPrice[1]) + "|" + Text(kBidLot[2]) + Text(kBidPrice[2]), "110.00|");
    EXPECT_FALSE(Enabled(kBidLot[2]) || Enabled(kBidPrice[1]) || !Enabled(kBidLot[1]));

    form().Click(kBidCutOff[0]);  // row 1: rows 2 and 3 close
    EXPECT_EQ(Text(kBidPrice[0]) + "|" + Text(kBidPriceBand[0]) + "|" + Text(kBidAmountPayable),
              "110.00|100.00-110.00|6600.00");
    EXPECT_EQ(Text(kBidLot[1]) + Text(kBidQuantity[1]) + Text(kBidPrice[1]), "");
    EXPECT_FALSE(form().GetCheck(kBidCutOff[1]) || Enabled(kBidCutOff[1]) || Enabled(kBidLot[2]));

    form().Click(kBidCutOff[0]);  // unticked: the rows open again, the price stays
    EXPECT_TRUE(Enabled(kBidPrice[0]) && Enabled(kBidLot[1]) && Enabled(kBidCutOff[2]));
    EXPECT_EQ(Text(kBidPrice[0]), "110.00");
    EXPECT_EQ(form().FocusedControl(), kBidPrice[0]);
}

TEST_F(OrderEntryTest, RowsAreFilledInOrderAndPricesStayInTheBand) {
    const std::pair<Texts, const char*> cases[] = {
        // lots of the earlier rows, then the lot typed into the row tested
        {{"", "1"}, "Kindly enter the Bid 1 details and then Enter Bid 2 Details"},
        {{"", "", "1"}, "Kindly enter the Bid 1 & Bid 2 details and then Enter Bid 3 Details"},
        {{"", "1", "1"}, "Kindly enter the Bid 1 details and then Enter Bid 3 Details"},
        {{"1", "", "1"}, "Kindly enter the Bid 2 details and then Enter Bid 3 Details"},
        {{"1", "1", "2"}, nullptr},
    };
    OpenForNewBid();
    for (const auto& [lots, message] : cases) {
        dialog->ResetBidForm();
        env.backend().messages.clear();
        const int row = static_cast<int>(lots.size()) - 1;
        for (int earlier = 0; earlier < row; ++earlier) {
            form().SetText(kBidLot[earlier], lots[static_cast<size_t>(earlier)]);
        }
        Enter(kBidPrice[row], "105");
        Enter(kBidLot[row], lots.back());
        EXPECT_EQ(Messages(), message ? Texts{message} : Texts{});
        EXPECT_EQ(Text(kBidLot[row]) + Text(kBidPrice[row]), message ? "" : "2105");
    }

    // A paisa beyond either bound is refused (the bounds themselves pass: the lots test).
    for (const char* price : {"99.99", "110.01"}) {
        dialog->ResetBidForm();
        env.backend().messages.clear();
        FillRow(0, "1", price);
        EXPECT_EQ(Messages(), Texts{"Bid Price1 should be in the range on Min-Max Price"}) << price;
    }
}

TEST_F(OrderEntryTest, BankListsAreSortedEachOnItsOwnAndASBAFollowsTheAccounts) {
    FakeBankAccountRecord alpha;
    alpha.bankName = "Alpha Bank", alpha.accountNumber = "99999";
    user.bankAccounts.Add(&alpha);
    ScriptUser();
    OpenForNewBid();
    EXPECT_EQ(form().ComboItems(kBidBankName), (Texts{"Alpha Bank", "Zeta Bank"}));
    EXPECT_EQ(Text(kBidBankName) + "/" + Text(kBidBankAccount), "Alpha Bank/00012345");
    form().Click(kBidASBA);
    EXPECT_TRUE(Enabled(kBidBankName) && !Enabled(kBidUPIId));

    alpha.asbaAllowed = 0, alpha.bankName = std::nullopt;  // ASBA closes for the dialog's life
    ScriptUser();
    dialog->LoadUserDetails();
    EXPECT_EQ(form().ComboItems(kBidBankName), (Texts{"", "Zeta Bank"}));
    env.companion().Script(kRequestUserDetails, {1, 0, "", {}});  // a failure empties the lists
    dialog->LoadUserDetails();
    EXPECT_EQ(form().ComboCount(kBidBankName), 0);
    EXPECT_FALSE(Enabled(kBidASBA));
}

TEST_F(OrderEntryTest, ClientLookupNamesTheClientToTheHostByUserType) {
    struct Case {
        uint16_t userType;
        const char* returnedCode;
        const char* selected;  // id|code of message 121
        int bankNames;         // after the user details that follow
    };
    // A dealer's client with its code: the dealer's scenario.
    for (const Case& c : {Case{24, "", "CL-42|LCODE1", 0}, Case{26, "C42", "LC1001|LCODE1", 1},
                          Case{23, "C42", "|", 1}}) {
        SCOPED_TRACE(c.userType);
        OpenForNewBid(c.userType);
        env.answerClientLookup = [&c](ClientLookupMessage& m) {
            base::CopyField(m.ClientId, "CL-42");
            base::CopyField(m.ClientCode, c.returnedCode);
        };
        env.clientLookups.clear();
        env.clientSelections.clear();
        ScriptUser();
        form().ComboReset(kBidBankName);
        dialog->EnableClientIdField(true);
        Enter(kBidClientId, "cl-42");
        ASSERT_EQ(env.clientLookups.size() + env.clientSelections.size(), 2u);
        const ClientLookupMessage& lookup = env.clientLookups[0];
        EXPECT_TRUE(lookup.Flag1 == 1 && base::FieldText(lookup.ClientIdTyped) == "cl-42");
        const ClientSelectedMessage& selected = env.clientSelections[0];
        EXPECT_EQ(Fields(selected.ClientId, selected.ClientCode), c.selected);
        EXPECT_EQ(form().ComboCount(kBidBankName), c.bankNames);
    }

    dialog->SetReady(false);  // the order book's dialog never looks up
    Enter(kBidClientId, "x");
    dialog->SetReady(true);
    SetHostCallback(nullptr);  // without a host what was typed stays
    Enter(kBidClientId, "cl-43");
    EXPECT_EQ(Text(kBidClientId), "cl-43");
    EXPECT_EQ(env.clientLookups.size(), 1u);
}

TEST_F(OrderEntryTest, ModificationShowsTheOrderAndLocksItsPaymentMode) {
    tagIPOModifyOrder order = UPIOrder();
    Create(24);
    dialog->LoadForModify(order);
    EXPECT_EQ(Text(kBidClientId) + "|" + Text(kBidPrice[1]), "CL-42|110.00");
    EXPECT_EQ(form().ComboItems(kBidCategory), Texts{"retail"});
    EXPECT_FALSE(Enabled(kBidCategory) || Enabled(kBidASBA) || Enabled(kBidLot[2]));
    EXPECT_TRUE(form().GetCheck(kBidCutOff[1]) && form().GetCheck(kBidTerms));

    order.PaymentMode = "ASBA", order.BankName = "Zeta Bank", order.BankAccount = "111";
    Create(23);
    dialog->LoadForModify(order);
    EXPECT_EQ(Text(kBidClientId) + "|" + Text(kBidBankName), "LC1001|Zeta Bank");
    EXPECT_TRUE(form().GetCheck(kBidASBA) && !Enabled(kBidUPI) && Enabled(kBidBankAccount));

    dialog->ResetBidForm();
    EXPECT_EQ(Text(kBidIPOName) + Text(kBidLot[0]) + Text(kBidPrice[1]), "");
    EXPECT_EQ(form().ComboCount(kBidCategory) + form().ComboCount(kBidBankName), 0);
    EXPECT_TRUE(Enabled(kBidLot[2]) && Enabled(kBidPrice[1]) && !form().GetCheck(kBidTerms));
}

}  // namespace
