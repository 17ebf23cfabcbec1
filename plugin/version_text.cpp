#include "plugin/version_text.h"

#include <map>
#include <stdexcept>

#include "base/text.h"

namespace {

constexpr const char* kReleaseTag = "R~AUG2026_FR_1";
constexpr const char* kVersionNumber = "26.0.0.32.0";
constexpr size_t kCompileDateLength = 11;  // "Mmm dd yyyy"

const std::map<std::string_view, std::string_view>& MonthNumbers() {
    static const std::map<std::string_view, std::string_view> months{
        {"Jan", "01"}, {"Feb", "02"}, {"Mar", "03"}, {"Apr", "04"}, {"May", "05"}, {"Jun", "06"},
        {"Jul", "07"}, {"Aug", "08"}, {"Sep", "09"}, {"Oct", "10"}, {"Nov", "11"}, {"Dec", "12"},
    };
    return months;
}

}  // namespace

std::string FormatBuildDate(std::string_view compileDate) {
    const std::string_view month = compileDate.substr(0, 3);
    const auto found = MonthNumbers().find(month);
    if (compileDate.size() < kCompileDateLength || found == MonthNumbers().end()) {
        throw std::out_of_range("invalid map<K, T> key");
    }
    const std::string_view dayText = compileDate.substr(4, 2);
    const std::string day =
        base::ToLong(dayText) >= 10 ? std::string(dayText) : "0" + std::string(1, dayText[1]);
    return day + std::string(found->second) + std::string(compileDate.substr(7, 4));
}

std::string VersionText(std::string_view compileDate) {
    return std::string(kReleaseTag) + "~" + FormatBuildDate(compileDate) + "~" + kVersionNumber;
}
