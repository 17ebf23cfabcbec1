// Placing under load through the companion library: concurrent dealers lose no order answered
// as placed, numbers stay unique, every order answered as placed is in the store when its
// answer arrives, and a service killed in the middle of the load still has every one once it
// is back.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <future>
#include <map>
#include <mutex>
#include <thread>

#include "base/text.h"
#include "service_harness.h"

namespace {

using Placed = std::map<int64_t, std::string>;  // order number -> application number

class ServiceLoadTest : public ::testing::Test {
  protected:
    // Load clients L0000.. (even ones DEALER01's, odd ones DEALER02's), added while stopped.
    void SetUp() override {
        ASSERT_EQ(
            service.RunSqlStopped(
                "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 1199) "
                "INSERT INTO clients(client_id, client_code, name, dealer_id, upi_id) "
                "SELECT printf('L%04d', i), printf('L%04d', i), 'Load client', "
                "iif(i % 2, 'DEALER02', 'DEALER01'), 'load.test@upibank' FROM n"),
            SQLITE_OK);
    }

    // `threads` threads place `orders` orders on AURORAGREEN each through one companion, one per
    // client (one live application per issue), thread t for clients from first + t * orders on;
    // what is answered as placed goes to `placed`.
    void Place(int threads, int orders, int first, Placed& placed) {
        std::string urls[2];
        for (int d = 0; d < 2; ++d) {
            urls[d] = service.Url("/ipo/order", d ? "DEALER02" : "DEALER01");
        }
        std::vector<std::thread> senders;
        for (int t = 0; t < threads; ++t) {
            senders.emplace_back([&, t] {
                sqlite3* db = nullptr;
                sqlite3_open_v2(service.DbPath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
                sqlite3_busy_timeout(db, 1000);
                for (int i = 0; i < orders; ++i) {
                    const int client = first + t * orders + i;
                    const std::string id = base::Format("L%04d", client);
                    IPOServiceRequest request =
                        harness::NewRequest(kRequestPlaceOrder, urls[client % 2], 24,
                                            client % 2 ? "DEALER02" : "DEALER01", id, id);
                    harness::MakeRetailUpiOrder(request, "load.test@upibank", 150 * (1 + i % 3),
                                                95.0 + i % 5);
                    companion.Call(request);
                    auto* answer = companion.First<OrderResponseRecord>();
                    if (answer && answer->Status() == 1) {
                        const int64_t number = base::ToLong(answer->Reserved4());
                        EXPECT_EQ(Read(db, kApplication, number), answer->Reserved3())
                            << "order " << number << " was answered before its commit";
                        std::lock_guard<std::mutex> lock(mutex);
                        EXPECT_TRUE(placed.emplace(number, answer->Reserved3()).second)
                            << "order " << number << " was answered twice";
                    }
                }
                sqlite3_close(db);
            });
        }
        for (std::thread& sender : senders) {
            sender.join();
        }
    }

    // The first column of the first row `sql` gives for `number` (empty when none), read as
    // another connection sees the store: a commit is seen once it is durable.
    static std::string Read(sqlite3* db, const char* sql, int64_t number = 0) {
        sqlite3_stmt* row = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &row, nullptr);
        sqlite3_bind_int64(row, 1, number);
        std::string text;
        if (sqlite3_step(row) == SQLITE_ROW && sqlite3_column_text(row, 0)) {
            text = reinterpret_cast<const char*>(sqlite3_column_text(row, 0));
        }
        sqlite3_finalize(row);
        return text;
    }
    static constexpr const char* kApplication =
        "SELECT application_number FROM orders WHERE order_number = ?";

    // Every order answered as placed is stored with its application number, and application
    // numbers and bid references are unique in the store.
    void ExpectStored(const Placed& placed) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(service.DbPath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        EXPECT_EQ(Read(db, "SELECT COUNT(*) - COUNT(DISTINCT reference) FROM bids"), "0")
            << "bid references repeat";
        EXPECT_EQ(Read(db, "SELECT COUNT(*) - COUNT(DISTINCT application_number) FROM orders"), "0")
            << "application numbers repeat";
        for (const auto& [number, application] : placed) {
            EXPECT_EQ(Read(db, kApplication, number), application) << "placed order " << number;
        }
        sqlite3_close(db);
    }

    harness::ServiceProcess service;
    harness::Companion companion;
    std::mutex mutex;
};

// Orders answered before a kill in the middle of the load are stored after the restart, and
// the restarted service places concurrent orders as before, none refused.
TEST_F(ServiceLoadTest, OrdersAnsweredBeforeAKillAreStoredAndPlacingGoesOn) {
    Placed placed;
    auto load = std::async(std::launch::async, [&] { Place(8, 100, 0, placed); });
    const auto count = [&] {
        std::lock_guard<std::mutex> lock(mutex);
        return placed.size();
    };
    for (int wait = 0; wait < 1000 && count() < 150; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    service.Kill();
    load.get();
    std::printf("killed after %zu orders were placed\n", placed.size());
    ASSERT_GE(placed.size(), 150u);
    ASSERT_LT(placed.size(), 800u) << "the kill came after the load";

    service.Start(service.Port());
    ExpectStored(placed);
    Placed after;
    Place(4, 75, 800, after);
    EXPECT_EQ(after.size(), 300u);
    ExpectStored(after);
}

}  // namespace
