// The vocabulary of an order's life: its states and its payment's states, as the store keeps
// them and the protocol sends them, the payment modes, and which action may move an order from
// which state to which. One table serves the service's own rules (a client's modify and cancel)
// and the operator's commands.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace svc {

namespace order_status {
inline constexpr const char* kPending = "P";
inline constexpr const char* kModified = "M";
inline constexpr const char* kConfirmed = "CF";
inline constexpr const char* kRejected = "REJ";
inline constexpr const char* kCancelledByExchange = "C";
inline constexpr const char* kCancelledByClient = "UC";
inline constexpr const char* kCancelledByOperator = "A";
// Every state, in the order book filter's order, and the cancelled ones (filter code "C").
inline constexpr std::initializer_list<const char*> kAll = {
    kPending,           kConfirmed,          kRejected, kModified, kCancelledByExchange,
    kCancelledByClient, kCancelledByOperator};
inline constexpr std::initializer_list<const char*> kCancelled = {
    kCancelledByExchange, kCancelledByClient, kCancelledByOperator};
// A client's live application for an issue, of which it may have one: pending, modified,
// confirmed.
inline constexpr std::initializer_list<const char*> kLive = {kPending, kModified, kConfirmed};
}  // namespace order_status

namespace payment_status {
inline constexpr const char* kPending = "P";
inline constexpr const char* kSucceeded = "e";
inline constexpr const char* kFailed = "F";
inline constexpr std::initializer_list<const char*> kAll = {kPending, kSucceeded, kFailed};
}  // namespace payment_status

// The investor categories an issue offers, by code.
namespace category_code {
inline constexpr const char* kRetail = "RETAIL";
inline constexpr const char* kNonInstitutional = "HNI";
inline constexpr const char* kEmployee = "EMPLOYEE";
inline constexpr const char* kShareholder = "SHAREHOLDER";
}  // namespace category_code

// What a request asks of an order or a bid: a new one, or a change to one stored ("M").
namespace order_flag {
inline constexpr const char* kNew = "N";
inline constexpr const char* kModify = "M";
}  // namespace order_flag

namespace payment_mode {
inline constexpr const char* kUpi = "UPI";
inline constexpr const char* kAsba = "ASBA";
}  // namespace payment_mode

// What may happen to a stored order: the client's modify and cancel, the operator's commands.
enum class OrderAction {
    Modify,
    Cancel,
    Confirm,
    Reject,
    OperatorCancel,
    ExchangeCancel,
    Allot,
    Payment,
    Mandate,  // the payer accepts or declines a UPI order's mandate
};

struct OrderTransition {
    OrderAction action;
    std::initializer_list<const char*> from;  // the states the action may be given in
    const char* to;                           // the state it leaves; nullptr: the state stays
};

const OrderTransition& TransitionOf(OrderAction action);
// Whether the action may be given to an order in this state.
bool Allows(const OrderTransition& transition, std::string_view status);
// Whether the text is one of the states.
bool IsOneOf(std::string_view text, std::initializer_list<const char*> states);
// "status IN ('P', 'M', 'CF')": the SQL condition on an order's column `status` that selects a
// live order, written the same way wherever it is used (an index serves only its own words).
std::string LiveStatusCondition();

}  // namespace svc
