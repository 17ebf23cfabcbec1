// The HTTP face of the service: one POST endpoint per request code, the client lookup the host
// uses for its message 108, and a health check. Every answer is a JSON object.
#pragma once

#include <httplib.h>

#include <string>

#include "service/store.h"

namespace svc {

// Request bodies above this size are refused.
constexpr size_t kMaxBodyBytes = 1 << 20;

class IPOServer {
  public:
    explicit IPOServer(Store& store);
    // Binds to host:port (port 0: any free port) and returns the port, or -1.
    int Bind(const std::string& host, int port);
    // Serves until Stop(); returns false when serving failed.
    bool Serve();
    void Stop() { server_.stop(); }

  private:
    void Route();

    Store& store_;
    httplib::Server server_;
};

}  // namespace svc
