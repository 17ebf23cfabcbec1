#include "service/order_answers.h"

#include <nlohmann/json.hpp>

#include "base/text.h"
#include "service/queries.h"

namespace svc {

std::string OrderTaken(const std::string& message, int64_t orderNumber,
                       const std::string& applicationNumber, const std::vector<TakenBid>& bids) {
    nlohmann::json details = nlohmann::json::array();
    for (const TakenBid& bid : bids) {
        details.push_back({{"status", 1},
                           {"reference", bid.reference},
                           {"text", base::Format("Bid %d accepted", bid.slot + 1)}});
    }
    return Answer(nlohmann::json::array({{{"status", 1},
                                          {"message", message},
                                          {"order_number", orderNumber},
                                          {"application_number", applicationNumber},
                                          {"details", details}}}));
}

std::string OrderRefused(const std::string& message) {
    return Answer(nlohmann::json::array(
        {{{"status", 0}, {"message", message}, {"details", nlohmann::json::array()}}}));
}

std::string CancelOutcome(bool cancelled, const std::string& message) {
    return Answer(nlohmann::json::array({{{"outcome", cancelled ? 1 : 0}, {"message", message}}}));
}

}  // namespace svc
