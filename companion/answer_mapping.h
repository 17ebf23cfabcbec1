// How the service's JSON answer maps onto the answer records, written once for the JSON
// library each platform decodes with (simdjson on Linux, nlohmann-json on Windows). A library
// comes in as `Json`, a type with the operations Reader uses:
//   Object, Value, Cursor    an object, any value, and where the last field search ended
//   Start(object)            the cursor at the object's first field
//   Find(object, cursor, name, value)               the field `name`; false when missing
//   String(value, view)      a text (a view into the parsed answer)
//   Whole(value, number)     a whole number: Number::kWhole, kOutOfRange or kNot
//   Bool(value, flag)
//   EachElement(value, reserve, element)  reserve(size), then element(value) for each element
//                                         of an array; false when it is not an array
//   AsObject(value, object)
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "companion/answer_decoder.h"

namespace corvex::mapping {

// A field of the answer that is missing or not what the protocol says.
class BadField : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

enum class Number { kWhole, kOutOfRange, kNot };

// A field's name as the mapping spells it: always a literal (the constructor runs at compile
// time), so that its address and length stand for its text for as long as the program runs.
class Name {
  public:
    template <size_t kSize>
    consteval Name(const char (&text)[kSize]) : text_(text, kSize - 1) {}
    std::string_view Text() const { return text_; }

  private:
    std::string_view text_;
};

// The fields of one answer object, or of one row of a table answer (its values, named by the
// table's columns). Its path ("records[3].bids[1]") is spelt out only for a message: the readers
// of 400,000 objects would otherwise format 400,000 paths for nothing.
template <class Json>
class Reader {
  public:
    using Object = typename Json::Object;
    using Value = typename Json::Value;
    // A table's column names and one row's values, in the same order, and the name each column
    // was last found by.
    struct Row {
        const std::vector<std::string_view>* columns = nullptr;
        const std::vector<Value>* values = nullptr;
        std::vector<std::string_view>* foundBy = nullptr;
    };

    // The answer's own object; `textsMayHoldZero` is false when no text of the answer can hold
    // a zero byte.
    Reader(Object object, bool textsMayHoldZero)
        : object_(object), cursor_(Json::Start(object_)), textsMayHoldZero_(textsMayHoldZero) {}
    // Element `index` of the array field `name` of `parent`.
    Reader(Object object, const Reader& parent, std::string_view name, size_t index)
        : object_(object),
          cursor_(Json::Start(object_)),
          textsMayHoldZero_(parent.textsMayHoldZero_),
          parent_(&parent),
          name_(name),
          index_(index) {}
    // Row `index` of the table whose rows are the array field `name` of `parent`.
    Reader(Row row, const Reader& parent, std::string_view name, size_t index)
        : object_(),
          cursor_(),
          row_(row),
          textsMayHoldZero_(parent.textsMayHoldZero_),
          parent_(&parent),
          name_(name),
          index_(index) {}

    std::string Text(Name name) const { return std::string(View(name)); }
    // The text where the parser holds it: valid while its answer is.
    std::string_view View(Name name) const {
        std::string_view text;
        if (!Json::String(Get(name), text)) {
            throw BadField("field " + Path(name.Text()) + " is not a text");
        }
        if (textsMayHoldZero_ && text.find('\0') != std::string_view::npos) {
            throw BadField("field " + Path(name.Text()) + " holds a zero byte");
        }
        return text;
    }
    int64_t Integer(Name name, int64_t low, int64_t high) const {
        int64_t number = 0;
        const Number kind = Json::Whole(Get(name), number);
        if (kind == Number::kNot) {
            throw BadField("field " + Path(name.Text()) + " is not a whole number");
        }
        if (kind == Number::kOutOfRange || number < low || number > high) {
            throw BadField("field " + Path(name.Text()) + " is out of range");
        }
        return number;
    }
    int32_t Int32(Name name) const {
        return static_cast<int32_t>(Integer(name, INT32_MIN, INT32_MAX));
    }
    // Money in paise, as the protocol sends it.
    int64_t Paise(Name name) const { return Integer(name, -kMaxPaise, kMaxPaise); }
    // Money in currency units.
    double Rupees(Name name) const { return static_cast<double>(Paise(name)) / 100.0; }
    bool Flag(Name name) const {
        bool flag = false;
        if (!Json::Bool(Get(name), flag)) {
            throw BadField("field " + Path(name.Text()) + " is not true or false");
        }
        return flag;
    }
    // A text that may be missing or of another type: empty then.
    std::string TextOrEmpty(Name name) const {
        Value value;
        std::string_view text;
        return Find(name, value) && Json::String(value, text) &&
                       (!textsMayHoldZero_ || text.find('\0') == std::string_view::npos)
                   ? std::string(text)
                   : std::string();
    }
    // A flag that may be missing or of another type: false then.
    bool FlagOrFalse(Name name) const {
        Value value;
        bool flag = false;
        return Find(name, value) && Json::Bool(value, flag) && flag;
    }
    // Calls visit(Reader) for each object of an array field, whose records it adds to `list`,
    // and links the list.
    template <class Visit>
    void Each(Name name, RecordList& list, Visit visit) const {
        size_t i = 0;
        const bool isArray = Json::EachElement(
            Get(name), [&list](size_t size) { list.Reserve(size); },
            [&](const Value& element) {
                Object object;
                if (!Json::AsObject(element, object)) {
                    throw BadField("field " + Element(name.Text(), i) + " is not an object");
                }
                visit(Reader(object, *this, name.Text(), i++));
            });
        if (!isArray) {
            throw BadField("field " + Path(name.Text()) + " is not a list");
        }
        list.Link();
    }
    // Calls visit(Reader) for each record of the answer, whose records it adds to `list`: the
    // objects of `records`, or the rows of a table, whose keys come once as `columns` and each
    // record as an array of values in the columns' order, under `rows`.
    template <class Visit>
    void EachRecord(RecordList& list, Visit visit) const {
        Value columnsField;
        if (!Find("columns", columnsField)) {
            Each("records", list, visit);
            return;
        }
        const std::vector<std::string_view> columns = Columns(columnsField);
        std::vector<Value> values;
        values.reserve(columns.size());
        std::vector<std::string_view> foundBy(columns.size());
        size_t i = 0;
        const bool isArray = Json::EachElement(
            Get("rows"), [&list](size_t size) { list.Reserve(size); },
            [&](const Value& row) {
                values.clear();
                const bool rowIsArray = Json::EachElement(
                    row, [](size_t) {}, [&values](const Value& value) { values.push_back(value); });
                if (!rowIsArray || values.size() != columns.size()) {
                    throw BadField("field " + Element("rows", i) +
                                   " does not hold one value per column");
                }
                visit(Reader(Row{&columns, &values, &foundBy}, *this, "rows", i++));
            });
        if (!isArray) {
            throw BadField("field " + Path("rows") + " is not a list");
        }
        list.Link();
    }

  private:
    // Money beyond 10^15 rupees is not an amount any order can carry; it keeps doubles exact.
    static constexpr int64_t kMaxPaise = 100'000'000'000'000'000;

    // This object's path; empty for the answer itself.
    std::string Own() const { return parent_ ? parent_->Element(name_, index_) : std::string(); }
    std::string Path(std::string_view name) const {
        const std::string own = Own();
        return own.empty() ? std::string(name) : own + "." + std::string(name);
    }
    std::string Element(std::string_view name, size_t index) const {
        return Path(name) + "[" + std::to_string(index) + "]";
    }
    Value Get(Name name) const {
        Value value;
        if (!Find(name, value)) {
            throw BadField("field " + Path(name.Text()) + " is missing");
        }
        return value;
    }
    bool Find(Name name, Value& value) const {
        return row_.columns ? FindInRow(name, value)
                            : Json::Find(object_, cursor_, name.Text(), value);
    }
    // Looks from just after the column found last, wrapping round, as Json::Find does. A column
    // is known again by the very Name (the same literal) that found it in an earlier row, so
    // that the rows after the first compare no texts.
    bool FindInRow(Name name, Value& value) const {
        const std::vector<std::string_view>& columns = *row_.columns;
        std::vector<std::string_view>& foundBy = *row_.foundBy;
        const std::string_view text = name.Text();
        size_t at = column_;
        for (size_t step = 0; step < columns.size(); ++step, ++at) {
            if (at == columns.size()) {
                at = 0;
            }
            const bool same =
                foundBy[at].data() == text.data() && foundBy[at].size() == text.size();
            if (same || columns[at] == text) {
                foundBy[at] = text;
                value = (*row_.values)[at];
                column_ = at + 1 == columns.size() ? 0 : at + 1;
                return true;
            }
        }
        return false;
    }
    // A table's column names: texts, none given twice.
    std::vector<std::string_view> Columns(const Value& field) const {
        std::vector<std::string_view> columns;
        const bool isArray = Json::EachElement(
            field, [&columns](size_t size) { columns.reserve(size); },
            [&](const Value& value) {
                std::string_view name;
                if (!Json::String(value, name)) {
                    throw BadField("field " + Element("columns", columns.size()) +
                                   " is not a text");
                }
                if (std::find(columns.begin(), columns.end(), name) != columns.end()) {
                    throw BadField("field columns names " + std::string(name) + " twice");
                }
                columns.push_back(name);
            });
        if (!isArray) {
            throw BadField("field " + Path("columns") + " is not a list");
        }
        return columns;
    }

    Object object_;
    mutable typename Json::Cursor cursor_;
    Row row_;
    mutable size_t column_ = 0;
    bool textsMayHoldZero_ = true;
    const Reader* parent_ = nullptr;
    std::string_view name_;
    size_t index_ = 0;
};

template <class In>
void Watch(const In& in, WatchRecord& record) {
    // Read in the order the answer's keys come (sorted), so that each is found at once.
    record.texts.Set(WatchText::kBidEnd, in.View("bid_end"));
    record.texts.Set(WatchText::kBidStart, in.View("bid_start"));
    record.faceValue = in.Rupees("face_value_paise");
    record.texts.Set(WatchText::kIssueKey, in.View("issue_key"));
    record.issueSize = in.Integer("issue_size", 0, INT64_MAX);
    record.texts.Set(WatchText::kIssueTag, in.View("issue_tag"));
    record.texts.Set(WatchText::kIssueType, in.View("issue_type"));
    record.lotSize = in.Int32("lot_size");
    record.minimumQuantity = in.Int32("min_quantity");
    record.texts.Set(WatchText::kName, in.View("name"));
    record.priceHigh = in.Rupees("price_high_paise");
    record.priceLow = in.Rupees("price_low_paise");
}

template <class In>
void Details(const In& in, DetailsRecord& record) {
    record.issueKey = in.Text("issue_key");
    record.name = in.Text("name");
    record.issueTag = in.Text("issue_tag");
    record.priceLow = in.Rupees("price_low_paise");
    record.priceHigh = in.Rupees("price_high_paise");
    record.issueSize = in.Integer("issue_size", 0, INT64_MAX);
    record.faceValue = in.Rupees("face_value_paise");
    record.minimumBidQuantity = in.Int32("min_bid_quantity");
    record.lotSize = in.Int32("lot_size");
    record.bidStartTime = in.Text("bid_start_time");
    record.bidEndTime = in.Text("bid_end_time");
    record.registrar = in.Text("registrar");
    record.rating = in.Text("rating");
    record.prospectus = in.Text("prospectus");
    record.recommendation = in.Text("recommendation");
    in.Each("categories", record.categories, [&](const In& item) {
        CategoryAnswer& category = record.categories.New<CategoryRecord, CategoryAnswer>();
        category.code = item.Text("code");
        category.name = item.Text("name");
        category.minimumPrice = item.Rupees("price_low_paise");
        category.maximumPrice = item.Rupees("price_high_paise");
        category.cutOffAllowed = item.Flag("cut_off") ? 1 : 0;
    });
}

template <class In>
void UserDetails(const In& in, UserDetailsAnswer& record) {
    record.upiId = in.Text("upi_id");
    const std::string clientId = in.Text("client_id");
    in.Each("bank_accounts", record.bankAccounts, [&](const In& item) {
        BankAccountAnswer& account =
            record.bankAccounts.New<BankAccountRecord, BankAccountAnswer>();
        account.clientId = clientId;
        account.bankName = item.Text("bank_name");
        account.accountNumber = item.Text("account_number");
        account.ifsc = item.Text("ifsc");
        account.branch = item.Text("branch");
        account.asbaAllowed = item.Flag("asba") ? 1 : 0;
    });
    in.Each("references", record.references, [&](const In& item) {
        ReferenceAnswer& reference = record.references.New<UserReferenceRecord, ReferenceAnswer>();
        reference.reference1 = item.Text("user_ref1");
        reference.reference2 = item.Text("user_ref2");
    });
}

template <class In>
void Order(const In& in, OrderAnswer& record) {
    record.status = static_cast<uint8_t>(in.Integer("status", 0, 1));
    record.message = in.Text("message");
    if (record.status == 1) {
        record.orderNumber = std::to_string(in.Int32("order_number"));
        record.applicationNumber = in.Text("application_number");
    }
    in.Each("details", record.details, [&](const In& item) {
        OrderDetailAnswer& detail = record.details.New<OrderResponseDetail, OrderDetailAnswer>();
        detail.status = static_cast<uint8_t>(item.Integer("status", 0, 1));
        detail.reference = item.Text("reference");
        detail.text = item.Text("text");
    });
}

template <class In>
void OrderBook(const In& in, OrderBookAnswer& record) {
    // Read in the order the answer's keys come (sorted), so that each is found at once.
    record.allocatedQuantity = in.Int32("allotted_quantity");
    record.texts.Set(OrderText::kApplicationNumber, in.View("application_number"));
    record.texts.Set(OrderText::kBankAccount, in.View("bank_account"));
    record.texts.Set(OrderText::kBankName, in.View("bank_name"));
    record.texts.Set(OrderText::kBidDate, in.View("bid_date"));
    in.Each("bids", record.bids, [&](const In& item) {
        OrderBidAnswer& bid = record.bids.New<IPOOrderBid, OrderBidAnswer>();
        bid.amountPaise = static_cast<double>(item.Paise("amount_paise"));
        bid.cutOff = item.Flag("cut_off") ? 1 : 0;
        bid.position = item.Int32("position");
        bid.pricePaise = static_cast<double>(item.Paise("price_paise"));
        bid.quantity = item.Int32("quantity");
        bid.reference = item.Text("reference");
    });
    record.texts.Set(OrderText::kCategory, in.View("category"));
    record.texts.Set(OrderText::kClientName, in.View("client_name"));
    record.texts.Set(OrderText::kIssueKey, in.View("issue_key"));
    record.texts.Set(OrderText::kLastModified, in.View("last_modified"));
    record.lotSize = in.Int32("lot_size");
    record.texts.Set(OrderText::kOfferName, in.View("offer_name"));
    record.texts.Set(OrderText::kOfferType, in.View("offer_type"));
    record.orderNumber = in.Int32("order_number");
    record.texts.Set(OrderText::kPaymentMode, in.View("payment_mode"));
    record.texts.Set(OrderText::kPaymentStatus, in.View("payment_status"));
    record.refund = in.Rupees("refund_paise");
    record.texts.Set(OrderText::kRejectionReason, in.View("rejection_reason"));
    record.texts.Set(OrderText::kStatus, in.View("status"));
    record.totalPaise = static_cast<double>(in.Paise("total_paise"));
    record.texts.Set(OrderText::kUpiId, in.View("upi_id"));
    record.texts.Set(OrderText::kReference1, in.View("user_ref1"));
    record.texts.Set(OrderText::kReference2, in.View("user_ref2"));
}

template <class In>
void Cancel(const In& in, CancelAnswer& record) {
    record.outcome = static_cast<uint8_t>(in.Integer("outcome", 0, 1));
    record.message = in.Text("message");
}

template <class In>
void AddRecord(Answer& answer, const In& in) {
    RecordList& records = answer.Records();
    switch (answer.Code()) {
        case kRequestWatchList:
            Watch(in, records.New<IPOWatchEntry, WatchRecord>());
            break;
        case kRequestWatchDetails:
            Details(in, records.New<IPODetailsEntry, DetailsRecord>());
            break;
        case kRequestOrderBook:
            OrderBook(in, records.New<IPOOrderBookEntry, OrderBookAnswer>());
            break;
        case kRequestPlaceOrder:
            Order(in, records.New<OrderResponseRecord, OrderAnswer>());
            break;
        case kRequestCancelOrder:
            Cancel(in, records.New<IPOCancelResponse, CancelAnswer>());
            break;
        case kRequestUserDetails:
            UserDetails(in, records.New<UserDetailsRecord, UserDetailsAnswer>());
            break;
        default:
            throw BadField(base::Format("request code %u has no answer records", answer.Code()));
    }
}

inline Outcome Failure(int16_t resultCode, std::string message, bool accepted = false) {
    Outcome outcome;
    outcome.accepted = accepted;
    outcome.resultCode = resultCode;
    outcome.message = std::move(message);
    return outcome;
}

// The outcome of a parsed answer: the service's refusal, or the records of the request code.
// `body` is the answer's text. Both parsers refuse a control character written as itself within a
// text, so a zero byte in a text can only come from the escape \u0000: without one in the body,
// no text needs to be searched for it.
template <class Json>
Outcome DecodeObject(uint16_t code, int httpStatus, std::string_view body,
                     typename Json::Object parsed) {
    try {
        const Reader<Json> top(parsed, body.find("\\u0000") != std::string_view::npos);
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
        top.EachRecord(answer->Records(),
                       [&](const Reader<Json>& record) { AddRecord(*answer, record); });
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

// An answer that is not a JSON object.
inline Outcome NotAnObject(int httpStatus) {
    return Failure(kInvalidAnswer,
                   base::Format("The IPO service answered with something that is not a JSON "
                                "object (HTTP status %d)",
                                httpStatus));
}

}  // namespace corvex::mapping
