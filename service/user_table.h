// The store's side of users, their sessions and the clients they act for: every statement that
// signing in, checking a request's user and party, and the user commands run on those tables.
// The caller holds the store's lock.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "service/store.h"

namespace svc {

struct Credentials {
    std::string passwordHash;  // empty until an operator sets a password
    int userType = 0;
};

struct StoredSession {
    int64_t expires = 0;  // Unix time
    std::string userId;
    int userType = 0;
};

// A client as a user sees it: its code and name, its dealer, and the client the user is.
struct ClientForUser {
    std::string code;
    std::string name;
    std::string dealerId;
    std::string usersOwnClientId;
};

class UserTable {
  public:
    explicit UserTable(Store& store) : store_(store) {}

    bool Exists(const std::string& userId);
    std::optional<Credentials> CredentialsOf(const std::string& userId);
    void Insert(const std::string& userId, int userType, const std::string& clientId,
                const std::string& name, const std::string& passwordHash);
    // Sets the password and ends the user's sessions.
    void SetPasswordHash(const std::string& userId, const std::string& passwordHash);

    std::optional<ClientForUser> Client(const std::string& userId, const std::string& clientId);
    // The client a terminal signs in for: the user's own, and its code (empty when it has none).
    struct OwnClient {
        std::string clientId;
        std::string clientCode;
    };
    OwnClient OwnClientOf(const std::string& userId);

    // Drops the sessions expired by `now`, then stores the new one.
    void StartSession(const std::string& tokenKey, const std::string& userId, int64_t expires,
                      int64_t now);
    std::optional<StoredSession> Session(const std::string& tokenKey);
    void EndSession(const std::string& tokenKey);

  private:
    Store& store_;
};

}  // namespace svc
