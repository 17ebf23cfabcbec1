#include "bridge/party.h"

#include "bridge/companion_abi.h"
#include "plugin/field_refusal.h"
#include "plugin/login_context.h"

bool ChooseParty(const std::string& chosenCode, const std::string& chosenId, Party& party) {
    const LoginContext& login = Login();
    if (login.UserType == kDealerUserType) {
        if (chosenCode.empty() || chosenId.empty()) {
            return false;
        }
        party = {chosenCode, chosenId};
    } else if (ActsForLoggedInParty(login.UserType)) {
        party = {login.LoginClientCode, login.LoginClientId};
    } else {
        return false;
    }
    return FitsOrRefuse(party.code, sizeof(IPOServiceRequest::ClientCode), "Client Code") &&
           FitsOrRefuse(party.id, sizeof(IPOServiceRequest::ClientId), "Client Id");
}
