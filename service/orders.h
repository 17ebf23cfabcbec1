// Placing, modifying (94) and cancelling (95) orders. A request the service takes but whose
// order breaks a business rule is answered with a record of status 0 and the rule's message;
// a taken order is committed durably before it is answered.
#pragma once

#include <string>

#include "service/access.h"
#include "service/request_fields.h"
#include "service/store.h"

namespace svc {

std::string PlaceOrder(Store& store, const RequestHeader& header, const Fields& fields);
std::string CancelOrder(Store& store, const RequestHeader& header, const Fields& fields);

}  // namespace svc
