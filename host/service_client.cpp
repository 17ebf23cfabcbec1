#include "host/service_client.h"

#include <httplib.h>

#include "host/service_call.h"
#include "tls/tls_client.h"

std::unique_ptr<httplib::Client> ServiceClient(const ServiceEndpoint& endpoint, int connectSeconds,
                                               int readSeconds) {
    auto client = std::make_unique<httplib::Client>(endpoint.Origin());
    client->set_tcp_nodelay(true);
    client->set_connection_timeout(connectSeconds, 0);
    client->set_read_timeout(readSeconds, 0);
    tls::RequireTrustedService(*client, endpoint.caFile);
    return client;
}

std::string UntrustedText(const ServiceEndpoint& endpoint, httplib::Error error) {
    return tls::UntrustedText(error, endpoint.Origin(), endpoint.caFile, kTerminalCaSetting);
}

ServiceAnswer CallService(const ServiceEndpoint& service, const ServiceCall& call) {
    const std::unique_ptr<httplib::Client> client =
        ServiceClient(service, call.connectSeconds, call.readSeconds);
    httplib::Request request;
    request.method = call.method;
    request.path = call.path;
    request.body = call.body;
    if (!call.body.empty()) {
        request.set_header("Content-Type", "application/json");
    }
    if (!call.token.empty()) {
        request.set_header("Authorization", "Bearer " + call.token);
    }
    ServiceAnswer answer;
    const httplib::Result reply = client->send(request);
    if (!reply) {
        answer.untrusted = UntrustedText(service, reply.error());
        return answer;
    }
    answer.reached = true;
    answer.status = reply->status;
    answer.body = reply->body;
    return answer;
}
