#include "service/allotment/report.h"

#include <map>
#include <numeric>
#include <tuple>

#include "base/text.h"

namespace allotment {

namespace {

std::string Percent(int64_t part, int64_t whole) {
    const int64_t hundredths = (part * 20000 + whole) / (2 * whole);
    return base::Hundredths(hundredths);
}

std::string Ratio(int64_t allottees, int64_t applicants) {
    const int64_t divisor = std::gcd(allottees, applicants);
    return std::to_string(allottees / divisor) + ":" + std::to_string(applicants / divisor);
}

std::string Row(const char* pool, const std::string& applied, int64_t applications,
                int64_t poolApplications, int64_t shares, int64_t poolShares,
                const std::string& perApplicant, const std::string& ratio, int64_t allotted) {
    return base::Format("%s,%s,%lld,%s,%lld,%s,%s,%s,%lld\n", pool, applied.c_str(),
                        static_cast<long long>(applications),
                        Percent(applications, poolApplications).c_str(),
                        static_cast<long long>(shares), Percent(shares, poolShares).c_str(),
                        perApplicant.c_str(), ratio.c_str(), static_cast<long long>(allotted));
}

}  // namespace

std::string BasisCsv(const Allotment& allotment) {
    // (pool, shares applied) → shares allotted per applicant → applicants; the largest first.
    using Group = std::map<int32_t, int64_t, std::greater<>>;
    std::map<std::pair<Pool, int32_t>, Group> groups;
    for (const Result& result : allotment.results) {
        if (result.reason == Reason::None) {
            ++groups[{result.pool, result.demand}][result.allotted];
        }
    }
    std::array<int64_t, kPools> applications{};
    std::array<int64_t, kPools> allottees{};
    for (const auto& [key, byAllotted] : groups) {
        for (const auto& [perApplicant, count] : byAllotted) {
            applications[static_cast<size_t>(key.first)] += count;
            allottees[static_cast<size_t>(key.first)] += perApplicant > 0 ? count : 0;
        }
    }
    std::string csv =
        "Category,Shares applied,Applications,% of applications,Total shares applied,"
        "% of shares applied,Shares allotted per applicant,Ratio of allottees to applicants,"
        "Total shares allotted\n";
    for (size_t p = 0; p < kPools; ++p) {
        if (applications[p] == 0) {
            continue;
        }
        const Pool pool = static_cast<Pool>(p);
        const PoolTotals& totals = allotment.pools[p];
        for (auto it = groups.lower_bound({pool, 0}); it != groups.end() && it->first.first == pool;
             ++it) {
            const int32_t applied = it->first.second;
            int64_t size = 0;
            for (const auto& entry : it->second) {
                size += entry.second;
            }
            for (const auto& [perApplicant, count] : it->second) {
                if (perApplicant == 0 && count != size) {
                    continue;  // the draw's losers: the ratio of the rows above says how many
                }
                csv += Row(PoolName(pool), std::to_string(applied), size, applications[p],
                           size * applied, totals.applied, std::to_string(perApplicant),
                           Ratio(perApplicant > 0 ? count : 0, size), count * perApplicant);
            }
        }
        csv += Row(PoolName(pool), "Total", applications[p], applications[p], totals.applied,
                   totals.applied, "", Ratio(allottees[p], applications[p]), totals.allotted);
    }
    return csv;
}

}  // namespace allotment
