#include "companion/http_channel.h"

#include <httplib.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <optional>

#include "companion/answer_buffer.h"
#include "companion/call_guard.h"
#include "companion/request_encoder.h"
#include "companion/sigpipe_guard.h"
#include "companion/zstd_decoder.h"
#include "tls/tls_client.h"

namespace corvex {

// One kept-alive connection per scheme, host and port, and the watchdog that ends a call at
// its deadline.
struct HttpChannel::Transport {
    struct Connection {
        std::unique_ptr<httplib::Client> client;
        std::chrono::steady_clock::time_point lastUsed;
    };
    Connection& ConnectionFor(const std::string& origin, const ChannelSettings& settings);

    Watchdog watchdog;
    std::map<std::string, Connection> connections;
};

HttpChannel::HttpChannel(const ChannelSettings& settings)
    : settings_(settings), transport_(std::make_unique<Transport>()) {}

HttpChannel::~HttpChannel() = default;

HttpChannel::Transport::Connection& HttpChannel::Transport::ConnectionFor(
    const std::string& origin, const ChannelSettings& settings) {
    auto found = connections.find(origin);
    if (found == connections.end()) {
        auto client = std::make_unique<httplib::Client>(origin);
        client->set_keep_alive(true);
        client->set_tcp_nodelay(true);
        const auto seconds = [](int ms) { return ms / 1000; };
        const auto micros = [](int ms) { return (ms % 1000) * 1000; };
        client->set_connection_timeout(seconds(settings.connectMs), micros(settings.connectMs));
        client->set_read_timeout(seconds(settings.readMs), micros(settings.readMs));
        client->set_write_timeout(seconds(settings.readMs), micros(settings.readMs));
        tls::RequireTrustedService(*client, settings.caFile);
        found = connections.emplace(origin, Connection{std::move(client), {}}).first;
    }
    return found->second;
}

Reply HttpChannel::Post(const std::string& url, const std::string& body) {
    const ServiceTarget target = SplitServiceURL(url);
    Transport::Connection& connection = transport_->ConnectionFor(target.origin, settings_);
    httplib::Client& client = *connection.client;
    if (!client.is_valid()) {
        throw RequestRefused("The service URL \"" + target.shown + "\" cannot be used");
    }
    // A connection the service may be closing because it sat idle is not used again.
    if (Watchdog::Clock::now() - connection.lastUsed >
        std::chrono::milliseconds(settings_.idleMs)) {
        client.stop();
    }
    Reply reply;
    AnswerBuffer answer(reply.body, static_cast<size_t>(settings_.answerMaxBytes));
    httplib::Request request;
    request.method = "POST";
    request.path = target.path;
    request.body = body;
    request.set_header("Content-Type", "application/json");
    if (!target.token.empty()) {
        request.set_header("Authorization", "Bearer " + target.token);
    }
    request.set_header("Accept-Encoding", "zstd");
    std::optional<ZstdDecoder> zstd;  // made only for a compressed answer: it takes 250 KiB
    request.response_handler = [&](const httplib::Response& response) {
        const std::string text = response.get_header_value("Content-Length");
        const unsigned long long length = std::strtoull(text.c_str(), nullptr, 10);
        if (!answer.Expect(length)) {
            return false;
        }
        if (response.get_header_value("Content-Encoding") == "zstd") {
            zstd.emplace();
        } else {
            answer.Reserve(length);
        }
        return true;
    };
    const auto keep = [&answer](const char* data, size_t size) { return answer.Add(data, size); };
    bool sized = false;  // room taken for the whole decoded answer
    request.content_receiver = [&](const char* data, size_t size, uint64_t, uint64_t) {
        if (!zstd) {
            return keep(data, size);
        }
        if (!sized) {
            // The frame says how large the answer is: room for it at once.
            answer.Reserve(ZstdDecoder::DecodedSize(data, size));
            sized = true;
        }
        return zstd->Add(data, size, keep);
    };
    httplib::Response response;
    httplib::Error error = httplib::Error::Success;
    bool answered = false;
    bool late = false;
    {
        SigpipeGuard quiet;
        transport_->watchdog.Arm(
            Watchdog::Clock::now() + std::chrono::milliseconds(settings_.readMs),
            [&client] { client.stop(); });
        answered = client.send(request, response, error);
        // Cut off at the deadline, an answer may look complete but is not.
        late = transport_->watchdog.Disarm();
        if (late || !answered) {
            client.stop();  // a connection left mid-answer is not used again
        }
    }
    connection.lastUsed = Watchdog::Clock::now();
    reply.tooLarge = answer.TooLarge();
    if (reply.tooLarge) {
        reply.body.clear();
        reply.body.shrink_to_fit();
        return reply;
    }
    if (zstd && (!zstd->Error().empty() || (answered && !late && !zstd->Complete()))) {
        reply.body.clear();
        reply.unreadable = "The IPO service's compressed answer cannot be read: " +
                           (zstd->Error().empty() ? "it ends within its data" : zstd->Error());
        return reply;
    }
    if (answered && !late) {
        reply.reached = true;
        reply.status = response.status;
    } else if (!late) {
        reply.insecure =
            tls::UntrustedText(error, target.origin, settings_.caFile, kCompanionCaSetting);
    }
    return reply;
}

}  // namespace corvex
