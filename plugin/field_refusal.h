// A text that names a party, an account or money and does not fit its fixed field is refused,
// never cut: the user is told which field and its limit, "<name> is too long (at most N
// characters)", and the record is not sent.
#pragma once

#include <cstddef>
#include <string_view>

#include "base/text.h"

// Shows the message for a field of `width` bytes (its terminating zero included); gives false.
bool RefuseTooLong(const char* name, size_t width);

// True when `text` fits a field of `width` bytes; otherwise shows the message.
inline bool FitsOrRefuse(std::string_view text, size_t width, const char* name) {
    return text.size() < width || RefuseTooLong(name, width);
}

// Copies `text` into `field`, or shows the message and leaves the field as it was.
template <size_t N>
bool CopyFieldOrRefuse(char (&field)[N], std::string_view text, const char* name) {
    return base::CopyField(field, text) || RefuseTooLong(name, N);
}
