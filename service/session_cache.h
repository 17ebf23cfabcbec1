// Sessions found in the store, kept in memory so that a request need not look its token up in
// the store again. In this process the store's sessions and users change only by signing in,
// which adds a token, and by signing out, after which Sessions forgets the token. Every other
// change (the operator's command setting a password, which ends the user's sessions, or adding a
// user) is committed by another process, which moves the store's data version and so empties
// the cache before its next use.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "service/user_table.h"

namespace svc {

class SessionCache {
  public:
    // Empties the cache when the store's data version has moved since the last call.
    void Follow(int64_t dataVersion);
    // The session kept for a token's key; null when none is.
    const StoredSession* Find(const std::string& tokenKey) const;
    // Keeps a session found in the store; gives the one kept.
    const StoredSession& Keep(const std::string& tokenKey, const StoredSession& session);
    void Forget(const std::string& tokenKey);

  private:
    // Enough for every trader of a broker; beyond it the cache starts again rather than grow.
    static constexpr size_t kMaxSessions = 20000;

    std::unordered_map<std::string, StoredSession> sessions_;
    int64_t dataVersion_ = -1;
};

}  // namespace svc
