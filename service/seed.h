// Sample data for a new database, dated relative to today: current, forthcoming and closed
// issues, users of types 23, 24 and 26, the dealer's clients, UPI ids and bank accounts.
#pragma once

#include "service/store.h"

namespace svc {

// Fills an empty store; a store that already holds issues is left as it is (false).
bool Seed(Store& store);

}  // namespace svc
