#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "plugin/version_text.h"

namespace {

// The build date becomes day, month and year; an unknown month fails as a map lookup does.
TEST(VersionTextTest, BuildDateBecomesDayMonthYear) {
    EXPECT_EQ(FormatBuildDate("Dec 25 2026") + FormatBuildDate("Jan  1 2027") +
                  FormatBuildDate("Sep  9 2026"),
              "251220260101202709092026");
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
