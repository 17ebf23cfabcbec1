// One request of the terminal to the IPO service over the platform's HTTP client (cpp-httplib
// on Linux, WinHTTP on Windows), https checked as the companion checks it.
#pragma once

#include <string>

#include "host/service_endpoint.h"

struct ServiceCall {
    std::string method;
    std::string path;
    std::string body;   // JSON; empty: none
    std::string token;  // the session token, sent as a bearer token; empty: none
    int connectSeconds = 3;
    int readSeconds = 10;
};

struct ServiceAnswer {
    bool reached = false;  // false: no answer
    int status = 0;
    std::string body;
    std::string untrusted;  // set: why an https service was not trusted (nothing was sent)
};

ServiceAnswer CallService(const ServiceEndpoint& service, const ServiceCall& call);
