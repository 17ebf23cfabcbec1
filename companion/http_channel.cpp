#include "companion/http_channel.h"

#include <httplib.h>

#include <chrono>
#include <cstdlib>

#include "companion/request_encoder.h"

namespace corvex {
namespace {

struct Target {
    std::string origin;  // scheme://host[:port]
    std::string path;
};

Target Split(const std::string& url) {
    const size_t scheme = url.find("://");
    const std::string name = scheme == std::string::npos ? "" : url.substr(0, scheme);
    if (name != "http" && name != "https") {
        throw RequestRefused("The service URL \"" + url + "\" is not an http or https URL");
    }
    const size_t path = url.find('/', scheme + 3);
    Target target{url.substr(0, path), path == std::string::npos ? "/" : url.substr(path)};
    if (target.origin.size() == scheme + 3) {
        throw RequestRefused("The service URL \"" + url + "\" names no host");
    }
    return target;
}

}  // namespace

HttpChannel::HttpChannel(const Timeouts& timeouts) : timeouts_(timeouts) {}

HttpChannel::~HttpChannel() = default;

httplib::Client& HttpChannel::ClientFor(const std::string& origin) {
    auto found = clients_.find(origin);
    if (found == clients_.end()) {
        auto client = std::make_unique<httplib::Client>(origin);
        client->set_keep_alive(true);
        client->set_tcp_nodelay(true);
        const auto seconds = [](int ms) { return ms / 1000; };
        const auto micros = [](int ms) { return (ms % 1000) * 1000; };
        client->set_connection_timeout(seconds(timeouts_.connectMs), micros(timeouts_.connectMs));
        client->set_read_timeout(seconds(timeouts_.readMs), micros(timeouts_.readMs));
        client->set_write_timeout(seconds(timeouts_.readMs), micros(timeouts_.readMs));
        found = clients_.emplace(origin, std::move(client)).first;
    }
    return *found->second;
}

Reply HttpChannel::Post(const std::string& url, const std::string& body) {
    const Target target = Split(url);
    httplib::Client& client = ClientFor(target.origin);
    if (!client.is_valid()) {
        throw RequestRefused("The service URL \"" + url + "\" cannot be used");
    }
    const size_t cap = static_cast<size_t>(timeouts_.answerMaxBytes);
    Reply reply;
    httplib::Request request;
    request.method = "POST";
    request.path = target.path;
    request.body = body;
    request.set_header("Content-Type", "application/json");
    request.response_handler = [&](const httplib::Response& response) {
        const std::string length = response.get_header_value("Content-Length");
        reply.tooLarge = !length.empty() && std::strtoull(length.c_str(), nullptr, 10) > cap;
        return !reply.tooLarge;
    };
    request.content_receiver = [&](const char* data, size_t size, uint64_t, uint64_t) {
        reply.tooLarge = reply.body.size() + size > cap;
        if (reply.tooLarge) {
            return false;
        }
        reply.body.append(data, size);
        return true;
    };
    httplib::Response response;
    httplib::Error error = httplib::Error::Success;
    bool answered = false;
    bool late = false;
    {
        SigpipeGuard quiet;
        watchdog_.Arm(Watchdog::Clock::now() + std::chrono::milliseconds(timeouts_.readMs),
                      [&client] { client.stop(); });
        answered = client.send(request, response, error);
        // Cut off at the deadline, an answer may look complete but is not.
        late = watchdog_.Disarm();
        if (late || !answered) {
            client.stop();  // a connection left mid-answer is not used again
        }
    }
    if (reply.tooLarge) {
        reply.body.clear();
        reply.body.shrink_to_fit();
        return reply;
    }
    if (answered && !late) {
        reply.reached = true;
        reply.status = response.status;
    }
    return reply;
}

}  // namespace corvex
