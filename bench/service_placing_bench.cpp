// Placing under load: 32 concurrent plain HTTP clients (kept-alive loopback connections, JSON
// bodies as the companion sends them, libcurl's easy interface as the companion uses it, each
// request in one write) place new orders on a real ipo-service, each answered only
// once durable. Printed: orders placed per second, the p50 and p99 of placing, and, measured in
// rounds alternating with the load, the floor they are held against: one SQLite connection
// committing one durable transaction at a time (WAL, synchronous=FULL) in the service's folder.
#include <benchmark/benchmark.h>

#include <curl/curl.h>
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "base/text.h"
#include "bench/durable_commit_floor.h"
#include "bench/kept_connection.h"
#include "bench/percentile.h"
#include "bench/run_collector.h"
#include "service_test_client.h"

namespace {

constexpr int kClients = 32;
// Each sender places for clients of its own, one order per issue, so the one-application rule
// holds for every order: 160 clients x 3 issues.
constexpr int kClientsPerSender = 160;
constexpr int kFloorCommits = 4000;
// The load and the floor alternate in this many rounds (it divides both counts).
constexpr int kRounds = 4;

struct Issue {
    const char* key;
    const char* tag;
    int lotSize;
    int64_t pricePaise;
};

const Issue kIssues[] = {
    {"AURORAGREEN", "AGE", 150, 9800},
    {"BHARATRAIL", "BRS", 50, 29000},
    {"CITRUSFIN", "CFL", 12, 120000},
};
constexpr int kIssueCount = 3;

std::string BenchClient(int sender, int index) {
    return base::Format("G%02d%03d", sender, index);
}

const char* Dealer(int sender) {
    return sender % 2 == 0 ? "DEALER01" : "DEALER02";
}

// Adds the senders' clients to the seeded store (the service stopped meanwhile).
void AddClients(const std::string& dbPath) {
    sqlite3* db = nullptr;
    sqlite3_open(dbPath.c_str(), &db);
    ExecSql(db, "BEGIN IMMEDIATE");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO clients(client_id, client_code, name, dealer_id, upi_id) "
                       "VALUES(?1, ?1, 'Bench client', ?2, 'bench.client@upibank')",
                       -1, &insert, nullptr);
    for (int sender = 0; sender < kClients; ++sender) {
        for (int index = 0; index < kClientsPerSender; ++index) {
            const std::string client = BenchClient(sender, index);
            sqlite3_bind_text(insert, 1, client.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 2, Dealer(sender), -1, SQLITE_STATIC);
            if (sqlite3_step(insert) != SQLITE_DONE) {
                throw std::runtime_error(sqlite3_errmsg(db));
            }
            sqlite3_reset(insert);
        }
    }
    sqlite3_finalize(insert);
    ExecSql(db, "COMMIT");
    sqlite3_close(db);
}

std::string OrderBody(int sender, int index) {
    const Issue& issue = kIssues[index % kIssueCount];
    nlohmann::json order = wire::Dealer(94, BenchClient(sender, index / kIssueCount));
    order.update({{"user_id", Dealer(sender)},
                  {"order_flag", "N"},
                  {"ipo_name", issue.key},
                  {"issue_tag", issue.tag},
                  {"category", "RETAIL"},
                  {"payment_mode", "UPI"},
                  {"upi_id", "bench.client@upibank"},
                  {"order_number", 0},
                  {"application_number", ""},
                  {"bids", {wire::Bid("N", issue.lotSize, issue.pricePaise)}}});
    return order.dump();
}

struct Environment {
    Environment() {
        service.Stop();
        AddClients(service.DbPath());
        service.Start();
    }
    harness::ServiceProcess service;
};

Environment* g_environment = nullptr;

// One sender's kept-alive connection: it places an order and reads whether it was placed.
class Sender {
  public:
    Sender(int port, const std::string& bearer)
        : connection_(base::Format("http://127.0.0.1:%d/ipo/order", port),
                      {"Content-Type: application/json", "Authorization: " + bearer}) {}
    bool Place(const std::string& body) {
        return connection_.Post(body) &&
               connection_.Answer().find("\"status\":1") != std::string::npos;
    }

  private:
    KeptConnection connection_;
};

// The load runs in rounds, each after a round of the floor, so that on a shared machine both
// meet the same disk. In a round every sender places its next orders as fast as answers come
// back; over the rounds each sender's clients are used once.
void PlaceOrders32(benchmark::State& state) {
    harness::ServiceProcess& service = g_environment->service;
    const std::string bearer01 = "Bearer " + service.Token("DEALER01");
    const std::string bearer02 = "Bearer " + service.Token("DEALER02");
    constexpr int kOrders = kClientsPerSender * kIssueCount;
    std::vector<std::vector<std::string>> bodies(kClients);
    for (int sender = 0; sender < kClients; ++sender) {
        for (int i = 0; i < kOrders; ++i) {
            bodies[sender].push_back(OrderBody(sender, i));
        }
    }
    DurableCommitFloor floor(service.Folder() + "/floor.db");
    for (auto _ : state) {
        std::mutex mutex;
        std::vector<double> latencies;
        std::atomic<int> refused{0};
        double placingSeconds = 0;
        double floorSeconds = 0;
        for (int round = 0; round < kRounds; ++round) {
            const auto committing = std::chrono::steady_clock::now();
            for (int i = 0; i < kFloorCommits / kRounds; ++i) {
                floor.Commit();
            }
            floorSeconds +=
                std::chrono::duration<double>(std::chrono::steady_clock::now() - committing)
                    .count();
            std::atomic<int> ready{0};
            const auto start = std::chrono::steady_clock::now();
            std::vector<std::thread> senders;
            for (int sender = 0; sender < kClients; ++sender) {
                senders.emplace_back([&, sender] {
                    Sender client(service.Port(), sender % 2 == 0 ? bearer01 : bearer02);
                    std::vector<double> mine;
                    mine.reserve(kOrders / kRounds);
                    ready.fetch_add(1);
                    while (ready.load() < kClients) {
                        std::this_thread::yield();
                    }
                    for (int i = round; i < kOrders; i += kRounds) {
                        const auto sent = std::chrono::steady_clock::now();
                        const bool placed = client.Place(bodies[sender][i]);
                        const std::chrono::duration<double, std::milli> took =
                            std::chrono::steady_clock::now() - sent;
                        if (placed) {
                            mine.push_back(took.count());
                        } else {
                            refused.fetch_add(1);
                        }
                    }
                    std::lock_guard<std::mutex> lock(mutex);
                    latencies.insert(latencies.end(), mine.begin(), mine.end());
                });
            }
            for (std::thread& sender : senders) {
                sender.join();
            }
            placingSeconds +=
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
        if (refused.load() > 0) {
            state.SkipWithError(base::Format("%d orders were not placed", refused.load()).c_str());
        }
        state.counters["orders"] = static_cast<double>(latencies.size());
        state.counters["orders_per_s"] = static_cast<double>(latencies.size()) / placingSeconds;
        state.counters["p50_ms"] = Percentile(latencies, 0.50);
        state.counters["p99_ms"] = Percentile(latencies, 0.99);
        state.counters["commits_per_s"] = kFloorCommits / floorSeconds;
    }
}

BENCHMARK(PlaceOrders32)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    curl_global_init(CURL_GLOBAL_DEFAULT);  // before the senders' threads start
    auto environment = std::make_unique<Environment>();
    g_environment = environment.get();

    RunCollector runs;
    benchmark::RunSpecifiedBenchmarks(&runs);
    benchmark::Shutdown();

    // A benchmark left out by a filter, or that failed, prints nothing.
    std::printf("\n");
    if (const auto* placing = runs.Find("PlaceOrders32")) {
        const auto counter = [&](const char* name) { return placing->counters.at(name).value; };
        std::printf("durable_commit_floor_sqlite: %.0f commits/s\n", counter("commits_per_s"));
        std::printf("placing_32_clients: %.0f orders/s\n", counter("orders_per_s"));
        std::printf("placing_32_clients_p50: %.3f ms\n", counter("p50_ms"));
        std::printf("placing_32_clients_p99: %.3f ms\n", counter("p99_ms"));
        std::printf("placing_32_clients_over_floor: %.2f ratio\n",
                    counter("orders_per_s") / counter("commits_per_s"));
    }
    g_environment = nullptr;
    environment.reset();
    curl_global_cleanup();
    return 0;
}
