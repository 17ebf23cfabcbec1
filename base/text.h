// Text helpers shared by every part: the one bounded copy into fixed-width fields, the one
// reading of numbers as the C library's atol and atof read them, and printf-style formatting.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/platform.h"

namespace base {

// Copies text and its terminating zero into a field of `width` bytes. A text that does not fit
// is refused: false, and the field is left as it was.
bool CopyField(char* field, size_t width, std::string_view text);

template <size_t N>
bool CopyField(char (&field)[N], std::string_view text) {
    return CopyField(field, N, text);
}

// The text of a fixed field: up to its first zero byte, never past the field.
std::string FieldText(const char* field, size_t width);

template <size_t N>
std::string FieldText(const char (&field)[N]) {
    return FieldText(field, N);
}

// A text pointer handed over a boundary; null reads as empty.
inline const char* OrEmpty(const char* text) {
    return text ? text : "";
}

// Leading blanks, an optional sign and decimal digits, as atol reads them; 0 without digits.
// A value beyond the 32-bit range gives the range's limit.
int32_t ToLong(std::string_view text);
// The decimal value as atof reads it; 0 when the text does not start with a number.
double ToDouble(std::string_view text);

// printf-style formatting into a string.
std::string Format(const char* format, ...) __attribute__((format(IPO_PRINTF_FORMAT, 1, 2)));

// A count of hundredths (paise, hundredths of a percent) as "units.hh"; for values from 0 up.
std::string Hundredths(int64_t value);

std::string Trim(std::string_view text);
// True when the texts differ at most in the case of ASCII letters (header names, schemes).
bool SameIgnoringCase(std::string_view a, std::string_view b);
std::string ToUpper(std::string_view text);

}  // namespace base
