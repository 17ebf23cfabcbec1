// An issue's allotment at its final price: who gets how many shares and what comes back, from
// the issue's terms, its applications and the seed of its draws; and the check of stored results
// against the allotment recomputed.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "service/allotment/basis.h"
#include "service/allotment/terms.h"

namespace allotment {

struct PoolTotals {
    int64_t shares = 0;   // to allot, after the spills
    int64_t applied = 0;  // shares applied for at the issue price
    int64_t allotted = 0;
    int32_t minimum = 0;  // an allottee's minimum (0: purely proportional)
};

struct Allotment {
    int32_t price = 0;
    std::vector<Result> results;  // one per application, in the applications' order
    std::array<PoolTotals, kPools> pools{};
};

// The smallest number of shares, in whole lots, worth more than 2 lakh rupees at `price`.
int32_t MinimumNonInstitutional(int32_t lotSize, int32_t price);

// Allots the issue at `price` (paise, within the band). Applications come in ascending
// application-number order. Throws AllotmentError on terms that break the issue's rules, a price
// outside the band or applications out of order.
Allotment Allot(const IssueTerms& terms, std::span<const Application> applications, int32_t price,
                std::string_view seed);

// A stored result that differs from the recomputed one in its allotted shares, refund or reason.
struct Difference {
    uint64_t application = 0;
    Result stored;
    Result recomputed;
};

// Recomputes the allotment and lists every stored result (one per application, in their order)
// that differs from it; empty when all agree.
std::vector<Difference> Verify(const IssueTerms& terms, std::span<const Application> applications,
                               int32_t price, std::string_view seed,
                               std::span<const Result> stored);

}  // namespace allotment
