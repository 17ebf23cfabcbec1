#include "companion/call_guard.h"

#include <pthread.h>
#include <signal.h>

#include <ctime>

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

SigpipeGuard::SigpipeGuard() {
    sigset_t pending;
    sigpending(&pending);
    wasPending_ = sigismember(&pending, SIGPIPE) == 1;
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    sigset_t old;
    pthread_sigmask(SIG_BLOCK, &pipe, &old);
    wasBlocked_ = sigismember(&old, SIGPIPE) == 1;
}

SigpipeGuard::~SigpipeGuard() {
    if (!wasPending_) {
        sigset_t pending;
        sigpending(&pending);
        if (sigismember(&pending, SIGPIPE) == 1) {
            sigset_t pipe;
            sigemptyset(&pipe);
            sigaddset(&pipe, SIGPIPE);
            const timespec now{0, 0};
            sigtimedwait(&pipe, nullptr, &now);
        }
    }
    if (!wasBlocked_) {
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        pthread_sigmask(SIG_UNBLOCK, &pipe, nullptr);
    }
}

}  // namespace corvex
