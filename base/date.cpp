#include "base/date.h"

#include <chrono>

#include "base/text.h"

namespace base {

Date AddDays(const Date& date, int days) {
    using namespace std::chrono;
    const sys_days shifted = sys_days{year{date.year} / month{static_cast<unsigned>(date.month)} /
                                      day{static_cast<unsigned>(date.day)}} +
                             std::chrono::days{days};
    const year_month_day ymd{shifted};
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

std::string RequestDateText(const Date& date) {
    return Format("%02d-%02d-%02d", date.year, date.month, date.day);
}

}  // namespace base
