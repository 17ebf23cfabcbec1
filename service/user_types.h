// The user types the service serves, and whom each acts for: an investor (23) and a user of
// type 26 act for their own client, a dealer (24) for the clients mapped to it.
#pragma once

namespace svc {

enum UserType : int {
    kInvestor = 23,  // acts for its login client
    kDealer = 24,    // acts for a client mapped to it, and looks clients up
    kSelf = 26,      // acts for its own client, named as the request's client
};

inline bool IsServedUserType(int type) {
    return type == kInvestor || type == kDealer || type == kSelf;
}

}  // namespace svc
