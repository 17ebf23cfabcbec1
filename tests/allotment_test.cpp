// The allotment engine on populations small enough to work out by hand. Prices are in paise:
// the band is 100.00 to 110.00 rupees, a lot is 10 shares, employees get 10 rupees off.
#include <gtest/gtest.h>
#include <sodium.h>

#include <algorithm>
#include <initializer_list>
#include <numeric>
#include <string>
#include <vector>

#include "base/text.h"
#include "service/allotment/allotment.h"
#include "service/allotment/report.h"

namespace allotment {
namespace {

constexpr int32_t kLow = 10000;
constexpr int32_t kHigh = 11000;

Bid At(int32_t quantity, int32_t price) {
    return {quantity, price, false};
}
Bid CutOff(int32_t quantity) {
    return {quantity, 0, true};
}

IssueTerms Terms(Split split) {
    return {kLow, kHigh, 10, 1000, split};
}

// Applications numbered from 1, each with a PAN of its own and the top of the band blocked.
struct Book {
    std::vector<Application> applications;

    Application& Add(Category category, std::initializer_list<Bid> bids) {
        Application a;
        a.number = applications.size() + 1;
        a.category = category;
        a.fundsBlocked = true;
        for (const Bid& bid : bids) {
            a.bids[a.bidCount++] = bid;
            a.blocked = std::max<int64_t>(a.blocked, int64_t{bid.quantity} * kHigh);
        }
        const std::string pan = base::Format("ABCDE%04lluF", (unsigned long long)a.number);
        std::copy_n(pan.begin(), a.pan.size(), a.pan.begin());
        return applications.emplace_back(a);
    }
    // `count` retail applications for `quantity` shares at the top of the band.
    void Retail(int count, int32_t quantity) {
        for (int i = 0; i < count; ++i) {
            Add(Category::Retail, {At(quantity, kHigh)});
        }
    }
    std::vector<int32_t> Allotted(const Allotment& allotment) const {
        std::vector<int32_t> allotted;
        for (const Result& result : allotment.results) {
            allotted.push_back(result.allotted);
        }
        return allotted;
    }
};

TEST(Allotment, ScreeningRejectsWithItsReason) {
    Book book;
    book.Add(Category::Retail, {At(10, kHigh)}).fundsBlocked = false;
    book.Add(Category::Retail, {At(10, kHigh)}).pan[5] = 'X';
    book.Add(Category::Retail, {At(15, kHigh)});           // not whole lots
    book.Add(Category::NonInstitutional, {CutOff(3000)});  // no cut-off for them
    book.Add(Category::Retail, {At(10, kHigh + 1)});       // above the band
    const std::array<char, 10> pan = book.Add(Category::Retail, {At(10, kHigh)}).pan;
    book.Add(Category::Retail, {At(10, kHigh)}).pan = pan;  // the same PAN again
    book.Add(Category::Retail, {At(10, kLow)});             // below 105.00
    book.Add(Category::Retail, {At(10, 10500)}).blocked = 10 * 10500 - 1;
    book.Add(Category::Retail, {At(10, kHigh), At(30, 10500), At(20, kLow)});  // 30 counts
    const Allotment a = Allot(Terms({1000, 500, 500, 0, 0}), book.applications, 10500, "s");
    const std::vector<Reason> expected = {
        Reason::NotBlocked,   Reason::InvalidPan, Reason::InvalidBid,          Reason::InvalidBid,
        Reason::InvalidBid,   Reason::None,       Reason::MultipleApplication, Reason::BelowPrice,
        Reason::BlockedShort, Reason::None};
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(a.results[i].reason, expected[i]) << "application " << i + 1;
        EXPECT_EQ(a.results[i].refund,
                  book.applications[i].blocked - a.results[i].allotted * 10500);
    }
    EXPECT_EQ(a.results[9].allotted, 30);
    EXPECT_STREQ(ReasonText(a.results[6].reason), "Multiple applications for one PAN");
}

TEST(Allotment, BadTermsAndInputAreRefused) {
    Book book;
    book.Retail(2, 10);
    EXPECT_EQ(TermsFault(Terms({34, 15, 51, 0, 0})),
              "Retail shares 34 are below 35 % of the net issue 100");
    EXPECT_EQ(TermsFault(Terms({35, 14, 51, 0, 0})),
              "Non-institutional shares 14 are below 15 % of the net issue 100");
    EXPECT_EQ(TermsFault(Terms({35, 15, 50, 0, 0})), "");
    // 920 shares after the reservations: 322 retail, 138 non-institutional, 460 institutional.
    EXPECT_EQ(DefaultSplit(1000, 50, 30), (Split{322, 138, 460, 50, 30}));
    EXPECT_THROW(Allot(Terms({35, 15, 50, 0, 0}), book.applications, kLow - 1, "s"),
                 AllotmentError);
    book.applications[1].number = 1;
    EXPECT_THROW(Allot(Terms({35, 15, 50, 0, 0}), book.applications, kLow, "s"), AllotmentError);
}

TEST(Allotment, CoveringPriceFromTheTopOfTheBand) {
    // 160 shares offered. Demand at 110.00: 100 + 30 (cut-off) + 20 = 150; at 105.00: 180.
    Book book;
    book.Add(Category::Retail, {At(100, kHigh)});
    book.Add(Category::Retail, {CutOff(30)});
    book.Add(Category::Retail, {At(50, 10500), At(20, kHigh)});
    book.Add(Category::Retail, {At(500, kHigh)}).fundsBlocked = false;
    const IssueTerms terms = Terms({110, 50, 40, 0, 0});
    const std::vector<Reason> screened = Screen(terms, book.applications);
    EXPECT_EQ(CoveringPrice(terms, book.applications, screened), 10500);
    book.applications[2].bids[0].quantity = 10;  // 150 at most: never covered
    EXPECT_EQ(CoveringPrice(terms, book.applications, screened), std::nullopt);
}

TEST(Allotment, UnsubscribedSharesMoveBetweenPools) {
    struct Case {
        Split split;
        PoolArray applied;  // retail, NII to 10 lakh, NII above, employee, shareholder
        PoolArray shares;
    };
    const Case cases[] = {
        // Retail asks 90 of 100: 10 to NII (60), split 20 and 40; the smaller's 20 to the larger.
        {{100, 50, 50, 0, 0}, {90, 0, 1000, 0, 0}, {90, 0, 60, 0, 0}},
        // NII asks 10 of 50: 40 to retail; 10 split 3 and 7, the larger's 7 to the smaller.
        {{100, 50, 50, 0, 0}, {1000, 10, 0, 0, 0}, {140, 10, 0, 0, 0}},
        // Both oversubscribed: NII one third and two thirds.
        {{100, 60, 40, 0, 0}, {1000, 1000, 1000, 0, 0}, {100, 20, 40, 0, 0}},
        // The shareholders' 50 unsubscribed go 100:50 to retail (33) and NII (17, so 22 and 45).
        {{100, 50, 50, 100, 50}, {1000, 1000, 1000, 250, 0}, {133, 22, 45, 100, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PoolShares(c.split, c.applied), c.shares) << "retail " << c.applied[0];
    }
}

// One pool's allotment, for applicants given by their demands in ascending order.
std::vector<int32_t> AllotPoolOf(std::vector<int32_t> demands, int64_t available, int32_t minimum) {
    std::vector<Applicant> applicants;
    for (uint32_t i = 0; i < demands.size(); ++i)
        applicants.push_back({demands[i], i});
    std::vector<Result> results(demands.size());
    EXPECT_EQ(AllotPool(applicants, available, minimum, SeedKey("s"), Pool::Retail, results),
              std::min<int64_t>(available, std::accumulate(demands.begin(), demands.end(), 0)));
    return Book{}.Allotted({0, results, {}});
}

int Count(const std::vector<int32_t>& allotted, int32_t value) {
    return static_cast<int>(std::count(allotted.begin(), allotted.end(), value));
}

TEST(Allotment, RetailBasis) {
    // 90 asked of 100: all in full.
    EXPECT_EQ(AllotPoolOf({20, 30, 40}, 100, 10), (std::vector<int32_t>{20, 30, 40}));
    // 130 for 100: a lot each (40), the 60 left over 90 beyond it: 0, 6.67, 20, 33.33.
    EXPECT_EQ(AllotPoolOf({10, 20, 40, 60}, 100, 10), (std::vector<int32_t>{10, 17, 30, 43}));
    // 60 for 40: 10 left over 30 beyond: 3.33 each, rounded to 3; one share more by draw.
    const std::vector<int32_t> deficit = AllotPoolOf({20, 20, 20}, 40, 10);
    EXPECT_EQ(Count(deficit, 14), 1);
    EXPECT_EQ(Count(deficit, 13), 2);
    // 40 for 25: 5 left over 20 beyond: 2.5 each, rounded to 3; one share less by draw.
    const std::vector<int32_t> surplus = AllotPoolOf({20, 20}, 25, 10);
    EXPECT_EQ(Count(surplus, 12), 1);
    EXPECT_EQ(Count(surplus, 13), 1);
}

TEST(Allotment, NonInstitutionalBasis) {
    // At 100.00 a lot is worth 1,000 rupees: the minimum is 201 lots, 2,010 shares.
    EXPECT_EQ(MinimumNonInstitutional(10, kLow), 2010);
    // 15,000 for 18,000: 2,010 each, 8,970 left over 11,970 beyond: 741.9, 2,240.6, 5,987.5
    // (just below the half) → 742, 2,241, 5,987.
    EXPECT_EQ(AllotPoolOf({3000, 5000, 10000}, 15000, 2010),
              (std::vector<int32_t>{2752, 4251, 7997}));
    // 4,020 for three applications of 3,000: two minimums, drawn.
    EXPECT_EQ(Count(AllotPoolOf({3000, 3000, 3000}, 4020, 2010), 2010), 2);
}

// 7 lots for 10 retail applicants: 6 for 10 shares get 70 × 6 / 100 = 4.2 lots, 4 for 20 shares
// 2.8: 4 and 2, and the lot left to the larger remainder: 4 and 3 winners of one lot each. The
// one non-institutional applicant asks 10,000 (11 lakh) of the 30 shares, less than the minimum:
// none.
Allotment DrawnRetail(std::string_view seed) {
    Book book;
    book.Retail(6, 10);
    book.Retail(4, 20);
    book.Add(Category::NonInstitutional, {At(10000, kHigh)});
    return Allot(Terms({70, 30, 100, 0, 0}), book.applications, kHigh, seed);
}

TEST(Allotment, DrawOfLotsWithinEachGroup) {
    const Allotment a = DrawnRetail("published seed");
    int winners10 = 0;
    int winners20 = 0;
    for (size_t i = 0; i < 10; ++i) {
        const Result& r = a.results[i];
        EXPECT_TRUE(r.allotted == 0 || r.allotted == 10);
        (r.demand == 10 ? winners10 : winners20) += r.allotted / 10;
    }
    EXPECT_EQ(winners10, 4);
    EXPECT_EQ(winners20, 3);
    EXPECT_EQ(BasisCsv(a),
              "Category,Shares applied,Applications,% of applications,Total shares applied,"
              "% of shares applied,Shares allotted per applicant,Ratio of allottees to "
              "applicants,Total shares allotted\n"
              "Retail individual,10,6,60.00,60,42.86,10,2:3,40\n"
              "Retail individual,20,4,40.00,80,57.14,10,3:4,30\n"
              "Retail individual,Total,10,100.00,140,100.00,,7:10,70\n"
              "Non-institutional above 10 lakh,10000,1,100.00,10000,100.00,0,0:1,0\n"
              "Non-institutional above 10 lakh,Total,1,100.00,10000,100.00,,0:1,0\n");
    EXPECT_EQ(BasisCsv(DrawnRetail("published seed")), BasisCsv(a));
    EXPECT_NE(Book{}.Allotted(DrawnRetail("another seed")), Book{}.Allotted(a));
}

TEST(Allotment, DrawStreamIsTheDocumentedGenerator) {
    const DrawKey seedKey = SeedKey("seed");
    DrawKey expectedSeedKey;
    crypto_generichash(expectedSeedKey.data(), 32, (const unsigned char*)"seed", 4, nullptr, 0);
    ASSERT_EQ(seedKey, expectedSeedKey);
    DrawKey drawKey;
    crypto_generichash(drawKey.data(), 32, (const unsigned char*)"retail/shares", 13,
                       seedKey.data(), 32);
    std::vector<uint8_t> bytes(8 * 600);  // past the stream's first refill
    randombytes_buf_deterministic(bytes.data(), bytes.size(), drawKey.data());
    DrawStream stream(seedKey, "retail/shares");
    for (size_t i = 0; i < 600; ++i) {
        uint64_t word = 0;
        for (int b = 7; b >= 0; --b)
            word = word << 8 | bytes[8 * i + b];
        ASSERT_EQ(stream.Below(UINT64_MAX), word % UINT64_MAX) << "word " << i;
    }
}

TEST(Allotment, EmployeesProportionatelyAtTheirDiscount) {
    // Employees ask 250 for 100 at cut-off: 40 and 60, paying 100.00 - 10.00 a share.
    Book book;
    book.Add(Category::Employee, {CutOff(100)}).blocked = 100 * (kHigh - 1000);
    book.Add(Category::Employee, {CutOff(150)}).blocked = 150 * (kHigh - 1000);
    const Allotment a = Allot(Terms({100, 50, 50, 100, 50}), book.applications, kLow, "s");
    EXPECT_EQ(book.Allotted(a), (std::vector<int32_t>{40, 60}));
    EXPECT_EQ(a.results[1].refund, 150 * 10000 - 60 * 9000);
}

TEST(Allotment, VerifyReportsEveryDifference) {
    Book book;
    book.Retail(6, 10);
    book.Retail(4, 20);
    const IssueTerms terms = Terms({70, 50, 50, 0, 0});
    std::vector<Result> stored = Allot(terms, book.applications, kHigh, "seed").results;
    EXPECT_TRUE(Verify(terms, book.applications, kHigh, "seed", stored).empty());
    stored[3].refund += 1;
    const std::vector<Difference> found = Verify(terms, book.applications, kHigh, "seed", stored);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].application, 4u);
    EXPECT_EQ(found[0].stored.refund, found[0].recomputed.refund + 1);
    EXPECT_FALSE(Verify(terms, book.applications, kHigh, "other", stored).empty());
    stored.pop_back();
    EXPECT_THROW(Verify(terms, book.applications, kHigh, "seed", stored), AllotmentError);
}

}  // namespace
}  // namespace allotment
