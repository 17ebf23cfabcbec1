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

TEST(VersionTextTest, VersionTextJoinsTagDateAndNumber) {
    const std::string text = VersionText("Aug  4 2026");
    EXPECT_EQ(text, "R~AUG2026_FR_1~04082026~26.0.0.32.0");
    EXPECT_EQ(text.size(), 35u);
    EXPECT_THROW(VersionText("Foo  4 2026"), std::out_of_range);
}

}  // namespace
