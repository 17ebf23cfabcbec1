// The operator's commands that move an order through its life, so that every status the order
// book shows can be produced: confirm, reject with a reason, cancel (by the administrator or the
// exchange), allot a quantity, set the payment status.
#pragma once

#include <string>
#include <vector>

#include "service/store.h"

namespace svc {

// Runs one command: {order number, verb, argument...}. Returns the text to print; throws
// std::invalid_argument with a clear message when the command cannot be carried out.
std::string RunOperatorCommand(Store& store, const std::vector<std::string>& words);

// One line per command, for --help.
extern const char* const kOperatorUsage;

}  // namespace svc
