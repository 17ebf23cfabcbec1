#include <chrono>

#include "companion/answer_buffer.h"
#include "companion/http_channel.h"
#include "winhttp/winhttp_session.h"

namespace corvex {

// The system's session, which keeps connections alive; made anew after an idle spell, so that
// no connection the service may be closing is used.
struct HttpChannel::Transport {
    std::unique_ptr<winhttp::Session> session;
    std::chrono::steady_clock::time_point lastUsed;
};

HttpChannel::HttpChannel(const ChannelSettings& settings)
    : settings_(settings), transport_(std::make_unique<Transport>()) {}

HttpChannel::~HttpChannel() = default;

Reply HttpChannel::Post(const std::string& url, const std::string& body) {
    const ServiceTarget target = SplitServiceURL(url);
    const auto idle = std::chrono::steady_clock::now() - transport_->lastUsed;
    if (!transport_->session || idle > std::chrono::milliseconds(settings_.idleMs)) {
        transport_->session = std::make_unique<winhttp::Session>(settings_.caFile);
    }
    Reply reply;
    AnswerBuffer answer(reply.body, static_cast<size_t>(settings_.answerMaxBytes));
    const winhttp::Receiver receiver{
        [&answer](int64_t length) {
            const uint64_t announced = length < 0 ? 0 : static_cast<uint64_t>(length);
            if (!answer.Expect(announced)) {
                return false;
            }
            answer.Reserve(announced);
            return true;
        },
        [&answer](const char* data, size_t size) { return answer.Add(data, size); }};
    const winhttp::Answer sent = transport_->session->Send(
        {target.secure, target.host, target.port}, {"POST", target.path, body, target.token},
        settings_.connectMs, settings_.readMs, receiver);
    transport_->lastUsed = std::chrono::steady_clock::now();
    reply.tooLarge = answer.TooLarge();
    if (sent.outcome == winhttp::Outcome::Answered) {
        reply.reached = true;
        reply.status = sent.status;
        return reply;
    }
    reply.insecure =
        winhttp::UntrustedText(sent.outcome, target.origin, settings_.caFile, kCompanionCaSetting);
    reply.body.clear();
    reply.body.shrink_to_fit();
    return reply;
}

}  // namespace corvex
