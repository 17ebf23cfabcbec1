// The native helper ipo-x-input under Wine: started once, at the first use, when the environment's
// IPO_X_INPUT names it; it sends the input through the X server (see its own file for the
// commands). A test tool, never shipped.
#pragma once

#include <string>

namespace fw::win32::input {

// The helper, or null where IPO_X_INPUT names none (on Windows itself). A helper named but not
// started ends the program with the reason, as no input could reach any window.
class XInputHelper {
  public:
    static XInputHelper* Get();
    // Runs one command line; its answer's number (the key and button releases sent, or the
    // active X window), or -1 when the helper refused it. Callable from any thread.
    long long Run(const std::string& command);

  private:
    explicit XInputHelper(unsigned long long connection) : connection_(connection) {}
    unsigned long long connection_;  // a socket
};

}  // namespace fw::win32::input
