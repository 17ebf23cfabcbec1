#include <nlohmann/json.hpp>

#include "companion/answer_decoder.h"
#include "companion/answer_mapping.h"

namespace corvex {
namespace {

using nlohmann::json;

// nlohmann-json's values as the answer mapping reads them (where simdjson does not build).
struct NlohmannFields {
    using Object = const json*;
    using Value = const json*;
    struct Cursor {};  // fields are found by key

    static Cursor Start(const Object&) { return {}; }
    static bool Find(const Object& object, Cursor&, std::string_view name, Value& value) {
        const auto field = object->find(name);
        if (field == object->end()) {
            return false;
        }
        value = &*field;
        return true;
    }
    static bool String(const Value& value, std::string_view& text) {
        if (!value->is_string()) {
            return false;
        }
        text = value->get_ref<const std::string&>();
        return true;
    }
    static mapping::Number Whole(const Value& value, int64_t& number) {
        if (value->is_number_unsigned()) {
            const uint64_t positive = value->get<uint64_t>();
            number = static_cast<int64_t>(positive);
            return positive > INT64_MAX ? mapping::Number::kOutOfRange : mapping::Number::kWhole;
        }
        if (!value->is_number_integer()) {
            return mapping::Number::kNot;
        }
        number = value->get<int64_t>();
        return mapping::Number::kWhole;
    }
    static bool Bool(const Value& value, bool& flag) {
        if (!value->is_boolean()) {
            return false;
        }
        flag = value->get<bool>();
        return true;
    }
    template <class Reserve, class Element>
    static bool EachElement(const Value& value, Reserve reserve, Element element) {
        if (!value->is_array()) {
            return false;
        }
        reserve(value->size());
        for (const json& item : *value) {
            element(&item);
        }
        return true;
    }
    static bool AsObject(const Value& value, Object& object) {
        object = value;
        return value->is_object();
    }
};

}  // namespace

Outcome DecodeAnswer(uint16_t code, int httpStatus, std::string_view body) {
    const json parsed = json::parse(body, nullptr, false);
    if (!parsed.is_object()) {
        return mapping::NotAnObject(httpStatus);
    }
    return mapping::DecodeObject<NlohmannFields>(code, httpStatus, body, &parsed);
}

Outcome DecodeAnswer(uint16_t code, int httpStatus, const std::string& body) {
    return DecodeAnswer(code, httpStatus, std::string_view(body));
}

}  // namespace corvex
