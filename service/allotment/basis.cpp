#include "service/allotment/basis.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

namespace allotment {

namespace {

struct PoolNames {
    const char* name;
    const char* label;
};
constexpr std::array<PoolNames, kPools> kPoolNames = {{
    {"Retail individual", "retail"},
    {"Non-institutional above 2 to 10 lakh", "nii-small"},
    {"Non-institutional above 10 lakh", "nii-large"},
    {"Employee", "employee"},
    {"Shareholder", "shareholder"},
}};

// Products of two share counts exceed 64 bits at the largest issues.
__extension__ typedef __int128 Wide;

// Moves the unsubscribed shares of each of two pools to the other.
void Spill(int64_t& a, int64_t appliedA, int64_t& b, int64_t appliedB) {
    const int64_t spareA = std::max<int64_t>(0, a - appliedA);
    const int64_t spareB = std::max<int64_t>(0, b - appliedB);
    a += spareB - spareA;
    b += spareA - spareB;
}

// Applicants who applied for the same number of shares: [begin, end) of a pool.
struct Group {
    size_t begin;
    size_t end;
    int32_t demand;
};

std::vector<Group> Groups(std::span<const Applicant> applicants) {
    std::vector<Group> groups;
    for (size_t i = 0; i < applicants.size(); ++i) {
        if (groups.empty() || groups.back().demand != applicants[i].demand) {
            groups.push_back({i, i, applicants[i].demand});
        }
        groups.back().end = i + 1;
    }
    return groups;
}

// Too few shares for every applicant's minimum: within each group, winners in proportion to its
// applications (the whole part of available × size / minimums; then one more to each group by
// largest remainder, smaller demand first on a tie, while the shares left cover its minimum),
// each group's winners drawn among it in application-number order.
int64_t DrawLots(std::span<const Applicant> applicants, int64_t available, int32_t minimum,
                 int64_t minimums, const DrawKey& key, Pool pool, std::span<Result> results) {
    const std::vector<Group> groups = Groups(applicants);
    std::vector<int64_t> winners(groups.size());
    std::vector<Wide> remainders(groups.size());
    int64_t left = available;
    for (size_t g = 0; g < groups.size(); ++g) {
        const Wide scaled = Wide{available} * static_cast<int64_t>(groups[g].end - groups[g].begin);
        winners[g] = static_cast<int64_t>(scaled / minimums);
        remainders[g] = scaled % minimums;
        left -= winners[g] * std::min(groups[g].demand, minimum);
    }
    std::vector<size_t> order(groups.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return remainders[a] > remainders[b]; });
    for (size_t g : order) {
        const int32_t unit = std::min(groups[g].demand, minimum);
        if (unit <= left) {
            ++winners[g];
            left -= unit;
        }
    }
    std::vector<uint32_t> positions;
    for (size_t g = 0; g < groups.size(); ++g) {
        positions.resize(groups[g].end - groups[g].begin);
        std::iota(positions.begin(), positions.end(), 0);
        DrawStream stream(
            key, std::string(PoolLabel(pool)) + "/lots/" + std::to_string(groups[g].demand));
        DrawToFront(stream, positions, static_cast<size_t>(winners[g]));
        for (int64_t w = 0; w < winners[g]; ++w) {
            const Applicant& winner = applicants[groups[g].begin + positions[w]];
            results[winner.index].allotted = std::min(winner.demand, minimum);
        }
    }
    return available - left;
}

// Enough shares for every minimum: each gets its minimum, and the shares left go in proportion
// to what each applied for beyond it, rounded to the nearest share (a half up). The rounding's
// surplus or deficit is settled one share at a time, by a draw among the applicants whose share
// was rounded the other way (up for a surplus, down for a deficit), in the pool's order.
int64_t Proportional(std::span<const Applicant> applicants, int64_t available, int32_t minimum,
                     int64_t minimums, int64_t applied, const DrawKey& key, Pool pool,
                     std::span<Result> results) {
    const Wide rest = available - minimums;
    const Wide beyond = applied - minimums;
    std::vector<int32_t> extras(applicants.size());
    int64_t given = 0;
    for (size_t i = 0; i < applicants.size(); ++i) {
        const int32_t unit = std::min(applicants[i].demand, minimum);
        const Wide asked = applicants[i].demand - unit;
        extras[i] = static_cast<int32_t>((2 * rest * asked + beyond) / (2 * beyond));
        results[applicants[i].index].allotted = unit + extras[i];
        given += extras[i];
    }
    if (given == rest) {
        return available;
    }
    const bool surplus = given > rest;
    std::vector<uint32_t> candidates;
    for (size_t i = 0; i < applicants.size(); ++i) {
        const Wide exact = rest * (applicants[i].demand - std::min(applicants[i].demand, minimum));
        const Wide rounded = Wide{extras[i]} * beyond;
        if (surplus ? rounded > exact : rounded < exact) {
            candidates.push_back(static_cast<uint32_t>(i));
        }
    }
    DrawStream stream(key, std::string(PoolLabel(pool)) + "/shares");
    const auto settled = static_cast<size_t>(surplus ? given - rest : rest - given);
    DrawToFront(stream, candidates, settled);
    for (size_t c = 0; c < settled; ++c) {
        results[applicants[candidates[c]].index].allotted += surplus ? -1 : 1;
    }
    return available;
}

}  // namespace

const char* PoolName(Pool pool) {
    return kPoolNames[static_cast<size_t>(pool)].name;
}

const char* PoolLabel(Pool pool) {
    return kPoolNames[static_cast<size_t>(pool)].label;
}

PoolArray PoolShares(const Split& split, const PoolArray& applied) {
    const auto at = [](Pool pool) { return static_cast<size_t>(pool); };
    PoolArray shares{};
    shares[at(Pool::Employee)] = std::min(split.employee, applied[at(Pool::Employee)]);
    shares[at(Pool::Shareholder)] = std::min(split.shareholder, applied[at(Pool::Shareholder)]);
    const int64_t unsubscribed = split.employee + split.shareholder - shares[at(Pool::Employee)] -
                                 shares[at(Pool::Shareholder)];
    int64_t retail = split.retail;
    int64_t nii = split.nonInstitutional;
    if (retail + nii > 0) {
        const int64_t toRetail = static_cast<int64_t>(Wide{unsubscribed} * retail / (retail + nii));
        retail += toRetail;
        nii += unsubscribed - toRetail;
    }
    const int64_t appliedNii =
        applied[at(Pool::NonInstitutionalSmall)] + applied[at(Pool::NonInstitutionalLarge)];
    Spill(retail, applied[at(Pool::Retail)], nii, appliedNii);
    int64_t small = nii / 3;
    int64_t large = nii - small;
    Spill(small, applied[at(Pool::NonInstitutionalSmall)], large,
          applied[at(Pool::NonInstitutionalLarge)]);
    shares[at(Pool::Retail)] = retail;
    shares[at(Pool::NonInstitutionalSmall)] = small;
    shares[at(Pool::NonInstitutionalLarge)] = large;
    return shares;
}

int64_t AllotPool(std::span<const Applicant> applicants, int64_t available, int32_t minimum,
                  const DrawKey& key, Pool pool, std::span<Result> results) {
    int64_t applied = 0;
    int64_t minimums = 0;
    for (const Applicant& applicant : applicants) {
        applied += applicant.demand;
        minimums += std::min(applicant.demand, minimum);
    }
    if (applied <= available) {
        for (const Applicant& applicant : applicants) {
            results[applicant.index].allotted = applicant.demand;
        }
        return applied;
    }
    if (minimums > available) {
        return DrawLots(applicants, available, minimum, minimums, key, pool, results);
    }
    return Proportional(applicants, available, minimum, minimums, applied, key, pool, results);
}

}  // namespace allotment
