#include "companion/call_guard.h"

namespace corvex {

Watchdog::Watchdog() : thread_([this] { Watch(); }) {}

Watchdog::~Watchdog() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ending_ = true;
    }
    changed_.notify_one();
    thread_.join();
}

void Watchdog::Arm(Clock::time_point deadline, std::function<void()> action) {
    bool wake = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        armed_ = true;
        fired_ = false;
        deadline_ = deadline;
        action_ = std::move(action);
        wake = sleepsUntil_ > deadline;
    }
    if (wake) {
        changed_.notify_one();
    }
}

bool Watchdog::Disarm() {
    std::lock_guard<std::mutex> lock(mutex_);  // waits for an action in progress
    armed_ = false;
    action_ = nullptr;
    return fired_;
}

void Watchdog::Watch() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!ending_) {
        if (!armed_) {
            sleepsUntil_ = Clock::time_point::max();
            changed_.wait(lock);
            continue;
        }
        sleepsUntil_ = deadline_;
        if (changed_.wait_until(lock, sleepsUntil_) == std::cv_status::timeout && armed_ &&
            Clock::now() >= deadline_) {
            armed_ = false;
            fired_ = true;
            action_();
        }
    }
}

}  // namespace corvex
