// Reading a request body: every field by name, with its type and length checked, so that a bad
// request is refused with one clear message naming the field.
#pragma once

#include <simdjson.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace svc {

// Result codes the service answers with (0 is success).
enum ResultCode : int {
    kResultBadRequest = 10,
    kResultRefused = 11,
    kResultNotFound = 12,
    kResultTooLarge = 13,
    kResultNotSignedIn = 14,     // no session token, or an unknown or expired one; wrong password
    kResultTooManySignIns = 15,  // guessing limits reached, or too many sign-ins at once
    kResultInternal = 20,
};

// A request that is refused as a whole: HTTP status, result code and message.
class RequestError : public std::runtime_error {
  public:
    RequestError(int status, int result, const std::string& message)
        : std::runtime_error(message), status_(status), result_(result) {}
    int Status() const { return status_; }
    int Result() const { return result_; }

  private:
    int status_;
    int result_;
};

RequestError BadRequest(const std::string& message);

// The fields of one JSON object. A missing field reads as empty text or 0 unless Required; a
// field named twice is refused, whichever of the two was meant.
class Fields {
  public:
    // No fields at all (a body that could not be read).
    Fields() = default;
    explicit Fields(simdjson::dom::object object, std::string prefix = "");

    // Text of at most `limit` bytes, without zero bytes.
    std::string Text(const char* name, size_t limit) const;
    std::string RequiredText(const char* name, size_t limit) const;
    int64_t Integer(const char* name, int64_t low, int64_t high) const;
    bool Flag(const char* name) const;
    // The elements of an array field (empty when missing), at most `limit` of them.
    std::vector<Fields> Objects(const char* name, size_t limit) const;
    // The texts of an array field (empty when missing), each at most `width` bytes.
    std::vector<std::string> Texts(const char* name, size_t limit, size_t width) const;

  private:
    std::optional<simdjson::dom::element> Find(const char* name) const;
    // The list under `name`, or nothing when absent; refused when not a list or longer than
    // limit.
    std::optional<simdjson::dom::array> List(const char* name, size_t limit) const;
    std::string Name(const char* name) const { return prefix_ + name; }

    std::optional<simdjson::dom::object> object_;
    std::string prefix_;
};

// A request body parsed once; its fields stay readable while it lives, on any thread.
class Body {
  public:
    // Parses the text; refuses anything that is not one JSON object.
    explicit Body(const std::string& text);
    Body(const Body&) = delete;
    Body& operator=(const Body&) = delete;
    Fields Root() const;

  private:
    simdjson::dom::document document_;
};

}  // namespace svc
