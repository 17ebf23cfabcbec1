// The ten entry points of the companion library. Each thread that calls ProcessCall has its
// own connections and its own last answer, whose records stay valid until that thread's next
// request or CleanUp; the getters deliver them through the data callback.
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>

#include "base/text.h"
#include "bridge/companion_abi.h"
#include "companion/answer_decoder.h"
#include "companion/http_channel.h"
#include "companion/request_encoder.h"
#include "companion/settings.h"

namespace corvex {
namespace {

std::atomic<IPODataCallbackFn> dataCallback{nullptr};

std::mutex settingsMutex;
ChannelSettings settings;
bool settingsLoaded = false;
std::atomic<int> settingsGeneration{0};

struct ThreadState {
    std::unique_ptr<Answer> answer;
    std::unique_ptr<HttpChannel> channel;
    int generation = -1;
};

thread_local ThreadState state;

void ReloadSettings() {
    std::lock_guard<std::mutex> lock(settingsMutex);
    settings = LoadSettings();
    settingsLoaded = true;
    ++settingsGeneration;
}

ChannelSettings Limits() {
    std::lock_guard<std::mutex> lock(settingsMutex);
    return settings;
}

HttpChannel& Channel() {
    {
        std::lock_guard<std::mutex> lock(settingsMutex);
        if (!settingsLoaded) {
            settings = LoadSettings();
            settingsLoaded = true;
        }
        if (!state.channel || state.generation != settingsGeneration) {
            state.channel = std::make_unique<HttpChannel>(settings);
            state.generation = settingsGeneration;
        }
    }
    return *state.channel;
}

// Writes the outcome into the request; a message too long for its field is cut at a character
// boundary (it is display text).
void SetOutcome(IPOServiceRequest& request, bool accepted, int16_t resultCode,
                std::string_view message) {
    request.Accepted = accepted ? 1 : 0;
    request.ResultCode = resultCode;
    size_t length = std::min(message.size(), sizeof request.Message - 1);
    while (length > 0 && length < message.size() &&
           (static_cast<unsigned char>(message[length]) & 0xC0) == 0x80) {
        --length;
    }
    std::memset(request.Message, 0, sizeof request.Message);
    base::CopyField(request.Message, message.substr(0, length));
}

int Process(IPOServiceRequest& request) {
    state.answer.reset();
    const std::string url = base::FieldText(request.URL);
    const std::string body = EncodeRequest(request);
    const Reply reply = Channel().Post(url, body);
    if (reply.tooLarge) {
        SetOutcome(request, false, kInvalidAnswer,
                   base::Format("The IPO service's answer is larger than %lld bytes "
                                "(answer_max_bytes in Corvexdll64.conf)",
                                static_cast<long long>(Limits().answerMaxBytes)));
        return 0;
    }
    if (!reply.insecure.empty()) {
        SetOutcome(request, false, kNotSecure, reply.insecure);
        return 0;
    }
    if (!reply.unreadable.empty()) {
        SetOutcome(request, false, kInvalidAnswer, reply.unreadable);
        return 0;
    }
    if (!reply.reached) {
        SetOutcome(request, false, kUnreachable, "null");
        return 0;
    }
    Outcome outcome = DecodeAnswer(request.RequestCode, reply.status, reply.body);
    SetOutcome(request, outcome.accepted, outcome.resultCode, outcome.message);
    state.answer = std::move(outcome.answer);
    return request.ResultCode <= 0 ? 1 : 0;
}

int Deliver(uint16_t code) {
    const IPODataCallbackFn callback = dataCallback.load();
    if (!state.answer || state.answer->Code() != code || !callback) {
        return 0;
    }
    int delivered = 0;
    for (const PtrListNode* node = state.answer->List().Head; node; node = node->Next) {
        callback(node->Element, code);
        ++delivered;
    }
    return delivered;
}

}  // namespace
}  // namespace corvex

using namespace corvex;

extern "C" int InitializeCorvexDll(void) {
    ReloadSettings();
    return 1;
}

extern "C" int SetDataIPOSetCallBackFun(IPODataCallbackFn callback) {
    dataCallback.store(callback);
    return 1;
}

extern "C" int ProcessCall(IPOServiceRequest* request) {
    if (!request) {
        return 0;
    }
    try {
        return Process(*request);
    } catch (const RequestRefused& refused) {
        SetOutcome(*request, false, kRequestNotSent, refused.what());
    } catch (const std::exception& error) {
        SetOutcome(*request, false, kCompanionFailed,
                   std::string("The companion library failed: ") + error.what());
    }
    return 0;
}

extern "C" int GetIPOWatchListInfo(int32_t) {
    return Deliver(kRequestWatchList);
}
extern "C" int GetIPOWatchDetailsInfo(void) {
    return Deliver(kRequestWatchDetails);
}
extern "C" int GetIPOUserDetailsInfo(void) {
    return Deliver(kRequestUserDetails);
}
extern "C" int GetIPOOrderResponse(void) {
    return Deliver(kRequestPlaceOrder);
}
extern "C" int GetIPOOrderBookListInfo(void) {
    return Deliver(kRequestOrderBook);
}
extern "C" int GetIPOCancelOrderResponse(void) {
    return Deliver(kRequestCancelOrder);
}

extern "C" int CompanionCleanUp(void) {
    state.answer.reset();
    state.channel.reset();
    return 1;
}
