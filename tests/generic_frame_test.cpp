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

class GenericFrameTest : public ::testing::Test {
  protected:
    GenericFrameTest()
        : frame(dynamic_cast<CIPOGenericFrame*>(GenericFrameClass().createObject())) {
        frame->AttachSite(&site);
    }
    ~GenericFrameTest() override { Login() = LoginContext{}; }

    HeadlessFrame site;
    std::unique_ptr<CIPOGenericFrame> frame;
};

TEST_F(GenericFrameTest, PanesGoToTheBarKindOfTheUserTypeOrFailToBeMade) {
    for (uint16_t userType : {23, 24}) {
        Login().UserType = userType;
        ASSERT_TRUE(frame->CreateStatusBar(3));
        EXPECT_EQ(site.statusBar()->kind(),
                  userType == 23 ? fw::StatusBarKind::OwnerDrawn : fw::StatusBarKind::Standard);
    }
    EXPECT_FALSE(frame->CreateStatusBar(15));  // at most 14 panes
    site.failStatusBar = true;
    EXPECT_FALSE(frame->CreateStatusBar(3));
}

TEST_F(GenericFrameTest, CloseTellsTheActiveViewThenCloses) {
    RecordingView view;
    frame->SetActiveView(&view);
    frame->OnClose();
    EXPECT_EQ(view.messages, std::vector<uint32_t>{1277});
    EXPECT_FALSE(site.HasWindow());
}

}  // namespace
