// Signing the terminal's user in at the IPO service (POST /session) and out again at exit.
// The token is handed to the plug-in inside the service URLs and to the client lookup; the
// password is not kept.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "host/service_endpoint.h"

struct ServiceSession {
    std::string token;
    std::string expires;  // "YYYY-MM-DD HH:MM:SS", the service's local time
    // Who signed in, as the service knows the user: the type and the user's own client.
    uint16_t userType = 0;
    std::string clientId;
    std::string clientCode;
};

// None when the password may not be sent there, the service is not trusted, refuses or cannot
// be reached, with the reason in `error`.
std::optional<ServiceSession> SignIn(const ServiceEndpoint& service, const std::string& userId,
                                     const std::string& password, std::string& error);
// Ends the session; a service that cannot be reached is not waited for long.
void SignOut(const ServiceEndpoint& service, const std::string& token);
