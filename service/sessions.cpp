#include "service/sessions.h"

#include <sodium.h>

#include <ctime>
#include <stdexcept>

#include "base/text.h"
#include "service/limits.h"
#include "service/request_fields.h"
#include "service/user_table.h"
#include "service/user_types.h"

namespace svc {
namespace {

constexpr size_t kTokenBytes = 32;

void EnsureSodium() {
    static const bool ready = sodium_init() >= 0;
    if (!ready) {
        throw std::runtime_error("the cryptography library cannot start");
    }
}

RequestError NotSignedIn(const std::string& message) {
    return RequestError(401, kResultNotSignedIn, message);
}

int64_t UnixNow() {
    return static_cast<int64_t>(std::time(nullptr));
}

std::string LocalTimeText(int64_t seconds) {
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&time, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

// The store keeps a hash of each token, never the token.
std::string TokenKey(const std::string& token) {
    unsigned char digest[crypto_generichash_BYTES];
    crypto_generichash(digest, sizeof digest, reinterpret_cast<const unsigned char*>(token.data()),
                       token.size(), nullptr, 0);
    char hex[sizeof digest * 2 + 1];
    sodium_bin2hex(hex, sizeof hex, digest, sizeof digest);
    return hex;
}

std::string NewToken() {
    unsigned char bytes[kTokenBytes];
    randombytes_buf(bytes, sizeof bytes);
    char text[sodium_base64_ENCODED_LEN(kTokenBytes, sodium_base64_VARIANT_URLSAFE_NO_PADDING)];
    sodium_bin2base64(text, sizeof text, bytes, sizeof bytes,
                      sodium_base64_VARIANT_URLSAFE_NO_PADDING);
    return text;
}

// The token of an "Authorization: Bearer <token>" value, or empty.
std::string BearerToken(const std::string& authorization) {
    constexpr std::string_view kScheme = "bearer ";
    if (authorization.size() <= kScheme.size() ||
        !base::SameIgnoringCase(std::string_view(authorization).substr(0, kScheme.size()),
                                kScheme)) {
        return {};
    }
    return base::Trim(authorization.substr(kScheme.size()));
}

// Verifying against this hash when the user is unknown takes as long as a real check.
const std::string& StandInHash() {
    static const std::string hash = [] {
        unsigned char bytes[16];
        randombytes_buf(bytes, sizeof bytes);
        char hex[sizeof bytes * 2 + 1];
        sodium_bin2hex(hex, sizeof hex, bytes, sizeof bytes);
        return HashPassword(hex);
    }();
    return hash;
}

bool HashMatches(const std::string& hash, const std::string& password) {
    return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

}  // namespace

Sessions::Sessions(Store& store, std::chrono::seconds lifetime)
    : store_(store), lifetime_(lifetime) {
    EnsureSodium();
    StandInHash();  // made now, not in a sign-in beside the bounded ones
}

bool Sessions::PasswordMatches(const std::string& userId, const std::string& password,
                               int& userType) {
    std::string hash;
    {
        auto lock = store_.Lock();
        if (const std::optional<Credentials> user = UserTable(store_).CredentialsOf(userId)) {
            hash = user->passwordHash;
            userType = user->userType;
        }
    }
    if (!hashSlots_.try_acquire_for(kHashPatience)) {
        throw RequestError(503, kResultTooManySignIns,
                           "The service is busy checking other sign-ins; try again shortly");
    }
    const bool known = !hash.empty();
    const bool matches = HashMatches(known ? hash : StandInHash(), password) && known;
    hashSlots_.release();
    return matches;
}

nlohmann::json Sessions::SignIn(const std::string& userId, const std::string& password,
                                const std::string& address) {
    limits_.Begin(userId, address, SignInLimits::Clock::now());
    int userType = 0;
    if (!PasswordMatches(userId, password, userType)) {
        throw NotSignedIn("Wrong user id or password");
    }
    limits_.Succeeded(userId, address);
    const std::string token = NewToken();
    const int64_t now = UnixNow();
    const int64_t expires = now + lifetime_.count();
    auto lock = store_.Lock();
    UserTable users(store_);
    users.StartSession(TokenKey(token), userId, expires, now);
    const UserTable::OwnClient client = users.OwnClientOf(userId);
    return {{"result", 0},
            {"token", token},
            {"expires", LocalTimeText(expires)},
            {"user_id", userId},
            {"user_type", userType},
            {"client_id", client.clientId},
            {"client_code", client.clientCode}};
}

Session Sessions::Authenticate(const std::string& authorization) {
    const std::string token = BearerToken(authorization);
    if (token.empty()) {
        throw NotSignedIn("Not signed in: the request carries no session token");
    }
    const std::string key = TokenKey(token);
    cache_.Follow(store_.DataVersion());
    const StoredSession* found = cache_.Find(key);
    if (!found) {
        const std::optional<StoredSession> stored = UserTable(store_).Session(key);
        if (!stored) {
            throw NotSignedIn("Not signed in: the session token is not known; sign in again");
        }
        found = &cache_.Keep(key, *stored);
    }
    if (found->expires <= UnixNow()) {
        cache_.Forget(key);
        throw NotSignedIn("The session has expired; sign in again");
    }
    return Session{found->userId, found->userType};
}

void Sessions::SignOut(const std::string& authorization) {
    Authenticate(authorization);
    const std::string key = TokenKey(BearerToken(authorization));
    UserTable(store_).EndSession(key);
    cache_.Forget(key);
}

std::string HashPassword(const std::string& password) {
    EnsureSodium();
    if (password.size() < kMinPasswordLength || password.size() > kMaxPasswordLength) {
        throw std::invalid_argument(base::Format("a password has %zu to %zu characters",
                                                 kMinPasswordLength, kMaxPasswordLength));
    }
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, password.data(), password.size(),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0) {
        throw std::runtime_error("out of memory while hashing the password");
    }
    return hash;
}

void AddUser(Store& store, const std::string& userId, int userType, const std::string& clientId,
             const std::string& name, const std::string& password) {
    if (!IsServedUserType(userType)) {
        throw std::invalid_argument("the user type is 23, 24 or 26");
    }
    if (userId.empty() || userId.size() > width::kUserId) {
        throw std::invalid_argument("a user id has 1 to 100 characters");
    }
    const std::string hash = HashPassword(password);
    auto lock = store.Lock();
    UserTable users(store);
    if (users.Exists(userId)) {
        throw std::invalid_argument("user " + userId + " exists already");
    }
    users.Insert(userId, userType, clientId, name, hash);
}

void SetPassword(Store& store, const std::string& userId, const std::string& password) {
    const std::string hash = HashPassword(password);
    auto lock = store.Lock();
    UserTable users(store);
    if (!users.Exists(userId)) {
        throw std::invalid_argument("no user " + userId);
    }
    Transaction transaction(store);
    users.SetPasswordHash(userId, hash);
    transaction.Commit();
}

}  // namespace svc
