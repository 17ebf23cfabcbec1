#include "service/user_table.h"

namespace svc {

bool UserTable::Exists(const std::string& userId) {
    return store_.Prepare("SELECT 1 FROM users WHERE user_id = ?", userId).Next();
}

std::optional<Credentials> UserTable::CredentialsOf(const std::string& userId) {
    Query user =
        store_.Prepare("SELECT password_hash, user_type FROM users WHERE user_id = ?", userId);
    if (!user.Next()) {
        return std::nullopt;
    }
    return Credentials{user.Text(0), static_cast<int>(user.Int(1))};
}

void UserTable::Insert(const std::string& userId, int userType, const std::string& clientId,
                       const std::string& name, const std::string& passwordHash) {
    store_
        .Prepare(
            "INSERT INTO users(user_id, user_type, client_id, name, password_hash) "
            "VALUES(?, ?, ?, ?, ?)",
            userId, int64_t{userType}, clientId, name, passwordHash)
        .Run();
}

void UserTable::SetPasswordHash(const std::string& userId, const std::string& passwordHash) {
    store_.Prepare("UPDATE users SET password_hash = ? WHERE user_id = ?", passwordHash, userId)
        .Run();
    store_.Prepare("DELETE FROM sessions WHERE user_id = ?", userId).Run();
}

std::optional<ClientForUser> UserTable::Client(const std::string& userId,
                                               const std::string& clientId) {
    Query client = store_.Prepare(
        "SELECT c.client_code, c.name, c.dealer_id, u.client_id FROM clients c "
        "JOIN users u ON u.user_id = ? WHERE c.client_id = ?",
        userId, clientId);
    if (!client.Next()) {
        return std::nullopt;
    }
    return ClientForUser{client.Text(0), client.Text(1), client.Text(2), client.Text(3)};
}

UserTable::OwnClient UserTable::OwnClientOf(const std::string& userId) {
    Query client = store_.Prepare(
        "SELECT u.client_id, COALESCE(c.client_code, '') FROM users u "
        "LEFT JOIN clients c ON c.client_id = u.client_id WHERE u.user_id = ?",
        userId);
    if (!client.Next()) {
        return {};
    }
    return {client.Text(0), client.Text(1)};
}

void UserTable::StartSession(const std::string& tokenKey, const std::string& userId,
                             int64_t expires, int64_t now) {
    store_.Prepare("DELETE FROM sessions WHERE expires <= ?", now).Run();
    store_
        .Prepare("INSERT INTO sessions(token_hash, user_id, expires) VALUES(?, ?, ?)", tokenKey,
                 userId, expires)
        .Run();
}

std::optional<StoredSession> UserTable::Session(const std::string& tokenKey) {
    Query found = store_.Prepare(
        "SELECT s.expires, u.user_id, u.user_type FROM sessions s JOIN users u "
        "ON u.user_id = s.user_id WHERE s.token_hash = ?",
        tokenKey);
    if (!found.Next()) {
        return std::nullopt;
    }
    return StoredSession{found.Int(0), found.Text(1), static_cast<int>(found.Int(2))};
}

void UserTable::EndSession(const std::string& tokenKey) {
    store_.Prepare("DELETE FROM sessions WHERE token_hash = ?", tokenKey).Run();
}

}  // namespace svc
