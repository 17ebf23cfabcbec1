#include "service/orders.h"

#include <algorithm>
#include <climits>
#include <optional>

#include "base/text.h"
#include "service/clock.h"
#include "service/limits.h"
#include "service/order_answers.h"
#include "service/order_states.h"
#include "service/order_table.h"
#include "service/service_log.h"

namespace svc {
namespace {

// A business rule the order breaks; the message goes back to the user.
class Rejection : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The category whose applications are limited in amount and may be lowered or cancelled.

bool Retail(const std::string& category) {
    return category == category_code::kRetail;
}

struct Bid {
    int slot = 0;  // 0, 1 or 2: the bid's place in the request
    std::string action;
    int64_t quantity = 0;
    bool cutOff = false;
    int64_t price = 0;  // paise; the band's top for a cut-off bid
    std::string reference;
    int64_t Amount() const { return quantity * price; }
    BidTerms Terms() const { return BidTerms{slot, quantity, cutOff, price}; }
};

struct OrderRequest {
    std::string flag;
    std::string ipoName;
    std::string issueTag;
    OrderChoices choices;
    int64_t orderNumber = 0;
    std::string applicationNumber;
    std::vector<Bid> bids;  // the slots that carry a quantity
};

OrderRequest ReadOrder(const Fields& fields) {
    OrderRequest order;
    order.flag = fields.RequiredText("order_flag", width::kOrderFlag);
    if (order.flag != order_flag::kNew && order.flag != order_flag::kModify) {
        throw BadRequest("Unknown order flag " + order.flag);
    }
    order.ipoName = fields.RequiredText("ipo_name", width::kIssueKey);
    order.issueTag = fields.Text("issue_tag", width::kIssueTag);
    order.choices.category = base::ToUpper(fields.RequiredText("category", width::kCategory));
    order.choices.reference1 = fields.Text("user_ref1", width::kUserReference);
    order.choices.reference2 = fields.Text("user_ref2", width::kUserReference);
    order.choices.paymentMode = fields.RequiredText("payment_mode", width::kPaymentMode);
    if (order.choices.paymentMode != payment_mode::kUpi &&
        order.choices.paymentMode != payment_mode::kAsba) {
        throw BadRequest("Unknown payment mode " + order.choices.paymentMode);
    }
    order.choices.upiId = fields.Text("upi_id", width::kUpiId);
    order.choices.bankName = fields.Text("bank_name", width::kBankName);
    order.choices.bankAccount = fields.Text("bank_account", width::kBankAccount);
    order.orderNumber = fields.Integer("order_number", 0, INT32_MAX);
    order.applicationNumber = fields.Text("application_number", width::kApplicationNumber);
    int slot = 0;
    for (const Fields& entry : fields.Objects("bids", kMaxBids)) {
        Bid bid;
        bid.slot = slot++;
        bid.action = entry.Text("action", width::kBidAction);
        if (!bid.action.empty() && bid.action != order_flag::kNew &&
            bid.action != order_flag::kModify) {
            throw BadRequest("Unknown bid action " + bid.action);
        }
        bid.quantity = entry.Integer("quantity", 0, INT32_MAX);
        bid.cutOff = entry.Flag("cut_off");
        bid.price = entry.Integer("price_paise", 0, kMaxPricePaise);
        bid.reference = entry.Text("reference", width::kBidReference);
        if (bid.quantity > 0) {
            order.bids.push_back(bid);
        }
    }
    return order;
}

IssueTerms LoadIssue(OrderTable& table, const std::string& key) {
    std::optional<IssueTerms> issue = table.Issue(key, NowText());
    if (!issue) {
        throw Rejection("Unknown IPO " + key);
    }
    return *issue;
}

// Bids are taken, changed and cancelled only while the issue is open by the service's clock.
void RequireOpen(const IssueTerms& issue) {
    if (issue.open) {
        return;
    }
    if (NowText() > issue.bidEnd) {
        throw Rejection("Bidding for " + issue.key + " has closed");
    }
    throw Rejection("Bidding is not open");
}

CategoryTerms LoadCategory(OrderTable& table, const IssueTerms& issue, const std::string& code) {
    std::optional<CategoryTerms> category = table.Category(issue.key, code);
    if (!category) {
        throw Rejection("Investor category " + code + " is not offered");
    }
    return *category;
}

// Whole lots, the minimum quantity, the price band or cut-off; gives the amount to block.
int64_t CheckBids(std::vector<Bid>& bids, const IssueTerms& issue, const CategoryTerms& category) {
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
                                         base::Hundredths(bid.price).c_str(),
                                         base::Hundredths(category.low).c_str(),
                                         base::Hundredths(category.high).c_str()));
        }
        blocked = std::max(blocked, bid.Amount());
    }
    if (Retail(category.code) && blocked > issue.retailLimit) {
        throw Rejection("Retail application amount " + base::Hundredths(blocked) +
                        " exceeds the limit of " + base::Hundredths(issue.retailLimit));
    }
    return blocked;
}

void CheckPayment(OrderTable& table, const OrderRequest& order, const Party& party,
                  const IssueTerms& issue, int64_t blocked) {
    if (order.choices.paymentMode == payment_mode::kUpi) {
        const size_t at = order.choices.upiId.find('@');
        if (order.choices.upiId.empty()) {
            throw Rejection("UPI Id is required");
        }
        if (at == 0 || at == std::string::npos || at + 1 == order.choices.upiId.size() ||
            order.choices.upiId.find('@', at + 1) != std::string::npos) {
            throw Rejection("UPI Id " + order.choices.upiId + " is not valid");
        }
        if (blocked > issue.upiLimit) {
            throw Rejection("UPI payment is limited to " + base::Hundredths(issue.upiLimit) +
                            " per application");
        }
        return;
    }
    const std::optional<BankAccount> account =
        table.Account(party.clientId, order.choices.bankAccount);
    if (!account) {
        throw Rejection("Bank account " + order.choices.bankAccount +
                        " is not registered for client " + party.clientId);
    }
    if (!order.choices.bankName.empty() && account->bankName != order.choices.bankName) {
        throw Rejection("Bank account " + order.choices.bankAccount + " is not held with " +
                        order.choices.bankName);
    }
    if (!account->asba) {
        throw Rejection("Bank account " + order.choices.bankAccount + " cannot be used for ASBA");
    }
}

// Stores the bid under a new reference, made from its id.
void InsertBid(OrderTable& table, int64_t orderNumber, Bid& bid) {
    const int64_t id = table.NextBidId();
    bid.reference = base::Format("B%010lld", static_cast<long long>(id));
    table.InsertBid(id, bid.reference, orderNumber, bid.Terms());
}

std::string Accepted(const std::string& message, int64_t orderNumber,
                     const std::string& applicationNumber, const std::vector<Bid>& bids) {
    std::vector<TakenBid> taken;
    for (const Bid& bid : bids) {
        taken.push_back(TakenBid{bid.slot, bid.reference});
    }
    return OrderTaken(message, orderNumber, applicationNumber, taken);
}

// The audit line of a change, written once the change is durable.
void Audit(Store& store, std::string line) {
    store.AfterCommit([line = std::move(line)] { LogAudit(line); });
}

std::string PlaceNew(Store& store, OrderTable& table, OrderRequest& order, const Party& party,
                     const IssueTerms& issue, int64_t blocked) {
    if (order.orderNumber != 0 || !order.applicationNumber.empty()) {
        throw Rejection("A new order cannot carry an order or application number");
    }
    if (const auto live = table.LiveApplication(party.clientId, issue.key)) {
        throw Rejection("Client " + party.clientId + " already has application " + *live + " for " +
                        issue.key + "; modify or cancel it instead");
    }
    const bool upi = order.choices.paymentMode == payment_mode::kUpi;
    Transaction transaction(store);
    // Only what the payment mode uses is kept.
    OrderChoices kept = order.choices;
    if (upi) {
        kept.bankName.clear();
        kept.bankAccount.clear();
    } else {
        kept.upiId.clear();
    }
    const int64_t orderNumber = table.NextOrderNumber();
    if (orderNumber > INT32_MAX) {
        throw RequestError(507, kResultInternal, "Order numbers are exhausted");
    }
    const std::string application =
        base::Format("%s%010lld", issue.tag.c_str(), static_cast<long long>(orderNumber));
    table.Insert(orderNumber, application,
                 NewOrder{issue.key, party.clientId, party.userId, kept, NowText(), blocked});
    for (Bid& bid : order.bids) {
        InsertBid(table, orderNumber, bid);
    }
    transaction.Commit();
    Audit(store, base::Format("order=%lld placed status=%s application=%s issue=%s client=%s by=%s "
                              "category=%s payment=%s blocked_paise=%lld",
                              static_cast<long long>(orderNumber), order_status::kPending,
                              application.c_str(), issue.key.c_str(), party.clientId.c_str(),
                              party.userId.c_str(), order.choices.category.c_str(),
                              order.choices.paymentMode.c_str(), static_cast<long long>(blocked)));
    return Accepted("Order placed", orderNumber, application, order.bids);
}

// The caller's own order with this number (and application number and issue when given).
StoredOrder LoadOwnOrder(OrderTable& table, const Party& party, int64_t orderNumber,
                         const std::string& applicationNumber, const std::string& issueKey) {
    const std::optional<StoredOrder> found = table.FindOwn(orderNumber, party.clientId);
    if (!found || (!applicationNumber.empty() && found->applicationNumber != applicationNumber) ||
        (!issueKey.empty() && found->issueKey != issueKey)) {
        throw Rejection(base::Format("Order %lld not found", static_cast<long long>(orderNumber)));
    }
    return *found;
}

const StoredBid* FindBid(const std::vector<StoredBid>& bids, const std::string& reference) {
    const auto found = std::find_if(
        bids.begin(), bids.end(), [&](const StoredBid& bid) { return bid.reference == reference; });
    return found == bids.end() ? nullptr : &*found;
}

std::string Modify(Store& store, OrderTable& table, OrderRequest& order, const Party& party,
                   const IssueTerms& issue, const CategoryTerms& category, int64_t blocked) {
    const StoredOrder stored =
        LoadOwnOrder(table, party, order.orderNumber, order.applicationNumber, issue.key);
    if (!Allows(TransitionOf(OrderAction::Modify), stored.status)) {
        throw Rejection("Only pending or modified orders can be modified");
    }
    if (stored.category != order.choices.category) {
        throw Rejection("The investor category of an order cannot be changed");
    }
    if (stored.paymentMode != order.choices.paymentMode) {
        throw Rejection("The payment mode of an order cannot be changed");
    }
    const std::vector<StoredBid> old = table.ActiveBids(order.orderNumber);
    std::vector<std::string> named;
    for (const Bid& bid : order.bids) {
        if (bid.action != order_flag::kModify) {
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
    if (!Retail(category.code)) {
        for (const StoredBid& before : old) {
            const auto after =
                std::find_if(order.bids.begin(), order.bids.end(), [&](const Bid& bid) {
                    return bid.action == order_flag::kModify && bid.reference == before.reference;
                });
            if (after == order.bids.end() || after->quantity < before.quantity ||
                after->price < before.price) {
                throw Rejection("A " + category.code +
                                " bid may be raised but not lowered or cancelled");
            }
        }
    }
    Transaction transaction(store);
    table.DeactivateBids(order.orderNumber);
    for (Bid& bid : order.bids) {
        const StoredBid* kept =
            bid.action == order_flag::kModify ? FindBid(old, bid.reference) : nullptr;
        if (kept) {
            table.KeepBid(kept->id, bid.Terms());
        } else {
            InsertBid(table, order.orderNumber, bid);
        }
    }
    table.SetModified(order.orderNumber, NowText(), blocked, order.choices.reference1,
                      order.choices.reference2, order.choices.upiId);
    transaction.Commit();
    Audit(store,
          base::Format("order=%lld modified status=%s->%s client=%s by=%s blocked_paise=%lld",
                       static_cast<long long>(order.orderNumber), stored.status.c_str(),
                       order_status::kModified, party.clientId.c_str(), party.userId.c_str(),
                       static_cast<long long>(blocked)));
    return Accepted("Order modified", order.orderNumber, order.applicationNumber, order.bids);
}

}  // namespace

std::string PlaceOrder(Store& store, const RequestHeader& header, const Fields& fields) {
    const Party party = ResolveParty(store, header);
    OrderRequest order = ReadOrder(fields);
    OrderTable table(store);
    try {
        const IssueTerms issue = LoadIssue(table, order.ipoName);
        if (!order.issueTag.empty() && order.issueTag != issue.tag) {
            throw Rejection("Issue tag " + order.issueTag + " does not belong to " + issue.key);
        }
        RequireOpen(issue);
        const CategoryTerms category = LoadCategory(table, issue, order.choices.category);
        const int64_t blocked = CheckBids(order.bids, issue, category);
        CheckPayment(table, order, party, issue, blocked);
        return order.flag == order_flag::kNew
                   ? PlaceNew(store, table, order, party, issue, blocked)
                   : Modify(store, table, order, party, issue, category, blocked);
    } catch (const Rejection& rejection) {
        return OrderRefused(rejection.what());
    }
}

std::string CancelOrder(Store& store, const RequestHeader& header, const Fields& fields) {
    const Party party = ResolveParty(store, header);
    const int64_t orderNumber = fields.Integer("order_number", 1, INT32_MAX);
    if (orderNumber == 0) {
        throw BadRequest("Field order_number is required");
    }
    const std::string action = fields.Text("action", width::kCancelAction);
    if (action != order_flag::kNew) {
        throw BadRequest("Unknown cancel action " + action);
    }
    const std::vector<std::string> references =
        fields.Texts("bid_references", kMaxBids, width::kBidReference);
    OrderTable table(store);
    const OrderTransition& cancel = TransitionOf(OrderAction::Cancel);
    try {
        const StoredOrder stored = LoadOwnOrder(table, party, orderNumber, "", "");
        if (!Allows(cancel, stored.status)) {
            throw Rejection("Only pending or modified orders can be cancelled");
        }
        RequireOpen(LoadIssue(table, stored.issueKey));
        if (!Retail(stored.category)) {
            throw Rejection("A " + stored.category + " bid cannot be cancelled");
        }
        const std::vector<StoredBid> bids = table.ActiveBids(orderNumber);
        for (const std::string& reference : references) {
            if (!reference.empty() && reference != "0" && !FindBid(bids, reference)) {
                throw Rejection("Unknown bid reference " + reference);
            }
        }
        Transaction transaction(store);
        table.SetStatus(orderNumber, cancel.to, "", NowText());
        transaction.Commit();
        Audit(store, base::Format("order=%lld cancelled status=%s->%s client=%s by=%s",
                                  static_cast<long long>(orderNumber), stored.status.c_str(),
                                  cancel.to, party.clientId.c_str(), party.userId.c_str()));
        return CancelOutcome(true, "Order cancelled");
    } catch (const Rejection& rejection) {
        return CancelOutcome(false, rejection.what());
    }
}

}  // namespace svc
