// The allotment of 10,000,000 retail applications read from the service's store (SQLite), over
// 16 lot sizes (1 to 16 lots), 4x oversubscribed, beside 1,000 non-institutional applications
// that take up their own category. Two populations: most applicants asking few lots (fewer lots
// than applicants, so a draw of lots in every group) and lots spread evenly (a lot each, the rest
// proportionately, the rounding settled by a draw). Each is written to a store of its own first
// (not timed), as orders with their bids and PANs, and the clients. Printed: seconds to read the
// applications from the store and to allot them, for the CSV report, the floor of one sort of
// the applicants' keys beside it, and the peak resident set.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "service/allotment/allotment.h"
#include "service/allotment/report.h"
#include "service/issue_allotment.h"
#include "service/issue_table.h"
#include "service/store.h"

namespace {

using namespace allotment;

constexpr size_t kRetail = 10'000'000;
constexpr size_t kNonInstitutional = 1'000;
constexpr int32_t kLot = 14;
constexpr int32_t kPrice = 10000;  // paise

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double PeakResidentMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return static_cast<double>(std::stoll(line.substr(6))) / 1024.0;
        }
    }
    return 0;
}

// A PAN of its own for each number: five letters counting in base 26, then 0000A.
std::array<char, 10> PanOf(size_t n) {
    std::array<char, 10> pan = {'A', 'A', 'A', 'A', 'A', '0', '0', '0', '0', 'A'};
    for (int place = 4; place >= 0; --place, n /= 26) {
        pan[static_cast<size_t>(place)] = static_cast<char>('A' + n % 26);
    }
    return pan;
}

Application Applicant(size_t n, Category category, int32_t quantity) {
    Application a;
    a.number = n + 1;
    a.category = category;
    a.fundsBlocked = true;
    a.bidCount = 1;
    a.bids[0] = {quantity, 0, category == Category::Retail};
    a.bids[0].price = a.bids[0].cutOff ? 0 : kPrice;
    a.blocked = int64_t{quantity} * kPrice;
    a.pan = PanOf(n);
    return a;
}

// The population, and terms offering retail a quarter of what it asks for.
std::pair<IssueTerms, std::vector<Application>> Population(const std::vector<double>& weights) {
    std::mt19937_64 random(25);
    std::discrete_distribution<int32_t> lots(weights.begin(), weights.end());
    std::vector<Application> applications;
    applications.reserve(kRetail + kNonInstitutional);
    int64_t retailApplied = 0;
    for (size_t n = 0; n < kRetail; ++n) {
        const int32_t quantity = (lots(random) + 1) * kLot;
        retailApplied += quantity;
        applications.push_back(Applicant(n, Category::Retail, quantity));
    }
    for (size_t n = kRetail; n < kRetail + kNonInstitutional; ++n) {
        applications.push_back(Applicant(n, Category::NonInstitutional, 200'004));
    }
    IssueTerms terms{kPrice, kPrice, kLot, 0, {}};
    terms.split.retail = retailApplied / 4;
    terms.split.nonInstitutional = terms.split.retail * 15 / 35 + 1;
    terms.split.institutional = terms.split.retail * 50 / 35 - 1;
    return {terms, std::move(applications)};
}

// Writes the issue BENCH with the terms' split and the applications as confirmed, paid UPI orders
// of clients whose reference is their PAN.
void Write(svc::Store& store, const IssueTerms& terms, const std::vector<Application>& list) {
    store.Exec("PRAGMA synchronous = OFF");  // a bench fixture, not a record to keep
    svc::Transaction transaction(store);
    store
        .Prepare(
            "INSERT INTO issues(issue_key, issue_tag, name, issue_type, price_low, price_high, "
            "face_value, lot_size, min_bid_quantity, issue_size, bid_start, bid_end, "
            "retail_limit, upi_limit) VALUES('BENCH', 'BEN', 'Bench Ltd', 'BOOK BUILT', ?, ?, "
            "100, ?, ?, 0, '2026-01-01 10:00:00', '2026-01-03 17:00:00', 0, 0)",
            int64_t{terms.priceLow}, int64_t{terms.priceHigh}, int64_t{terms.lotSize},
            int64_t{terms.lotSize})
        .Run();
    svc::IssueTable(store).SetSplit("BENCH", terms.split);
    for (const Application& a : list) {
        const std::string client = "C" + std::to_string(a.number);
        const bool retail = a.category == Category::Retail;
        store
            .Prepare(
                "INSERT INTO clients(client_id, client_code, name, reference1) "
                "VALUES(?, ?, '', ?)",
                client, client, std::string_view(a.pan.data(), a.pan.size()))
            .Run();
        store
            .Prepare(
                "INSERT INTO orders(order_number, application_number, issue_key, client_id, "
                "placed_by, category, reference1, reference2, payment_mode, upi_id, bank_name, "
                "bank_account, status, payment_status, bid_time, modified_time, amount, pan) "
                "VALUES(?, ?, 'BENCH', ?, ?, ?, '', '', 'UPI', 'x@upi', '', '', 'CF', 'e', "
                "'2026-01-02 10:00:00', '2026-01-02 10:00:00', ?, ?)",
                static_cast<int64_t>(a.number), "BEN" + std::to_string(a.number), client, client,
                retail ? "RETAIL" : "HNI", a.blocked, std::string_view(a.pan.data(), a.pan.size()))
            .Run();
        store
            .Prepare(
                "INSERT INTO bids(order_number, position, quantity, cut_off, price) "
                "VALUES(?, 0, ?, ?, ?)",
                static_cast<int64_t>(a.number), int64_t{a.bids[0].quantity},
                int64_t{a.bids[0].cutOff}, int64_t{a.bids[0].cutOff ? kPrice : a.bids[0].price})
            .Run();
    }
    transaction.Commit();
}

// The one sort the allotment cannot do without: the applicants' (demand, index) keys.
double SortFloorSeconds(const std::vector<Application>& applications) {
    std::vector<uint64_t> keys(applications.size());
    for (size_t i = 0; i < applications.size(); ++i) {
        keys[i] = uint64_t(uint32_t(applications[i].bids[0].quantity)) << 32 | i;
    }
    std::shuffle(keys.begin(), keys.end(), std::mt19937_64(7));
    const auto start = std::chrono::steady_clock::now();
    std::sort(keys.begin(), keys.end());
    return SecondsSince(start);
}

void Run(const char* name, const std::vector<double>& weights) {
    const std::string path = "/tmp/allotment-bench-" + std::to_string(getpid()) + ".db";
    double floor = 0;
    {
        auto [terms, applications] = Population(weights);
        floor = SortFloorSeconds(applications);
        svc::Store store(path);
        Write(store, terms, applications);
    }
    // The store is opened (and quick-checked) first, as the service opens it once.
    svc::StoredAllotment stored;
    double readSeconds = 0;
    {
        svc::Store store(path);
        const auto reading = std::chrono::steady_clock::now();
        stored = svc::LoadAllotment(store, *svc::IssueTable(store).Find("BENCH"));
        readSeconds = SecondsSince(reading);
    }
    std::remove(path.c_str());
    auto start = std::chrono::steady_clock::now();
    const Allotment allotment = Allot(stored.terms, stored.applications, kPrice, "bench seed");
    const double seconds = SecondsSince(start);
    start = std::chrono::steady_clock::now();
    const std::string csv = BasisCsv(allotment);
    const double reportSeconds = SecondsSince(start);

    const PoolTotals& retail = allotment.pools[size_t(Pool::Retail)];
    size_t allottees = 0;
    for (size_t i = 0; i < kRetail; ++i) {
        allottees += allotment.results[i].allotted > 0;
    }
    std::printf("allotment_%s_applications: %zu retail\n", name, kRetail);
    std::printf("allotment_%s_oversubscribed: %.2f x\n", name,
                static_cast<double>(retail.applied) / static_cast<double>(retail.shares));
    std::printf("allotment_%s_allottees: %zu retail\n", name, allottees);
    std::printf("allotment_%s_shares_unallotted: %lld shares\n", name,
                static_cast<long long>(retail.shares - retail.allotted));
    std::printf("allotment_%s_read_from_store: %.2f s\n", name, readSeconds);
    std::printf("allotment_%s_seconds: %.2f s\n", name, seconds);
    std::printf("allotment_%s_read_and_allot: %.2f s\n", name, readSeconds + seconds);
    std::printf("allotment_%s_sort_floor: %.2f s\n", name, floor);
    std::printf("allotment_%s_over_sort_floor: %.1f x\n", name, seconds / floor);
    std::printf("allotment_%s_report_csv: %.2f s (%zu bytes)\n", name, reportSeconds, csv.size());
}

}  // namespace

int main() {
    // Most ask one lot (each lot size three quarters as likely as the one below): about 3.3
    // lots on average, fewer lots to give than applicants.
    std::vector<double> few(16);
    for (size_t k = 0; k < few.size(); ++k) {
        few[k] = k == 0 ? 1.0 : few[k - 1] * 0.75;
    }
    Run("retail_10m_draw_of_lots", few);
    Run("retail_10m_proportionate", std::vector<double>(16, 1.0));
    std::printf("allotment_peak_resident: %.0f MiB\n", PeakResidentMiB());
    return 0;
}
