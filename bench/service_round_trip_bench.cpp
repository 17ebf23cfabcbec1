// Round trips through the plug-in's bridge, the companion library, HTTP on loopback and a real
// ipo-service: a watch list of 50 issues and placing an order (durable before it is answered),
// each with its p50 and p99, and in the same run the floors they are measured against: the bare
// kept-alive HTTP round trip of an empty request, and that plus one durable SQLite commit.
// Placing also prints the stages of each order as the service's access log measured them, beside
// what the round trip leaves over (the bridge, the companion, HTTP and the hand-offs between
// threads), each order's stages taken from the same round trip as its total.
#include <benchmark/benchmark.h>

#include <httplib.h>
#include <sqlite3.h>

#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/text.h"
#include "bench/run_collector.h"
#include "bridge/ipo_service_bridge.h"
#include "seeded_investor.h"
#include "service_harness.h"
#include "tests/support/plugin_test_env.h"

namespace {

constexpr int kWatchListIssues = 50;

double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(fraction * static_cast<double>(values.size() - 1))];
}

void Exec(sqlite3* db, const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "sqlite error";
        sqlite3_free(error);
        throw std::runtime_error(message);
    }
}

// Copies the open issue AURORAGREEN until the current watch list holds 50 issues.
void AddOpenIssues(const std::string& dbPath) {
    sqlite3* db = nullptr;
    sqlite3_open(dbPath.c_str(), &db);
    Exec(db,
         "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 46) "
         "INSERT INTO issues SELECT 'BENCH' || i, 'B' || i, name || ' ' || i, issue_type, "
         "price_low, price_high, face_value, lot_size, min_bid_quantity, issue_size, bid_start, "
         "bid_end, registrar, rating, prospectus, recommendation, retail_limit, upi_limit "
         "FROM issues, n WHERE issue_key = 'AURORAGREEN'");
    sqlite3_close(db);
}

// The service's access log, which holds the stages of each placed order.
std::string AccessLogPath() {
    return base::Format("/tmp/ipo-round-trip-bench-%d.log", static_cast<int>(getpid()));
}

struct Environment {
    Environment() : service({"--log", AccessLogPath()}) {
        service.Stop();
        AddOpenIssues(service.DbPath());
        service.Start();
        plugin = std::make_unique<PluginTestEnv>(SeededUserConfig(service, kSeededInvestor));
    }
    harness::ServiceProcess service;
    std::unique_ptr<PluginTestEnv> plugin;
};

// Made by main before any benchmark runs, and ended before the process exits.
Environment* g_environment = nullptr;

Environment& Env() {
    return *g_environment;
}

// Runs `once` per iteration and reports the p50 and p99 of its wall time in milliseconds;
// `after` runs after each iteration, untimed. Gives each iteration's time in order.
template <class Once, class After>
std::vector<double> Measure(benchmark::State& state, Once once, After after) {
    std::vector<double> millis;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        once(state);
        millis.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        state.PauseTiming();
        after(state);
        state.ResumeTiming();
    }
    state.counters["p50_ms"] = Percentile(millis, 0.50);
    state.counters["p99_ms"] = Percentile(millis, 0.99);
    return millis;
}

template <class Once>
void Measure(benchmark::State& state, Once once) {
    Measure(state, once, [](benchmark::State&) {});
}

void HttpFloor(benchmark::State& state) {
    httplib::Client client("127.0.0.1", Env().service.Port());
    client.set_keep_alive(true);
    client.set_tcp_nodelay(true);
    Measure(state, [&](benchmark::State& s) {
        if (!client.Get("/health")) {
            s.SkipWithError("no answer from ipo-service");
        }
    });
}

void HttpPlusDurableCommitFloor(benchmark::State& state) {
    httplib::Client client("127.0.0.1", Env().service.Port());
    client.set_keep_alive(true);
    client.set_tcp_nodelay(true);
    sqlite3* db = nullptr;
    sqlite3_open((Env().service.DbPath() + ".floor").c_str(), &db);
    Exec(db, "PRAGMA journal_mode=WAL");
    Exec(db, "PRAGMA synchronous=FULL");
    Exec(db, "CREATE TABLE IF NOT EXISTS t(v INTEGER)");
    Measure(state, [&](benchmark::State& s) {
        if (!client.Get("/health")) {
            s.SkipWithError("no answer from ipo-service");
        }
        Exec(db, "BEGIN IMMEDIATE; INSERT INTO t VALUES(1); COMMIT");
    });
    sqlite3_close(db);
}

void WatchList50(benchmark::State& state) {
    const uint16_t code = kRequestWatchList;
    const int32_t kind = 1;
    Measure(state, [&](benchmark::State& s) {
        IPOResultList* list =
            RequestIPOWatchList(GetServiceBridge(), &code, "I001", "INV001", &kind, "", "");
        if (!list || list->size() != kWatchListIssues) {
            s.SkipWithError("the watch list did not hold 50 issues");
        }
        ClearResultList();
    });
}

IPOServiceRequest OrderRequest() {
    IPOServiceRequest request{};
    harness::MakeRetailUpiOrder(request, "rohan.desai@upibank", 150, 98.5);
    return request;
}

// One placed order as the benchmark saw it: its number and its round trip.
struct Placed {
    std::string order;
    double millis;
};
// The orders of the last run of PlaceOrder (the one its figures come from).
std::vector<Placed> g_placed;

// A client holds one live application per issue: each placed order is cancelled, untimed,
// before the next one is placed.
void PlaceOrder(benchmark::State& state) {
    const uint16_t code = kRequestPlaceOrder;
    const IPOServiceRequest request = OrderRequest();
    httplib::Client canceller("127.0.0.1", Env().service.Port());
    canceller.set_keep_alive(true);
    canceller.set_tcp_nodelay(true);
    const httplib::Headers session = {{"Authorization", "Bearer " + Env().service.Token("INV001")}};
    std::string placed;
    std::vector<std::string> orders;
    const std::vector<double> millis = Measure(
        state,
        [&](benchmark::State& s) {
            IPOResultList* list =
                RequestIPOPlaceOrder(GetServiceBridge(), &code, "I001", "INV001", request);
            if (!list || list->empty() ||
                static_cast<OrderResponseRecord*>(list->front())->Status() != 1) {
                s.SkipWithError("the order was not placed");
                placed.clear();
            } else {
                placed = static_cast<OrderResponseRecord*>(list->front())->Reserved4();
            }
            orders.push_back(placed);
            ClearResultList();
        },
        [&](benchmark::State& s) {
            if (placed.empty()) {
                return;
            }
            const std::string cancel =
                R"({"code":95,"user_type":23,"user_id":"INV001","login_client_id":"INV001",)"
                R"("login_client_code":"I001","order_number":)" +
                placed + R"(,"action":"N","bid_references":["0","0","0"]})";
            const httplib::Result reply =
                canceller.Post("/ipo/cancel", session, cancel, "application/json");
            if (!reply || reply->body.find("\"outcome\":1") == std::string::npos) {
                s.SkipWithError("the order could not be cancelled");
            }
        });
    g_placed.clear();
    for (size_t i = 0; i < orders.size() && i < millis.size(); ++i) {
        g_placed.push_back(Placed{orders[i], millis[i]});
    }
}

// The stages of each order placed, read from the access log: order number -> stage -> ms.
using OrderStages = std::map<std::string, std::map<std::string, double>>;

OrderStages ReadOrderStages(const std::string& logPath) {
    OrderStages stages;
    std::ifstream log(logPath);
    std::string line;
    while (std::getline(log, line)) {
        const size_t at = line.find(" order=");
        if (line.find(" code=94 ") == std::string::npos || at == std::string::npos) {
            continue;
        }
        const std::string order = line.substr(at + 7, line.find(' ', at + 7) - (at + 7));
        for (const char* stage : {"session", "queued", "work", "commit"}) {
            const std::string key = std::string(" ") + stage + "_ms=";
            const size_t found = line.find(key);
            if (found != std::string::npos) {
                stages[order][stage] = base::ToDouble(line.substr(found + key.size()));
            }
        }
    }
    return stages;
}

// Prints p10, p50 and p90 of each stage of the placed orders, and of what each order's round
// trip leaves over beside its own stages (never negative: the stages are parts of it).
void PrintOrderStages() {
    const OrderStages logged = ReadOrderStages(AccessLogPath());
    std::map<std::string, std::vector<double>> figures;
    for (const Placed& placed : g_placed) {
        const auto found = logged.find(placed.order);
        if (found == logged.end() || found->second.size() != 4) {
            continue;
        }
        double inService = 0;
        for (const auto& [stage, ms] : found->second) {
            figures[stage].push_back(ms);
            inService += ms;
        }
        figures["rest"].push_back(placed.millis - inService);
    }
    std::printf("place_order_stages_orders: %zu of %zu\n", figures["rest"].size(), g_placed.size());
    for (const char* stage : {"session", "queued", "work", "commit", "rest"}) {
        const std::vector<double>& ms = figures[stage];
        std::printf("place_order_stage_%s: p10 %.3f ms, p50 %.3f ms, p90 %.3f ms\n", stage,
                    Percentile(ms, 0.10), Percentile(ms, 0.50), Percentile(ms, 0.90));
    }
}

BENCHMARK(HttpFloor)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(HttpPlusDurableCommitFloor)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(WatchList50)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(PlaceOrder)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    auto environment = std::make_unique<Environment>();
    g_environment = environment.get();

    RunCollector runs;
    benchmark::RunSpecifiedBenchmarks(&runs);
    benchmark::Shutdown();

    // Benchmarks left out by a filter, or that failed, print nothing.
    const auto p50 = [&](const char* name) { return runs.Find(name)->counters.at("p50_ms").value; };
    std::printf("\n");
    for (const char* name :
         {"HttpFloor", "HttpPlusDurableCommitFloor", "WatchList50", "PlaceOrder"}) {
        if (const auto* run = runs.Find(name)) {
            std::printf("%s: p50 %.3f ms, p99 %.3f ms\n", name, p50(name),
                        run->counters.at("p99_ms").value);
        }
    }
    const auto ratio = [&](const char* name, const char* floor) {
        if (runs.Find(name) && runs.Find(floor) && p50(floor) > 0) {
            std::printf("%s p50 / %s p50: %.2f\n", name, floor, p50(name) / p50(floor));
        }
    };
    ratio("WatchList50", "HttpFloor");
    ratio("PlaceOrder", "HttpPlusDurableCommitFloor");
    if (runs.Find("PlaceOrder")) {
        PrintOrderStages();
    }

    g_environment = nullptr;
    environment.reset();
    std::remove(AccessLogPath().c_str());
    return 0;
}
