#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "framework/headless/headless_backend.h"
#include "ui/link_button.h"

using fw::headless::HeadlessForm;
using fw::headless::PaintCall;
using fw::headless::RecordingPainter;

namespace {

constexpr int kLinkId = 1001;
constexpr std::array<fw::ControlEntry, 1> kControls{{
    {kLinkId, fw::ControlKind::LinkButton, "Terms and Conditions", 10, 10, 200, 14, 0},
}};
constexpr fw::DialogTemplate kLayout{
    900, fw::FormKind::PopupDialog, "Link", "MS Shell Dlg", 8, 300, 100, kControls};

struct Clicks : fw::FormEvents {
    int clicks = 0;
    void OnCommand(int id) override { clicks += id == kLinkId; }
};

std::vector<PaintCall> Only(const std::vector<PaintCall>& calls, const std::string& op) {
    std::vector<PaintCall> found;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(found),
                 [&](const PaintCall& c) { return c.op == op; });
    return found;
}

class LinkButtonTest : public ::testing::Test {
  protected:
    LinkButtonTest() : form(kLayout, events) { link.Attach(form, kLinkId); }

    std::vector<PaintCall> Draw(const fw::Rect& item, bool disabledOnly = false) {
        RecordingPainter painter;
        form.control(kLinkId).drawer->DrawItem(painter, {item, disabledOnly});
        return painter.calls;
    }

    fw::headless::HeadlessBackend backend;
    Clicks events;
    HeadlessForm form;
    CLinkButton link;
};

// A narrow item leaves the button; a wide one shrinks it once, to the text plus 50 by 2. The link
// is embossed when disabled, and each press toggles its colour and still clicks.
TEST_F(LinkButtonTest, SizeColourAndPresses) {
    const fw::Rect before = form.ControlRect(kLinkId);
    const auto narrow = Draw({0, 0, 100, 22}, true);
    EXPECT_EQ(form.ControlRect(kLinkId), before);
    EXPECT_TRUE(Only(narrow, "text").at(0).embossed);

    // 20 characters of 6 by 17 pixels: the button becomes 120 + 50 by 17 + 2.
    const auto calls = Draw({0, 0, 300, 22});
    ASSERT_EQ(Only(calls, "fill").size(), 1u);
    EXPECT_EQ(std::pair(form.ControlRect(kLinkId).Width(), form.ControlRect(kLinkId).Height()),
              std::pair(170, 19));
    EXPECT_FALSE(Only(calls, "text").at(0).embossed);
    EXPECT_EQ(Only(calls, "colour").at(0).colour, (fw::Colour{0, 0, 150}));
    EXPECT_TRUE(Only(Draw({0, 0, 170, 19}), "fill").empty());  // shrinks only once

    form.Click(kLinkId);
    EXPECT_EQ(Only(Draw({0, 0, 300, 22}), "colour").at(0).colour, (fw::Colour{255, 0, 0}));
    form.Click(kLinkId);
    EXPECT_EQ(link.LinkColour(), (fw::Colour{0, 0, 150}));
    EXPECT_EQ(events.clicks, 2);
}

}  // namespace
