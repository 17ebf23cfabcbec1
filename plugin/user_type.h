// The user types the host hands over in the login configuration, and whom each acts for: the
// one place where types 23, 24 and 26 are told apart (bridge/party.h chooses a request's party).
#pragma once

#include <cstdint>
#include <string>

enum UserType : uint16_t {
    kInvestorUserType = 23,  // acts for the logged-in party
    kDealerUserType = 24,    // acts for a client the user chooses
    kSelfUserType = 26,      // acts for the logged-in party, named as login and as client
};

// True for the user types the service serves (23, 24 and 26); for any other the views send no
// request at all.
bool IsServedUserType(uint16_t userType);

// True for the types that act for the logged-in party (23 and 26).
bool ActsForLoggedInParty(uint16_t userType);

struct Party {
    std::string code;
    std::string id;
};

// The client the host is told is now in use: for type 24 the chosen client (the login's code
// in place of an empty code), for 26 the logged-in party, for any other type nobody (empty).
Party SelectedClient(const std::string& chosenCode, const std::string& chosenId);
