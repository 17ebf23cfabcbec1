#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/text.h"

namespace {

// A text is copied with its terminator only when both fit; otherwise the field stays as it was.
TEST(CopyField, WritesTextAndTerminatorOnlyWhenBothFit) {
    char field[6];
    std::memset(field, 'x', sizeof field);
    EXPECT_FALSE(base::CopyField(field, "abcdef"));
    EXPECT_EQ(std::string(6, 'x'), std::string(field, 6));
    ASSERT_TRUE(base::CopyField(field, "abcde"));
    EXPECT_EQ(0, std::memcmp(field, "abcde\0", 6));
    const char full[3] = {'x', 'y', 'z'};  // FieldText stops at a zero or at the field's end
    EXPECT_EQ("abcde|xyz", base::FieldText(field) + "|" + base::FieldText(full));
}

TEST(Numbers, ReadAsAtolReadsThem) {
    EXPECT_EQ(-12, base::ToLong("  -12abc"));
    EXPECT_EQ(0, base::ToLong("lots"));
    EXPECT_EQ(INT32_MAX, base::ToLong("12500000000"));
    EXPECT_EQ(INT32_MIN, base::ToLong("-99999999999"));
}

TEST(TrimAndUpper, WorkOnEdges) {
    EXPECT_EQ("RETAIL|", base::ToUpper(base::Trim("  retail \t")) + "|" + base::Trim("   "));
}

// atof(text) is strtod(text, nullptr) by the C standard; the older Windows runtime's atof predates
// hex and infinity texts, so the standard's own reading is the reference.
TEST(Numbers, ToDoubleReadsAsStrtodDoes) {
    for (const char* text : {" \t-7.5e2x", "1e", "0x1p4", "-Infinity", "1e400", "3(150)", "+-5"}) {
        EXPECT_EQ(std::strtod(text, nullptr), base::ToDouble(text)) << text;
    }
    EXPECT_TRUE(std::isnan(base::ToDouble("nan")));
}

}  // namespace
