#include "companion/answer_decoder.h"

#include <simdjson.h>

#include <climits>
#include <stdexcept>

#include "base/text.h"

namespace corvex {
namespace {

// A field of the answer that is missing or not what the protocol says.
class BadField : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The fields of one answer object. Its path ("records[3].bids[1]") is spelt out only for a
// message: the readers of 400,000 objects would otherwise format 400,000 paths for nothing.
class Reader {
  public:
    explicit Reader(simdjson::dom::object object) : object_(object) {}
    // Element `index` of the array field `name` of `parent`.
    Reader(simdjson::dom::object object, const Reader& parent, const char* name, size_t index)
        : object_(object), parent_(&parent), name_(name), index_(index) {}

    std::string Text(const char* name) const { return std::string(View(name)); }
    // The text where the parser holds it: valid while its answer is.
    std::string_view View(const char* name) const {
        std::string_view text;
        if (Get(name).get_string().get(text) != simdjson::SUCCESS) {
            throw BadField("field " + Path(name) + " is not a text");
        }
        if (text.find('\0') != std::string_view::npos) {
            throw BadField("field " + Path(name) + " holds a zero byte");
        }
        return text;
    }
    int64_t Integer(const char* name, int64_t low, int64_t high) const {
        const simdjson::dom::element value = Get(name);
        int64_t number = 0;
        if (value.is_uint64() && !value.is_int64()) {
            throw BadField("field " + Path(name) + " is out of range");
        }
        if (!value.is_int64() || value.get_int64().get(number) != simdjson::SUCCESS) {
            throw BadField("field " + Path(name) + " is not a whole number");
        }
        if (number < low || number > high) {
            throw BadField("field " + Path(name) + " is out of range");
        }
        return number;
    }
    int32_t Int32(const char* name) const {
        return static_cast<int32_t>(Integer(name, INT32_MIN, INT32_MAX));
    }
    // Money in paise, as the protocol sends it.
    int64_t Paise(const char* name) const { return Integer(name, -kMaxPaise, kMaxPaise); }
    // Money in currency units.
    double Rupees(const char* name) const { return static_cast<double>(Paise(name)) / 100.0; }
    bool Flag(const char* name) const {
        bool flag = false;
        if (Get(name).get_bool().get(flag) != simdjson::SUCCESS) {
            throw BadField("field " + Path(name) + " is not true or false");
        }
        return flag;
    }
    // A text that may be missing or of another type: empty then.
    std::string TextOrEmpty(const char* name) const {
        simdjson::dom::element value;
        std::string_view text;
        return Find(name, value) && value.get_string().get(text) == simdjson::SUCCESS &&
                       text.find('\0') == std::string_view::npos
                   ? std::string(text)
                   : std::string();
    }
    // A flag that may be missing or of another type: false then.
    bool FlagOrFalse(const char* name) const {
        simdjson::dom::element value;
        bool flag = false;
        return Find(name, value) && value.get_bool().get(flag) == simdjson::SUCCESS && flag;
    }
    // Calls visit(Reader) for each object of an array field, whose records it adds to `list`,
    // and links the list.
    template <class Visit>
    void Each(const char* name, RecordList& list, Visit visit) const {
        simdjson::dom::array array;
        if (Get(name).get_array().get(array) != simdjson::SUCCESS) {
            throw BadField("field " + Path(name) + " is not a list");
        }
        list.Reserve(array.size());
        size_t i = 0;
        for (simdjson::dom::element element : array) {
            simdjson::dom::object object;
            if (element.get_object().get(object) != simdjson::SUCCESS) {
                throw BadField("field " + Element(name, i) + " is not an object");
            }
            visit(Reader(object, *this, name, i++));
        }
        list.Link();
    }

  private:
    // Money beyond 10^15 rupees is not an amount any order can carry; it keeps doubles exact.
    static constexpr int64_t kMaxPaise = 100'000'000'000'000'000;

    // This object's path; empty for the answer itself.
    std::string Own() const { return parent_ ? parent_->Element(name_, index_) : std::string(); }
    std::string Path(const char* name) const {
        const std::string own = Own();
        return own.empty() ? std::string(name) : own + "." + name;
    }
    std::string Element(const char* name, size_t index) const {
        return base::Format("%s[%zu]", Path(name).c_str(), index);
    }
    simdjson::dom::element Get(const char* name) const {
        simdjson::dom::element value;
        if (!Find(name, value)) {
            throw BadField("field " + Path(name) + " is missing");
        }
        return value;
    }
    // Looks from just after the field found last, wrapping round: fields read in the order the
    // answer holds them are found at once, and any other order still finds them.
    bool Find(std::string_view name, simdjson::dom::element& value) const {
        const auto search = [&](simdjson::dom::object::iterator from,
                                simdjson::dom::object::iterator to) {
            for (auto field = from; field != to; ++field) {
                if (field.key_equals(name)) {
                    value = field.value();
                    next_ = ++field;
                    return true;
                }
            }
            return false;
        };
        return search(next_, object_.end()) || search(object_.begin(), next_);
    }

    simdjson::dom::object object_;
    mutable simdjson::dom::object::iterator next_ = object_.begin();
    const Reader* parent_ = nullptr;
    const char* name_ = nullptr;
    size_t index_ = 0;
};

std::unique_ptr<WatchRecord> Watch(const Reader& in) {
    auto record = std::make_unique<WatchRecord>();
    record->bidEnd = in.Text("bid_end");
    record->bidStart = in.Text("bid_start");
    record->faceValue = in.Rupees("face_value_paise");
    record->issueKey = in.Text("issue_key");
    record->issueSize = in.Integer("issue_size", 0, INT64_MAX);
    record->issueTag = in.Text("issue_tag");
    record->issueType = in.Text("issue_type");
    record->lotSize = in.Int32("lot_size");
    record->minimumQuantity = in.Int32("min_quantity");
    record->name = in.Text("name");
    record->priceHigh = in.Rupees("price_high_paise");
    record->priceLow = in.Rupees("price_low_paise");
    return record;
}

std::unique_ptr<DetailsRecord> Details(const Reader& in) {
    auto record = std::make_unique<DetailsRecord>();
    record->issueKey = in.Text("issue_key");
    record->name = in.Text("name");
    record->issueTag = in.Text("issue_tag");
    record->priceLow = in.Rupees("price_low_paise");
    record->priceHigh = in.Rupees("price_high_paise");
    record->issueSize = in.Integer("issue_size", 0, INT64_MAX);
    record->faceValue = in.Rupees("face_value_paise");
    record->minimumBidQuantity = in.Int32("min_bid_quantity");
    record->lotSize = in.Int32("lot_size");
    record->bidStartTime = in.Text("bid_start_time");
    record->bidEndTime = in.Text("bid_end_time");
    record->registrar = in.Text("registrar");
    record->rating = in.Text("rating");
    record->prospectus = in.Text("prospectus");
    record->recommendation = in.Text("recommendation");
    in.Each("categories", record->categories, [&](const Reader& item) {
        auto category = std::make_unique<CategoryAnswer>();
        category->code = item.Text("code");
        category->name = item.Text("name");
        category->minimumPrice = item.Rupees("price_low_paise");
        category->maximumPrice = item.Rupees("price_high_paise");
        category->cutOffAllowed = item.Flag("cut_off") ? 1 : 0;
        record->categories.Add<CategoryRecord>(std::move(category));
    });
    return record;
}

std::unique_ptr<UserDetailsAnswer> UserDetails(const Reader& in) {
    auto record = std::make_unique<UserDetailsAnswer>();
    record->upiId = in.Text("upi_id");
    const std::string clientId = in.Text("client_id");
    in.Each("bank_accounts", record->bankAccounts, [&](const Reader& item) {
        auto account = std::make_unique<BankAccountAnswer>();
        account->clientId = clientId;
        account->bankName = item.Text("bank_name");
        account->accountNumber = item.Text("account_number");
        account->ifsc = item.Text("ifsc");
        account->branch = item.Text("branch");
        account->asbaAllowed = item.Flag("asba") ? 1 : 0;
        record->bankAccounts.Add<BankAccountRecord>(std::move(account));
    });
    in.Each("references", record->references, [&](const Reader& item) {
        auto reference = std::make_unique<ReferenceAnswer>();
        reference->reference1 = item.Text("user_ref1");
        reference->reference2 = item.Text("user_ref2");
        record->references.Add<UserReferenceRecord>(std::move(reference));
    });
    return record;
}

std::unique_ptr<OrderAnswer> Order(const Reader& in) {
    auto record = std::make_unique<OrderAnswer>();
    record->status = static_cast<uint8_t>(in.Integer("status", 0, 1));
    record->message = in.Text("message");
    if (record->status == 1) {
        record->orderNumber = std::to_string(in.Int32("order_number"));
        record->applicationNumber = in.Text("application_number");
    }
    in.Each("details", record->details, [&](const Reader& item) {
        auto detail = std::make_unique<OrderDetailAnswer>();
        detail->status = static_cast<uint8_t>(item.Integer("status", 0, 1));
        detail->reference = item.Text("reference");
        detail->text = item.Text("text");
        record->details.Add<OrderResponseDetail>(std::move(detail));
    });
    return record;
}

std::unique_ptr<OrderBookAnswer> OrderBook(const Reader& in) {
    // Read in the order the answer's keys come (sorted), so that each is found at once.
    auto record = std::make_unique<OrderBookAnswer>();
    record->allocatedQuantity = in.Int32("allotted_quantity");
    record->texts.Set(OrderText::kApplicationNumber, in.View("application_number"));
    record->texts.Set(OrderText::kBankAccount, in.View("bank_account"));
    record->texts.Set(OrderText::kBankName, in.View("bank_name"));
    record->texts.Set(OrderText::kBidDate, in.View("bid_date"));
    in.Each("bids", record->bids, [&](const Reader& item) {
        auto bid = std::make_unique<OrderBidAnswer>();
        bid->amountPaise = static_cast<double>(item.Paise("amount_paise"));
        bid->cutOff = item.Flag("cut_off") ? 1 : 0;
        bid->position = item.Int32("position");
        bid->pricePaise = static_cast<double>(item.Paise("price_paise"));
        bid->quantity = item.Int32("quantity");
        bid->reference = item.Text("reference");
        record->bids.Add<IPOOrderBid>(std::move(bid));
    });
    record->texts.Set(OrderText::kCategory, in.View("category"));
    record->texts.Set(OrderText::kClientName, in.View("client_name"));
    record->texts.Set(OrderText::kIssueKey, in.View("issue_key"));
    record->texts.Set(OrderText::kLastModified, in.View("last_modified"));
    record->lotSize = in.Int32("lot_size");
    record->texts.Set(OrderText::kOfferName, in.View("offer_name"));
    record->texts.Set(OrderText::kOfferType, in.View("offer_type"));
    record->orderNumber = in.Int32("order_number");
    record->texts.Set(OrderText::kPaymentMode, in.View("payment_mode"));
    record->texts.Set(OrderText::kPaymentStatus, in.View("payment_status"));
    record->refund = in.Rupees("refund_paise");
    record->texts.Set(OrderText::kRejectionReason, in.View("rejection_reason"));
    record->texts.Set(OrderText::kStatus, in.View("status"));
    record->totalPaise = static_cast<double>(in.Paise("total_paise"));
    record->texts.Set(OrderText::kUpiId, in.View("upi_id"));
    record->texts.Set(OrderText::kReference1, in.View("user_ref1"));
    record->texts.Set(OrderText::kReference2, in.View("user_ref2"));
    return record;
}

std::unique_ptr<CancelAnswer> Cancel(const Reader& in) {
    auto record = std::make_unique<CancelAnswer>();
    record->outcome = static_cast<uint8_t>(in.Integer("outcome", 0, 1));
    record->message = in.Text("message");
    return record;
}

void AddRecord(Answer& answer, const Reader& in) {
    RecordList& records = answer.Records();
    switch (answer.Code()) {
        case kRequestWatchList:
            records.Add<IPOWatchEntry>(Watch(in));
            break;
        case kRequestWatchDetails:
            records.Add<IPODetailsEntry>(Details(in));
            break;
        case kRequestOrderBook:
            records.Add<IPOOrderBookEntry>(OrderBook(in));
            break;
        case kRequestPlaceOrder:
            records.Add<OrderResponseRecord>(Order(in));
            break;
        case kRequestCancelOrder:
            records.Add<IPOCancelResponse>(Cancel(in));
            break;
        case kRequestUserDetails:
            records.Add<UserDetailsRecord>(UserDetails(in));
            break;
        default:
            throw BadField(base::Format("request code %u has no answer records", answer.Code()));
    }
}

Outcome Failure(int16_t resultCode, std::string message, bool accepted = false) {
    Outcome outcome;
    outcome.accepted = accepted;
    outcome.resultCode = resultCode;
    outcome.message = std::move(message);
    return outcome;
}

// `inPlace`: the bytes after the body, up to the parser's padding, may be read.
Outcome Decode(uint16_t code, int httpStatus, std::string_view body, bool inPlace) {
    // One parser per thread keeps its buffers from answer to answer.
    thread_local simdjson::dom::parser parser;
    simdjson::dom::object parsed;
    if (parser.parse(body.data(), body.size(), !inPlace).get_object().get(parsed) !=
        simdjson::SUCCESS) {
        return Failure(kInvalidAnswer,
                       base::Format("The IPO service answered with something that is not a JSON "
                                    "object (HTTP status %d)",
                                    httpStatus));
    }
    try {
        const Reader top(parsed);
        const int64_t result = top.Integer("result", INT16_MIN, INT16_MAX);
        if (httpStatus != 200 || result > 0) {
            std::string text = top.TextOrEmpty("message");
            if (text.empty()) {
                text = base::Format("The IPO service refused the request (HTTP status %d)",
                                    httpStatus);
            }
            return Failure(result > 0 ? static_cast<int16_t>(result) : kServiceRefused, text,
                           top.FlagOrFalse("accepted"));
        }
        auto answer = std::make_unique<Answer>(code);
        top.Each("records", answer->Records(),
                 [&](const Reader& record) { AddRecord(*answer, record); });
        Outcome outcome;
        outcome.accepted = true;
        outcome.resultCode = static_cast<int16_t>(result);
        outcome.answer = std::move(answer);
        return outcome;
    } catch (const BadField& error) {
        return Failure(
            kInvalidAnswer,
            std::string("The IPO service sent an answer that cannot be read: ") + error.what());
    }
}

}  // namespace

Outcome DecodeAnswer(uint16_t code, int httpStatus, std::string_view body) {
    return Decode(code, httpStatus, body, false);
}

Outcome DecodeAnswer(uint16_t code, int httpStatus, const std::string& body) {
    const bool roomForPadding = body.capacity() - body.size() >= simdjson::SIMDJSON_PADDING;
    return Decode(code, httpStatus, body, roomForPadding);
}

}  // namespace corvex
