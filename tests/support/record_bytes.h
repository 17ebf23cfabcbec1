// Reading a boundary record the way the other side does: by byte offset, not by field name.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

// The text at `offset`, up to its first zero byte within `width` bytes.
inline std::string TextAt(const void* record, size_t offset, size_t width) {
    const char* field = static_cast<const char*>(record) + offset;
    const void* end = std::memchr(field, '\0', width);
    return std::string(field, end ? static_cast<const char*>(end) - field : width);
}

template <class Number>
Number NumberAt(const void* record, size_t offset) {
    Number value{};
    std::memcpy(&value, static_cast<const char*>(record) + offset, sizeof value);
    return value;
}

// True when every byte of the range is zero.
inline bool ZeroAt(const void* record, size_t offset, size_t width) {
    const char* bytes = static_cast<const char*>(record) + offset;
    for (size_t i = 0; i < width; ++i) {
        if (bytes[i] != 0) {
            return false;
        }
    }
    return true;
}
