// The basis of allotment as a registrar publishes it, as CSV text.
#pragma once

#include <string>

#include "service/allotment/allotment.h"

namespace allotment {

// A header line, then per pool (in order) and per number of shares applied (ascending) one row
// per number of shares allotted to an applicant (largest first; a group where nobody is allotted
// shows 0), then the pool's total: category, shares applied, applications, % of applications,
// shares applied in all, % of shares, shares allotted per applicant, ratio of allottees to
// applicants (reduced), shares allotted. Percentages have two decimals, rounded half up.
std::string BasisCsv(const Allotment& allotment);

}  // namespace allotment
