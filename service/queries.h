// The read-only requests: watch list (91), issue details (92), order book (93), user details
// (96) and the client lookup. Each answers the JSON object the protocol gives.
#pragma once

#include <nlohmann/json.hpp>

#include "service/access.h"
#include "service/request_fields.h"
#include "service/store.h"

namespace svc {

// The answer to a request the service took: result 0, accepted, and its records.
nlohmann::json Answer(nlohmann::json records, const std::string& message = "");

nlohmann::json WatchList(Store& store, const RequestHeader& header, const Fields& fields);
nlohmann::json IssueDetails(Store& store, const RequestHeader& header, const Fields& fields);
nlohmann::json OrderBook(Store& store, const RequestHeader& header, const Fields& fields);
nlohmann::json UserDetails(Store& store, const RequestHeader& header, const Fields& fields);
nlohmann::json ClientLookup(Store& store, const std::string& clientId);

}  // namespace svc
