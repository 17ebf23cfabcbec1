#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "framework/headless/headless_backend.h"
#include "ui/gui_status_bar.h"
#include "ui/link_button.h"
#include "ui/system_colours.h"

using fw::headless::HeadlessBackend;
using fw::headless::HeadlessForm;
using fw::headless::HeadlessStatusBar;
using fw::headless::PaintCall;
using fw::headless::RecordingPainter;

namespace {

constexpr int kLinkId = 1001;
constexpr std::array<fw::ControlSpec, 1> kControls{{
    {kLinkId, fw::ControlKind::LinkButton, "Terms and Conditions", 10, 10, 200, 14, fw::kStyleNone},
}};
constexpr fw::DialogTemplate kLayout{
    900, fw::FormKind::PopupDialog, "Link", "MS Shell Dlg", 8, 300, 100, kControls};

struct Clicks : fw::FormEvents {
    int clicks = 0;
    void OnCommand(int id) override { clicks += id == kLinkId; }
};

class LinkButtonTest : public ::testing::Test {
  protected:
    LinkButtonTest() : form(kLayout, events) { link.Attach(form, kLinkId); }

    std::vector<PaintCall> Draw(const fw::Rect& item, bool disabledOnly = false) {
        RecordingPainter painter;
        form.control(kLinkId).drawer->DrawItem(painter, {item, disabledOnly});
        return painter.calls;
    }

    HeadlessBackend backend;
    Clicks events;
    HeadlessForm form;
    CLinkButton link;
};

TEST_F(LinkButtonTest, DrawsUnderlinedArialTextInLinkColour) {
    const fw::FontSpec& font = link.LinkFont();
    EXPECT_EQ(font.face, "Arial");
    EXPECT_EQ(font.height, 15);
    EXPECT_EQ(font.weight, 400);
    EXPECT_TRUE(font.underline);
    EXPECT_FALSE(font.italic);

    const auto calls = Draw({0, 0, 300, 22});
    const auto text =
        std::find_if(calls.begin(), calls.end(), [](const PaintCall& c) { return c.op == "text"; });
    ASSERT_NE(text, calls.end());
    EXPECT_EQ(text->text, "Terms and Conditions");
    EXPECT_EQ(text->rect, (fw::Rect{2, 1, 2 + 20 * 6, 1 + 17}));
    EXPECT_FALSE(text->embossed);
    const auto colour = std::find_if(calls.begin(), calls.end(),
                                     [](const PaintCall& c) { return c.op == "colour"; });
    ASSERT_NE(colour, calls.end());
    EXPECT_EQ(colour->colour, (fw::Colour{0, 0, 150}));
}

TEST_F(LinkButtonTest, ShrinksOnceToTextWhenTextIsNarrower) {
    // 20 characters of 6 pixels, 17 pixels high: 120 + 50 by 17 + 2.
    const auto calls = Draw({0, 0, 300, 22});
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front().op, "fill");
    EXPECT_EQ(calls.front().rect, (fw::Rect{0, 0, 300, 22}));
    EXPECT_EQ(calls.front().colour, ui::kButtonFace);
    const fw::Rect rect = form.ControlRect(kLinkId);
    EXPECT_EQ(rect.Width(), 170);
    EXPECT_EQ(rect.Height(), 19);
    EXPECT_EQ(link.LinkRect(), (fw::Rect{0, 0, 170, 19}));
    EXPECT_FALSE(link.SizePending());

    // Later paints draw the text only.
    const auto again = Draw({0, 0, 170, 19});
    EXPECT_TRUE(std::none_of(again.begin(), again.end(),
                             [](const PaintCall& c) { return c.op == "fill"; }));
    EXPECT_EQ(form.ControlRect(kLinkId).Width(), 170);
}

TEST_F(LinkButtonTest, KeepsItsSizeWhileTextIsWider) {
    const fw::Rect before = form.ControlRect(kLinkId);
    const auto calls = Draw({0, 0, 100, 22});
    EXPECT_EQ(form.ControlRect(kLinkId), before);
    EXPECT_TRUE(link.SizePending());
    EXPECT_TRUE(std::none_of(calls.begin(), calls.end(),
                             [](const PaintCall& c) { return c.op == "fill"; }));
    // Once the button is wide enough it shrinks after all.
    Draw({0, 0, 300, 22});
    EXPECT_FALSE(link.SizePending());
}

TEST_F(LinkButtonTest, DisabledLinkDrawsEmbossed) {
    const auto calls = Draw({0, 0, 300, 22}, true);
    const auto text =
        std::find_if(calls.begin(), calls.end(), [](const PaintCall& c) { return c.op == "text"; });
    ASSERT_NE(text, calls.end());
    EXPECT_TRUE(text->embossed);
}

TEST_F(LinkButtonTest, EachPressTogglesVisitedColourAndStillClicks) {
    form.Click(kLinkId);
    EXPECT_TRUE(link.Visited());
    EXPECT_EQ(link.LinkColour(), (fw::Colour{255, 0, 0}));
    form.Click(kLinkId);
    EXPECT_FALSE(link.Visited());
    EXPECT_EQ(link.LinkColour(), (fw::Colour{0, 0, 150}));
    EXPECT_EQ(events.clicks, 2);

    link.SetLinkColour({10, 20, 30});
    const auto calls = Draw({0, 0, 300, 22});
    const auto colour = std::find_if(calls.begin(), calls.end(),
                                     [](const PaintCall& c) { return c.op == "colour"; });
    ASSERT_NE(colour, calls.end());
    EXPECT_EQ(colour->colour, (fw::Colour{10, 20, 30}));
}

TEST_F(LinkButtonTest, ToolTipShowsTextAndGoesInactiveWithoutOne) {
    link.SetToolTipText("Read the terms");
    EXPECT_EQ(form.control(kLinkId).toolTip, "Read the terms");
    EXPECT_TRUE(form.control(kLinkId).toolTipActive);
    link.SetToolTipText("Other");
    EXPECT_EQ(form.control(kLinkId).toolTip, "Other");
    link.SetToolTipText(nullptr);
    EXPECT_FALSE(form.control(kLinkId).toolTipActive);

    CLinkButton detached;
    detached.SetToolTipText("ignored");  // no window yet: nothing happens, nothing breaks
}

std::vector<PaintCall> Frames(const std::vector<PaintCall>& calls) {
    std::vector<PaintCall> frames;
    for (const PaintCall& call : calls) {
        if (call.op == "frame") {
            frames.push_back(call);
        }
    }
    return frames;
}

TEST(GuiStatusBar, SinglePaneIsPaintedAsTheLastPane) {
    CGuiStatusBar painter;
    HeadlessStatusBar bar(fw::StatusBarKind::OwnerDrawn, &painter);
    ASSERT_TRUE(bar.SetPaneCount(1));
    bar.SetPaneInfo(0, 0, 0, 100);  // pane at 2..102

    const auto calls = bar.Paint();
    ASSERT_EQ(calls.size(), 7u);
    EXPECT_EQ(calls[0].op, "fill");
    EXPECT_EQ(calls[0].rect, (fw::Rect{0, 0, 850, 2}));
    EXPECT_EQ(calls[0].colour, ui::kButtonFace);
    EXPECT_EQ(calls[1].rect, (fw::Rect{2, 2, 102, 20}));
    EXPECT_EQ(calls[1].colour, ui::kButtonShadow);
    EXPECT_EQ(calls[2].rect, (fw::Rect{3, 3, 101, 19}));
    EXPECT_EQ(calls[2].colour, ui::kButtonFace);
    EXPECT_EQ(calls[3].rect, (fw::Rect{102, 2, 104, 20}));
    EXPECT_EQ(calls[4].rect, (fw::Rect{102, 2, 105, 20}));
    EXPECT_EQ(calls[5].rect, (fw::Rect{102, 2, 106, 20}));
    EXPECT_EQ(calls[6].op, "fill");
    EXPECT_EQ(calls[6].rect, (fw::Rect{106, 0, 800, 10}));
    EXPECT_EQ(calls[6].colour, ui::kButtonFace);
}

TEST(GuiStatusBar, ThreePanesFrameEachAndCoverOnlyTheLast) {
    CGuiStatusBar painter;
    HeadlessStatusBar bar(fw::StatusBarKind::OwnerDrawn, &painter);
    ASSERT_TRUE(bar.SetPaneCount(3));
    bar.SetPaneInfo(0, 0, 0, 60);
    bar.SetPaneInfo(1, 0, 0, 80);
    bar.SetPaneInfo(2, 0, fw::kPaneStretch, 0);  // stretches to 798

    const auto calls = bar.Paint();
    const auto frames = Frames(calls);
    ASSERT_EQ(frames.size(), 9u);
    const fw::Rect panes[] = {{2, 2, 62, 20}, {64, 2, 144, 20}, {146, 2, 798, 20}};
    for (int pane = 0; pane < 3; ++pane) {
        EXPECT_EQ(frames[2 * pane].rect, panes[pane]);
        EXPECT_EQ(frames[2 * pane].colour, ui::kButtonShadow);
        EXPECT_EQ(frames[2 * pane + 1].colour, ui::kButtonFace);
    }
    EXPECT_EQ(frames[6].rect, (fw::Rect{798, 2, 800, 20}));
    EXPECT_EQ(frames[8].rect, (fw::Rect{798, 2, 802, 20}));
    // The last pane reaches past the right edge: only the top strip is filled.
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                            [](const PaintCall& c) { return c.op == "fill"; }),
              1);
}

}  // namespace
