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

TEST_F(LoginContextTest, CopiesEveryFieldAndNeverReadsTheLastTwoTexts) {
    HostURLRecord url{"http://a/91"};
    HostURLMap urls;
    urls[91] = &url;
    IPOGlobalConfiguration configuration{};
    configuration.UserType = 26;
    configuration.Number = 4242;
    configuration.Text1 = "one";
    configuration.LoginClientCode = "LC26";
    configuration.LoginClientId = "LOGIN26";
    configuration.Text4 = "four";
    configuration.Text5 = "five";
    configuration.WorkingDirectory = "/opt/terminal";
    configuration.UserId = "user-26";
    configuration.Text8 = reinterpret_cast<const char*>(uintptr_t{1});  // not a text: never read
    configuration.Text9 = nullptr;
    configuration.URLMap = &urls;
    ApplyGlobalConfiguration(&configuration);

    const LoginContext& l = Login();
    EXPECT_EQ(std::tuple(l.UserType, l.Number, l.Text1, l.LoginClientCode, l.LoginClientId, l.Text4,
                         l.Text5, l.WorkingDirectory, l.UserId, URLOf(91)),
              std::tuple(26, 4242u, "one", "LC26", "LOGIN26", "four", "five", "/opt/terminal",
                         "user-26", "http://a/91"));
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
    ClearURLTable();  // clearing an empty table is harmless
    env.Configure({});
    EXPECT_EQ(URLOf(96), "http://ipo.test/96");
}

}  // namespace
