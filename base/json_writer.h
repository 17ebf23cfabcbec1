// Writes a JSON answer straight into its text, value after value, with no tree in between: an
// order book of 100,000 orders is written in one pass. The texts are those nlohmann::json's
// dump (no indent, UTF-8 kept, bad UTF-8 replaced) gives for the same values with the object
// keys written in sorted order, as its objects keep them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace svc {

class JsonWriter {
  public:
    explicit JsonWriter(std::string& out) : out_(out) {}

    JsonWriter& BeginObject() { return Open('{'); }
    JsonWriter& EndObject() { return Close('}'); }
    JsonWriter& BeginArray() { return Open('['); }
    JsonWriter& EndArray() { return Close(']'); }
    // The key of the next value of an object; the caller gives keys in sorted order, each a
    // plain ASCII name (written without escaping).
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
    void Quote(std::string_view text);

    std::string& out_;
    std::vector<bool> first_;  // per open array or object: no value written yet
    bool afterKey_ = false;
};

}  // namespace svc
