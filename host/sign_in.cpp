#include "host/sign_in.h"

#include <nlohmann/json.hpp>

#include "host/service_call.h"

std::optional<ServiceSession> SignIn(const ServiceEndpoint& service, const std::string& userId,
                                     const std::string& password, std::string& error) {
    error = CleartextRefusal(service, userId);
    if (!error.empty()) {
        return std::nullopt;
    }
    const nlohmann::json request = {{"user_id", userId}, {"password", password}};
    const ServiceAnswer reply =
        CallService(service, {"POST", "/session", request.dump(), "", 3, 10});
    if (!reply.reached) {
        error = reply.untrusted;
        if (error.empty()) {
            error = "the IPO service at " + service.Address() + " cannot be reached";
        }
        return std::nullopt;
    }
    const nlohmann::json body = nlohmann::json::parse(reply.body, nullptr, false);
    const auto text = [&body](const char* name) {
        return body.is_object() && body.contains(name) && body[name].is_string()
                   ? body[name].get<std::string>()
                   : std::string();
    };
    if (reply.status != 200 || text("token").empty()) {
        error = text("message").empty()
                    ? "the IPO service answered with status " + std::to_string(reply.status)
                    : text("message");
        return std::nullopt;
    }
    const nlohmann::json type = body.value("user_type", nlohmann::json());
    ServiceSession session{text("token"), text("expires"), 0, text("client_id"),
                           text("client_code")};
    if (type.is_number_unsigned() && type.get<uint64_t>() <= 65535) {
        session.userType = static_cast<uint16_t>(type.get<uint64_t>());
    }
    return session;
}

void SignOut(const ServiceEndpoint& service, const std::string& token) {
    CallService(service, {"DELETE", "/session", "", token, 1, 2});
}
