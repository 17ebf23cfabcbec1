#include "service/request_fields.h"

#include "base/text.h"

namespace svc {

RequestError BadRequest(const std::string& message) {
    return RequestError(400, kResultBadRequest, message);
}

namespace {

std::string CheckedText(const nlohmann::json& value, const std::string& name, size_t limit) {
    if (!value.is_string()) {
        throw BadRequest(base::Format("Field %s must be a text", name.c_str()));
    }
    const std::string& text = value.get_ref<const std::string&>();
    if (text.size() > limit) {
        throw BadRequest(base::Format("Field %s is longer than %zu bytes", name.c_str(), limit));
    }
    if (text.find('\0') != std::string::npos) {
        throw BadRequest(base::Format("Field %s contains a zero byte", name.c_str()));
    }
    return text;
}

}  // namespace

Fields::Fields(const nlohmann::json& object, std::string prefix)
    : object_(object), prefix_(std::move(prefix)) {}

nlohmann::json Fields::ParseBody(const std::string& body) {
    nlohmann::json parsed = nlohmann::json::parse(body, nullptr, false);
    if (parsed.is_discarded()) {
        throw BadRequest("Request body is not valid JSON");
    }
    if (!parsed.is_object()) {
        throw BadRequest("Request body must be a JSON object");
    }
    return parsed;
}

const nlohmann::json* Fields::Find(const char* name) const {
    const auto found = object_.find(name);
    if (found == object_.end() || found->is_null()) {
        return nullptr;
    }
    return &*found;
}

std::string Fields::Text(const char* name, size_t limit) const {
    const nlohmann::json* value = Find(name);
    return value ? CheckedText(*value, Name(name), limit) : std::string();
}

std::string Fields::RequiredText(const char* name, size_t limit) const {
    std::string text = Text(name, limit);
    if (text.empty()) {
        throw BadRequest(base::Format("Field %s is required", Name(name).c_str()));
    }
    return text;
}

int64_t Fields::Integer(const char* name, int64_t low, int64_t high) const {
    const nlohmann::json* value = Find(name);
    if (!value) {
        return 0;
    }
    if (!value->is_number_integer()) {
        throw BadRequest(base::Format("Field %s must be a whole number", Name(name).c_str()));
    }
    if (value->is_number_unsigned() && value->get<uint64_t>() > static_cast<uint64_t>(high)) {
        throw BadRequest(base::Format("Field %s is out of range", Name(name).c_str()));
    }
    const int64_t number = value->get<int64_t>();
    if (number < low || number > high) {
        throw BadRequest(base::Format("Field %s is out of range", Name(name).c_str()));
    }
    return number;
}

bool Fields::Flag(const char* name) const {
    const nlohmann::json* value = Find(name);
    if (!value) {
        return false;
    }
    if (!value->is_boolean()) {
        throw BadRequest(base::Format("Field %s must be true or false", Name(name).c_str()));
    }
    return value->get<bool>();
}

const nlohmann::json* Fields::List(const char* name, size_t limit) const {
    const nlohmann::json* value = Find(name);
    if (!value) {
        return nullptr;
    }
    if (!value->is_array()) {
        throw BadRequest(base::Format("Field %s must be a list", Name(name).c_str()));
    }
    if (value->size() > limit) {
        throw BadRequest(
            base::Format("Field %s holds more than %zu entries", Name(name).c_str(), limit));
    }
    return value;
}

std::vector<Fields> Fields::Objects(const char* name, size_t limit) const {
    std::vector<Fields> objects;
    const nlohmann::json* value = List(name, limit);
    if (!value) {
        return objects;
    }
    for (size_t i = 0; i < value->size(); ++i) {
        const nlohmann::json& element = (*value)[i];
        const std::string prefix = base::Format("%s[%zu].", Name(name).c_str(), i);
        if (!element.is_object()) {
            throw BadRequest(
                base::Format("Field %s[%zu] must be an object", Name(name).c_str(), i));
        }
        objects.emplace_back(element, prefix);
    }
    return objects;
}

std::vector<std::string> Fields::Texts(const char* name, size_t limit, size_t width) const {
    std::vector<std::string> texts;
    const nlohmann::json* value = List(name, limit);
    if (!value) {
        return texts;
    }
    for (size_t i = 0; i < value->size(); ++i) {
        texts.push_back(
            CheckedText((*value)[i], base::Format("%s[%zu]", Name(name).c_str(), i), width));
    }
    return texts;
}

}  // namespace svc
