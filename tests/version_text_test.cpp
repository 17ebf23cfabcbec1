#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "plugin/version_text.h"

namespace {

TEST(VersionTextTest, BuildDateBecomesDayMonthYear) {
    const std::pair<const char*, const char*> cases[] = {
        {"Dec 25 2026", "25122026"}, {"Jan  1 2027", "01012027"}, {"Aug  4 2026", "04082026"},
        {"Oct 10 2026", "10102026"}, {"Sep  9 2026", "09092026"}, {"Feb 28 2030", "28022030"},
    };
    for (const auto& [date, digits] : cases) {
        EXPECT_EQ(FormatBuildDate(date), digits) << date;
    }
}

TEST(VersionTextTest, UnknownMonthFailsWithTheMapKeyError) {
    for (const char* date : {"Xyz  4 2026", "aug  4 2026", "Au"}) {
        try {
            FormatBuildDate(date);
            ADD_FAILURE() << date << " was accepted";
        } catch (const std::out_of_range& error) {
            EXPECT_STREQ(error.what(), "invalid map<K, T> key") << date;
        }
    }
}

}  // namespace
