// Where the IPO service is and how the terminal reaches it: "https://host:port",
// "http://host:port" or "host:port" (plain http), and the certificate authorities an https
// service is checked against. A password never travels in clear beyond loopback.
#pragma once

#include <string>

// Where the user names the CA file, as refusals say.
inline constexpr const char* kTerminalCaSetting =
    "--ca-file, or ca_file in the terminal's settings";

struct ServiceEndpoint {
    std::string scheme = "http";
    std::string host = "127.0.0.1";
    int port = 8450;
    std::string caFile;  // PEM; empty: the system's store

    bool Secure() const { return scheme == "https"; }
    // "host:port".
    std::string HostPort() const;
    // The address as the user gives it: "host:port" for http, "https://host:port" for https.
    std::string Address() const;
    // "scheme://host:port".
    std::string Origin() const;
    // Whether the host is this machine's loopback by name or number (localhost, 127.x.x.x, ::1).
    bool Loopback() const;
};

// Reads an address into `endpoint` (its CA file is kept); false with the reason in `error`.
bool ParseServiceAddress(const std::string& text, ServiceEndpoint& endpoint, std::string& error);

// Why a password of `userId` must not be sent to `endpoint` (plain http beyond loopback), and
// what to configure instead; empty when it may be sent.
std::string CleartextRefusal(const ServiceEndpoint& endpoint, const std::string& userId);
