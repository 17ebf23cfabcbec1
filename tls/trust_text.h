// The texts that say why an HTTP client of ours did not trust an https service. Every
// transport (OpenSSL on Linux, WinHTTP on Windows) words its refusals with these, so that the
// user reads the same reason whatever the platform.
#pragma once

#include <string>

namespace tls {

enum class Distrust {
    Certificate,  // not signed by an authority in the CA file (or the system's store), or not
                  // for this host
    CaFile,       // the CA file cannot be read
    Protocol,     // no TLS 1.2 or 1.3 connection with an AEAD cipher
};

// Why the https connection to `origin` was not made (nothing was sent). `caSetting` names
// where the user sets the CA file.
std::string DistrustText(Distrust distrust, const std::string& origin, const std::string& caFile,
                         const std::string& caSetting);

}  // namespace tls
