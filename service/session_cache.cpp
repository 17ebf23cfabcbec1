#include "service/session_cache.h"

namespace svc {

void SessionCache::Follow(int64_t dataVersion) {
    if (dataVersion != dataVersion_) {
        sessions_.clear();
        dataVersion_ = dataVersion;
    }
}

const StoredSession* SessionCache::Find(const std::string& tokenKey) const {
    const auto found = sessions_.find(tokenKey);
    return found == sessions_.end() ? nullptr : &found->second;
}

const StoredSession& SessionCache::Keep(const std::string& tokenKey, const StoredSession& session) {
    if (sessions_.size() >= kMaxSessions) {
        sessions_.clear();
    }
    return sessions_.insert_or_assign(tokenKey, session).first->second;
}

void SessionCache::Forget(const std::string& tokenKey) {
    sessions_.erase(tokenKey);
}

}  // namespace svc
