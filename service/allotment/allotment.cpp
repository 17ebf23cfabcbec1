#include "service/allotment/allotment.h"

#include <algorithm>
#include <string>

namespace allotment {

namespace {

constexpr int64_t kTwoLakh = 200000 * 100;  // paise
constexpr int64_t kTenLakh = 1000000 * 100;

size_t At(Pool pool) {
    return static_cast<size_t>(pool);
}

Pool PoolOf(Category category, int64_t amount) {
    switch (category) {
        case Category::Retail:
            return Pool::Retail;
        case Category::NonInstitutional:
            return amount > kTenLakh ? Pool::NonInstitutionalLarge : Pool::NonInstitutionalSmall;
        case Category::Employee:
            return Pool::Employee;
        case Category::Shareholder:
            return Pool::Shareholder;
    }
    return Pool::Retail;
}

// What an application pays per share at the issue price.
int64_t PricePaid(const IssueTerms& terms, const Application& application, int32_t price) {
    return application.category == Category::Employee ? price - terms.employeeDiscount : price;
}

// Each application's reason, demand and pool at the price.
std::vector<Result> Place(const IssueTerms& terms, std::span<const Application> applications,
                          int32_t price) {
    const std::vector<Reason> reasons = Screen(terms, applications);
    std::vector<Result> results(applications.size());
    for (size_t i = 0; i < applications.size(); ++i) {
        const Application& application = applications[i];
        Result& result = results[i];
        result.reason = reasons[i];
        if (result.reason != Reason::None) {
            continue;
        }
        const int32_t demand = DemandAt(application, price);
        if (demand == 0) {
            result.reason = Reason::BelowPrice;
        } else if (application.blocked < demand * PricePaid(terms, application, price)) {
            result.reason = Reason::BlockedShort;
        } else {
            result.demand = demand;
            result.pool = PoolOf(application.category, int64_t{demand} * price);
        }
    }
    return results;
}

// The applicants of every pool, pool after pool, each pool's sorted by demand then index;
// `begins` receives where each pool's applicants start (and, last, where they end).
std::vector<Applicant> ApplicantsByPool(std::span<const Result> results,
                                        std::array<size_t, kPools + 1>& begins) {
    begins.fill(0);
    for (const Result& result : results) {
        if (result.reason == Reason::None) {
            ++begins[At(result.pool) + 1];
        }
    }
    for (size_t p = 1; p <= kPools; ++p) {
        begins[p] += begins[p - 1];
    }
    std::vector<Applicant> applicants(begins[kPools]);
    std::array<size_t, kPools> next{};
    std::copy_n(begins.begin(), kPools, next.begin());
    for (size_t i = 0; i < results.size(); ++i) {
        if (results[i].reason == Reason::None) {
            applicants[next[At(results[i].pool)]++] = {results[i].demand, static_cast<uint32_t>(i)};
        }
    }
    for (size_t p = 0; p < kPools; ++p) {
        std::sort(applicants.begin() + static_cast<ptrdiff_t>(begins[p]),
                  applicants.begin() + static_cast<ptrdiff_t>(begins[p + 1]),
                  [](const Applicant& a, const Applicant& b) {
                      return a.demand != b.demand ? a.demand < b.demand : a.index < b.index;
                  });
    }
    return applicants;
}

}  // namespace

int32_t MinimumNonInstitutional(int32_t lotSize, int32_t price) {
    const int64_t lotAmount = int64_t{lotSize} * price;
    return static_cast<int32_t>((kTwoLakh / lotAmount + 1) * lotSize);
}

Allotment Allot(const IssueTerms& terms, std::span<const Application> applications, int32_t price,
                std::string_view seed) {
    if (const std::string fault = TermsFault(terms); !fault.empty()) {
        throw AllotmentError(fault);
    }
    if (price < terms.priceLow || price > terms.priceHigh) {
        throw AllotmentError("Issue price " + std::to_string(price) + " paise is outside the band");
    }
    Allotment allotment;
    allotment.price = price;
    allotment.results = Place(terms, applications, price);
    std::array<size_t, kPools + 1> begins{};
    const std::vector<Applicant> applicants = ApplicantsByPool(allotment.results, begins);

    PoolArray applied{};
    for (const Applicant& applicant : applicants) {
        applied[At(allotment.results[applicant.index].pool)] += applicant.demand;
    }
    const PoolArray shares = PoolShares(terms.split, applied);
    const int32_t niiMinimum = MinimumNonInstitutional(terms.lotSize, price);
    const std::array<int32_t, kPools> minimums = {terms.lotSize, niiMinimum, niiMinimum, 0, 0};
    const DrawKey key = SeedKey(seed);
    for (size_t p = 0; p < kPools; ++p) {
        PoolTotals& totals = allotment.pools[p];
        totals.shares = shares[p];
        totals.applied = applied[p];
        totals.minimum = minimums[p];
        const std::span<const Applicant> pool(applicants.data() + begins[p],
                                              begins[p + 1] - begins[p]);
        totals.allotted =
            AllotPool(pool, shares[p], minimums[p], key, static_cast<Pool>(p), allotment.results);
    }
    for (size_t i = 0; i < applications.size(); ++i) {
        Result& result = allotment.results[i];
        result.refund =
            applications[i].blocked - result.allotted * PricePaid(terms, applications[i], price);
    }
    return allotment;
}

std::vector<Difference> Verify(const IssueTerms& terms, std::span<const Application> applications,
                               int32_t price, std::string_view seed,
                               std::span<const Result> stored) {
    if (stored.size() != applications.size()) {
        throw AllotmentError(std::to_string(stored.size()) + " stored results for " +
                             std::to_string(applications.size()) + " applications");
    }
    const Allotment recomputed = Allot(terms, applications, price, seed);
    std::vector<Difference> differences;
    for (size_t i = 0; i < applications.size(); ++i) {
        const Result& again = recomputed.results[i];
        if (stored[i].allotted != again.allotted || stored[i].refund != again.refund ||
            stored[i].reason != again.reason) {
            differences.push_back({applications[i].number, stored[i], again});
        }
    }
    return differences;
}

}  // namespace allotment
