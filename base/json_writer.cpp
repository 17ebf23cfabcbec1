#include "base/json_writer.h"

#include <charconv>
#include <nlohmann/json.hpp>

namespace base {
namespace {

// Bytes that go out unchanged: printable ASCII but the quote and the backslash. Anything else
// (control characters, UTF-8 sequences, bad UTF-8) is left to nlohmann::json's own escaping.
bool Plain(std::string_view text) {
    // No early exit: the texts are short and mostly plain, and a loop without branches is one
    // the compiler can run on many bytes at once.
    bool plain = true;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        plain &= byte >= 0x20 && byte <= 0x7e && byte != '"' && byte != '\\';
    }
    return plain;
}

}  // namespace

JsonWriter& JsonWriter::Open(char bracket) {
    Separate();
    out_ += bracket;
    first_.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::Close(char bracket) {
    out_ += bracket;
    first_.pop_back();
    return *this;
}

void JsonWriter::Separate() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!first_.empty()) {
        if (!first_.back()) {
            out_ += ',';
        }
        first_.back() = false;
    }
}

JsonWriter& JsonWriter::Key(std::string_view key) {
    Separate();
    // Keys are the protocol's own names, plain ASCII: they need no escaping.
    out_ += '"';
    out_ += key;
    out_ += "\":";
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::String(std::string_view text) {
    if (Plain(text)) {
        Separate();
        out_ += '"';
        out_ += text;
        out_ += '"';
        return *this;
    }
    const auto handler = badUtf8_ == BadUtf8::kReplace ? nlohmann::json::error_handler_t::replace
                                                       : nlohmann::json::error_handler_t::strict;
    const std::string quoted = nlohmann::json(text).dump(-1, ' ', false, handler);
    Separate();
    out_ += quoted;
    return *this;
}

JsonWriter& JsonWriter::Int(int64_t value) {
    Separate();
    char digits[24];
    out_.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
    Separate();
    out_ += value ? "true" : "false";
    return *this;
}

}  // namespace base
