// Signing the terminal's user in at the IPO service (POST /session) and out again at exit.
// The token is handed to the plug-in inside the service URLs and to the client lookup; the
// password is not kept.
#pragma once

#include <optional>
#include <string>

struct ServiceSession {
    std::string token;
    std::string expires;  // "YYYY-MM-DD HH:MM:SS", the service's local time
};

// None when the service refuses or cannot be reached, with the reason in `error`.
std::optional<ServiceSession> SignIn(const std::string& host, int port, const std::string& userId,
                                     const std::string& password, std::string& error);
// Ends the session; a service that cannot be reached is not waited for long.
void SignOut(const std::string& host, int port, const std::string& token);
