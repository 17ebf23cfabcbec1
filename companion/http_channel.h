// HTTP POSTs to the service URLs of the requests, over one kept-alive connection per
// scheme, host and port. A failed request is never repeated: an order must not be placed twice.
#pragma once

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
};

class HttpChannel {
  public:
    explicit HttpChannel(const Timeouts& timeouts);
    ~HttpChannel();
    HttpChannel(const HttpChannel&) = delete;
    HttpChannel& operator=(const HttpChannel&) = delete;

    // Posts a JSON body to an "http://host[:port]/path" or "https://..." URL and reads the whole
    // answer within one deadline (the read timeout) and size cap. Throws RequestRefused for a URL
    // of another form.
    Reply Post(const std::string& url, const std::string& body);

  private:
    httplib::Client& ClientFor(const std::string& origin);

    Timeouts timeouts_;
    Watchdog watchdog_;
    std::map<std::string, std::unique_ptr<httplib::Client>> clients_;
};

}  // namespace corvex
