#include "plugin/user_type.h"

#include "plugin/login_context.h"

bool IsServedUserType(uint16_t userType) {
    return ActsForLoggedInParty(userType) || userType == kDealerUserType;
}

bool ActsForLoggedInParty(uint16_t userType) {
    return userType == kInvestorUserType || userType == kSelfUserType;
}

Party SelectedClient(const std::string& chosenCode, const std::string& chosenId) {
    const LoginContext& login = Login();
    if (login.UserType == kDealerUserType) {
        return {chosenCode.empty() ? login.LoginClientCode : chosenCode, chosenId};
    }
    if (login.UserType == kSelfUserType) {
        return {login.LoginClientCode, login.LoginClientId};
    }
    return {};
}
