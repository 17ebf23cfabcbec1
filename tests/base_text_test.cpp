#include <gtest/gtest.h>

#include <cstring>

#include "base/text.h"

namespace {

TEST(CopyField, WritesTextAndTerminatorWhenItFits) {
    char field[6];
    std::memset(field, 'x', sizeof field);
    ASSERT_TRUE(base::CopyField(field, "abcde"));
    EXPECT_EQ(0, std::memcmp(field, "abcde\0", 6));
}

TEST(CopyField, RefusesTextWithoutRoomForTerminatorAndLeavesFieldAlone) {
    char field[6];
    std::memset(field, 'x', sizeof field);
    EXPECT_FALSE(base::CopyField(field, "abcdef"));
    EXPECT_EQ(std::string(6, 'x'), std::string(field, 6));
}

TEST(FieldText, StopsAtZeroOrAtFieldEnd) {
    const char withZero[5] = {'a', 'b', '\0', 'c', 'd'};
    const char full[3] = {'x', 'y', 'z'};
    EXPECT_EQ("ab", base::FieldText(withZero));
    EXPECT_EQ("xyz", base::FieldText(full));
}

TEST(Numbers, ReadAsAtolAndAtofReadThem) {
    EXPECT_EQ(2, base::ToLong("2.5"));
    EXPECT_EQ(-12, base::ToLong("  -12abc"));
    EXPECT_EQ(0, base::ToLong("lots"));
    EXPECT_EQ(3, base::ToLong("3(150)"));
    EXPECT_EQ(INT32_MAX, base::ToLong("12500000000"));
    EXPECT_EQ(INT32_MIN, base::ToLong("-99999999999"));
    EXPECT_DOUBLE_EQ(100.9, base::ToDouble("100.90"));
    EXPECT_DOUBLE_EQ(0.0, base::ToDouble("abc"));
    EXPECT_DOUBLE_EQ(95.5, base::ToDouble(" 95.50-100.00"));
}

TEST(Format, FormatsLikePrintf) {
    EXPECT_EQ("95.50-100.00", base::Format("%.2f-%.2f", 95.5, 100.0));
    EXPECT_EQ("", base::Format("%s", ""));
    EXPECT_EQ(std::string(5000, 'a'), base::Format("%s", std::string(5000, 'a').c_str()));
}

TEST(TrimAndUpper, WorkOnEdges) {
    EXPECT_EQ("RETAIL", base::ToUpper(base::Trim("  retail \t")));
    EXPECT_EQ("", base::Trim("   "));
}

}  // namespace
