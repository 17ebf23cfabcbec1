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
    EXPECT_EQ(2, base::ToLong("2.5"));
    EXPECT_EQ(-12, base::ToLong("  -12abc"));
    EXPECT_EQ(0, base::ToLong("lots"));
    EXPECT_EQ(3, base::ToLong("3(150)"));
    EXPECT_EQ(INT32_MAX, base::ToLong("12500000000"));
    EXPECT_EQ(INT32_MIN, base::ToLong("-99999999999"));
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

TEST(Numbers, ToDoubleReadsAsStrtodDoes) {
    const std::string texts =
        "123.45| \t-7.5e2x|+0.1|-0|.5|5.|1e|0x1p4|-0X10|inf|-Infinity|nan|1e400|-1e-400|"
        "2.2250738585072011e-308|3(150)||.|-|+-5|abc|0.1000000000000000055511151231257827";
    for (size_t start = 0, end = 0; end != std::string::npos; start = end + 1) {
        end = texts.find('|', start);
        const std::string text = texts.substr(start, end - start);
        // atof(text) is strtod(text, nullptr) by the C standard; the older Windows runtime's atof
        // predates hex and infinity texts, so the standard's own reading is the reference.
        const double expected = std::strtod(text.c_str(), nullptr);
        const double actual = base::ToDouble(text);
        if (std::isnan(expected)) {
            EXPECT_TRUE(std::isnan(actual)) << text;
        } else {
            EXPECT_EQ(0, std::memcmp(&expected, &actual, sizeof expected)) << text;
        }
    }
}

}  // namespace
