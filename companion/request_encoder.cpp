#include "companion/request_encoder.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "base/text.h"

namespace corvex {
namespace {

using nlohmann::json;

// A text field of the record, checked to be UTF-8 so that it travels unchanged.
template <size_t N>
std::string Text(const char (&field)[N], const char* name) {
    std::string text = base::FieldText(field);
    try {
        (void)json(text).dump();
    } catch (const json::type_error&) {
        throw RequestRefused(std::string("The ") + name + " is not valid UTF-8 text");
    }
    return text;
}

// A bid price in currency units as whole paise; a price finer than a paisa is refused.
int64_t PricePaise(double price, int bid) {
    constexpr double kMaxPrice = 10'000'000.0;  // rupees per share
    if (!std::isfinite(price) || price < 0 || price > kMaxPrice) {
        throw RequestRefused(base::Format("Bid %d price is out of range", bid));
    }
    const double hundredths = price * 100.0;
    const double paise = std::round(hundredths);
    if (std::fabs(hundredths - paise) > 1e-6 * std::max(1.0, paise)) {
        throw RequestRefused(
            base::Format("Bid %d price %.6g has more than two decimals", bid, price));
    }
    return static_cast<int64_t>(paise);
}

void AddOrder(json& body, const IPOServiceRequest& request) {
    body["order_flag"] = Text(request.OrderFlag, "order flag");
    body["ipo_name"] = Text(request.IPOName, "IPO name");
    body["issue_tag"] = Text(request.IssueTag, "issue tag");
    body["category"] = Text(request.CategoryCode, "investor category");
    body["user_ref1"] = Text(request.UserReference1, "user reference 1");
    body["user_ref2"] = Text(request.UserReference2, "user reference 2");
    body["payment_mode"] = Text(request.PaymentMode, "payment mode");
    body["upi_id"] = Text(request.UPIId, "UPI id");
    body["bank_name"] = Text(request.BankName, "bank name");
    body["bank_account"] = Text(request.BankAccount, "bank account");
    body["order_number"] = request.OrderNumber;
    body["application_number"] = Text(request.ApplicationNumber, "application number");
    json bids = json::array();
    for (int i = 0; i < 3; ++i) {
        const IPOBidSlot& slot = request.Bids[i];
        bids.push_back({{"action", Text(slot.BidActionCode, "bid action")},
                        {"quantity", slot.Quantity},
                        {"cut_off", slot.CutOff != 0},
                        {"price_paise", PricePaise(slot.Price, i + 1)},
                        {"reference", Text(slot.BidReference, "bid reference")}});
    }
    body["bids"] = bids;
}

}  // namespace

std::string EncodeRequest(const IPOServiceRequest& request) {
    json body = {{"code", request.RequestCode},
                 {"user_type", request.UserType},
                 {"user_id", Text(request.UserId, "user id")},
                 {"client_code", Text(request.ClientCode, "client code")},
                 {"client_id", Text(request.ClientId, "client id")},
                 {"login_client_id", Text(request.LoginClientId, "login client id")},
                 {"login_client_code", Text(request.LoginClientCode, "login client code")}};
    switch (request.RequestCode) {
        case kRequestWatchList:
            body["section"] = Text(request.Section, "watch list section");
            body["product"] = Text(request.Product, "product");
            body["from_date"] = Text(request.WatchFromDate, "from date");
            body["to_date"] = Text(request.WatchToDate, "to date");
            break;
        case kRequestWatchDetails:
            body["issue_key"] = Text(request.IssueKey, "issue key");
            break;
        case kRequestOrderBook:
            body["from_date"] = Text(request.OrderBookFromDate, "from date");
            body["to_date"] = Text(request.OrderBookToDate, "to date");
            body["status"] = Text(request.OrderStatus, "order status");
            break;
        case kRequestPlaceOrder:
            AddOrder(body, request);
            break;
        case kRequestCancelOrder:
            body["order_number"] = request.CancelOrderNumber;
            body["action"] = Text(request.CancelAction, "cancel action");
            body["bid_references"] = {Text(request.BidReferences[0], "bid reference 1"),
                                      Text(request.BidReferences[1], "bid reference 2"),
                                      Text(request.BidReferences[2], "bid reference 3")};
            break;
        case kRequestUserDetails:
            body["details"] = Text(request.DetailsWanted, "details flag");
            break;
        default:
            throw RequestRefused(
                base::Format("Request code %u is not an IPO request", request.RequestCode));
    }
    return body.dump();
}

}  // namespace corvex
