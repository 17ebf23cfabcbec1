#include "service/server.h"

#include <exception>
#include <nlohmann/json.hpp>
#include <optional>
#include <string_view>

#include "base/request_paths.h"
#include "base/text.h"
#include "service/mandates.h"
#include "service/order_table.h"
#include "service/orders.h"
#include "service/queries.h"
#include "service/service_log.h"
#include "service/user_table.h"
#include "service/user_types.h"

namespace svc {
namespace {

using Handler = std::string (*)(Store&, const RequestHeader&, const Fields&);

struct Endpoint {
    int code;
    Handler handler;
    const char* path = base::PathOfRequest(code);
};

const Endpoint kEndpoints[] = {
    {91, WatchList},  {92, IssueDetails}, {93, OrderBook},
    {94, PlaceOrder}, {95, CancelOrder},  {96, UserDetails},
};

constexpr std::string_view kClients = "/clients/";
constexpr std::string_view kMandate = "/upi/mandate";

HttpReply& Fill(HttpReply& reply, int status, const nlohmann::json& body) {
    reply.status = status;
    reply.body = body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    return reply;
}

HttpReply& FillError(HttpReply& reply, int status, int result, const std::string& message) {
    reply.result = result;
    return Fill(reply, status, {{"result", result}, {"accepted", false}, {"message", message}});
}

std::string ErrorText(int status) {
    switch (status) {
        case 400:
            return "The request's length is given more than one way; it is refused and the "
                   "connection closed";
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
    HttpReply reply;
    return FillError(reply, status, ErrorResult(status), ErrorText(status));
}

// The body's user must be the session's: nobody acts under another user's name.
void CheckClaim(const Session& session, const RequestHeader& header) {
    if (header.userId != session.userId || header.userType != session.userType) {
        throw RequestError(403, kResultRefused,
                           base::Format("The request names user %s of type %d, but the session "
                                        "belongs to %s of type %d",
                                        header.userId.c_str(), header.userType,
                                        session.userId.c_str(), session.userType));
    }
}

// The payer's UPI app accepts or declines the mandate of one of the payer's applications.
nlohmann::json AnswerMandate(Store& store, const Session& session, const Fields& fields) {
    if (session.userType == kDealer) {
        throw RequestError(403, kResultRefused, "Only the payer answers a UPI mandate");
    }
    const std::string application =
        fields.RequiredText("application_number", width::kApplicationNumber);
    const std::optional<bool> accept = MandateAnswer(fields.RequiredText("decision", 7));
    if (!accept) {
        throw BadRequest("Field decision must be accept or decline");
    }
    const std::string payer = UserTable(store).OwnClientOf(session.userId).clientId;
    const std::optional<int64_t> order = OrderTable(store).OrderNumberOf(application);
    MandateDecision decision;
    try {
        // Another client's application is as unknown to the payer as one that does not exist.
        decision = DecideMandate(store, order.value_or(0), *accept, payer);
    } catch (const std::invalid_argument&) {
        throw RequestError(404, kResultNotFound, "Application " + application + " not found");
    }
    return {{"result", 0},
            {"accepted", decision.done},
            {"message", decision.message},
            {"payment_status", decision.paymentStatus}};
}

// The order a request placed, modified or cancelled, for the access log (0: none).
int64_t OrderOf(int code, const Fields& fields, const std::string& answer) {
    if (code != 94 && code != 95) {
        return 0;
    }
    // Read after the change was committed: what the log cannot name must not fail the answer.
    try {
        const Body body(answer);
        const std::vector<Fields> records = body.Root().Objects("records", SIZE_MAX);
        if (!records.empty()) {
            if (const int64_t order = records[0].Integer("order_number", 0, INT64_MAX)) {
                return order;
            }
        }
    } catch (const RequestError&) {
    }
    try {
        return fields.Integer("order_number", 0, INT32_MAX);
    } catch (const RequestError&) {
        return 0;
    }
}

}  // namespace

IPOServer::IPOServer(Store& store, Sessions& sessions, const HttpLimits& limits)
    : store_(store),
      sessions_(sessions),
      orders_(store),
      http_(
          limits, [this](const HttpRequest& request) { return Dispatch(request); }, Refusal,
          LogAccess) {}

int IPOServer::Bind(const std::string& host, int port) {
    return http_.Listen(host, port);
}

HttpReply IPOServer::Dispatch(const HttpRequest& request) {
    HttpReply reply;
    try {
        return ServeRequest(request, reply);
    } catch (const RequestError& error) {
        return FillError(reply, error.Status(), error.Result(), error.what());
    } catch (const StoreLost& error) {
        LogAudit(std::string("store lost: ") + error.what());
        return FillError(reply, 503, kResultInternal,
                         std::string("The IPO store is unavailable: ") + error.what());
    } catch (const StoreError& error) {
        // A damaged store is the service's failure, never an answer about the data.
        LogAudit(std::string("store failed: ") + error.what());
        return FillError(reply, 500, kResultInternal,
                         std::string("The IPO store failed: ") + error.what());
    } catch (const std::exception&) {
        return FillError(reply, 500, kResultInternal, "The IPO service failed");
    }
}

HttpReply IPOServer::ServeRequest(const HttpRequest& request, HttpReply& reply) {
    for (const Endpoint& endpoint : kEndpoints) {
        if (request.path != endpoint.path || request.method != "POST") {
            continue;
        }
        reply.code = std::to_string(endpoint.code);
        // The body is read first, on the transport's thread: that takes no store, and the order
        // queue runs its requests' work one at a time. A body that cannot be read is refused
        // once the session has been checked, so that a request without one is told to sign in.
        std::optional<Body> body;
        RequestHeader header;
        std::exception_ptr unreadable;
        try {
            body.emplace(request.body);
            header = RequestHeader::Read(body->Root());
            if (header.code != endpoint.code) {
                throw BadRequest(base::Format("Request code %d is not served at %s", header.code,
                                              endpoint.path));
            }
        } catch (...) {
            unreadable = std::current_exception();
        }
        const Fields fields = body ? body->Root() : Fields();
        // Placing, modifying and cancelling run in the order queue, under the lock its
        // committer holds; everything else takes the store's lock for itself and reads one
        // snapshot of the store.
        const bool changes = endpoint.code == 94 || endpoint.code == 95;
        const auto serve = [&]() -> std::string {
            const auto finding = std::chrono::steady_clock::now();
            const Session session = sessions_.Authenticate(request.authorization);
            reply.stages.session = MillisSince(finding);
            reply.user = session.userId;
            if (unreadable) {
                std::rethrow_exception(unreadable);
            }
            const auto working = std::chrono::steady_clock::now();
            CheckClaim(session, header);
            std::string answer = endpoint.handler(store_, header, fields);
            reply.stages.work = MillisSince(working);
            return answer;
        };
        if (changes) {
            reply.body = orders_.Run(serve, &reply.stages);
        } else {
            auto lock = store_.Lock();
            const ReadSnapshot snapshot(store_);
            reply.body = serve();
        }
        reply.order = OrderOf(endpoint.code, fields, reply.body);
        return reply;
    }
    if (request.path == "/session") {
        reply.code = "session";
        if (request.method == "POST") {
            const Body body(request.body);
            const Fields fields = body.Root();
            reply.user = fields.RequiredText("user_id", width::kUserId);
            const std::string password = fields.RequiredText("password", kMaxPasswordLength);
            return Fill(reply, 200, sessions_.SignIn(reply.user, password, request.remote));
        }
        if (request.method == "DELETE") {
            auto lock = store_.Lock();
            reply.user = sessions_.Authenticate(request.authorization).userId;
            sessions_.SignOut(request.authorization);
            return Fill(reply, 200, {{"result", 0}, {"message", "Signed out"}});
        }
        return FillError(reply, 405, kResultBadRequest, ErrorText(405));
    }
    if (request.method == "GET" && request.path.rfind(kClients, 0) == 0 &&
        request.path.find('/', kClients.size()) == std::string::npos &&
        request.path.size() > kClients.size()) {
        reply.code = "client";
        auto lock = store_.Lock();
        const Session session = sessions_.Authenticate(request.authorization);
        reply.user = session.userId;
        if (session.userType != kDealer) {
            throw RequestError(403, kResultRefused, "Only a dealer looks clients up");
        }
        return Fill(reply, 200,
                    ClientLookup(store_, request.path.substr(kClients.size()), session.userId));
    }
    if (request.path == kMandate) {
        if (request.method != "POST") {
            return FillError(reply, 405, kResultBadRequest, ErrorText(405));
        }
        reply.code = "mandate";
        auto lock = store_.Lock();
        const Session session = sessions_.Authenticate(request.authorization);
        reply.user = session.userId;
        const Body body(request.body);
        return Fill(reply, 200, AnswerMandate(store_, session, body.Root()));
    }
    if (request.method == "GET" && request.path == "/health") {
        return Fill(reply, 200, {{"result", 0}, {"status", "ok"}});
    }
    return FillError(reply, 404, kResultNotFound, ErrorText(404));
}

}  // namespace svc
