// The answers to the order requests, as the protocol writes them: an order taken (placed or
// modified) with a line per bid, an order refused for a rule it breaks, and a cancel's outcome.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace svc {

struct TakenBid {
    int slot = 0;  // 0, 1 or 2: the bid's place in the request
    std::string reference;
};

std::string OrderTaken(const std::string& message, int64_t orderNumber,
                       const std::string& applicationNumber, const std::vector<TakenBid>& bids);
std::string OrderRefused(const std::string& message);
std::string CancelOutcome(bool cancelled, const std::string& message);

}  // namespace svc
