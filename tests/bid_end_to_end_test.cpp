// One bid from the watch list to the service's answer: the issue's "Place Bid", the form
// filled as a user fills it, the order the companion receives and the message shown.
#include <gtest/gtest.h>

#include "bid/ipo_order_entry_layout.h"
#include "plugin/runtime_classes.h"
#include "tests/support/fake_records.h"
#include "tests/support/plugin_test_env.h"
#include "tests/support/record_bytes.h"
#include "watch/ipo_watch_layout.h"

namespace {

TEST(BidEndToEnd, PlaceBidFromTheWatchListReachesTheServiceAndShowsItsAnswer) {
    PluginTestEnv env;
    fw::RegisterTemplate(&WatchFormLayout());

    FakeIPOWatchEntry listed;
    listed.issueKey = "ACME-IPO";
    listed.ipoName = "Acme Limited";
    env.companion().Script(kRequestWatchList, {0, 1, "", {{&listed}}});
    fw::headless::OpenedWindow watch(WatchViewClass(), GenericFrameClass(), kFormIPOWatch);

    FakeIPODetailsEntry details;
    details.issueIdentifier = "ACME-IPO";
    details.issueTag = "EQ";
    details.lotSize = 30;
    FakeCategoryRecord retail;
    retail.code = "RETAIL";
    retail.displayName = "Retail Individual";
    retail.minimumPrice = 100;
    retail.maximumPrice = 110;
    details.categories.Add(&retail);
    env.companion().Script(kRequestWatchDetails, {0, 1, "", {{&details}}});
    FakeUserDetailsRecord user;
    FakeUserReferenceRecord reference;
    reference.reference1 = "REF-ONE";
    user.references.Add(&reference);
    env.companion().Script(kRequestUserDetails, {0, 1, "", {{&user}}});

    watch.form().ClickItem(kWatchList, 0, 0);  // the row's "Place Bid" image
    fw::headless::HeadlessForm* bid = env.backend().FindForm("Bid Order-IPO");
    ASSERT_NE(bid, nullptr);
    ASSERT_TRUE(bid->IsWindowVisible());
    EXPECT_EQ(bid->GetText(kBidIPOName), "ACME-IPO");
    EXPECT_EQ(bid->GetText(kBidClientId), "LC1001");

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
    EXPECT_EQ(TextAt(&order, 4767, 21), "ACME-IPO");
    EXPECT_EQ(TextAt(&order, 4794, 31), "RETAIL");
    EXPECT_EQ(TextAt(&order, 4825, 21), "REF-ONE");
    EXPECT_EQ(TextAt(&order, 4878, 51), "trader@upi");
    EXPECT_EQ(NumberAt<int32_t>(&order, 5016 + 4), 60);
    EXPECT_EQ(NumberAt<double>(&order, 5016 + 16), 105.5);
    EXPECT_EQ(env.backend().LastMessage(), "Order Placed Successfully for ACME-IPO");
    EXPECT_TRUE(bid->IsWindowVisible());
}

}  // namespace
