#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "base/text.h"
#include "bridge/ipo_service_bridge.h"
#include "plugin/host_callbacks.h"
#include "plugin/login_context.h"
#include "tests/support/fake_records.h"
#include "tests/support/plugin_test_env.h"

namespace {

using Texts = std::vector<std::string>;
const uint16_t kWatch = 91, kDetails = 92, kBook = 93, kPlace = 94, kCancel = 95, kUser = 96;

class ServiceBridgeTest : public PluginTest {
  protected:
    const IPOServiceRequest& Last() { return env.companion().Requests().back(); }
    size_t RequestCount() { return env.companion().Requests().size(); }
    Texts Boxes() { return env.backend().MessageTexts(); }
    void UserType(uint16_t userType) {
        PluginTestConfig config;
        config.userType = userType;
        env.Configure(config);
    }

    // Sends the request of one code for a party; the prepared ones carry `prepared`.
    IPOResultList* Send(uint16_t code, std::string_view clientCode = "LCODE1",
                        std::string_view clientId = "LC1001",
                        const IPOServiceRequest& prepared = {}, int32_t kind = 1,
                        std::string_view from = "", std::string_view to = "") {
        IPOServiceBridge* bridge = env.bridge();
        IPOServiceRequest request = prepared;
        switch (code) {
            case kWatch:
                return RequestIPOWatchList(bridge, &code, clientCode, clientId, &kind, from, to);
            case kDetails:
                return RequestIPOWatchDetails(bridge, &code, clientCode, clientId, "INE0001");
            case kBook:
                return RequestIPOOrderBook(bridge, &code, clientCode, clientId, request);
            case kPlace:
                return RequestIPOPlaceOrder(bridge, &code, clientCode, clientId, request);
            case kCancel:
                return RequestIPOCancelOrder(bridge, &code, clientCode, clientId, request);
            default:
                return RequestIPOUserDetails(bridge, &code, clientCode, clientId);
        }
    }
};

// The order of binding and release is seen through the plug-in's exports (plugin_exports_test).
TEST_F(ServiceBridgeTest, BindsOnce) {
    InitializeServiceBridge();
    EXPECT_TRUE(env.companion().Calls().empty());
}

// A companion without ProcessCall, or no URL: nothing is sent and nothing shown (no companion at
// all: the scenarios).
TEST_F(ServiceBridgeTest, WithoutProcessCallOrURLNothingIsSent) {
    PluginTestConfig config;
    config.workingDirectory = PartialCompanionDirectory();
    env.Configure(config);
    env.RestartBridge();
    for (uint16_t code = kWatch; code <= kUser; ++code) {
        EXPECT_EQ(Send(code) != nullptr, code == kWatch || code == kDetails) << code;
    }

    env.Configure({});
    env.RestartBridge();
    ClearURLTable();
    config = {};
    config.urls = {{kBook, "http://ipo.test/book"}};
    env.Configure(config);
    EXPECT_EQ(Send(kWatch), &ResultList());
    EXPECT_TRUE(env.companion().Requests().empty());
    EXPECT_TRUE(Boxes().empty() && env.hostMessageIds.empty());
    EXPECT_NE(Send(kBook), nullptr);
    EXPECT_EQ(base::FieldText(Last().URL), "http://ipo.test/book");
}

// The login party is LC1001/LCODE1; the caller passes C77/K7 (or no client id).
TEST_F(ServiceBridgeTest, HeaderCarriesUserURLAndThePartyOfTheUserType) {
    const struct {
        uint16_t userType;
        const char* clientId;
        const char* party;  // login id|login code|client id|client code
    } cases[] = {
        {23, "C77", "C77|K7||"},
        {24, "C77", "LC1001|LCODE1|C77|K7"},
        {24, "", "|||"},  // an empty client id writes no party, but is sent
        {26, "C77", "C77|K7|C77|K7"},
        {25, "C77", "|||"},
    };
    for (const auto& c : cases) {
        UserType(c.userType);
        for (uint16_t code = kWatch; code <= kUser; ++code) {
            ASSERT_NE(Send(code, "K7", c.clientId), nullptr);
            const IPOServiceRequest& r = Last();
            EXPECT_EQ(
                std::tuple(r.UserType, r.RequestCode, Fields(r.UserId, r.URL)),
                std::tuple(c.userType, code, "TRADER01|http://ipo.test/" + std::to_string(code)));
            EXPECT_EQ(Fields(r.LoginClientId, r.LoginClientCode, r.ClientId, r.ClientCode), c.party)
                << c.userType << " " << code;
        }
    }
}

// The prepared order book, order and cancel records are copied as they are: their fields are seen
// by the views' request tests.
TEST_F(ServiceBridgeTest, EachRequestCarriesItsOwnFields) {
    ASSERT_NE(Send(kWatch, "K", "C", {}, 1), nullptr);
    EXPECT_EQ(base::FieldText(Last().Section), "C");
    ASSERT_NE(Send(kWatch, "K", "C", {}, 2, "2026-01-01", "2026-02-01"), nullptr);
    EXPECT_EQ(Fields(Last().Section, Last().Product), "F|IPO");
    EXPECT_EQ(base::FieldText(Last().WatchFromDate), "");  // dates only for past issues
    ASSERT_NE(Send(kWatch, "K", "C", {}, 3, "2026-11-01", "2026-12-05"), nullptr);
    EXPECT_EQ(base::FieldText(Last().Section), "P");
    EXPECT_EQ(Fields(Last().WatchFromDate, Last().WatchToDate), "2026-11-01|2026-12-05");
    EXPECT_EQ(env.companion().WatchListKinds(), (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(Send(kWatch, "K", "C", {}, 3, "2026-11-01X", "2026-12-05"), &ResultList());
    EXPECT_EQ(RequestCount(), 3u);  // a date longer than ten is refused

    ASSERT_NE(Send(kDetails), nullptr);
    EXPECT_EQ(base::FieldText(Last().IssueKey), "INE0001");
    EXPECT_EQ(base::FieldText(Last().Section), "");
    ASSERT_NE(Send(kUser), nullptr);
    EXPECT_EQ(base::FieldText(Last().DetailsWanted), "Y");
}

TEST_F(ServiceBridgeTest, FailureReactionsShowTheirTexts) {
    const struct {
        uint16_t code;
        int16_t resultCode;
        uint8_t accepted;
        const char* message;
        const char* box;  // null: no box
        bool listReturned;
    } cases[] = {
        // The watch list and details react alike, as do order book and user details, and placing
        // and cancelling but for the text of an accepted request.
        {kWatch, 1, 0, "Server busy", "Server busy", false},
        {kDetails, 1, 0, "", nullptr, true},
        {kBook, 1, 0, "Bad dates", "Bad dates", false},
        {kBook, 1, 0, "", nullptr, false},
        {kBook, -5, 0, "ignored", nullptr, true},  // success is any result code up to zero
        {kUser, 1, 1, "null", "Service is not available.", false},
        {kPlace, 1, 0, "null", "Service is not available.", false},
        {kPlace, 1, 1, "null", "IPO Request has been made Successfully", false},
        {kPlace, 1, 1, "Bid rejected", "Bid rejected", false},
        {kPlace, 1, 0, "", nullptr, false},
        {kCancel, 2, 0, "Too late", "Too late", false},
        {kCancel, 1, 1, "", "Request Submitted Successfully", false},
    };
    for (const auto& c : cases) {
        env.backend().messages.clear();
        env.serviceFailures.clear();
        env.companion().Script(c.code, {c.resultCode, c.accepted, c.message, {}});
        const std::string label = std::to_string(c.code) + " '" + c.message + "'";
        EXPECT_EQ(Send(c.code) != nullptr, c.listReturned) << label;
        EXPECT_EQ(Boxes(), c.box ? Texts{c.box} : Texts{}) << label;
        const bool failed = c.resultCode > 0;
        EXPECT_EQ(env.ServiceFailureTexts(), failed && *c.message ? Texts{c.message} : Texts{})
            << label;
        EXPECT_EQ(env.companion().Calls().back() == "ProcessCall", failed) << "getter: " << label;
    }
    for (const fw::headless::RecordedMessage& box : env.backend().messages) {
        EXPECT_EQ(box.icon, fw::MessageIcon::None);
    }

    // A long message reaches the host cut to 4,096 characters; without a host the box remains.
    std::string message(5000, 'x');
    message[4095] = 'E';
    env.serviceFailures.clear();
    env.companion().Script(kCancel, {2, 0, message, {}});
    EXPECT_EQ(Send(kCancel), nullptr);
    ASSERT_EQ(env.serviceFailures.size(), 1u);
    const ServiceFailureMessage& sent = env.serviceFailures[0];
    EXPECT_TRUE(sent.MessageId == kServiceFailureMessageId && sent.Zero == 0);
    EXPECT_EQ(base::FieldText(sent.Text), message.substr(0, 4096));
    EXPECT_EQ(Boxes().back(), message.substr(0, 4096));
    SetHostCallback(nullptr);
    env.companion().Script(kCancel, {2, 0, "Too late", {}});
    Send(kCancel);
    EXPECT_EQ(env.serviceFailures.size(), 1u);
    EXPECT_EQ(Boxes().back(), "Too late");
}

TEST_F(ServiceBridgeTest, ResultListHoldsDeliveredRecordsInOrderBehindAWaitCursor) {
    FakeIPOOrderBookEntry first, second, third;
    env.companion().Script(kBook, {0, 1, "", {{&first}, {&second}, {&third}}});
    IPOResultList* list = Send(kBook);
    ASSERT_EQ(list, &ResultList());
    EXPECT_EQ(*list, (IPOResultList{&first, &second, &third}));
    EXPECT_GE(env.backend().waitCursors, 1);
    EXPECT_EQ(env.backend().waitDepth, 0);

    // The next request starts from an empty list; records of a foreign type or null are dropped.
    FakeIPOCancelResponse response;
    env.companion().Script(kCancel, {0, 1, "", {{&response, 97}, {nullptr}, {&response, 90}}});
    EXPECT_TRUE(Send(kCancel)->empty());
    env.companion().Script(kCancel, {0, 1, "", {{&response, 91}, {&response, 96}}});
    EXPECT_EQ(*Send(kCancel), (IPOResultList{&response, &response}));
}

TEST_F(ServiceBridgeTest, TextsThatDoNotFitMakeTheRequestUnsendable) {
    struct Case {
        const char* what;
        bool sent;
        PluginTestConfig config;
        size_t clientCode = 1, clientId = 1, issueKey = 1;
    };
    const Case cases[] = {
        {"user id 100", true, {.userId = std::string(100, 'u')}},
        {"user id 101", false, {.userId = std::string(101, 'u')}},
        {"url 256", false, {.urls = {{kDetails, std::string(256, 'h')}}}},
        {"client id 51", false, {}, 1, 51},
        {"login code 11", false, {.userType = 24, .loginClientCode = std::string(11, 'l')}},
        {"issue key 21", false, {}, 1, 1, 21},
    };
    for (const Case& c : cases) {
        env.Configure(c.config);
        env.companion().Reset();
        FakeIPODetailsEntry stale;
        ResultList().assign({&stale});
        IPOResultList* list =
            RequestIPOWatchDetails(env.bridge(), &kDetails, std::string(c.clientCode, 'k'),
                                   std::string(c.clientId, 'c'), std::string(c.issueKey, 'i'));
        EXPECT_EQ(RequestCount(), c.sent ? 1u : 0u) << c.what;
        EXPECT_EQ(list, &ResultList()) << c.what;
        EXPECT_TRUE(ResultList().empty() && Boxes().empty()) << c.what << ": no stale record";
        env.Configure({});
    }
}

}  // namespace
