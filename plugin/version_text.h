// The plug-in's version text: release tag, build date and version number joined by "~".
#pragma once

#include <string>
#include <string_view>

// "Aug  4 2026" (the compiler's date text) becomes "04082026". A month that is not one of the
// twelve English abbreviations throws std::out_of_range("invalid map<K, T> key").
std::string FormatBuildDate(std::string_view compileDate);

// "R~AUG2026_FR_1~<date>~26.0.0.32.0", 35 characters; throws as FormatBuildDate does.
std::string VersionText(std::string_view compileDate);
