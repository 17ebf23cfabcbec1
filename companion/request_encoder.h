// Turns a request record into the JSON body the service reads. A record that cannot be sent
// faithfully (a text that is not UTF-8, a price finer than a paisa, an unknown request code)
// is refused with a message naming what is wrong; nothing is guessed or cut.
#pragma once

#include <stdexcept>
#include <string>

#include "bridge/companion_abi.h"

namespace corvex {

class RequestRefused : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

std::string EncodeRequest(const IPOServiceRequest& request);

}  // namespace corvex
