// Turns the service's HTTP answer into the request's outcome (accepted flag, result code,
// message) and, on success, the answer records of the request code.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "companion/answer_records.h"

namespace corvex {

// Result codes the companion itself gives (the service's own codes pass through).
constexpr int16_t kUnreachable = 1;      // message "null"
constexpr int16_t kServiceRefused = 2;   // an error status without a result code of its own
constexpr int16_t kInvalidAnswer = 3;    // not JSON, or fields missing or of the wrong type
constexpr int16_t kRequestNotSent = 4;   // the request record could not be turned into a request
constexpr int16_t kCompanionFailed = 5;  // anything unforeseen inside the library
constexpr int16_t kNotSecure = 6;        // an https service whose certificate is not trusted

struct Outcome {
    bool accepted = false;
    int16_t resultCode = 0;
    std::string message;
    std::unique_ptr<Answer> answer;  // on success
};

Outcome DecodeAnswer(uint16_t code, int httpStatus, std::string_view body);
// The same, read in place when the text has room for the parser's padding after its end (an
// answer read from the network usually has): no copy of a large answer is made first.
Outcome DecodeAnswer(uint16_t code, int httpStatus, const std::string& body);

}  // namespace corvex
