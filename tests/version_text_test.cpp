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
    EXPECT_THROW(FormatBuildDate("aug  4 2026"), std::out_of_range);
}

}  // namespace
