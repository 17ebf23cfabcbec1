// The folder of the companion library itself, where its settings file lies.
#pragma once

#include <string>

namespace corvex {

// "." when it cannot be told.
std::string LibraryFolder();

}  // namespace corvex
