#include "service/allotment/terms.h"

#include "base/text.h"

namespace allotment {

Split DefaultSplit(int64_t sharesOffered, int64_t employee, int64_t shareholder) {
    const int64_t net = sharesOffered - employee - shareholder;
    Split split;
    split.employee = employee;
    split.shareholder = shareholder;
    split.retail = (net * 35 + 99) / 100;
    split.nonInstitutional = (net * 15 + 99) / 100;
    split.institutional = net - split.retail - split.nonInstitutional;
    return split;
}

std::string TermsFault(const IssueTerms& terms) {
    const Split& s = terms.split;
    if (terms.priceLow <= 0 || terms.priceHigh < terms.priceLow) {
        return base::Format("Price band %d to %d paise is not valid", terms.priceLow,
                            terms.priceHigh);
    }
    if (terms.lotSize <= 0) {
        return base::Format("Lot size %d is not valid", terms.lotSize);
    }
    if (terms.employeeDiscount < 0 || terms.employeeDiscount >= terms.priceLow) {
        return base::Format("Employee discount %d paise is not below the band",
                            terms.employeeDiscount);
    }
    if (s.retail < 0 || s.nonInstitutional < 0 || s.institutional < 0 || s.employee < 0 ||
        s.shareholder < 0) {
        return "A category's shares are negative";
    }
    const int64_t net = s.retail + s.nonInstitutional + s.institutional;
    if (s.retail * 100 < net * 35) {
        return base::Format("Retail shares %lld are below 35 %% of the net issue %lld",
                            static_cast<long long>(s.retail), static_cast<long long>(net));
    }
    if (s.nonInstitutional * 100 < net * 15) {
        return base::Format("Non-institutional shares %lld are below 15 %% of the net issue %lld",
                            static_cast<long long>(s.nonInstitutional),
                            static_cast<long long>(net));
    }
    return {};
}

int64_t SharesOfferedToBidders(const Split& split) {
    return split.retail + split.nonInstitutional + split.employee + split.shareholder;
}

}  // namespace allotment
