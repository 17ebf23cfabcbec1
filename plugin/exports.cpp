// The ten entry points the host resolves by their plain names, as the host ABI header declares
// them (a signature that differs from it does not compile); nothing else of the plug-in is
// visible outside the library.
#include <cstring>
#include <string>

#include "bridge/ipo_service_bridge.h"
#include "plugin/doc_template_registry.h"
#include "plugin/host_abi.h"
#include "plugin/host_callbacks.h"
#include "plugin/login_context.h"
#include "plugin/runtime_classes.h"
#include "plugin/version_text.h"

namespace {

// The plug-in's form layouts join the framework's resources as soon as the library is loaded.
struct ResourceRegistration {
    ResourceRegistration() { RegisterPluginResources(); }
} g_resourceRegistration;

}  // namespace

extern "C" void CleanUp(void) {
    ClearURLTable();
    DestroyServiceBridge();
}

extern "C" void CloseAllWindowsForCNTClient(void* value) {
    if (value) {
        CloseAllRegisteredDocuments();
    }
}

extern "C" int GetEnableMenuItem(void) {
    return 1;
}

// Writes the 35 characters of the version text, without a terminator; the host's buffer holds
// at least 36 zero bytes.
extern "C" void GetIPODllVersion(char* buffer) {
    if (!buffer) {
        return;
    }
    try {
        const std::string text = VersionText(__DATE__);
        std::memcpy(buffer, text.data(), text.size());
    } catch (...) {
        // A build date that cannot be read leaves the buffer as it was.
    }
}

extern "C" int GetRunTimeClassFromMenuId(const uint32_t* menuId, const fw::RuntimeClass** viewClass,
                                         uint32_t* dialogResourceId, void* /*ignored*/,
                                         const fw::RuntimeClass** frameClass) {
    const fw::RuntimeClass* view = nullptr;
    if (menuId && *menuId == kMenuIPOWatch) {
        view = &WatchViewClass();
    } else if (menuId && *menuId == kMenuIPOOrderBook) {
        view = &OrderBookViewClass();
    } else {
        return -1;
    }
    if (viewClass) {
        *viewClass = view;
    }
    if (dialogResourceId) {
        *dialogResourceId = *menuId + 10;
    }
    if (frameClass) {
        *frameClass = &GenericFrameClass();
    }
    return 1;
}

extern "C" int InitializeQuorIPO(void) {
    InitializeServiceBridge();
    return 1;
}

extern "C" void SetExeCallBackFun(HostCallbackFn callback) {
    SetHostCallback(callback);
}

extern "C" int SetIPODocTemplate(const uint32_t* menuId, fw::DocTemplate* docTemplate) {
    if (menuId) {
        RegisterDocTemplate(*menuId, docTemplate);
    }
    return 1;
}

extern "C" void SetIPOGlobalConfiguration(const IPOGlobalConfiguration* configuration) {
    ApplyGlobalConfiguration(configuration);
}

extern "C" void SetSizeCallBack(SizeCallbackFn callback) {
    SetSizeCallback(callback);
}
