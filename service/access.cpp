#include "service/access.h"

#include "base/text.h"
#include "service/limits.h"
#include "service/user_table.h"
#include "service/user_types.h"

namespace svc {
namespace {

RequestError Refused(const std::string& message) {
    return RequestError(403, kResultRefused, message);
}

}  // namespace

RequestHeader RequestHeader::Read(const Fields& fields) {
    RequestHeader header;
    header.code = static_cast<int>(fields.Integer("code", 0, 65535));
    header.userType = static_cast<int>(fields.Integer("user_type", 0, 65535));
    header.userId = fields.Text("user_id", width::kUserId);
    header.clientCode = fields.Text("client_code", width::kClientCode);
    header.clientId = fields.Text("client_id", width::kClientId);
    header.loginClientId = fields.Text("login_client_id", width::kClientId);
    header.loginClientCode = fields.Text("login_client_code", width::kClientCode);
    return header;
}

Party ResolveParty(Store& store, const RequestHeader& header) {
    Party party;
    party.userId = header.userId;
    party.userType = header.userType;
    const std::string& clientId =
        header.userType == kInvestor ? header.loginClientId : header.clientId;
    const std::string& clientCode =
        header.userType == kInvestor ? header.loginClientCode : header.clientCode;
    if (clientId.empty()) {
        throw Refused("Client Id is required");
    }
    const std::optional<ClientForUser> client = UserTable(store).Client(header.userId, clientId);
    if (!client) {
        throw Refused("Unknown client " + clientId);
    }
    const bool mine = header.userType == kDealer ? client->dealerId == header.userId
                                                 : client->usersOwnClientId == clientId;
    if (!mine) {
        throw Refused(base::Format("Client %s is not mapped to user %s", clientId.c_str(),
                                   header.userId.c_str()));
    }
    party.clientId = clientId;
    party.clientCode = client->code;
    party.clientName = client->name;
    if (!clientCode.empty() && clientCode != party.clientCode) {
        throw Refused(base::Format("Client code %s does not belong to client %s",
                                   clientCode.c_str(), clientId.c_str()));
    }
    return party;
}

}  // namespace svc
