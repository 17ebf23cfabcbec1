// The HTTP face of the service: sign-in and sign-out, one POST endpoint per request code, the
// client lookup the host uses for its message 108, and a health check. Every answer is a JSON
// object; every request but sign-in and the health check needs a session.
#pragma once

#include <memory>
#include <string>

#include "service/http_server.h"
#include "service/limits.h"
#include "service/placing.h"
#include "service/sessions.h"
#include "service/store.h"

namespace svc {

class IPOServer {
  public:
    // Each answered request is written to the access log (service_log.h) when one is open.
    IPOServer(Store& store, Sessions& sessions, const HttpLimits& limits = HttpLimits());
    // Takes host:port (port 0: any free port) and gives the port; throws std::runtime_error
    // saying why it cannot.
    int Bind(const std::string& host, int port);
    // Serves from now on, in the transport's own threads, until Stop().
    void Serve() { http_.Start(); }
    void Stop() { http_.Stop(); }
    HttpServer& Transport() { return http_; }

  private:
    HttpReply Dispatch(const HttpRequest& request);
    HttpReply ServeRequest(const HttpRequest& request, HttpReply& reply);

    Store& store_;
    Sessions& sessions_;
    // Placing, modifying and cancelling go through it; declared before the transport so that it
    // outlives the threads that wait on it.
    OrderQueue orders_;
    HttpServer http_;
};

}  // namespace svc
