#include "host/sign_in.h"

#include <httplib.h>

#include <nlohmann/json.hpp>

namespace {

void Limit(httplib::Client& client) {
    client.set_tcp_nodelay(true);
    client.set_connection_timeout(3, 0);
    client.set_read_timeout(10, 0);
}

}  // namespace

std::optional<ServiceSession> SignIn(const std::string& host, int port, const std::string& userId,
                                     const std::string& password, std::string& error) {
    httplib::Client client(host, port);
    Limit(client);
    const nlohmann::json request = {{"user_id", userId}, {"password", password}};
    const httplib::Result reply = client.Post("/session", request.dump(), "application/json");
    if (!reply) {
        error = "the IPO service at " + host + ":" + std::to_string(port) + " cannot be reached";
        return std::nullopt;
    }
    const nlohmann::json body = nlohmann::json::parse(reply->body, nullptr, false);
    const auto text = [&body](const char* name) {
        return body.is_object() && body.contains(name) && body[name].is_string()
                   ? body[name].get<std::string>()
                   : std::string();
    };
    if (reply->status != 200 || text("token").empty()) {
        error = text("message").empty()
                    ? "the IPO service answered with status " + std::to_string(reply->status)
                    : text("message");
        return std::nullopt;
    }
    return ServiceSession{text("token"), text("expires")};
}

void SignOut(const std::string& host, int port, const std::string& token) {
    httplib::Client client(host, port);
    client.set_tcp_nodelay(true);
    client.set_connection_timeout(1, 0);
    client.set_read_timeout(2, 0);
    client.Delete("/session", {{"Authorization", "Bearer " + token}});
}
