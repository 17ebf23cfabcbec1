#include "service/order_table.h"

#include "service/order_states.h"

namespace svc {
namespace {

const std::string kStoredOrderSelect =
    "SELECT o.issue_key, o.category, o.payment_mode, o.status, o.application_number, o.amount, "
    "i.lot_size, i.price_high FROM orders o JOIN issues i ON i.issue_key = o.issue_key ";

std::optional<StoredOrder> ReadOrder(Query& row) {
    if (!row.Next()) {
        return std::nullopt;
    }
    return StoredOrder{row.Text(0), row.Text(1), row.Text(2), row.Text(3),
                       row.Text(4), row.Int(5),  row.Int(6),  row.Int(7)};
}

}  // namespace

std::optional<IssueTerms> OrderTable::Issue(const std::string& key, const std::string& now) {
    Query row = store_.Prepare(
        "SELECT issue_key, issue_tag, lot_size, min_bid_quantity, retail_limit, upi_limit, "
        "bid_start, bid_end, bid_start <= ?2 AND bid_end >= ?2 FROM issues WHERE issue_key = ?1",
        key, now);
    if (!row.Next()) {
        return std::nullopt;
    }
    return IssueTerms{row.Text(0), row.Text(1), row.Int(2),  row.Int(3),     row.Int(4),
                      row.Int(5),  row.Text(6), row.Text(7), row.Int(8) != 0};
}

std::optional<CategoryTerms> OrderTable::Category(const std::string& issueKey,
                                                  const std::string& code) {
    Query row = store_.Prepare(
        "SELECT code, price_low, price_high, cut_off FROM categories "
        "WHERE issue_key = ? AND code = ?",
        issueKey, code);
    if (!row.Next()) {
        return std::nullopt;
    }
    return CategoryTerms{row.Text(0), row.Int(1), row.Int(2), row.Int(3) != 0};
}

std::optional<BankAccount> OrderTable::Account(const std::string& clientId,
                                               const std::string& number) {
    Query row = store_.Prepare(
        "SELECT bank_name, asba FROM bank_accounts WHERE client_id = ? AND account_number = ?",
        clientId, number);
    if (!row.Next()) {
        return std::nullopt;
    }
    return BankAccount{row.Text(0), row.Int(1) != 0};
}

std::optional<std::string> OrderTable::LiveApplication(const std::string& clientId,
                                                       const std::string& issueKey) {
    // The live_orders index's condition, word for word, so that SQLite uses the index.
    static const std::string sql =
        "SELECT application_number FROM orders WHERE client_id = ? AND issue_key = ? AND " +
        LiveStatusCondition() + " LIMIT 1";
    Query live = store_.Prepare(sql.c_str(), clientId, issueKey);
    if (!live.Next()) {
        return std::nullopt;
    }
    return live.Text(0);
}

namespace {

// One above the highest number the table has ever given (its AUTOINCREMENT sequence) or holds.
int64_t NextNumber(Store& store, const char* sql) {
    Query next = store.Prepare(sql);
    return next.Next() ? next.Int(0) : 1;
}

}  // namespace

int64_t OrderTable::NextOrderNumber() {
    return NextNumber(
        store_,
        "SELECT MAX(COALESCE((SELECT seq FROM sqlite_sequence WHERE name = 'orders'), "
        "0), COALESCE((SELECT MAX(order_number) FROM orders), 0)) + 1");
}

int64_t OrderTable::NextBidId() {
    return NextNumber(store_,
                      "SELECT MAX(COALESCE((SELECT seq FROM sqlite_sequence WHERE name = 'bids'), "
                      "0), COALESCE((SELECT MAX(bid_id) FROM bids), 0)) + 1");
}

void OrderTable::Insert(int64_t orderNumber, const std::string& applicationNumber,
                        const NewOrder& order) {
    store_
        .Prepare(
            "INSERT INTO orders(order_number, application_number, issue_key, client_id, "
            "placed_by, category, reference1, reference2, payment_mode, upi_id, bank_name, "
            "bank_account, status, payment_status, bid_time, modified_time, amount, pan) "
            "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
            "COALESCE((SELECT reference1 FROM clients WHERE client_id = ?), ''))",
            orderNumber, applicationNumber, order.issueKey, order.clientId, order.placedBy,
            order.choices.category, order.choices.reference1, order.choices.reference2,
            order.choices.paymentMode, order.choices.upiId, order.choices.bankName,
            order.choices.bankAccount, order_status::kPending, payment_status::kPending, order.time,
            order.time, order.amount, order.clientId)
        .Run();
}

void OrderTable::InsertBid(int64_t bidId, const std::string& reference, int64_t orderNumber,
                           const BidTerms& bid) {
    store_
        .Prepare(
            "INSERT INTO bids(bid_id, reference, order_number, position, quantity, cut_off, "
            "price) VALUES(?, ?, ?, ?, ?, ?, ?)",
            bidId, reference, orderNumber, bid.position, bid.quantity, int64_t{bid.cutOff},
            bid.price)
        .Run();
}

std::optional<StoredOrder> OrderTable::Find(int64_t orderNumber) {
    static const std::string sql = kStoredOrderSelect + "WHERE o.order_number = ?";
    Query row = store_.Prepare(sql.c_str(), orderNumber);
    return ReadOrder(row);
}

std::optional<StoredOrder> OrderTable::FindOwn(int64_t orderNumber, const std::string& clientId) {
    static const std::string sql =
        kStoredOrderSelect + "WHERE o.order_number = ? AND o.client_id = ?";
    Query row = store_.Prepare(sql.c_str(), orderNumber, clientId);
    return ReadOrder(row);
}

std::optional<MandateOrder> OrderTable::Mandate(int64_t orderNumber) {
    Query row = store_.Prepare(
        "SELECT o.order_number, o.client_id, o.application_number, o.status, o.payment_mode, "
        "o.payment_status, o.amount, i.bid_end FROM orders o "
        "JOIN issues i ON i.issue_key = o.issue_key WHERE o.order_number = ?",
        orderNumber);
    if (!row.Next()) {
        return std::nullopt;
    }
    return MandateOrder{row.Int(0),  row.Text(1), row.Text(2), row.Text(3),
                        row.Text(4), row.Text(5), row.Int(6),  row.Text(7)};
}

std::optional<int64_t> OrderTable::OrderNumberOf(const std::string& applicationNumber) {
    Query row = store_.Prepare("SELECT order_number FROM orders WHERE application_number = ?",
                               applicationNumber);
    if (!row.Next()) {
        return std::nullopt;
    }
    return row.Int(0);
}

std::vector<StoredBid> OrderTable::ActiveBids(int64_t orderNumber) {
    std::vector<StoredBid> bids;
    Query row = store_.Prepare(
        "SELECT bid_id, reference, quantity, price FROM bids "
        "WHERE order_number = ? AND active = 1 ORDER BY position",
        orderNumber);
    while (row.Next()) {
        bids.push_back(StoredBid{row.Int(0), row.Text(1), row.Int(2), row.Int(3)});
    }
    return bids;
}

int64_t OrderTable::LargestActiveBid(int64_t orderNumber) {
    Query row = store_.Prepare(
        "SELECT COALESCE(MAX(quantity), 0) FROM bids WHERE order_number = ? AND active = 1",
        orderNumber);
    row.Next();
    return row.Int(0);
}

void OrderTable::DeactivateBids(int64_t orderNumber) {
    store_.Prepare("UPDATE bids SET active = 0 WHERE order_number = ?", orderNumber).Run();
}

void OrderTable::KeepBid(int64_t bidId, const BidTerms& bid) {
    store_
        .Prepare(
            "UPDATE bids SET active = 1, position = ?, quantity = ?, cut_off = ?, price = ? "
            "WHERE bid_id = ?",
            bid.position, bid.quantity, int64_t{bid.cutOff}, bid.price, bidId)
        .Run();
}

void OrderTable::SetModified(int64_t orderNumber, const std::string& time, int64_t amount,
                             const std::string& reference1, const std::string& reference2,
                             const std::string& upiId) {
    store_
        .Prepare(
            "UPDATE orders SET status = ?, modified_time = ?, amount = ?, reference1 = ?, "
            "reference2 = ?, upi_id = CASE payment_mode WHEN ?6 THEN ? ELSE upi_id END, "
            "payment_status = CASE payment_mode WHEN ?6 THEN ? ELSE payment_status END "
            "WHERE order_number = ?",
            order_status::kModified, time, amount, reference1, reference2, payment_mode::kUpi,
            upiId, payment_status::kPending, orderNumber)
        .Run();
}

void OrderTable::SetStatus(int64_t orderNumber, const char* status, const std::string& reason,
                           const std::string& time) {
    store_
        .Prepare(
            "UPDATE orders SET status = ?, rejection_reason = ?, modified_time = ? "
            "WHERE order_number = ?",
            status, reason, time, orderNumber)
        .Run();
}

void OrderTable::SetAllotment(int64_t orderNumber, int64_t quantity, int64_t refund,
                              const std::string& time) {
    store_
        .Prepare(
            "UPDATE orders SET allotted_quantity = ?, refund = ?, modified_time = ? "
            "WHERE order_number = ?",
            quantity, refund, time, orderNumber)
        .Run();
}

void OrderTable::SetPaymentStatus(int64_t orderNumber, const std::string& status,
                                  const std::string& time) {
    store_
        .Prepare("UPDATE orders SET payment_status = ?, modified_time = ? WHERE order_number = ?",
                 status, time, orderNumber)
        .Run();
}

}  // namespace svc
