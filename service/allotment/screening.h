// Which applications take part in an allotment, and what each asks for at a price.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "service/allotment/terms.h"

namespace allotment {

// Why an application gets nothing. None: it took part (and may still have lost a draw).
enum class Reason : uint8_t {
    None,
    NotBlocked,
    InvalidPan,
    InvalidBid,
    MultipleApplication,
    BelowPrice,
    BlockedShort,
};

const char* ReasonText(Reason reason);

// The reasons that do not depend on the price, one per application: funds not blocked, a PAN
// not of the form AAAAA9999A, a bid that is not valid (no bids, a quantity that is not a whole
// number of lots, a price outside the band, cut-off outside the retail and employee categories),
// and, of the applications left, every one after the first (by application number) of one PAN.
// Throws AllotmentError when the application numbers do not ascend.
std::vector<Reason> Screen(const IssueTerms& terms, std::span<const Application> applications);

// The shares an application asks for at `price`: its largest bid quantity at or above the price,
// a cut-off bid counting at any price; 0 when every bid is below it.
int32_t DemandAt(const Application& application, int32_t price);

// The price at which the demand of the applications that passed `Screen` first covers the shares
// offered to bidders, going down from the top of the band; none when it is not covered even at
// the bottom.
std::optional<int32_t> CoveringPrice(const IssueTerms& terms,
                                     std::span<const Application> applications,
                                     std::span<const Reason> screened);

}  // namespace allotment
