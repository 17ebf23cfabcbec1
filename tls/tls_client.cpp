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
            return DistrustText(Distrust::Certificate, origin, caFile, caSetting);
        case httplib::Error::SSLLoadingCerts:
            return DistrustText(Distrust::CaFile, origin, caFile, caSetting);
        case httplib::Error::SSLConnection:
            return DistrustText(Distrust::Protocol, origin, caFile, caSetting);
        default:
            return {};
    }
}

}  // namespace tls
