#include "companion/service_url.h"

#include <algorithm>
#include <cctype>

#include "base/text.h"
#include "companion/request_encoder.h"

namespace corvex {
namespace {

bool TokenCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_' ||
           c == '~' || c == '+' || c == '/' || c == '=';
}

// Splits "host[:port]" or "[v6]:port" into `target`; false when the port is not a number
// from 1 to 65535.
bool SplitAuthority(const std::string& authority, ServiceTarget& target) {
    const size_t bracket = authority.rfind(']');
    const size_t colon = authority.rfind(':');
    const bool hasPort =
        colon != std::string::npos && (bracket == std::string::npos || colon > bracket);
    std::string host = hasPort ? authority.substr(0, colon) : authority;
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    target.host = host;
    target.port = target.secure ? 443 : 80;
    if (!hasPort) {
        return true;
    }
    const std::string port = authority.substr(colon + 1);
    const int32_t number = base::ToLong(port);
    target.port = number;
    return number >= 1 && number <= 65535 && std::to_string(number) == port;
}

}  // namespace

ServiceTarget SplitServiceURL(const std::string& url) {
    const std::string shown = ShownURL(url);
    const size_t scheme = url.find("://");
    const std::string name = scheme == std::string::npos ? "" : url.substr(0, scheme);
    if (name != "http" && name != "https") {
        throw RequestRefused("The service URL \"" + shown + "\" is not an http or https URL");
    }
    const size_t authority = scheme + 3;
    const size_t path = url.find('/', authority);
    const size_t end = path == std::string::npos ? url.size() : path;
    const size_t at = url.rfind('@', end - 1);
    ServiceTarget target;
    target.shown = shown;
    target.secure = name == "https";
    size_t host = authority;
    if (at != std::string::npos && at >= authority) {
        target.token = url.substr(authority, at - authority);
        host = at + 1;
        bool valid = !target.token.empty();
        for (char c : target.token) {
            valid = valid && TokenCharacter(c);
        }
        if (!valid) {
            throw RequestRefused("The service URL \"" + shown +
                                 "\" carries a session token that is not valid");
        }
    }
    if (host == end) {
        throw RequestRefused("The service URL \"" + shown + "\" names no host");
    }
    if (!SplitAuthority(url.substr(host, end - host), target)) {
        throw RequestRefused("The service URL \"" + shown + "\" names no valid port");
    }
    target.origin = name + "://" + url.substr(host, end - host);
    target.path = path == std::string::npos ? "/" : url.substr(path);
    return target;
}

std::string ShownURL(const std::string& url) {
    const size_t scheme = url.find("://");
    if (scheme == std::string::npos) {
        return url;
    }
    const size_t end = std::min(url.find('/', scheme + 3), url.size());
    const size_t at = url.rfind('@', end == 0 ? 0 : end - 1);
    if (at == std::string::npos || at < scheme + 3) {
        return url;
    }
    return url.substr(0, scheme + 3) + url.substr(at + 1);
}

}  // namespace corvex
