// The HTTP face of the service: one POST endpoint per request code, the client lookup the host
// uses for its message 108, and a health check. Every answer is a JSON object.
#pragma once

#include <memory>
#include <string>

#include "service/http_server.h"
#include "service/store.h"

namespace svc {

// Request bodies above this size are refused.
constexpr size_t kMaxBodyBytes = 1 << 20;

class IPOServer {
  public:
    explicit IPOServer(Store& store, const HttpLimits& limits = HttpLimits());
    // Takes host:port (port 0: any free port) and gives the port; throws std::runtime_error
    // saying why it cannot.
    int Bind(const std::string& host, int port);
    // Serves from now on, in the transport's own threads, until Stop().
    void Serve() { http_.Start(); }
    void Stop() { http_.Stop(); }
    HttpServer& Transport() { return http_; }

  private:
    HttpReply Dispatch(const HttpRequest& request);

    Store& store_;
    HttpServer http_;
};

}  // namespace svc
