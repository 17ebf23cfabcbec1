#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "framework/headless/headless_backend.h"
#include "plugin/generic_frame.h"
#include "plugin/host_callbacks.h"
#include "plugin/login_context.h"
#include "plugin/runtime_classes.h"

using fw::headless::HeadlessFrame;

namespace {

class RecordingView : public fw::CView {
  public:
    void OnInitialUpdate() override {}
    void OnUserMessage(uint32_t message) override { messages.push_back(message); }
    std::vector<uint32_t> messages;
};

std::vector<std::pair<int, int>> g_sizes;
void* g_window = nullptr;

int RecordSize(void* window, WindowSize size, int a, int b, int c) {
    g_window = window;
    g_sizes.push_back({size.width, size.height});
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(c, 1);
    return 0;
}

class GenericFrameTest : public ::testing::Test {
  protected:
    GenericFrameTest()
        : frame(dynamic_cast<CIPOGenericFrame*>(GenericFrameClass().createObject())) {
        frame->AttachSite(&site);
    }
    ~GenericFrameTest() override {
        Login() = LoginContext{};
        SetSizeCallback(nullptr);
    }

    HeadlessFrame site;
    std::unique_ptr<CIPOGenericFrame> frame;
};

TEST_F(GenericFrameTest, PanesGoToTheBarKindOfTheUserType) {
    EXPECT_STREQ(GenericFrameClass().className, "CIPOGenericFrame");
    for (uint16_t userType : {23, 24, 26}) {
        Login().UserType = userType;
        ASSERT_TRUE(frame->CreateStatusBar(3));
        frame->SetStatusPaneInfo(2, 0, fw::kPaneStretch, 0);
        frame->SetStatusPaneText(1, "CURRENT IPO");
        const auto* bar = site.statusBar();
        EXPECT_EQ(bar->kind(),
                  userType == 23 ? fw::StatusBarKind::OwnerDrawn : fw::StatusBarKind::Standard);
        EXPECT_EQ(bar->PaneCount(), 3);
        EXPECT_EQ(bar->PaneText(1), "CURRENT IPO");
        EXPECT_EQ(bar->PaneStyle(2), fw::kPaneStretch);
    }
}

TEST_F(GenericFrameTest, StatusBarThatCannotBeMadeIsReported) {
    EXPECT_FALSE(frame->CreateStatusBar(15));  // at most 14 panes
    site.failStatusBar = true;
    EXPECT_FALSE(frame->CreateStatusBar(3));
    frame->SetStatusPaneText(0, "ignored");  // no bar: nothing happens
}

TEST_F(GenericFrameTest, CloseTellsTheActiveViewThenCloses) {
    frame->OnClose();  // no active view: no message, still closes
    EXPECT_FALSE(site.HasWindow());

    HeadlessFrame other;
    RecordingView view;
    frame->AttachSite(&other);
    frame->SetActiveView(&view);
    frame->OnClose();
    EXPECT_EQ(view.messages, std::vector<uint32_t>{1277});
    EXPECT_FALSE(other.HasWindow());
}

TEST_F(GenericFrameTest, SizeGoesToTheHostsCallback) {
    frame->ReportSize(800, 380);  // no callback: nothing happens
    SetSizeCallback(&RecordSize);
    frame->ReportSize(800, 380);
    EXPECT_EQ(g_sizes, (std::vector<std::pair<int, int>>{{800, 380}}));
    EXPECT_EQ(g_window, site.NativeHandle());
}

}  // namespace
