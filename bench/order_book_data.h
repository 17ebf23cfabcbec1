// The order book the benchmarks feed: 100,000 orders of three bids each, built once from a fixed
// seed, answered from memory by the test companion; and an order book opened on the headless
// backend in the plug-in's test surroundings.
#pragma once

#include <deque>
#include <memory>
#include <random>
#include <string>

#include "base/text.h"
#include "orderbook/ipo_order_book.h"
#include "orderbook/order_book_layout.h"
#include "plugin/host_abi.h"
#include "plugin/runtime_classes.h"
#include "tests/support/fake_records.h"
#include "tests/support/plugin_test_env.h"

namespace bench {

constexpr int kOrders = 100000;

class OrderBookData {
  public:
    OrderBookData() {
        std::mt19937 random(42);
        const auto next = [&random](unsigned range) { return static_cast<int>(random() % range); };
        for (int i = 0; i < kOrders; ++i) {
            FakeIPOOrderBookEntry& e = entries_.emplace_back();
            e.issueKey = "ISSUE" + std::to_string(i % 40);
            e.offerName = "Offer number " + std::to_string(i % 40);
            e.offerType = "IPO";
            e.categoryCode = "IND";
            e.orderNumber = 100000 + i;
            e.applicationNumber = std::to_string(5000000 + i);
            e.statusCode = i % 3 ? "P" : "CF";
            e.bidDate = base::Format("2026-%02d-%02d %02d:%02d:%02d", 1 + next(12), 1 + next(28),
                                     next(24), next(60), next(60));
            e.lastModified = e.bidDate;
            e.paymentMode = "UPI";
            e.upiId = "client" + std::to_string(i) + "@upi";
            e.paymentStatusCode = "e";
            e.clientName = "Client " + std::to_string(i);
            e.lotSize = 50;
            e.totalAmountPayable = next(5000000);
            e.refundAmount = next(800000) / 8.0;  // halves and eighths: rounding ties
            for (int position = 0; position < 3; ++position) {
                FakeIPOOrderBid& bid = bids_.emplace_back();
                bid.position = position;
                bid.quantity = 50 * (1 + next(10));
                bid.price = 9000 + next(1000);
                bid.amountPayable = bid.price * bid.quantity;
                bid.bidReference = std::to_string(900000 + 3 * i + position);
                e.bids.Add(static_cast<IPOOrderBid*>(&bid));
            }
        }
    }

    CompanionAnswer Answer() {
        CompanionAnswer answer;
        answer.records.reserve(entries_.size());
        for (FakeIPOOrderBookEntry& e : entries_) {
            answer.records.push_back({static_cast<IPOOrderBookEntry*>(&e), 0});
        }
        return answer;
    }

    const FakeIPOOrderBookEntry& Entry(size_t i) const { return entries_[i]; }
    // Bid `position` (0, 1, 2) of order i.
    const FakeIPOOrderBid& Bid(size_t i, int position) const {
        return bids_[3 * i + static_cast<size_t>(position)];
    }

  private:
    std::deque<FakeIPOOrderBookEntry> entries_;
    std::deque<FakeIPOOrderBid> bids_;
};

// One order book opened on the headless backend; Apply answers with the data's orders.
struct HeadlessOrderBook {
    HeadlessOrderBook() {
        fw::RegisterTemplate(&OrderBookFormLayout());
        window = std::make_unique<fw::headless::OpenedWindow>(
            OrderBookViewClass(), GenericFrameClass(), static_cast<int>(kFormIPOOrderBook));
        window->form().PickDate(kOrderBookFromDate, {2026, 1, 1});
    }
    void Apply() {
        env.companion().Script(kRequestOrderBook, answer);
        window->form().Click(kOrderBookApply);
    }
    CIPOOrderBook& view() { return window->viewAs<CIPOOrderBook>(); }

    PluginTestEnv env;
    OrderBookData data;
    CompanionAnswer answer = data.Answer();
    std::unique_ptr<fw::headless::OpenedWindow> window;
};

}  // namespace bench
