#include <gtest/gtest.h>

#include <cstring>

#include "framework/text.h"

namespace {

TEST(CopyField, WritesTextAndTerminatorWhenItFits) {
    char field[6];
    std::memset(field, 'x', sizeof field);
    ASSERT_TRUE(fw::CopyField(field, "abcde"));
    EXPECT_EQ(0, std::memcmp(field, "abcde\0", 6));
}

TEST(CopyField, RefusesTextWithoutRoomForTerminatorAndLeavesFieldAlone) {
    char field[6];
    std::memset(field, 'x', sizeof field);
    EXPECT_FALSE(fw::CopyField(field, "abcdef"));
    EXPECT_EQ(std::string(6, 'x'), std::string(field, 6));
}

TEST(FieldText, StopsAtZeroOrAtFieldEnd) {
    const char withZero[5] = {'a', 'b', '\0', 'c', 'd'};
    const char full[3] = {'x', 'y', 'z'};
    EXPECT_EQ("ab", fw::FieldText(withZero));
    EXPECT_EQ("xyz", fw::FieldText(full));
}

TEST(Numbers, ReadAsAtolAndAtofReadThem) {
    EXPECT_EQ(2, fw::ToLong("2.5"));
    EXPECT_EQ(-12, fw::ToLong("  -12abc"));
    EXPECT_EQ(0, fw::ToLong("lots"));
    EXPECT_EQ(3, fw::ToLong("3(150)"));
    EXPECT_EQ(INT32_MAX, fw::ToLong("12500000000"));
    EXPECT_EQ(INT32_MIN, fw::ToLong("-99999999999"));
    EXPECT_DOUBLE_EQ(100.9, fw::ToDouble("100.90"));
    EXPECT_DOUBLE_EQ(0.0, fw::ToDouble("abc"));
    EXPECT_DOUBLE_EQ(95.5, fw::ToDouble(" 95.50-100.00"));
}

TEST(Format, FormatsLikePrintf) {
    EXPECT_EQ("95.50-100.00", fw::Format("%.2f-%.2f", 95.5, 100.0));
    EXPECT_EQ("", fw::Format("%s", ""));
    EXPECT_EQ(std::string(5000, 'a'), fw::Format("%s", std::string(5000, 'a').c_str()));
}

TEST(TrimAndUpper, WorkOnEdges) {
    EXPECT_EQ("RETAIL", fw::ToUpper(fw::Trim("  retail \t")));
    EXPECT_EQ("", fw::Trim("   "));
}

}  // namespace
