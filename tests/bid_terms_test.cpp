// The terms viewer opened from the bid dialog's link: what it shows for each kind of file,
// where it opens, and the link's colour after each press.
#include <chrono>
#include <filesystem>
#include <fstream>

#include "base/platform.h"
#include "tests/bid_dialog_fixture.h"

namespace {

namespace fs = std::filesystem;

TEST_F(BidDialogTest, TermsViewerShowsTheHeadOfTheTermsFile) {
    const fs::path folder =
        fs::temp_directory_path() /
        ("bid_terms_" +
         std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::create_directories(folder);
    PluginTestConfig config;
    config.workingDirectory = folder.string();
    env.Configure(config);
    dialog = std::make_unique<CIPOOrderEntry>();
    std::string shown;
    fw::Point position;
    auto press = [&] {
        env.backend().modalHandlers.push_back([&](fw::headless::HeadlessForm& viewer) {
            shown = viewer.GetText(kTermsText);
            position = viewer.Position();
        });
        form().Click(kBidTermsLink);
        EXPECT_EQ(LinkColour(), (fw::Colour{0, 0, 255}));  // a press leaves the link blue
        return shown;
    };

    EXPECT_EQ(press(), "");
    const std::string missing =
        "Failed to load " + folder.string() + base::kPathSeparator + "IPOTermsAndConditions.html";
    EXPECT_EQ(Messages(), std::vector<std::string>{missing});
    EXPECT_EQ(env.backend().messages[0].icon, fw::MessageIcon::Error);

    const std::string page = "<html><p>" + std::string(280, 'T') + "</p></html>";
    std::string large;
    while (large.size() < 1500) {
        large += static_cast<char>('a' + large.size() % 26);
    }
    const std::pair<std::string, std::string> files[] = {
        {"", ""},
        {page, page},
        {std::string("Clause 1\0Clause 2", 17), "Clause 1"},
        {large, large.substr(0, 1024)},
    };
    for (const auto& [bytes, expected] : files) {
        std::ofstream(folder / "IPOTermsAndConditions.html", std::ios::binary) << bytes;
        EXPECT_EQ(press(), expected) << bytes.size();
        EXPECT_EQ(position.x + position.y, 523 + 585);
    }
    EXPECT_EQ(Messages().size(), 1u);
    EXPECT_EQ(env.backend().modalCaptions, std::vector<std::string>(5, "Terms & Conditions"));
    EXPECT_EQ(page.size(), 300u);

    // A folder where the file should be opens for reading here but is no file: the same
    // message as a missing one, and the viewer still opens, empty.
    fs::remove(folder / "IPOTermsAndConditions.html");
    fs::create_directory(folder / "IPOTermsAndConditions.html");
    EXPECT_EQ(press(), "");
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Messages()[1], missing);
    EXPECT_EQ(env.backend().messages[1].icon, fw::MessageIcon::Error);

#ifdef _WIN32
    // Windows opens the file with writing denied to others: while another program holds it open
    // for writing it cannot be read and the viewer says so; once closed, it reads again.
    fs::remove(folder / "IPOTermsAndConditions.html");
    {
        std::ofstream writer(folder / "IPOTermsAndConditions.html", std::ios::binary);
        writer << page << std::flush;
        EXPECT_EQ(press(), "");
        ASSERT_EQ(Messages().size(), 3u);
        EXPECT_EQ(Messages()[2], missing);
    }
    EXPECT_EQ(press(), page);
    EXPECT_EQ(Messages().size(), 3u);
#endif
    fs::remove_all(folder);
}

}  // namespace
