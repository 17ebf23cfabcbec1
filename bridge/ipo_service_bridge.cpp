#include "bridge/ipo_service_bridge.h"

#include <memory>
#include <string>

#include "base/platform.h"
#include "base/text.h"
#include "framework/backend.h"
#include "framework/shared_library.h"
#include "plugin/host_callbacks.h"
#include "plugin/login_context.h"
#include "plugin/user_type.h"

// The companion library and its entry points; an entry point it lacks stays null.
class IPOServiceBridge {
  public:
    void Load(const std::string& path);
    bool IsLoaded() const { return library_.IsLoaded(); }

    bool loadAttempted = false;
    SetDataIPOSetCallBackFunFn setDataCallback = nullptr;
    GetIPOWatchListInfoFn getWatchList = nullptr;
    GetIPOGetterFn getWatchDetails = nullptr;
    GetIPOGetterFn getUserDetails = nullptr;
    GetIPOGetterFn getOrderResponse = nullptr;
    GetIPOGetterFn getOrderBook = nullptr;
    GetIPOGetterFn getCancelResponse = nullptr;
    CompanionCleanUpFn cleanUp = nullptr;
    InitializeCorvexDllFn initialize = nullptr;
    ProcessCallFn processCall = nullptr;

  private:
    fw::SharedLibrary library_;
};

namespace {

constexpr const char* kCompanionName = "Corvexdll64";

std::unique_ptr<IPOServiceBridge> g_bridge;

// Appends each answer record the companion delivers for one of the six requests.
void OnIPOData(void* record, uint16_t type) {
    if (record && type >= kRequestWatchList && type <= kRequestUserDetails) {
        ResultList().push_back(record);
    }
}

uint16_t CodeOf(const uint16_t* requestCode) {
    return requestCode ? *requestCode : 0;
}

// Writes the party fields of the request by the login's user type; false when a text does not
// fit its field (the request must then not be sent).
bool FillPartyFields(IPOServiceRequest& request, std::string_view clientCode,
                     std::string_view clientId) {
    const LoginContext& login = Login();
    switch (login.UserType) {
        case kInvestorUserType:
            return base::CopyField(request.LoginClientId, clientId) &&
                   base::CopyField(request.LoginClientCode, clientCode);
        case kDealerUserType:
            return base::CopyField(request.LoginClientId, login.LoginClientId) &&
                   base::CopyField(request.LoginClientCode, login.LoginClientCode) &&
                   base::CopyField(request.ClientId, clientId) &&
                   base::CopyField(request.ClientCode, clientCode);
        case kSelfUserType:
            return base::CopyField(request.LoginClientId, clientId) &&
                   base::CopyField(request.LoginClientCode, clientCode) &&
                   base::CopyField(request.ClientId, clientId) &&
                   base::CopyField(request.ClientCode, clientCode);
        default:
            return true;
    }
}

// 1 when the request may be sent, 0 when the companion is not loaded, no URL is configured for
// the code or a host text does not fit its field.
int FillRequestHeader(IPOServiceBridge* bridge, IPOServiceRequest& request, uint16_t code,
                      std::string_view clientCode, std::string_view clientId) {
    if (!bridge || !bridge->IsLoaded()) {
        return 0;
    }
    ClearResultList();
    const tagIPOURLMaster* url = LookupURL(code);
    if (!url) {
        return 0;
    }
    if (!base::CopyField(request.URL, url->URL) ||
        !base::CopyField(request.UserId, Login().UserId)) {
        return 0;
    }
    request.RequestCode = code;
    if (!clientId.empty() && !FillPartyFields(request, clientCode, clientId)) {
        return 0;
    }
    request.UserType = Login().UserType;
    return 1;
}

// Runs the request through the companion: 1 on success; on failure the service's text goes to
// the host (message 65636) and 0 is returned.
int CallService(IPOServiceBridge* bridge, IPOServiceRequest& request) {
    fw::WaitCursor wait;
    if (!bridge->processCall) {
        return 0;
    }
    bridge->processCall(&request);
    if (request.ResultCode <= 0) {
        return 1;
    }
    const std::string text = base::FieldText(request.Message);
    if (!text.empty() && HasHostCallback()) {
        ServiceFailureMessage message{};
        message.MessageId = kServiceFailureMessageId;
        base::CopyField(message.Text, text);
        SendHostMessage(&message);
    }
    return 0;
}

void CallGetter(GetIPOGetterFn getter) {
    if (getter) {
        fw::WaitCursor wait;
        getter();
    }
}

void ShowMessage(std::string_view text) {
    fw::MessageBox(text, fw::MessageIcon::None);
}

// Failure of the watch list and details requests: the service's text, if any, in a box.
IPOResultList* WatchFailure(const IPOServiceRequest& request) {
    const std::string text = base::FieldText(request.Message);
    if (text.empty()) {
        return &ResultList();
    }
    ShowMessage(text);
    return nullptr;
}

// Failure of the order book and user details requests.
IPOResultList* QueryFailure(const IPOServiceRequest& request) {
    const std::string text = base::FieldText(request.Message);
    if (text == "null") {
        ShowMessage("Service is not available.");
    } else if (!text.empty()) {
        ShowMessage(text);
    }
    return nullptr;
}

// Failure of the place and cancel requests; `acceptedText` is shown when the service took the
// request without saying more.
IPOResultList* OrderFailure(const IPOServiceRequest& request, std::string_view acceptedText) {
    const std::string text = base::FieldText(request.Message);
    if (text == "null" && request.Accepted == 0) {
        ShowMessage("Service is not available.");
    } else if (!text.empty() && text != "null") {
        ShowMessage(text);
    } else if (request.Accepted == 1) {
        ShowMessage(acceptedText);
    }
    return nullptr;
}

IPOResultList* PlaceFailure(const IPOServiceRequest& request) {
    return OrderFailure(request, "IPO Request has been made Successfully");
}

IPOResultList* CancelFailure(const IPOServiceRequest& request) {
    return OrderFailure(request, "Request Submitted Successfully");
}

using Failure = IPOResultList* (*)(const IPOServiceRequest&);

// One request of `code` for a party, its fields already filled: the header, the call, then the
// answer's getter; on a failure, `failure` tells the user.
IPOResultList* Exchange(IPOServiceBridge* bridge, IPOServiceRequest& request,
                        const uint16_t* requestCode, std::string_view clientCode,
                        std::string_view clientId, Failure failure, GetIPOGetterFn getter) {
    if (!FillRequestHeader(bridge, request, CodeOf(requestCode), clientCode, clientId)) {
        return &ResultList();
    }
    if (!CallService(bridge, request)) {
        return failure(request);
    }
    CallGetter(getter);
    return &ResultList();
}

}  // namespace

void IPOServiceBridge::Load(const std::string& path) {
    loadAttempted = true;
    if (!fw::FileExists(path) || !library_.Load(path)) {
        return;
    }
    initialize = library_.ResolveAs<InitializeCorvexDllFn>("InitializeCorvexDll");
    if (initialize) {
        initialize();
    }
    processCall = library_.ResolveAs<ProcessCallFn>("ProcessCall");
    setDataCallback = library_.ResolveAs<SetDataIPOSetCallBackFunFn>("SetDataIPOSetCallBackFun");
    if (setDataCallback) {
        setDataCallback(&OnIPOData);
    }
    getWatchList = library_.ResolveAs<GetIPOWatchListInfoFn>("GetIPOWatchListInfo");
    getWatchDetails = library_.ResolveAs<GetIPOGetterFn>("GetIPOWatchDetailsInfo");
    getUserDetails = library_.ResolveAs<GetIPOGetterFn>("GetIPOUserDetailsInfo");
    getOrderResponse = library_.ResolveAs<GetIPOGetterFn>("GetIPOOrderResponse");
    getOrderBook = library_.ResolveAs<GetIPOGetterFn>("GetIPOOrderBookListInfo");
    getCancelResponse = library_.ResolveAs<GetIPOGetterFn>("GetIPOCancelOrderResponse");
    cleanUp = library_.ResolveAs<CompanionCleanUpFn>("CleanUp");
}

IPOServiceBridge* GetServiceBridge() {
    if (!g_bridge) {
        g_bridge = std::make_unique<IPOServiceBridge>();
    }
    return g_bridge.get();
}

void InitializeServiceBridge() {
    IPOServiceBridge* bridge = GetServiceBridge();
    if (bridge->loadAttempted) {
        return;
    }
    bridge->Load(Login().WorkingDirectory + base::kPathSeparator + kCompanionName +
                 base::kLibrarySuffix);
}

void DestroyServiceBridge() {
    if (g_bridge && g_bridge->cleanUp) {
        g_bridge->cleanUp();
    }
    g_bridge.reset();
}

IPOResultList& ResultList() {
    static IPOResultList list;
    return list;
}

void ClearResultList() {
    ResultList().clear();
}

IPOResultList* RequestIPOWatchList(IPOServiceBridge* bridge, const uint16_t* requestCode,
                                   std::string_view clientCode, std::string_view clientId,
                                   const int32_t* listKind, std::string_view fromDate,
                                   std::string_view toDate) {
    IPOServiceRequest request{};
    const uint16_t code = CodeOf(requestCode);
    const int32_t kind = listKind ? *listKind : 0;
    if (!FillRequestHeader(bridge, request, code, clientCode, clientId)) {
        return &ResultList();
    }
    if (code == kRequestWatchList) {
        if (kind == 1) {
            base::CopyField(request.Section, "C");
        } else if (kind == 2) {
            base::CopyField(request.Section, "F");
        } else if (kind == 3) {
            base::CopyField(request.Section, "P");
            if (!base::CopyField(request.WatchFromDate, fromDate) ||
                !base::CopyField(request.WatchToDate, toDate)) {
                return &ResultList();
            }
        }
        base::CopyField(request.Product, "IPO");
    }
    if (!CallService(bridge, request)) {
        return WatchFailure(request);
    }
    if (bridge->getWatchList) {
        fw::WaitCursor wait;
        bridge->getWatchList(kind);
    }
    return &ResultList();
}

IPOResultList* RequestIPOWatchDetails(IPOServiceBridge* bridge, const uint16_t* requestCode,
                                      std::string_view clientCode, std::string_view clientId,
                                      std::string_view issueKey) {
    IPOServiceRequest request{};
    const uint16_t code = CodeOf(requestCode);
    if (!FillRequestHeader(bridge, request, code, clientCode, clientId)) {
        return &ResultList();
    }
    if (code == kRequestWatchDetails && !base::CopyField(request.IssueKey, issueKey)) {
        return &ResultList();
    }
    if (!CallService(bridge, request)) {
        return WatchFailure(request);
    }
    CallGetter(bridge->getWatchDetails);
    return &ResultList();
}

IPOResultList* RequestIPOOrderBook(IPOServiceBridge* bridge, const uint16_t* requestCode,
                                   std::string_view clientCode, std::string_view clientId,
                                   IPOServiceRequest& request) {
    return Exchange(bridge, request, requestCode, clientCode, clientId, QueryFailure,
                    bridge ? bridge->getOrderBook : nullptr);
}

IPOResultList* RequestIPOPlaceOrder(IPOServiceBridge* bridge, const uint16_t* requestCode,
                                    std::string_view clientCode, std::string_view clientId,
                                    IPOServiceRequest& request) {
    return Exchange(bridge, request, requestCode, clientCode, clientId, PlaceFailure,
                    bridge ? bridge->getOrderResponse : nullptr);
}

IPOResultList* RequestIPOCancelOrder(IPOServiceBridge* bridge, const uint16_t* requestCode,
                                     std::string_view clientCode, std::string_view clientId,
                                     IPOServiceRequest& request) {
    return Exchange(bridge, request, requestCode, clientCode, clientId, CancelFailure,
                    bridge ? bridge->getCancelResponse : nullptr);
}

IPOResultList* RequestIPOUserDetails(IPOServiceBridge* bridge, const uint16_t* requestCode,
                                     std::string_view clientCode, std::string_view clientId) {
    IPOServiceRequest request{};
    base::CopyField(request.DetailsWanted, "Y");
    return Exchange(bridge, request, requestCode, clientCode, clientId, QueryFailure,
                    bridge ? bridge->getUserDetails : nullptr);
}
