// How often a user id may be guessed at. Every attempt is counted before its password is checked,
// so attempts that arrive together never get more guesses than the limits allow:
// - from one address, kPerAddress attempts per user within kAddressWindow;
// - from everywhere, kPerUser failed attempts per user within kUserWindow, after which only
//   addresses that have signed in as that user before may go on trying (a guesser elsewhere
//   cannot lock the trader out).
// Counts are forgotten only once their window has passed, never to make room.
#pragma once

#include <chrono>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <utility>

namespace svc {

class SignInLimits {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kPerAddress = 5;
    static constexpr std::chrono::seconds kAddressWindow{60};
    static constexpr int kPerUser = 20;
    static constexpr std::chrono::seconds kUserWindow{15 * 60};

    // Counts an attempt of `userId` from `address` as a failure (until Succeeded); refuses it
    // (429, result 15) when a limit is reached.
    void Begin(const std::string& userId, const std::string& address, Clock::time_point now);
    // The attempt begun last for this user and address was right: its counts are cleared and
    // the address may sign in as the user from now on whatever others try.
    void Succeeded(const std::string& userId, const std::string& address);

  private:
    struct Count {
        int attempts = 0;
        Clock::time_point windowEnd;
    };
    using Key = std::pair<std::string, std::string>;  // user id, address

    // The count of `key` in `counts`, begun afresh once its window has passed.
    template <class K>
    Count& Current(std::map<K, Count>& counts, const K& key, Clock::time_point now,
                   std::chrono::seconds window);

    std::mutex mutex_;
    std::map<Key, Count> byAddress_;
    std::map<std::string, Count> byUser_;
    std::set<Key> known_;  // addresses that have signed in as the user
};

}  // namespace svc
