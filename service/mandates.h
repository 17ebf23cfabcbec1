// UPI mandates: a UPI order raises a mandate for the amount it blocks (payment pending), and the
// payer accepts it (payment succeeded, the funds are blocked) or declines it (payment failed) in
// a UPI app. A mandate still pending at 17:00 on the closing day has expired: it counts as
// failed, and its application takes no part in the allotment.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "service/store.h"

namespace svc {

// The last moment a mandate may be accepted: 17:00:00 on the day of `bidEnd`.
std::string MandateCutOff(const std::string& bidEnd);

// The payer's answer as written, "accept" (true) or "decline" (false); none for anything else.
std::optional<bool> MandateAnswer(const std::string& text);

struct MandateDecision {
    bool done = false;          // accepted or declined as asked
    std::string message;        // what happened, or why not
    std::string paymentStatus;  // the order's payment status after it
};

// Accepts or declines the pending mandate of an order. `clientId` names the payer (the
// endpoint's caller), whose order it must be; empty when the operator acts for a test payer. A
// mandate found expired is marked failed and the decision refused. Throws
// std::invalid_argument for an order that does not exist or is not the payer's.
MandateDecision DecideMandate(Store& store, int64_t orderNumber, bool accept,
                              const std::string& clientId);

}  // namespace svc
