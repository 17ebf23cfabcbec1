// The order book from the store to the screen: N orders of one client (1,000, 10,000, 100,000,
// three bids each, inserted straight into the service's database), asked for by the plug-in's
// order book view through the bridge, the companion library, HTTP on loopback and a real
// ipo-service, until the rows are ready in the view. Inside that total, the service's own time
// for the same request (its queries and writing the answer, from its access log), and what the
// total leaves outside the service. Beside it, timed on their own in this process with the same
// data: the service's compressing of the answer (zstd, as the companion asks for it), the
// companion's unpacking and decoding of it, and making the rows (fill and sort). Two floors in
// the same run: SQLite reading the same rows, and the answer's bytes as the service sends them
// carried over loopback HTTP. The answer's size per order, on the wire and decoded.
#include <benchmark/benchmark.h>

#include <httplib.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "base/text.h"
#include "bench/access_log.h"
#include "bench/percentile.h"
#include "bench/run_collector.h"
#include "companion/answer_decoder.h"
#include "companion/request_encoder.h"
#include "companion/zstd_decoder.h"
#include "host/service_client.h"
#include "orderbook/ipo_order_book.h"
#include "orderbook/order_book_layout.h"
#include "orderbook/order_book_sort.h"
#include "plugin/runtime_classes.h"
#include "seeded_investor.h"
#include "service/answer_coding.h"
#include "service/queries.h"
#include "service_harness.h"
#include "tests/support/plugin_test_env.h"

namespace {

const std::vector<int> kSizes = {1000, 10000, 100000};

void Exec(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "sqlite error";
        sqlite3_free(error);
        throw std::runtime_error(message);
    }
}

std::tm LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

// Adds orders [from, to) of INV001 on AURORAGREEN, bid today, three bids each.
void AddOrders(const std::string& dbPath, int from, int to) {
    const std::tm now = LocalNow();
    const std::string today =
        base::Format("%04d-%02d-%02d", now.tm_year + 1900, now.tm_mon + 1, now.tm_mday);
    sqlite3* db = nullptr;
    sqlite3_open(dbPath.c_str(), &db);
    Exec(db, "BEGIN");
    Exec(db, base::Format(
                 "WITH RECURSIVE n(i) AS (SELECT %d UNION ALL SELECT i + 1 FROM n WHERE i < %d) "
                 "INSERT INTO orders(order_number, application_number, issue_key, client_id, "
                 "placed_by, category, reference1, reference2, payment_mode, upi_id, bank_name, "
                 "bank_account, status, payment_status, bid_time, modified_time, amount) "
                 "SELECT 1000000 + i, 'BA' || i, 'AURORAGREEN', 'INV001', 'INV001', 'RETAIL', "
                 "'', '', 'UPI', 'rohan.desai@upibank', '', '', 'P', 'P', "
                 "'%s ' || printf('%%02d:%%02d:%%02d', i / 3600 %% 24, i / 60 %% 60, i %% 60), "
                 "'%s 00:00:00', 150 * 9800 FROM n",
                 from, to - 1, today.c_str(), today.c_str()));
    Exec(db,
         base::Format(
             "WITH RECURSIVE n(i) AS (SELECT %d UNION ALL SELECT i + 1 FROM n WHERE i < %d) "
             "INSERT INTO bids(order_number, position, reference, quantity, cut_off, price) "
             "SELECT 1000000 + i / 3, i %% 3, 'BB' || i, 150 * (1 + i %% 3), 0, 9500 + i %% 500 "
             "FROM n",
             3 * from, 3 * to - 1));
    Exec(db, "COMMIT");
    sqlite3_close(db);
}

// Serves one body on GET /body: the transfer floor.
class BodyServer {
  public:
    BodyServer() {
        server_.Get("/body", [this](const httplib::Request&, httplib::Response& response) {
            response.set_content(body, "application/json");
        });
        server_.set_tcp_nodelay(true);
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }
    ~BodyServer() {
        server_.stop();
        thread_.join();
    }
    int Port() const { return port_; }
    std::string body;

  private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
};

// The service's access log, which holds its time for each request.
std::string AccessLogPath() {
    return base::Format("/tmp/ipo-order-book-path-bench-%d.log", static_cast<int>(getpid()));
}

struct Environment {
    Environment() : service({"--log", AccessLogPath()}) {
        plugin = std::make_unique<PluginTestEnv>(SeededUserConfig(service, kSeededInvestor, {93}));
        const std::tm now = LocalNow();
        plugin->backend().now = {now.tm_year + 1900, now.tm_mon + 1, now.tm_mday,
                                 now.tm_hour,        now.tm_min,     now.tm_sec};
        fw::RegisterTemplate(&OrderBookFormLayout());
        window = std::make_unique<fw::headless::OpenedWindow>(
            OrderBookViewClass(), GenericFrameClass(), static_cast<int>(kFormIPOOrderBook));
    }
    // Makes the store hold `orders` orders (they are only ever added).
    void Grow(int orders) {
        if (orders == stored) {
            return;
        }
        service.Stop();
        AddOrders(service.DbPath(), stored, orders);
        stored = orders;
        service.Start(service.Port());
        store = std::make_unique<svc::Store>(service.DbPath());
        body = Answer();
        bodies.body = Sent();
    }
    std::string Answer() {
        svc::RequestHeader header;
        header.code = 93;
        header.userType = 23;
        header.userId = "INV001";
        header.loginClientId = "INV001";
        header.loginClientCode = "I001";
        const svc::Body request(R"({"status": "-1", "from_date": "", "to_date": ""})");
        const auto lock = store->Lock();
        return svc::OrderBook(*store, header, request.Root());
    }

    // The order book as the service sends it to the companion: asked for as the companion asks.
    std::string Sent() {
        IPOServiceRequest request = harness::NewRequest(93, "", 23, "INV001", "INV001", "I001");
        base::CopyField(request.OrderStatus, "-1");
        const std::unique_ptr<httplib::Client> client = ServiceClient(service.Endpoint(), 3, 60);
        const auto answer = client->Post(
            "/ipo/orderbook",
            {{"Authorization", "Bearer " + service.Token("INV001")}, {"Accept-Encoding", "zstd"}},
            corvex::EncodeRequest(request), "application/json");
        if (!answer || answer->status != 200) {
            throw std::runtime_error("the service did not answer the order book");
        }
        return answer->body;
    }

    harness::ServiceProcess service;
    std::unique_ptr<PluginTestEnv> plugin;
    std::unique_ptr<fw::headless::OpenedWindow> window;
    std::unique_ptr<svc::Store> store;
    BodyServer bodies;
    std::string body;
    int stored = 0;
};

Environment* g_environment = nullptr;

Environment& Env(benchmark::State& state) {
    g_environment->Grow(static_cast<int>(state.range(0)));
    return *g_environment;
}

// The last run of BM_Total of each size, per Apply: its total, and the service's own time for
// its request.
struct Applied {
    std::vector<double> totalMs;
    std::vector<double> serviceMs;
    size_t answerBytes = 0;
    size_t sentBytes = 0;
};
std::map<int64_t, Applied> g_applied;

// Apply in the order book view, until the list holds every order.
void BM_Total(benchmark::State& state) {
    Environment& env = Env(state);
    fw::headless::HeadlessForm& form = env.window->form();
    Applied applied;
    applied.answerBytes = env.body.size();
    applied.sentBytes = env.bodies.body.size();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        form.Click(kOrderBookApply);
        applied.totalMs.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        if (form.ListItemCount(kOrderBookList) != static_cast<size_t>(state.range(0))) {
            state.SkipWithError("the order book did not list every order");
            return;
        }
    }
    // This run's requests are the last order book requests the service logged.
    std::vector<double> service;
    for (const LoggedRequest& request : ReadAccessLog(AccessLogPath())) {
        if (request.code == "93" && request.stagesMs.count("work")) {
            service.push_back(request.stagesMs.at("session") + request.stagesMs.at("work"));
        }
    }
    if (service.size() < applied.totalMs.size()) {
        state.SkipWithError("the service's log lacks requests of this run");
        return;
    }
    applied.serviceMs.assign(service.end() - static_cast<std::ptrdiff_t>(applied.totalMs.size()),
                             service.end());
    g_applied[state.range(0)] = applied;
}

// The first decoding of each size, timed once: it also makes the parser's buffers, which the
// decodings after it reuse.
std::map<int64_t, double> g_firstDecode;

void BM_Decode(benchmark::State& state) {
    Environment& env = Env(state);
    if (!g_firstDecode.count(state.range(0))) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(corvex::DecodeAnswer(93, 200, env.body));
        g_firstDecode[state.range(0)] =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
    }
    for (auto _ : state) {
        corvex::Outcome outcome = corvex::DecodeAnswer(93, 200, env.body);
        if (!outcome.answer) {
            state.SkipWithError("the answer did not decode");
            break;
        }
    }
}

// The service compressing the answer for the companion.
void BM_Compress(benchmark::State& state) {
    Environment& env = Env(state);
    for (auto _ : state) {
        state.PauseTiming();
        std::string body = env.body;
        state.ResumeTiming();
        benchmark::DoNotOptimize(svc::Encode("zstd", body));
    }
}

// The companion unpacking the answer it was sent, window by window, into one string.
void BM_Unpack(benchmark::State& state) {
    Environment& env = Env(state);
    for (auto _ : state) {
        std::string body;
        body.reserve(env.body.size());
        corvex::ZstdDecoder decoder;
        const bool whole = decoder.Add(env.bodies.body.data(), env.bodies.body.size(),
                                       [&](const char* data, size_t size) {
                                           body.append(data, size);
                                           return true;
                                       });
        if (!whole || body.size() != env.body.size()) {
            state.SkipWithError("the answer did not unpack");
            break;
        }
    }
}

// Fill and sort by "Bid Date", as Apply does, from the companion's decoded records.
void BM_Rows(benchmark::State& state) {
    Environment& env = Env(state);
    corvex::Outcome outcome = corvex::DecodeAnswer(93, 200, env.body);
    const PtrList& list = outcome.answer->List();
    std::vector<tagIPOOrderBookRow> rows;
    RowTextStore texts;
    for (auto _ : state) {
        rows.clear();
        texts.Clear();
        rows.reserve(static_cast<size_t>(list.Count));
        for (const PtrListNode* node = list.Head; node; node = node->Next) {
            FillRow(rows.emplace_back(), *static_cast<IPOOrderBookEntry*>(node->Element), &texts);
        }
        std::vector<const tagIPOOrderBookRow*> order;
        order.reserve(rows.size());
        for (const tagIPOOrderBookRow& row : rows) {
            order.push_back(&row);
        }
        benchmark::DoNotOptimize(SortedOrder(rows, order, kBidDateColumn));
    }
}

// Floor: SQLite reading the rows of the service's two queries, every column.
void BM_SqliteFloor(benchmark::State& state) {
    Environment& env = Env(state);
    sqlite3* db = nullptr;
    sqlite3_open_v2(env.service.DbPath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    const char* queries[] = {
        "SELECT o.order_number, o.application_number, o.issue_key, i.name, o.category, "
        "o.status, o.bid_time, o.reference1, o.reference2, o.payment_mode, o.upi_id, "
        "o.bank_name, o.bank_account, o.modified_time, o.rejection_reason, "
        "o.allotted_quantity, o.refund, o.payment_status, o.amount, i.lot_size "
        "FROM orders o JOIN issues i ON i.issue_key = o.issue_key "
        "WHERE o.client_id = 'INV001' ORDER BY o.order_number",
        "SELECT b.order_number, b.reference, b.quantity, b.cut_off, b.price, b.position "
        "FROM bids b JOIN orders o ON o.order_number = b.order_number "
        "WHERE b.active = 1 AND o.client_id = 'INV001' ORDER BY b.order_number, b.position"};
    for (auto _ : state) {
        size_t bytes = 0;
        for (const char* sql : queries) {
            sqlite3_stmt* statement = nullptr;
            sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
            const int columns = sqlite3_column_count(statement);
            while (sqlite3_step(statement) == SQLITE_ROW) {
                for (int column = 0; column < columns; ++column) {
                    benchmark::DoNotOptimize(sqlite3_column_text(statement, column));
                    bytes += static_cast<size_t>(sqlite3_column_bytes(statement, column));
                }
            }
            sqlite3_finalize(statement);
        }
        benchmark::DoNotOptimize(bytes);
    }
    sqlite3_close(db);
}

// Floor: the answer's bytes over a kept-alive loopback HTTP connection.
void BM_HttpFloor(benchmark::State& state) {
    Environment& env = Env(state);
    httplib::Client client("127.0.0.1", env.bodies.Port());
    client.set_keep_alive(true);
    client.set_tcp_nodelay(true);
    for (auto _ : state) {
        const auto result = client.Get("/body");
        if (!result || result->body.size() != env.bodies.body.size()) {
            state.SkipWithError("the body did not arrive");
            break;
        }
    }
}

const char* const kStages[] = {"BM_Total", "BM_Compress",    "BM_Unpack",   "BM_Decode",
                               "BM_Rows",  "BM_SqliteFloor", "BM_HttpFloor"};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // Each size's benchmarks run together, smallest first: the store only grows.
    for (int size : kSizes) {
        for (auto [name, function] :
             std::initializer_list<std::pair<const char*, void (*)(benchmark::State&)>>{
                 {kStages[0], BM_Total},
                 {kStages[1], BM_Compress},
                 {kStages[2], BM_Unpack},
                 {kStages[3], BM_Decode},
                 {kStages[4], BM_Rows},
                 {kStages[5], BM_SqliteFloor},
                 {kStages[6], BM_HttpFloor}}) {
            benchmark::RegisterBenchmark(name, function)
                ->Arg(size)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->MinTime(size >= 100000 ? 2.0 : 0.5);
        }
    }
    auto environment = std::make_unique<Environment>();
    g_environment = environment.get();
    RunCollector runs;
    benchmark::RunSpecifiedBenchmarks(&runs);
    benchmark::Shutdown();

    // Wall times in milliseconds; benchmarks left out by a filter print nothing. The total, the
    // service's part and what lies outside it are medians over the same Applies.
    std::printf("\n");
    for (int size : kSizes) {
        const auto ms = [&](const char* stage) {
            const auto* run = runs.Find(std::string(stage) + "/" + std::to_string(size));
            return run ? run->GetAdjustedRealTime() : -1.0;
        };
        const double compress = ms("BM_Compress"), unpack = ms("BM_Unpack"),
                     decode = ms("BM_Decode"), rows = ms("BM_Rows"), sqlite = ms("BM_SqliteFloor"),
                     http = ms("BM_HttpFloor");
        const auto applied = g_applied.find(size);
        if (applied == g_applied.end() || compress < 0 || unpack < 0 || decode < 0 || rows < 0 ||
            sqlite < 0 || http < 0) {
            continue;
        }
        const Applied& run = applied->second;
        std::vector<double> outside;
        for (size_t i = 0; i < run.totalMs.size(); ++i) {
            outside.push_back(run.totalMs[i] - run.serviceMs[i]);
        }
        const double total = Median(run.totalMs), service = Median(run.serviceMs);
        const char* n = size == 1000 ? "1k" : size == 10000 ? "10k" : "100k";
        std::printf("orderbook_path_%s_answer_bytes: %zu B decoded, %zu B on the wire\n", n,
                    run.answerBytes, run.sentBytes);
        std::printf(
            "orderbook_path_%s_bytes_per_order: %.1f B decoded, %.1f B on the wire "
            "(%.1f x smaller)\n",
            n, static_cast<double>(run.answerBytes) / size,
            static_cast<double>(run.sentBytes) / size,
            static_cast<double>(run.answerBytes) / static_cast<double>(run.sentBytes));
        std::printf("orderbook_path_%s_total: %.1f ms\n", n, total);
        std::printf("orderbook_path_%s_service_answer: %.1f ms\n", n, service);
        std::printf("orderbook_path_%s_outside_service: %.1f ms\n", n, Median(outside));
        std::printf("orderbook_path_%s_service_query_floor_sqlite: %.1f ms\n", n, sqlite);
        std::printf("orderbook_path_%s_service_answer_over_query_floor: %.2f x\n", n,
                    service / sqlite);
        std::printf("orderbook_path_%s_transfer_floor_http: %.1f ms\n", n, http);
        std::printf("orderbook_path_%s_compressing: %.1f ms\n", n, compress);
        std::printf("orderbook_path_%s_unpacking: %.1f ms\n", n, unpack);
        std::printf("orderbook_path_%s_decoding: %.1f ms\n", n, decode);
        std::printf("orderbook_path_%s_decoding_first: %.1f ms\n", n, g_firstDecode[size]);
        std::printf("orderbook_path_%s_rows: %.1f ms\n", n, rows);
        std::printf("orderbook_path_%s_total_over_floors: %.2f x\n", n, total / (sqlite + http));
    }
    g_environment = nullptr;
    environment.reset();
    std::remove(AccessLogPath().c_str());
    return 0;
}
