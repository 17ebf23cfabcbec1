// The party a service request acts for, chosen by the login's user type.
#pragma once

#include <string>

#include "plugin/user_type.h"

// For type 24 the chosen client (nobody while its code or id is empty), for 23 and 26 the
// logged-in party, for any other type nobody. False, without a message, for nobody; false with
// a message naming the field when the code or id does not fit the request's field.
bool ChooseParty(const std::string& chosenCode, const std::string& chosenId, Party& party);
