#include "host/client_directory.h"

#include <cctype>
#include <nlohmann/json.hpp>

#include "host/service_call.h"

namespace {

// A client id as one path segment: every byte outside the unreserved set is percent-encoded.
std::string PathSegment(const std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 15];
        }
    }
    return encoded;
}

}  // namespace

std::optional<ClientRecord> ServiceClientDirectory::Lookup(const std::string& clientId,
                                                           std::string& error) {
    if (clientId.empty()) {
        error = "No client id to look up";
        return std::nullopt;
    }
    const ServiceAnswer reply =
        CallService(service_, {"GET", "/clients/" + PathSegment(clientId), "", token_, 3, 5});
    if (!reply.reached) {
        error = reply.untrusted;
        if (error.empty()) {
            error = "The client lookup cannot reach the IPO service at " + service_.Address();
        }
        return std::nullopt;
    }
    const nlohmann::json body = nlohmann::json::parse(reply.body, nullptr, false);
    if (reply.status != 200 || !body.is_object()) {
        const bool hasMessage =
            body.is_object() && body.contains("message") && body["message"].is_string();
        error = hasMessage ? body["message"].get<std::string>()
                           : "The client lookup failed with status " + std::to_string(reply.status);
        return std::nullopt;
    }
    ClientRecord record;
    record.id = body.value("client_id", std::string());
    record.code = body.value("client_code", std::string());
    record.name = body.value("name", std::string());
    return record;
}
