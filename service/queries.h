// The read-only requests: watch list (91), issue details (92), order book (93), user details
// (96) and the client lookup. Each answers the JSON object the protocol gives.
#pragma once

#include <nlohmann/json.hpp>

#include "service/access.h"
#include "service/request_fields.h"
#include "service/store.h"

namespace svc {

// The body of the answer to a request the service took: result 0, accepted, and its records.
std::string Answer(const nlohmann::json& records);

// Each request handler answers with the body of its answer. The caller holds the store's lock.
std::string WatchList(Store& store, const RequestHeader& header, const Fields& fields);
std::string IssueDetails(Store& store, const RequestHeader& header, const Fields& fields);
std::string OrderBook(Store& store, const RequestHeader& header, const Fields& fields);
std::string UserDetails(Store& store, const RequestHeader& header, const Fields& fields);
// A client of the dealer `dealerId`; another dealer's client is as unknown as a missing one.
nlohmann::json ClientLookup(Store& store, const std::string& clientId, const std::string& dealerId);

}  // namespace svc
