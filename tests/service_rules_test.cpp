// The service's business and access rules, driven over HTTP as the companion drives them.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <latch>
#include <thread>
#include <vector>

#include "service_test_client.h"

using namespace wire;

namespace {

class ServiceRulesTest : public ::testing::Test {
  protected:
    harness::ServiceProcess service;
    ServiceTestClient client{service};

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
        return client
            .Post("/ipo/cancel", With(header, {{"code", 95},
                                               {"order_number", orderNumber},
                                               {"action", "N"},
                                               {"bid_references", {"0", "0", "0"}}}))
            .Record();
    }
    json FirstOrder() { return client.Book(Investor(93)).at(0); }
    // An order changing the placed `placed` to `bids`.
    static json Modify(const json& order, const json& placed, const std::vector<json>& bids) {
        return With(order, {{"order_flag", "M"},
                            {"order_number", placed.at("order_number")},
                            {"application_number", placed.at("application_number")},
                            {"bids", bids}});
    }
};

TEST_F(ServiceRulesTest, AClientHoldsOneLiveApplicationPerIssue) {
    const json first = Place(Order());
    ASSERT_EQ(first.at("status"), 1);
    const std::string number = std::to_string(first.at("order_number").get<int>());
    const std::string refusal = "Client INV001 already has application " +
                                first.at("application_number").get<std::string>() +
                                " for AURORAGREEN; modify or cancel it instead";
    EXPECT_EQ(Refusal(Order()), refusal);
    // Confirmed is still live, and no longer the investor's to cancel; once cancelled by the
    // operator, the client may apply again.
    ASSERT_EQ(service.RunOperator({number, "confirm"}), 0);
    EXPECT_EQ(Refusal(Order()), refusal);
    EXPECT_EQ(Cancel(Investor(95), first.at("order_number")).at("message"),
              "Only pending or modified orders can be cancelled");
    ASSERT_EQ(service.RunOperator({number, "cancel"}), 0);
    EXPECT_EQ(Place(Order()).at("status"), 1);
    EXPECT_EQ(client.Book(Investor(93)).size(), 2u);
}

// Orders sent at once are committed together: the rule still sees each one after the other.
TEST_F(ServiceRulesTest, OrdersArrivingTogetherAreJudgedOneByOne) {
    constexpr int kSenders = 8;
    client.Bearer("INV001");  // signed in once, before the senders share the token
    std::vector<ServiceReply> replies(kSenders);
    std::vector<std::thread> senders;
    std::latch ready(kSenders);
    for (int i = 0; i < kSenders; ++i) {
        senders.emplace_back([&, i] {
            ServiceTestClient own(service);
            ready.arrive_and_wait();
            replies[i] = own.Post("/ipo/order", Order());
        });
    }
    for (std::thread& sender : senders) {
        sender.join();
    }
    int placed = 0;
    for (const ServiceReply& reply : replies) {
        ASSERT_EQ(reply.status, 200) << reply.raw;
        placed += reply.Record().value("status", 0) == 1;
    }
    EXPECT_EQ(placed, 1);
    EXPECT_EQ(client.Book(Investor(93)).size(), 1u);
}

// Each rule refuses an order just beyond its edge with its message and takes one at the edge
// (rows without a message, each for a client of its own; the minimum quantity of AURORAGREEN is
// one lot, the default order's). EDGE is AURORAGREEN with limits one lot can reach: retail
// 14,700.00 (150 at 98.00), UPI 14,850.00 (150 at 99.00).
TEST_F(ServiceRulesTest, EachRuleRefusesJustBeyondItsEdgeWithItsMessage) {
    sqlite3* db = nullptr;
    sqlite3_open(service.DbPath().c_str(), &db);
    sqlite3_busy_timeout(db, 5000);
    ASSERT_EQ(sqlite3_exec(db,
                           "INSERT INTO issues SELECT 'EDGE', 'EDG', name, issue_type, price_low, "
                           "price_high, face_value, lot_size, min_bid_quantity, issue_size, "
                           "bid_start, bid_end, registrar, rating, prospectus, recommendation, "
                           "1470000, 1485000 FROM issues WHERE issue_key = 'AURORAGREEN'; "
                           "INSERT INTO categories SELECT 'EDGE', code, name, price_low, "
                           "price_high, cut_off, position FROM categories "
                           "WHERE issue_key = 'AURORAGREEN'",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    const json edge = {{"ipo_name", "EDGE"}, {"issue_tag", "EDG"}};
    const auto as = [](const json& change, const std::string& party) {
        return With(change, Dealer(94, party));
    };
    const auto on = [&](const json& change) { return With(change, edge); };
    const std::pair<json, const char*> cases[] = {
        {{{"ipo_name", "HARBOURBANK"}, {"issue_tag", "HBK"}}, "Bidding for HARBOURBANK has closed"},
        {{{"ipo_name", "EVERESTLOG"}, {"issue_tag", "ELS"}}, "Bidding is not open"},
        {{{"ipo_name", "NOSUCHIPO"}}, "Unknown IPO NOSUCHIPO"},
        {{{"issue_tag", "BRS"}}, "Issue tag BRS does not belong to AURORAGREEN"},
        {{{"category", "QIB"}}, "Investor category QIB is not offered"},
        {{{"bids", json::array()}}, "Kindly place at least one bid"},
        {{{"bids", {Bid("N", 200, 9800)}}},
         "Bid 1 quantity 200 is not a whole number of lots of 150"},
        {{{"ipo_name", "DELTAPHARMA"}, {"issue_tag", "DPH"}, {"bids", {Bid("N", 1600, 7200)}}},
         "Bid 1 quantity 1600 is below the minimum bid quantity 3200"},
        {{{"bids", {Bid("N", 150, 9499)}}},
         "Bid 1 price 94.99 is outside the price band 95.00-100.00"},
        {{{"bids", {Bid("N", 150, 9800), Bid("N", 150, 10001)}}},
         "Bid 2 price 100.01 is outside the price band 95.00-100.00"},
        {as({{"bids", {Bid("N", 150, 9500), Bid("N", 150, 10000)}}}, "CL0002"), nullptr},
        {{{"category", "HNI"}, {"bids", {Bid("N", 150, 0, "0", true)}}},
         "Cut-off price is not allowed for category HNI"},
        {on({{"bids", {Bid("N", 150, 9801)}}}),
         "Retail application amount 14701.50 exceeds the limit of 14700.00"},
        {as(on({{"bids", {Bid("N", 150, 9800)}}}), "CL0003"), nullptr},
        {on({{"category", "HNI"}, {"bids", {Bid("N", 150, 9901)}}}),
         "UPI payment is limited to 14850.00 per application"},
        {as(on({{"category", "HNI"}, {"bids", {Bid("N", 150, 9900)}}}), "CL0004"), nullptr},
        {{{"upi_id", "rohan.desai"}}, "UPI Id rohan.desai is not valid"},
        {{{"upi_id", "rohan.desai@"}}, "UPI Id rohan.desai@ is not valid"},
        {{{"upi_id", "@upibank"}}, "UPI Id @upibank is not valid"},
        {{{"payment_mode", "ASBA"},
          {"bank_name", "Pioneer Bank"},
          {"bank_account", "7788001200456"}},
         "Bank account 7788001200456 is not registered for client INV001"},
        {as({{"payment_mode", "ASBA"},
             {"bank_name", "Coastal Co-op Bank"},
             {"bank_account", "0045120003318"}},
            "CL0002"),
         "Bank account 0045120003318 cannot be used for ASBA"},
        {{{"order_number", 7}}, "A new order cannot carry an order or application number"},
    };
    for (const auto& [change, message] : cases) {
        if (message) {
            EXPECT_EQ(Refusal(Order(change)), message) << change;
        } else {
            EXPECT_EQ(Place(Order(change)).value("status", 0), 1) << change;
        }
    }
    EXPECT_TRUE(client.Book(Investor(93)).empty());
}

// A cut-off bid is priced at the top of the band and the largest bid, not the sum, is blocked.
// A retail order may then be lowered, and bids it does not name are withdrawn.
TEST_F(ServiceRulesTest, RetailOrdersBlockTheLargestBidAndMayBeLoweredAndCancelled) {
    const json order = Order({{"bids", {Bid("N", 150, 9950), Bid("N", 300, 0, "0", true)}}});
    const json placed = Place(order);
    ASSERT_EQ(placed.at("status"), 1) << placed.at("message");
    const json listed = FirstOrder();
    EXPECT_EQ(listed.at("total_paise"), 300 * 10000);
    EXPECT_EQ(listed.at("payment_status"), "P");
    EXPECT_EQ(listed.at("bids").at(1).at("price_paise"), 10000);
    const std::string kept = listed["bids"][0]["reference"];

    ASSERT_EQ(
        Place(Modify(order, placed, {Bid("M", 150, 9700, kept), Bid("N", 150, 9600)})).at("status"),
        1);
    const json after = FirstOrder();
    EXPECT_EQ(after.at("status"), "M");
    ASSERT_EQ(after.at("bids").size(), 2u);  // the old cut-off bid is withdrawn
    EXPECT_EQ(after.at("bids").at(0).at("reference"), kept);
    EXPECT_EQ(after.at("total_paise"), 150 * 9700);
    EXPECT_EQ(Refusal(Modify(order, placed, {Bid("M", 150, 9700, "B9999999999")})),
              "Unknown bid reference B9999999999");
    json foreign = Modify(order, placed, {Bid("M", 150, 9600, kept)});
    foreign["application_number"] = "AGE0000000099";  // not the order's own
    EXPECT_EQ(Refusal(foreign), "Order " + placed.at("order_number").dump() + " not found");

    EXPECT_EQ(Cancel(Investor(95), placed.at("order_number")).at("outcome"), 1);
    EXPECT_EQ(FirstOrder().at("status"), "UC");
    const json again = Cancel(Investor(95), placed.at("order_number"));
    EXPECT_EQ(again.at("outcome"), 0);
    EXPECT_EQ(again.at("message"), "Only pending or modified orders can be cancelled");
    EXPECT_EQ(Refusal(Modify(order, placed, {Bid("M", 150, 9700, kept)})),
              "Only pending or modified orders can be modified");
}

TEST_F(ServiceRulesTest, NonRetailBidsMayBeRaisedButNotLoweredOrCancelled) {
    json order = Order({{"category", "HNI"}, {"bids", {Bid("N", 3000, 9800)}}});
    const json placed = Place(order);
    ASSERT_EQ(placed.at("status"), 1) << placed.at("message");
    const std::string ref = placed.at("details").at(0).at("reference");
    const std::string lowered = "A HNI bid may be raised but not lowered or cancelled";
    EXPECT_EQ(Refusal(Modify(order, placed, {Bid("M", 2850, 9800, ref)})), lowered);
    EXPECT_EQ(Refusal(Modify(order, placed, {Bid("M", 3000, 9799, ref)})), lowered);
    EXPECT_EQ(Refusal(Modify(order, placed, {Bid("N", 3000, 9900)})), lowered);
    // Raised on its first mention, lowered on its second: the order stays as it was.
    EXPECT_EQ(Refusal(Modify(order, placed, {Bid("M", 3150, 9900, ref), Bid("M", 150, 9500, ref)})),
              "Bid reference " + ref + " is named more than once");
    EXPECT_EQ(FirstOrder().at("total_paise"), 3000 * 9800);
    json retail = Modify(order, placed, {Bid("M", 150, 9800, ref)});
    retail["category"] = "RETAIL";
    EXPECT_EQ(Refusal(retail), "The investor category of an order cannot be changed");

    ASSERT_EQ(Place(Modify(order, placed, {Bid("M", 3150, 9900, ref)})).at("status"), 1);
    EXPECT_EQ(FirstOrder().at("total_paise"), 3150 * 9900);
    const json cancelled = Cancel(Investor(95), placed.at("order_number"));
    EXPECT_EQ(cancelled.at("outcome"), 0);
    EXPECT_EQ(cancelled.at("message"), "A HNI bid cannot be cancelled");
}

// The order book is written as it streams from the store (texts like SQL or beyond ASCII
// verbatim): its bytes are those of its own JSON dumped again (keys sorted, texts escaped
// alike), and each order carries its own bids, in position order, whichever orders the status
// filter leaves out.
TEST_F(ServiceRulesTest, AnswersAreTheirOwnCanonicalJsonWithEachOrdersBids) {
    const std::vector<std::string> references = {"x'); DROP TABLE--", "q\"uote\\ \t\x01",
                                                 "\xC3\x9C"
                                                 "ber \u20b9 \xE6\x97\xA5"};
    std::vector<int64_t> numbers;
    for (size_t i = 0; i < references.size(); ++i) {
        json order = Order({{"user_ref1", references[i]}, {"bids", json::array()}});
        for (size_t b = 0; b <= i; ++b) {
            order["bids"].push_back(Bid("N", 150, 9500 + 100 * int(b)));
        }
        numbers.push_back(Place(order).at("order_number"));
        if (i + 1 < references.size()) {  // one live application per client and issue
            Cancel(Investor(95), numbers.back());
        }
    }
    for (const std::string status : {"-1", "P"}) {
        SCOPED_TRACE(status);
        json request = Investor(93);
        request["status"] = status;
        const ServiceReply reply = client.Post("/ipo/orderbook", request);
        EXPECT_EQ(reply.body.dump(-1, ' ', false, json::error_handler_t::replace), reply.raw);
        std::vector<int64_t> listed;
        for (const json& entry : reply.body.at("records")) {
            const size_t i = std::find(numbers.begin(), numbers.end(), entry.at("order_number")) -
                             numbers.begin();
            ASSERT_LT(i, numbers.size());
            listed.push_back(entry.at("order_number"));
            EXPECT_EQ(entry.at("user_ref1"), references[i]);
            ASSERT_EQ(entry.at("bids").size(), i + 1);
            for (size_t b = 0; b <= i; ++b) {
                EXPECT_EQ(entry["bids"][b].at("amount_paise"), 150 * (9500 + 100 * int(b)));
            }
        }
        EXPECT_EQ(listed, status == "-1" ? numbers : std::vector<int64_t>{numbers[2]});
    }
}

TEST_F(ServiceRulesTest, NobodyReachesWhatIsNotTheirs) {
    const json placed = Place(Order());
    // INV001's session naming another user, user type, client or client code.
    const std::pair<json, const char*> refused[] = {
        {With(Investor(93), {{"user_id", "NOBODY"}}),
         "The request names user NOBODY of type 23, but the session belongs to INV001 of type 23"},
        {With(Investor(93), {{"login_client_id", "INV026"}, {"login_client_code", "I026"}}),
         "Client INV026 is not mapped to user INV001"},
        {Dealer(93, "CL0006"), "Client CL0006 is not mapped to user DEALER01"},
        {With(Dealer(93, "CL0001"), {{"client_code", "C0002"}}),
         "Client code C0002 does not belong to client CL0001"},
    };
    for (const auto& [request, message] : refused) {
        const ServiceReply reply = client.Post("/ipo/orderbook", request);
        EXPECT_EQ(reply.status, 403) << message;
        EXPECT_EQ(reply.body.value("result", 0), 11) << message;
        EXPECT_EQ(reply.Message(), message);
    }

    EXPECT_TRUE(client.Book(Investor26(93)).empty());
    const json foreignCancel = Cancel(Investor26(95), placed.at("order_number"));
    EXPECT_EQ(foreignCancel.at("outcome"), 0);
    EXPECT_EQ(foreignCancel.at("message"),
              "Order " + std::to_string(placed.at("order_number").get<int>()) + " not found");
    EXPECT_EQ(FirstOrder().at("status"), "P");

    // A dealer's lookup of their own and others' clients: the scenarios and the host's test.
    const ServiceReply investor = client.Get("/clients/INV001", "INV001");
    EXPECT_EQ(investor.status, 403);
    EXPECT_EQ(investor.Message(), "Only a dealer looks clients up");
}

TEST_F(ServiceRulesTest, OperatorMovesOrdersThroughEveryStatus) {
    // One order for each of the dealer's first four clients.
    const std::vector<std::string> clients = {"CL0001", "CL0002", "CL0003", "CL0004"};
    std::vector<std::string> numbers;
    for (const std::string& party : clients) {
        numbers.push_back(
            std::to_string(Place(Order(Dealer(94, party))).at("order_number").get<int>()));
    }
    std::string output;
    // Order index, the operator's words, whether they are carried out, and what is said.
    const std::tuple<int, std::vector<std::string>, bool, const char*> steps[] = {
        {0, {"allot", "150"}, false, ""},  // not confirmed yet
        {0, {"confirm"}, true, ""},
        {0, {"allot", "300"}, false, ""},   // more than was bid
        {0, {"allot", "+150"}, false, ""},  // not plain digits
        {0, {"allot", "150"}, true, ""},
        {0, {"payment", "e"}, true, ""},
        {1, {"reject", "PAN not verified"}, true, "reject done"},
        {1, {"confirm"}, false, ""},
        {1, {"payment", "e"}, false, "an order in status REJ cannot be given 'payment'"},
        {2, {"cancel"}, true, ""},
        {2, {"allot", "0"}, false, ""},
        {3, {"exchange-cancel"}, true, ""},
    };
    for (const auto& [index, words, done, said] : steps) {
        std::vector<std::string> command = words;
        command.insert(command.begin(), numbers[index]);
        EXPECT_EQ(service.RunOperator(command, &output) == 0, done) << words[0] << " " << index;
        EXPECT_NE(output.find(said), std::string::npos) << output;
    }
    EXPECT_NE(service.RunOperator({"99999", "confirm"}), 0);
    // "1x" is not order 1.
    EXPECT_NE(service.RunOperator({numbers[3] + "x", "confirm"}, &output), 0);
    EXPECT_NE(output.find("the order number must be a whole number"), std::string::npos) << output;

    // Status, allotment, refund (all that was blocked was allotted), payment and reason.
    const auto fields = [](const json& order) {
        return order.at("status").get<std::string>() + "|" + order.at("allotted_quantity").dump() +
               "|" + order.at("refund_paise").dump() + "|" +
               order.at("payment_status").get<std::string>() + "|" +
               order.at("rejection_reason").get<std::string>();
    };
    EXPECT_EQ(fields(client.Book(Dealer(93, "CL0001"), "CF").at(0)), "CF|150|0|e|");
    EXPECT_EQ(fields(client.Book(Dealer(93, "CL0002")).at(0)), "REJ|0|0|P|PAN not verified");
    EXPECT_EQ(client.Book(Dealer(93, "CL0003"), "C").size(), 1u);
    EXPECT_EQ(client.Book(Dealer(93, "CL0003"), "A").size(), 1u);
    EXPECT_EQ(client.Book(Dealer(93, "CL0004"), "C").size(), 1u);
}

}  // namespace
