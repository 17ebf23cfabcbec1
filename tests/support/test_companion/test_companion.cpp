// A companion library for tests: it answers each request as scripted, hands the scripted
// records to the plug-in's data callback during the getter, and records every call.
#include <algorithm>
#include <cstring>
#include <deque>
#include <map>

#include "tests/support/test_companion_control.h"

namespace {

class Companion final : public TestCompanionControl {
  public:
    void Reset() override {
        script_.clear();
        requests_.clear();
        calls_.clear();
        watchListKinds_.clear();
        current_ = {};
    }

    void Script(uint16_t requestCode, const CompanionAnswer& answer) override {
        script_[requestCode].push_back(answer);
    }

    const std::vector<IPOServiceRequest>& Requests() const override { return requests_; }
    const std::vector<std::string>& Calls() const override { return calls_; }
    const std::vector<int32_t>& WatchListKinds() const override { return watchListKinds_; }

    void Record(const char* call) { calls_.emplace_back(call); }

    void SetCallback(IPODataCallbackFn callback) { callback_ = callback; }

    void Process(IPOServiceRequest* request) {
        requests_.push_back(*request);
        current_ = {};
        currentCode_ = request->RequestCode;
        std::deque<CompanionAnswer>& queue = script_[request->RequestCode];
        if (!queue.empty()) {
            current_ = queue.front();
            queue.pop_front();
        }
        request->ResultCode = current_.resultCode;
        request->Accepted = current_.accepted;
        const size_t length = std::min(current_.message.size(), sizeof(request->Message));
        std::memcpy(request->Message, current_.message.data(), length);
        if (length < sizeof(request->Message)) {
            request->Message[length] = '\0';
        }
    }

    void Deliver() {
        if (!callback_) {
            return;
        }
        for (const CompanionDelivery& delivery : current_.records) {
            callback_(delivery.record, delivery.type ? delivery.type : currentCode_);
        }
        current_.records.clear();
    }

    void WatchList(int32_t kind) { watchListKinds_.push_back(kind); }

  private:
    std::map<uint16_t, std::deque<CompanionAnswer>> script_;
    std::vector<IPOServiceRequest> requests_;
    std::vector<std::string> calls_;
    std::vector<int32_t> watchListKinds_;
    CompanionAnswer current_;
    uint16_t currentCode_ = 0;
    IPODataCallbackFn callback_ = nullptr;
};

Companion& Instance() {
    static Companion companion;
    return companion;
}

int Getter(const char* name) {
    Instance().Record(name);
    Instance().Deliver();
    return 1;
}

}  // namespace

extern "C" IPO_COMPANION_API TestCompanionControl* GetTestCompanionControl() {
    return &Instance();
}

extern "C" int InitializeCorvexDll() {
    Instance().Record("InitializeCorvexDll");
    return 1;
}

extern "C" int SetDataIPOSetCallBackFun(IPODataCallbackFn callback) {
    Instance().Record("SetDataIPOSetCallBackFun");
    Instance().SetCallback(callback);
    return 1;
}

// A variant of the library built without ProcessCall stands for a companion that lacks it.
#ifndef TEST_COMPANION_WITHOUT_PROCESS_CALL
extern "C" int ProcessCall(IPOServiceRequest* request) {
    Instance().Record("ProcessCall");
    Instance().Process(request);
    return 1;
}
#endif

extern "C" int GetIPOWatchListInfo(int32_t listKind) {
    Instance().WatchList(listKind);
    return Getter("GetIPOWatchListInfo");
}

extern "C" int GetIPOWatchDetailsInfo() {
    return Getter("GetIPOWatchDetailsInfo");
}
extern "C" int GetIPOUserDetailsInfo() {
    return Getter("GetIPOUserDetailsInfo");
}
extern "C" int GetIPOOrderResponse() {
    return Getter("GetIPOOrderResponse");
}
extern "C" int GetIPOOrderBookListInfo() {
    return Getter("GetIPOOrderBookListInfo");
}
extern "C" int GetIPOCancelOrderResponse() {
    return Getter("GetIPOCancelOrderResponse");
}

extern "C" int CompanionCleanUp(void) {
    Instance().Record("CleanUp");
    return 1;
}
