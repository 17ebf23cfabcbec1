// A process whose host initialises the plug-in before handing over any configuration.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/headless/headless_backend.h"
#include "tests/support/plugin_library.h"
#include "tests/support/plugin_test_env.h"

namespace {

TEST(PluginFirstLoadTest, InitialisingBeforeConfigurationSucceedsWithoutCompanion) {
    fw::headless::HeadlessBackend backend;
    TestCompanionControl& companion = TestCompanion();
    companion.Reset();
    PluginLibrary& plugin = LoadedPlugin();

    EXPECT_EQ(plugin.Initialize(), 1);
    plugin.CleanUp();
    EXPECT_TRUE(companion.Calls().empty()) << "nothing was bound, so nothing is released";

    const TestHostConfiguration configuration(PluginTestConfig{});
    plugin.Configure(configuration.get());
    EXPECT_EQ(plugin.Initialize(), 1);
    plugin.CleanUp();
    EXPECT_EQ(companion.Calls(), (std::vector<std::string>{"InitializeCorvexDll",
                                                           "SetDataIPOSetCallBackFun", "CleanUp"}));
}

}  // namespace
