// Local dates and times in the text forms the service stores and answers with. The service's
// clock decides when an issue opens and closes and when a mandate expires; an operator may fix
// it (a rehearsal of a closing day, a test) with SetClock.
#pragma once

#include <string>

namespace svc {

// From now on the clock reads `text` ("YYYY-MM-DD HH:MM:SS", local time) and stands still;
// throws std::invalid_argument for a text of another form.
void SetClock(const std::string& text);
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
