// The service's HTTP transport: an event-driven server (a few polling threads serve every
// connection, so idle or slow connections hold no worker), with every limit enforced while the
// request is still arriving: header bytes, body bytes, idle time and the time a body may take.
// A request whose body could be framed two ways (several lengths, a length beside a transfer
// coding, a header name with white space in it) is refused and its connection closed, so that
// nothing hidden in its body is ever read as a request of its own.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "service/limits.h"
#include "service/request_stages.h"

struct MHD_Daemon;

namespace svc {

// The TLS the service offers unless its settings say otherwise (a GnuTLS priority string):
// TLS 1.2 and 1.3 only, ECDHE key exchange (forward secrecy) and AEAD ciphers only, in the
// server's order of preference. A client's own request to renegotiate is refused in any case
// (see tls_renegotiation.h).
inline constexpr const char* kTlsPriorities =
    "SECURE:%SERVER_PRECEDENCE:-VERS-ALL:+VERS-TLS1.3:+VERS-TLS1.2:"
    "-CIPHER-ALL:+AES-256-GCM:+CHACHA20-POLY1305:+AES-128-GCM:-MAC-ALL:+AEAD:"
    "-KX-ALL:+ECDHE-ECDSA:+ECDHE-RSA";

struct HttpLimits {
    size_t maxBodyBytes = kMaxBodyBytes;
    size_t maxHeaderBytes = 32 * 1024;    // request line and headers together
    unsigned idleSeconds = kIdleSeconds;  // a connection without traffic for this long is closed
    unsigned requestSeconds = 10;         // a body still arriving after this long is dropped
    // Order requests wait in their thread for the group commit, so a batch can hold as many
    // orders as there are threads: with fewer threads than traders placing at once, a trader's
    // order waits for a thread rather than joining the batch.
    unsigned threads = 64;
    unsigned maxConnections = 800;
    // One peer address beyond this many connections is turned away at once, so that it cannot
    // hold every slot.
    unsigned maxConnectionsPerPeer = 64;
};

struct HttpRequest {
    std::string method;
    std::string path;
    std::string authorization;  // the Authorization header
    std::string remote;         // the peer's address
    std::string body;
};

struct HttpReply {
    int status = 200;
    std::string body;  // JSON
    // What the access log says about the request beyond its path and status.
    std::string user;  // the signed-in user, when known
    std::string code;  // the request code ("91".."96"), or what was asked ("session", "client")
    int result = 0;
    int64_t order = 0;  // the order placed, modified or cancelled
    RequestStages stages;
};

class HttpServer {
  public:
    using Handler = std::function<HttpReply(const HttpRequest&)>;
    // The answer to a request refused by the transport (the HTTP status: 400 or 413).
    using Refusal = std::function<HttpReply(int status)>;
    // Called once per answered request with the time it took.
    using Done = std::function<void(const HttpRequest&, const HttpReply&, double ms)>;

    HttpServer(const HttpLimits& limits, Handler handler, Refusal refusal, Done done);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Takes host:port (port 0: a free one) for this server alone and gives the port. Throws
    // std::runtime_error saying why not (a port in use, an unknown address).
    int Listen(const std::string& host, int port);
    // Serves TLS with this certificate chain and key (PEM texts), offering what the GnuTLS
    // priority string `priorities` allows. Throws when TLS is not supported.
    void UseTls(const std::string& certificatePem, const std::string& keyPem,
                const std::string& priorities = kTlsPriorities);
    // Starts the polling threads; throws std::runtime_error when that fails.
    void Start();
    // Stops accepting, closes every connection once its request in progress is answered.
    void Stop();

    // Used by the transport's callbacks.
    struct Exchange;
    const HttpLimits& Limits() const { return limits_; }
    HttpReply Handle(const HttpRequest& request) const { return handler_(request); }
    HttpReply Refuse(int status) const { return refusal_(status); }
    void Finish(const Exchange& exchange) const;

  private:
    HttpLimits limits_;
    Handler handler_;
    Refusal refusal_;
    Done done_;
    int listener_ = -1;
    bool ipv6_ = false;
    std::string certificate_;
    std::string priorities_;
    std::string key_;
    MHD_Daemon* daemon_ = nullptr;
};

}  // namespace svc
