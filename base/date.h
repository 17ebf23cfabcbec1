// Calendar dates as the date pickers and the requests carry them.
#pragma once

#include <compare>
#include <string>

namespace base {

// A day of the Gregorian calendar; dates order by year, then month, then day.
struct Date {
    int year = 1970;
    int month = 1;
    int day = 1;
    friend bool operator==(const Date&, const Date&) = default;
    friend auto operator<=>(const Date&, const Date&) = default;
};

// The date `days` days later (earlier when negative).
Date AddDays(const Date& date, int days);

// The date text the service takes: year, month and day as "%02d-%02d-%02d".
std::string RequestDateText(const Date& date);

}  // namespace base
