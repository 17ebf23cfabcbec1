// The plug-in as the host sees it: loaded from its file, driven only through its ten exports.
#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "base/text.h"
#include "framework/headless/headless_backend.h"
#include "plugin/host_abi.h"
#include "tests/support/plugin_library.h"
#include "tests/support/plugin_test_env.h"

namespace {

// What the host received through its callbacks.
std::vector<std::string> g_hostTexts;
std::vector<WindowSize> g_sizes;

int RecordHostMessage(void* record) {
    uint32_t id = 0;
    std::memcpy(&id, record, sizeof id);
    if (id == kServiceFailureMessageId) {
        g_hostTexts.push_back(base::FieldText(static_cast<ServiceFailureMessage*>(record)->Text));
    }
    return 0;
}

int RecordSize(void*, WindowSize size, int, int, int) {
    g_sizes.push_back(size);
    return 0;
}

class RecordingTemplate : public fw::DocTemplate {
  public:
    void CloseAllDocuments(bool endSession) override { closes.push_back(endSession); }
    std::vector<bool> closes;
};

class PluginExportsTest : public ::testing::Test {
  protected:
    static PluginLibrary& plugin() { return LoadedPlugin(); }

    void SetUp() override {
        companion.Reset();
        g_hostTexts.clear();
        g_sizes.clear();
    }
    void TearDown() override {
        plugin().CleanUp();
        plugin().SetCallback(nullptr);
        plugin().SetSizeCallback(nullptr);
        companion.Reset();
    }

    void ConfigureAndInitialize(const PluginTestConfig& config = {}) {
        const TestHostConfiguration configuration(config);
        plugin().Configure(configuration.get());
        EXPECT_EQ(plugin().Initialize(), 1);
    }

    fw::headless::HeadlessBackend backend;
    TestCompanionControl& companion = TestCompanion();
};

// The menu ids of both windows open them in the terminal's tests and in the watch window's test
// below; an unknown id leaves the out parameters as they were.
TEST_F(PluginExportsTest, AnUnknownMenuCommandLeavesTheClassesAlone) {
    const fw::RuntimeClass untouched{"untouched", nullptr};
    const fw::RuntimeClass* view = &untouched;
    const fw::RuntimeClass* frame = &untouched;
    uint32_t form = 777;
    int ignored = 0;
    const uint32_t unknown = 10504;
    EXPECT_EQ(plugin().GetClasses(&unknown, &view, &form, &ignored, &frame), -1);
    EXPECT_TRUE(view == &untouched && frame == &untouched && form == 777);
    EXPECT_EQ(plugin().GetEnableMenuItem(), 1);
}

TEST_F(PluginExportsTest, VersionTextIs35CharactersWithoutTerminator) {
    char buffer[64];
    std::memset(buffer, '#', sizeof buffer);
    plugin().GetVersion(buffer);
    const std::string text(buffer, 35);
    EXPECT_TRUE(std::regex_match(text, std::regex(R"(R~AUG2026_FR_1~\d{8}~26\.0\.0\.32\.0)")))
        << text;
    EXPECT_EQ(buffer[35], '#');
}

TEST_F(PluginExportsTest, TemplatesAreKeptPerMenuAndAllClosedOnRequest) {
    RecordingTemplate first, second, orderBook;
    const uint32_t watch = 10502, book = 10503;
    EXPECT_EQ(plugin().SetTemplate(&watch, &first), 1);
    EXPECT_EQ(plugin().SetTemplate(&watch, &second), 1);
    EXPECT_EQ(plugin().SetTemplate(&book, &orderBook), 1);
    EXPECT_EQ(plugin().SetTemplate(&book, nullptr), 1);  // stores nothing

    plugin().CloseAll(nullptr);  // ignored
    int value = 1;
    plugin().CloseAll(&value);
    plugin().CloseAll(&value);  // the templates stay
    EXPECT_TRUE(first.closes.empty());
    EXPECT_EQ(second.closes, (std::vector<bool>{true, true}));
    EXPECT_EQ(orderBook.closes, (std::vector<bool>{true, true}));
}

// An opened window reaches the companion and the host; CleanUp ends that until initialised again.
TEST_F(PluginExportsTest, OpenedWatchWindowRequestsThroughTheCompanionUntilCleanUp) {
    ConfigureAndInitialize();
    plugin().SetCallback(&RecordHostMessage);
    plugin().SetSizeCallback(&RecordSize);
    companion.Script(kRequestWatchList, {1, 0, "Market closed", {}});

    const uint32_t menu = kMenuIPOWatch;
    const fw::RuntimeClass* view = nullptr;
    const fw::RuntimeClass* frame = nullptr;
    uint32_t form = 0;
    ASSERT_EQ(plugin().GetClasses(&menu, &view, &form, nullptr, &frame), 1);
    {
        fw::headless::OpenedWindow window(*view, *frame, static_cast<int>(form));
        ASSERT_FALSE(companion.Requests().empty());
        const IPOServiceRequest& request = companion.Requests().front();
        EXPECT_EQ(Fields(request.URL, request.Section), "http://ipo.test/91|C");
        EXPECT_EQ(g_hostTexts, std::vector<std::string>{"Market closed"});
        EXPECT_EQ(g_sizes.size(), 1u);
    }

    // CleanUp releases the companion; until the next initialisation (plugin_first_load_test)
    // nothing reaches it.
    plugin().CleanUp();
    EXPECT_EQ(companion.Calls(),
              (std::vector<std::string>{"InitializeCorvexDll", "SetDataIPOSetCallBackFun",
                                        "ProcessCall", "CleanUp"}));
    companion.Reset();
    { fw::headless::OpenedWindow window(*view, *frame, static_cast<int>(form)); }
    EXPECT_TRUE(companion.Requests().empty());
}

}  // namespace
