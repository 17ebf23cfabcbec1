#include "companion/answer_decoder.h"

#include <simdjson.h>

#include "companion/answer_mapping.h"

namespace corvex {
namespace {

// simdjson's DOM as the answer mapping reads it.
struct SimdjsonFields {
    using Object = simdjson::dom::object;
    using Value = simdjson::dom::element;
    // Where the last field search ended, and the object's end.
    struct Cursor {
        simdjson::dom::object::iterator at;
        simdjson::dom::object::iterator end;
    };

    static Cursor Start(const Object& object) { return {object.begin(), object.end()}; }
    // Looks from just after the field found last, wrapping round: fields read in the order the
    // answer holds them are found at once, and any other order still finds them.
    static bool Find(const Object& object, Cursor& cursor, std::string_view name, Value& value) {
        const auto search = [&](simdjson::dom::object::iterator from,
                                simdjson::dom::object::iterator to) {
            for (auto field = from; field != to; ++field) {
                if (field.key_equals(name)) {
                    value = field.value();
                    cursor.at = ++field;
                    return true;
                }
            }
            return false;
        };
        return search(cursor.at, cursor.end) || search(object.begin(), cursor.at);
    }
    static bool String(const Value& value, std::string_view& text) {
        return value.get_string().get(text) == simdjson::SUCCESS;
    }
    static mapping::Number Whole(const Value& value, int64_t& number) {
        if (value.is_uint64() && !value.is_int64()) {
            return mapping::Number::kOutOfRange;
        }
        return value.is_int64() && value.get_int64().get(number) == simdjson::SUCCESS
                   ? mapping::Number::kWhole
                   : mapping::Number::kNot;
    }
    static bool Bool(const Value& value, bool& flag) {
        return value.get_bool().get(flag) == simdjson::SUCCESS;
    }
    template <class Reserve, class Element>
    static bool EachElement(const Value& value, Reserve reserve, Element element) {
        simdjson::dom::array array;
        if (value.get_array().get(array) != simdjson::SUCCESS) {
            return false;
        }
        reserve(array.size());
        for (simdjson::dom::element item : array) {
            element(item);
        }
        return true;
    }
    static bool AsObject(const Value& value, Object& object) {
        return value.get_object().get(object) == simdjson::SUCCESS;
    }
};

// `inPlace`: the bytes after the body, up to the parser's padding, may be read.
Outcome Decode(uint16_t code, int httpStatus, std::string_view body, bool inPlace) {
    // One parser per thread keeps its buffers from answer to answer.
    thread_local simdjson::dom::parser parser;
    simdjson::dom::object parsed;
    if (parser.parse(body.data(), body.size(), !inPlace).get_object().get(parsed) !=
        simdjson::SUCCESS) {
        return mapping::NotAnObject(httpStatus);
    }
    return mapping::DecodeObject<SimdjsonFields>(code, httpStatus, body, parsed);
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
