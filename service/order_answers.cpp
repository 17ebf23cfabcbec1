#include "service/order_answers.h"

#include "base/text.h"
#include "service/answer_writer.h"

namespace svc {

// Each answer is written straight into its text: a batch of orders runs one at a time, and a
// JSON tree built and dumped for each of them cost more than the rules' reads.
std::string OrderTaken(const std::string& message, int64_t orderNumber,
                       const std::string& applicationNumber, const std::vector<TakenBid>& bids) {
    std::string body;
    AnswerWriter answer(body);
    base::JsonWriter& out = answer.json;
    out.BeginObject().Member("application_number", applicationNumber).Key("details").BeginArray();
    for (const TakenBid& bid : bids) {
        out.BeginObject()
            .Member("reference", bid.reference)
            .Member("status", int64_t{1})
            .Member("text", base::Format("Bid %d accepted", bid.slot + 1))
            .EndObject();
    }
    out.EndArray()
        .Member("message", message)
        .Member("order_number", orderNumber)
        .Member("status", int64_t{1})
        .EndObject();
    return answer.Finish(body);
}

std::string OrderRefused(const std::string& message) {
    std::string body;
    AnswerWriter answer(body);
    answer.json.BeginObject()
        .Key("details")
        .BeginArray()
        .EndArray()
        .Member("message", message)
        .Member("status", int64_t{0})
        .EndObject();
    return answer.Finish(body);
}

std::string CancelOutcome(bool cancelled, const std::string& message) {
    std::string body;
    AnswerWriter answer(body);
    answer.json.BeginObject()
        .Member("message", message)
        .Member("outcome", int64_t{cancelled ? 1 : 0})
        .EndObject();
    return answer.Finish(body);
}

}  // namespace svc
