// The terms viewer opened from the bid dialog's link: what it shows for each kind of file.
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
    auto press = [&] {
        env.backend().modalHandlers.push_back(
            [&](fw::headless::HeadlessForm& viewer) { shown = viewer.GetText(kTermsText); });
        form().Click(kBidTermsLink);
        return shown;
    };

    EXPECT_EQ(press(), "");
    const std::string missing =
        "Failed to load " + folder.string() + base::kPathSeparator + "IPOTermsAndConditions.html";
    EXPECT_EQ(Messages(), std::vector<std::string>{missing});

    std::string large;
    while (large.size() < 1500) {
        large += static_cast<char>('a' + large.size() % 26);
    }
    const std::pair<std::string, std::string> files[] = {
        {std::string("Clause 1\0Clause 2", 17), "Clause 1"},
        {large, large.substr(0, 1024)},
    };
    for (const auto& [bytes, expected] : files) {
        std::ofstream(folder / "IPOTermsAndConditions.html", std::ios::binary) << bytes;
        EXPECT_EQ(press(), expected) << bytes.size();
    }
    EXPECT_EQ(Messages().size(), 1u);
    EXPECT_EQ(env.backend().modalCaptions.back(), "Terms & Conditions");

    fs::remove_all(folder);
}

}  // namespace
