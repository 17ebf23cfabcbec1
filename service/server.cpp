#include "service/server.h"

#include <nlohmann/json.hpp>
#include <string_view>

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

HttpReply Reply(int status, const nlohmann::json& body) {
    return HttpReply{status, body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace),
                     ""};
}

HttpReply ReplyError(int status, int result, const std::string& message) {
    HttpReply reply =
        Reply(status, {{"result", result}, {"accepted", false}, {"message", message}});
    reply.note = "result=" + std::to_string(result);
    return reply;
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

HttpReply Refusal(int status) {
    return ReplyError(status, ErrorResult(status), ErrorText(status));
}

}  // namespace

IPOServer::IPOServer(Store& store, const HttpLimits& limits)
    : store_(store),
      http_(
          limits, [this](const HttpRequest& request) { return Dispatch(request); }, Refusal,
          nullptr) {}

int IPOServer::Bind(const std::string& host, int port) {
    return http_.Listen(host, port);
}

HttpReply IPOServer::Dispatch(const HttpRequest& request) {
    try {
        for (const Endpoint& endpoint : kEndpoints) {
            if (request.path != endpoint.path || request.method != "POST") {
                continue;
            }
            const nlohmann::json body = Fields::ParseBody(request.body);
            const Fields fields(body);
            const RequestHeader header = RequestHeader::Read(fields);
            if (header.code != endpoint.code) {
                throw BadRequest(
                    base::Format("Request code %d is not served at %s", header.code, endpoint.path));
            }
            auto lock = store_.Lock();
            HttpReply reply{200, endpoint.handler(store_, header, fields), "result=0"};
            return reply;
        }
        constexpr std::string_view kClients = "/clients/";
        if (request.method == "GET" && request.path.rfind(kClients, 0) == 0 &&
            request.path.find('/', kClients.size()) == std::string::npos &&
            request.path.size() > kClients.size()) {
            auto lock = store_.Lock();
            return Reply(200, ClientLookup(store_, request.path.substr(kClients.size())));
        }
        if (request.method == "GET" && request.path == "/health") {
            return Reply(200, {{"result", 0}, {"status", "ok"}});
        }
        return Refusal(404);
    } catch (const RequestError& error) {
        return ReplyError(error.Status(), error.Result(), error.what());
    } catch (const StoreError& error) {
        return ReplyError(500, kResultInternal,
                          std::string("The IPO store failed: ") + error.what());
    } catch (const std::exception&) {
        return ReplyError(500, kResultInternal, "The IPO service failed");
    }
}

}  // namespace svc
