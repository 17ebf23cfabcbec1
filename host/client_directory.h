// The service's client lookup (GET /clients/<id>), which answers the plug-in's message 108.
#pragma once

#include <optional>
#include <string>

#include "host/service_endpoint.h"

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

// Looks clients up at the IPO service over http or https, in the signed-in user's session.
class ServiceClientDirectory : public ClientDirectory {
  public:
    void SetSession(ServiceEndpoint service, std::string token) {
        service_ = std::move(service);
        token_ = std::move(token);
    }
    std::optional<ClientRecord> Lookup(const std::string& clientId, std::string& error) override;

  private:
    ServiceEndpoint service_;
    std::string token_;
};
