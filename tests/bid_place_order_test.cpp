// "Place Bid": the checks in their order, the order as the companion receives it byte for byte,
// the texts that do not fit, and the messages of the service's answer.
#include <functional>

#include "tests/bid_dialog_fixture.h"

namespace {

using Texts = std::vector<std::string>;
constexpr size_t kSlot[3] = {5016, 5064, 5112};

class PlaceBidTest : public BidDialogTest {
  public:
    // A UPI bid of 2 lots at 105 with the terms accepted: it passes every check.
    void OpenValidBid(uint16_t userType = 23) {
        env.companion().Reset();
        ScriptUser();
        OpenForNewBid(userType);
        FillRow(0, "2", "105");
        Enter(kBidUPIId, "me@upi");
        form().Click(kBidTerms);
        env.backend().messages.clear();
    }
    std::vector<IPOServiceRequest> Orders() {
        std::vector<IPOServiceRequest> orders;
        for (const IPOServiceRequest& r : env.companion().Requests()) {
            if (r.RequestCode == kRequestPlaceOrder) {
                orders.push_back(r);
            }
        }
        return orders;
    }
    IPOServiceRequest Place() {
        form().Click(kBidPlaceBid);
        const std::vector<IPOServiceRequest> orders = Orders();
        return orders.empty() ? IPOServiceRequest{} : orders.back();
    }
};

TEST_F(PlaceBidTest, ChecksRunInTheirOrderAndStopAtTheFirstFailure) {
    struct Case {
        const char* message;
        int focus;  // 0: the focus stays on "Place Bid"
        Texts lots, prices;
        const char* upi = "me@upi";
        bool terms = true;
        uint16_t userType = 23;
    };
    const Case cases[] = {
        {"Client Id can not be blank.", kBidClientId, {"2", "", ""}, {"105", "", ""}, "", 1, 24},
        {"Kindly place atleast one Bid Order", 0, {"", "", ""}, {"105", "", ""}},
        {"Kindly enter Bid Price1 Value", kBidPrice[0], {"2", "", ""}, {"", "", ""}},
        {"Kindly enter Lot Size1 Value", kBidLot[0], {"", "1", ""}, {"105", "106", ""}},
        {"Kindly enter Bid Price2 Value", kBidPrice[1], {"2", "1", ""}, {"105", "", ""}},
        {"Kindly enter Lot Size2 Value", kBidLot[1], {"2", "", ""}, {"105", "106", ""}},
        {"Kindly enter Bid Price3 Value", kBidPrice[2], {"2", "1", "1"}, {"105", "106", ""}},
        {"Kindly enter Lot Size3 Value", kBidLot[2], {"2", "1", ""}, {"105", "106", "107"}},
        {"Kindly enter UPI Id", kBidUPIId, {"2", "", ""}, {"105", "", ""}, ""},
        {"Kindly enter the Bid 1 details", 0, {"", "1", ""}, {"", "106", ""}},
        {"Kindly enter the Bid 1 & Bid 2 details", 0, {"", "", "1"}, {"", "", "107"}},
        {"Kindly enter the Bid 2 details", 0, {"2", "", "1"}, {"105", "", "107"}},
        {"Kindly accept Terms and Conditions", 0, {"2", "", ""}, {"105", "", ""}, "x", false},
        {"Bid2 Price should be greater than Bid1 Price", 0, {"2", "1", ""}, {"105", "104", ""}},
        {"Bid3 Price should be greater than Bid2 Price", 0, {"2", "1", "1"}, {"5", "6", "5.9"}},
        {nullptr, 0, {"0", "1", "1"}, {"101.75", "101.25", "101.1"}},  // whole units; 0 lots pass
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message ? c.message : "passes");
        OpenValidBid(c.userType);
        for (int row = 0; row < 3; ++row) {
            form().SetText(kBidLot[row], c.lots[static_cast<size_t>(row)]);
            form().SetText(kBidPrice[row], c.prices[static_cast<size_t>(row)]);
        }
        form().SetText(kBidUPIId, c.upi);
        form().SetCheck(kBidTerms, c.terms);
        form().Click(kBidPlaceBid);
        if (!c.message) {
            EXPECT_TRUE(Messages().empty() && Orders().size() == 1);
            continue;
        }
        ASSERT_EQ(Messages(), Texts{c.message});
        EXPECT_EQ(env.backend().messages[0].icon,
                  c.focus == kBidClientId ? fw::MessageIcon::Error : fw::MessageIcon::None);
        EXPECT_EQ(form().FocusedControl(), c.focus ? c.focus : kBidPlaceBid);
        EXPECT_TRUE(Orders().empty());
    }

    // While "Client Id can not be blank." is up, leaving the field starts no lookup.
    OpenValidBid(24);
    env.backend().onMessageBox = [this](const auto&) { form().Focus(kBidLot[0]); };
    form().Click(kBidPlaceBid);
    EXPECT_TRUE(env.clientLookups.empty());
    env.backend().onMessageBox = nullptr;
    form().Focus(kBidLot[0]);
    EXPECT_EQ(env.clientLookups.size(), 1u);
}

TEST_F(PlaceBidTest, NewOrderCarriesTheFormAtItsOffsets) {
    OpenValidBid();
    FillRow(1, "3", "");
    form().Click(kBidCutOff[1]);
    IPOServiceRequest order = Place();
    const void* r = &order;
    EXPECT_EQ(NumberAt<uint16_t>(r, 2), 94);
    EXPECT_EQ(TextAt(r, 178, 51) + "|" + TextAt(r, 229, 11), "LC1001|LCODE1");
    EXPECT_EQ(TextAt(r, 4764, 3) + "|" + TextAt(r, 4767, 21) + "|" + TextAt(r, 4788, 6) + "|" +
                  TextAt(r, 4794, 31) + "|" + TextAt(r, 4825, 21) + "|" + TextAt(r, 4846, 21),
              "N|ACME-IPO|EQ|RETAIL|REF-ONE|REF-TWO");
    EXPECT_EQ(TextAt(r, 4867, 11) + "|" + TextAt(r, 4878, 51), "UPI|me@upi");
    EXPECT_TRUE(ZeroAt(r, 4929, 5014 - 4929));  // no bank, order number 0, no application
    EXPECT_EQ(NumberAt<uint16_t>(r, 5014), 3);
    for (size_t i = 0; i < 2; ++i) {  // 2 lots at 105, then 3 lots at the cut-off price
        EXPECT_EQ(TextAt(r, kSlot[i], 3) + TextAt(r, kSlot[i] + 24, 17), "N0");
        EXPECT_EQ(NumberAt<int32_t>(r, kSlot[i] + 4), i == 0 ? 60 : 90);
        EXPECT_EQ(NumberAt<uint8_t>(r, kSlot[i] + 8), i);
        EXPECT_EQ(NumberAt<double>(r, kSlot[i] + 16), i == 0 ? 105.0 : 110.0);
        EXPECT_TRUE(ZeroAt(r, kSlot[i] + 9, 7) && ZeroAt(r, kSlot[i] + 41, 7));
    }
    EXPECT_TRUE(ZeroAt(r, kSlot[2], 48 + 57));  // a row without a quantity is sent blank

    EXPECT_EQ(Place().Bids[1].Quantity, 90);  // placing again sends the same order
    EXPECT_EQ(Orders().size(), 2u);

    form().Click(kBidASBA);
    order = Place();
    EXPECT_EQ(TextAt(r, 4867, 11) + "|" + TextAt(r, 4929, 21) + "|" + TextAt(r, 4950, 41),
              "ASBA|Zeta Bank|00012345");
    EXPECT_TRUE(ZeroAt(r, 4878, 51));
}

TEST_F(PlaceBidTest, ModificationCarriesTheOrdersIdentityAndANewBidAfterItDoesNot) {
    tagIPOModifyOrder order = UPIOrder();
    order.CutOff[1].clear();
    Create(24);
    env.answerClientLookup = [](ClientLookupMessage& m) {
        base::CopyField(m.ClientId, "CL-42");
        base::CopyField(m.ClientCode, "C42");
    };
    dialog->LoadForModify(order);
    FillRow(2, "1", "110");  // a bid added to the order is a new bid
    IPOServiceRequest sent = Place();
    const void* r = &sent;
    EXPECT_EQ(TextAt(r, 127, 51) + "|" + TextAt(r, 105, 11), "CL-42|C42");
    EXPECT_EQ(TextAt(r, 4764, 3) + "|" + TextAt(r, 4794, 31) + "|" + TextAt(r, 4996, 17),
              "M|RETAIL|APP-9");
    EXPECT_EQ(NumberAt<int32_t>(r, 4992), 4711);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(TextAt(r, kSlot[i], 3) + TextAt(r, kSlot[i] + 24, 17),
                  (Texts{"MBR-1", "MBR-2", "N0"}[i]));
    }
    EXPECT_EQ(NumberAt<double>(r, kSlot[0] + 16), 104.0);

    dialog->ResetBidForm();  // then the dialog is reused for a new bid
    dialog->SetReady(true);
    dialog->LoadFromIPODetails(&issue);
    FillRow(0, "1", "105");
    Enter(kBidClientId, "CL-42");
    Enter(kBidUPIId, "me@upi");
    form().Click(kBidTerms);
    sent = Place();
    EXPECT_TRUE(ZeroAt(r, 4992, 4 + 17));  // no order number, no application number
    EXPECT_EQ(TextAt(r, kSlot[0], 3) + TextAt(r, kSlot[0] + 24, 17), "N0");
    EXPECT_TRUE(ZeroAt(r, kSlot[1], 48));
}

TEST_F(PlaceBidTest, ChosenCategoryIsSentInUpperCaseAndNobodyToActForSendsNothing) {
    FakeCategoryRecord employee;
    employee.code = " emp ";
    employee.displayName = "Employee";
    issue.categories.Add(&employee);
    OpenValidBid();
    form().SelectComboItem(kBidCategory, 0);
    const IPOServiceRequest sent = Place();
    EXPECT_EQ(TextAt(&sent, 4794, 31), "EMP");

    OpenValidBid(24);  // the host knows the client but gives no code
    env.answerClientLookup = [](ClientLookupMessage& m) { base::CopyField(m.ClientId, "CL-42"); };
    Enter(kBidClientId, "cl-42");
    form().Click(kBidPlaceBid);
    EXPECT_TRUE(Orders().empty());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PlaceBidTest, TextsTooLongForTheirFieldsAreRefusedAndNothingIsSent) {
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"IPO Name is too long (at most 20 characters)",
         [this] { issue.issueIdentifier = std::string(21, 'I'); }},
        {"Category Code is too long (at most 30 characters)",
         [this] { retail.code = std::string(31, 'X'); }},
        {"Bank Name is too long (at most 20 characters)",
         [this] { account.bankName = std::string(21, 'B'); }},
        {"Bank A/C No. is too long (at most 40 characters)",
         [this] { account.accountNumber = std::string(41, '9'); }},
        {"User Reference 1 is too long (at most 20 characters)",
         [this] { reference.reference1 = std::string(21, 'R'); }},
    };
    for (const auto& [message, lengthen] : cases) {
        SCOPED_TRACE(message);
        lengthen();
        OpenValidBid();
        form().Click(kBidASBA);
        form().Click(kBidPlaceBid);
        EXPECT_EQ(Messages(), Texts{message});
        EXPECT_TRUE(Orders().empty());
        issue.issueIdentifier = "ACME-IPO";
        retail.code = "RETAIL";
        account.bankName = "Zeta Bank";
        account.accountNumber = "00012345";
        reference.reference1 = "REF-ONE";
    }

    tagIPOModifyOrder order = UPIOrder();  // a UPI id can only come this long from an order
    order.UPIId = std::string(51, 'u');
    dialog->LoadForModify(order);
    form().Click(kBidPlaceBid);
    EXPECT_EQ(Messages().back(), "UPI Id is too long (at most 50 characters)");
    EXPECT_TRUE(Orders().empty());
}

TEST_F(PlaceBidTest, ResponseDecidesTheMessage) {
    struct Case {
        uint8_t status[2];        // of the two records delivered
        FakeText message[2];      // of the two records
        uint8_t detailStatus[3];  // of the first record's details
        FakeText detailText[3];
        Texts shown;
    };
    const Case cases[] = {
        {{1, 0},
         {"", "Rejected"},
         {0, 0, 0},
         {"", "", "x"},
         {"Order Placed Successfully for ACME-IPO"}},
        {{0, 1},
         {"Insufficient balance", ""},
         {0, 0, 0},
         {"", "", "x"},
         {"Insufficient balance for ACME-IPO"}},
        {{0, 1},
         {"null", ""},
         {1, 0, 0},
         {"passed", std::nullopt, "Bid 2 above the band"},
         {"Bid 2 above the band"}},
        {{7, 0}, {"Odd", "Second"}, {1, 1, 1}, {"a", "b", "c"}, {"Second for ACME-IPO"}},
        {{0, 0}, {std::nullopt, ""}, {1, 0, 1}, {"", "", ""}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown.empty() ? "nothing" : c.shown[0]);
        OpenValidBid();
        FakeOrderResponseRecord records[2];
        FakeOrderResponseDetail details[3];
        for (int i = 0; i < 3; ++i) {
            details[i].status = c.detailStatus[i];
            details[i].text = c.detailText[i];
            records[0].details.Add(&details[i]);
        }
        for (int i = 0; i < 2; ++i) {
            records[i].status = c.status[i];
            records[i].message = c.message[i];
        }
        env.companion().Script(kRequestPlaceOrder, {0, 1, "", {{&records[0]}, {&records[1]}}});
        form().Click(kBidPlaceBid);
        EXPECT_EQ(Messages(), c.shown);
        EXPECT_TRUE(form().IsWindowVisible());
    }
    env.companion().Script(kRequestPlaceOrder, {1, 0, "null", {}});
    form().Click(kBidPlaceBid);
    EXPECT_EQ(Messages().back(), "Service is not available.");
}

}  // namespace
