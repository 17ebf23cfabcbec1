// An issue's allotment in the store: the operator finalises a closed issue at its price with a
// published seed, which allots the live applications and writes each order's allotted quantity,
// refund and payment status; anyone holding the seed can verify the stored results; the basis of
// allotment is reported as CSV. Each function takes the store's lock and returns the text to
// print; it throws std::invalid_argument with a clear message when it cannot be carried out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "service/allotment/basis.h"
#include "service/issue_table.h"
#include "service/store.h"

namespace svc {

// An issue's terms and its live applications as its allotment reads them from the store, in
// application-number order (an application's number is its order number), with each one's stored
// result (allotted shares, refund, reason).
struct StoredAllotment {
    allotment::IssueTerms terms;
    std::vector<allotment::Application> applications;
    std::vector<allotment::Result> stored;
};

// The caller holds the store's lock and a transaction (the upper half of the applications is read
// on a second connection, which must see the same store). Throws std::invalid_argument when the
// issue has no split or an order's category or stored reason is not the allotment's.
StoredAllotment LoadAllotment(Store& store, const AllotmentIssue& issue);

// Stores the shares per category of an issue not yet finalised, once the issue's terms with them
// can be allotted on; gives what was stored.
std::string SetIssueSplit(Store& store, const std::string& issueKey, const allotment::Split& split);

std::string FinaliseIssue(Store& store, const std::string& issueKey, int64_t pricePaise,
                          const std::string& seed);

// Recomputes the finalised issue's allotment with `seed`; `agrees` tells whether every stored
// result matches, and the text lists each one that does not.
std::string VerifyAllotment(Store& store, const std::string& issueKey, const std::string& seed,
                            bool& agrees);

std::string AllotmentReport(Store& store, const std::string& issueKey);

}  // namespace svc
