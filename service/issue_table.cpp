#include "service/issue_table.h"

#include "service/order_states.h"

namespace svc {

std::optional<AllotmentIssue> IssueTable::Find(const std::string& key) {
    Query row = store_.Prepare(
        "SELECT i.issue_key, i.price_low, i.price_high, i.lot_size, "
        "i.price_high - COALESCE((SELECT c.price_high FROM categories c "
        "WHERE c.issue_key = i.issue_key AND c.code = ?2), i.price_high), i.bid_end, "
        "s.issue_key IS NOT NULL, s.retail, s.non_institutional, s.institutional, s.employee, "
        "s.shareholder, COALESCE(f.price, 0), COALESCE(f.seed, ''), COALESCE(f.finalised, '') "
        "FROM issues i LEFT JOIN issue_splits s ON s.issue_key = i.issue_key "
        "LEFT JOIN issue_finals f ON f.issue_key = i.issue_key WHERE i.issue_key = ?1",
        key, category_code::kEmployee);
    if (!row.Next()) {
        return std::nullopt;
    }
    std::optional<allotment::Split> split;
    if (row.Int(6) != 0) {
        split = allotment::Split{row.Int(7), row.Int(8), row.Int(9), row.Int(10), row.Int(11)};
    }
    return AllotmentIssue{row.Text(0), row.Int(1), row.Int(2),  row.Int(3),   row.Int(4),
                          row.Text(5), split,      row.Int(12), row.Text(13), row.Text(14)};
}

void IssueTable::SetSplit(const std::string& key, const allotment::Split& split) {
    store_
        .Prepare(
            "INSERT INTO issue_splits(issue_key, retail, non_institutional, institutional, "
            "employee, shareholder) VALUES(?, ?, ?, ?, ?, ?) ON CONFLICT(issue_key) DO UPDATE "
            "SET retail = excluded.retail, non_institutional = excluded.non_institutional, "
            "institutional = excluded.institutional, employee = excluded.employee, "
            "shareholder = excluded.shareholder",
            key, split.retail, split.nonInstitutional, split.institutional, split.employee,
            split.shareholder)
        .Run();
}

std::pair<int64_t, int64_t> IssueTable::OrderNumbers(const std::string& key) {
    Query range = store_.Prepare(
        "SELECT COALESCE((SELECT MIN(order_number) FROM orders WHERE issue_key = ?1), 0), "
        "COALESCE((SELECT MAX(order_number) FROM orders WHERE issue_key = ?1), 0)",
        key);
    range.Next();
    return {range.Int(0), range.Int(1)};
}

void IssueTable::ForEachApplication(const std::string& key, int64_t first, int64_t last,
                                    const std::function<void(const AppliedOrder&)>& visit) {
    static const std::string sql =
        "SELECT o.order_number, o.category, o.status, o.payment_mode, o.payment_status, o.amount, "
        "o.pan, o.allotted_quantity, o.refund, o.rejection_reason, "
        "b.position, b.quantity, b.cut_off, b.price "
        "FROM orders o JOIN bids b ON b.order_number = o.order_number AND b.active = 1 "
        "WHERE o.issue_key = ? AND o.order_number BETWEEN ? AND ? AND o." +
        LiveStatusCondition() + " ORDER BY o.order_number, b.position";
    AppliedOrder order;
    Query row = store_.Prepare(sql.c_str(), key, first, last);
    // One order object is refilled for every order: millions of them are read.
    while (row.Next()) {
        if (order.orderNumber != row.Int(0)) {
            if (order.orderNumber != 0) {
                visit(order);
            }
            order.orderNumber = row.Int(0);
            order.category = row.View(1);
            order.status = row.View(2);
            order.paymentMode = row.View(3);
            order.paymentStatus = row.View(4);
            order.amount = row.Int(5);
            order.pan = row.View(6);
            order.allotted = row.Int(7);
            order.refund = row.Int(8);
            order.reason = row.View(9);
            order.bids.clear();
        }
        order.bids.push_back(BidTerms{row.Int(10), row.Int(11), row.Int(12) != 0, row.Int(13)});
    }
    if (order.orderNumber != 0) {
        visit(order);
    }
}

void IssueTable::SetResult(int64_t orderNumber, int64_t allotted, int64_t refund,
                           const std::string& paymentStatus, const std::string& reason,
                           const std::string& time) {
    store_
        .Prepare(
            "UPDATE orders SET allotted_quantity = ?, refund = ?, payment_status = ?, "
            "rejection_reason = ?, modified_time = ? WHERE order_number = ?",
            allotted, refund, paymentStatus, reason, time, orderNumber)
        .Run();
}

void IssueTable::SetFinal(const std::string& key, int64_t price, const std::string& seed,
                          const std::string& time) {
    store_
        .Prepare("INSERT INTO issue_finals(issue_key, price, seed, finalised) VALUES(?, ?, ?, ?)",
                 key, price, seed, time)
        .Run();
}

}  // namespace svc
