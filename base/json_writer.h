// Writes JSON straight into its text, value after value, with no tree in between: an order book
// of 100,000 orders is written in one pass, a request without an allocation per field. The
// texts are those nlohmann::json's dump (no indent, UTF-8 kept, bad UTF-8 replaced) gives for
// the same values, and the same bytes when the object keys are written in sorted order, as its
// objects keep them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace base {

// What a text that is not UTF-8 becomes: its bad bytes replaced (U+FFFD), or refused, when
// String throws nlohmann::json::type_error and writes nothing of it.
enum class BadUtf8 { kReplace, kRefuse };

class JsonWriter {
  public:
    explicit JsonWriter(std::string& out, BadUtf8 badUtf8 = BadUtf8::kReplace)
        : out_(out), badUtf8_(badUtf8) {}

    JsonWriter& BeginObject() { return Open('{'); }
    JsonWriter& EndObject() { return Close('}'); }
    JsonWriter& BeginArray() { return Open('['); }
    JsonWriter& EndArray() { return Close(']'); }
    // The key of the next value of an object: a plain ASCII name (written without escaping).
    JsonWriter& Key(std::string_view key);
    JsonWriter& String(std::string_view text);
    JsonWriter& Int(int64_t value);
    JsonWriter& Bool(bool value);
    // A key and its value.
    JsonWriter& Member(std::string_view key, std::string_view text) {
        return Key(key).String(text);
    }
    JsonWriter& Member(std::string_view key, const char* text) { return Key(key).String(text); }
    JsonWriter& Member(std::string_view key, int64_t value) { return Key(key).Int(value); }
    JsonWriter& Member(std::string_view key, bool value) { return Key(key).Bool(value); }

  private:
    JsonWriter& Open(char bracket);
    JsonWriter& Close(char bracket);
    // A comma before every value of an array but the first.
    void Separate();

    std::string& out_;
    BadUtf8 badUtf8_;
    std::vector<bool> first_;  // per open array or object: no value written yet
    bool afterKey_ = false;
};

}  // namespace base
