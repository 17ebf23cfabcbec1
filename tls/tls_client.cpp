#include "tls/tls_client.h"

namespace tls {

void RequireTrustedService(httplib::Client& client, const std::string& caFile) {
    client.enable_server_certificate_verification(true);
    if (SSL_CTX* context = client.ssl_context()) {
        SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
        SSL_CTX_set_cipher_list(context, "ECDHE+AESGCM:ECDHE+CHACHA20");
    }
    if (!caFile.empty()) {
        client.set_ca_cert_path(caFile.c_str());
    }
}

std::string UntrustedText(httplib::Error error, const std::string& origin,
                          const std::string& caFile, const std::string& caSetting) {
    switch (error) {
        case httplib::Error::SSLServerVerification:
            return "The IPO service at " + origin +
                   " cannot be trusted: its certificate is not signed by an authority in " +
                   (caFile.empty() ? std::string("the system's store") : caFile) + " (" +
                   caSetting + "), or is not for this host";
        case httplib::Error::SSLLoadingCerts:
            return "The certificate authorities in " + caFile + " (" + caSetting +
                   ") cannot be read";
        case httplib::Error::SSLConnection:
            return "No secure connection to the IPO service at " + origin +
                   " could be made: it must serve https with TLS 1.2 or 1.3 and an AEAD cipher";
        default:
            return {};
    }
}

}  // namespace tls
