#include "service/request_fields.h"

#include "base/text.h"

namespace svc {

RequestError BadRequest(const std::string& message) {
    return RequestError(400, kResultBadRequest, message);
}

namespace {

std::string CheckedText(simdjson::dom::element value, const std::string& name, size_t limit) {
    std::string_view text;
    if (value.get_string().get(text) != simdjson::SUCCESS) {
        throw BadRequest(base::Format("Field %s must be a text", name.c_str()));
    }
    if (text.size() > limit) {
        throw BadRequest(base::Format("Field %s is longer than %zu bytes", name.c_str(), limit));
    }
    if (text.find('\0') != std::string_view::npos) {
        throw BadRequest(base::Format("Field %s contains a zero byte", name.c_str()));
    }
    return std::string(text);
}

}  // namespace

Body::Body(const std::string& text) {
    // A body of the size requests have reuses its thread's parser and the buffers it keeps; a
    // larger one gets a parser of its own, whose buffers go with it, so that none of the
    // transport's threads keeps megabytes after one large body. The document is the body's own.
    constexpr size_t kReusedUpTo = 64 * 1024;
    thread_local simdjson::dom::parser reused;
    simdjson::dom::parser own;
    simdjson::dom::parser& parser = text.size() <= kReusedUpTo ? reused : own;
    simdjson::dom::element root;
    if (parser.parse_into_document(document_, text).get(root) != simdjson::SUCCESS) {
        throw BadRequest("Request body is not valid JSON");
    }
    if (!root.is_object()) {
        throw BadRequest("Request body must be a JSON object");
    }
}

Fields Body::Root() const {
    return Fields(document_.root().get_object().value_unsafe());
}

Fields::Fields(simdjson::dom::object object, std::string prefix)
    : object_(object), prefix_(std::move(prefix)) {}

std::optional<simdjson::dom::element> Fields::Find(const char* name) const {
    if (!object_) {
        return std::nullopt;
    }
    const std::string_view wanted(name);
    std::optional<simdjson::dom::element> found;
    for (const simdjson::dom::key_value_pair field : *object_) {
        if (field.key != wanted) {
            continue;
        }
        if (found) {
            throw BadRequest(base::Format("Field %s is given more than once", Name(name).c_str()));
        }
        found = field.value;
    }
    if (found && found->is_null()) {
        return std::nullopt;
    }
    return found;
}

std::string Fields::Text(const char* name, size_t limit) const {
    const std::optional<simdjson::dom::element> value = Find(name);
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
    const std::optional<simdjson::dom::element> value = Find(name);
    if (!value) {
        return 0;
    }
    int64_t number = 0;
    if (value->is_uint64() && !value->is_int64()) {
        throw BadRequest(base::Format("Field %s is out of range", Name(name).c_str()));
    }
    if (value->get_int64().get(number) != simdjson::SUCCESS) {
        throw BadRequest(base::Format("Field %s must be a whole number", Name(name).c_str()));
    }
    if (number < low || number > high) {
        throw BadRequest(base::Format("Field %s is out of range", Name(name).c_str()));
    }
    return number;
}

bool Fields::Flag(const char* name) const {
    const std::optional<simdjson::dom::element> value = Find(name);
    if (!value) {
        return false;
    }
    bool flag = false;
    if (value->get_bool().get(flag) != simdjson::SUCCESS) {
        throw BadRequest(base::Format("Field %s must be true or false", Name(name).c_str()));
    }
    return flag;
}

std::optional<simdjson::dom::array> Fields::List(const char* name, size_t limit) const {
    const std::optional<simdjson::dom::element> value = Find(name);
    if (!value) {
        return std::nullopt;
    }
    simdjson::dom::array list;
    if (value->get_array().get(list) != simdjson::SUCCESS) {
        throw BadRequest(base::Format("Field %s must be a list", Name(name).c_str()));
    }
    if (list.size() > limit) {
        throw BadRequest(
            base::Format("Field %s holds more than %zu entries", Name(name).c_str(), limit));
    }
    return list;
}

std::vector<Fields> Fields::Objects(const char* name, size_t limit) const {
    std::vector<Fields> objects;
    const std::optional<simdjson::dom::array> list = List(name, limit);
    if (!list) {
        return objects;
    }
    size_t i = 0;
    for (const simdjson::dom::element element : *list) {
        simdjson::dom::object object;
        if (element.get_object().get(object) != simdjson::SUCCESS) {
            throw BadRequest(
                base::Format("Field %s[%zu] must be an object", Name(name).c_str(), i));
        }
        objects.emplace_back(object, base::Format("%s[%zu].", Name(name).c_str(), i));
        ++i;
    }
    return objects;
}

std::vector<std::string> Fields::Texts(const char* name, size_t limit, size_t width) const {
    std::vector<std::string> texts;
    const std::optional<simdjson::dom::array> list = List(name, limit);
    if (!list) {
        return texts;
    }
    size_t i = 0;
    for (const simdjson::dom::element element : *list) {
        texts.push_back(
            CheckedText(element, base::Format("%s[%zu]", Name(name).c_str(), i++), width));
    }
    return texts;
}

}  // namespace svc
