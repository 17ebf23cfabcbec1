// Round trips through the plug-in's bridge, the companion library, HTTP on loopback and a real
// ipo-service: a watch list of 50 issues and placing an order (durable before it is answered),
// each with its p50 and p99, and, timed alternately with them, the floors they are measured
// against: the bare kept-alive HTTP round trip of an empty request (with libcurl, as the companion
// sends), and that plus one durable SQLite commit.
// Placing also prints the stages of each order as the service's access log measured them, beside
// what the round trip leaves over (the bridge, the companion, HTTP and the hand-offs between
// threads), each order's stages taken from the same round trip as its total.
#include <benchmark/benchmark.h>

#include <curl/curl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/text.h"
#include "bench/access_log.h"
#include "bench/durable_commit_floor.h"
#include "bench/kept_connection.h"
#include "bench/percentile.h"
#include "bench/run_collector.h"
#include "bridge/ipo_service_bridge.h"
#include "seeded_investor.h"
#include "service_harness.h"
#include "tests/support/plugin_test_env.h"

namespace {

constexpr int kWatchListIssues = 50;

// Copies the open issue AURORAGREEN until the current watch list holds 50 issues.
void AddOpenIssues(const std::string& dbPath) {
    sqlite3* db = nullptr;
    sqlite3_open(dbPath.c_str(), &db);
    ExecSql(db,
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

double MillisOf(const std::function<void()>& step) {
    const auto start = std::chrono::steady_clock::now();
    step();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// Each iteration times one round of the floor and then `once`, so that on a shared machine both
// meet the same load, and runs `after` untimed. Reports the p50 and p99 of each in milliseconds
// ("floor_p50_ms", "p50_ms", ...) and gives the times of `once` in order.
std::vector<double> MeasureBesideFloor(benchmark::State& state, const std::function<void()>& floor,
                                       const std::function<void()>& once,
                                       const std::function<void()>& after) {
    std::vector<double> floors;
    std::vector<double> millis;
    for (auto _ : state) {
        floors.push_back(MillisOf(floor));
        millis.push_back(MillisOf(once));
        state.PauseTiming();
        after();
        state.ResumeTiming();
    }
    for (const double fraction : {0.50, 0.99}) {
        const std::string name = base::Format("p%.0f_ms", fraction * 100);
        state.counters["floor_" + name] = Percentile(floors, fraction);
        state.counters[name] = Percentile(millis, fraction);
    }
    return millis;
}

// A kept-alive HTTP connection to the service, as the floors use it: libcurl, the companion's
// own HTTP client, with its options.
class FloorClient {
  public:
    FloorClient() : connection_(base::Format("http://127.0.0.1:%d/health", Env().service.Port())) {}
    // The bare round trip of an empty request.
    void RoundTrip(benchmark::State& state) {
        if (!connection_.Get() || connection_.Answer().empty()) {
            state.SkipWithError("no answer from ipo-service");
        }
    }

  private:
    KeptConnection connection_;
};

// The watch list round trips of the last run of WatchList50, in order.
std::vector<double> g_watchListMs;

// Beside the bare HTTP round trip.
void WatchList50(benchmark::State& state) {
    const uint16_t code = kRequestWatchList;
    const int32_t kind = 1;
    FloorClient floor;
    g_watchListMs = MeasureBesideFloor(
        state, [&] { floor.RoundTrip(state); },
        [&] {
            IPOResultList* list =
                RequestIPOWatchList(GetServiceBridge(), &code, "I001", "INV001", &kind, "", "");
            if (!list || list->size() != kWatchListIssues) {
                state.SkipWithError("the watch list did not hold 50 issues");
            }
            ClearResultList();
        },
        [] {});
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

// Beside the bare HTTP round trip plus one durable commit. A client holds one live application
// per issue: each placed order is cancelled, untimed, before the next one is placed.
void PlaceOrder(benchmark::State& state) {
    const uint16_t code = kRequestPlaceOrder;
    const IPOServiceRequest request = OrderRequest();
    FloorClient floor;
    KeptConnection canceller(base::Format("http://127.0.0.1:%d/ipo/cancel", Env().service.Port()),
                             {"Content-Type: application/json",
                              "Authorization: Bearer " + Env().service.Token("INV001")});
    DurableCommitFloor commitFloor(Env().service.DbPath() + ".floor");
    std::string placed;
    std::vector<std::string> orders;
    const std::vector<double> millis = MeasureBesideFloor(
        state,
        [&] {
            floor.RoundTrip(state);
            commitFloor.Commit();
        },
        [&] {
            IPOServiceRequest order = request;
            IPOResultList* list =
                RequestIPOPlaceOrder(GetServiceBridge(), &code, "I001", "INV001", order);
            if (!list || list->empty() ||
                static_cast<OrderResponseRecord*>(list->front())->Status() != 1) {
                state.SkipWithError("the order was not placed");
                placed.clear();
            } else {
                placed = static_cast<OrderResponseRecord*>(list->front())->Reserved4();
            }
            orders.push_back(placed);
            ClearResultList();
        },
        [&] {
            if (placed.empty()) {
                return;
            }
            const std::string cancel =
                R"({"code":95,"user_type":23,"user_id":"INV001","login_client_id":"INV001",)"
                R"("login_client_code":"I001","order_number":)" +
                placed + R"(,"action":"N","bid_references":["0","0","0"]})";
            if (!canceller.Post(cancel) ||
                canceller.Answer().find("\"outcome\":1") == std::string::npos) {
                state.SkipWithError("the order could not be cancelled");
            }
        });
    g_placed.clear();
    for (size_t i = 0; i < orders.size() && i < millis.size(); ++i) {
        g_placed.push_back(Placed{orders[i], millis[i]});
    }
}

void PrintPercentiles(const char* name, const std::vector<double>& ms) {
    std::printf("%s: p10 %.3f ms, p50 %.3f ms, p90 %.3f ms\n", name, Percentile(ms, 0.10),
                Percentile(ms, 0.50), Percentile(ms, 0.90));
}

// Where a watch list round trip goes: the service finding the session and doing the work, its
// whole time from the request's arrival until the answer was sent (the HTTP library's reading
// and sending included), and what the round trip leaves beside that (the bridge, the companion's
// sending, reading and decoding, and the hand-offs). Beside it, the service's whole time for the
// floor's request. The last run's requests are the last ones of each kind in the log.
void PrintWatchListStages() {
    std::vector<LoggedRequest> watch;
    std::vector<double> floorInService;
    for (const LoggedRequest& request : ReadAccessLog(AccessLogPath())) {
        if (request.code == "91" && request.stagesMs.count("work")) {
            watch.push_back(request);
        } else if (request.code == "-") {
            floorInService.push_back(request.totalMs);
        }
    }
    if (watch.size() < g_watchListMs.size()) {
        return;
    }
    watch.erase(watch.begin(), watch.end() - static_cast<std::ptrdiff_t>(g_watchListMs.size()));
    std::map<std::string, std::vector<double>> figures;
    for (size_t i = 0; i < watch.size(); ++i) {
        figures["session"].push_back(watch[i].stagesMs.at("session"));
        figures["work"].push_back(watch[i].stagesMs.at("work"));
        figures["in_service"].push_back(watch[i].totalMs);
        figures["rest"].push_back(std::max(0.0, g_watchListMs[i] - watch[i].totalMs));
    }
    for (const char* stage : {"session", "work", "in_service", "rest"}) {
        PrintPercentiles(("watch_list_stage_" + std::string(stage)).c_str(), figures[stage]);
    }
    PrintPercentiles("http_floor_in_service", floorInService);
}

// Prints p10, p50 and p90 of each stage of the placed orders, and of what each order's round
// trip leaves over beside its own stages (never negative: the stages are parts of it).
void PrintOrderStages() {
    std::map<std::string, std::map<std::string, double>> logged;  // order -> its stages
    for (const LoggedRequest& request : ReadAccessLog(AccessLogPath())) {
        if (request.code == "94") {
            logged[request.order] = request.stagesMs;
        }
    }
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
        PrintPercentiles(("place_order_stage_" + std::string(stage)).c_str(), figures[stage]);
    }
}

BENCHMARK(WatchList50)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(PlaceOrder)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    curl_global_init(CURL_GLOBAL_DEFAULT);
    auto environment = std::make_unique<Environment>();
    g_environment = environment.get();

    RunCollector runs;
    benchmark::RunSpecifiedBenchmarks(&runs);
    benchmark::Shutdown();

    // Benchmarks left out by a filter, or that failed, print nothing. Each figure comes with the
    // floor measured in the same benchmark, alternating with it.
    struct Figure {
        const char* name;
        const char* benchmark;
        const char* counters;  // the prefix of its counters
    };
    const Figure figures[] = {{"HttpFloor", "WatchList50", "floor_"},
                              {"WatchList50", "WatchList50", ""},
                              {"HttpPlusDurableCommitFloor", "PlaceOrder", "floor_"},
                              {"PlaceOrder", "PlaceOrder", ""}};
    const auto value = [&](const Figure& figure, const char* percentile) {
        return runs.Find(figure.benchmark)
            ->counters.at(std::string(figure.counters) + percentile + "_ms")
            .value;
    };
    std::printf("\n");
    for (const Figure& figure : figures) {
        if (runs.Find(figure.benchmark)) {
            std::printf("%s: p50 %.3f ms, p99 %.3f ms\n", figure.name, value(figure, "p50"),
                        value(figure, "p99"));
        }
    }
    const auto ratio = [&](const Figure& figure, const Figure& floor, const char* percentile) {
        if (runs.Find(figure.benchmark) && value(floor, percentile) > 0) {
            std::printf("%s %s / %s %s: %.2f\n", figure.name, percentile, floor.name, percentile,
                        value(figure, percentile) / value(floor, percentile));
        }
    };
    ratio(figures[1], figures[0], "p50");
    ratio(figures[3], figures[2], "p50");
    ratio(figures[3], figures[2], "p99");
    if (runs.Find("WatchList50")) {
        PrintWatchListStages();
    }
    if (runs.Find("PlaceOrder")) {
        PrintOrderStages();
    }

    g_environment = nullptr;
    environment.reset();
    std::remove(AccessLogPath().c_str());
    return 0;
}
