// What an allotment is computed from: the issue's terms and its applications. Amounts are in
// paise and counts in shares, as integers; nothing here is floating point.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace allotment {

// Input that no allotment can be computed from: terms that break the issue's rules, a price
// outside the band, applications out of order.
class AllotmentError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The categories bid through terminals. The institutional portion is allotted elsewhere.
enum class Category : uint8_t { Retail, NonInstitutional, Employee, Shareholder };

// The shares of the issue per category.
struct Split {
    int64_t retail = 0;
    int64_t nonInstitutional = 0;
    int64_t institutional = 0;
    int64_t employee = 0;
    int64_t shareholder = 0;

    bool operator==(const Split&) const = default;
};

struct IssueTerms {
    int32_t priceLow = 0;  // paise per share
    int32_t priceHigh = 0;
    int32_t lotSize = 0;
    int32_t employeeDiscount = 0;  // paise per share, off the issue price
    Split split;
};

// The usual split of an issue: the reservations off the top, then of the net issue 35 % retail,
// 15 % non-institutional (both rounded up) and the institutional rest.
Split DefaultSplit(int64_t sharesOffered, int64_t employee, int64_t shareholder);

// Why the terms cannot be allotted on (band, lot, discount, the minimum retail and
// non-institutional shares of the net issue); empty when they can.
std::string TermsFault(const IssueTerms& terms);

// The shares bid for through terminals: everything but the institutional portion.
int64_t SharesOfferedToBidders(const Split& split);

constexpr int kMaxBids = 3;

struct Bid {
    int32_t quantity = 0;
    int32_t price = 0;  // paise per share; ignored for a cut-off bid
    bool cutOff = false;
};

// One application, compact for populations of millions: 72 bytes, no heap.
struct Application {
    uint64_t number = 0;  // the application number's serial; unique, ascending in the input
    int64_t blocked = 0;  // paise blocked by the mandate or the bank
    std::array<Bid, kMaxBids> bids{};
    std::array<char, 10> pan{};  // the permanent account number, AAAAA9999A
    Category category = Category::Retail;
    uint8_t bidCount = 0;
    bool fundsBlocked = false;  // UPI mandate accepted, or ASBA amount blocked
};
static_assert(sizeof(Application) == 72);

}  // namespace allotment
