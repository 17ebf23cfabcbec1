// A JSON caller of a running ipo-service, with the seeded parties and a valid default order.
#pragma once

#include <httplib.h>

#include <nlohmann/json.hpp>
#include <string>

#include "service_harness.h"

struct ServiceReply {
    int status = 0;
    nlohmann::json body;
    std::string raw;  // the body's bytes
    std::string Message() const { return body.value("message", ""); }
    // The first record of a taken request.
    const nlohmann::json& Record() const { return body.at("records").at(0); }
};

class ServiceTestClient {
  public:
    explicit ServiceTestClient(int port) : client_("127.0.0.1", port) {
        client_.set_tcp_nodelay(true);
    }

    ServiceReply Post(const std::string& path, const nlohmann::json& body) {
        return Reply(client_.Post(path.c_str(), body.dump(), "application/json"));
    }
    ServiceReply PostRaw(const std::string& path, const std::string& body) {
        return Reply(client_.Post(path.c_str(), body, "application/json"));
    }
    ServiceReply Get(const std::string& path) { return Reply(client_.Get(path.c_str())); }

    // Header of the type-23 investor INV001, the type-26 investor INV026, or dealer DEALER01
    // (type 24) acting for `client`.
    static nlohmann::json Investor(int code) {
        return {{"code", code},
                {"user_type", 23},
                {"user_id", "INV001"},
                {"login_client_id", "INV001"},
                {"login_client_code", "I001"}};
    }
    static nlohmann::json Investor26(int code) {
        return {{"code", code},
                {"user_type", 26},
                {"user_id", "INV026"},
                {"client_id", "INV026"},
                {"client_code", "I026"},
                {"login_client_id", "INV026"},
                {"login_client_code", "I026"}};
    }
    static nlohmann::json Dealer(int code, const std::string& client) {
        return {{"code", code}, {"user_type", 24}, {"user_id", "DEALER01"}, {"client_id", client}};
    }
    // A valid new RETAIL order of INV001: one bid of 150 shares at 98.00 on AURORAGREEN.
    static nlohmann::json Order() {
        nlohmann::json order = Investor(94);
        order.update({{"order_flag", "N"},
                      {"ipo_name", "AURORAGREEN"},
                      {"issue_tag", "AGE"},
                      {"category", "RETAIL"},
                      {"payment_mode", "UPI"},
                      {"upi_id", "rohan.desai@upibank"},
                      {"order_number", 0},
                      {"application_number", ""},
                      {"bids", {Bid("N", 150, 9800)}}});
        return order;
    }
    static nlohmann::json Bid(const std::string& action, int quantity, int64_t pricePaise,
                              const std::string& reference = "0", bool cutOff = false) {
        return {{"action", action},
                {"quantity", quantity},
                {"cut_off", cutOff},
                {"price_paise", pricePaise},
                {"reference", reference}};
    }
    // The order book of a header's party, all statuses, no date bounds.
    nlohmann::json Book(nlohmann::json header, const std::string& status = "-1") {
        header["code"] = 93;
        header["status"] = status;
        return Post("/ipo/orderbook", header).body.at("records");
    }

  private:
    static ServiceReply Reply(const httplib::Result& result) {
        ServiceReply reply;
        if (result) {
            reply.status = result->status;
            reply.body = nlohmann::json::parse(result->body, nullptr, false);
            reply.raw = result->body;
        }
        return reply;
    }

    httplib::Client client_;
};
