// HTTP requests over WinHTTP, the system's HTTP stack on Windows: TLS 1.2 or 1.3 by the
// system, proxies as the system sets them, connections kept alive by the system, answers asked
// for in gzip and unpacked where WinHTTP can (Wine 8 cannot: no Accept-Encoding there). An https
// service's certificate is checked against the authorities of a PEM file when one is named (the
// system's store otherwise) before the request is sent: WinHTTP's sending callback closes a
// refused request, which Windows then sends nothing of, and its body waits for the check in any
// case. Where the system sends a refused request's head all the same (Wine), a probe carrying
// nothing of the request meets the service first. The companion and the terminal send their
// requests through it on Windows.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace winhttp {

struct Origin {
    bool secure = false;
    std::string host;
    int port = 0;
};

struct Request {
    std::string method;
    std::string path;
    std::string body;   // sent as application/json when not empty
    std::string token;  // sent as "Authorization: Bearer TOKEN" when not empty
};

enum class Outcome {
    Answered,
    Unreachable,         // no answer: refused, reset, unknown host
    Late,                // the deadline passed before the whole answer was read
    Stopped,             // the receiver refused the answer
    Untrusted,           // the certificate is not signed by a trusted authority or not for the host
    CaFileUnreadable,    // the CA file cannot be read
    NoSecureConnection,  // no TLS 1.2 or 1.3 connection could be made
};

// Takes an answer: its announced length (-1 when none is announced), then its body piece by
// piece. Returning false stops the call with Outcome::Stopped.
struct Receiver {
    std::function<bool(int64_t length)> head;
    std::function<bool(const char* data, size_t size)> piece;
};

struct Answer {
    Outcome outcome = Outcome::Unreachable;
    int status = 0;
};

// Why an https service was not trusted, worded as on every platform, for the outcomes of trust
// and of TLS itself (nothing was sent then); empty for any other outcome. `caSetting` names
// where the user sets the CA file.
std::string UntrustedText(Outcome outcome, const std::string& origin, const std::string& caFile,
                          const std::string& caSetting);

class Session {
  public:
    // `caFile`: the PEM file of the authorities that https services are checked against; empty:
    // the system's store.
    explicit Session(std::string caFile);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Sends `request` and reads its whole answer within `deadlineMs`, connecting within
    // `connectMs`. A failed request is not repeated.
    Answer Send(const Origin& origin, const Request& request, int connectMs, int deadlineMs,
                const Receiver& receiver);

  private:
    // A TLS connection to `origin` made for a probe that is closed before it is sent. Judged,
    // its certificate is checked against the CA file's authorities; unjudged, it is taken
    // whoever signed it, which tells a certificate the system refused from a failed TLS
    // connection.
    struct ProbeResult {
        bool reached = false;  // the TLS connection was made
        bool refused = false;  // the authorities do not vouch for its certificate
    };
    ProbeResult Probe(const Origin& origin, int connectMs, bool judged);

    struct Handles;
    std::string caFile_;
    std::unique_ptr<Handles> handles_;
};

}  // namespace winhttp
