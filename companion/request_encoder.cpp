#include "companion/request_encoder.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "base/json_writer.h"
#include "base/text.h"

namespace corvex {
namespace {

// The request's JSON, written field after field; a text that is not UTF-8 is refused by name,
// so that every text travels unchanged.
class RequestWriter {
  public:
    explicit RequestWriter(std::string& out) : json_(out, base::BadUtf8::kRefuse) {}

    template <size_t N>
    RequestWriter& Text(std::string_view key, const char (&field)[N], const char* name) {
        json_.Key(key);
        Quoted(field, name);
        return *this;
    }
    RequestWriter& Number(std::string_view key, int64_t value) {
        json_.Member(key, value);
        return *this;
    }
    RequestWriter& Flag(std::string_view key, bool value) {
        json_.Member(key, value);
        return *this;
    }
    base::JsonWriter& Json() { return json_; }

    // A text field as an array element.
    template <size_t N>
    void Quoted(const char (&field)[N], const char* name) {
        try {
            json_.String(base::FieldText(field));
        } catch (const nlohmann::json::type_error&) {
            throw RequestRefused(std::string("The ") + name + " is not valid UTF-8 text");
        }
    }

  private:
    base::JsonWriter json_;
};

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

void WriteOrder(RequestWriter& out, const IPOServiceRequest& request) {
    out.Text("order_flag", request.OrderFlag, "order flag")
        .Text("ipo_name", request.IPOName, "IPO name")
        .Text("issue_tag", request.IssueTag, "issue tag")
        .Text("category", request.CategoryCode, "investor category")
        .Text("user_ref1", request.UserReference1, "user reference 1")
        .Text("user_ref2", request.UserReference2, "user reference 2")
        .Text("payment_mode", request.PaymentMode, "payment mode")
        .Text("upi_id", request.UPIId, "UPI id")
        .Text("bank_name", request.BankName, "bank name")
        .Text("bank_account", request.BankAccount, "bank account")
        .Number("order_number", request.OrderNumber)
        .Text("application_number", request.ApplicationNumber, "application number");
    out.Json().Key("bids").BeginArray();
    for (int i = 0; i < 3; ++i) {
        const IPOBidSlot& slot = request.Bids[i];
        out.Json().BeginObject();
        out.Text("action", slot.BidActionCode, "bid action")
            .Number("quantity", slot.Quantity)
            .Flag("cut_off", slot.CutOff != 0)
            .Number("price_paise", PricePaise(slot.Price, i + 1))
            .Text("reference", slot.BidReference, "bid reference");
        out.Json().EndObject();
    }
    out.Json().EndArray();
}

// The fields of the request code; refuses a code that is not an IPO request.
void WriteRequestFields(RequestWriter& out, const IPOServiceRequest& request) {
    switch (request.RequestCode) {
        case kRequestWatchList:
            out.Text("section", request.Section, "watch list section")
                .Text("product", request.Product, "product")
                .Text("from_date", request.WatchFromDate, "from date")
                .Text("to_date", request.WatchToDate, "to date");
            break;
        case kRequestWatchDetails:
            out.Text("issue_key", request.IssueKey, "issue key");
            break;
        case kRequestOrderBook:
            out.Text("from_date", request.OrderBookFromDate, "from date")
                .Text("to_date", request.OrderBookToDate, "to date")
                .Text("status", request.OrderStatus, "order status");
            break;
        case kRequestPlaceOrder:
            WriteOrder(out, request);
            break;
        case kRequestCancelOrder:
            out.Number("order_number", request.CancelOrderNumber)
                .Text("action", request.CancelAction, "cancel action");
            out.Json().Key("bid_references").BeginArray();
            out.Quoted(request.BidReferences[0], "bid reference 1");
            out.Quoted(request.BidReferences[1], "bid reference 2");
            out.Quoted(request.BidReferences[2], "bid reference 3");
            out.Json().EndArray();
            break;
        case kRequestUserDetails:
            out.Text("details", request.DetailsWanted, "details flag");
            break;
        default:
            throw RequestRefused(
                base::Format("Request code %u is not an IPO request", request.RequestCode));
    }
}

}  // namespace

std::string EncodeRequest(const IPOServiceRequest& request) {
    std::string body;
    body.reserve(512);
    RequestWriter out(body);
    out.Json().BeginObject();
    out.Number("code", request.RequestCode)
        .Number("user_type", request.UserType)
        .Text("user_id", request.UserId, "user id")
        .Text("client_code", request.ClientCode, "client code")
        .Text("client_id", request.ClientId, "client id")
        .Text("login_client_id", request.LoginClientId, "login client id")
        .Text("login_client_code", request.LoginClientCode, "login client code");
    WriteRequestFields(out, request);
    out.Json().EndObject();
    return body;
}

}  // namespace corvex
