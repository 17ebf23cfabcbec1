#include "host/service_call.h"
#include "winhttp/winhttp_session.h"

ServiceAnswer CallService(const ServiceEndpoint& service, const ServiceCall& call) {
    winhttp::Session session(service.caFile);
    ServiceAnswer answer;
    const winhttp::Receiver receiver{[](int64_t) { return true; },
                                     [&answer](const char* data, size_t size) {
                                         answer.body.append(data, size);
                                         return true;
                                     }};
    const winhttp::Answer reply = session.Send(
        {service.Secure(), service.host, service.port},
        {call.method, call.path, call.body, call.token}, call.connectSeconds * 1000,
        (call.connectSeconds + call.readSeconds) * 1000, receiver);
    answer.untrusted =
        winhttp::UntrustedText(reply.outcome, service.Origin(), service.caFile, kTerminalCaSetting);
    answer.reached = reply.outcome == winhttp::Outcome::Answered;
    answer.status = reply.status;
    if (!answer.reached) {
        answer.body.clear();
    }
    return answer;
}
