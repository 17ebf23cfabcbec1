#include "service/server.h"

#include <nlohmann/json.hpp>

#include "base/text.h"
#include "service/orders.h"
#include "service/queries.h"

namespace svc {
namespace {

using Handler = std::string (*)(Store&, const RequestHeader&, const Fields&);

struct Endpoint {
    const char* path;
    int code;
    Handler handler;
};

const Endpoint kEndpoints[] = {
    {"/ipo/watchlist", 91, WatchList}, {"/ipo/details", 92, IssueDetails},
    {"/ipo/orderbook", 93, OrderBook}, {"/ipo/order", 94, PlaceOrder},
    {"/ipo/cancel", 95, CancelOrder},  {"/ipo/userdetails", 96, UserDetails},
};

constexpr size_t kWorkerThreads = 32;

void Reply(httplib::Response& response, int status, const nlohmann::json& body) {
    response.status = status;
    response.set_content(body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace),
                         "application/json");
}

void ReplyError(httplib::Response& response, int status, int result, const std::string& message) {
    Reply(response, status, {{"result", result}, {"accepted", false}, {"message", message}});
}

std::string ErrorText(int status) {
    switch (status) {
        case 404:
            return "Unknown path";
        case 405:
            return "Method not allowed";
        case 413:
            return base::Format("Request body is larger than %zu bytes", kMaxBodyBytes);
        default:
            return base::Format("Request refused with HTTP status %d", status);
    }
}

int ErrorResult(int status) {
    switch (status) {
        case 404:
            return kResultNotFound;
        case 413:
            return kResultTooLarge;
        default:
            return status >= 500 ? kResultInternal : kResultBadRequest;
    }
}

}  // namespace

IPOServer::IPOServer(Store& store) : store_(store) {
    server_.new_task_queue = [] { return new httplib::ThreadPool(kWorkerThreads); };
    server_.set_tcp_nodelay(true);
    server_.set_keep_alive_max_count(1'000'000);
    server_.set_keep_alive_timeout(60);
    server_.set_payload_max_length(kMaxBodyBytes);
    Route();
}

int IPOServer::Bind(const std::string& host, int port) {
    if (port == 0) {
        return server_.bind_to_any_port(host);
    }
    return server_.bind_to_port(host, port) ? port : -1;
}

bool IPOServer::Serve() {
    return server_.listen_after_bind();
}

void IPOServer::Route() {
    for (const Endpoint& endpoint : kEndpoints) {
        server_.Post(endpoint.path, [this, endpoint](const httplib::Request& request,
                                                     httplib::Response& response) {
            try {
                const nlohmann::json body = Fields::ParseBody(request.body);
                const Fields fields(body);
                const RequestHeader header = RequestHeader::Read(fields);
                if (header.code != endpoint.code) {
                    throw BadRequest(base::Format("Request code %d is not served at %s",
                                                  header.code, endpoint.path));
                }
                auto lock = store_.Lock();
                response.status = 200;
                response.set_content(endpoint.handler(store_, header, fields), "application/json");
            } catch (const RequestError& error) {
                ReplyError(response, error.Status(), error.Result(), error.what());
            } catch (const StoreError& error) {
                ReplyError(response, 500, kResultInternal,
                           std::string("The IPO store failed: ") + error.what());
            }
        });
    }
    server_.Get(R"(/clients/([^/]+))",
                [this](const httplib::Request& request, httplib::Response& response) {
                    try {
                        auto lock = store_.Lock();
                        Reply(response, 200, ClientLookup(store_, request.matches[1]));
                    } catch (const RequestError& error) {
                        ReplyError(response, error.Status(), error.Result(), error.what());
                    }
                });
    server_.Get("/health", [](const httplib::Request&, httplib::Response& response) {
        Reply(response, 200, {{"result", 0}, {"status", "ok"}});
    });
    server_.set_error_handler([](const httplib::Request&, httplib::Response& response) {
        if (response.body.empty()) {
            ReplyError(response, response.status, ErrorResult(response.status),
                       ErrorText(response.status));
        }
    });
    server_.set_exception_handler(
        [](const httplib::Request&, httplib::Response& response, std::exception_ptr) {
            ReplyError(response, 500, kResultInternal, "The IPO service failed");
        });
}

}  // namespace svc
