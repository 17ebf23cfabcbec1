#include "companion/http_channel.h"

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <optional>

#include "companion/request_encoder.h"
#include "companion/zstd_decoder.h"
#include "tls/tls_client.h"

namespace corvex {
namespace {

struct Target {
    std::string origin;  // scheme://host[:port]
    std::string path;
    std::string token;  // the URL's user part, or empty
    std::string shown;  // the URL without the token
};

bool TokenCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_' ||
           c == '~' || c == '+' || c == '/' || c == '=';
}

Target Split(const std::string& url) {
    const std::string shown = ShownURL(url);
    const size_t scheme = url.find("://");
    const std::string name = scheme == std::string::npos ? "" : url.substr(0, scheme);
    if (name != "http" && name != "https") {
        throw RequestRefused("The service URL \"" + shown + "\" is not an http or https URL");
    }
    const size_t authority = scheme + 3;
    const size_t path = url.find('/', authority);
    const size_t end = path == std::string::npos ? url.size() : path;
    const size_t at = url.rfind('@', end - 1);
    Target target;
    target.shown = shown;
    size_t host = authority;
    if (at != std::string::npos && at >= authority) {
        target.token = url.substr(authority, at - authority);
        host = at + 1;
        bool valid = !target.token.empty();
        for (char c : target.token) {
            valid = valid && TokenCharacter(c);
        }
        if (!valid) {
            throw RequestRefused("The service URL \"" + shown +
                                 "\" carries a session token that is not valid");
        }
    }
    if (host == end) {
        throw RequestRefused("The service URL \"" + shown + "\" names no host");
    }
    target.origin = name + "://" + url.substr(host, end - host);
    target.path = path == std::string::npos ? "/" : url.substr(path);
    return target;
}

// Above this, an answer's buffer takes room for the whole cap at once. A string that doubles its
// room would, near a large cap, hold the old room and the new one twice as large side by side
// (up to twice the cap); room taken once is filled page by page as the answer arrives.
constexpr size_t kWholeCapAbove = size_t{32} << 20;

// Room made beside an answer of announced size: enough for the JSON decoder's padding after its
// end, so that the answer is read in place.
constexpr size_t kAnswerRoom = 64;

// Makes room in `body` for `more` bytes, never above `cap`.
void MakeRoom(std::string& body, size_t more, size_t cap) {
    const size_t needed = body.size() + more;
    if (needed <= body.capacity()) {
        return;
    }
    body.reserve(needed > kWholeCapAbove ? cap
                                         : std::min(cap, std::max(needed, 2 * body.capacity())));
}

}  // namespace

std::string ShownURL(const std::string& url) {
    const size_t scheme = url.find("://");
    if (scheme == std::string::npos) {
        return url;
    }
    const size_t end = std::min(url.find('/', scheme + 3), url.size());
    const size_t at = url.rfind('@', end == 0 ? 0 : end - 1);
    if (at == std::string::npos || at < scheme + 3) {
        return url;
    }
    return url.substr(0, scheme + 3) + url.substr(at + 1);
}

HttpChannel::HttpChannel(const ChannelSettings& settings) : settings_(settings) {}

HttpChannel::~HttpChannel() = default;

HttpChannel::Connection& HttpChannel::ConnectionFor(const std::string& origin) {
    auto found = connections_.find(origin);
    if (found == connections_.end()) {
        auto client = std::make_unique<httplib::Client>(origin);
        client->set_keep_alive(true);
        client->set_tcp_nodelay(true);
        const auto seconds = [](int ms) { return ms / 1000; };
        const auto micros = [](int ms) { return (ms % 1000) * 1000; };
        client->set_connection_timeout(seconds(settings_.connectMs), micros(settings_.connectMs));
        client->set_read_timeout(seconds(settings_.readMs), micros(settings_.readMs));
        client->set_write_timeout(seconds(settings_.readMs), micros(settings_.readMs));
        tls::RequireTrustedService(*client, settings_.caFile);
        found = connections_.emplace(origin, Connection{std::move(client), {}}).first;
    }
    return found->second;
}

Reply HttpChannel::Post(const std::string& url, const std::string& body) {
    const Target target = Split(url);
    Connection& connection = ConnectionFor(target.origin);
    httplib::Client& client = *connection.client;
    if (!client.is_valid()) {
        throw RequestRefused("The service URL \"" + target.shown + "\" cannot be used");
    }
    // A connection the service may be closing because it sat idle is not used again.
    if (Watchdog::Clock::now() - connection.lastUsed >
        std::chrono::milliseconds(settings_.idleMs)) {
        client.stop();
    }
    const size_t cap = static_cast<size_t>(settings_.answerMaxBytes);
    Reply reply;
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
        reply.tooLarge = length > cap;
        if (response.get_header_value("Content-Encoding") == "zstd") {
            zstd.emplace();
        } else if (!reply.tooLarge) {
            reply.body.reserve(std::min<size_t>(cap, length + kAnswerRoom));
        }
        return !reply.tooLarge;
    };
    const auto keep = [&](const char* data, size_t size) {
        reply.tooLarge = reply.body.size() + size > cap;
        if (reply.tooLarge) {
            return false;
        }
        MakeRoom(reply.body, size, cap);
        reply.body.append(data, size);
        return true;
    };
    request.content_receiver = [&](const char* data, size_t size, uint64_t, uint64_t) {
        if (!zstd) {
            return keep(data, size);
        }
        if (reply.body.capacity() < kAnswerRoom) {
            // The frame says how large the answer is: room for it at once.
            reply.body.reserve(std::min(cap, ZstdDecoder::DecodedSize(data, size) + kAnswerRoom));
        }
        return zstd->Add(data, size, keep);
    };
    httplib::Response response;
    httplib::Error error = httplib::Error::Success;
    bool answered = false;
    bool late = false;
    {
        SigpipeGuard quiet;
        watchdog_.Arm(Watchdog::Clock::now() + std::chrono::milliseconds(settings_.readMs),
                      [&client] { client.stop(); });
        answered = client.send(request, response, error);
        // Cut off at the deadline, an answer may look complete but is not.
        late = watchdog_.Disarm();
        if (late || !answered) {
            client.stop();  // a connection left mid-answer is not used again
        }
    }
    connection.lastUsed = Watchdog::Clock::now();
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
        reply.insecure = tls::UntrustedText(error, target.origin, settings_.caFile,
                                            "ca_file in Corvexdll64.conf");
    }
    return reply;
}

}  // namespace corvex
