// How the companion's libcurl client checks an https service: the same policy and refusal texts
// as our cpp-httplib clients (tls_client.h): its certificate and host name against the
// certificate authorities of a PEM file (the system's store when none is named), TLS 1.2 or 1.3,
// and under TLS 1.2 only forward-secret AEAD ciphers.
#pragma once

#include <curl/curl.h>

#include <string>

#include "tls/trust_text.h"

namespace tls {

// Makes the handle check https services as above; plain http is left as it is.
void RequireTrustedService(CURL* handle, const std::string& caFile);

// Why an https connection to `origin` was not made, for the errors of trust and of TLS itself
// (nothing was sent then); empty for any other error. `caSetting` names where the user sets
// the CA file.
std::string UntrustedText(CURLcode error, const std::string& origin, const std::string& caFile,
                          const std::string& caSetting);

}  // namespace tls
