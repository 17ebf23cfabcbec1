#include "service/order_states.h"

#include <algorithm>
#include <stdexcept>

namespace svc {
namespace {

using namespace order_status;

// Payment concerns live orders only; allotment confirmed ones only.
const OrderTransition kTransitions[] = {
    {OrderAction::Modify, {kPending, kModified}, kModified},
    {OrderAction::Cancel, {kPending, kModified}, kCancelledByClient},
    {OrderAction::Confirm, {kPending, kModified}, kConfirmed},
    {OrderAction::Reject, {kPending, kModified}, kRejected},
    {OrderAction::OperatorCancel, kLive, kCancelledByOperator},
    {OrderAction::ExchangeCancel, kLive, kCancelledByExchange},
    {OrderAction::Allot, {kConfirmed}, nullptr},
    {OrderAction::Payment, kLive, nullptr},
    {OrderAction::Mandate, kLive, nullptr},
};

}  // namespace

const OrderTransition& TransitionOf(OrderAction action) {
    const auto found = std::find_if(
        std::begin(kTransitions), std::end(kTransitions),
        [action](const OrderTransition& transition) { return transition.action == action; });
    if (found == std::end(kTransitions)) {
        throw std::logic_error("an order action without a transition");
    }
    return *found;
}

bool IsOneOf(std::string_view text, std::initializer_list<const char*> states) {
    return std::any_of(states.begin(), states.end(),
                       [text](const char* state) { return text == state; });
}

bool Allows(const OrderTransition& transition, std::string_view status) {
    return IsOneOf(status, transition.from);
}

std::string LiveStatusCondition() {
    std::string condition = "status IN (";
    for (const char* status : kLive) {
        condition += (condition.back() == '(' ? "'" : ", '") + std::string(status) + "'";
    }
    return condition + ")";
}

}  // namespace svc
