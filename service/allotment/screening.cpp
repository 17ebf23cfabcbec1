#include "service/allotment/screening.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <utility>

namespace allotment {

namespace {

bool IsLetter(char c) {
    return c >= 'A' && c <= 'Z';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The PAN as one number (base 36 over its ten characters); none when it is not of the form
// AAAAA9999A.
std::optional<uint64_t> PanKey(const std::array<char, 10>& pan) {
    uint64_t key = 0;
    for (size_t i = 0; i < pan.size(); ++i) {
        const char c = pan[i];
        const bool digitPlace = i >= 5 && i < 9;
        if (digitPlace ? !IsDigit(c) : !IsLetter(c)) {
            return std::nullopt;
        }
        key = key * 36 + static_cast<uint64_t>(IsDigit(c) ? c - '0' : c - 'A' + 10);
    }
    return key;
}

bool CutOffAllowed(Category category) {
    return category == Category::Retail || category == Category::Employee;
}

bool BidsValid(const IssueTerms& terms, const Application& application) {
    if (application.bidCount == 0 || application.bidCount > kMaxBids) {
        return false;
    }
    for (int i = 0; i < application.bidCount; ++i) {
        const Bid& bid = application.bids[i];
        if (bid.quantity <= 0 || bid.quantity % terms.lotSize != 0) {
            return false;
        }
        const bool priced = bid.price >= terms.priceLow && bid.price <= terms.priceHigh;
        if (bid.cutOff ? !CutOffAllowed(application.category) : !priced) {
            return false;
        }
    }
    return true;
}

Reason OwnFault(const IssueTerms& terms, const Application& application) {
    if (!application.fundsBlocked) {
        return Reason::NotBlocked;
    }
    if (!PanKey(application.pan)) {
        return Reason::InvalidPan;
    }
    return BidsValid(terms, application) ? Reason::None : Reason::InvalidBid;
}

}  // namespace

const char* ReasonText(Reason reason) {
    static constexpr const char* kTexts[] = {
        "",
        "Mandate not accepted or funds not blocked",
        "PAN not valid",
        "Bid not valid",
        "Multiple applications for one PAN",
        "Every bid below the issue price",
        "Blocked amount below the bid's amount",
    };
    static_assert(std::size(kTexts) == static_cast<size_t>(Reason::BlockedShort) + 1);
    return kTexts[static_cast<size_t>(reason)];
}

std::vector<Reason> Screen(const IssueTerms& terms, std::span<const Application> applications) {
    std::vector<Reason> reasons(applications.size());
    std::vector<std::pair<uint64_t, uint32_t>> byPan;  // (PAN key, index)
    for (size_t i = 0; i < applications.size(); ++i) {
        if (i > 0 && applications[i].number <= applications[i - 1].number) {
            throw AllotmentError(
                "Application numbers must ascend: " + std::to_string(applications[i].number) +
                " comes after " + std::to_string(applications[i - 1].number));
        }
        reasons[i] = OwnFault(terms, applications[i]);
        if (reasons[i] == Reason::None) {
            byPan.emplace_back(*PanKey(applications[i].pan), static_cast<uint32_t>(i));
        }
    }
    // Indices ascend with application numbers, so the first of each PAN is the earliest.
    std::sort(byPan.begin(), byPan.end());
    for (size_t k = 1; k < byPan.size(); ++k) {
        if (byPan[k].first == byPan[k - 1].first) {
            reasons[byPan[k].second] = Reason::MultipleApplication;
        }
    }
    return reasons;
}

int32_t DemandAt(const Application& application, int32_t price) {
    int32_t demand = 0;
    for (int i = 0; i < application.bidCount; ++i) {
        const Bid& bid = application.bids[i];
        if (bid.cutOff || bid.price >= price) {
            demand = std::max(demand, bid.quantity);
        }
    }
    return demand;
}

std::optional<int32_t> CoveringPrice(const IssueTerms& terms,
                                     std::span<const Application> applications,
                                     std::span<const Reason> screened) {
    // Each application's demand rises, going down in price, at some of its bids' prices: one
    // (price, rise) step at each distinct price, a cut-off bid counting at the top of the band.
    std::vector<std::pair<int32_t, int32_t>> steps;
    for (size_t i = 0; i < applications.size(); ++i) {
        if (screened[i] != Reason::None) {
            continue;
        }
        const Application& application = applications[i];
        std::array<int32_t, kMaxBids> prices{};
        for (int j = 0; j < application.bidCount; ++j) {
            const Bid& bid = application.bids[j];
            prices[j] = bid.cutOff ? terms.priceHigh : bid.price;
        }
        for (int j = 0; j < application.bidCount; ++j) {
            int32_t atPrice = 0;
            int32_t above = 0;
            bool seen = false;
            for (int k = 0; k < application.bidCount; ++k) {
                const int32_t quantity = application.bids[k].quantity;
                atPrice = prices[k] >= prices[j] ? std::max(atPrice, quantity) : atPrice;
                above = prices[k] > prices[j] ? std::max(above, quantity) : above;
                seen = seen || (k < j && prices[k] == prices[j]);
            }
            if (!seen && atPrice > above) {
                steps.emplace_back(prices[j], atPrice - above);
            }
        }
    }
    std::sort(steps.begin(), steps.end(), std::greater<>());
    const int64_t offered = SharesOfferedToBidders(terms.split);
    int64_t demand = 0;
    for (const auto& [price, rise] : steps) {
        demand += rise;
        if (demand >= offered) {
            return price;
        }
    }
    return std::nullopt;
}

}  // namespace allotment
