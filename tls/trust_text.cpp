#include "tls/trust_text.h"

namespace tls {

std::string DistrustText(Distrust distrust, const std::string& origin, const std::string& caFile,
                         const std::string& caSetting) {
    switch (distrust) {
        case Distrust::Certificate:
            return "The IPO service at " + origin +
                   " cannot be trusted: its certificate is not signed by an authority in " +
                   (caFile.empty() ? std::string("the system's store") : caFile) + " (" +
                   caSetting + "), or is not for this host";
        case Distrust::CaFile:
            return "The certificate authorities in " + caFile + " (" + caSetting +
                   ") cannot be read";
        case Distrust::Protocol:
            return "No secure connection to the IPO service at " + origin +
                   " could be made: it must serve https with TLS 1.2 or 1.3 and an AEAD cipher";
    }
    return {};
}

}  // namespace tls
