// The store's side of orders: every statement the order rules and the operator's commands run
// on the orders and their bids, and on the issue, category and bank account an order is checked
// against. The rules above it hold no SQL. The caller holds the store's lock and opens the
// transaction.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "service/store.h"

namespace svc {

struct IssueTerms {
    std::string key;
    std::string tag;
    int64_t lotSize = 0;
    int64_t minBidQuantity = 0;
    int64_t retailLimit = 0;
    int64_t upiLimit = 0;
    std::string bidStart;  // "YYYY-MM-DD HH:MM:SS"
    std::string bidEnd;
    bool open = false;  // bidding is open at the time asked about
};

struct CategoryTerms {
    std::string code;
    int64_t low = 0;  // the price band, paise
    int64_t high = 0;
    bool cutOff = false;
};

struct BankAccount {
    std::string bankName;
    bool asba = false;
};

// What the client chose for an order: its category, its own references and how it pays.
struct OrderChoices {
    std::string category;
    std::string reference1;
    std::string reference2;
    std::string paymentMode;
    std::string upiId;
    std::string bankName;
    std::string bankAccount;
};

// An order as it is first stored: pending, payment pending.
struct NewOrder {
    std::string issueKey;
    std::string clientId;
    std::string placedBy;
    OrderChoices choices;
    std::string time;
    int64_t amount = 0;  // paise blocked
};

// A bid as stored: its place in the order, quantity, price (paise) and whether at cut-off.
struct BidTerms {
    int64_t position = 0;
    int64_t quantity = 0;
    bool cutOff = false;
    int64_t price = 0;
};

struct StoredOrder {
    std::string issueKey;
    std::string category;
    std::string paymentMode;
    std::string status;
    std::string applicationNumber;
    int64_t amount = 0;
    int64_t lotSize = 0;    // the issue's
    int64_t priceHigh = 0;  // the issue's, paise
};

// What a UPI mandate is decided on: the order it pays for and its issue's close.
struct MandateOrder {
    int64_t orderNumber = 0;
    std::string clientId;
    std::string applicationNumber;
    std::string status;
    std::string paymentMode;
    std::string paymentStatus;
    int64_t amount = 0;  // paise
    std::string bidEnd;
};

struct StoredBid {
    int64_t id = 0;
    std::string reference;
    int64_t quantity = 0;
    int64_t price = 0;
};

class OrderTable {
  public:
    explicit OrderTable(Store& store) : store_(store) {}

    std::optional<IssueTerms> Issue(const std::string& key, const std::string& now);
    std::optional<CategoryTerms> Category(const std::string& issueKey, const std::string& code);
    std::optional<BankAccount> Account(const std::string& clientId, const std::string& number);
    // The application number of the client's live order for the issue, if it has one.
    std::optional<std::string> LiveApplication(const std::string& clientId,
                                               const std::string& issueKey);

    // The numbers the next order and the next bid get, as the tables' AUTOINCREMENT would
    // choose them: known before the insert, the application number and bid reference made from
    // them are written with the row, not by a second write after it.
    int64_t NextOrderNumber();
    int64_t NextBidId();
    void Insert(int64_t orderNumber, const std::string& applicationNumber, const NewOrder& order);
    void InsertBid(int64_t bidId, const std::string& reference, int64_t orderNumber,
                   const BidTerms& bid);

    std::optional<StoredOrder> Find(int64_t orderNumber);
    // The order with this number if it is the client's.
    std::optional<StoredOrder> FindOwn(int64_t orderNumber, const std::string& clientId);
    std::optional<MandateOrder> Mandate(int64_t orderNumber);
    std::optional<int64_t> OrderNumberOf(const std::string& applicationNumber);
    std::vector<StoredBid> ActiveBids(int64_t orderNumber);
    int64_t LargestActiveBid(int64_t orderNumber);
    // Sets every bid of the order aside; the bids kept are made active again one by one.
    void DeactivateBids(int64_t orderNumber);
    void KeepBid(int64_t bidId, const BidTerms& bid);
    // A client's modification: the order is modified, with the new amount, references and, for
    // a UPI payment, UPI id and a new mandate (payment pending) for the new amount.
    void SetModified(int64_t orderNumber, const std::string& time, int64_t amount,
                     const std::string& reference1, const std::string& reference2,
                     const std::string& upiId);
    void SetStatus(int64_t orderNumber, const char* status, const std::string& reason,
                   const std::string& time);
    void SetAllotment(int64_t orderNumber, int64_t quantity, int64_t refund,
                      const std::string& time);
    void SetPaymentStatus(int64_t orderNumber, const std::string& status, const std::string& time);

  private:
    Store& store_;
};

}  // namespace svc
