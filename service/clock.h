// Local dates and times in the text forms the service stores and answers with.
#pragma once

#include <string>

namespace svc {

// Now as "YYYY-MM-DD HH:MM:SS".
std::string NowText();
// Today plus `days` as "YYYY-MM-DD".
std::string DateText(int days);
// Today plus `days` at `time` ("HH:MM:SS") as "YYYY-MM-DD HH:MM:SS".
std::string DateTimeText(int days, const char* time);

}  // namespace svc

namespace svc {

// True for a text of the form "YYYY-MM-DD" with a month 1-12 and a day 1-31.
bool IsDateText(const std::string& text);

}  // namespace svc
