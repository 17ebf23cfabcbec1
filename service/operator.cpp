#include "service/operator.h"

#include <algorithm>
#include <climits>
#include <stdexcept>

#include "base/text.h"
#include "service/clock.h"
#include "service/mandates.h"
#include "service/order_states.h"
#include "service/order_table.h"
#include "service/service_log.h"

namespace svc {

const char* const kOperatorUsage =
    "  order <number> confirm              pending or modified -> CF\n"
    "  order <number> reject <reason>      pending or modified -> REJ with the reason\n"
    "  order <number> cancel               -> A (cancelled by the administrator)\n"
    "  order <number> exchange-cancel      -> C (cancelled by the exchange)\n"
    "  order <number> allot <quantity>     confirmed: allotted quantity, refund of the rest\n"
    "  order <number> payment <P|e|F>      live (P, M, CF): payment pending, success or failed\n"
    "  order <number> mandate <accept|decline>\n"
    "                                      a test payer's answer to the UPI mandate\n";

namespace {

struct OrderState {
    std::string status;
    std::string paymentMode;
    int64_t amount = 0;
    int64_t lotSize = 0;
    int64_t priceHigh = 0;
};

OrderState Load(Store& store, int64_t number) {
    Query row = store.Prepare(
        "SELECT o.status, o.payment_mode, o.amount, i.lot_size, i.price_high FROM orders o "
        "JOIN issues i ON i.issue_key = o.issue_key WHERE o.order_number = ?",
        number);
    if (!row.Next()) {
        throw std::invalid_argument(
            base::Format("order %lld not found", static_cast<long long>(number)));
    }
    return OrderState{row.Text(0), row.Text(1), row.Int(2), row.Int(3), row.Int(4)};
}

int64_t LargestBid(Store& store, int64_t number) {
    Query row = store.Prepare(
        "SELECT COALESCE(MAX(quantity), 0) FROM bids WHERE order_number = ? AND active = 1",
        number);
    row.Next();
    return row.Int(0);
}

// The operator's words for the order actions (order_states.h says what each may do).
struct Command {
    const char* verb;
    OrderAction action;
};

const Command kCommands[] = {
    {"confirm", OrderAction::Confirm},       {"reject", OrderAction::Reject},
    {"cancel", OrderAction::OperatorCancel}, {"exchange-cancel", OrderAction::ExchangeCancel},
    {"allot", OrderAction::Allot},           {"payment", OrderAction::Payment},
    {"mandate", OrderAction::Mandate},
};

OrderAction Find(const std::string& verb) {
    for (const Command& command : kCommands) {
        if (verb == command.verb) {
            return command.action;
        }
    }
    throw std::invalid_argument("unknown order command '" + verb + "'");
}

void RequireStatus(const OrderState& order, const OrderTransition& transition,
                   const std::string& verb) {
    if (!Allows(transition, order.status)) {
        throw std::invalid_argument(base::Format("an order in status %s cannot be given '%s'",
                                                 order.status.c_str(), verb.c_str()));
    }
}

// A whole number from `low` to `high` written in plain decimal digits, nothing else.
int64_t StrictNumber(const std::string& text, int64_t low, int64_t high, const char* what) {
    int64_t value = 0;
    bool fits = !text.empty() && text.size() <= 18;
    for (const char c : text) {
        fits = fits && c >= '0' && c <= '9';
        value = fits ? value * 10 + (c - '0') : 0;
    }
    if (!fits || value < low || value > high) {
        throw std::invalid_argument(
            base::Format("%s must be a whole number from %lld to %lld, not '%s'", what,
                         static_cast<long long>(low), static_cast<long long>(high), text.c_str()));
    }
    return value;
}

const std::string& Argument(const std::vector<std::string>& words, const char* what) {
    if (words.size() < 3 || words[2].empty()) {
        throw std::invalid_argument(base::Format("'%s' needs %s", words[1].c_str(), what));
    }
    return words[2];
}

// The test payer's answer to an order's UPI mandate; refused when the mandate is not pending or
// has expired.
std::string DecideAsPayer(Store& store, int64_t number, const std::vector<std::string>& words) {
    const std::string& answer = Argument(words, "accept or decline");
    const std::optional<bool> accept = MandateAnswer(answer);
    if (!accept) {
        throw std::invalid_argument("'mandate' takes accept or decline, not '" + answer + "'");
    }
    auto lock = store.Lock();
    const MandateDecision decision = DecideMandate(store, number, *accept, "");
    if (!decision.done) {
        throw std::invalid_argument(decision.message);
    }
    return decision.message;
}

void SetStatus(Store& store, int64_t number, const char* status, const std::string& reason) {
    store
        .Prepare(
            "UPDATE orders SET status = ?, rejection_reason = ?, modified_time = ? "
            "WHERE order_number = ?",
            status, reason, NowText(), number)
        .Run();
}

void SetPayment(Store& store, int64_t number, const std::string& status) {
    OrderTable(store).SetPaymentStatus(number, status, NowText());
}

}  // namespace

std::string RunOperatorCommand(Store& store, const std::vector<std::string>& words) {
    if (words.size() < 2) {
        throw std::invalid_argument("usage: order <number> <command> [argument]");
    }
    const int64_t number = StrictNumber(words[0], 1, INT32_MAX, "the order number");
    const std::string& verb = words[1];
    const OrderAction action = Find(verb);
    if (action == OrderAction::Mandate) {
        return DecideAsPayer(store, number, words);
    }
    const OrderTransition& transition = TransitionOf(action);
    auto lock = store.Lock();
    Transaction transaction(store);
    const OrderState order = Load(store, number);
    RequireStatus(order, transition, verb);
    std::string audit =
        base::Format("order=%lld operator %s", static_cast<long long>(number), verb.c_str());
    if (transition.to) {
        const bool reasoned = action == OrderAction::Reject;
        SetStatus(store, number, transition.to, reasoned ? Argument(words, "a reason") : "");
        audit += base::Format(" status=%s->%s", order.status.c_str(), transition.to);
        // The exchange's confirmation of an ASBA order means its bank has blocked the amount.
        if (action == OrderAction::Confirm && order.paymentMode == payment_mode::kAsba) {
            SetPayment(store, number, payment_status::kSucceeded);
            audit += base::Format(" payment=%s", payment_status::kSucceeded);
        }
    } else if (action == OrderAction::Allot) {
        const int64_t quantity =
            StrictNumber(Argument(words, "a quantity"), 0, INT32_MAX, "the allotted quantity");
        if (quantity > LargestBid(store, number) ||
            (order.lotSize > 0 && quantity % order.lotSize != 0)) {
            throw std::invalid_argument(
                "allotted quantity must be whole lots and no more than the largest bid");
        }
        const int64_t refund = std::max<int64_t>(0, order.amount - quantity * order.priceHigh);
        store
            .Prepare(
                "UPDATE orders SET allotted_quantity = ?, refund = ?, modified_time = ? "
                "WHERE order_number = ?",
                quantity, refund, NowText(), number)
            .Run();
        audit += base::Format(" status=%s allotted=%lld refund_paise=%lld", order.status.c_str(),
                              static_cast<long long>(quantity), static_cast<long long>(refund));
    } else {
        const std::string& status = Argument(words, "a payment status");
        if (!IsOneOf(status, payment_status::kAll)) {
            throw std::invalid_argument("payment status must be P, e or F");
        }
        SetPayment(store, number, status);
        audit += base::Format(" status=%s payment=%s", order.status.c_str(), status.c_str());
    }
    transaction.Commit();
    LogAudit(audit);
    return base::Format("order %lld: %s done", static_cast<long long>(number), verb.c_str());
}

}  // namespace svc
