// The service's limits, each declared once: what a request may carry (its body, the widths of
// its fields, its bids) and how long a connection may stay idle. The HTTP server, the request
// handlers and the operator's settings all read them from here.
#pragma once

#include <cstddef>
#include <cstdint>

namespace svc {

// Request bodies above this size are refused.
inline constexpr size_t kMaxBodyBytes = 1 << 20;
// A connection without traffic for this long is closed (the default of --idle-timeout).
inline constexpr unsigned kIdleSeconds = 5;
// The largest price per share the service takes, so that quantity x price fits 64 bits.
inline constexpr int64_t kMaxPricePaise = 1'000'000'000;
// The bids one order carries, and the bid references one cancel names.
inline constexpr size_t kMaxBids = 3;

// The widths of the request fields, in bytes.
namespace width {
inline constexpr size_t kUserId = 100;
inline constexpr size_t kClientId = 50;
inline constexpr size_t kClientCode = 10;
inline constexpr size_t kIssueKey = 20;  // the IPO name an order names
inline constexpr size_t kIssueTag = 5;
inline constexpr size_t kCategory = 30;
inline constexpr size_t kUserReference = 20;
inline constexpr size_t kPaymentMode = 10;
inline constexpr size_t kUpiId = 50;
inline constexpr size_t kBankName = 20;
inline constexpr size_t kBankAccount = 40;
inline constexpr size_t kApplicationNumber = 16;
inline constexpr size_t kBidReference = 16;
inline constexpr size_t kOrderFlag = 2;
inline constexpr size_t kBidAction = 2;
inline constexpr size_t kCancelAction = 1;
inline constexpr size_t kSection = 2;
inline constexpr size_t kProduct = 3;
inline constexpr size_t kDate = 10;
inline constexpr size_t kStatusFilter = 10;
inline constexpr size_t kDetailsFlag = 1;
}  // namespace width

}  // namespace svc
