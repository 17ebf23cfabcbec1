// Who is signed in. A user signs in with a password (kept only as a salted slow hash) and gets
// a random token with an expiry; every request carries it as "Authorization: Bearer <token>" and
// the service takes the user and the user type from it. Sessions live in the store, as a hash of
// the token, so a restart keeps them and the database file never holds a usable token.
#pragma once

#include <chrono>
#include <nlohmann/json.hpp>
#include <semaphore>
#include <string>

#include "service/session_cache.h"
#include "service/sign_in_limits.h"
#include "service/store.h"

namespace svc {

constexpr size_t kMinPasswordLength = 8;
constexpr size_t kMaxPasswordLength = 256;

// The user a valid token belongs to.
struct Session {
    std::string userId;
    int userType = 0;
};

class Sessions {
  public:
    // Password checks that may run at once (each holds 64 MiB). A sign-in waits for one in the
    // transport's thread, which serves other connections too, so it waits briefly: one that
    // finds none free within kHashPatience is refused (503, result 15).
    static constexpr std::ptrdiff_t kHashSlots = 2;
    static constexpr std::chrono::milliseconds kHashPatience{250};

    Sessions(Store& store, std::chrono::seconds lifetime);

    // Checks the password (in constant time, also for an unknown user) and opens a session:
    // {"result": 0, "token", "expires", "user_type"}. Refuses with 401 (result 14) or, beyond the
    // limits on guessing from `address` (sign_in_limits.h), 429 (result 15). Takes the store's
    // lock itself: the slow hash is checked without it.
    nlohmann::json SignIn(const std::string& userId, const std::string& password,
                          const std::string& address);
    // The session of an "Authorization" header value; refuses (401, result 14) a missing,
    // unknown or expired token. The caller holds the store's lock.
    Session Authenticate(const std::string& authorization);
    // Ends the session of an "Authorization" header value. The caller holds the store's lock.
    void SignOut(const std::string& authorization);

  private:
    // Whether `password` is the user's (also takes as long for an unknown user), and its type.
    bool PasswordMatches(const std::string& userId, const std::string& password, int& userType);

    Store& store_;
    std::chrono::seconds lifetime_;
    SignInLimits limits_;
    std::counting_semaphore<kHashSlots> hashSlots_{kHashSlots};
    SessionCache cache_;  // guarded by the store's lock, as Authenticate and SignOut are
};

// A salted slow hash of a password (libsodium's crypto_pwhash_str); refuses a password shorter
// than kMinPasswordLength or longer than kMaxPasswordLength.
std::string HashPassword(const std::string& password);
// Adds a user (its client id acted for; types 23 and 26 act for that client) with a password.
void AddUser(Store& store, const std::string& userId, int userType, const std::string& clientId,
             const std::string& name, const std::string& password);
// Sets a user's password and ends the user's sessions.
void SetPassword(Store& store, const std::string& userId, const std::string& password);

}  // namespace svc
