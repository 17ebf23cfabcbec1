// A JSON caller of a running ipo-service, with the seeded parties and a valid default order.
// Each request carries the session token of the seeded user its body names (INV001 when it
// names none).
#pragma once

#include <httplib.h>

#include <nlohmann/json.hpp>
#include <string>

#include "service_harness.h"

// Request bodies of the seeded parties.
namespace wire {

using nlohmann::json;

// Header of the type-23 investor INV001, the type-26 investor INV026, or dealer DEALER01
// (type 24) acting for `client`.
inline json Investor(int code) {
    return {{"code", code},
            {"user_type", 23},
            {"user_id", "INV001"},
            {"login_client_id", "INV001"},
            {"login_client_code", "I001"}};
}
inline json Investor26(int code) {
    return {{"code", code},
            {"user_type", 26},
            {"user_id", "INV026"},
            {"client_id", "INV026"},
            {"client_code", "I026"},
            {"login_client_id", "INV026"},
            {"login_client_code", "I026"}};
}
inline json Dealer(int code, const std::string& client) {
    return {{"code", code}, {"user_type", 24}, {"user_id", "DEALER01"}, {"client_id", client}};
}
inline json Bid(const std::string& action, int quantity, int64_t pricePaise,
                const std::string& reference = "0", bool cutOff = false) {
    return {{"action", action},
            {"quantity", quantity},
            {"cut_off", cutOff},
            {"price_paise", pricePaise},
            {"reference", reference}};
}
// `base` with the fields of `change` set.
inline json With(json base, const json& change) {
    base.update(change);
    return base;
}
// A valid new RETAIL order of INV001: one bid of 150 shares at 98.00 on AURORAGREEN, with
// `change` applied.
inline json Order(const json& change = json::object()) {
    return With(With(Investor(94), {{"order_flag", "N"},
                                    {"ipo_name", "AURORAGREEN"},
                                    {"issue_tag", "AGE"},
                                    {"category", "RETAIL"},
                                    {"payment_mode", "UPI"},
                                    {"upi_id", "rohan.desai@upibank"},
                                    {"order_number", 0},
                                    {"application_number", ""},
                                    {"bids", {Bid("N", 150, 9800)}}}),
                change);
}

}  // namespace wire

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
    explicit ServiceTestClient(const harness::ServiceProcess& service)
        : service_(service), client_("127.0.0.1", service.Port()) {
        client_.set_tcp_nodelay(true);
    }

    ServiceReply Post(const std::string& path, const nlohmann::json& body) {
        const auto user = body.find("user_id");
        const bool named = user != body.end() && user->is_string() &&
                           !harness::SeededPassword(user->get<std::string>()).empty();
        return PostWith(Bearer(named ? user->get<std::string>() : "INV001"), path, body.dump());
    }
    // With this Authorization header (none when empty).
    ServiceReply PostWith(const std::string& authorization, const std::string& path,
                          const std::string& body) {
        httplib::Headers headers;
        if (!authorization.empty()) {
            headers.emplace("Authorization", authorization);
        }
        return Reply(client_.Post(path, headers, body, "application/json"));
    }
    // As the seeded `userId` (DEALER01 when not named).
    ServiceReply Get(const std::string& path, const std::string& userId = "DEALER01") {
        return Reply(client_.Get(path, {{"Authorization", Bearer(userId)}}));
    }
    // "Bearer <token>" of a seeded user.
    std::string Bearer(const std::string& userId) { return "Bearer " + service_.Token(userId); }
    // The order book of a header's party, all statuses, no date bounds.
    nlohmann::json Book(const nlohmann::json& header, const std::string& status = "-1") {
        return Post("/ipo/orderbook", wire::With(header, {{"code", 93}, {"status", status}}))
            .body.at("records");
    }

  private:
    static ServiceReply Reply(const httplib::Result& result) {
        if (!result) {
            return {};
        }
        return {result->status, nlohmann::json::parse(result->body, nullptr, false), result->body};
    }

    const harness::ServiceProcess& service_;
    httplib::Client client_;
};
