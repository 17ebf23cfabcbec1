// "Place Bid": the checks in their order, the order as the companion receives it field by field,
// the texts that do not fit, and the messages of the service's answer.
#include <tuple>

#include "tests/bid_dialog_fixture.h"

namespace {

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

TEST_F(PlaceBidTest, NewOrderCarriesTheForm) {
    OpenValidBid();
    FillRow(1, "3", "");
    form().Click(kBidCutOff[1]);
    IPOServiceRequest r = Place();
    EXPECT_EQ(Fields(r.OrderFlag, r.IPOName, r.IssueTag, r.CategoryCode, r.UserReference1,
                     r.UserReference2, r.PaymentMode, r.UPIId, r.BankName, r.ApplicationNumber),
              "N|ACME-IPO|EQ|RETAIL|REF-ONE|REF-TWO|UPI|me@upi||");
    EXPECT_EQ(std::pair(r.OrderNumber, r.BidCount), std::pair(0, uint16_t{3}));
    // 2 lots at 105, then 3 lots at the cut-off price; a row without a quantity is sent blank.
    const std::tuple<const char*, int32_t, uint8_t, double> bids[] = {
        {"N|0", 60, 0, 105.0}, {"N|0", 90, 1, 110.0}, {"|", 0, 0, 0.0}};
    for (size_t i = 0; i < 3; ++i) {
        const IPOBidSlot& bid = r.Bids[i];
        EXPECT_EQ(std::tuple(Fields(bid.BidActionCode, bid.BidReference), bid.Quantity, bid.CutOff,
                             bid.Price),
                  bids[i])
            << i;
    }

    form().Click(kBidASBA);  // placing again sends the form as it now stands
    r = Place();
    EXPECT_EQ(Fields(r.PaymentMode, r.UPIId, r.BankName, r.BankAccount),
              "ASBA||Zeta Bank|00012345");
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
    IPOServiceRequest r = Place();
    EXPECT_EQ(Fields(r.ClientId, r.ClientCode, r.OrderFlag, r.CategoryCode, r.ApplicationNumber) +
                  std::to_string(r.OrderNumber),
              "CL-42|C42|M|RETAIL|APP-94711");
    EXPECT_EQ(Fields(r.Bids[0].BidActionCode, r.Bids[0].BidReference, r.Bids[1].BidActionCode,
                     r.Bids[1].BidReference, r.Bids[2].BidActionCode, r.Bids[2].BidReference),
              "M|BR-1|M|BR-2|N|0");
    EXPECT_EQ(r.Bids[0].Price, 104.0);

    dialog->ResetBidForm();  // then the dialog is reused for a new bid
    dialog->SetReady(true);
    dialog->LoadFromIPODetails(&issue);
    FillRow(0, "1", "105");
    Enter(kBidClientId, "CL-42");
    Enter(kBidUPIId, "me@upi");
    form().Click(kBidTerms);
    r = Place();
    EXPECT_EQ(Fields(r.ApplicationNumber, r.Bids[0].BidActionCode, r.Bids[0].BidReference,
                     r.Bids[1].BidActionCode) +
                  std::to_string(r.OrderNumber),
              "|N|0|0");
}

TEST_F(PlaceBidTest, ChosenCategoryIsSentInUpperCaseAndNobodyToActForSendsNothing) {
    FakeCategoryRecord employee;
    employee.code = " emp ", employee.displayName = "Employee";
    issue.categories.Add(&employee);
    OpenValidBid();
    form().SelectComboItem(kBidCategory, 0);
    EXPECT_EQ(base::FieldText(Place().CategoryCode), "EMP");

    OpenValidBid(24);  // the host knows the client but gives no code
    env.answerClientLookup = [](ClientLookupMessage& m) { base::CopyField(m.ClientId, "CL-42"); };
    Enter(kBidClientId, "cl-42");
    form().Click(kBidPlaceBid);
    EXPECT_TRUE(Orders().empty());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PlaceBidTest, TextsTooLongForTheirFieldsAreRefusedAndNothingIsSent) {
    account.accountNumber = std::string(41, 'x');  // each text has its limit; one stands for all
    OpenValidBid();
    form().Click(kBidASBA);
    form().Click(kBidPlaceBid);
    EXPECT_EQ(Messages(), Texts{"Bank A/C No. is too long (at most 40 characters)"});
    EXPECT_TRUE(Orders().empty());

    tagIPOModifyOrder order = UPIOrder();  // a UPI id can only come this long from an order
    order.UPIId = std::string(51, 'u');
    dialog->LoadForModify(order);
    form().Click(kBidPlaceBid);
    EXPECT_EQ(Messages().back(), "UPI Id is too long (at most 50 characters)");
    EXPECT_TRUE(Orders().empty());
}

// Success, and the service's refusal, are seen in the scenarios and the bridge's tests.
TEST_F(PlaceBidTest, ResponseDecidesTheMessage) {
    // Two records are delivered; the first has three details. A null message shows nothing.
    const struct {
        uint8_t status1, status2;
        FakeText message1, message2;
        uint8_t detailStatus[3];
        FakeText detailText[3];
        const char* shown;
    } cases[] = {
        // clang-format off
        {0, 1, "Insufficient balance", "", {0, 0, 0}, {"", "", "x"},
         "Insufficient balance for ACME-IPO"},
        {0, 1, "null", "", {1, 0, 0}, {"passed", std::nullopt, "Bid 2 above the band"},
         "Bid 2 above the band"},
        {7, 0, "Odd", "Second", {1, 1, 1}, {"a", "b", "c"}, "Second for ACME-IPO"},
        {0, 0, std::nullopt, "", {1, 0, 1}, {"", "", ""}, nullptr},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown ? c.shown : "nothing");
        OpenValidBid();
        FakeOrderResponseRecord records[2];
        FakeOrderResponseDetail details[3];
        for (int i = 0; i < 3; ++i) {
            details[i].status = c.detailStatus[i], details[i].text = c.detailText[i];
            records[0].details.Add(&details[i]);
        }
        records[0].status = c.status1, records[0].message = c.message1;
        records[1].status = c.status2, records[1].message = c.message2;
        env.Answer(kRequestPlaceOrder, {&records[0], &records[1]});
        form().Click(kBidPlaceBid);
        EXPECT_EQ(Messages(), c.shown ? Texts{c.shown} : Texts{});
        EXPECT_TRUE(form().IsWindowVisible());
    }
}

}  // namespace
