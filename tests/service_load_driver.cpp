// Load through the companion library: concurrent clients place orders against a running
// ipo-service and the accepted ones are written down; "verify" then checks them in the store.
//
//   ipo_load_driver prepare --db FILE
//   ipo_load_driver run --port PORT [--clients 8] [--orders 250] [--batch 0|1]
//                       --accepted FILE [--expect-all]
// "run" signs the two dealers in and sends their orders with their session tokens.
//   ipo_load_driver verify --db FILE --accepted FILE
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "base/text.h"
#include "service_harness.h"

namespace {

// A client holds one live application per issue, so each load thread places its orders for
// clients of its own ("L<batch><thread><nnn>", mapped to DEALER01 or DEALER02 by `prepare`),
// three issues per client.
constexpr int kBatches = 2;
constexpr int kThreads = 8;
constexpr int kClientsPerThread = 84;

struct Issue {
    const char* key;
    const char* tag;
    int32_t lotSize;
    int32_t lowPaise;
    int32_t spreadPaise;
};

const Issue kIssues[] = {
    {"AURORAGREEN", "AGE", 150, 9500, 500},
    {"BHARATRAIL", "BRS", 50, 28500, 1500},
    {"CITRUSFIN", "CFL", 12, 118000, 6000},
};
constexpr int kIssueCount = 3;

std::string LoadClient(int batch, int thread, int index) {
    return base::Format("L%d%d%03d", batch, thread, index);
}

const char* Dealer(int thread) {
    return thread < kThreads / 2 ? "DEALER01" : "DEALER02";
}

std::map<std::string, std::string> Options(int argc, char** argv) {
    std::map<std::string, std::string> options;
    for (int i = 2; i < argc; ++i) {
        const std::string key = argv[i];
        options[key] = i + 1 < argc && argv[i + 1][0] != '-' ? argv[++i] : "1";
    }
    return options;
}

IPOServiceRequest Order(const std::string& url, int batch, int thread, int index) {
    const std::string client = LoadClient(batch, thread, index / kIssueCount);
    const Issue& issue = kIssues[index % kIssueCount];
    IPOServiceRequest request =
        harness::NewRequest(kRequestPlaceOrder, url, 24, Dealer(thread), client, client);
    const int32_t price = issue.lowPaise + (index * 7) % (issue.spreadPaise + 1);
    harness::MakeRetailUpiOrder(request, "load.test@upibank", issue.lotSize * (1 + index % 3),
                                price / 100.0, issue.key, issue.tag);
    return request;
}

double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(fraction * static_cast<double>(values.size() - 1))];
}

int Run(const std::map<std::string, std::string>& options) {
    const int port = base::ToLong(options.at("--port"));
    std::map<std::string, std::string> urls;
    for (const char* dealer : {"DEALER01", "DEALER02"}) {
        std::string error;
        const std::string token =
            harness::SignIn(port, dealer, harness::SeededPassword(dealer), &error);
        if (token.empty()) {
            std::fprintf(stderr, "cannot sign in as %s: %s\n", dealer, error.c_str());
            return 2;
        }
        urls[dealer] = base::Format("http://%s@127.0.0.1:%d/ipo/order", token.c_str(), port);
    }
    const int clients = std::clamp(
        base::ToLong(options.count("--clients") ? options.at("--clients") : "8"), 1, kThreads);
    const int orders =
        std::clamp(base::ToLong(options.count("--orders") ? options.at("--orders") : "250"), 1,
                   kClientsPerThread * kIssueCount);
    const int batch = std::clamp(
        base::ToLong(options.count("--batch") ? options.at("--batch") : "0"), 0, kBatches - 1);
    FILE* accepted = std::fopen(options.at("--accepted").c_str(), "w");
    if (!accepted) {
        std::fprintf(stderr, "cannot write %s\n", options.at("--accepted").c_str());
        return 2;
    }
    harness::Companion companion;
    std::mutex mutex;
    std::vector<double> latencies;
    std::map<std::string, int> failures;
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&, c] {
            std::vector<double> mine;
            for (int i = 0; i < orders; ++i) {
                IPOServiceRequest request = Order(urls.at(Dealer(c)), batch, c, i);
                const auto sent = std::chrono::steady_clock::now();
                companion.Call(request);
                const std::chrono::duration<double, std::milli> took =
                    std::chrono::steady_clock::now() - sent;
                auto* response = companion.First<OrderResponseRecord>();
                std::lock_guard<std::mutex> lock(mutex);
                if (response && response->Status() == 1) {
                    mine.push_back(took.count());
                    std::fprintf(accepted, "%s %s\n", response->Reserved4(), response->Reserved3());
                    std::fflush(accepted);
                } else {
                    ++failures[response ? response->Message() : base::FieldText(request.Message)];
                }
            }
            std::lock_guard<std::mutex> lock(mutex);
            latencies.insert(latencies.end(), mine.begin(), mine.end());
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::fclose(accepted);
    companion.CleanUp();
    int failed = 0;
    for (const auto& [message, count] : failures) {
        std::printf("failed %d: %s\n", count, message.c_str());
        failed += count;
    }
    std::printf("%d clients x %d orders: %zu accepted, %d failed in %.2f s\n", clients, orders,
                latencies.size(), failed, elapsed.count());
    std::printf("throughput %.0f orders/s, latency p50 %.3f ms, p99 %.3f ms\n",
                static_cast<double>(latencies.size()) / elapsed.count(),
                Percentile(latencies, 0.50), Percentile(latencies, 0.99));
    return options.count("--expect-all") && failed > 0 ? 1 : 0;
}

// Adds the load clients of every batch and thread to a seeded store.
int Prepare(const std::map<std::string, std::string>& options) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(options.at("--db").c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK) {
        std::fprintf(stderr, "cannot open %s\n", options.at("--db").c_str());
        sqlite3_close(db);
        return 2;
    }
    sqlite3_busy_timeout(db, 5000);
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO clients(client_id, client_code, name, dealer_id, upi_id) "
                       "VALUES(?1, ?1, 'Load client', ?2, 'load.test@upibank')",
                       -1, &insert, nullptr);
    int failed = 0;
    for (int batch = 0; batch < kBatches; ++batch) {
        for (int thread = 0; thread < kThreads; ++thread) {
            for (int index = 0; index < kClientsPerThread; ++index) {
                const std::string client = LoadClient(batch, thread, index);
                sqlite3_bind_text(insert, 1, client.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_text(insert, 2, Dealer(thread), -1, SQLITE_STATIC);
                failed += sqlite3_step(insert) != SQLITE_DONE;
                sqlite3_reset(insert);
            }
        }
    }
    sqlite3_finalize(insert);
    failed += sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK;
    sqlite3_close(db);
    if (failed) {
        std::fprintf(stderr, "cannot add the load clients\n");
        return 1;
    }
    return 0;
}

int64_t Scalar(sqlite3* db, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    const int64_t value =
        sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : -1;
    sqlite3_finalize(statement);
    return value;
}

int Verify(const std::map<std::string, std::string>& options) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(options.at("--db").c_str(), &db, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        std::fprintf(stderr, "cannot open %s\n", options.at("--db").c_str());
        return 2;
    }
    std::ifstream file(options.at("--accepted"));
    std::set<int64_t> numbers;
    int64_t accepted = 0;
    int problems = 0;
    sqlite3_stmt* find = nullptr;
    sqlite3_prepare_v2(db, "SELECT application_number FROM orders WHERE order_number = ?", -1,
                       &find, nullptr);
    int64_t number;
    std::string application;
    while (file >> number >> application) {
        ++accepted;
        if (!numbers.insert(number).second) {
            std::printf("order %lld was answered twice\n", static_cast<long long>(number));
            ++problems;
        }
        sqlite3_bind_int64(find, 1, number);
        const bool found =
            sqlite3_step(find) == SQLITE_ROW &&
            application == reinterpret_cast<const char*>(sqlite3_column_text(find, 0));
        sqlite3_reset(find);
        if (!found) {
            std::printf("accepted order %lld %s is missing from the store\n",
                        static_cast<long long>(number), application.c_str());
            ++problems;
        }
    }
    sqlite3_finalize(find);
    const int64_t stored = Scalar(db, "SELECT COUNT(*) FROM orders");
    const bool uniqueApplications =
        stored == Scalar(db, "SELECT COUNT(DISTINCT application_number) FROM orders");
    const bool uniqueReferences = Scalar(db, "SELECT COUNT(*) FROM bids") ==
                                  Scalar(db, "SELECT COUNT(DISTINCT reference) FROM bids");
    sqlite3_close(db);
    if (!uniqueApplications || !uniqueReferences) {
        std::printf("application numbers or bid references are not unique\n");
        ++problems;
    }
    const int64_t expected =
        options.count("--expect") ? base::ToLong(options.at("--expect")) : accepted;
    if (accepted != expected) {
        std::printf("%lld orders were accepted, %lld expected\n", static_cast<long long>(accepted),
                    static_cast<long long>(expected));
        ++problems;
    }
    std::printf("%lld accepted orders checked, %lld orders in the store, %d problems\n",
                static_cast<long long>(accepted), static_cast<long long>(stored), problems);
    return problems == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    const std::map<std::string, std::string> options = Options(argc, argv);
    try {
        if (mode == "run") {
            return Run(options);
        }
        if (mode == "prepare") {
            return Prepare(options);
        }
        if (mode == "verify") {
            return Verify(options);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "ipo_load_driver: %s\n", error.what());
        return 2;
    }
    std::fprintf(stderr, "usage: ipo_load_driver prepare|run|verify ...\n");
    return 2;
}
