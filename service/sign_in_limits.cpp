#include "service/sign_in_limits.h"

#include "base/text.h"
#include "service/request_fields.h"

namespace svc {
namespace {

// Past this many counts, those whose window has passed are dropped before a new one is added.
constexpr size_t kPruneAbove = 10'000;

template <class Counts>
void Prune(Counts& counts, SignInLimits::Clock::time_point now) {
    if (counts.size() < kPruneAbove) {
        return;
    }
    std::erase_if(counts, [now](const auto& entry) { return entry.second.windowEnd <= now; });
}

[[noreturn]] void Refuse(const std::string& userId, SignInLimits::Clock::duration left) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left).count() + 1;
    throw RequestError(429, kResultTooManySignIns,
                       base::Format("Too many failed sign-ins for %s; try again in %lld s",
                                    userId.c_str(), static_cast<long long>(seconds)));
}

}  // namespace

template <class K>
SignInLimits::Count& SignInLimits::Current(std::map<K, Count>& counts, const K& key,
                                           Clock::time_point now, std::chrono::seconds window) {
    auto found = counts.find(key);
    if (found == counts.end()) {
        Prune(counts, now);
        found = counts.emplace(key, Count{}).first;
    }
    if (found->second.windowEnd <= now) {
        found->second = Count{0, now + window};
    }
    return found->second;
}

void SignInLimits::Begin(const std::string& userId, const std::string& address,
                         Clock::time_point now) {
    std::lock_guard<std::mutex> lock(mutex_);
    Count& fromAddress = Current(byAddress_, Key(userId, address), now, kAddressWindow);
    if (fromAddress.attempts >= kPerAddress) {
        Refuse(userId, fromAddress.windowEnd - now);
    }
    Count& fromAll = Current(byUser_, userId, now, kUserWindow);
    if (fromAll.attempts >= kPerUser && !known_.contains(Key(userId, address))) {
        Refuse(userId, fromAll.windowEnd - now);
    }
    ++fromAddress.attempts;
    ++fromAll.attempts;
}

void SignInLimits::Succeeded(const std::string& userId, const std::string& address) {
    std::lock_guard<std::mutex> lock(mutex_);
    byAddress_.erase(Key(userId, address));
    const auto user = byUser_.find(userId);
    if (user != byUser_.end() && user->second.attempts > 0) {
        --user->second.attempts;
    }
    known_.insert(Key(userId, address));
}

}  // namespace svc
