// The store's side of an issue's life after the bid: its category split, its final price and
// seed, the live applications its allotment is computed from, and each application's result.
// The rules above it hold no SQL. The caller holds the store's lock and opens the transaction.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "service/allotment/terms.h"
#include "service/order_table.h"
#include "service/store.h"

namespace svc {

// An issue as its allotment sees it.
struct AllotmentIssue {
    std::string key;
    int64_t priceLow = 0;  // paise
    int64_t priceHigh = 0;
    int64_t lotSize = 0;
    int64_t employeeDiscount = 0;  // paise off the issue price
    std::string bidEnd;
    std::optional<allotment::Split> split;  // none: the issue has no split stored
    int64_t finalPrice = 0;                 // paise; 0 until finalised
    std::string seed;
    std::string finalised;  // when; empty until finalised
};

// A live order of the issue with its active bids, the PAN of its client and its result so far.
struct AppliedOrder {
    int64_t orderNumber = 0;
    std::string category;
    std::string status;
    std::string paymentMode;
    std::string paymentStatus;
    int64_t amount = 0;  // paise blocked
    std::string pan;
    int64_t allotted = 0;
    int64_t refund = 0;
    std::string reason;  // why it took no part; empty when it did
    std::vector<BidTerms> bids;
};

class IssueTable {
  public:
    explicit IssueTable(Store& store) : store_(store) {}

    std::optional<AllotmentIssue> Find(const std::string& key);
    // Stores the issue's split, replacing the one it had.
    void SetSplit(const std::string& key, const allotment::Split& split);
    // The lowest and highest order number of the issue's orders; {0, 0} when it has none.
    std::pair<int64_t, int64_t> OrderNumbers(const std::string& key);
    // Visits the issue's live orders numbered first..last one by one in application-number order
    // (an issue may have millions: they are never all held as rows).
    void ForEachApplication(const std::string& key, int64_t first, int64_t last,
                            const std::function<void(const AppliedOrder&)>& visit);
    void SetResult(int64_t orderNumber, int64_t allotted, int64_t refund,
                   const std::string& paymentStatus, const std::string& reason,
                   const std::string& time);
    void SetFinal(const std::string& key, int64_t price, const std::string& seed,
                  const std::string& time);

  private:
    Store& store_;
};

}  // namespace svc
