#include "service/clock.h"

#include <ctime>
#include <optional>
#include <stdexcept>

#include "base/text.h"

namespace svc {
namespace {

std::optional<std::time_t> fixedNow;

std::time_t Now() {
    return fixedNow ? *fixedNow : std::time(nullptr);
}

std::tm LocalDay(int days) {
    std::time_t now = Now();
    std::tm local{};
    localtime_r(&now, &local);
    local.tm_mday += days;
    local.tm_hour = 12;  // noon keeps a daylight-saving shift from changing the day
    local.tm_isdst = -1;
    std::mktime(&local);
    return local;
}

}  // namespace

void SetClock(const std::string& text) {
    std::tm local{};
    const char* end = strptime(text.c_str(), "%Y-%m-%d %H:%M:%S", &local);
    if (text.size() != 19 || !end || *end != '\0') {
        throw std::invalid_argument("the clock takes a time as YYYY-MM-DD HH:MM:SS, not '" + text +
                                    "'");
    }
    local.tm_isdst = -1;
    fixedNow = std::mktime(&local);
}

std::string NowText() {
    std::time_t now = Now();
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

std::string DateText(int days) {
    const std::tm day = LocalDay(days);
    return base::Format("%04d-%02d-%02d", day.tm_year + 1900, day.tm_mon + 1, day.tm_mday);
}

std::string DateTimeText(int days, const char* time) {
    return DateText(days) + " " + time;
}

}  // namespace svc

namespace svc {

bool IsDateText(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return false;
    }
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
    }
    const int month = std::stoi(text.substr(5, 2));
    const int day = std::stoi(text.substr(8, 2));
    return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

}  // namespace svc
