#include "service/queries.h"

#include <algorithm>
#include <map>

#include "base/json_writer.h"
#include "base/text.h"
#include "service/answer_writer.h"
#include "service/clock.h"
#include "service/limits.h"
#include "service/order_states.h"

namespace svc {
namespace {

using base::JsonWriter;

std::string DateField(const Fields& fields, const char* name) {
    std::string date = fields.Text(name, width::kDate);
    if (!date.empty() && !IsDateText(date)) {
        throw BadRequest(base::Format("Field %s must be a date YYYY-MM-DD", name));
    }
    return date;
}

// The keys of a watch list entry, in sorted order, and one entry's values in the same order.
constexpr std::string_view kWatchColumns[] = {"bid_end",    "bid_start",        "face_value_paise",
                                              "issue_key",  "issue_size",       "issue_tag",
                                              "issue_type", "lot_size",         "min_quantity",
                                              "name",       "price_high_paise", "price_low_paise"};

void WriteWatchEntry(JsonWriter& out, const Query& row) {
    out.BeginArray()
        .String(row.View(6).substr(0, 10))
        .String(row.View(5).substr(0, 10))
        .Int(row.Int(8))
        .String(row.View(0))
        .Int(row.Int(7))
        .String(row.View(2))
        .String(row.View(11))
        .Int(row.Int(10))
        .Int(row.Int(9))
        .String(row.View(1))
        .Int(row.Int(4))
        .Int(row.Int(3))
        .EndArray();
}

// The statuses an order book filter code selects; "C" stands for every cancelled state.
std::vector<std::string> StatusesFor(const std::string& code) {
    if (code.empty() || code == "-1") {
        return {order_status::kAll.begin(), order_status::kAll.end()};
    }
    if (code == order_status::kCancelledByExchange) {
        return {order_status::kCancelled.begin(), order_status::kCancelled.end()};
    }
    if (IsOneOf(code, order_status::kAll)) {
        return {code};
    }
    throw BadRequest("Unknown order status " + code);
}

// Watch list answers change only when the clock passes the start or the end of an issue's
// bidding (issues are not changed while the service runs), so each answer is kept until the
// next such moment. One process serves one store; the caller holds the store's lock.
struct CachedWatchList {
    std::string body;
    std::string validUntil;  // a date-time text; the answer is stale from then on
};

std::map<std::string, CachedWatchList>& WatchListCache() {
    static std::map<std::string, CachedWatchList> cache;
    return cache;
}

std::string NextBiddingBoundary(Store& store, const std::string& now) {
    Query boundary = store.Prepare(
        "SELECT MIN(t) FROM (SELECT MIN(bid_start) AS t FROM issues WHERE bid_start > ?1 "
        "UNION ALL SELECT MIN(bid_end) FROM issues WHERE bid_end >= ?1)",
        now);
    boundary.Next();
    const std::string next = boundary.Text(0);
    return next.empty() ? "9999" : next;
}

}  // namespace

std::string Answer(const nlohmann::json& records) {
    const nlohmann::json answer = {
        {"result", 0}, {"accepted", true}, {"message", ""}, {"records", records}};
    return answer.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string WatchList(Store& store, const RequestHeader&, const Fields& fields) {
    const std::string section = fields.RequiredText("section", width::kSection);
    const std::string product = fields.Text("product", width::kProduct);
    if (!product.empty() && product != "IPO") {
        throw BadRequest("Unknown product " + product);
    }
    std::string from = DateField(fields, "from_date");
    std::string to = DateField(fields, "to_date");
    const char* condition = nullptr;
    if (section == "C") {
        condition = "bid_start <= ?1 AND bid_end >= ?1";
        from.clear();
        to.clear();
    } else if (section == "F") {
        condition = "bid_start > ?1";
        from.clear();
        to.clear();
    } else if (section == "P") {
        condition = "bid_end < ?1";
    } else {
        throw BadRequest("Unknown watch list section " + section);
    }
    const std::string now = NowText();
    const std::string key = section + "|" + from + "|" + to;
    const auto cached = WatchListCache().find(key);
    if (cached != WatchListCache().end() && now < cached->second.validUntil) {
        return cached->second.body;
    }
    const std::string sql = std::string(
                                "SELECT issue_key, name, issue_tag, price_low, price_high, "
                                "bid_start, bid_end, issue_size, face_value, min_bid_quantity, "
                                "lot_size, issue_type FROM issues WHERE ") +
                            condition +
                            " AND (?2 = '' OR substr(bid_end, 1, 10) >= ?2)"
                            " AND (?3 = '' OR substr(bid_end, 1, 10) <= ?3)"
                            " ORDER BY bid_start, issue_key";
    std::string body;
    {
        TableAnswerWriter answer(body, kWatchColumns);
        Query row = store.Prepare(sql.c_str(), now, from, to);
        while (row.Next()) {
            WriteWatchEntry(answer.json, row);
        }
        answer.Finish(body);
    }
    CachedWatchList& entry = WatchListCache()[key];
    entry.body = std::move(body);
    entry.validUntil = NextBiddingBoundary(store, now);
    return entry.body;
}

std::string IssueDetails(Store& store, const RequestHeader&, const Fields& fields) {
    const std::string key = fields.RequiredText("issue_key", width::kIssueKey);
    Query row = store.Prepare(
        "SELECT issue_key, name, issue_tag, price_low, price_high, issue_size, face_value, "
        "min_bid_quantity, lot_size, bid_start, bid_end, registrar, rating, prospectus, "
        "recommendation FROM issues WHERE issue_key = ?",
        key);
    if (!row.Next()) {
        throw RequestError(404, kResultNotFound, "Unknown IPO " + key);
    }
    nlohmann::json categories = nlohmann::json::array();
    Query category = store.Prepare(
        "SELECT code, name, price_low, price_high, cut_off FROM categories "
        "WHERE issue_key = ? ORDER BY position",
        key);
    while (category.Next()) {
        categories.push_back({{"code", category.Text(0)},
                              {"name", category.Text(1)},
                              {"price_low_paise", category.Int(2)},
                              {"price_high_paise", category.Int(3)},
                              {"cut_off", category.Int(4) != 0}});
    }
    nlohmann::json entry = {{"issue_key", row.Text(0)},       {"name", row.Text(1)},
                            {"issue_tag", row.Text(2)},       {"price_low_paise", row.Int(3)},
                            {"price_high_paise", row.Int(4)}, {"issue_size", row.Int(5)},
                            {"face_value_paise", row.Int(6)}, {"min_bid_quantity", row.Int(7)},
                            {"lot_size", row.Int(8)},         {"bid_start_time", row.Text(9)},
                            {"bid_end_time", row.Text(10)},   {"registrar", row.Text(11)},
                            {"rating", row.Text(12)},         {"prospectus", row.Text(13)},
                            {"recommendation", row.Text(14)}, {"categories", categories}};
    return Answer(nlohmann::json::array({entry}));
}

std::string OrderBook(Store& store, const RequestHeader& header, const Fields& fields) {
    const Party party = ResolveParty(store, header);
    const std::string from = DateField(fields, "from_date");
    const std::string to = DateField(fields, "to_date");
    const std::vector<std::string> statuses =
        StatusesFor(fields.Text("status", width::kStatusFilter));
    // Two queries walked side by side, both in order number order: the orders, and the active
    // bids of the same orders (by position), instead of one query of bids per order.
    Query order = store.Prepare(
        "SELECT o.order_number, o.application_number, o.issue_key, i.name, o.category, "
        "o.status, o.bid_time, o.reference1, o.reference2, o.payment_mode, o.upi_id, "
        "o.bank_name, o.bank_account, o.modified_time, o.rejection_reason, "
        "o.allotted_quantity, o.refund, o.payment_status, o.amount, i.lot_size "
        "FROM orders o JOIN issues i ON i.issue_key = o.issue_key "
        "WHERE o.client_id = ?1 AND (?2 = '' OR substr(o.bid_time, 1, 10) >= ?2) "
        "AND (?3 = '' OR substr(o.bid_time, 1, 10) <= ?3) ORDER BY o.order_number",
        party.clientId, from, to);
    Query bid = store.Prepare(
        "SELECT b.order_number, b.reference, b.quantity, b.cut_off, b.price, b.position "
        "FROM bids b JOIN orders o ON o.order_number = b.order_number "
        "WHERE b.active = 1 AND o.client_id = ?1 "
        "AND (?2 = '' OR substr(o.bid_time, 1, 10) >= ?2) "
        "AND (?3 = '' OR substr(o.bid_time, 1, 10) <= ?3) ORDER BY b.order_number, b.position",
        party.clientId, from, to);
    bool moreBids = bid.Next();
    // Room for the whole answer at once (an order takes some 850 bytes): growing it step by step
    // copied it over and over into fresh memory, which cost more than writing it.
    constexpr int64_t kBytesPerOrder = 1024;
    Query count = store.Prepare(
        "SELECT count(*) FROM orders o WHERE o.client_id = ?1 "
        "AND (?2 = '' OR substr(o.bid_time, 1, 10) >= ?2) "
        "AND (?3 = '' OR substr(o.bid_time, 1, 10) <= ?3)",
        party.clientId, from, to);
    std::string body;
    if (count.Next()) {
        body.reserve(static_cast<size_t>(count.Int(0) * kBytesPerOrder));
    }
    AnswerWriter answer(body);
    JsonWriter& out = answer.json;
    while (order.Next()) {
        const std::string_view status = order.View(5);
        if (std::find(statuses.begin(), statuses.end(), status) == statuses.end()) {
            continue;
        }
        const int64_t number = order.Int(0);
        // The keys in sorted order, as the protocol's objects have them.
        out.BeginObject()
            .Member("allotted_quantity", order.Int(15))
            .Member("application_number", order.View(1))
            .Member("bank_account", order.View(12))
            .Member("bank_name", order.View(11))
            .Member("bid_date", order.View(6))
            .Key("bids")
            .BeginArray();
        while (moreBids && bid.Int(0) < number) {  // bids of orders the status filter left out
            moreBids = bid.Next();
        }
        for (; moreBids && bid.Int(0) == number; moreBids = bid.Next()) {
            const int64_t quantity = bid.Int(2);
            const int64_t price = bid.Int(4);
            out.BeginObject()
                .Member("amount_paise", quantity * price)
                .Member("cut_off", bid.Int(3) != 0)
                .Member("position", bid.Int(5))
                .Member("price_paise", price)
                .Member("quantity", quantity)
                .Member("reference", bid.View(1))
                .EndObject();
        }
        out.EndArray()
            .Member("category", order.View(4))
            .Member("client_name", party.clientName)
            .Member("issue_key", order.View(2))
            .Member("last_modified", order.View(13))
            .Member("lot_size", order.Int(19))
            .Member("offer_name", order.View(3))
            .Member("offer_type", "IPO")
            .Member("order_number", number)
            .Member("payment_mode", order.View(9))
            .Member("payment_status", order.View(17))
            .Member("refund_paise", order.Int(16))
            .Member("rejection_reason", order.View(14))
            .Member("status", status)
            .Member("total_paise", order.Int(18))
            .Member("upi_id", order.View(10))
            .Member("user_ref1", order.View(7))
            .Member("user_ref2", order.View(8))
            .EndObject();
    }
    answer.Finish(body);
    return body;  // moved out, not copied
}

std::string UserDetails(Store& store, const RequestHeader& header, const Fields& fields) {
    const Party party = ResolveParty(store, header);
    const std::string wanted = fields.Text("details", width::kDetailsFlag);
    if (wanted != "Y") {
        throw BadRequest("Field details must be Y");
    }
    nlohmann::json accounts = nlohmann::json::array();
    Query account = store.Prepare(
        "SELECT bank_name, account_number, ifsc, branch, asba FROM bank_accounts "
        "WHERE client_id = ? ORDER BY rowid",
        party.clientId);
    while (account.Next()) {
        accounts.push_back({{"bank_name", account.Text(0)},
                            {"account_number", account.Text(1)},
                            {"ifsc", account.Text(2)},
                            {"branch", account.Text(3)},
                            {"asba", account.Int(4) != 0}});
    }
    Query client = store.Prepare(
        "SELECT upi_id, reference1, reference2 FROM clients WHERE client_id = ?", party.clientId);
    client.Next();
    nlohmann::json entry = {
        {"client_id", party.clientId},
        {"upi_id", client.Text(0)},
        {"bank_accounts", accounts},
        {"references", {{{"user_ref1", client.Text(1)}, {"user_ref2", client.Text(2)}}}}};
    return Answer(nlohmann::json::array({entry}));
}

nlohmann::json ClientLookup(Store& store, const std::string& clientId,
                            const std::string& dealerId) {
    Query client = store.Prepare(
        "SELECT client_id, client_code, name, dealer_id FROM clients WHERE client_id = ? AND "
        "dealer_id = ?",
        clientId, dealerId);
    if (!client.Next()) {
        throw RequestError(404, kResultNotFound, "Unknown client " + clientId);
    }
    return {{"result", 0},
            {"client_id", client.Text(0)},
            {"client_code", client.Text(1)},
            {"name", client.Text(2)},
            {"dealer_id", client.Text(3)}};
}

}  // namespace svc
