// A trader's and a dealer's day, written once against the user driver and run on each backend
// (the headless one, and real windows in the desktop terminal) against a real ipo-service and
// the real companion library.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "bid/ipo_order_entry_layout.h"
#include "framework/user_driver.h"
#include "orderbook/order_book_layout.h"
#include "plugin/host_abi.h"
#include "scenario_host.h"
#include "watch/ipo_client_filter_layout.h"
#include "watch/ipo_watch_details_layout.h"
#include "watch/ipo_watch_layout.h"

namespace {

using fw::Key;
using fw::UserDriver;
using Rows = std::vector<std::vector<std::string>>;

// Order book columns.
constexpr size_t kOfferName = 1, kPrice1 = 5, kLots1 = 6, kTotal = 16, kStatus = 18, kAllotted = 21,
                 kRefund = 22, kPaymentStatus = 23;

size_t RowOf(const Rows& rows, const std::string& name, size_t column = 1) {
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].size() > column && rows[i][column] == name) {
            return i;
        }
    }
    ADD_FAILURE() << name << " is not listed";
    return 0;
}

// A popup menu as the user sees it: items in order, "-" after a grayed one, "*" after a ticked one.
std::string Seen(const std::optional<fw::Menu>& menu) {
    std::string seen;
    for (const fw::MenuItem& item : menu ? menu->items : std::vector<fw::MenuItem>{}) {
        seen += (seen.empty() ? "" : "|") + item.text + (item.enabled ? "" : "-") +
                (item.checked ? "*" : "");
    }
    return seen;
}

// What a message box said; it must be the topmost window, in front of the dialog it belongs to.
std::string Said(UserDriver& user) {
    const auto box = user.AnswerMessageBox();
    EXPECT_TRUE(!box || box->inFront) << box->text << " is behind another window";
    return box ? box->text : "<no message box>";
}

class Scenario : public ::testing::Test {
  protected:
    void Run(const SeededUser& seeded, const std::function<void(UserDriver&)>& steps,
             bool withCompanion = true) {
        host_ = StartScenarioHost(service, seeded, withCompanion);
        UserDriver user(host_->ui());
        user.Run(steps);
        host_.reset();
    }
    void Open(UserDriver& user, uint32_t menuId) {
        user.OnUi([this, menuId] { host_->Open(menuId); });
    }
    // Whether a line of the host's message log holds the text.
    bool Logged(UserDriver& user, const std::string& text) {
        std::vector<std::string> log;
        user.OnUi([this, &log] { log = host_->Log(); });
        return std::any_of(log.begin(), log.end(), [&text](const std::string& line) {
            return line.find(text) != std::string::npos;
        });
    }

    harness::ServiceProcess service;

  private:
    std::unique_ptr<ScenarioHost> host_;
};

TEST_F(Scenario, InvestorBidsByUpiAndAsbaThenModifiesCancelsAndExports) {
    const std::string exports = service.Folder();
    Run(kSeededInvestor, [&](UserDriver& user) {
        // The watch list in its three modes.
        Open(user, kMenuIPOWatch);
        ASSERT_TRUE(user.Use("IPO WatchList"));
        ASSERT_EQ(4u, user.WaitForRows(kWatchList, 4).size());
        user.Click(kWatchForthcomingButton);
        EXPECT_EQ("Falcon Aerostructures Ltd", user.WaitForRows(kWatchList, 3).at(0).at(1));
        user.Click(kWatchPastButton);
        EXPECT_EQ("Kestrel Technologies Ltd", user.WaitForRows(kWatchList, 4).at(0).at(1));
        user.Click(kWatchCurrentButton);
        Rows watch = user.WaitForRows(kWatchList, 4);
        EXPECT_EQ("95.00-100.00", watch[RowOf(watch, "Aurora Green Energy Ltd")].at(5));
        // A header click sorts by that column, the next one the other way.
        ASSERT_TRUE(user.ClickHeader(kWatchList, 1));
        EXPECT_TRUE(user.WaitUntil([](fw::UserActions& ui) {
            return ui.Rows(kWatchList).at(0).at(1) == "Delta Pharma Formulations Ltd";
        }));
        user.ClickHeader(kWatchList, 1);
        watch = user.Rows(kWatchList);
        EXPECT_EQ("Aurora Green Energy Ltd", watch.at(0).at(1));
        const int aurora = static_cast<int>(RowOf(watch, "Aurora Green Energy Ltd"));
        const int bharat = static_cast<int>(RowOf(watch, "Bharat Rail Systems Ltd"));

        // The details of an issue, closed again from the keyboard.
        ASSERT_TRUE(user.ClickCell(kWatchList, aurora, 1));
        ASSERT_TRUE(user.Use("IPO Watch Details"));
        EXPECT_EQ("Aurora Green Energy Ltd", user.Text(kDetailsIPOName));
        EXPECT_EQ("Meridian Registry Services", user.Text(kDetailsRegistrar));
        user.Press(Key::Escape);
        EXPECT_FALSE(user.Shown("IPO Watch Details"));
        EXPECT_TRUE(user.WaitUntil(
            [](fw::UserActions& ui) { return ui.FrontWindow() == "IPO WatchList"; }));

        // A UPI bid, refused until the terms are accepted; the box belongs to the bid dialog.
        user.Use("IPO WatchList");
        ASSERT_TRUE(user.ClickCell(kWatchList, aurora, 0));
        ASSERT_TRUE(user.Use("Bid Order-IPO"));
        EXPECT_EQ("AURORAGREEN", user.Text(kBidIPOName));
        EXPECT_EQ("Retail Individual", user.Text(kBidCategory));
        user.Type(kBidLot[0], "2");
        user.Type(kBidPrice[0], "98.50");
        user.Type(kBidUPIId, "rohan.desai@upibank");
        user.Click(kBidPlaceBid);
        const auto refused = user.AnswerMessageBox();
        ASSERT_TRUE(refused);
        EXPECT_EQ("Kindly accept Terms and Conditions", refused->text);
        EXPECT_EQ("Bid Order-IPO", refused->owner);
        EXPECT_TRUE(refused->inFront);
        EXPECT_EQ("Bid Order-IPO", user.FrontWindow());
        EXPECT_EQ("300", user.Text(kBidQuantity[0]));
        user.Tick(kBidTerms, true);
        // The terms, read from the working folder in their modal viewer, closed with Escape.
        user.Click(kBidTermsLink);
        ASSERT_TRUE(user.Use("Terms & Conditions"));
        EXPECT_NE(std::string::npos, user.Text(kTermsText).find("<h1>Terms and Conditions</h1>"));
        user.Press(Key::Escape);
        EXPECT_FALSE(user.Shown("Terms & Conditions"));
        // Placed from the keyboard: Tab to Place Bid, Enter presses it; Escape closes the dialog.
        user.Use("Bid Order-IPO");
        bool linkReached = false;  // the terms link is no tab stop
        for (int i = 0; i < 40 && user.Focused() != kBidPlaceBid; ++i) {
            user.Press(Key::Tab);
            linkReached = linkReached || user.Focused() == kBidTermsLink;
        }
        ASSERT_EQ(kBidPlaceBid, user.Focused());
        EXPECT_FALSE(linkReached);
        user.Press(Key::Enter);
        EXPECT_EQ("Order Placed Successfully for AURORAGREEN", Said(user));
        user.Press(Key::Escape);
        EXPECT_FALSE(user.Shown("Bid Order-IPO"));

        // An ASBA bid: a price outside the band is refused as the user leaves the box.
        user.Use("IPO WatchList");
        ASSERT_TRUE(user.ClickCell(kWatchList, bharat, 0));
        ASSERT_TRUE(user.Use("Bid Order-IPO"));
        user.Click(kBidASBA);
        EXPECT_TRUE(user.Choose(kBidBankName, "Harbour Bank"));
        EXPECT_TRUE(user.Choose(kBidBankAccount, "501002350077"));
        user.Type(kBidLot[0], "1");
        user.Type(kBidPrice[0], "310");
        user.Press(Key::Tab);
        EXPECT_EQ("Bid Price1 should be in the range on Min-Max Price", Said(user));
        user.Type(kBidPrice[0], "290");
        user.Tick(kBidTerms, true);
        user.Click(kBidPlaceBid);
        EXPECT_EQ("Order Placed Successfully for BHARATRAIL", Said(user));
        user.Click(kBidCancel);

        // Both orders in the order book.
        Open(user, kMenuIPOOrderBook);
        ASSERT_TRUE(user.Use("IPO Order Book"));
        EXPECT_TRUE(user.Rows(kOrderBookList).empty());  // nothing is asked for before Apply
        user.Click(kOrderBookApply);
        Rows book = user.WaitForRows(kOrderBookList, 2);
        size_t row = RowOf(book, "Aurora Green Energy Ltd", kOfferName);
        EXPECT_EQ("2(300)", book[row].at(kLots1));
        EXPECT_EQ("98.50", book[row].at(kPrice1));
        EXPECT_EQ("29550.00", book[row].at(kTotal));
        EXPECT_EQ("PENDING", book[row].at(kStatus));
        EXPECT_EQ("PENDING", book[RowOf(book, "Bharat Rail Systems Ltd", kOfferName)].at(kStatus));

        // Modify through the popup menu (an investor has no client to change): the bid dialog
        // comes back filled in.
        user.SelectRows(kOrderBookList, {row});
        EXPECT_EQ("Export To CSV|Modify|Cancel|Size To Fit|Size To Header|Grid",
                  Seen(user.OpenPopup(kOrderBookList)));
        ASSERT_TRUE(user.ChooseMenuItem("Modify"));
        ASSERT_TRUE(user.Use("Bid Order-IPO"));
        EXPECT_EQ("2", user.Text(kBidLot[0]));
        EXPECT_EQ("95.00-100.00", user.Text(kBidPriceBand[0]));
        user.Type(kBidLot[0], "3");
        user.Type(kBidPrice[0], "99.00");
        user.Click(kBidPlaceBid);
        EXPECT_EQ("Order Placed Successfully for AURORAGREEN", Said(user));
        user.Use("IPO Order Book");
        user.Click(kOrderBookApply);
        book = user.WaitForRows(kOrderBookList, 2);
        row = RowOf(book, "Aurora Green Energy Ltd", kOfferName);
        EXPECT_EQ("MODIFIED", book[row].at(kStatus));
        EXPECT_EQ("3(450)", book[row].at(kLots1));
        EXPECT_EQ("44550.00", book[row].at(kTotal));

        // Cancel it.
        user.SelectRows(kOrderBookList, {row});
        ASSERT_TRUE(user.OpenPopup(kOrderBookList));
        user.ChooseMenuItem("Cancel");
        EXPECT_EQ("Order Cancelled Successfully", Said(user));
        user.Click(kOrderBookApply);
        book = user.WaitForRows(kOrderBookList, 2);
        EXPECT_EQ("CANCELLED",
                  book[RowOf(book, "Aurora Green Energy Ltd", kOfferName)].at(kStatus));

        // Export as comma- and tab-separated files; the right-click after the first export opens
        // the menu again (the menu before does not come back to take the click).
        for (const auto& [name, separator] : {std::pair{"orders.csv", std::string(" ,")},
                                              std::pair{"orders.txt", std::string("\t")}}) {
            ASSERT_TRUE(user.OpenPopup(kOrderBookList));
            user.ChooseMenuItem("Export To CSV");
            const auto dialog = user.SaveAs(exports + "/" + name);
            ASSERT_TRUE(dialog);
            EXPECT_NE(std::string::npos, dialog->defaultFileName.find("IPOOrderBook.csv"));
            std::ifstream file(exports + "/" + name, std::ios::binary);
            const std::string text(std::istreambuf_iterator<char>(file), {});
            EXPECT_NE(std::string::npos, text.find("Aurora Green Energy Ltd" + separator)) << text;
            EXPECT_NE(std::string::npos, text.find("CANCELLED")) << text;
        }

        // Copy the watch list.
        user.Use("IPO WatchList");
        EXPECT_EQ("Copy to ClipBoard|Size To Fit|Size To Header|Grid",
                  Seen(user.OpenPopup(kWatchList)));
        user.ChooseMenuItem("Copy to ClipBoard");
        EXPECT_TRUE(user.WaitUntil([](fw::UserActions& ui) {
            return ui.Clipboard().find("Aurora Green Energy Ltd\t") != std::string::npos;
        }));
    });
}

// After the bid: the payer accepts the mandate, the issue closes and is finalised at 98.00, and
// the order book shows the payment, the shares allotted and the refund of the rest.
TEST_F(Scenario, UpiBidIsAllottedAfterTheCloseWithItsRefund) {
    Run(kSeededInvestor, [&](UserDriver& user) {
        Open(user, kMenuIPOWatch);
        ASSERT_TRUE(user.Use("IPO WatchList"));
        const Rows watch = user.WaitForRows(kWatchList, 4);
        const int aurora = static_cast<int>(RowOf(watch, "Aurora Green Energy Ltd"));
        ASSERT_TRUE(user.ClickCell(kWatchList, aurora, 0));
        ASSERT_TRUE(user.Use("Bid Order-IPO"));
        user.Type(kBidLot[0], "2");
        user.Type(kBidPrice[0], "98.50");
        user.Type(kBidUPIId, "rohan.desai@upibank");
        user.Tick(kBidTerms, true);
        user.Click(kBidPlaceBid);
        EXPECT_EQ("Order Placed Successfully for AURORAGREEN", Said(user));
        user.Press(Key::Escape);

        std::string said;
        ASSERT_EQ(service.RunOperator({"1", "mandate", "accept"}, &said), 0) << said;
        const std::string closed = service.BidEnd("AURORAGREEN").substr(0, 10) + " 17:00:01";
        ASSERT_EQ(service.RunCommand({"--now", closed, "issue", "finalise", "AURORAGREEN",
                                      "--price", "98", "--seed", "published seed"},
                                     &said),
                  0)
            << said;

        Open(user, kMenuIPOOrderBook);
        ASSERT_TRUE(user.Use("IPO Order Book"));
        user.Click(kOrderBookApply);
        const Rows book = user.WaitForRows(kOrderBookList, 1);
        EXPECT_EQ("SUCCESS", book.at(0).at(kPaymentStatus));
        EXPECT_EQ("300", book.at(0).at(kAllotted));
        EXPECT_EQ("150.00", book.at(0).at(kRefund));  // 29550.00 blocked, 300 x 98.00 paid
    });
}

// A dealer's order book asks for the client first; the bid is then placed for that client.
TEST_F(Scenario, DealerChoosesAClientAndBidsForThem) {
    Run(kSeededDealer, [&](UserDriver& user) {
        Open(user, kMenuIPOOrderBook);
        ASSERT_TRUE(user.Use("Client Filter"));
        user.Press(Key::Enter);
        EXPECT_EQ("Client Id can not be blank.", Said(user));
        // Typed key by key; the box shows capitals in the order typed.
        user.Type(kFilterClientIdBox, "cl0001");
        user.Press(Key::Tab);  // leaving the box looks the client up
        EXPECT_TRUE(user.WaitUntil(
            [](fw::UserActions& ui) { return ui.Text(kFilterClientName) == "Anil Kumar Mehta"; }));
        EXPECT_EQ("CL0001", user.Text(kFilterClientIdBox));
        user.Click("OK");
        EXPECT_FALSE(user.Shown("Client Filter"));

        Open(user, kMenuIPOWatch);
        ASSERT_TRUE(user.Use("IPO WatchList"));
        const Rows watch = user.WaitForRows(kWatchList, 4);
        const int citrus = static_cast<int>(RowOf(watch, "Citrus Finance Ltd"));
        ASSERT_TRUE(user.ClickCell(kWatchList, citrus, 0));
        ASSERT_TRUE(user.Use("Bid Order-IPO"));
        user.Type(kBidClientId, "CL0001");
        user.Tick(kBidCutOff[0], true);
        user.Type(kBidLot[0], "1");
        user.Click(kBidASBA);
        EXPECT_TRUE(user.Choose(kBidBankName, "State Union Bank"));
        user.Tick(kBidTerms, true);
        user.Click(kBidPlaceBid);
        EXPECT_EQ("Order Placed Successfully for CITRUSFIN", Said(user));
        user.Press(Key::Escape);
        EXPECT_FALSE(user.Shown("Bid Order-IPO"));

        ASSERT_TRUE(user.Use("IPO Order Book"));
        user.Click(kOrderBookApply);
        const Rows book = user.WaitForRows(kOrderBookList, 1);
        ASSERT_EQ(1u, book.size());
        EXPECT_EQ("Citrus Finance Ltd", book[0].at(kOfferName));
        EXPECT_EQ("Anil Kumar Mehta", book[0].back());
        // No row is selected: nothing to modify or cancel.
        EXPECT_EQ("Export To CSV|Modify-|Cancel-|Size To Fit|Size To Header|Grid|Change Client",
                  Seen(user.OpenPopup(kOrderBookList)));
        user.Press(Key::Escape);
        EXPECT_TRUE(user.WaitUntil([](fw::UserActions& ui) { return !ui.OpenMenu(); }));
    });
}

// With the service gone the trader is told so, and nothing else happens.
TEST_F(Scenario, ServiceDownIsSaidAndNothingBreaks) {
    Run(kSeededInvestor, [&](UserDriver& user) {
        user.OnUi([this] { service.Stop(); });
        Open(user, kMenuIPOWatch);
        EXPECT_NE("<no message box>", Said(user));
        // The terminal's log says what happened where the plug-in's message only says "null".
        EXPECT_TRUE(Logged(user, "The IPO service at " + service.Address() + " cannot be reached"));
        EXPECT_FALSE(Logged(user, "null"));
        ASSERT_TRUE(user.Use("IPO WatchList"));
        EXPECT_TRUE(user.Rows(kWatchList).empty());
        Open(user, kMenuIPOOrderBook);
        ASSERT_TRUE(user.Use("IPO Order Book"));
        user.Click(kOrderBookApply);
        EXPECT_EQ("Service is not available.", Said(user));
        EXPECT_TRUE(user.Rows(kOrderBookList).empty());
    });
}

// Without the companion library no request is made: the windows open empty and quiet.
TEST_F(Scenario, CompanionMissingLeavesTheWindowsEmpty) {
    Run(
        kSeededInvestor,
        [&](UserDriver& user) {
            Open(user, kMenuIPOWatch);
            ASSERT_TRUE(user.Use("IPO WatchList"));
            EXPECT_TRUE(user.Rows(kWatchList).empty());
            Open(user, kMenuIPOOrderBook);
            ASSERT_TRUE(user.Use("IPO Order Book"));
            user.Click(kOrderBookApply);
            EXPECT_TRUE(user.Rows(kOrderBookList).empty());
            EXPECT_FALSE(user.AnswerMessageBox(std::chrono::milliseconds(300)));
        },
        false);
}

}  // namespace
