// Bad input to the service: each gets a clear error status and message, data is stored byte for
// byte, and the service keeps serving.
#include <gtest/gtest.h>

#include "service_test_client.h"

using namespace wire;

namespace {

class ServiceBadInputTest : public ::testing::Test {
  protected:
    harness::ServiceProcess service;
    ServiceTestClient client{service};

    void TearDown() override {
        EXPECT_EQ(client.Get("/health").status, 200) << "the service stopped serving";
    }
    void ExpectRefused(const ServiceReply& reply, int status, int result,
                       const std::string& message) {
        EXPECT_EQ(reply.status, status) << message;
        EXPECT_EQ(reply.body.value("result", 0), result) << message;
        EXPECT_EQ(reply.body.value("accepted", true), false) << message;
        EXPECT_EQ(reply.Message(), message);
    }
};

TEST_F(ServiceBadInputTest, MalformedBodiesUnknownPathsCodesAndFieldsAreRefusedByName) {
    const auto post = [&](const std::string& path, const std::string& body) {
        return client.PostWith(client.Bearer("INV001"), path, body);
    };
    ExpectRefused(post("/ipo/order", "{\"code\": 94,"), 400, 10, "Request body is not valid JSON");
    ExpectRefused(post("/ipo/order", "[94]"), 400, 10, "Request body must be a JSON object");
    // Without a session, a request is told to sign in before anything is said of its body.
    ExpectRefused(client.PostWith("", "/ipo/order", "{\"code\": 94,"), 401, 14,
                  "Not signed in: the request carries no session token");
    ExpectRefused(client.PostWith("", "/ipo/watchlist", "[91]"), 401, 14,
                  "Not signed in: the request carries no session token");
    ExpectRefused(client.Get("/ipo/order"), 404, 12, "Unknown path");
    ExpectRefused(client.Post("/ipo/nothing", Order()), 404, 12, "Unknown path");
    ExpectRefused(client.Post("/ipo/watchlist", Order({{"code", 91}, {"section", "X"}})), 400, 10,
                  "Unknown watch list section X");
    ExpectRefused(client.Post("/ipo/orderbook", Order({{"code", 93}, {"status", "ZZ"}})), 400, 10,
                  "Unknown order status ZZ");

    const std::pair<json, const char*> cases[] = {
        {{{"code", 97}}, "Request code 97 is not served at /ipo/order"},
        {{{"order_flag", "Q"}}, "Unknown order flag Q"},
        {{{"payment_mode", "CASH"}}, "Unknown payment mode CASH"},
        {{{"user_type", "23"}}, "Field user_type must be a whole number"},
        {{{"user_id", 23}}, "Field user_id must be a text"},
        {{{"bids", "150@98"}}, "Field bids must be a list"},
        {{{"bids", {42}}}, "Field bids[0] must be an object"},
        {{{"bids", {{{"quantity", 150.5}}}}}, "Field bids[0].quantity must be a whole number"},
        {{{"bids", {{{"quantity", 4294967446LL}}}}}, "Field bids[0].quantity is out of range"},
        {{{"bids", {{{"quantity", -150}}}}}, "Field bids[0].quantity is out of range"},
        {{{"bids", {{{"quantity", 150}, {"cut_off", 1}}}}},
         "Field bids[0].cut_off must be true or false"},
        {{{"bids", json::array({json::object(), json::object(), json::object(), json::object()})}},
         "Field bids holds more than 3 entries"},
        {{{"user_ref1", std::string(21, 'R')}}, "Field user_ref1 is longer than 20 bytes"},
        {{{"upi_id", std::string("a\0b@x", 5)}}, "Field upi_id contains a zero byte"},
        {{{"ipo_name", ""}}, "Field ipo_name is required"},
    };
    for (const auto& [change, message] : cases) {
        ExpectRefused(client.Post("/ipo/order", Order(change)), 400, 10, message);
    }
    // Which of two UPI ids was meant cannot be known: neither is used.
    std::string twice = Order().dump();
    twice.insert(1, "\"upi_id\": \"someone.else@upibank\", ");
    ExpectRefused(post("/ipo/order", twice), 400, 10, "Field upi_id is given more than once");
    EXPECT_TRUE(client.Book(Investor(93)).empty());
}

}  // namespace
