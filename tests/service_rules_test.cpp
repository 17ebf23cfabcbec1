// The service's business and access rules, driven over HTTP as the companion drives them.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <thread>
#include <vector>

#include "service_test_client.h"

using nlohmann::json;

namespace {

class ServiceRulesTest : public ::testing::Test {
  protected:
    harness::ServiceProcess service;
    ServiceTestClient client{service.Port()};

    std::set<std::string> WatchKeys(const std::string& section, const std::string& from = "",
                                    const std::string& to = "") {
        json request = ServiceTestClient::Investor(91);
        request.update(
            {{"section", section}, {"product", "IPO"}, {"from_date", from}, {"to_date", to}});
        std::set<std::string> keys;
        const json records = client.Post("/ipo/watchlist", request).body.at("records");
        for (const json& entry : records) {
            keys.insert(entry.at("issue_key").get<std::string>());
        }
        return keys;
    }
    json Place(const json& order) {
        const ServiceReply reply = client.Post("/ipo/order", order);
        EXPECT_EQ(reply.status, 200) << reply.Message();
        return reply.Record();
    }
    std::string Refusal(const json& order) {
        const json record = Place(order);
        EXPECT_EQ(record.at("status"), 0);
        return record.at("message");
    }
    json Cancel(const json& header, int64_t orderNumber) {
        json request = header;
        request.update({{"code", 95},
                        {"order_number", orderNumber},
                        {"action", "N"},
                        {"bid_references", {"0", "0", "0"}}});
        return client.Post("/ipo/cancel", request).Record();
    }
    json FirstOrder(const json& header) { return client.Book(header).at(0); }
};

std::string Today(int days) {
    std::time_t now = std::time(nullptr) + days * 86400;
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", std::localtime(&now));
    return text;
}

TEST_F(ServiceRulesTest, WatchListSplitsCurrentForthcomingAndClosedIssues) {
    EXPECT_EQ(WatchKeys("C"),
              (std::set<std::string>{"AURORAGREEN", "BHARATRAIL", "CITRUSFIN", "DELTAPHARMA"}));
    EXPECT_EQ(WatchKeys("F"), (std::set<std::string>{"EVERESTLOG", "FALCONAERO", "GANGESFOODS"}));
    EXPECT_EQ(WatchKeys("P").size(), 5u);
    EXPECT_EQ(WatchKeys("P", Today(-30), Today(0)),
              (std::set<std::string>{"HARBOURBANK", "INDUSCEMENT"}));

    json request = ServiceTestClient::Investor(91);
    request.update({{"section", "C"}, {"product", "IPO"}});
    const json records = client.Post("/ipo/watchlist", request).body.at("records");
    for (const json& entry : records) {
        if (entry.at("issue_key") == "BHARATRAIL") {
            EXPECT_EQ(entry.at("price_low_paise"), 28500);
            EXPECT_EQ(entry.at("price_high_paise"), 30000);
            EXPECT_EQ(entry.at("issue_size"), 45'000'000'000);
            EXPECT_EQ(entry.at("bid_start").get<std::string>().size(), 10u);
        }
    }
}

TEST_F(ServiceRulesTest, DetailsCarryEachCategoryWithItsOwnBand) {
    json request = ServiceTestClient::Investor(92);
    request["issue_key"] = "AURORAGREEN";
    const json details = client.Post("/ipo/details", request).Record();
    EXPECT_EQ(details.at("bid_start_time").get<std::string>().substr(10), " 10:00:00");
    ASSERT_EQ(details.at("categories").size(), 4u);
    const json& employee = details.at("categories").at(2);
    EXPECT_EQ(employee.at("code"), "EMPLOYEE");
    EXPECT_EQ(employee.at("price_low_paise"), 9000);
    EXPECT_EQ(employee.at("price_high_paise"), 9500);
    EXPECT_EQ(employee.at("cut_off"), true);
    EXPECT_EQ(details.at("categories").at(1).at("cut_off"), false);

    request["issue_key"] = "NOSUCHIPO";
    const ServiceReply missing = client.Post("/ipo/details", request);
    EXPECT_EQ(missing.status, 404);
    EXPECT_EQ(missing.Message(), "Unknown IPO NOSUCHIPO");
}

TEST_F(ServiceRulesTest, PlacedOrdersGetUniqueNumbersAndAreListed) {
    std::set<int> numbers;
    std::set<std::string> applications;
    for (const json& party : {ServiceTestClient::Investor(94), ServiceTestClient::Investor26(94),
                              ServiceTestClient::Dealer(94, "CL0001")}) {
        json order = ServiceTestClient::Order();
        order.update(party);
        order["bids"] = {ServiceTestClient::Bid("N", 150, 9600),
                         ServiceTestClient::Bid("N", 300, 9800),
                         ServiceTestClient::Bid("N", 150, 10000)};
        const json placed = Place(order);
        ASSERT_EQ(placed.at("status"), 1) << placed.at("message");
        numbers.insert(placed.at("order_number").get<int>());
        applications.insert(placed.at("application_number").get<std::string>());
        EXPECT_EQ(placed.at("details").size(), 3u);
    }
    EXPECT_EQ(numbers.size(), 3u);
    EXPECT_EQ(applications.size(), 3u);

    const json book = client.Book(ServiceTestClient::Investor(93));
    ASSERT_EQ(book.size(), 1u);
    const json& entry = book.at(0);
    EXPECT_EQ(entry.at("status"), "P");
    EXPECT_EQ(entry.at("payment_status"), "P");
    EXPECT_EQ(entry.at("total_paise"), 300 * 9800);  // the largest bid, not the sum
    EXPECT_EQ(entry.at("lot_size"), 150);
    EXPECT_EQ(entry.at("client_name"), "Rohan Desai");
    ASSERT_EQ(entry.at("bids").size(), 3u);
    EXPECT_EQ(entry.at("bids").at(2).at("position"), 2);
    EXPECT_EQ(entry.at("bids").at(2).at("amount_paise"), 150 * 10000);
    EXPECT_EQ(entry.at("application_number").get<std::string>().rfind("AGE", 0), 0u);
}

TEST_F(ServiceRulesTest, AClientHoldsOneLiveApplicationPerIssue) {
    const json first = Place(ServiceTestClient::Order());
    ASSERT_EQ(first.at("status"), 1);
    const std::string application = first.at("application_number");
    EXPECT_EQ(Refusal(ServiceTestClient::Order()),
              "Client INV001 already has application " + application +
                  " for AURORAGREEN; modify or cancel it instead");

    json otherIssue = ServiceTestClient::Order();
    otherIssue.update({{"ipo_name", "BHARATRAIL"},
                       {"issue_tag", "BRS"},
                       {"bids", {ServiceTestClient::Bid("N", 50, 29000)}}});
    EXPECT_EQ(Place(otherIssue).at("status"), 1);

    // Confirmed is still live; once cancelled, the client may apply again.
    ASSERT_EQ(service.RunOperator({std::to_string(first.at("order_number").get<int>()), "confirm"}),
              0);
    EXPECT_NE(Refusal(ServiceTestClient::Order()).find("already has application " + application),
              std::string::npos);
    ASSERT_EQ(service.RunOperator({std::to_string(first.at("order_number").get<int>()), "cancel"}),
              0);
    EXPECT_EQ(Place(ServiceTestClient::Order()).at("status"), 1);
    EXPECT_EQ(client.Book(ServiceTestClient::Investor(93)).size(), 3u);
}

// Orders sent at the same moment are committed together, yet each is judged on its own: the
// one-application rule sees the orders committed with it, and a refused order takes no other
// order down with it.
TEST_F(ServiceRulesTest, OrdersArrivingTogetherAreJudgedOneByOne) {
    constexpr int kSenders = 12;
    const std::string bearer = client.Bearer("INV001");
    for (int round = 0; round < 3; ++round) {
        std::vector<json> records(kSenders);
        std::vector<std::thread> senders;
        std::atomic<int> ready{0};
        for (int i = 0; i < kSenders; ++i) {
            senders.emplace_back([&, i] {
                json order = ServiceTestClient::Order();
                if (i % 2 == 1) {
                    // Every other sender applies for a second issue, half of them in part lots.
                    order.update(
                        {{"ipo_name", "BHARATRAIL"},
                         {"issue_tag", "BRS"},
                         {"bids", {ServiceTestClient::Bid("N", i % 4 == 1 ? 60 : 50, 29000)}}});
                }
                ServiceTestClient own(service.Port());
                ready.fetch_add(1);
                while (ready.load() < kSenders) {
                    std::this_thread::yield();
                }
                records[i] = own.PostWith(bearer, "/ipo/order", order.dump()).Record();
            });
        }
        for (std::thread& sender : senders) {
            sender.join();
        }
        std::set<int64_t> accepted;
        int taken = 0;
        int partLots = 0;
        for (int i = 0; i < kSenders; ++i) {
            const json& record = records[i];
            const std::string message = record.at("message");
            if (record.at("status") == 1) {
                ++taken;
                accepted.insert(record.at("order_number").get<int64_t>());
            } else if (i % 4 == 1) {
                ++partLots;
                EXPECT_EQ(message, "Bid 1 quantity 60 is not a whole number of lots of 50");
            } else {
                EXPECT_NE(message.find("Client INV001 already has application"), std::string::npos)
                    << message;
            }
        }
        SCOPED_TRACE("round " + std::to_string(round));
        EXPECT_EQ(taken, 2);
        EXPECT_EQ(partLots, 3);
        std::set<int64_t> live;
        for (const json& order : client.Book(ServiceTestClient::Investor(93))) {
            if (order.at("status") == "P") {
                live.insert(order.at("order_number").get<int64_t>());
            }
        }
        EXPECT_EQ(live, accepted);
        for (const int64_t orderNumber : accepted) {
            EXPECT_EQ(Cancel(ServiceTestClient::Investor(95), orderNumber).at("outcome"), 1);
        }
    }
}

TEST_F(ServiceRulesTest, OrdersBreakingARuleAreRefusedWithItsMessage) {
    struct Case {
        const char* what;
        json change;
        const char* message;
    };
    const Case cases[] = {
        {"closed issue",
         {{"ipo_name", "HARBOURBANK"}, {"issue_tag", "HBK"}},
         "Bidding is not open"},
        {"forthcoming issue",
         {{"ipo_name", "EVERESTLOG"}, {"issue_tag", "ELS"}},
         "Bidding is not open"},
        {"unknown issue", {{"ipo_name", "NOSUCHIPO"}}, "Unknown IPO NOSUCHIPO"},
        {"foreign tag", {{"issue_tag", "BRS"}}, "Issue tag BRS does not belong to AURORAGREEN"},
        {"category", {{"category", "QIB"}}, "Investor category QIB is not offered"},
        {"no bid", {{"bids", json::array()}}, "Kindly place at least one bid"},
        {"part lot",
         {{"bids", {ServiceTestClient::Bid("N", 200, 9800)}}},
         "Bid 1 quantity 200 is not a whole number of lots of 150"},
        {"price below band",
         {{"bids", {ServiceTestClient::Bid("N", 150, 9499)}}},
         "Bid 1 price 94.99 is outside the price band 95.00-100.00"},
        {"price above band",
         {{"bids",
           {ServiceTestClient::Bid("N", 150, 9800), ServiceTestClient::Bid("N", 150, 10001)}}},
         "Bid 2 price 100.01 is outside the price band 95.00-100.00"},
        {"cut-off for HNI",
         {{"category", "HNI"}, {"bids", {ServiceTestClient::Bid("N", 150, 0, "0", true)}}},
         "Cut-off price is not allowed for category HNI"},
        {"retail limit",
         {{"bids", {ServiceTestClient::Bid("N", 2100, 9600)}}},
         "Retail application amount 201600.00 exceeds the limit of 200000.00"},
        {"UPI limit",
         {{"category", "HNI"}, {"bids", {ServiceTestClient::Bid("N", 5100, 9900)}}},
         "UPI payment is limited to 500000.00 per application"},
        {"UPI id", {{"upi_id", "rohan.desai"}}, "UPI Id rohan.desai is not valid"},
        {"foreign account",
         {{"payment_mode", "ASBA"},
          {"bank_name", "Pioneer Bank"},
          {"bank_account", "7788001200456"}},
         "Bank account 7788001200456 is not registered for client INV001"},
        {"numbers on a new order",
         {{"order_number", 7}},
         "A new order cannot carry an order or application number"},
    };
    for (const Case& test : cases) {
        json order = ServiceTestClient::Order();
        order.update(test.change);
        EXPECT_EQ(Refusal(order), test.message) << test.what;
    }
    json belowMinimum = ServiceTestClient::Order();
    belowMinimum.update({{"ipo_name", "DELTAPHARMA"},
                         {"issue_tag", "DPH"},
                         {"bids", {ServiceTestClient::Bid("N", 1600, 7200)}}});
    EXPECT_EQ(Refusal(belowMinimum), "Bid 1 quantity 1600 is below the minimum bid quantity 3200");

    json dealer = ServiceTestClient::Order();
    dealer.update(ServiceTestClient::Dealer(94, "CL0002"));
    dealer.update({{"payment_mode", "ASBA"},
                   {"bank_name", "Coastal Co-op Bank"},
                   {"bank_account", "0045120003318"}});
    EXPECT_EQ(Refusal(dealer), "Bank account 0045120003318 cannot be used for ASBA");
    EXPECT_TRUE(client.Book(ServiceTestClient::Investor(93)).empty());
}

TEST_F(ServiceRulesTest, CutOffBidsAtTheTopOfTheBandAndBlocksTheLargestBid) {
    json order = ServiceTestClient::Order();
    order["bids"] = {ServiceTestClient::Bid("N", 300, 0, "0", true),
                     ServiceTestClient::Bid("N", 450, 9500)};
    ASSERT_EQ(Place(order).at("status"), 1);
    const json entry = FirstOrder(ServiceTestClient::Investor(93));
    EXPECT_EQ(entry.at("bids").at(0).at("price_paise"), 10000);
    EXPECT_EQ(entry.at("bids").at(0).at("cut_off"), true);
    EXPECT_EQ(entry.at("total_paise"), 450 * 9500);
}

TEST_F(ServiceRulesTest, RetailOrdersMayBeLoweredAndCancelled) {
    json order = ServiceTestClient::Order();
    order["bids"] = {ServiceTestClient::Bid("N", 300, 9900),
                     ServiceTestClient::Bid("N", 150, 9950)};
    const json placed = Place(order);
    const json before = FirstOrder(ServiceTestClient::Investor(93));

    json modify = order;
    modify.update({{"order_flag", "M"},
                   {"order_number", placed.at("order_number")},
                   {"application_number", placed.at("application_number")},
                   {"bids",
                    {ServiceTestClient::Bid("M", 150, 9700, before["bids"][0]["reference"]),
                     ServiceTestClient::Bid("N", 150, 9600)}}});
    ASSERT_EQ(Place(modify).at("status"), 1);
    const json after = FirstOrder(ServiceTestClient::Investor(93));
    EXPECT_EQ(after.at("status"), "M");
    ASSERT_EQ(after.at("bids").size(), 2u);  // the second old bid is withdrawn
    EXPECT_EQ(after.at("bids").at(0).at("reference"), before["bids"][0]["reference"]);
    EXPECT_EQ(after.at("bids").at(0).at("quantity"), 150);
    EXPECT_EQ(after.at("total_paise"), 150 * 9700);

    modify["bids"] = {ServiceTestClient::Bid("M", 150, 9700, "B9999999999")};
    EXPECT_EQ(Refusal(modify), "Unknown bid reference B9999999999");
    const std::string kept = before["bids"][0]["reference"];
    modify["bids"] = {ServiceTestClient::Bid("M", 150, 9700, kept),
                      ServiceTestClient::Bid("M", 300, 9700, kept)};
    EXPECT_EQ(Refusal(modify), "Bid reference " + kept + " is named more than once");
    EXPECT_EQ(FirstOrder(ServiceTestClient::Investor(93)).at("bids").size(), 2u);
    modify["bids"] = {
        ServiceTestClient::Bid("N", 150, 9700), ServiceTestClient::Bid("N", 150, 9700),
        ServiceTestClient::Bid("N", 150, 9700), ServiceTestClient::Bid("N", 150, 9700)};
    EXPECT_EQ(client.Post("/ipo/order", modify).status, 400);  // more than three bids
    modify["bids"] = {ServiceTestClient::Bid("M", 150, 9700, kept)};

    const json cancelled = Cancel(ServiceTestClient::Investor(95), placed.at("order_number"));
    EXPECT_EQ(cancelled.at("outcome"), 1);
    EXPECT_EQ(FirstOrder(ServiceTestClient::Investor(93)).at("status"), "UC");
    const json again = Cancel(ServiceTestClient::Investor(95), placed.at("order_number"));
    EXPECT_EQ(again.at("outcome"), 0);
    EXPECT_EQ(again.at("message"), "Only pending or modified orders can be cancelled");
    EXPECT_EQ(Refusal(modify), "Only pending or modified orders can be modified");
}

// The order book and the watch list are written as they stream from the store: their bytes
// are those of their own JSON dumped again (keys sorted, texts escaped alike), and each order
// carries its own bids, in position order, whichever orders the status filter leaves out.
TEST_F(ServiceRulesTest, AnswersAreTheirOwnCanonicalJsonWithEachOrdersBids) {
    const std::vector<std::string> references = {"plain", "q\"uote\\ \t\x01", "Caf\u00e9 \u20b9"};
    std::vector<int64_t> numbers;
    for (size_t i = 0; i < references.size(); ++i) {
        json order = ServiceTestClient::Order();
        order["user_ref1"] = references[i];
        order["bids"] = json::array();
        for (size_t b = 0; b <= i; ++b) {
            order["bids"].push_back(ServiceTestClient::Bid("N", 150, 9500 + 100 * int(b)));
        }
        numbers.push_back(Place(order).at("order_number"));
        // One live application per client and issue: all but the last are cancelled.
        if (i + 1 < references.size()) {
            Cancel(ServiceTestClient::Investor(95), numbers.back());
        }
    }

    const auto canonical = [](const ServiceReply& reply) {
        return reply.body.dump(-1, ' ', false, json::error_handler_t::replace);
    };
    for (const std::string status : {"-1", "P", "C"}) {
        json request = ServiceTestClient::Investor(93);
        request["status"] = status;
        const ServiceReply reply = client.Post("/ipo/orderbook", request);
        ASSERT_EQ(reply.status, 200);
        EXPECT_EQ(canonical(reply), reply.raw) << status;
        std::vector<int64_t> listed;
        for (const json& entry : reply.body.at("records")) {
            const auto i = static_cast<size_t>(
                std::find(numbers.begin(), numbers.end(), entry.at("order_number")) -
                numbers.begin());
            ASSERT_LT(i, numbers.size());
            listed.push_back(entry.at("order_number"));
            EXPECT_EQ(entry.at("user_ref1"), references[i]);
            ASSERT_EQ(entry.at("bids").size(), i + 1) << status;
            for (size_t b = 0; b <= i; ++b) {
                EXPECT_EQ(entry["bids"][b].at("price_paise"), 9500 + 100 * int(b));
                EXPECT_EQ(entry["bids"][b].at("amount_paise"), 150 * (9500 + 100 * int(b)));
            }
        }
        const std::vector<int64_t> expected = status == "-1" ? numbers
                                              : status == "P"
                                                  ? std::vector<int64_t>{numbers[2]}
                                                  : std::vector<int64_t>{numbers[0], numbers[1]};
        EXPECT_EQ(listed, expected) << status;
    }
    json watch = ServiceTestClient::Investor(91);
    watch.update({{"section", "C"}, {"product", "IPO"}});
    const ServiceReply reply = client.Post("/ipo/watchlist", watch);
    EXPECT_EQ(reply.body.at("records").size(), 4u);
    EXPECT_EQ(canonical(reply), reply.raw);
}

TEST_F(ServiceRulesTest, NonRetailBidsMayBeRaisedButNotLoweredOrCancelled) {
    json order = ServiceTestClient::Order();
    order.update({{"category", "HNI"}, {"bids", {ServiceTestClient::Bid("N", 3000, 9800)}}});
    const json placed = Place(order);
    ASSERT_EQ(placed.at("status"), 1) << placed.at("message");
    const std::string reference = placed.at("details").at(0).at("reference");

    json modify = order;
    modify.update({{"order_flag", "M"},
                   {"order_number", placed.at("order_number")},
                   {"application_number", placed.at("application_number")}});
    modify["bids"] = {ServiceTestClient::Bid("M", 2850, 9800, reference)};
    EXPECT_EQ(Refusal(modify), "A HNI bid may be raised but not lowered or cancelled");
    modify["bids"] = {ServiceTestClient::Bid("M", 3000, 9700, reference)};
    EXPECT_EQ(Refusal(modify), "A HNI bid may be raised but not lowered or cancelled");
    modify["bids"] = {ServiceTestClient::Bid("N", 3000, 9900)};
    EXPECT_EQ(Refusal(modify), "A HNI bid may be raised but not lowered or cancelled");
    // Raised on its first mention, lowered on its second: the order stays as it was.
    modify["bids"] = {ServiceTestClient::Bid("M", 3150, 9900, reference),
                      ServiceTestClient::Bid("M", 150, 9500, reference)};
    EXPECT_EQ(Refusal(modify), "Bid reference " + reference + " is named more than once");
    EXPECT_EQ(FirstOrder(ServiceTestClient::Investor(93)).at("total_paise"), 3000 * 9800);
    modify["category"] = "RETAIL";
    modify["bids"] = {ServiceTestClient::Bid("M", 150, 9800, reference)};
    EXPECT_EQ(Refusal(modify), "The investor category of an order cannot be changed");

    modify["category"] = "HNI";
    modify["bids"] = {ServiceTestClient::Bid("M", 3150, 9900, reference)};
    ASSERT_EQ(Place(modify).at("status"), 1);
    EXPECT_EQ(FirstOrder(ServiceTestClient::Investor(93)).at("total_paise"), 3150 * 9900);

    const json cancelled = Cancel(ServiceTestClient::Investor(95), placed.at("order_number"));
    EXPECT_EQ(cancelled.at("outcome"), 0);
    EXPECT_EQ(cancelled.at("message"), "A HNI bid cannot be cancelled");
}

TEST_F(ServiceRulesTest, NobodyReachesWhatIsNotTheirs) {
    const json placed = Place(ServiceTestClient::Order());

    // INV001's session naming another user or another user type.
    json stranger = ServiceTestClient::Investor(93);
    stranger["user_id"] = "NOBODY";
    const ServiceReply claimed = client.Post("/ipo/orderbook", stranger);
    EXPECT_EQ(claimed.status, 403);
    EXPECT_EQ(claimed.body.value("result", 0), 11);
    EXPECT_EQ(claimed.Message(),
              "The request names user NOBODY of type 23, but the session belongs to INV001 of "
              "type 23");
    json wrongType = ServiceTestClient::Investor(93);
    wrongType["user_type"] = 24;
    EXPECT_EQ(client.Post("/ipo/orderbook", wrongType).Message(),
              "The request names user INV001 of type 24, but the session belongs to INV001 of "
              "type 23");
    json dealerClaim = ServiceTestClient::Dealer(93, "CL0001");
    EXPECT_EQ(client.PostWith(client.Bearer("INV001"), "/ipo/orderbook", dealerClaim.dump()).status,
              403);

    const ServiceReply otherDealers =
        client.Post("/ipo/orderbook", ServiceTestClient::Dealer(93, "CL0006"));
    EXPECT_EQ(otherDealers.status, 403);
    EXPECT_EQ(otherDealers.Message(), "Client CL0006 is not mapped to user DEALER01");

    json otherInvestor = ServiceTestClient::Investor(93);
    otherInvestor["login_client_id"] = "INV026";
    otherInvestor["login_client_code"] = "I026";
    EXPECT_EQ(client.Post("/ipo/orderbook", otherInvestor).Message(),
              "Client INV026 is not mapped to user INV001");

    json wrongCode = ServiceTestClient::Dealer(93, "CL0001");
    wrongCode["client_code"] = "C0002";
    EXPECT_EQ(client.Post("/ipo/orderbook", wrongCode).Message(),
              "Client code C0002 does not belong to client CL0001");

    json dealerOrder = ServiceTestClient::Order();
    dealerOrder.update(ServiceTestClient::Dealer(94, "CL0006"));
    EXPECT_EQ(client.Post("/ipo/order", dealerOrder).status, 403);

    EXPECT_TRUE(client.Book(ServiceTestClient::Investor26(93)).empty());
    const json foreignCancel = Cancel(ServiceTestClient::Investor26(95), placed.at("order_number"));
    EXPECT_EQ(foreignCancel.at("outcome"), 0);
    EXPECT_EQ(foreignCancel.at("message"),
              "Order " + std::to_string(placed.at("order_number").get<int>()) + " not found");
    EXPECT_EQ(client.Book(ServiceTestClient::Investor(93)).at(0).at("status"), "P");
}

TEST_F(ServiceRulesTest, UserDetailsListTheClientsAccountsAndReferences) {
    json request = ServiceTestClient::Dealer(96, "CL0002");
    request["details"] = "Y";
    const json details = client.Post("/ipo/userdetails", request).Record();
    EXPECT_EQ(details.at("upi_id"), "sunita.rao@upibank");
    ASSERT_EQ(details.at("bank_accounts").size(), 2u);
    EXPECT_EQ(details.at("bank_accounts").at(1).at("asba"), false);
    EXPECT_EQ(details.at("references").at(0).at("user_ref1"), "BQRPR7713L");

    // The client lookup answers a dealer about their own clients only.
    const ServiceReply lookup = client.Get("/clients/CL0003");
    EXPECT_EQ(lookup.body.at("client_code"), "C0003");
    EXPECT_EQ(lookup.body.at("name"), "Farhan Qureshi");
    EXPECT_EQ(client.Get("/clients/CL9999").status, 404);
    const ServiceReply othersClient = client.Get("/clients/CL0006");
    EXPECT_EQ(othersClient.status, 404);
    EXPECT_EQ(othersClient.Message(), "Unknown client CL0006");
    EXPECT_EQ(client.Get("/clients/CL0006", "DEALER02").body.at("name"), "Meera Joshi");
    const ServiceReply investor = client.Get("/clients/INV001", "INV001");
    EXPECT_EQ(investor.status, 403);
    EXPECT_EQ(investor.Message(), "Only a dealer looks clients up");
}

TEST_F(ServiceRulesTest, OperatorMovesOrdersThroughEveryStatus) {
    // One order for each of the dealer's first four clients.
    const std::vector<std::string> clients = {"CL0001", "CL0002", "CL0003", "CL0004"};
    std::vector<int> numbers;
    for (const std::string& party : clients) {
        json order = ServiceTestClient::Order();
        order.update(ServiceTestClient::Dealer(94, party));
        numbers.push_back(Place(order).at("order_number"));
    }
    const auto order = [&](int index) {
        return client.Book(ServiceTestClient::Dealer(93, clients[index])).at(0);
    };
    const auto run = [&](int index, std::vector<std::string> words, std::string* output = nullptr) {
        words.insert(words.begin(), std::to_string(numbers[index]));
        return service.RunOperator(words, output);
    };
    EXPECT_NE(run(0, {"allot", "150"}), 0);  // not confirmed yet
    EXPECT_EQ(run(0, {"confirm"}), 0);
    EXPECT_EQ(order(0).at("status"), "CF");
    EXPECT_NE(run(0, {"allot", "300"}), 0);   // more than was bid
    EXPECT_NE(run(0, {"allot", "15O"}), 0);   // not a number
    EXPECT_NE(run(0, {"allot", "+150"}), 0);  // not plain digits
    EXPECT_EQ(run(0, {"allot", "150"}), 0);
    EXPECT_EQ(run(0, {"payment", "e"}), 0);
    EXPECT_EQ(order(0).at("allotted_quantity"), 150);
    EXPECT_EQ(order(0).at("refund_paise"), 0);  // everything blocked was allotted
    EXPECT_EQ(order(0).at("payment_status"), "e");

    std::string output;
    EXPECT_EQ(run(1, {"reject", "PAN not verified"}, &output), 0);
    EXPECT_NE(output.find("reject done"), std::string::npos);
    EXPECT_EQ(order(1).at("status"), "REJ");
    EXPECT_EQ(order(1).at("rejection_reason"), "PAN not verified");
    EXPECT_NE(run(1, {"confirm"}), 0);
    EXPECT_NE(run(1, {"payment", "e"}, &output), 0);  // payment only on live orders
    EXPECT_NE(output.find("an order in status REJ cannot be given 'payment'"), std::string::npos)
        << output;
    EXPECT_EQ(order(1).at("payment_status"), "P");
    EXPECT_EQ(run(2, {"cancel"}), 0);
    EXPECT_NE(run(2, {"allot", "0"}), 0);
    EXPECT_EQ(run(3, {"exchange-cancel"}), 0);
    EXPECT_NE(run(3, {"payment", "S"}), 0);
    EXPECT_NE(service.RunOperator({"99999", "confirm"}), 0);
    // "abc" and "1x" are not order 0 or 1.
    EXPECT_NE(service.RunOperator({"abc", "confirm"}, &output), 0);
    EXPECT_NE(output.find("the order number must be a whole number"), std::string::npos) << output;
    EXPECT_NE(service.RunOperator({std::to_string(numbers[3]) + "x", "confirm"}), 0);

    EXPECT_EQ(client.Book(ServiceTestClient::Dealer(93, "CL0003"), "C").size(), 1u);
    EXPECT_EQ(client.Book(ServiceTestClient::Dealer(93, "CL0003"), "A").size(), 1u);
    EXPECT_EQ(client.Book(ServiceTestClient::Dealer(93, "CL0004"), "C").size(), 1u);
    EXPECT_EQ(client.Book(ServiceTestClient::Dealer(93, "CL0001"), "CF").size(), 1u);
}

TEST_F(ServiceRulesTest, AllotmentRefundsWhatWasBlockedBeyondTheAllottedShares) {
    json order = ServiceTestClient::Order();
    order["bids"] = {ServiceTestClient::Bid("N", 600, 9900)};
    const int number = Place(order).at("order_number");
    ASSERT_EQ(service.RunOperator({std::to_string(number), "confirm"}), 0);
    ASSERT_EQ(service.RunOperator({std::to_string(number), "allot", "150"}), 0);
    const json entry = FirstOrder(ServiceTestClient::Investor(93));
    EXPECT_EQ(entry.at("allotted_quantity"), 150);
    EXPECT_EQ(entry.at("refund_paise"), 600 * 9900 - 150 * 10000);
}

}  // namespace
