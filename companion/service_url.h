// The service URLs of the requests: "http://[token@]host[:port]/path" or "https://...". The
// token in the user part is the session's; it travels as a bearer token and no message shows it.
#pragma once

#include <string>

namespace corvex {

struct ServiceTarget {
    std::string origin;  // scheme://host[:port]
    bool secure = false;
    std::string host;  // as written, brackets of an IPv6 address removed
    int port = 0;      // the scheme's own when the URL names none
    std::string path;
    std::string token;  // the URL's user part, or empty
    std::string shown;  // the URL without the token
};

// Throws RequestRefused for a URL of another form.
ServiceTarget SplitServiceURL(const std::string& url);

// The URL as it may be shown: without its token.
std::string ShownURL(const std::string& url);

}  // namespace corvex
