#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bridge/ipo_service_bridge.h"
#include "plugin/host_callbacks.h"
#include "plugin/login_context.h"
#include "tests/support/fake_records.h"
#include "tests/support/plugin_test_env.h"
#include "tests/support/record_bytes.h"

namespace {

const uint16_t kWatch = 91, kDetails = 92, kBook = 93, kPlace = 94, kCancel = 95, kUser = 96;

class ServiceBridgeTest : public PluginTest {
  protected:
    const IPOServiceRequest& LastRequest() { return env.companion().Requests().back(); }
    size_t RequestCount() { return env.companion().Requests().size(); }
    std::vector<std::string> Boxes() { return env.backend().MessageTexts(); }

    IPOResultList* WatchList(int32_t kind, std::string_view from = "", std::string_view to = "") {
        return RequestIPOWatchList(env.bridge(), &kWatch, "LCODE1", "LC1001", &kind, from, to);
    }

    // Sends the request of one code with the login party; the prepared ones carry no fields.
    IPOResultList* Send(uint16_t code, std::string_view clientCode = "LCODE1",
                        std::string_view clientId = "LC1001") {
        IPOServiceBridge* bridge = env.bridge();
        const int32_t kind = 1;
        switch (code) {
            case kWatch:
                return RequestIPOWatchList(bridge, &code, clientCode, clientId, &kind, "", "");
            case kDetails:
                return RequestIPOWatchDetails(bridge, &code, clientCode, clientId, "INE0001");
            case kBook:
                return RequestIPOOrderBook(bridge, &code, clientCode, clientId, {});
            case kPlace:
                return RequestIPOPlaceOrder(bridge, &code, clientCode, clientId, {});
            case kCancel:
                return RequestIPOCancelOrder(bridge, &code, clientCode, clientId, {});
            default:
                return RequestIPOUserDetails(bridge, &code, clientCode, clientId);
        }
    }
};

TEST_F(ServiceBridgeTest, BindsToTheCompanionInItsDocumentedOrder) {
    DestroyServiceBridge();
    EXPECT_EQ(env.companion().Calls(), std::vector<std::string>{"CleanUp"});
    env.companion().Reset();

    InitializeServiceBridge();
    InitializeServiceBridge();  // a bridge is bound once
    EXPECT_EQ(env.companion().Calls(),
              (std::vector<std::string>{"InitializeCorvexDll", "SetDataIPOSetCallBackFun"}));
}

TEST_F(ServiceBridgeTest, WithoutCompanionEveryRequestStopsSilently) {
    PluginTestConfig config;
    config.workingDirectory = "/nonexistent/folder";
    env.Configure(config);
    env.RestartBridge();
    env.companion().Reset();
    FakeIPOWatchEntry stale;
    ResultList().push_back(&stale);

    for (uint16_t code = kWatch; code <= kUser; ++code) {
        IPOResultList* list = Send(code);
        EXPECT_EQ(list, &ResultList()) << code;
    }
    // Nothing was sent, so not even the result list was touched.
    EXPECT_EQ(ResultList(), IPOResultList{&stale});
    EXPECT_TRUE(env.companion().Calls().empty());
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(env.hostMessageIds.empty());
}

TEST_F(ServiceBridgeTest, CompanionWithoutProcessCallFailsEveryRequestQuietly) {
    PluginTestConfig config;
    config.workingDirectory = PartialCompanionDirectory();
    env.Configure(config);
    env.RestartBridge();

    for (uint16_t code = kWatch; code <= kUser; ++code) {
        const bool listReturned = code == kWatch || code == kDetails;
        EXPECT_EQ(Send(code) != nullptr, listReturned) << code;
    }
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(env.hostMessageIds.empty());
    EXPECT_TRUE(env.companion().Requests().empty());
}

TEST_F(ServiceBridgeTest, HeaderCarriesUserCodeAndURL) {
    for (uint16_t code = kWatch; code <= kUser; ++code) {
        ASSERT_NE(Send(code), nullptr);
        const IPOServiceRequest& request = LastRequest();
        EXPECT_EQ(NumberAt<uint16_t>(&request, 0), 23);
        EXPECT_EQ(NumberAt<uint16_t>(&request, 2), code);
        EXPECT_EQ(TextAt(&request, 4, 101), "TRADER01");
        EXPECT_EQ(TextAt(&request, 252, 256), "http://ipo.test/" + std::to_string(code));
        EXPECT_TRUE(ZeroAt(&request, 116, 11));
        EXPECT_TRUE(ZeroAt(&request, 240, 12));
        EXPECT_TRUE(ZeroAt(&request, 508, 4));
    }
    EXPECT_EQ(RequestCount(), 6u);
}

TEST_F(ServiceBridgeTest, PartyFieldsFollowTheUserType) {
    struct Case {
        uint16_t userType;
        const char* loginId;
        const char* loginCode;
        const char* clientId;
        const char* clientCode;
    };
    // The login party is LC1001/LCODE1; the view passes C77/K7.
    const Case cases[] = {
        {23, "C77", "K7", "", ""},
        {24, "LC1001", "LCODE1", "C77", "K7"},
        {26, "C77", "K7", "C77", "K7"},
        {25, "", "", "", ""},
    };
    for (const Case& c : cases) {
        PluginTestConfig config;
        config.userType = c.userType;
        env.Configure(config);
        ASSERT_NE(Send(kBook, "K7", "C77"), nullptr);
        const IPOServiceRequest& request = LastRequest();
        EXPECT_EQ(NumberAt<uint16_t>(&request, 0), c.userType);
        EXPECT_EQ(TextAt(&request, 178, 51), c.loginId) << c.userType;
        EXPECT_EQ(TextAt(&request, 229, 11), c.loginCode) << c.userType;
        EXPECT_EQ(TextAt(&request, 127, 51), c.clientId) << c.userType;
        EXPECT_EQ(TextAt(&request, 105, 11), c.clientCode) << c.userType;
    }
}

TEST_F(ServiceBridgeTest, EmptyClientIdWritesNoPartyFieldsButIsSent) {
    PluginTestConfig config;
    config.userType = 24;
    env.Configure(config);
    ASSERT_NE(Send(kBook, "K7", ""), nullptr);
    const IPOServiceRequest& request = LastRequest();
    EXPECT_TRUE(ZeroAt(&request, 105, 11));
    EXPECT_TRUE(ZeroAt(&request, 127, 51 + 51 + 11));
    EXPECT_EQ(NumberAt<uint16_t>(&request, 0), 24);
}

TEST_F(ServiceBridgeTest, WatchListSectionsDatesAndGetterKind) {
    ASSERT_NE(WatchList(1), nullptr);
    EXPECT_EQ(TextAt(&LastRequest(), 4612, 3), "C");
    ASSERT_NE(WatchList(2, "2026-01-01", "2026-02-01"), nullptr);
    EXPECT_EQ(TextAt(&LastRequest(), 4612, 3), "F");
    EXPECT_EQ(TextAt(&LastRequest(), 4615, 4), "IPO");
    EXPECT_TRUE(ZeroAt(&LastRequest(), 4672, 22));
    ASSERT_NE(WatchList(3, "2026-11-01", "2026-12-05"), nullptr);
    EXPECT_EQ(TextAt(&LastRequest(), 4612, 3), "P");
    EXPECT_EQ(TextAt(&LastRequest(), 4672, 11), "2026-11-01");
    EXPECT_EQ(TextAt(&LastRequest(), 4683, 11), "2026-12-05");
    EXPECT_EQ(env.companion().WatchListKinds(), (std::vector<int32_t>{1, 2, 3}));
}

TEST_F(ServiceBridgeTest, OwnFieldsOfDetailsAndUserDetails) {
    ASSERT_NE(RequestIPOWatchDetails(env.bridge(), &kDetails, "", "", "INE123A01"), nullptr);
    EXPECT_EQ(TextAt(&LastRequest(), 5420, 21), "INE123A01");
    EXPECT_TRUE(ZeroAt(&LastRequest(), 4612, 7));

    ASSERT_NE(RequestIPOUserDetails(env.bridge(), &kUser, "", ""), nullptr);
    EXPECT_EQ(TextAt(&LastRequest(), 5484, 2), "Y");
    EXPECT_EQ(env.companion().Calls().back(), "GetIPOUserDetailsInfo");
}

TEST_F(ServiceBridgeTest, PreparedRequestsKeepTheCallersFieldsAndRecord) {
    IPOServiceRequest prepared{};
    std::memcpy(prepared.OrderBookFromDate, "2026-11-01", 10);
    std::memcpy(prepared.OrderStatus, "ALL", 3);
    prepared.CancelOrderNumber = 4711;
    prepared.OrderNumber = 99;
    const IPOServiceRequest before = prepared;

    ASSERT_NE(RequestIPOOrderBook(env.bridge(), &kBook, "K", "C", prepared), nullptr);
    EXPECT_EQ(TextAt(&LastRequest(), 5217, 11), "2026-11-01");
    EXPECT_EQ(TextAt(&LastRequest(), 5304, 11), "ALL");
    ASSERT_NE(RequestIPOPlaceOrder(env.bridge(), &kPlace, "K", "C", prepared), nullptr);
    EXPECT_EQ(NumberAt<int32_t>(&LastRequest(), 4992), 99);
    ASSERT_NE(RequestIPOCancelOrder(env.bridge(), &kCancel, "K", "C", prepared), nullptr);
    EXPECT_EQ(NumberAt<int32_t>(&LastRequest(), 5360), 4711);
    EXPECT_EQ(TextAt(&LastRequest(), 252, 256), "http://ipo.test/95");

    EXPECT_EQ(std::memcmp(&prepared, &before, sizeof prepared), 0);
    EXPECT_EQ(env.companion().Calls(),
              (std::vector<std::string>{"ProcessCall", "GetIPOOrderBookListInfo", "ProcessCall",
                                        "GetIPOOrderResponse", "ProcessCall",
                                        "GetIPOCancelOrderResponse"}));
}

TEST_F(ServiceBridgeTest, FailureReactionsShowTheDocumentedTexts) {
    struct Case {
        uint16_t code;
        int16_t resultCode;
        uint8_t accepted;
        const char* message;
        const char* box;  // null: no box
        bool listReturned;
    };
    const Case cases[] = {
        {kWatch, 1, 0, "Server busy", "Server busy", false},
        {kWatch, 1, 0, "", nullptr, true},
        {kDetails, 3, 0, "No such issue", "No such issue", false},
        {kDetails, 1, 0, "", nullptr, true},
        {kBook, 1, 0, "null", "Service is not available.", false},
        {kBook, 1, 0, "Bad dates", "Bad dates", false},
        {kBook, 1, 0, "", nullptr, false},
        {kUser, 1, 1, "null", "Service is not available.", false},
        {kUser, 1, 0, "No user", "No user", false},
        {kUser, 1, 0, "", nullptr, false},
        {kPlace, 1, 0, "null", "Service is not available.", false},
        {kPlace, 1, 1, "null", "IPO Request has been made Successfully", false},
        {kPlace, 1, 1, "", "IPO Request has been made Successfully", false},
        {kPlace, 1, 1, "Bid rejected", "Bid rejected", false},
        {kPlace, 1, 0, "", nullptr, false},
        {kCancel, 1, 0, "null", "Service is not available.", false},
        {kCancel, 2, 0, "Too late", "Too late", false},
        {kCancel, 1, 1, "", "Request Submitted Successfully", false},
        {kCancel, 1, 0, "", nullptr, false},
    };
    for (const Case& c : cases) {
        env.backend().messages.clear();
        env.serviceFailures.clear();
        env.companion().Script(c.code, {c.resultCode, c.accepted, c.message, {}});
        IPOResultList* list = Send(c.code);
        const std::string label = std::to_string(c.code) + " '" + c.message + "'";
        EXPECT_EQ(list != nullptr, c.listReturned) << label;
        EXPECT_EQ(Boxes(), c.box ? std::vector<std::string>{c.box} : std::vector<std::string>{})
            << label;
        const std::vector<std::string> toHost =
            *c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{};
        EXPECT_EQ(env.ServiceFailureTexts(), toHost) << label;
        EXPECT_EQ(env.companion().Calls().back(), "ProcessCall") << "no getter after failure";
    }
    for (const fw::headless::RecordedMessage& box : env.backend().messages) {
        EXPECT_EQ(box.icon, fw::MessageIcon::None);
    }
}

TEST_F(ServiceBridgeTest, SuccessIsAnyResultCodeUpToZero) {
    env.companion().Script(kBook, {-5, 0, "ignored", {}});
    EXPECT_EQ(Send(kBook), &ResultList());
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(env.hostMessageIds.empty());
}

TEST_F(ServiceBridgeTest, LongServiceMessageReachesTheHostCutTo4096) {
    std::string message(5000, 'x');
    message[4095] = 'E';
    env.companion().Script(kCancel, {2, 0, message, {}});
    EXPECT_EQ(Send(kCancel), nullptr);

    ASSERT_EQ(env.serviceFailures.size(), 1u);
    const ServiceFailureMessage& sent = env.serviceFailures[0];
    EXPECT_EQ(NumberAt<uint32_t>(&sent, 0), 65636u);
    EXPECT_EQ(NumberAt<uint16_t>(&sent, 4), 0);
    const std::string text = TextAt(&sent, 6, 4098);
    EXPECT_EQ(text.size(), 4096u);
    EXPECT_EQ(text.back(), 'E');
    EXPECT_TRUE(ZeroAt(&sent, 6 + 4096, 2));
    EXPECT_EQ(Boxes(), std::vector<std::string>{message.substr(0, 4096)});
}

TEST_F(ServiceBridgeTest, WithoutHostCallbackTheFailureStillShowsItsBox) {
    SetHostCallback(nullptr);
    env.companion().Script(kCancel, {2, 0, "Too late", {}});
    EXPECT_EQ(Send(kCancel), nullptr);
    EXPECT_TRUE(env.hostMessageIds.empty());
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Too late"});
}

TEST_F(ServiceBridgeTest, ResultListHoldsDeliveredRecordsInOrder) {
    FakeIPOOrderBookEntry first, second, third;
    env.companion().Script(kBook, {0, 1, "", {{&first}, {&second}, {&third}}});
    IPOResultList* list = Send(kBook);
    ASSERT_EQ(list, &ResultList());
    EXPECT_EQ(*list, (IPOResultList{&first, &second, &third}));

    // The next request starts from an empty list; records of a foreign type or null are dropped.
    FakeIPOCancelResponse response;
    env.companion().Script(kCancel, {0, 1, "", {{&response, 97}, {nullptr}, {&response, 90}}});
    EXPECT_TRUE(Send(kCancel)->empty());
    env.companion().Script(kCancel, {0, 1, "", {{&response, 91}, {&response, 96}}});
    EXPECT_EQ(*Send(kCancel), (IPOResultList{&response, &response}));
}

TEST_F(ServiceBridgeTest, WaitCursorIsShownDuringTheCallAndGone) {
    Send(kBook);
    EXPECT_GE(env.backend().waitCursors, 1);
    EXPECT_EQ(env.backend().waitDepth, 0);
}

TEST_F(ServiceBridgeTest, TextsThatDoNotFitMakeTheRequestUnsendable) {
    struct Case {
        const char* what;
        PluginTestConfig config;
        std::string clientCode, clientId, issueKey;
        bool sent;
    };
    auto with = [](auto change) {
        PluginTestConfig config;
        change(config);
        return config;
    };
    const Case cases[] = {
        {"user id 100", with([](auto& c) { c.userId = std::string(100, 'u'); }), "K", "C", "I",
         true},
        {"user id 101", with([](auto& c) { c.userId = std::string(101, 'u'); }), "K", "C", "I",
         false},
        {"url 255", with([](auto& c) { c.urls[92] = std::string(255, 'h'); }), "K", "C", "I", true},
        {"url 256", with([](auto& c) { c.urls[92] = std::string(256, 'h'); }), "K", "C", "I",
         false},
        {"client id 50", {}, "K", std::string(50, 'c'), "I", true},
        {"client id 51", {}, "K", std::string(51, 'c'), "I", false},
        {"client code 10", {}, std::string(10, 'k'), "C", "I", true},
        {"client code 11", {}, std::string(11, 'k'), "C", "I", false},
        {"login id 51 (type 24)", with([](auto& c) {
             c.userType = 24;
             c.loginClientId = std::string(51, 'l');
         }),
         "K", "C", "I", false},
        {"login code 11 (type 24)", with([](auto& c) {
             c.userType = 24;
             c.loginClientCode = std::string(11, 'l');
         }),
         "K", "C", "I", false},
        {"issue key 20", {}, "K", "C", std::string(20, 'i'), true},
        {"issue key 21", {}, "K", "C", std::string(21, 'i'), false},
    };
    for (const Case& c : cases) {
        env.Configure(c.config);
        env.companion().Reset();
        FakeIPODetailsEntry stale;
        ResultList().assign({&stale});
        IPOResultList* list =
            RequestIPOWatchDetails(env.bridge(), &kDetails, c.clientCode, c.clientId, c.issueKey);
        EXPECT_EQ(RequestCount(), c.sent ? 1u : 0u) << c.what;
        EXPECT_EQ(list, &ResultList()) << c.what;
        EXPECT_TRUE(ResultList().empty()) << c.what << ": no stale record is handed back";
        EXPECT_TRUE(Boxes().empty()) << c.what;
        PluginTestConfig plain;
        env.Configure(plain);
    }
}

TEST_F(ServiceBridgeTest, RequestWithoutURLIsNotSent) {
    ClearURLTable();
    for (uint16_t code = kWatch; code <= kUser; ++code) {
        EXPECT_EQ(Send(code), &ResultList());
    }
    EXPECT_EQ(RequestCount(), 0u);

    PluginTestConfig config;
    config.urls = {{93, "http://ipo.test/book"}};
    env.Configure(config);
    EXPECT_EQ(Send(kWatch), &ResultList());
    EXPECT_EQ(RequestCount(), 0u);
    EXPECT_NE(Send(kBook), nullptr);
    EXPECT_EQ(TextAt(&LastRequest(), 252, 256), "http://ipo.test/book");
}

TEST_F(ServiceBridgeTest, WatchDatesLongerThanTenAreRefused) {
    EXPECT_EQ(WatchList(3, "2026-11-01X", "2026-12-05"), &ResultList());
    EXPECT_EQ(RequestCount(), 0u);
}

}  // namespace
