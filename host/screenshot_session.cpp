#include "host/screenshot_session.h"

#include <algorithm>
#include <filesystem>
#include <iostream>

#include "framework/user_driver.h"
#include "plugin/control_ids.h"

ScreenshotSession::ScreenshotSession(TerminalCore& terminal, std::string folder, SaveScreen save)
    : terminal_(terminal), folder_(std::move(folder)), save_(std::move(save)) {}

bool ScreenshotSession::Fail(const std::string& why) {
    std::cerr << "screenshots: " << why << std::endl;
    return false;
}

bool ScreenshotSession::Shoot(const std::string& name) {
    std::error_code ignored;
    const std::string path = (std::filesystem::absolute(folder_, ignored) / name).string();
    if (!save_(path) || !std::filesystem::is_regular_file(path, ignored)) {
        return Fail("could not save " + path);
    }
    saved_.push_back(path);
    std::cout << path << std::endl;
    return true;
}

bool ScreenshotSession::Run(fw::UserActions& ui) {
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    if (error) {
        return Fail("cannot create the folder " + folder_);
    }
    if (!terminal_.pluginLoaded()) {
        return Fail("the IPO plug-in is not loaded");
    }
    fw::UserDriver user(ui);
    bool done = false;
    user.Run([this, &done](fw::UserDriver& user) { done = Script(user); });
    return done;
}

// Shoots once the windows have handled every step before (and painted in that idle time).
bool ScreenshotSession::ShootNow(fw::UserDriver& user, const std::string& name) {
    bool shot = false;
    user.OnUi([this, &shot, &name] { shot = Shoot(name); });
    return shot;
}

bool ScreenshotSession::Script(fw::UserDriver& user) {
    // 1. The watch list of current issues.
    user.OnUi([this] { terminal_.Open(kMenuIPOWatch); });
    if (!user.Use("IPO WatchList") ||
        !user.WaitUntil([](fw::UserActions& ui) { return !ui.Rows(kWatchList).empty(); })) {
        return Fail("the IPO watch lists no issues: is the service running?");
    }
    if (!ShootNow(user, "1-ipo-watch.png")) {
        return false;
    }

    // 2. The details of the first issue: a click on its name.
    user.ClickCell(kWatchList, 0, 1);
    if (!user.Use("IPO Watch Details")) {  // shown by the window manager, in front
        return Fail("the details did not open");
    }
    if (!ShootNow(user, "2-ipo-details.png")) {
        return false;
    }
    user.Use("IPO WatchList");
    user.ClickCell(kWatchList, 0, 1);  // a second click hides them again

    // The orders there are before this session places one (Apply reads them at once).
    user.OnUi([this] { terminal_.Open(kMenuIPOOrderBook); });
    if (!user.Use("IPO Order Book")) {
        return Fail("the order book did not open");
    }
    user.Click(kOrderBookApply);
    const std::vector<std::vector<std::string>> before = user.Rows(kOrderBookList);
    user.Use("IPO WatchList");

    // 3. The bid dialog for the first current issue, filled in: two lots at the cut-off price.
    user.ClickCell(kWatchList, 0, 0);
    if (!user.Use("Bid Order-IPO")) {
        return Fail("the bid dialog did not open");
    }
    user.Type(kBidUPIId, "rohan.desai@upibank");
    user.Type(kBidLot[0], "2");
    user.Tick(kBidCutOff[0], true);
    user.Tick(kBidTerms, true);
    if (!ShootNow(user, "3-bid-dialog.png")) {
        return false;
    }

    // 4. The terms viewer, opened from the link, shot and closed as the user would.
    user.Click(kBidTermsLink);
    if (!user.Use("Terms & Conditions")) {
        return Fail("the terms viewer did not open");
    }
    const std::string shown = user.Text(kTermsText);
    if (!ShootNow(user, "4-terms.png")) {
        return false;
    }
    user.Press(fw::Key::Escape);
    std::cout << "terms: " << shown.substr(0, shown.find('\n')) << std::endl;
    if (shown.find("Terms and Conditions") == std::string::npos) {
        return Fail("the terms viewer shows no terms file");
    }

    // 5. The order book after Apply, with the order just placed; then that order is cancelled
    // again, so that the session leaves the service as it found it.
    user.Use("Bid Order-IPO");
    user.Click(kBidPlaceBid);
    const auto placed = user.AnswerMessageBox();
    if (placed) {
        std::cout << "message: " << placed->text << std::endl;
    }
    user.Click(kBidCancel);
    if (!user.Use("IPO Order Book")) {
        return Fail("the order book is gone");
    }
    user.Click(kOrderBookApply);
    const bool ordered = placed && placed->text.rfind("Order Placed Successfully", 0) == 0;
    if (ordered && !user.WaitUntil([&before](fw::UserActions& ui) {
            return ui.Rows(kOrderBookList).size() > before.size();
        })) {
        return Fail("the order just placed is not in the order book");
    }
    if (!ShootNow(user, "5-order-book.png")) {
        return false;
    }
    return !ordered || CancelNewOrder(user, before);
}

// Cancels the one row of the order book that was not there `before`: the order this session
// placed.
bool ScreenshotSession::CancelNewOrder(fw::UserDriver& user,
                                       const std::vector<std::vector<std::string>>& before) {
    const std::vector<std::vector<std::string>> after = user.Rows(kOrderBookList);
    for (size_t row = 0; row < after.size(); ++row) {
        if (std::find(before.begin(), before.end(), after[row]) != before.end()) {
            continue;
        }
        user.SelectRows(kOrderBookList, {row});
        if (!user.OpenPopup(kOrderBookList) || !user.ChooseMenuItem("Cancel")) {
            return Fail("the order just placed could not be cancelled");
        }
        const auto box = user.AnswerMessageBox();
        std::cout << "message: " << (box ? box->text : "none") << std::endl;
        if (!box || box->text != "Order Cancelled Successfully") {
            return Fail("the order just placed was not cancelled");
        }
        return true;
    }
    return Fail("the order just placed is not in the order book");
}
