// The whole chain for real: the plug-in's views on the headless backend, the bridge, the
// companion library, HTTP and an ipo-service with its store. A trader lists the current issues,
// opens one's details, places a bid, finds it in the order book, modifies it and cancels it.
#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "bid/ipo_order_entry_layout.h"
#include "orderbook/order_book_layout.h"
#include "plugin/runtime_classes.h"
#include "seeded_investor.h"
#include "service_harness.h"
#include "tests/support/plugin_test_env.h"
#include "watch/ipo_watch_details_layout.h"
#include "watch/ipo_watch_layout.h"

using fw::headless::HeadlessForm;
using fw::headless::OpenedWindow;

namespace {

// Column indexes of the order book.
constexpr size_t kOfferName = 1, kApplication = 2, kPrice1 = 5, kLots1 = 6, kTotal = 16,
                 kStatus = 18;

class EndToEndTest : public ::testing::Test {
  protected:
    EndToEndTest() {
        fw::RegisterTemplate(&WatchFormLayout());
        fw::RegisterTemplate(&OrderBookFormLayout());
        env = std::make_unique<PluginTestEnv>(SeededInvestorConfig(service));
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        backend().now = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                         local.tm_hour,        local.tm_min,     local.tm_sec};
    }

    fw::headless::HeadlessBackend& backend() { return env->backend(); }
    std::string LastMessage() {
        const std::vector<std::string> texts = backend().MessageTexts();
        return texts.empty() ? "" : texts.back();
    }
    // The visible bid dialog (each view owns one).
    HeadlessForm* VisibleBidDialog() {
        for (HeadlessForm* form : backend().forms) {
            if (form->Caption() == "Bid Order-IPO" && form->IsWindowVisible()) {
                return form;
            }
        }
        return nullptr;
    }
    static size_t RowOf(HeadlessForm& watch, const std::string& name) {
        const auto rows = watch.Rows(kWatchList);
        for (size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].at(1) == name) {
                return i;
            }
        }
        ADD_FAILURE() << name << " is not listed";
        return 0;
    }
    std::vector<std::string> OnlyOrder(HeadlessForm& book) {
        book.Click(kOrderBookApply);
        const auto rows = book.Rows(kOrderBookList);
        EXPECT_EQ(rows.size(), 1u);
        return rows.empty() ? std::vector<std::string>(26) : rows[0];
    }
    void Choose(HeadlessForm& book, int command) {
        book.SelectItems(kOrderBookList, {0});
        backend().menuAnswer = command;
        book.RightClick(kOrderBookList);
    }

    harness::ServiceProcess service;
    std::unique_ptr<PluginTestEnv> env;
};

TEST_F(EndToEndTest, ListDetailsPlaceFindModifyAndCancelABid) {
    OpenedWindow watchWindow(WatchViewClass(), GenericFrameClass(), kFormIPOWatch);
    HeadlessForm& watch = watchWindow.form();
    ASSERT_EQ(watch.Rows(kWatchList).size(), 4u) << LastMessage();
    const size_t aurora = RowOf(watch, "Aurora Green Energy Ltd");
    EXPECT_EQ(watch.Rows(kWatchList)[aurora].at(5), "95.00-100.00");
    EXPECT_EQ(watch.Rows(kWatchList)[aurora].at(8), "12500000000");

    watch.ClickItem(kWatchList, static_cast<int>(aurora), 1);
    HeadlessForm* details = backend().FindForm("IPO Watch Details");
    ASSERT_NE(details, nullptr);
    EXPECT_EQ(details->GetText(kDetailsIPOName), "Aurora Green Energy Ltd");
    EXPECT_EQ(details->GetText(kDetailsRegistrar), "Meridian Registry Services");
    EXPECT_EQ(details->GetText(kDetailsFaceValue), "10.00");

    watch.ClickItem(kWatchList, static_cast<int>(aurora), 0);  // "Place Bid"
    HeadlessForm* bid = VisibleBidDialog();
    ASSERT_NE(bid, nullptr);
    EXPECT_EQ(bid->GetText(kBidIPOName), "AURORAGREEN");
    EXPECT_EQ(bid->GetText(kBidCategory), "Retail Individual");
    EXPECT_EQ(bid->GetText(kBidClientId), "INV001");
    bid->Type(kBidLot[0], "2");
    bid->Type(kBidPrice[0], "98.50");
    bid->Type(kBidUPIId, "rohan.desai@upibank");
    bid->Click(kBidTerms);
    EXPECT_EQ(bid->GetText(kBidQuantity[0]), "300");
    bid->Click(kBidPlaceBid);
    EXPECT_EQ(LastMessage(), "Order Placed Successfully for AURORAGREEN");
    bid->Click(kBidCancel);

    OpenedWindow bookWindow(OrderBookViewClass(), GenericFrameClass(),
                            static_cast<int>(kFormIPOOrderBook));
    HeadlessForm& book = bookWindow.form();
    std::vector<std::string> order = OnlyOrder(book);
    EXPECT_EQ(order[kOfferName], "Aurora Green Energy Ltd");
    EXPECT_EQ(order[kApplication], "AGE0000000001");
    EXPECT_EQ(order[kLots1], "2(300)");
    EXPECT_EQ(order[kPrice1], "98.50");
    EXPECT_EQ(order[kTotal], "29550.00");
    EXPECT_EQ(order[kStatus], "PENDING");

    Choose(book, kCommandModify);
    HeadlessForm* modify = VisibleBidDialog();
    ASSERT_NE(modify, nullptr);
    EXPECT_EQ(modify->GetText(kBidLot[0]), "2");
    EXPECT_EQ(modify->GetText(kBidPriceBand[0]), "95.00-100.00");
    modify->Type(kBidLot[0], "3");
    modify->Type(kBidPrice[0], "99.00");
    modify->Focus(kBidPlaceBid);
    modify->Click(kBidPlaceBid);
    EXPECT_EQ(LastMessage(), "Order Placed Successfully for AURORAGREEN");
    order = OnlyOrder(book);
    EXPECT_EQ(order[kStatus], "MODIFIED");
    EXPECT_EQ(order[kLots1], "3(450)");
    EXPECT_EQ(order[kTotal], "44550.00");

    Choose(book, kCommandCancel);
    EXPECT_EQ(LastMessage(), "Order Cancelled Successfully");
    order = OnlyOrder(book);
    EXPECT_EQ(order[kStatus], "CANCELLED");
    EXPECT_EQ(order[kApplication], "AGE0000000001");
}

TEST_F(EndToEndTest, AStoppedServiceShowsServiceNotAvailable) {
    OpenedWindow bookWindow(OrderBookViewClass(), GenericFrameClass(),
                            static_cast<int>(kFormIPOOrderBook));
    service.Stop();
    bookWindow.form().Click(kOrderBookApply);
    EXPECT_EQ(LastMessage(), "Service is not available.");
    EXPECT_TRUE(bookWindow.form().Rows(kOrderBookList).empty());
}

}  // namespace
