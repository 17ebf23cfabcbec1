// Reading a boundary record the way the other side does: by byte offset, not by field name.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

#include "base/text.h"

// The text at `offset`, up to its first zero byte within `width` bytes.
inline std::string TextAt(const void* record, size_t offset, size_t width) {
    return base::FieldText(static_cast<const char*>(record) + offset, width);
}

template <class Number>
Number NumberAt(const void* record, size_t offset) {
    Number value{};
    std::memcpy(&value, static_cast<const char*>(record) + offset, sizeof value);
    return value;
}
