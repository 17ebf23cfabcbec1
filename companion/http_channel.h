// HTTP POSTs to the service URLs of the requests, over one kept-alive connection per
// scheme, host and port. Answers are asked for in zstd and decoded as they arrive. A failed request
// is never repeated: an order must not be placed twice. A URL may carry the session token as its
// user part ("http://TOKEN@host:port/path"): it is sent as "Authorization: Bearer TOKEN" and
// nowhere else, and no message shows it.
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <string>

#include "companion/call_guard.h"
#include "companion/settings.h"

namespace httplib {
class Client;
}

namespace corvex {

struct Reply {
    bool reached = false;   // false: no answer (unreachable, refused, past the deadline)
    bool tooLarge = false;  // the answer outgrew the size cap and was dropped
    int status = 0;
    std::string body;
    std::string insecure;    // set: why an https service was not trusted (nothing was sent)
    std::string unreadable;  // set: why a compressed answer could not be decoded
};

// The URL as it may be shown: without its token.
std::string ShownURL(const std::string& url);

class HttpChannel {
  public:
    explicit HttpChannel(const ChannelSettings& settings);
    ~HttpChannel();
    HttpChannel(const HttpChannel&) = delete;
    HttpChannel& operator=(const HttpChannel&) = delete;

    // Posts a JSON body to an "http://[token@]host[:port]/path" or "https://..." URL and reads
    // the whole answer within one deadline (the read timeout) and size cap, which bounds the
    // decoded answer. Throws
    // RequestRefused for a URL of another form.
    Reply Post(const std::string& url, const std::string& body);

  private:
    struct Connection {
        std::unique_ptr<httplib::Client> client;
        std::chrono::steady_clock::time_point lastUsed;
    };
    Connection& ConnectionFor(const std::string& origin);

    ChannelSettings settings_;
    Watchdog watchdog_;
    std::map<std::string, Connection> connections_;
};

}  // namespace corvex
