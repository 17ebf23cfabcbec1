// Placing under load through the companion library: concurrent dealers lose no order answered
// as placed, numbers stay unique, the log has a line for each, and a service killed in the
// middle of the load still has every order it answered as placed once it is back.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <future>
#include <map>
#include <mutex>
#include <regex>
#include <set>
#include <thread>

#include "base/text.h"
#include "service_harness.h"

namespace {

using Placed = std::map<int64_t, std::string>;  // order number -> application number

constexpr int kClientsPerThread = 84;  // one live application per issue: 3 orders per client

struct Issue {
    const char* key;
    const char* tag;
    int32_t lot;
    double low;
};
const Issue kIssues[] = {{"AURORAGREEN", "AGE", 150, 95.0},
                         {"BHARATRAIL", "BRS", 50, 285.0},
                         {"CITRUSFIN", "CFL", 12, 1180.0}};

class ServiceLoadTest : public ::testing::Test {
  protected:
    // Load clients L0000.. (even ones DEALER01's, odd ones DEALER02's), added while stopped.
    void SetUp() override {
        service.Stop();
        sqlite3* db = nullptr;
        sqlite3_open(service.DbPath().c_str(), &db);
        const int added = sqlite3_exec(
            db,
            "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 999) "
            "INSERT INTO clients(client_id, client_code, name, dealer_id, upi_id) "
            "SELECT printf('L%04d', i), printf('L%04d', i), 'Load client', "
            "iif(i % 2, 'DEALER02', 'DEALER01'), 'load.test@upibank' FROM n",
            nullptr, nullptr, nullptr);
        sqlite3_close(db);
        ASSERT_EQ(added, SQLITE_OK);
        service.Start();
    }

    // `threads` threads place `orders` orders each through one companion, thread t for clients
    // from first + t * 84 on; what is answered as placed goes to `placed`.
    void Place(int threads, int orders, int first, Placed& placed) {
        std::string urls[2];
        for (int d = 0; d < 2; ++d) {
            urls[d] = service.Url("/ipo/order", d ? "DEALER02" : "DEALER01");
        }
        std::vector<std::thread> senders;
        for (int t = 0; t < threads; ++t) {
            senders.emplace_back([&, t] {
                for (int i = 0; i < orders; ++i) {
                    const int client = first + t * kClientsPerThread + i / 3;
                    const std::string id = base::Format("L%04d", client);
                    const Issue& issue = kIssues[i % 3];
                    IPOServiceRequest request =
                        harness::NewRequest(kRequestPlaceOrder, urls[client % 2], 24,
                                            client % 2 ? "DEALER02" : "DEALER01", id, id);
                    harness::MakeRetailUpiOrder(request, "load.test@upibank",
                                                issue.lot * (1 + i % 3), issue.low + i % 5,
                                                issue.key, issue.tag);
                    companion.Call(request);
                    auto* answer = companion.First<OrderResponseRecord>();
                    if (answer && answer->Status() == 1) {
                        std::lock_guard<std::mutex> lock(mutex);
                        EXPECT_TRUE(
                            placed.emplace(std::stoll(answer->Reserved4()), answer->Reserved3())
                                .second)
                            << "order " << answer->Reserved4() << " was answered twice";
                    }
                }
            });
        }
        for (std::thread& sender : senders) {
            sender.join();
        }
    }

    // Every order answered as placed is stored with its application number, and application
    // numbers and bid references are unique in the store.
    void ExpectStored(const Placed& placed) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(service.DbPath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* rows = nullptr;
        sqlite3_prepare_v2(db,
                           "SELECT order_number, application_number, (SELECT COUNT(*) - "
                           "COUNT(DISTINCT reference) FROM bids) FROM orders",
                           -1, &rows, nullptr);
        Placed stored;
        std::set<std::string> applications;
        while (sqlite3_step(rows) == SQLITE_ROW) {
            const char* application = reinterpret_cast<const char*>(sqlite3_column_text(rows, 1));
            stored[sqlite3_column_int64(rows, 0)] = application;
            applications.insert(application);
            EXPECT_EQ(sqlite3_column_int64(rows, 2), 0) << "bid references repeat";
        }
        sqlite3_finalize(rows);
        sqlite3_close(db);
        EXPECT_EQ(applications.size(), stored.size()) << "application numbers repeat";
        for (const auto& [number, application] : placed) {
            EXPECT_EQ(stored[number], application) << "placed order " << number;
        }
    }

    const std::string log = testing::TempDir() + "/load_" + std::to_string(getpid()) + ".log";
    harness::ServiceProcess service{{"--log", log}};
    harness::Companion companion;
    std::mutex mutex;
};

TEST_F(ServiceLoadTest, ConcurrentPlacingLosesNothingAndLogsEachOrder) {
    Placed placed;
    const auto start = std::chrono::steady_clock::now();
    Place(8, 250, 0, placed);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("8 threads placed %zu orders in %.2f s: %.0f orders/s\n", placed.size(),
                took.count(), placed.size() / took.count());
    EXPECT_EQ(placed.size(), 2000u);
    service.Stop();
    ExpectStored(placed);

    std::ifstream file(log);
    const std::regex audit(R"( audit order=\d+ placed )");
    const std::regex access(R"( POST /ipo/order status=200 .* code=94 result=0 order=\d+$)");
    int audited = 0, answered = 0;
    for (std::string line; std::getline(file, line);) {
        audited += std::regex_search(line, audit);
        answered += std::regex_search(line, access);
        EXPECT_EQ(line.find("load.test@upibank"), std::string::npos) << line;
    }
    EXPECT_EQ(audited, 2000);
    EXPECT_EQ(answered, 2000);
    std::remove(log.c_str());
}

TEST_F(ServiceLoadTest, OrdersAnsweredBeforeAKillAreStoredAfterTheRestart) {
    Placed placed;
    auto load = std::async(std::launch::async, [&] { Place(8, 250, 0, placed); });
    const auto count = [&] {
        std::lock_guard<std::mutex> lock(mutex);
        return placed.size();
    };
    for (int wait = 0; wait < 1000 && count() < 300; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    service.Kill();
    load.get();
    std::printf("killed after %zu orders were placed\n", placed.size());
    ASSERT_GE(placed.size(), 300u);
    ASSERT_LT(placed.size(), 2000u) << "the kill came after the load";

    service.Start(service.Port());
    ExpectStored(placed);
    Placed after;  // and the service serves as before
    Place(2, 20, 8 * kClientsPerThread, after);
    EXPECT_EQ(after.size(), 40u);
    ExpectStored(after);
    std::remove(log.c_str());
}

}  // namespace
