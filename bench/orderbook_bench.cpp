// The order book with 100,000 orders of three bids each (bench/order_book_data.h), answered from
// memory by the test companion through the real bridge: Apply (fill and sort by "Bid Date"),
// sorting by a date and a number column against a plain sort of precomputed keys, memory per
// row, export and copy.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "base/text.h"
#include "bench/order_book_data.h"
#include "bench/run_collector.h"

namespace {

using bench::kOrders;
constexpr int kTotalAmountPayableColumn = 16;

// The cells of every listed row whose text differs from the same number printed by snprintf,
// and the number of cells compared: the rows' own formatting checked side by side with printf's
// over all the benchmark's orders.
std::pair<size_t, size_t> CellsUnlikePrintf(const bench::OrderBookData& data,
                                            const CIPOOrderBook& view, size_t rows) {
    const auto printed = [](const char* format, auto... values) {
        char text[512];
        std::snprintf(text, sizeof text, format, values...);
        return std::string(text);
    };
    size_t unlike = 0;
    size_t compared = 0;
    const auto check = [&](int column, size_t item, const std::string& expected) {
        ++compared;
        unlike += view.CellText(item, column) != expected;
    };
    for (size_t item = 0; item < rows; ++item) {
        const size_t i = static_cast<size_t>(base::ToLong(view.CellText(item, 3)) - 100000);
        const FakeIPOOrderBookEntry& e = data.Entry(i);
        check(3, item, printed("%d", e.orderNumber));
        check(16, item, printed("%.2f", e.totalAmountPayable / 100.0));
        check(22, item, printed("%.2f", e.refundAmount));
        check(21, item, printed("%d", e.allocatedQuantity));
        for (int position = 0; position < 3; ++position) {
            const FakeIPOOrderBid& bid = data.Bid(i, position);
            const int column = 4 + 4 * position;
            check(column, item, printed("%d", bid.cutOff));
            check(column + 1, item, printed("%.2f", bid.price / 100.0));
            check(column + 2, item, printed("%d(%d)", bid.quantity / e.lotSize, bid.quantity));
            check(column + 3, item, printed("%.2f", bid.amountPayable / 100.0));
        }
    }
    return {unlike, compared};
}

using Bench = bench::HeadlessOrderBook;

Bench* g_bench = nullptr;

void BM_StableSortOfPrecomputedKeys(benchmark::State& state) {
    std::mt19937_64 random(7);
    std::vector<int64_t> keys(kOrders);
    for (int64_t& key : keys) {
        key = static_cast<int64_t>(random());
    }
    for (auto _ : state) {
        std::vector<int64_t> copy = keys;
        std::stable_sort(copy.begin(), copy.end());
        benchmark::DoNotOptimize(copy.data());
    }
}

void BM_Apply(benchmark::State& state) {
    for (auto _ : state) {
        g_bench->Apply();
    }
}

void BM_SortByColumn(benchmark::State& state) {
    const int column = static_cast<int>(state.range(0));
    for (auto _ : state) {
        g_bench->window->form().ClickColumn(kOrderBookList, column);
    }
}

void BM_WriteOrderBookFile(benchmark::State& state) {
    const std::string path = "/tmp/orderbook_bench_export.csv";
    for (auto _ : state) {
        g_bench->view().WriteOrderBookFile(path);
    }
    std::remove(path.c_str());
}

void BM_ClipboardText(benchmark::State& state) {
    for (auto _ : state) {
        g_bench->view().OnCommand(kCommandCopy);
    }
}

BENCHMARK(BM_StableSortOfPrecomputedKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Apply)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByColumn)->Arg(kBidDateColumn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByColumn)->Arg(kTotalAmountPayableColumn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteOrderBookFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClipboardText)->Unit(benchmark::kMillisecond);

// The process's peak resident set in bytes.
int64_t PeakResidentBytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return int64_t{std::stoll(line.substr(6))} * 1024;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Bench bench;
    g_bench = &bench;

    const int64_t peakBefore = PeakResidentBytes();
    bench.Apply();
    const int64_t peakAfter = PeakResidentBytes();
    const size_t rows = bench.window->form().ListItemCount(kOrderBookList);
    const auto [unlike, compared] = CellsUnlikePrintf(bench.data, bench.view(), rows);

    RunCollector runs;
    benchmark::RunSpecifiedBenchmarks(&runs);
    benchmark::Shutdown();

    // Times in milliseconds per iteration, one `name: value unit` line each. The machine may be
    // shared: CPU time is the steadier figure, wall time is printed beside it. Benchmarks left
    // out by a filter print nothing.
    const auto* keyRun = runs.Find("BM_StableSortOfPrecomputedKeys");
    const double keySort = keyRun ? keyRun->GetAdjustedCPUTime() : 0;
    const auto figure = [&](const char* name, const std::string& benchmark, bool ratio) {
        if (const auto* run = runs.Find(benchmark)) {
            std::printf("%s_cpu: %.2f ms\n%s_wall: %.2f ms\n", name, run->GetAdjustedCPUTime(),
                        name, run->GetAdjustedRealTime());
            if (ratio && keySort > 0) {
                std::printf("%s_over_key_sort: %.2f x\n", name,
                            run->GetAdjustedCPUTime() / keySort);
            }
        }
    };
    std::printf("\norderbook_rows_listed: %zu rows\n", rows);
    std::printf("orderbook_cells_unlike_snprintf: %zu cells (of %zu)\n", unlike, compared);
    figure("orderbook_key_sort_floor", "BM_StableSortOfPrecomputedKeys", false);
    figure("orderbook_apply", "BM_Apply", true);
    figure("orderbook_sort_bid_date", "BM_SortByColumn/20", true);
    figure("orderbook_sort_total_amount", "BM_SortByColumn/16", true);
    std::printf(
        "orderbook_memory_per_row: %.0f B\n",
        rows ? static_cast<double>(peakAfter - peakBefore) / static_cast<double>(rows) : 0.0);
    figure("orderbook_export_file", "BM_WriteOrderBookFile", false);
    figure("orderbook_clipboard_text", "BM_ClipboardText", false);
    return 0;
}
