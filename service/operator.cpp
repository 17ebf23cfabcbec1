#include "service/operator.h"

#include <stdexcept>

#include "base/text.h"
#include "service/clock.h"

namespace svc {

const char* const kOperatorUsage =
    "  order <number> confirm              pending or modified -> CF\n"
    "  order <number> reject <reason>      pending or modified -> REJ with the reason\n"
    "  order <number> cancel               -> A (cancelled by the administrator)\n"
    "  order <number> exchange-cancel      -> C (cancelled by the exchange)\n"
    "  order <number> allot <quantity>     confirmed: allotted quantity, refund of the rest\n"
    "  order <number> payment <P|e|F>      payment status pending, success or failed\n";

namespace {

struct OrderState {
    std::string status;
    int64_t amount = 0;
    int64_t lotSize = 0;
    int64_t priceHigh = 0;
};

OrderState Load(Store& store, int64_t number) {
    Query row = store.Prepare(
        "SELECT o.status, o.amount, i.lot_size, i.price_high FROM orders o "
        "JOIN issues i ON i.issue_key = o.issue_key WHERE o.order_number = ?",
        number);
    if (!row.Next()) {
        throw std::invalid_argument(
            base::Format("order %lld not found", static_cast<long long>(number)));
    }
    return OrderState{row.Text(0), row.Int(1), row.Int(2), row.Int(3)};
}

int64_t LargestBid(Store& store, int64_t number) {
    Query row = store.Prepare(
        "SELECT COALESCE(MAX(quantity), 0) FROM bids WHERE order_number = ? AND active = 1",
        number);
    row.Next();
    return row.Int(0);
}

void RequireStatus(const OrderState& order, std::initializer_list<const char*> allowed,
                   const char* verb) {
    for (const char* status : allowed) {
        if (order.status == status) {
            return;
        }
    }
    throw std::invalid_argument(
        base::Format("an order in status %s cannot be given '%s'", order.status.c_str(), verb));
}

const std::string& Argument(const std::vector<std::string>& words, const char* what) {
    if (words.size() < 3 || words[2].empty()) {
        throw std::invalid_argument(base::Format("'%s' needs %s", words[1].c_str(), what));
    }
    return words[2];
}

void SetStatus(Store& store, int64_t number, const char* status, const std::string& reason) {
    store
        .Prepare(
            "UPDATE orders SET status = ?, rejection_reason = ?, modified_time = ? "
            "WHERE order_number = ?",
            status, reason, NowText(), number)
        .Run();
}

}  // namespace

std::string RunOperatorCommand(Store& store, const std::vector<std::string>& words) {
    if (words.size() < 2) {
        throw std::invalid_argument("usage: order <number> <command> [argument]");
    }
    const int64_t number = base::ToLong(words[0]);
    const std::string& verb = words[1];
    auto lock = store.Lock();
    Transaction transaction(store);
    const OrderState order = Load(store, number);
    if (verb == "confirm") {
        RequireStatus(order, {"P", "M"}, "confirm");
        SetStatus(store, number, "CF", "");
    } else if (verb == "reject") {
        RequireStatus(order, {"P", "M"}, "reject");
        SetStatus(store, number, "REJ", Argument(words, "a reason"));
    } else if (verb == "cancel") {
        RequireStatus(order, {"P", "M", "CF"}, "cancel");
        SetStatus(store, number, "A", "");
    } else if (verb == "exchange-cancel") {
        RequireStatus(order, {"P", "M", "CF"}, "exchange-cancel");
        SetStatus(store, number, "C", "");
    } else if (verb == "allot") {
        RequireStatus(order, {"CF"}, "allot");
        const std::string& text = Argument(words, "a quantity");
        const int64_t quantity = base::ToLong(text);
        if (quantity < 0 || base::Format("%lld", static_cast<long long>(quantity)) != text) {
            throw std::invalid_argument("allotted quantity must be a whole number");
        }
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
    } else if (verb == "payment") {
        const std::string& status = Argument(words, "a payment status");
        if (status != "P" && status != "e" && status != "F") {
            throw std::invalid_argument("payment status must be P, e or F");
        }
        store
            .Prepare(
                "UPDATE orders SET payment_status = ?, modified_time = ? WHERE order_number = ?",
                status, NowText(), number)
            .Run();
    } else {
        throw std::invalid_argument("unknown order command '" + verb + "'");
    }
    transaction.Commit();
    return base::Format("order %lld: %s done", static_cast<long long>(number), verb.c_str());
}

}  // namespace svc
