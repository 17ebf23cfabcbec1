// "Place Bid": the checks in their order, the order as the companion receives it byte for byte,
// the texts that do not fit, and the messages of the service's answer.
#include <gtest/gtest.h>

#include <functional>

#include "framework/text.h"
#include "plugin/host_callbacks.h"
#include "tests/bid_dialog_fixture.h"
#include "tests/support/record_bytes.h"

namespace {

constexpr size_t kSlot[3] = {5016, 5064, 5112};

class PlaceBidTest : public BidDialogTest {
  public:
    void SetUp() override {
        SetUpIssue();
        reference.reference1 = "REF-ONE";
        reference.reference2 = "REF-TWO";
        user.references.Add(&reference);
        account.bankName = "Zeta Bank";
        account.accountNumber = "00012345";
        user.bankAccounts.Add(&account);
        env.companion().Script(kRequestUserDetails, {0, 1, "", {{&user}}});
    }

    // A UPI bid of 2 lots at 105 with the terms accepted: it passes every check.
    void OpenValidBid(uint16_t userType = 23) {
        OpenForNewBid(issue, userType);
        FillRow(0, "2", "105");
        form().Type(kBidUPIId, "me@upi");
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
    IPOServiceRequest PlaceAndTakeOrder() {
        form().Click(kBidPlaceBid);
        std::vector<IPOServiceRequest> orders = Orders();
        EXPECT_FALSE(orders.empty());
        return orders.empty() ? IPOServiceRequest{} : orders.back();
    }
    void Answer(std::vector<CompanionDelivery> records) {
        env.companion().Script(kRequestPlaceOrder, {0, 1, "", std::move(records)});
    }

    FakeUserDetailsRecord user;
    FakeUserReferenceRecord reference;
    FakeBankAccountRecord account;
};

TEST_F(PlaceBidTest, ChecksRunInTheirOrderAndStopAtTheFirstFailure) {
    using Setup = std::function<void(PlaceBidTest&)>;
    struct Case {
        const char* message;
        Setup setup;
        int focus;  // 0: the focus is not moved
        uint16_t userType = 23;
    };
    auto lot = [](int row, const char* text) {
        return [=](PlaceBidTest& t) {
            t.form().Type(kBidLot[row], text);
            t.form().Focus(kBidPlaceBid);
        };
    };
    auto price = [](int row, const char* text) {
        return [=](PlaceBidTest& t) {
            t.form().Type(kBidPrice[row], text);
            t.form().Focus(kBidPlaceBid);
        };
    };
    auto all = [](std::vector<Setup> steps) {
        return [=](PlaceBidTest& t) {
            for (const Setup& step : steps) {
                step(t);
            }
        };
    };
    const Case cases[] = {
        {"Client Id can not be blank.", [](PlaceBidTest&) {}, kBidClientId, 24},
        {"Kindly place atleast one Bid Order", lot(0, ""), 0},
        {"Kindly enter Bid Price1 Value", price(0, ""), kBidPrice[0]},
        {"Kindly enter Lot Size1 Value", all({lot(1, "1"), price(1, "106"), lot(0, "")}),
         kBidLot[0]},
        {"Kindly enter Bid Price2 Value", lot(1, "1"), kBidPrice[1]},
        {"Kindly enter Lot Size2 Value", price(1, "106"), kBidLot[1]},
        {"Kindly enter Bid Price3 Value", all({lot(1, "1"), price(1, "106"), lot(2, "1")}),
         kBidPrice[2]},
        {"Kindly enter Lot Size3 Value", all({lot(1, "1"), price(1, "106"), price(2, "107")}),
         kBidLot[2]},
        {"Kindly enter UPI Id", [](PlaceBidTest& t) { t.form().Type(kBidUPIId, ""); }, kBidUPIId},
        {"Kindly enter the Bid 1 details",
         all({lot(1, "1"), price(1, "106"), lot(0, ""), price(0, "")}), 0},
        {"Kindly enter the Bid 1 & Bid 2 details",
         all({lot(1, "1"), price(1, "106"), lot(2, "1"), price(2, "107"), lot(0, ""), price(0, ""),
              lot(1, ""), price(1, "")}),
         0},
        {"Kindly enter the Bid 2 details",
         all({lot(1, "1"), price(1, "106"), lot(2, "1"), price(2, "107"), lot(1, ""),
              price(1, "")}),
         0},
        {"Kindly accept Terms and Conditions", [](PlaceBidTest& t) { t.form().Click(kBidTerms); },
         0},
        {"Bid2 Price should be greater than Bid1 Price", all({lot(1, "1"), price(1, "104")}), 0},
        {"Bid3 Price should be greater than Bid2 Price",
         all({lot(1, "1"), price(1, "106"), lot(2, "1"), price(2, "105.99")}), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        dialog.reset();
        env.companion().Reset();
        env.companion().Script(kRequestUserDetails, {0, 1, "", {{&user}}});
        OpenValidBid(c.userType);
        c.setup(*this);
        env.backend().messages.clear();
        form().Focus(kBidPlaceBid);
        form().Click(kBidPlaceBid);

        ASSERT_EQ(Messages(), std::vector<std::string>{c.message});
        const bool errorIcon = std::string(c.message) == "Client Id can not be blank.";
        EXPECT_EQ(env.backend().messages[0].icon,
                  errorIcon ? fw::MessageIcon::Error : fw::MessageIcon::None);
        EXPECT_EQ(form().FocusedControl(), c.focus ? c.focus : kBidPlaceBid);
        EXPECT_TRUE(Orders().empty());
    }
}

TEST_F(PlaceBidTest, LeavingTheClientIdWhileItsMessageIsUpStartsNoLookup) {
    OpenValidBid(24);
    form().Type(kBidClientId, "");
    form().Focus(kBidPlaceBid);  // looked up; the host knows no such client
    env.backend().onMessageBox = [this](const fw::headless::RecordedMessage&) {
        form().Focus(kBidLot[0]);  // the box takes the focus away from the field
    };
    const size_t lookups = env.clientLookups.size();
    form().Click(kBidPlaceBid);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Client Id can not be blank."});
    EXPECT_EQ(env.clientLookups.size(), lookups);
    EXPECT_EQ(form().FocusedControl(), kBidClientId);

    env.backend().onMessageBox = nullptr;
    form().Focus(kBidLot[0]);  // after the box, leaving the field looks the client up again
    EXPECT_EQ(env.clientLookups.size(), lookups + 1);
}

TEST_F(PlaceBidTest, NewUPIOrderCarriesTheFormAtItsOffsets) {
    OpenValidBid();
    FillRow(1, "3", "");
    form().Click(kBidCutOff[1]);  // row 2 at the cut-off price, 110.00
    const IPOServiceRequest order = PlaceAndTakeOrder();
    const void* r = &order;

    EXPECT_EQ(NumberAt<uint16_t>(r, 0), 23);
    EXPECT_EQ(NumberAt<uint16_t>(r, 2), 94);
    EXPECT_EQ(TextAt(r, 178, 51), "LC1001");
    EXPECT_EQ(TextAt(r, 229, 11), "LCODE1");
    EXPECT_EQ(TextAt(r, 4764, 3), "N");
    EXPECT_EQ(TextAt(r, 4767, 21), "ACME-IPO");
    EXPECT_EQ(TextAt(r, 4788, 6), "EQ");
    EXPECT_EQ(TextAt(r, 4794, 31), "RETAIL");
    EXPECT_EQ(TextAt(r, 4825, 21), "REF-ONE");
    EXPECT_EQ(TextAt(r, 4846, 21), "REF-TWO");
    EXPECT_EQ(TextAt(r, 4867, 11), "UPI");
    EXPECT_EQ(TextAt(r, 4878, 51), "me@upi");
    EXPECT_TRUE(ZeroAt(r, 4929, 21 + 41 + 1));
    EXPECT_EQ(NumberAt<int32_t>(r, 4992), 0);
    EXPECT_TRUE(ZeroAt(r, 4996, 18));
    EXPECT_EQ(NumberAt<uint16_t>(r, 5014), 3);

    EXPECT_EQ(TextAt(r, kSlot[0], 3), "N");
    EXPECT_EQ(NumberAt<int32_t>(r, kSlot[0] + 4), 60);
    EXPECT_EQ(NumberAt<uint8_t>(r, kSlot[0] + 8), 0);
    EXPECT_EQ(NumberAt<double>(r, kSlot[0] + 16), 105.0);
    EXPECT_EQ(TextAt(r, kSlot[0] + 24, 17), "0");

    EXPECT_EQ(TextAt(r, kSlot[1], 3), "N");
    EXPECT_EQ(NumberAt<int32_t>(r, kSlot[1] + 4), 90);
    EXPECT_EQ(NumberAt<uint8_t>(r, kSlot[1] + 8), 1);
    EXPECT_EQ(NumberAt<double>(r, kSlot[1] + 16), 110.0);
    EXPECT_EQ(TextAt(r, kSlot[1] + 24, 17), "0");

    EXPECT_TRUE(ZeroAt(r, kSlot[2], 48));  // a row without a quantity is sent blank
    for (size_t slot : kSlot) {
        EXPECT_TRUE(ZeroAt(r, slot + 3, 1));
        EXPECT_TRUE(ZeroAt(r, slot + 9, 7));
        EXPECT_TRUE(ZeroAt(r, slot + 41, 7));
    }
    EXPECT_TRUE(ZeroAt(r, 5160, 57));
}

TEST_F(PlaceBidTest, ASBAOrderCarriesTheSelectedBankAndNoUPIId) {
    OpenValidBid();
    form().Click(kBidASBA);
    const IPOServiceRequest order = PlaceAndTakeOrder();
    EXPECT_EQ(TextAt(&order, 4867, 11), "ASBA");
    EXPECT_TRUE(ZeroAt(&order, 4878, 51));
    EXPECT_EQ(TextAt(&order, 4929, 21), "Zeta Bank");
    EXPECT_EQ(TextAt(&order, 4950, 41), "00012345");
}

TEST_F(PlaceBidTest, ModificationCarriesTheOrdersIdentityAndItsBidReferences) {
    Create(24);
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
    order.BidReferences[0] = "BR-1";
    order.BidReferences[1] = "BR-2";
    order.BidReferences[2] = "BR-3";
    order.OrderNumber = "4711";
    order.IssueTag = "EQ";
    order.ApplicationNumber = "APP-9";
    order.MinimumPrice = 100;
    order.MaximumPrice = 110;
    dialog->ResetBidForm();
    dialog->LoadForModify(order);
    dialog->EnableClientIdField(false);
    dialog->EnableUPIIdField(false);
    const IPOServiceRequest sent = PlaceAndTakeOrder();
    const void* r = &sent;

    EXPECT_EQ(TextAt(r, 127, 51), "CL-42");
    EXPECT_EQ(TextAt(r, 105, 11), "C42");
    EXPECT_EQ(TextAt(r, 4764, 3), "M");
    EXPECT_EQ(TextAt(r, 4794, 31), "RETAIL");
    EXPECT_EQ(NumberAt<int32_t>(r, 4992), 4711);
    EXPECT_EQ(TextAt(r, 4996, 17), "APP-9");
    EXPECT_EQ(TextAt(r, kSlot[0], 3), "M");
    EXPECT_EQ(NumberAt<int32_t>(r, kSlot[0] + 4), 60);
    EXPECT_EQ(NumberAt<double>(r, kSlot[0] + 16), 104.0);
    EXPECT_EQ(TextAt(r, kSlot[0] + 24, 17), "BR-1");
    EXPECT_EQ(TextAt(r, kSlot[1], 3), "M");
    EXPECT_EQ(NumberAt<uint8_t>(r, kSlot[1] + 8), 1);
    EXPECT_EQ(TextAt(r, kSlot[1] + 24, 17), "BR-2");
    EXPECT_TRUE(ZeroAt(r, kSlot[2], 48));

    // A bid added to the order is a new bid.
    form().Click(kBidCutOff[1]);
    FillRow(2, "1", "110");
    const IPOServiceRequest extended = PlaceAndTakeOrder();
    EXPECT_EQ(TextAt(&extended, kSlot[2], 3), "N");
    EXPECT_EQ(TextAt(&extended, kSlot[2] + 24, 17), "0");
    EXPECT_EQ(NumberAt<int32_t>(&extended, kSlot[2] + 4), 30);
}

TEST_F(PlaceBidTest, ANewBidAfterAModificationCarriesNoStaleIdentity) {
    Create(23);
    tagIPOModifyOrder order;
    order.IssueKey = "OLD-IPO";
    order.PaymentMode = "UPI";
    order.Quantities[0] = "60";
    order.BidReferences[0] = "BR-1";
    order.OrderNumber = "4711";
    order.ApplicationNumber = "APP-9";
    dialog->LoadForModify(order);
    dialog->ResetBidForm();
    dialog->LoadFromIPODetails(&issue);
    dialog->LoadUserDetails();
    FillRow(0, "2", "105");
    form().Type(kBidUPIId, "me@upi");
    form().Click(kBidTerms);
    const IPOServiceRequest sent = PlaceAndTakeOrder();
    EXPECT_EQ(NumberAt<int32_t>(&sent, 4992), 0);
    EXPECT_TRUE(ZeroAt(&sent, 4996, 17));
    EXPECT_EQ(TextAt(&sent, kSlot[0], 3), "N");
    EXPECT_EQ(TextAt(&sent, kSlot[0] + 24, 17), "0");
}

TEST_F(PlaceBidTest, EdgeCasesOfTheChecksThatPass) {
    // Prices compare in whole units; a cut-off row needs no price; a lot of 0 is sent as 0.
    OpenValidBid();
    FillRow(0, "0", "101.75");
    FillRow(1, "1", "101.25");
    FillRow(2, "1", "");
    form().Click(kBidCutOff[2]);
    const IPOServiceRequest sent = PlaceAndTakeOrder();
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(NumberAt<int32_t>(&sent, kSlot[0] + 4), 0);
    EXPECT_EQ(NumberAt<double>(&sent, kSlot[1] + 16), 101.25);
    EXPECT_EQ(NumberAt<uint8_t>(&sent, kSlot[2] + 8), 1);

    // A placed order leaves the dialog as it was; placing again sends the same order.
    const IPOServiceRequest again = PlaceAndTakeOrder();
    EXPECT_EQ(Orders().size(), 2u);
    EXPECT_EQ(TextAt(&again, 4767, 21), "ACME-IPO");
    EXPECT_EQ(NumberAt<int32_t>(&again, kSlot[1] + 4), 30);
}

TEST_F(PlaceBidTest, ChosenCategoryIsSentInUpperCase) {
    FakeCategoryRecord employee;
    employee.code = " emp ";
    employee.displayName = "Employee";
    issue.categories.Add(&employee);
    OpenValidBid();
    EXPECT_EQ(Text(kBidCategory), "Retail Individual");
    form().SelectComboItem(kBidCategory, 0);
    const IPOServiceRequest sent = PlaceAndTakeOrder();
    EXPECT_EQ(TextAt(&sent, 4794, 31), "EMP");
}

TEST_F(PlaceBidTest, NobodyToActForStopsWithoutAMessage) {
    OpenValidBid(24);
    env.answerClientLookup = [](ClientLookupMessage& m) { fw::CopyField(m.ClientId, "CL-42"); };
    form().Type(kBidClientId, "cl-42");
    form().Focus(kBidPlaceBid);
    form().Click(kBidPlaceBid);  // the host gave no client code
    EXPECT_TRUE(Orders().empty());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PlaceBidTest, TextsTooLongForTheirFieldsAreRefusedAndNothingIsSent) {
    struct Case {
        const char* message;
        std::function<void(PlaceBidTest&)> setup;
    };
    const Case cases[] = {
        {"UPI Id is too long (at most 50 characters)",
         [](PlaceBidTest& t) {
             tagIPOModifyOrder order;
             order.IssueKey = "ACME-IPO";
             order.PaymentMode = "UPI";
             order.UPIId = std::string(51, 'u');
             t.dialog->LoadForModify(order);
         }},
        {"IPO Name is too long (at most 20 characters)",
         [](PlaceBidTest& t) {
             t.issue.issueIdentifier = std::string(21, 'I');
             t.dialog->LoadFromIPODetails(&t.issue);
         }},
        {"Category Code is too long (at most 30 characters)",
         [](PlaceBidTest& t) {
             t.retail.code = std::string(31, 'X');
             t.dialog->LoadFromIPODetails(&t.issue);
         }},
        {"Bank Name is too long (at most 20 characters)",
         [](PlaceBidTest& t) {
             t.account.bankName = std::string(21, 'B');
             t.dialog->LoadUserDetails();
             t.form().Click(kBidASBA);
         }},
        {"Bank A/C No. is too long (at most 40 characters)",
         [](PlaceBidTest& t) {
             t.account.accountNumber = std::string(41, '9');
             t.dialog->LoadUserDetails();
             t.form().Click(kBidASBA);
         }},
        {"User Reference 1 is too long (at most 20 characters)",
         [](PlaceBidTest& t) {
             t.reference.reference1 = std::string(21, 'R');
             t.dialog->LoadUserDetails();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        issue.issueIdentifier = "ACME-IPO";
        retail.code = "RETAIL";
        account.bankName = "Zeta Bank";
        account.accountNumber = "00012345";
        reference.reference1 = "REF-ONE";
        dialog.reset();
        env.companion().Reset();
        env.companion().Script(kRequestUserDetails, {0, 1, "", {{&user}}});
        OpenValidBid();
        env.companion().Script(kRequestUserDetails, {0, 1, "", {{&user}}});
        c.setup(*this);
        FillRow(0, "2", "105");
        env.backend().messages.clear();
        form().Click(kBidPlaceBid);
        EXPECT_EQ(Messages(), std::vector<std::string>{c.message});
        EXPECT_TRUE(Orders().empty());
    }
}

TEST_F(PlaceBidTest, ResponseDecidesTheMessage) {
    struct Answers {
        FakeOrderResponseRecord first, second;
        FakeOrderResponseDetail detail[3];
    };
    struct Case {
        const char* name;
        std::function<void(PlaceBidTest&, Answers&)> script;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"accepted",
         [](PlaceBidTest& t, Answers& a) { t.Answer({{&a.first}}); },
         {"Order Placed Successfully for ACME-IPO"}},
        {"accepted first, failure later",
         [](PlaceBidTest& t, Answers& a) {
             a.second.status = 0;
             a.second.message = "Rejected";
             t.Answer({{&a.first}, {&a.second}});
         },
         {"Order Placed Successfully for ACME-IPO"}},
        {"rejected with a message",
         [](PlaceBidTest& t, Answers& a) {
             a.first.status = 0;
             a.first.message = "Insufficient balance";
             t.Answer({{&a.first}});
         },
         {"Insufficient balance for ACME-IPO"}},
        {"rejected: the first failed detail that has a text",
         [](PlaceBidTest& t, Answers& a) {
             a.first.status = 0;
             a.first.message = "null";
             a.detail[0].text = "passed";  // status 1
             a.detail[1].status = 0;
             a.detail[1].text = std::nullopt;
             a.detail[2].status = 0;
             a.detail[2].text = "Bid 2 above the band";
             for (FakeOrderResponseDetail& d : a.detail) {
                 a.first.details.Add(&d);
             }
             t.Answer({{&a.first}});
         },
         {"Bid 2 above the band"}},
        {"another status reads the details, then the next record",
         [](PlaceBidTest& t, Answers& a) {
             a.first.status = 7;
             a.first.message = "Odd";
             a.first.nullDetails = true;
             a.second.status = 0;
             a.second.message = "Second";
             t.Answer({{&a.first}, {&a.second}});
         },
         {"Second for ACME-IPO"}},
        {"nothing usable",
         [](PlaceBidTest& t, Answers& a) {
             a.first.status = 0;
             a.first.message = std::nullopt;
             a.first.details.Add(&a.detail[0]);
             t.Answer({{&a.first}});
         },
         {}},
        {"no records", [](PlaceBidTest& t, Answers&) { t.Answer({}); }, {}},
        {"service unreachable",
         [](PlaceBidTest& t, Answers&) {
             t.env.companion().Script(kRequestPlaceOrder, {1, 0, "null", {}});
         },
         {"Service is not available."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialog.reset();
        env.companion().Reset();
        env.companion().Script(kRequestUserDetails, {0, 1, "", {{&user}}});
        OpenValidBid();
        Answers answers;
        c.script(*this, answers);
        form().Click(kBidPlaceBid);
        EXPECT_EQ(Orders().size(), 1u);
        EXPECT_EQ(Messages(), c.messages);
        EXPECT_TRUE(form().IsWindowVisible());
    }
}

}  // namespace
