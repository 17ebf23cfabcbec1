#include "service/seed.h"

#include <cstdint>

#include "service/allotment/terms.h"
#include "service/clock.h"
#include "service/issue_table.h"
#include "service/order_states.h"
#include "service/user_table.h"
#include "service/user_types.h"

namespace svc {
namespace {

constexpr int64_t kRupee = 100;  // paise
constexpr int64_t kRetailLimit = 200'000 * kRupee;
constexpr int64_t kUpiLimit = 500'000 * kRupee;

struct SeedIssue {
    const char* key;
    const char* tag;
    const char* name;
    const char* type;
    int64_t low;  // rupees
    int64_t high;
    int64_t faceValue;
    int64_t lotSize;
    int64_t lotsMinimum;
    int64_t issueSize;
    int startDay;  // relative to today
    int endDay;
    const char* registrar;
    const char* rating;
    const char* recommendation;
    int64_t employeeDiscount;  // rupees off the band for employees
};

const SeedIssue kIssues[] = {
    // Open now.
    {"AURORAGREEN", "AGE", "Aurora Green Energy Ltd", "BOOK BUILT", 95, 100, 10, 150, 1,
     12'500'000'000, -2, 2, "Meridian Registry Services", "AA (Stable)", "Subscribe", 5},
    {"BHARATRAIL", "BRS", "Bharat Rail Systems Ltd", "BOOK BUILT", 285, 300, 2, 50, 1,
     45'000'000'000, -1, 1, "Northgate Share Registrars", "AA+ (Stable)", "Subscribe for long term",
     14},
    {"CITRUSFIN", "CFL", "Citrus Finance Ltd", "BOOK BUILT", 1180, 1240, 10, 12, 1, 3'200'000'000,
     -1, 3, "Crestline Registrars", "A+ (Positive)", "Neutral", 60},
    {"DELTAPHARMA", "DPH", "Delta Pharma Formulations Ltd", "FIXED PRICE", 72, 72, 10, 1600, 2,
     480'000'000, -3, 2, "Meridian Registry Services", "BBB (Stable)", "Avoid", 0},
    // Forthcoming.
    {"EVERESTLOG", "ELS", "Everest Logistics Ltd", "BOOK BUILT", 410, 432, 5, 34, 1, 8'750'000'000,
     5, 7, "Northgate Share Registrars", "A (Stable)", "Subscribe", 20},
    {"FALCONAERO", "FAL", "Falcon Aerostructures Ltd", "BOOK BUILT", 610, 642, 10, 23, 1,
     21'000'000'000, 9, 11, "Crestline Registrars", "AA- (Stable)", "Subscribe", 30},
    {"GANGESFOODS", "GFD", "Ganges Foods Ltd", "BOOK BUILT", 48, 51, 1, 290, 1, 950'000'000, 14, 16,
     "Meridian Registry Services", "Not rated", "Neutral", 2},
    // Closed.
    {"HARBOURBANK", "HBK", "Harbour Small Finance Bank Ltd", "BOOK BUILT", 57, 60, 10, 250, 1,
     6'250'000'000, -6, -3, "Northgate Share Registrars", "A (Stable)", "Subscribe", 3},
    {"INDUSCEMENT", "ICL", "Indus Cement Works Ltd", "BOOK BUILT", 210, 222, 10, 67, 1,
     15'000'000'000, -14, -10, "Crestline Registrars", "AA (Stable)", "Neutral", 10},
    {"JADETEXTILE", "JTX", "Jade Textiles Ltd", "FIXED PRICE", 30, 30, 10, 4000, 1, 120'000'000,
     -44, -40, "Meridian Registry Services", "Not rated", "Avoid", 0},
    {"KESTRELTECH", "KTS", "Kestrel Technologies Ltd", "BOOK BUILT", 760, 800, 1, 18, 1,
     27'500'000'000, -104, -100, "Northgate Share Registrars", "AA (Positive)", "Subscribe", 38},
    {"LOTUSHOTELS", "LHL", "Lotus Hotels and Resorts Ltd", "BOOK BUILT", 140, 148, 10, 101, 1,
     4'400'000'000, -404, -400, "Crestline Registrars", "BBB+ (Stable)", "Neutral", 7},
};

struct SeedUser {
    const char* userId;
    int type;
    const char* clientId;
    const char* name;
    // The hash (crypto_pwhash_str, interactive limits) of the user's documented password,
    // made once so that seeding stays fast: "bull-run-01", "bull-run-02", "first-listing",
    // "lot-size-26".
    const char* passwordHash;
};

const SeedUser kUsers[] = {
    {"DEALER01", kDealer, "DEALER01", "Dealer One",
     "$argon2id$v=19$m=65536,t=2,p=1$HPqZErprJHMdVTInKO0oEA$"
     "HHEaTNG9UINRZyRRI9sK6zukXcSBXMPk5MlVMMK3iNE"},
    {"DEALER02", kDealer, "DEALER02", "Dealer Two",
     "$argon2id$v=19$m=65536,t=2,p=1$S51PD3v7dPGAMPE7X9SaEA$"
     "K/LgxcOMS0soMVTqKjyNtQC3OUysipnYFXTM5Vlesek"},
    {"INV001", kInvestor, "INV001", "Investor One",
     "$argon2id$v=19$m=65536,t=2,p=1$ZsYDX2xRvUqW/YtJxAdJaw$"
     "4fLVN6nm8FYs+LuBWGWXZ+iBqh8+KG5WtxTzK2aIhM4"},
    {"INV026", kSelf, "INV026", "Investor Twenty Six",
     "$argon2id$v=19$m=65536,t=2,p=1$d8BxxhVxM5DUFh9pqiJifA$"
     "SNI+MYicVCGR8cFwu2AU19I4nnL2DhW4wX70fJKfTSY"},
};

struct SeedClient {
    const char* clientId;
    const char* code;
    const char* name;
    const char* dealer;
    const char* upi;
    const char* reference1;
    const char* reference2;
};

const SeedClient kClients[] = {
    {"DEALER01", "D001", "Dealer One", "", "", "", ""},
    {"DEALER02", "D002", "Dealer Two", "", "", "", ""},
    {"CL0001", "C0001", "Anil Kumar Mehta", "DEALER01", "anil.mehta@upibank", "AKMPM4821K",
     "DP1203300000410021"},
    {"CL0002", "C0002", "Sunita Rao", "DEALER01", "sunita.rao@upibank", "BQRPR7713L",
     "DP1203300000410022"},
    {"CL0003", "C0003", "Farhan Qureshi", "DEALER01", "farhanq@paywave", "CFQPQ1187M",
     "DP1203300000410023"},
    {"CL0004", "C0004", "Lakshmi Narayanan", "DEALER01", "lakshmi.n@upibank", "DLNPN5520N",
     "DP1203300000410024"},
    {"CL0005", "C0005", "Gurpreet Singh Bedi", "DEALER01", "gsbedi@paywave", "EGBPB9034P",
     "DP1203300000410025"},
    {"CL0006", "C0006", "Meera Joshi", "DEALER02", "meera.joshi@upibank", "FMJPJ2290Q",
     "DP1203300000410026"},
    {"INV001", "I001", "Rohan Desai", "", "rohan.desai@upibank", "GRDPD6678R",
     "DP1203300000410027"},
    {"INV026", "I026", "Kavita Iyer", "", "kavita.iyer@paywave", "HKIPI3346S",
     "DP1203300000410028"},
};

struct SeedAccount {
    const char* clientId;
    const char* bank;
    const char* account;
    const char* ifsc;
    const char* branch;
    int asba;
};

const SeedAccount kAccounts[] = {
    {"CL0001", "State Union Bank", "30012245871", "SUBN0001024", "Fort, Mumbai", 1},
    {"CL0001", "Harbour Bank", "501002340091", "HRBR0000410", "Andheri East, Mumbai", 1},
    {"CL0002", "Pioneer Bank", "7788001200456", "PIBK0002201", "Jayanagar, Bengaluru", 1},
    {"CL0002", "Coastal Co-op Bank", "0045120003318", "CCBK0000045", "Udupi", 0},
    {"CL0003", "State Union Bank", "30012245999", "SUBN0001101", "Charminar, Hyderabad", 1},
    {"CL0004", "Harbour Bank", "501002348812", "HRBR0000722", "T Nagar, Chennai", 1},
    {"CL0005", "Pioneer Bank", "7788001209931", "PIBK0003310", "Sector 17, Chandigarh", 1},
    {"CL0006", "State Union Bank", "30012246120", "SUBN0001310", "Kothrud, Pune", 1},
    {"INV001", "Harbour Bank", "501002350077", "HRBR0000101", "Navrangpura, Ahmedabad", 1},
    {"INV026", "Pioneer Bank", "7788001211105", "PIBK0000877", "Salt Lake, Kolkata", 1},
};

void InsertIssue(Store& store, const SeedIssue& issue) {
    store
        .Prepare(
            "INSERT INTO issues(issue_key, issue_tag, name, issue_type, price_low, price_high, "
            "face_value, lot_size, min_bid_quantity, issue_size, bid_start, bid_end, registrar, "
            "rating, prospectus, recommendation, retail_limit, upi_limit) "
            "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
            issue.key, issue.tag, issue.name, issue.type, issue.low * kRupee, issue.high * kRupee,
            issue.faceValue * kRupee, issue.lotSize, issue.lotSize * issue.lotsMinimum,
            issue.issueSize, DateTimeText(issue.startDay, "10:00:00"),
            DateTimeText(issue.endDay, "17:00:00"), issue.registrar, issue.rating,
            std::string("https://ipo.example.com/prospectus/") + issue.key + ".pdf",
            issue.recommendation, kRetailLimit, kUpiLimit)
        .Run();
    // The shares the issue's size buys at the band's top, in whole lots, 1 % of them reserved
    // for employees and 2 % for shareholders; 35 % of the rest to retail, 15 % to
    // non-institutional bidders.
    const int64_t lots = issue.issueSize / issue.high / issue.lotSize;
    IssueTable(store).SetSplit(
        issue.key, allotment::DefaultSplit(lots * issue.lotSize, lots / 100 * issue.lotSize,
                                           lots / 50 * issue.lotSize));
    struct {
        const char* code;
        const char* name;
        int64_t discount;
        bool cutOff;
    } const categories[] = {
        {category_code::kRetail, "Retail Individual", 0, true},
        {category_code::kNonInstitutional, "High Networth Individual", 0, false},
        {category_code::kEmployee, "Employee Reservation", issue.employeeDiscount, true},
        {category_code::kShareholder, "Shareholder Reservation", 0, false},
    };
    int64_t position = 0;
    for (const auto& category : categories) {
        store
            .Prepare(
                "INSERT INTO categories(issue_key, code, name, price_low, price_high, cut_off, "
                "position) VALUES(?, ?, ?, ?, ?, ?, ?)",
                issue.key, category.code, category.name, (issue.low - category.discount) * kRupee,
                (issue.high - category.discount) * kRupee, int64_t{category.cutOff}, position++)
            .Run();
    }
}

}  // namespace

bool Seed(Store& store) {
    if (!store.IsEmpty()) {
        return false;
    }
    Transaction transaction(store);
    for (const SeedIssue& issue : kIssues) {
        InsertIssue(store, issue);
    }
    UserTable users(store);
    for (const SeedUser& user : kUsers) {
        users.Insert(user.userId, user.type, user.clientId, user.name, user.passwordHash);
    }
    for (const SeedClient& client : kClients) {
        store
            .Prepare(
                "INSERT INTO clients(client_id, client_code, name, dealer_id, upi_id, "
                "reference1, reference2) VALUES(?, ?, ?, ?, ?, ?, ?)",
                client.clientId, client.code, client.name, client.dealer, client.upi,
                client.reference1, client.reference2)
            .Run();
    }
    for (const SeedAccount& account : kAccounts) {
        store
            .Prepare(
                "INSERT INTO bank_accounts(client_id, bank_name, account_number, ifsc, branch, "
                "asba) VALUES(?, ?, ?, ?, ?, ?)",
                account.clientId, account.bank, account.account, account.ifsc, account.branch,
                int64_t{account.asba})
            .Run();
    }
    transaction.Commit();
    return true;
}

}  // namespace svc
