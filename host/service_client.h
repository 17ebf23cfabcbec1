// The terminal's cpp-httplib client for the IPO service (Linux): https checked as the
// companion checks it.
#pragma once

#include <memory>

#include "host/service_endpoint.h"

namespace httplib {
class Client;
enum class Error;
}  // namespace httplib

// A client for the service with the given timeouts.
std::unique_ptr<httplib::Client> ServiceClient(const ServiceEndpoint& endpoint, int connectSeconds,
                                               int readSeconds);

// Why an https service was not trusted, when that is why a request got no answer (nothing was
// sent then); empty for any other failure.
std::string UntrustedText(const ServiceEndpoint& endpoint, httplib::Error error);
