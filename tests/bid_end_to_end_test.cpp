// One bid from the watch list to the service's answer: the issue's "Place Bid", the form
// filled as a user fills it, the order the companion receives and the message shown.
#include "plugin/runtime_classes.h"
#include "tests/bid_dialog_fixture.h"
#include "watch/ipo_watch_layout.h"

namespace {

TEST_F(BidDialogTest, PlaceBidFromTheWatchListReachesTheServiceAndShowsItsAnswer) {
    fw::RegisterTemplate(&WatchFormLayout());
    FakeIPOWatchEntry listed;
    listed.issueKey = "ACME-IPO";
    env.companion().Script(kRequestWatchList, {0, 1, "", {{&listed}}});
    fw::headless::OpenedWindow watch(WatchViewClass(), GenericFrameClass(), kFormIPOWatch);
    env.companion().Script(kRequestWatchDetails, {0, 1, "", {{&issue}}});

    watch.form().ClickItem(kWatchList, 0, 0);  // the row's "Place Bid" image
    fw::headless::HeadlessForm* bid = env.backend().FindForm("Bid Order-IPO");
    ASSERT_TRUE(bid && bid->IsWindowVisible());
    EXPECT_EQ(bid->GetText(kBidIPOName) + "/" + bid->GetText(kBidClientId), "ACME-IPO/LC1001");
    bid->Type(kBidLot[0], "2");
    bid->Type(kBidPrice[0], "105.50");
    bid->Type(kBidUPIId, "trader@upi");
    bid->Click(kBidTerms);
    EXPECT_EQ(bid->GetText(kBidAmountPayable), "6330.00");

    FakeOrderResponseRecord accepted;
    env.companion().Script(kRequestPlaceOrder, {0, 1, "", {{&accepted}}});
    bid->Click(kBidPlaceBid);
    const IPOServiceRequest& order = env.companion().Requests().back();
    EXPECT_EQ(order.RequestCode, kRequestPlaceOrder);
    EXPECT_EQ(TextAt(&order, 4767, 21) + "|" + TextAt(&order, 4878, 51), "ACME-IPO|trader@upi");
    EXPECT_EQ(NumberAt<int32_t>(&order, 5016 + 4), 60);
    EXPECT_EQ(NumberAt<double>(&order, 5016 + 16), 105.5);
    EXPECT_EQ(env.backend().LastMessage(), "Order Placed Successfully for ACME-IPO");
}

}  // namespace
