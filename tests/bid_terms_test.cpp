// The terms viewer opened from the bid dialog's link: what it shows for each kind of file,
// where it opens, and the link's colour after the press.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "bid/terms_and_condition.h"
#include "tests/bid_dialog_fixture.h"

namespace {

namespace fs = std::filesystem;

class TermsTest : public BidDialogTest {
  protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("bid_terms_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                  "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder);
        PluginTestConfig config;
        config.workingDirectory = folder.string();
        env.Configure(config);
        dialog = std::make_unique<CIPOOrderEntry>();
    }
    void TearDown() override { fs::remove_all(folder); }

    void WriteTerms(const std::string& bytes) {
        std::ofstream(folder / "IPOTermsAndConditions.html", std::ios::binary) << bytes;
    }

    // Presses the link; returns what the viewer showed while it was open.
    std::string ShowTerms() {
        shown.reset();
        env.backend().modalHandlers.push_back([this](fw::headless::HeadlessForm& viewer) {
            shown = viewer.GetText(kTermsText);
            position = viewer.Position();
            viewer.PressEscape();
        });
        form().Click(kBidTermsLink);
        return shown.value_or("<not opened>");
    }

    fs::path folder;
    std::optional<std::string> shown;
    fw::Point position;
};

TEST_F(TermsTest, MissingFileIsReportedAndTheViewerOpensEmpty) {
    EXPECT_EQ(ShowTerms(), "");
    const std::string path = folder.string() + "/IPOTermsAndConditions.html";
    ASSERT_EQ(Messages(), std::vector<std::string>{"Failed to load " + path});
    EXPECT_EQ(env.backend().messages[0].icon, fw::MessageIcon::Error);
    EXPECT_EQ(env.backend().modalCaptions, std::vector<std::string>{"Terms & Conditions"});
}

TEST_F(TermsTest, FileIsShownAsRawTextUpToItsFirstNulAndItsFirst1024Bytes) {
    struct Case {
        const char* name;
        std::string file;
        std::string expected;
    };
    const std::string page = "<html><body><p>" + std::string(267, 'T') + "</p></body></html>";
    std::string large;
    for (int i = 0; large.size() < 1500; ++i) {
        large += static_cast<char>('a' + i % 26);
    }
    const Case cases[] = {
        {"empty", "", ""},
        {"300 bytes", page, page},
        {"a NUL byte", std::string("Clause 1\0Clause 2", 17), "Clause 1"},
        {"larger than 1024 bytes", large, large.substr(0, 1024)},
    };
    ASSERT_EQ(page.size(), 300u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteTerms(c.file);
        EXPECT_EQ(ShowTerms(), c.expected);
        EXPECT_EQ(position.x, 523);
        EXPECT_EQ(position.y, 585);
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(TermsTest, LinkIsBlueAgainAfterEachPress) {
    WriteTerms("Terms");
    for (int press = 0; press < 2; ++press) {
        ShowTerms();
        fw::headless::RecordingPainter painter;
        form()
            .control(kBidTermsLink)
            .drawer->DrawItem(painter, {form().ControlRect(kBidTermsLink), false});
        bool blue = false;
        for (const auto& call : painter.calls) {
            blue = blue || (call.op == "colour" && call.colour == fw::Colour{0, 0, 255});
        }
        EXPECT_TRUE(blue) << press;
    }
    EXPECT_EQ(env.backend().modalCaptions.size(), 2u);
}

}  // namespace
