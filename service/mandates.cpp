#include "service/mandates.h"

#include <optional>
#include <stdexcept>

#include "base/text.h"
#include "service/clock.h"
#include "service/order_states.h"
#include "service/order_table.h"
#include "service/service_log.h"

namespace svc {

std::string MandateCutOff(const std::string& bidEnd) {
    return bidEnd.substr(0, 10) + " 17:00:00";
}

std::optional<bool> MandateAnswer(const std::string& text) {
    if (text == "accept" || text == "decline") {
        return text == "accept";
    }
    return std::nullopt;
}

MandateDecision DecideMandate(Store& store, int64_t orderNumber, bool accept,
                              const std::string& clientId) {
    OrderTable table(store);
    Transaction transaction(store);
    const std::optional<MandateOrder> order = table.Mandate(orderNumber);
    if (!order || (!clientId.empty() && order->clientId != clientId)) {
        throw std::invalid_argument(
            base::Format("Order %lld not found", static_cast<long long>(orderNumber)));
    }
    const char* application = order->applicationNumber.c_str();
    MandateDecision decision{false, "", order->paymentStatus};
    if (order->paymentMode != payment_mode::kUpi) {
        decision.message = base::Format("Application %s is not paid by UPI", application);
        return decision;
    }
    if (!Allows(TransitionOf(OrderAction::Mandate), order->status) ||
        order->paymentStatus != payment_status::kPending) {
        decision.message = base::Format("Application %s has no pending mandate", application);
        return decision;
    }
    const std::string now = NowText();
    const std::string cutOff = MandateCutOff(order->bidEnd);
    std::string audit;
    if (now > cutOff) {
        decision.paymentStatus = payment_status::kFailed;
        decision.message = base::Format("The mandate of application %s expired at %s", application,
                                        cutOff.c_str());
        audit = "expired";
    } else {
        decision.done = true;
        decision.paymentStatus = accept ? payment_status::kSucceeded : payment_status::kFailed;
        decision.message =
            base::Format("Mandate of application %s for %s %s", application,
                         base::Hundredths(order->amount).c_str(), accept ? "accepted" : "declined");
        audit = accept ? "accepted" : "declined";
    }
    table.SetPaymentStatus(orderNumber, decision.paymentStatus, now);
    transaction.Commit();
    LogAudit(base::Format("order=%lld mandate %s payment=%s->%s by=%s",
                          static_cast<long long>(orderNumber), audit.c_str(),
                          order->paymentStatus.c_str(), decision.paymentStatus.c_str(),
                          clientId.empty() ? "operator" : clientId.c_str()));
    return decision;
}

}  // namespace svc
