#include "host/service_call.h"
#include "tls/trust_text.h"
#include "winhttp/winhttp_session.h"

namespace {

// The refusal worded as on every platform, for the outcomes of trust and of TLS itself.
std::string UntrustedText(const ServiceEndpoint& service, winhttp::Outcome outcome) {
    const auto text = [&service](tls::Distrust distrust) {
        return tls::DistrustText(distrust, service.Origin(), service.caFile, kTerminalCaSetting);
    };
    switch (outcome) {
        case winhttp::Outcome::Untrusted:
            return text(tls::Distrust::Certificate);
        case winhttp::Outcome::CaFileUnreadable:
            return text(tls::Distrust::CaFile);
        case winhttp::Outcome::NoSecureConnection:
            return text(tls::Distrust::Protocol);
        default:
            return {};
    }
}

}  // namespace

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
        {call.method, call.path, call.body, call.token, false}, call.connectSeconds * 1000,
        (call.connectSeconds + call.readSeconds) * 1000, receiver);
    answer.untrusted = UntrustedText(service, reply.outcome);
    answer.reached = reply.outcome == winhttp::Outcome::Answered;
    answer.status = reply.status;
    if (!answer.reached) {
        answer.body.clear();
    }
    return answer;
}
