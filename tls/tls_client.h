// How the terminal's cpp-httplib client checks an https service: its certificate and host name
// against the certificate authorities of a PEM file (the system's store when none is named), TLS
// 1.2 or 1.3, and under TLS 1.2 only forward-secret AEAD ciphers. The companion's libcurl client
// follows the same policy (curl_client.h), so that both trust the same services in the same way.
#pragma once

#include <httplib.h>

#include <string>

#include "tls/trust_text.h"

namespace tls {

// Makes `client` check https services as above; a plain http client is left as it is.
void RequireTrustedService(httplib::Client& client, const std::string& caFile);

// Why an https connection to `origin` was not made, for the errors of trust and of TLS itself
// (nothing was sent then); empty for any other error. `caSetting` names where the user sets
// the CA file.
std::string UntrustedText(httplib::Error error, const std::string& origin,
                          const std::string& caFile, const std::string& caSetting);

}  // namespace tls
