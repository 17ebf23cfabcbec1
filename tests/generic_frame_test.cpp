#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

#include "framework/headless/headless_backend.h"
#include "plugin/generic_frame.h"
#include "plugin/host_callbacks.h"
#include "plugin/login_context.h"
#include "plugin/runtime_classes.h"

using fw::headless::HeadlessBackend;
using fw::headless::HeadlessFrame;
using fw::headless::OpenedWindow;

namespace {

constexpr std::array<fw::ControlSpec, 1> kControls{{
    {100, fw::ControlKind::Static, "", 0, 0, 10, 10, fw::kStyleNone},
}};
constexpr fw::DialogTemplate kLayout{
    7001, fw::FormKind::ChildForm, "", "MS Shell Dlg", 8, 100, 50, kControls};

// A view that writes three panes in its initial update and records the messages it receives.
class PaneView : public fw::CView {
  public:
    void OnInitialUpdate() override {
        auto* frame = static_cast<CIPOGenericFrame*>(this->frame());
        created = frame->CreateStatusBar(3);
        frame->SetStatusPaneInfo(2, 0, fw::kPaneStretch, 0);
        frame->SetStatusPaneText(0, "Filters");
    }
    void OnUserMessage(uint32_t message) override { messages.push_back(message); }

    bool created = false;
    std::vector<uint32_t> messages;
};

fw::CObject* CreatePaneView() {
    return new PaneView;
}
const fw::RuntimeClass kPaneViewClass{"PaneView", &CreatePaneView};

struct SizeReport {
    void* window = nullptr;
    WindowSize size{};
    int a = -1, b = -1, c = -1;
    int calls = 0;
};
SizeReport g_report;

int RecordSize(void* window, WindowSize size, int a, int b, int c) {
    g_report = {window, size, a, b, c, g_report.calls + 1};
    return 0;
}

class GenericFrameTest : public ::testing::Test {
  protected:
    GenericFrameTest() { fw::RegisterTemplate(&kLayout); }
    ~GenericFrameTest() override {
        Login().UserType = 0;
        SetSizeCallback(nullptr);
    }

    std::unique_ptr<OpenedWindow> Open(uint16_t userType) {
        Login().UserType = userType;
        return std::make_unique<OpenedWindow>(kPaneViewClass, GenericFrameClass(), kLayout.id);
    }

    HeadlessBackend backend;
};

TEST_F(GenericFrameTest, IsCreatedByItsRuntimeClass) {
    EXPECT_STREQ(GenericFrameClass().className, "CIPOGenericFrame");
    std::unique_ptr<fw::CObject> object(GenericFrameClass().createObject());
    EXPECT_NE(dynamic_cast<CIPOGenericFrame*>(object.get()), nullptr);
}

TEST_F(GenericFrameTest, StatusBarKindFollowsUserType) {
    const struct {
        uint16_t userType;
        fw::StatusBarKind kind;
    } cases[] = {{23, fw::StatusBarKind::OwnerDrawn},
                 {24, fw::StatusBarKind::Standard},
                 {26, fw::StatusBarKind::Standard}};
    for (const auto& c : cases) {
        auto window = Open(c.userType);
        auto* bar = window->site().statusBar();
        ASSERT_NE(bar, nullptr) << c.userType;
        EXPECT_EQ(bar->kind(), c.kind) << c.userType;
        EXPECT_EQ(bar->PaneCount(), 3);
        EXPECT_EQ(bar->PaneText(0), "Filters");
        EXPECT_EQ(bar->PaneStyle(2), fw::kPaneStretch);
        EXPECT_TRUE(window->viewAs<PaneView>().created);
    }
}

TEST_F(GenericFrameTest, OwnerDrawnBarPaintsFlatFrames) {
    auto window = Open(23);
    const auto calls = window->site().statusBar()->Paint();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front().rect, (fw::Rect{0, 0, 850, 2}));
}

TEST_F(GenericFrameTest, StatusBarCreationFailures) {
    Login().UserType = 24;
    CIPOGenericFrame frame;
    HeadlessFrame site;
    frame.AttachSite(&site);
    EXPECT_FALSE(frame.CreateStatusBar(15));  // more than 14 panes
    site.failStatusBar = true;
    EXPECT_FALSE(frame.CreateStatusBar(3));
    frame.SetStatusPaneText(0, "ignored");  // no bar: nothing happens
    EXPECT_EQ(site.statusBar()->PaneText(0), "");
}

TEST_F(GenericFrameTest, CloseSendsMessageToActiveViewThenCloses) {
    auto window = Open(24);
    auto& frame = dynamic_cast<CIPOGenericFrame&>(window->frame());
    frame.OnClose();
    EXPECT_EQ(window->viewAs<PaneView>().messages, std::vector<uint32_t>{1277});
    EXPECT_FALSE(window->site().HasWindow());

    CIPOGenericFrame bare;  // no active view: no message, still closes
    HeadlessFrame site;
    bare.AttachSite(&site);
    bare.OnClose();
    EXPECT_FALSE(site.HasWindow());
}

TEST_F(GenericFrameTest, ReportsSizeThroughHostCallback) {
    auto window = Open(24);
    auto& frame = dynamic_cast<CIPOGenericFrame&>(window->frame());
    g_report = {};
    frame.ReportSize(800, 380);  // no callback yet: nothing happens
    EXPECT_EQ(g_report.calls, 0);
    SetSizeCallback(&RecordSize);
    frame.ReportSize(800, 380);
    EXPECT_EQ(g_report.calls, 1);
    EXPECT_EQ(g_report.window, window->site().NativeHandle());
    EXPECT_EQ(g_report.size.width, 800);
    EXPECT_EQ(g_report.size.height, 380);
    EXPECT_EQ(g_report.a, 0);
    EXPECT_EQ(g_report.b, 0);
    EXPECT_EQ(g_report.c, 1);
}

}  // namespace
