#include "service/orders.h"

#include <algorithm>
#include <climits>
#include <optional>

#include "base/text.h"
#include "service/clock.h"
#include "service/queries.h"
#include "service/service_log.h"

namespace svc {
namespace {

// A business rule the order breaks; the message goes back to the user.
class Rejection : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The largest price per share the service takes, so that quantity x price fits 64 bits.
constexpr int64_t kMaxPricePaise = 1'000'000'000;

std::string Rupees(int64_t paise) {
    return base::Format("%lld.%02lld", static_cast<long long>(paise / 100),
                        static_cast<long long>(paise % 100));
}

struct Issue {
    std::string key;
    std::string tag;
    int64_t lotSize = 0;
    int64_t minBidQuantity = 0;
    int64_t retailLimit = 0;
    int64_t upiLimit = 0;
    bool open = false;
};

struct Category {
    std::string code;
    int64_t low = 0;
    int64_t high = 0;
    bool cutOff = false;
    bool Retail() const { return code == "RETAIL"; }
};

struct Bid {
    int slot = 0;  // 0, 1 or 2: the bid's place in the request
    std::string action;
    int64_t quantity = 0;
    bool cutOff = false;
    int64_t price = 0;  // paise; the band's top for a cut-off bid
    std::string reference;
    int64_t Amount() const { return quantity * price; }
};

struct OrderRequest {
    std::string flag;
    std::string ipoName;
    std::string issueTag;
    std::string category;
    std::string reference1;
    std::string reference2;
    std::string paymentMode;
    std::string upiId;
    std::string bankName;
    std::string bankAccount;
    int64_t orderNumber = 0;
    std::string applicationNumber;
    std::vector<Bid> bids;  // the slots that carry a quantity
};

OrderRequest ReadOrder(const Fields& fields) {
    OrderRequest order;
    order.flag = fields.RequiredText("order_flag", 2);
    if (order.flag != "N" && order.flag != "M") {
        throw BadRequest("Unknown order flag " + order.flag);
    }
    order.ipoName = fields.RequiredText("ipo_name", 20);
    order.issueTag = fields.Text("issue_tag", 5);
    order.category = base::ToUpper(fields.RequiredText("category", 30));
    order.reference1 = fields.Text("user_ref1", 20);
    order.reference2 = fields.Text("user_ref2", 20);
    order.paymentMode = fields.RequiredText("payment_mode", 10);
    if (order.paymentMode != "UPI" && order.paymentMode != "ASBA") {
        throw BadRequest("Unknown payment mode " + order.paymentMode);
    }
    order.upiId = fields.Text("upi_id", 50);
    order.bankName = fields.Text("bank_name", 20);
    order.bankAccount = fields.Text("bank_account", 40);
    order.orderNumber = fields.Integer("order_number", 0, INT32_MAX);
    order.applicationNumber = fields.Text("application_number", 16);
    int slot = 0;
    for (const Fields& entry : fields.Objects("bids", 3)) {
        Bid bid;
        bid.slot = slot++;
        bid.action = entry.Text("action", 2);
        if (!bid.action.empty() && bid.action != "N" && bid.action != "M") {
            throw BadRequest("Unknown bid action " + bid.action);
        }
        bid.quantity = entry.Integer("quantity", 0, INT32_MAX);
        bid.cutOff = entry.Flag("cut_off");
        bid.price = entry.Integer("price_paise", 0, kMaxPricePaise);
        bid.reference = entry.Text("reference", 16);
        if (bid.quantity > 0) {
            order.bids.push_back(bid);
        }
    }
    return order;
}

Issue LoadIssue(Store& store, const std::string& key) {
    const std::string now = NowText();
    Query row = store.Prepare(
        "SELECT issue_key, issue_tag, lot_size, min_bid_quantity, retail_limit, upi_limit, "
        "bid_start <= ?2 AND bid_end >= ?2 FROM issues WHERE issue_key = ?1",
        key, now);
    if (!row.Next()) {
        throw Rejection("Unknown IPO " + key);
    }
    return Issue{row.Text(0), row.Text(1), row.Int(2),     row.Int(3),
                 row.Int(4),  row.Int(5),  row.Int(6) != 0};
}

Category LoadCategory(Store& store, const Issue& issue, const std::string& code) {
    Query row = store.Prepare(
        "SELECT code, price_low, price_high, cut_off FROM categories "
        "WHERE issue_key = ? AND code = ?",
        issue.key, code);
    if (!row.Next()) {
        throw Rejection("Investor category " + code + " is not offered");
    }
    return Category{row.Text(0), row.Int(1), row.Int(2), row.Int(3) != 0};
}

// Whole lots, the minimum quantity, the price band or cut-off; gives the amount to block.
int64_t CheckBids(std::vector<Bid>& bids, const Issue& issue, const Category& category) {
    if (bids.empty()) {
        throw Rejection("Kindly place at least one bid");
    }
    int64_t blocked = 0;
    for (Bid& bid : bids) {
        const int number = bid.slot + 1;
        if (issue.lotSize <= 0 || bid.quantity % issue.lotSize != 0) {
            throw Rejection(base::Format(
                "Bid %d quantity %lld is not a whole number of lots of %lld", number,
                static_cast<long long>(bid.quantity), static_cast<long long>(issue.lotSize)));
        }
        if (bid.quantity < issue.minBidQuantity) {
            throw Rejection(
                base::Format("Bid %d quantity %lld is below the minimum bid quantity %lld", number,
                             static_cast<long long>(bid.quantity),
                             static_cast<long long>(issue.minBidQuantity)));
        }
        if (bid.cutOff) {
            if (!category.cutOff) {
                throw Rejection("Cut-off price is not allowed for category " + category.code);
            }
            bid.price = category.high;
        } else if (bid.price < category.low || bid.price > category.high) {
            throw Rejection(base::Format("Bid %d price %s is outside the price band %s-%s", number,
                                         Rupees(bid.price).c_str(), Rupees(category.low).c_str(),
                                         Rupees(category.high).c_str()));
        }
        blocked = std::max(blocked, bid.Amount());
    }
    if (category.Retail() && blocked > issue.retailLimit) {
        throw Rejection("Retail application amount " + Rupees(blocked) + " exceeds the limit of " +
                        Rupees(issue.retailLimit));
    }
    return blocked;
}

void CheckPayment(Store& store, const OrderRequest& order, const Party& party, const Issue& issue,
                  int64_t blocked) {
    if (order.paymentMode == "UPI") {
        const size_t at = order.upiId.find('@');
        if (order.upiId.empty()) {
            throw Rejection("UPI Id is required");
        }
        if (at == 0 || at == std::string::npos || at + 1 == order.upiId.size() ||
            order.upiId.find('@', at + 1) != std::string::npos) {
            throw Rejection("UPI Id " + order.upiId + " is not valid");
        }
        if (blocked > issue.upiLimit) {
            throw Rejection("UPI payment is limited to " + Rupees(issue.upiLimit) +
                            " per application");
        }
        return;
    }
    Query account = store.Prepare(
        "SELECT bank_name, asba FROM bank_accounts WHERE client_id = ? AND account_number = ?",
        party.clientId, order.bankAccount);
    if (!account.Next()) {
        throw Rejection("Bank account " + order.bankAccount + " is not registered for client " +
                        party.clientId);
    }
    if (!order.bankName.empty() && account.Text(0) != order.bankName) {
        throw Rejection("Bank account " + order.bankAccount + " is not held with " +
                        order.bankName);
    }
    if (account.Int(1) == 0) {
        throw Rejection("Bank account " + order.bankAccount + " cannot be used for ASBA");
    }
}

std::string NewReference(Store& store, int64_t bidId) {
    const std::string reference = base::Format("B%010lld", static_cast<long long>(bidId));
    store.Prepare("UPDATE bids SET reference = ? WHERE bid_id = ?", reference, bidId).Run();
    return reference;
}

void InsertBid(Store& store, int64_t orderNumber, Bid& bid) {
    store
        .Prepare(
            "INSERT INTO bids(order_number, position, quantity, cut_off, price) "
            "VALUES(?, ?, ?, ?, ?)",
            orderNumber, int64_t{bid.slot}, bid.quantity, int64_t{bid.cutOff}, bid.price)
        .Run();
    bid.reference = NewReference(store, store.LastInsertId());
}

std::string Accepted(const std::string& message, int64_t orderNumber,
                     const std::string& applicationNumber, const std::vector<Bid>& bids) {
    nlohmann::json details = nlohmann::json::array();
    for (const Bid& bid : bids) {
        details.push_back({{"status", 1},
                           {"reference", bid.reference},
                           {"text", base::Format("Bid %d accepted", bid.slot + 1)}});
    }
    return Answer(nlohmann::json::array({{{"status", 1},
                                          {"message", message},
                                          {"order_number", orderNumber},
                                          {"application_number", applicationNumber},
                                          {"details", details}}}));
}

// The audit line of a change, written once the change is durable.
void Audit(Store& store, std::string line) {
    store.AfterCommit([line = std::move(line)] { LogAudit(line); });
}

// The application number of the client's pending, modified or confirmed order for the issue
// (its condition is the live_orders index's).
std::optional<std::string> LiveApplication(Store& store, const std::string& clientId,
                                           const std::string& issueKey) {
    Query live = store.Prepare(
        "SELECT application_number FROM orders WHERE client_id = ? AND issue_key = ? "
        "AND status IN ('P', 'M', 'CF') LIMIT 1",
        clientId, issueKey);
    if (!live.Next()) {
        return std::nullopt;
    }
    return live.Text(0);
}

std::string PlaceNew(Store& store, OrderRequest& order, const Party& party, const Issue& issue,
                     int64_t blocked) {
    if (order.orderNumber != 0 || !order.applicationNumber.empty()) {
        throw Rejection("A new order cannot carry an order or application number");
    }
    if (const auto live = LiveApplication(store, party.clientId, issue.key)) {
        throw Rejection("Client " + party.clientId + " already has application " + *live + " for " +
                        issue.key + "; modify or cancel it instead");
    }
    const std::string now = NowText();
    Transaction transaction(store);
    store
        .Prepare(
            "INSERT INTO orders(issue_key, client_id, placed_by, category, reference1, "
            "reference2, payment_mode, upi_id, bank_name, bank_account, status, payment_status, "
            "bid_time, modified_time, amount) "
            "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 'P', 'P', ?, ?, ?)",
            issue.key, party.clientId, party.userId, order.category, order.reference1,
            order.reference2, order.paymentMode,
            order.paymentMode == "UPI" ? order.upiId : std::string(),
            order.paymentMode == "ASBA" ? order.bankName : std::string(),
            order.paymentMode == "ASBA" ? order.bankAccount : std::string(), now, now, blocked)
        .Run();
    const int64_t orderNumber = store.LastInsertId();
    if (orderNumber > INT32_MAX) {
        throw RequestError(507, kResultInternal, "Order numbers are exhausted");
    }
    const std::string application =
        base::Format("%s%010lld", issue.tag.c_str(), static_cast<long long>(orderNumber));
    store
        .Prepare("UPDATE orders SET application_number = ? WHERE order_number = ?", application,
                 orderNumber)
        .Run();
    for (Bid& bid : order.bids) {
        InsertBid(store, orderNumber, bid);
    }
    transaction.Commit();
    Audit(store,
          base::Format("order=%lld placed status=P application=%s issue=%s client=%s by=%s "
                       "category=%s payment=%s blocked_paise=%lld",
                       static_cast<long long>(orderNumber), application.c_str(), issue.key.c_str(),
                       party.clientId.c_str(), party.userId.c_str(), order.category.c_str(),
                       order.paymentMode.c_str(), static_cast<long long>(blocked)));
    return Accepted("Order placed", orderNumber, application, order.bids);
}

struct StoredBid {
    int64_t id;
    std::string reference;
    int64_t quantity;
    int64_t price;
};

struct StoredOrder {
    std::string issueKey;
    std::string category;
    std::string paymentMode;
    std::string status;
};

// The caller's own order with this number (and application number when given).
StoredOrder LoadOwnOrder(Store& store, const Party& party, int64_t orderNumber,
                         const std::string& applicationNumber, const std::string& issueKey) {
    Query row = store.Prepare(
        "SELECT category, payment_mode, status, application_number, issue_key FROM orders "
        "WHERE order_number = ? AND client_id = ?",
        orderNumber, party.clientId);
    if (!row.Next() || (!applicationNumber.empty() && row.Text(3) != applicationNumber) ||
        (!issueKey.empty() && row.Text(4) != issueKey)) {
        throw Rejection(base::Format("Order %lld not found", static_cast<long long>(orderNumber)));
    }
    return StoredOrder{row.Text(4), row.Text(0), row.Text(1), row.Text(2)};
}

std::vector<StoredBid> ActiveBids(Store& store, int64_t orderNumber) {
    std::vector<StoredBid> bids;
    Query row = store.Prepare(
        "SELECT bid_id, reference, quantity, price FROM bids "
        "WHERE order_number = ? AND active = 1 ORDER BY position",
        orderNumber);
    while (row.Next()) {
        bids.push_back(StoredBid{row.Int(0), row.Text(1), row.Int(2), row.Int(3)});
    }
    return bids;
}

const StoredBid* FindBid(const std::vector<StoredBid>& bids, const std::string& reference) {
    const auto found = std::find_if(
        bids.begin(), bids.end(), [&](const StoredBid& bid) { return bid.reference == reference; });
    return found == bids.end() ? nullptr : &*found;
}

bool Changeable(const std::string& status) {
    return status == "P" || status == "M";
}

std::string Modify(Store& store, OrderRequest& order, const Party& party, const Issue& issue,
                   const Category& category, int64_t blocked) {
    const StoredOrder stored =
        LoadOwnOrder(store, party, order.orderNumber, order.applicationNumber, issue.key);
    if (!Changeable(stored.status)) {
        throw Rejection("Only pending or modified orders can be modified");
    }
    if (stored.category != order.category) {
        throw Rejection("The investor category of an order cannot be changed");
    }
    if (stored.paymentMode != order.paymentMode) {
        throw Rejection("The payment mode of an order cannot be changed");
    }
    const std::vector<StoredBid> old = ActiveBids(store, order.orderNumber);
    std::vector<std::string> named;
    for (const Bid& bid : order.bids) {
        if (bid.action != "M") {
            continue;
        }
        if (!FindBid(old, bid.reference)) {
            throw Rejection("Unknown bid reference " + bid.reference);
        }
        // Each stored bid changes at most once: a second mention would be checked against the
        // stored bid yet stored over the first.
        if (std::find(named.begin(), named.end(), bid.reference) != named.end()) {
            throw Rejection("Bid reference " + bid.reference + " is named more than once");
        }
        named.push_back(bid.reference);
    }
    if (!category.Retail()) {
        for (const StoredBid& before : old) {
            const auto after =
                std::find_if(order.bids.begin(), order.bids.end(), [&](const Bid& bid) {
                    return bid.action == "M" && bid.reference == before.reference;
                });
            if (after == order.bids.end() || after->quantity < before.quantity ||
                after->price < before.price) {
                throw Rejection("A " + category.code +
                                " bid may be raised but not lowered or cancelled");
            }
        }
    }
    Transaction transaction(store);
    store.Prepare("UPDATE bids SET active = 0 WHERE order_number = ?", order.orderNumber).Run();
    for (Bid& bid : order.bids) {
        const StoredBid* kept = bid.action == "M" ? FindBid(old, bid.reference) : nullptr;
        if (kept) {
            store
                .Prepare(
                    "UPDATE bids SET active = 1, position = ?, quantity = ?, cut_off = ?, "
                    "price = ? WHERE bid_id = ?",
                    int64_t{bid.slot}, bid.quantity, int64_t{bid.cutOff}, bid.price, kept->id)
                .Run();
        } else {
            InsertBid(store, order.orderNumber, bid);
        }
    }
    store
        .Prepare(
            "UPDATE orders SET status = 'M', modified_time = ?, amount = ?, reference1 = ?, "
            "reference2 = ?, upi_id = CASE payment_mode WHEN 'UPI' THEN ? ELSE upi_id END "
            "WHERE order_number = ?",
            NowText(), blocked, order.reference1, order.reference2, order.upiId, order.orderNumber)
        .Run();
    transaction.Commit();
    Audit(store, base::Format("order=%lld modified status=%s->M client=%s by=%s blocked_paise=%lld",
                              static_cast<long long>(order.orderNumber), stored.status.c_str(),
                              party.clientId.c_str(), party.userId.c_str(),
                              static_cast<long long>(blocked)));
    return Accepted("Order modified", order.orderNumber, order.applicationNumber, order.bids);
}

}  // namespace

std::string PlaceOrder(Store& store, const RequestHeader& header, const Fields& fields) {
    const Party party = ResolveParty(store, header);
    OrderRequest order = ReadOrder(fields);
    try {
        const Issue issue = LoadIssue(store, order.ipoName);
        if (!order.issueTag.empty() && order.issueTag != issue.tag) {
            throw Rejection("Issue tag " + order.issueTag + " does not belong to " + issue.key);
        }
        if (!issue.open) {
            throw Rejection("Bidding is not open");
        }
        const Category category = LoadCategory(store, issue, order.category);
        const int64_t blocked = CheckBids(order.bids, issue, category);
        CheckPayment(store, order, party, issue, blocked);
        return order.flag == "N" ? PlaceNew(store, order, party, issue, blocked)
                                 : Modify(store, order, party, issue, category, blocked);
    } catch (const Rejection& rejection) {
        return Answer(nlohmann::json::array({{{"status", 0},
                                              {"message", rejection.what()},
                                              {"details", nlohmann::json::array()}}}));
    }
}

std::string CancelOrder(Store& store, const RequestHeader& header, const Fields& fields) {
    const Party party = ResolveParty(store, header);
    const int64_t orderNumber = fields.Integer("order_number", 1, INT32_MAX);
    if (orderNumber == 0) {
        throw BadRequest("Field order_number is required");
    }
    const std::string action = fields.Text("action", 1);
    if (action != "N") {
        throw BadRequest("Unknown cancel action " + action);
    }
    const std::vector<std::string> references = fields.Texts("bid_references", 3, 16);
    try {
        const StoredOrder stored = LoadOwnOrder(store, party, orderNumber, "", "");
        if (!Changeable(stored.status)) {
            throw Rejection("Only pending or modified orders can be cancelled");
        }
        if (!LoadIssue(store, stored.issueKey).open) {
            throw Rejection("Bidding is not open");
        }
        if (stored.category != "RETAIL") {
            throw Rejection("A " + stored.category + " bid cannot be cancelled");
        }
        const std::vector<StoredBid> bids = ActiveBids(store, orderNumber);
        for (const std::string& reference : references) {
            if (!reference.empty() && reference != "0" && !FindBid(bids, reference)) {
                throw Rejection("Unknown bid reference " + reference);
            }
        }
        Transaction transaction(store);
        store
            .Prepare("UPDATE orders SET status = 'UC', modified_time = ? WHERE order_number = ?",
                     NowText(), orderNumber)
            .Run();
        transaction.Commit();
        Audit(store, base::Format("order=%lld cancelled status=%s->UC client=%s by=%s",
                                  static_cast<long long>(orderNumber), stored.status.c_str(),
                                  party.clientId.c_str(), party.userId.c_str()));
        return Answer(nlohmann::json::array({{{"outcome", 1}, {"message", "Order cancelled"}}}));
    } catch (const Rejection& rejection) {
        return Answer(nlohmann::json::array({{{"outcome", 0}, {"message", rejection.what()}}}));
    }
}

}  // namespace svc
