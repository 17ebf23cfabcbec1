#include "service/issue_allotment.h"

#include <algorithm>
#include <exception>
#include <new>
#include <stdexcept>
#include <thread>
#include <vector>

#include "base/text.h"
#include "service/allotment/allotment.h"
#include "service/allotment/report.h"
#include "service/clock.h"
#include "service/issue_table.h"
#include "service/mandates.h"
#include "service/order_states.h"
#include "service/service_log.h"

namespace svc {
namespace {

using allotment::Application;
using allotment::Category;
using allotment::Reason;

struct CategoryCode {
    const char* code;
    Category category;
};

const CategoryCode kCategories[] = {
    {category_code::kRetail, Category::Retail},
    {category_code::kNonInstitutional, Category::NonInstitutional},
    {category_code::kEmployee, Category::Employee},
    {category_code::kShareholder, Category::Shareholder},
};

Category CategoryOf(const AppliedOrder& order) {
    for (const CategoryCode& known : kCategories) {
        if (order.category == known.code) {
            return known.category;
        }
    }
    throw std::invalid_argument(base::Format("Category %s of order %lld has no basis of allotment",
                                             order.category.c_str(),
                                             static_cast<long long>(order.orderNumber)));
}

// Whether the order's money is held for it: its UPI mandate accepted, or its ASBA order
// confirmed (the bank has blocked the amount).
bool FundsBlocked(const AppliedOrder& order) {
    return order.paymentMode == payment_mode::kUpi
               ? order.paymentStatus == payment_status::kSucceeded
               : order.status == order_status::kConfirmed;
}

Application ApplicationOf(const AllotmentIssue& issue, const AppliedOrder& order) {
    Application application;
    application.number = static_cast<uint64_t>(order.orderNumber);
    application.category = CategoryOf(order);
    application.fundsBlocked = FundsBlocked(order);
    // Money never blocked is never refunded.
    application.blocked = application.fundsBlocked ? order.amount : 0;
    if (order.pan.size() == application.pan.size()) {
        std::copy(order.pan.begin(), order.pan.end(), application.pan.begin());
    }
    // An employee bids in the band less the discount; the allotment reads the issue's band.
    const int64_t discount =
        application.category == Category::Employee ? issue.employeeDiscount : 0;
    for (const BidTerms& bid : order.bids) {
        if (application.bidCount == allotment::kMaxBids) {
            break;
        }
        application.bids[application.bidCount++] = {static_cast<int32_t>(bid.quantity),
                                                    static_cast<int32_t>(bid.price + discount),
                                                    bid.cutOff};
    }
    return application;
}

allotment::IssueTerms TermsOf(const AllotmentIssue& issue) {
    if (!issue.split) {
        throw std::invalid_argument("Issue " + issue.key + " has no category split stored");
    }
    return {static_cast<int32_t>(issue.priceLow), static_cast<int32_t>(issue.priceHigh),
            static_cast<int32_t>(issue.lotSize), static_cast<int32_t>(issue.employeeDiscount),
            *issue.split};
}

AllotmentIssue LoadIssue(IssueTable& table, const std::string& key) {
    std::optional<AllotmentIssue> issue = table.Find(key);
    if (!issue) {
        throw std::invalid_argument("Unknown IPO " + key);
    }
    return *issue;
}

AllotmentIssue LoadFinalised(IssueTable& table, const std::string& key) {
    AllotmentIssue issue = LoadIssue(table, key);
    if (issue.finalised.empty()) {
        throw std::invalid_argument("Issue " + key + " is not finalised");
    }
    return issue;
}

allotment::Allotment Allot(const allotment::IssueTerms& terms,
                           const std::vector<Application>& applications, int64_t price,
                           const std::string& seed) {
    try {
        return allotment::Allot(terms, applications, static_cast<int32_t>(price), seed);
    } catch (const allotment::AllotmentError& error) {
        throw std::invalid_argument(error.what());
    }
}

std::string ReasonOf(const allotment::Result& result) {
    return allotment::ReasonText(result.reason);
}

// The stored reason's value; throws for a text the allotment never writes.
Reason StoredReason(const AppliedOrder& order) {
    for (int value = 0; value <= static_cast<int>(Reason::BlockedShort); ++value) {
        if (order.reason == allotment::ReasonText(static_cast<Reason>(value))) {
            return static_cast<Reason>(value);
        }
    }
    throw std::invalid_argument(
        base::Format("Order %lld has the reason '%s', which no allotment "
                     "gives",
                     static_cast<long long>(order.orderNumber), order.reason.c_str()));
}

std::string ResultText(int64_t allotted, int64_t refund, const std::string& reason) {
    return base::Format("%lld shares, refund %s%s%s", static_cast<long long>(allotted),
                        base::Hundredths(refund).c_str(), reason.empty() ? "" : ", ",
                        reason.c_str());
}

// The issue takes no more bids and no more mandate answers.
void RequireClosed(const AllotmentIssue& issue) {
    const std::string last = std::max(issue.bidEnd, MandateCutOff(issue.bidEnd));
    if (NowText() <= last) {
        throw std::invalid_argument("Issue " + issue.key + " takes bids or mandates until " + last +
                                    "; it can be finalised after that");
    }
}

// The applications numbered first..last with their stored results, with room reserved for
// `room` of them. Reserving by a range of order numbers costs address space only: pages are
// touched as applications arrive, and a store holds a row for every order number. The room is
// a hint: where the system will not give that much address space, the vectors grow instead.
StoredAllotment LoadPart(Store& store, const AllotmentIssue& issue, int64_t first, int64_t last,
                         int64_t room) {
    StoredAllotment loaded{TermsOf(issue), {}, {}};
    try {
        loaded.applications.reserve(static_cast<size_t>(room));
        loaded.stored.reserve(static_cast<size_t>(room));
    } catch (const std::bad_alloc&) {
        loaded.applications.shrink_to_fit();
    }
    IssueTable(store).ForEachApplication(issue.key, first, last, [&](const AppliedOrder& order) {
        loaded.applications.push_back(ApplicationOf(issue, order));
        allotment::Result stored;
        stored.allotted = static_cast<int32_t>(order.allotted);
        stored.refund = order.refund;
        stored.reason = StoredReason(order);
        loaded.stored.push_back(stored);
    });
    return loaded;
}

}  // namespace

StoredAllotment LoadAllotment(Store& store, const AllotmentIssue& issue) {
    // An issue may have millions of applications: the upper half of its order numbers is read
    // at the same time on a read-only connection of its own. The caller's transaction keeps
    // every writer out, so both connections read the same store.
    const auto [first, last] = IssueTable(store).OrderNumbers(issue.key);
    const int64_t middle = first + (last - first) / 2;
    StoredAllotment upper;
    std::exception_ptr failure;
    std::jthread reading([&] {
        try {
            Store reader(store.Path(), Store::ReadOnly{});
            upper = LoadPart(reader, issue, middle + 1, last, last - middle);
        } catch (...) {
            failure = std::current_exception();
        }
    });
    // The lower half's vectors take the upper half's applications after it without moving.
    StoredAllotment loaded = LoadPart(store, issue, first, middle, last - first + 1);
    reading.join();
    if (failure) {
        std::rethrow_exception(failure);
    }
    loaded.applications.insert(loaded.applications.end(), upper.applications.begin(),
                               upper.applications.end());
    loaded.stored.insert(loaded.stored.end(), upper.stored.begin(), upper.stored.end());
    return loaded;
}

std::string SetIssueSplit(Store& store, const std::string& issueKey,
                          const allotment::Split& split) {
    auto lock = store.Lock();
    Transaction transaction(store);
    IssueTable table(store);
    AllotmentIssue issue = LoadIssue(table, issueKey);
    if (!issue.finalised.empty()) {
        throw std::invalid_argument(base::Format("Issue %s was finalised at %s; its split stays",
                                                 issueKey.c_str(), issue.finalised.c_str()));
    }
    issue.split = split;
    if (const std::string fault = allotment::TermsFault(TermsOf(issue)); !fault.empty()) {
        throw std::invalid_argument(fault);
    }
    table.SetSplit(issueKey, split);
    transaction.Commit();
    LogAudit(base::Format(
        "issue=%s split retail=%lld non_institutional=%lld institutional=%lld "
        "employee=%lld shareholder=%lld",
        issueKey.c_str(), static_cast<long long>(split.retail),
        static_cast<long long>(split.nonInstitutional), static_cast<long long>(split.institutional),
        static_cast<long long>(split.employee), static_cast<long long>(split.shareholder)));
    return base::Format(
        "%s: of %lld shares offered to bidders, retail %lld, non-institutional %lld, "
        "employee %lld, shareholder %lld; institutional %lld",
        issueKey.c_str(), static_cast<long long>(allotment::SharesOfferedToBidders(split)),
        static_cast<long long>(split.retail), static_cast<long long>(split.nonInstitutional),
        static_cast<long long>(split.employee), static_cast<long long>(split.shareholder),
        static_cast<long long>(split.institutional));
}

std::string FinaliseIssue(Store& store, const std::string& issueKey, int64_t pricePaise,
                          const std::string& seed) {
    if (seed.empty()) {
        throw std::invalid_argument("The draw needs a seed to publish");
    }
    auto lock = store.Lock();
    Transaction transaction(store);
    IssueTable table(store);
    const AllotmentIssue issue = LoadIssue(table, issueKey);
    if (!issue.finalised.empty()) {
        throw std::invalid_argument(base::Format("Issue %s was finalised at %s at the price %s",
                                                 issueKey.c_str(), issue.finalised.c_str(),
                                                 base::Hundredths(issue.finalPrice).c_str()));
    }
    RequireClosed(issue);
    if (pricePaise < issue.priceLow || pricePaise > issue.priceHigh) {
        throw std::invalid_argument(base::Format(
            "The price %s is outside the band %s-%s", base::Hundredths(pricePaise).c_str(),
            base::Hundredths(issue.priceLow).c_str(), base::Hundredths(issue.priceHigh).c_str()));
    }
    const StoredAllotment loaded = LoadAllotment(store, issue);
    const allotment::IssueTerms& terms = loaded.terms;
    const std::vector<Application>& applications = loaded.applications;
    const std::optional<int32_t> covering =
        allotment::CoveringPrice(terms, applications, allotment::Screen(terms, applications));
    const allotment::Allotment result = Allot(terms, applications, pricePaise, seed);
    const std::string now = NowText();
    int64_t allottees = 0;
    int64_t shares = 0;
    int64_t refunds = 0;
    for (size_t i = 0; i < applications.size(); ++i) {
        const allotment::Result& outcome = result.results[i];
        // Blocked funds are debited for the shares and the rest released; a mandate still
        // pending has expired, and unblocked funds end as a failed payment.
        const char* payment =
            applications[i].fundsBlocked ? payment_status::kSucceeded : payment_status::kFailed;
        table.SetResult(static_cast<int64_t>(applications[i].number), outcome.allotted,
                        outcome.refund, payment, ReasonOf(outcome), now);
        allottees += outcome.allotted > 0;
        shares += outcome.allotted;
        refunds += outcome.refund;
    }
    table.SetFinal(issueKey, pricePaise, seed, now);
    transaction.Commit();
    LogAudit(
        base::Format("issue=%s finalised price_paise=%lld seed=%s applications=%zu "
                     "allotted=%lld",
                     issueKey.c_str(), static_cast<long long>(pricePaise), seed.c_str(),
                     applications.size(), static_cast<long long>(shares)));
    const std::string coveringText = covering
                                         ? "first covers them at " + base::Hundredths(*covering)
                                         : "does not cover them within the band";
    return base::Format(
        "%s finalised at %s; of the %lld shares offered to bidders, demand %s\n"
        "%zu applications, %lld allotted %lld shares, refunds %s",
        issueKey.c_str(), base::Hundredths(pricePaise).c_str(),
        static_cast<long long>(allotment::SharesOfferedToBidders(terms.split)),
        coveringText.c_str(), applications.size(), static_cast<long long>(allottees),
        static_cast<long long>(shares), base::Hundredths(refunds).c_str());
}

std::string VerifyAllotment(Store& store, const std::string& issueKey, const std::string& seed,
                            bool& agrees) {
    auto lock = store.Lock();
    const Transaction reading(store);  // writers wait while the applications are read
    IssueTable table(store);
    const AllotmentIssue issue = LoadFinalised(table, issueKey);
    const StoredAllotment loaded = LoadAllotment(store, issue);
    std::vector<allotment::Difference> differences;
    try {
        differences =
            allotment::Verify(loaded.terms, loaded.applications,
                              static_cast<int32_t>(issue.finalPrice), seed, loaded.stored);
    } catch (const allotment::AllotmentError& error) {
        throw std::invalid_argument(error.what());
    }
    agrees = differences.empty();
    std::string text;
    OrderTable orders(store);
    for (const allotment::Difference& difference : differences) {
        const std::optional<StoredOrder> order =
            orders.Find(static_cast<int64_t>(difference.application));
        text +=
            base::Format("application %s: stored %s; recomputed %s\n",
                         order ? order->applicationNumber.c_str() : "?",
                         ResultText(difference.stored.allotted, difference.stored.refund,
                                    ReasonOf(difference.stored))
                             .c_str(),
                         ResultText(difference.recomputed.allotted, difference.recomputed.refund,
                                    ReasonOf(difference.recomputed))
                             .c_str());
    }
    return text + base::Format(
                      "%s: %zu of %zu applications differ from the allotment at %s "
                      "with this seed",
                      issueKey.c_str(), differences.size(), loaded.applications.size(),
                      base::Hundredths(issue.finalPrice).c_str());
}

std::string AllotmentReport(Store& store, const std::string& issueKey) {
    auto lock = store.Lock();
    const Transaction reading(store);  // writers wait while the applications are read
    IssueTable table(store);
    const AllotmentIssue issue = LoadFinalised(table, issueKey);
    const StoredAllotment loaded = LoadAllotment(store, issue);
    return allotment::BasisCsv(
        Allot(loaded.terms, loaded.applications, issue.finalPrice, issue.seed));
}

}  // namespace svc
