#include "service/http_server.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netdb.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

#include "service/answer_coding.h"
#include "service/tls_renegotiation.h"

namespace svc {

struct HttpServer::Exchange {
    HttpRequest request;
    HttpReply reply;  // its body as sent: compressed when the client asked and it is large
    std::string acceptEncoding;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    bool tooLarge = false;
    bool answered = false;
};

namespace {

using Clock = std::chrono::steady_clock;

std::string PeerAddress(MHD_Connection* connection) {
    const MHD_ConnectionInfo* info =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    if (!info || !info->client_addr) {
        return "-";
    }
    char text[INET6_ADDRSTRLEN] = "-";
    const sockaddr* address = info->client_addr;
    if (address->sa_family == AF_INET) {
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text,
                  sizeof text);
    } else if (address->sa_family == AF_INET6) {
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr, text,
                  sizeof text);
    }
    return text;
}

std::string Header(MHD_Connection* connection, const char* name) {
    const char* value = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, name);
    return value ? value : "";
}

// An announced body length above `limit` (or one that is not a number).
bool AnnouncedTooLarge(MHD_Connection* connection, size_t limit) {
    const std::string length = Header(connection, MHD_HTTP_HEADER_CONTENT_LENGTH);
    if (length.empty()) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(length.c_str(), &end, 10);
    return errno != 0 || *end != '\0' || value > limit;
}

// What decides where a request's body ends, as the header lines carry it.
struct Framing {
    int lengths = 0;         // Content-Length lines
    int codings = 0;         // Transfer-Encoding lines
    bool malformed = false;  // a blank in a header name, or a folded line
};

// The HTTP library parses each header line in place: the name, then (where the colon was) its
// end, blanks, and the value. A folded line it glues onto the name, which then lies elsewhere
// in its memory: a name not directly followed by its value came from a folded line.
bool ValueFollowsName(const char* name, const char* value) {
    const char* after = name + std::strlen(name) + 1;
    while (after < value && (*after == ' ' || *after == '\t')) {
        ++after;
    }
    return after == value;
}

MHD_Result CountFraming(void* framing, MHD_ValueKind, const char* name, const char* value) {
    Framing& found = *static_cast<Framing*>(framing);
    found.lengths += strcasecmp(name, MHD_HTTP_HEADER_CONTENT_LENGTH) == 0 ? 1 : 0;
    found.codings += strcasecmp(name, MHD_HTTP_HEADER_TRANSFER_ENCODING) == 0 ? 1 : 0;
    found.malformed =
        found.malformed || std::strpbrk(name, " \t") != nullptr || !ValueFollowsName(name, value);
    return MHD_YES;
}

// True when the body could be framed more than one way, or the header lines are malformed.
bool AmbiguousFraming(MHD_Connection* connection) {
    Framing framing;
    MHD_get_connection_values(connection, MHD_HEADER_KIND, &CountFraming, &framing);
    return framing.malformed || framing.lengths > 1 || framing.codings > 1 ||
           (framing.lengths > 0 && framing.codings > 0);
}

MHD_Result Queue(MHD_Connection* connection, HttpServer::Exchange& exchange, HttpReply reply,
                 bool close = false) {
    exchange.reply = std::move(reply);
    exchange.answered = true;
    const std::string coding = Encode(exchange.acceptEncoding, exchange.reply.body);
    MHD_Response* response = MHD_create_response_from_buffer_with_free_callback_cls(
        exchange.reply.body.size(), exchange.reply.body.data(), nullptr, nullptr);
    if (!response) {
        return MHD_NO;
    }
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, "application/json");
    if (!coding.empty()) {
        MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_ENCODING, coding.c_str());
        MHD_add_response_header(response, MHD_HTTP_HEADER_VARY, MHD_HTTP_HEADER_ACCEPT_ENCODING);
    }
    if (close) {
        MHD_add_response_header(response, MHD_HTTP_HEADER_CONNECTION, "close");
    }
    const MHD_Result queued =
        MHD_queue_response(connection, static_cast<unsigned>(exchange.reply.status), response);
    MHD_destroy_response(response);
    return queued;
}

MHD_Result OnRequest(void* self, MHD_Connection* connection, const char* url, const char* method,
                     const char*, const char* upload, size_t* uploadSize, void** context) {
    const HttpServer& server = *static_cast<HttpServer*>(self);
    auto* exchange = static_cast<HttpServer::Exchange*>(*context);
    const HttpLimits& limits = server.Limits();
    if (!exchange) {
        exchange = new HttpServer::Exchange;
        *context = exchange;
        exchange->request.method = method;
        exchange->request.path = url;
        exchange->request.authorization = Header(connection, MHD_HTTP_HEADER_AUTHORIZATION);
        exchange->request.remote = PeerAddress(connection);
        exchange->acceptEncoding = Header(connection, MHD_HTTP_HEADER_ACCEPT_ENCODING);
        if (AmbiguousFraming(connection)) {
            return Queue(connection, *exchange, server.Refuse(400), true);
        }
        if (AnnouncedTooLarge(connection, limits.maxBodyBytes)) {
            return Queue(connection, *exchange, server.Refuse(413));
        }
        return MHD_YES;
    }
    if (*uploadSize > 0) {
        if (Clock::now() - exchange->start > std::chrono::seconds(limits.requestSeconds)) {
            return MHD_NO;  // a body dribbling in for longer than a request may take
        }
        if (!exchange->tooLarge &&
            exchange->request.body.size() + *uploadSize > limits.maxBodyBytes) {
            // A chunked body that outgrows the limit: nothing more is kept.
            exchange->tooLarge = true;
            std::string().swap(exchange->request.body);
        }
        if (!exchange->tooLarge) {
            exchange->request.body.append(upload, *uploadSize);
        }
        *uploadSize = 0;
        return MHD_YES;
    }
    if (exchange->answered) {
        return MHD_YES;
    }
    if (exchange->tooLarge) {
        return Queue(connection, *exchange, server.Refuse(413));
    }
    return Queue(connection, *exchange, server.Handle(exchange->request));
}

void OnCompleted(void* self, MHD_Connection*, void** context, MHD_RequestTerminationCode) {
    auto* exchange = static_cast<HttpServer::Exchange*>(*context);
    if (exchange) {
        static_cast<HttpServer*>(self)->Finish(*exchange);
        delete exchange;
        *context = nullptr;
    }
}

// A TLS connection is watched for a client's renegotiation from its start to its close.
void OnConnection(void*, MHD_Connection* connection, void** context,
                  MHD_ConnectionNotificationCode event) {
    if (event == MHD_CONNECTION_NOTIFY_STARTED) {
        *context = WatchForRenegotiation(connection);
    } else {
        StopWatching(*context);
        *context = nullptr;
    }
}

}  // namespace

HttpServer::HttpServer(const HttpLimits& limits, Handler handler, Refusal refusal, Done done)
    : limits_(limits),
      handler_(std::move(handler)),
      refusal_(std::move(refusal)),
      done_(std::move(done)) {}

HttpServer::~HttpServer() {
    Stop();
    if (listener_ >= 0) {
        close(listener_);
    }
}

int HttpServer::Listen(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string where = host + ":" + std::to_string(port);
    if (const int failed =
            getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found)) {
        throw std::runtime_error("cannot listen on " + where + ": " + gai_strerror(failed));
    }
    const int fd = socket(found->ai_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    // SO_REUSEADDR only: a restart may take the port over from connections in TIME_WAIT, but
    // never from a listener; without SO_REUSEPORT a second service cannot share the port.
    const int on = 1;
    const bool bound = fd >= 0 && setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) == 0 &&
                       bind(fd, found->ai_addr, found->ai_addrlen) == 0 && listen(fd, 511) == 0;
    const int error = errno;
    ipv6_ = found->ai_family == AF_INET6;
    freeaddrinfo(found);
    if (!bound) {
        if (fd >= 0) {
            close(fd);
        }
        throw std::runtime_error(error == EADDRINUSE
                                     ? "cannot listen on " + where +
                                           ": the port is in use (is another service running?)"
                                     : "cannot listen on " + where + ": " + std::strerror(error));
    }
    listener_ = fd;
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.ss_family == AF_INET6
                     ? reinterpret_cast<const sockaddr_in6*>(&address)->sin6_port
                     : reinterpret_cast<const sockaddr_in*>(&address)->sin_port);
}

void HttpServer::UseTls(const std::string& certificatePem, const std::string& keyPem,
                        const std::string& priorities) {
    if (MHD_is_feature_supported(MHD_FEATURE_TLS) != MHD_YES) {
        throw std::runtime_error("this build of the HTTP library has no TLS support");
    }
    certificate_ = certificatePem;
    key_ = keyPem;
    priorities_ = priorities;
}

void HttpServer::Start() {
    unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL;
    if (ipv6_) {
        flags |= MHD_USE_IPv6;
    }
    const bool tls = !certificate_.empty();
    if (tls) {
        flags |= MHD_USE_TLS;
    }
    daemon_ = MHD_start_daemon(
        flags, 0, nullptr, nullptr, &OnRequest, this, MHD_OPTION_LISTEN_SOCKET, listener_,
        MHD_OPTION_THREAD_POOL_SIZE, limits_.threads, MHD_OPTION_CONNECTION_LIMIT,
        limits_.maxConnections, MHD_OPTION_PER_IP_CONNECTION_LIMIT, limits_.maxConnectionsPerPeer,
        MHD_OPTION_CONNECTION_TIMEOUT, limits_.idleSeconds, MHD_OPTION_CONNECTION_MEMORY_LIMIT,
        limits_.maxHeaderBytes, MHD_OPTION_NOTIFY_COMPLETED, &OnCompleted, this,
        MHD_OPTION_NOTIFY_CONNECTION, &OnConnection, nullptr,
        tls ? MHD_OPTION_HTTPS_MEM_CERT : MHD_OPTION_END, certificate_.c_str(),
        MHD_OPTION_HTTPS_MEM_KEY, key_.c_str(), MHD_OPTION_HTTPS_PRIORITIES, priorities_.c_str(),
        MHD_OPTION_END);
    if (!daemon_) {
        throw std::runtime_error(
            tls ? "cannot start serving: the TLS certificate, key or priorities are not usable"
                : "cannot start serving");
    }
    listener_ = -1;  // the server closes it when it stops
}

void HttpServer::Stop() {
    if (daemon_) {
        MHD_stop_daemon(daemon_);
        daemon_ = nullptr;
    }
}

void HttpServer::Finish(const Exchange& exchange) const {
    if (exchange.answered && done_) {
        const std::chrono::duration<double, std::milli> took = Clock::now() - exchange.start;
        done_(exchange.request, exchange.reply, took.count());
    }
}

}  // namespace svc
