// A guard that keeps a peer closing the connection mid-write from raising SIGPIPE in the host's
// process (Linux).
#pragma once

namespace corvex {

// SIGPIPE blocked for the calling thread while it lives; one raised meanwhile is consumed.
class SigpipeGuard {
  public:
    SigpipeGuard();
    ~SigpipeGuard();
    SigpipeGuard(const SigpipeGuard&) = delete;
    SigpipeGuard& operator=(const SigpipeGuard&) = delete;

  private:
    bool wasPending_ = false;
    bool wasBlocked_ = false;
};

}  // namespace corvex
