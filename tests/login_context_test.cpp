#include <gtest/gtest.h>

#include <tuple>

#include "containers/ts_map.h"
#include "plugin/login_context.h"
#include "tests/support/plugin_test_env.h"

namespace {

using LoginContextTest = PluginTest;

std::string URLOf(int code) {
    const tagIPOURLMaster* record = LookupURL(code);
    return record ? record->URL : "<none>";
}

// The fields the requests carry are seen in the bridge's tests; here the texts never read.
TEST_F(LoginContextTest, NeverReadsTheLastTwoTexts) {
    IPOGlobalConfiguration configuration{};
    configuration.UserType = 26, configuration.Text4 = "four", configuration.UserId = "user-26";
    configuration.Text8 = reinterpret_cast<const char*>(uintptr_t{1});  // not a text: never read
    configuration.Text9 = nullptr;
    ApplyGlobalConfiguration(&configuration);
    EXPECT_EQ(std::tuple(Login().UserType, Login().Text4, Login().UserId),
              std::tuple(26, "four", "user-26"));
}

// A null configuration changes nothing, a null map no URL; later maps add and replace URLs,
// and a cleared table forgets them all until the next configuration.
TEST_F(LoginContextTest, LaterConfigurationsAddAndReplaceURLs) {
    ApplyGlobalConfiguration(nullptr);
    EXPECT_EQ(Login().UserId, "TRADER01");
    IPOGlobalConfiguration configuration{};
    configuration.UserId = "other";
    ApplyGlobalConfiguration(&configuration);
    EXPECT_EQ(Login().UserId + "|" + Login().LoginClientId, "other|");  // null texts read empty
    EXPECT_EQ(URLOf(94), "http://ipo.test/94");

    PluginTestConfig second;
    second.urls = {{93, "http://second/93"}, {97, "http://second/97"}};
    env.Configure(second);
    HostURLMap urls;
    urls[92] = nullptr;  // an entry without a record adds no URL
    configuration.URLMap = &urls;
    ApplyGlobalConfiguration(&configuration);
    EXPECT_EQ(URLOf(91) + URLOf(92) + URLOf(93) + URLOf(97) + URLOf(98),
              "http://ipo.test/91http://ipo.test/92http://second/93http://second/97<none>");

    ClearURLTable();
    EXPECT_EQ(URLOf(91) + URLOf(97), "<none><none>");
}

}  // namespace
