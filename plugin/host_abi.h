// Records that cross the boundary between the host terminal and the plug-in. Every layout is
// fixed (64-bit, little-endian) and pinned below; the host and the plug-in both build on them.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef _WIN32
#define IPO_PLUGIN_API __declspec(dllexport)
#else
#define IPO_PLUGIN_API __attribute__((visibility("default")))
#endif

namespace fw {
struct RuntimeClass;
class DocTemplate;
}  // namespace fw

template <class Key, class ArgKey, class Value, class ArgValue>
class CTSMap;

// The value of one entry of the host's URL map: its first member is the URL text.
struct HostURLRecord {
    const char* url;
};
using HostURLMap = CTSMap<int16_t, int16_t, HostURLRecord*, HostURLRecord*>;

// The login configuration the host hands to SetIPOGlobalConfiguration. Each text slot holds a
// pointer to zero-terminated 8-bit text.
struct IPOGlobalConfiguration {
    uint16_t UserType;
    uint16_t Padding;
    uint32_t Number;
    const char* Text1;
    const char* LoginClientCode;
    const char* LoginClientId;
    const char* Text4;
    const char* Text5;
    const char* WorkingDirectory;
    const char* UserId;
    const char* Text8;
    const char* Text9;
    const HostURLMap* URLMap;
};
static_assert(sizeof(IPOGlobalConfiguration) == 88);
static_assert(offsetof(IPOGlobalConfiguration, UserType) == 0);
static_assert(offsetof(IPOGlobalConfiguration, Padding) == 2);
static_assert(offsetof(IPOGlobalConfiguration, Number) == 4);
static_assert(offsetof(IPOGlobalConfiguration, Text1) == 8);
static_assert(offsetof(IPOGlobalConfiguration, LoginClientCode) == 16);
static_assert(offsetof(IPOGlobalConfiguration, LoginClientId) == 24);
static_assert(offsetof(IPOGlobalConfiguration, Text4) == 32);
static_assert(offsetof(IPOGlobalConfiguration, Text5) == 40);
static_assert(offsetof(IPOGlobalConfiguration, WorkingDirectory) == 48);
static_assert(offsetof(IPOGlobalConfiguration, UserId) == 56);
static_assert(offsetof(IPOGlobalConfiguration, Text8) == 64);
static_assert(offsetof(IPOGlobalConfiguration, Text9) == 72);
static_assert(offsetof(IPOGlobalConfiguration, URLMap) == 80);

// Message ids the plug-in sends through the host callback.
constexpr uint32_t kServiceFailureMessageId = 65636;
constexpr uint32_t kClientLookupMessageId = 108;
constexpr uint32_t kClientSelectedMessageId = 121;

// 65636: the text of a failed service call, for the host to show.
struct ServiceFailureMessage {
    uint32_t MessageId;
    uint16_t Zero;
    char Text[4098];
};
static_assert(sizeof(ServiceFailureMessage) == 4104);
static_assert(offsetof(ServiceFailureMessage, MessageId) == 0);
static_assert(offsetof(ServiceFailureMessage, Zero) == 4);
static_assert(offsetof(ServiceFailureMessage, Text) == 6);

// 108: look a client up by the id typed in; the host writes the answer fields.
struct ClientLookupMessage {
    uint32_t MessageId;
    uint32_t Reserved0;
    int32_t Flag1;
    int32_t Flag2;
    char ClientIdTyped[30];
    char Reserved1[34];
    char ClientId[30];
    char ClientCode[30];
    char ClientName[100];
    char FurtherText[8];
};
static_assert(sizeof(ClientLookupMessage) == 248);
static_assert(offsetof(ClientLookupMessage, MessageId) == 0);
static_assert(offsetof(ClientLookupMessage, Reserved0) == 4);
static_assert(offsetof(ClientLookupMessage, Flag1) == 8);
static_assert(offsetof(ClientLookupMessage, Flag2) == 12);
static_assert(offsetof(ClientLookupMessage, ClientIdTyped) == 16);
static_assert(offsetof(ClientLookupMessage, Reserved1) == 46);
static_assert(offsetof(ClientLookupMessage, ClientId) == 80);
static_assert(offsetof(ClientLookupMessage, ClientCode) == 110);
static_assert(offsetof(ClientLookupMessage, ClientName) == 140);
static_assert(offsetof(ClientLookupMessage, FurtherText) == 240);

// 121: the client now in use; the host may clear Answer.
struct ClientSelectedMessage {
    uint32_t MessageId;
    uint32_t Reserved0;
    char ClientId[30];
    char ClientCode[30];
    int32_t Answer;
};
static_assert(sizeof(ClientSelectedMessage) == 72);
static_assert(offsetof(ClientSelectedMessage, MessageId) == 0);
static_assert(offsetof(ClientSelectedMessage, Reserved0) == 4);
static_assert(offsetof(ClientSelectedMessage, ClientId) == 8);
static_assert(offsetof(ClientSelectedMessage, ClientCode) == 38);
static_assert(offsetof(ClientSelectedMessage, Answer) == 68);

extern "C" {

typedef int (*HostCallbackFn)(void* message);  // result ignored

typedef struct {
    int32_t width;
    int32_t height;
} WindowSize;  // passed as one 64-bit value, width in the low half
static_assert(sizeof(WindowSize) == 8);
static_assert(offsetof(WindowSize, width) == 0);
static_assert(offsetof(WindowSize, height) == 4);

typedef int (*SizeCallbackFn)(void* frameWindow, WindowSize size, int, int, int);

// The ten exports of the plug-in, declared once: the plug-in defines them with these
// signatures, and the host resolves them by these plain names into pointers of the types below.
IPO_PLUGIN_API void CleanUp(void);
IPO_PLUGIN_API void CloseAllWindowsForCNTClient(void* value);
IPO_PLUGIN_API int GetEnableMenuItem(void);
IPO_PLUGIN_API void GetIPODllVersion(char* buffer);
IPO_PLUGIN_API int GetRunTimeClassFromMenuId(const uint32_t* menuId,
                                             const fw::RuntimeClass** viewClass,
                                             uint32_t* dialogResourceId, void* ignored,
                                             const fw::RuntimeClass** frameClass);
IPO_PLUGIN_API int InitializeQuorIPO(void);
IPO_PLUGIN_API void SetExeCallBackFun(HostCallbackFn callback);
IPO_PLUGIN_API int SetIPODocTemplate(const uint32_t* menuId, fw::DocTemplate* docTemplate);
IPO_PLUGIN_API void SetIPOGlobalConfiguration(const IPOGlobalConfiguration* configuration);
IPO_PLUGIN_API void SetSizeCallBack(SizeCallbackFn callback);
}

using CleanUpFn = decltype(&CleanUp);
using CloseAllWindowsForCNTClientFn = decltype(&CloseAllWindowsForCNTClient);
using GetEnableMenuItemFn = decltype(&GetEnableMenuItem);
using GetIPODllVersionFn = decltype(&GetIPODllVersion);
using GetRunTimeClassFromMenuIdFn = decltype(&GetRunTimeClassFromMenuId);
using InitializeQuorIPOFn = decltype(&InitializeQuorIPO);
using SetExeCallBackFunFn = decltype(&SetExeCallBackFun);
using SetIPODocTemplateFn = decltype(&SetIPODocTemplate);
using SetIPOGlobalConfigurationFn = decltype(&SetIPOGlobalConfiguration);
using SetSizeCallBackFn = decltype(&SetSizeCallBack);

// Menu commands of the plug-in and the form layouts their views are built on.
constexpr uint32_t kMenuIPOWatch = 10502;
constexpr uint32_t kMenuIPOOrderBook = 10503;
constexpr uint32_t kFormIPOWatch = 10512;
constexpr uint32_t kFormIPOOrderBook = 10513;
