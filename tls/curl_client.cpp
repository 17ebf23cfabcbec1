#include "tls/curl_client.h"

namespace tls {

void RequireTrustedService(CURL* handle, const std::string& caFile) {
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(handle, CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2));
    curl_easy_setopt(handle, CURLOPT_SSL_CIPHER_LIST, "ECDHE+AESGCM:ECDHE+CHACHA20");
    if (!caFile.empty()) {
        curl_easy_setopt(handle, CURLOPT_CAINFO, caFile.c_str());
    }
}

std::string UntrustedText(CURLcode error, const std::string& origin, const std::string& caFile,
                          const std::string& caSetting) {
    switch (error) {
        case CURLE_PEER_FAILED_VERIFICATION:
            return DistrustText(Distrust::Certificate, origin, caFile, caSetting);
        case CURLE_SSL_CACERT_BADFILE:
            return DistrustText(Distrust::CaFile, origin, caFile, caSetting);
        case CURLE_SSL_CONNECT_ERROR:
            return DistrustText(Distrust::Protocol, origin, caFile, caSetting);
        default:
            return {};
    }
}

}  // namespace tls
