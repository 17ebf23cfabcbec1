// HTTP POSTs to the service URLs of the requests (service_url.h), over kept-alive connections:
// libcurl on Linux, which sends a small request's head and body in one write, and where answers
// are asked for in zstd and decoded as they arrive; the system's WinHTTP on Windows. A request is
// sent at most once, and a failed one is never repeated: an order must not be placed twice. The
// session token is sent as "Authorization: Bearer TOKEN" and nowhere else.
#pragma once

#include <memory>
#include <string>

#include "companion/service_url.h"
#include "companion/settings.h"

namespace corvex {

struct Reply {
    bool reached = false;   // false: no answer (unreachable, refused, past the deadline)
    bool tooLarge = false;  // the answer outgrew the size cap and was dropped
    int status = 0;
    std::string body;
    std::string insecure;    // set: why an https service was not trusted (nothing was sent)
    std::string unreadable;  // set: why a compressed answer could not be decoded
};

// Where the user names the companion's CA file, as refusals say.
inline constexpr const char* kCompanionCaSetting = "ca_file in Corvexdll64.conf";

class HttpChannel {
  public:
    explicit HttpChannel(const ChannelSettings& settings);
    ~HttpChannel();
    HttpChannel(const HttpChannel&) = delete;
    HttpChannel& operator=(const HttpChannel&) = delete;

    // Posts a JSON body to a service URL and reads the whole answer within one deadline (the
    // read timeout) and size cap, which bounds the decoded answer. Throws RequestRefused for a
    // URL of another form.
    Reply Post(const std::string& url, const std::string& body);

  private:
    struct Transport;  // the platform's connections
    ChannelSettings settings_;
    std::unique_ptr<Transport> transport_;
};

}  // namespace corvex
