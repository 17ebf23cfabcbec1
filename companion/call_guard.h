// What bounds one HTTP call of the companion on Linux: a watchdog that runs an action (closing
// the connection) when the call's deadline passes, whatever stage the call is in.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace corvex {

class Watchdog {
  public:
    using Clock = std::chrono::steady_clock;
    Watchdog();
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    // Runs `action` (on the watchdog's thread) if Disarm() has not been called by `deadline`.
    void Arm(Clock::time_point deadline, std::function<void()> action);
    // Returns once the action can no longer run; true when it did run.
    bool Disarm();

  private:
    void Watch();

    std::mutex mutex_;
    std::condition_variable changed_;
    bool armed_ = false;
    bool fired_ = false;
    bool ending_ = false;
    Clock::time_point deadline_;
    // Until when the watchdog's thread sleeps (max: until woken). A call whose deadline falls
    // later is checked when that sleep ends, so back-to-back calls do not wake the thread.
    Clock::time_point sleepsUntil_ = Clock::time_point::max();
    std::function<void()> action_;
    std::thread thread_;
};

}  // namespace corvex
