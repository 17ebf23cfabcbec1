// The basis of allotment within one pool of applicants, and the shares each pool allots once
// unsubscribed shares have moved between categories.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "service/allotment/draw.h"
#include "service/allotment/screening.h"
#include "service/allotment/terms.h"

namespace allotment {

// The pools allotted separately: the categories, with non-institutional applications split by
// their amount at the issue price (above 10 lakh rupees or not).
enum class Pool : uint8_t {
    Retail,
    NonInstitutionalSmall,
    NonInstitutionalLarge,
    Employee,
    Shareholder
};
constexpr size_t kPools = 5;

// The pool's name in reports, and in the labels of its draws.
const char* PoolName(Pool pool);
const char* PoolLabel(Pool pool);

// One application's outcome: 24 bytes, so that millions fit.
struct Result {
    int64_t refund = 0;    // paise
    int32_t demand = 0;    // shares asked for at the issue price
    int32_t allotted = 0;  // shares
    Pool pool = Pool::Retail;
    Reason reason = Reason::None;
};
static_assert(sizeof(Result) == 24);

using PoolArray = std::array<int64_t, kPools>;

// The shares each pool allots, given the shares applied for in each: an unsubscribed
// reservation goes to retail and non-institutional in the ratio of their shares; the unsubscribed
// part of retail or non-institutional goes to the other; non-institutional shares are split one
// third to the smaller applications and two thirds to the larger, whose unsubscribed part goes
// to the other.
PoolArray PoolShares(const Split& split, const PoolArray& applied);

// An applicant of a pool; a pool's applicants are sorted by demand, then index (which ascends
// with the application number).
struct Applicant {
    int32_t demand;
    uint32_t index;  // into the applications and their results
};

// Allots `available` shares to `applicants` (sorted as above) into `results[index].allotted`,
// each allottee getting at least `minimum` shares (or its demand when smaller; 0 for a purely
// proportional basis). Returns the shares allotted.
int64_t AllotPool(std::span<const Applicant> applicants, int64_t available, int32_t minimum,
                  const DrawKey& key, Pool pool, std::span<Result> results);

}  // namespace allotment
