#include "host/service_endpoint.h"

#include "base/text.h"

std::string ServiceEndpoint::HostPort() const {
    return host + ":" + std::to_string(port);
}

std::string ServiceEndpoint::Address() const {
    return Secure() ? Origin() : HostPort();
}

std::string ServiceEndpoint::Origin() const {
    return scheme + "://" + HostPort();
}

bool ServiceEndpoint::Loopback() const {
    const bool number = host.find_first_not_of("0123456789.") == std::string::npos;
    return host == "localhost" || (number && host.rfind("127.", 0) == 0) || host == "::1" ||
           host == "[::1]";
}

bool ParseServiceAddress(const std::string& text, ServiceEndpoint& endpoint, std::string& error) {
    const std::string address = base::Trim(text);
    const size_t schemeEnd = address.find("://");
    const std::string scheme =
        schemeEnd == std::string::npos ? "http" : address.substr(0, schemeEnd);
    const std::string rest =
        schemeEnd == std::string::npos ? address : address.substr(schemeEnd + 3);
    const size_t colon = rest.rfind(':');
    const std::string host = colon == std::string::npos ? "" : rest.substr(0, colon);
    const std::string port = colon == std::string::npos ? "" : rest.substr(colon + 1);
    const int32_t number = base::ToLong(port);
    if ((scheme != "http" && scheme != "https") || host.empty() ||
        host.find_first_of("/@ ") != std::string::npos || number < 1 || number > 65535 ||
        std::to_string(number) != port) {
        error = "The service address \"" + text +
                "\" is not https://HOST:PORT, http://HOST:PORT or HOST:PORT with a port from 1 "
                "to 65535";
        return false;
    }
    endpoint.scheme = scheme;
    endpoint.host = host;
    endpoint.port = number;
    return true;
}

std::string CleartextRefusal(const ServiceEndpoint& endpoint, const std::string& userId) {
    if (endpoint.Secure() || endpoint.Loopback()) {
        return {};
    }
    return "The password of " + userId + " is not sent in clear text to " + endpoint.Address() +
           ": give the service address as https://" + endpoint.HostPort() +
           ", with the CA file that signed its certificate (" + kTerminalCaSetting +
           ") unless the system trusts it";
}
