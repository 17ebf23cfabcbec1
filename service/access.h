// Who a request comes from and whom it acts for. Nobody reaches what is not theirs: the user
// must exist with the type it claims, and the client acted for must be the user's own (types
// 23 and 26) or mapped to the user (type 24).
#pragma once

#include <cstdint>
#include <string>

#include "service/request_fields.h"
#include "service/store.h"

namespace svc {

// The header fields every request carries.
struct RequestHeader {
    int code = 0;
    int userType = 0;
    std::string userId;
    std::string clientCode;  // acting-for client
    std::string clientId;    // acting-for client
    std::string loginClientId;
    std::string loginClientCode;

    static RequestHeader Read(const Fields& fields);
};

// The client a request acts for, as the store knows it.
struct Party {
    std::string userId;
    int userType = 0;
    std::string clientId;
    std::string clientCode;
    std::string clientName;
};

// Resolves the client acted for; refuses a client that is not the user's. The header's user is
// the signed-in one: the server has checked it against the session before any handler runs.
Party ResolveParty(Store& store, const RequestHeader& header);

}  // namespace svc
