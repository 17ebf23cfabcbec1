// The service's client lookup (GET /clients/<id>), which answers the plug-in's message 108.
#pragma once

#include <optional>
#include <string>

struct ClientRecord {
    std::string id;
    std::string code;
    std::string name;
};

class ClientDirectory {
  public:
    virtual ~ClientDirectory() = default;
    // The client with this id; none when it is unknown or the service cannot be reached, with
    // the reason in `error`.
    virtual std::optional<ClientRecord> Lookup(const std::string& clientId, std::string& error) = 0;
};

// Looks clients up at the IPO service over HTTP, in the signed-in user's session.
class ServiceClientDirectory : public ClientDirectory {
  public:
    ServiceClientDirectory(std::string host, int port);
    void SetToken(std::string token) { token_ = std::move(token); }
    std::optional<ClientRecord> Lookup(const std::string& clientId, std::string& error) override;

  private:
    std::string host_;
    int port_;
    std::string token_;
};
