// The plug-in library loaded from its file as a host loads it, with its ten exports resolved
// by name. Needs IPO_PLUGIN_PATH, the library's path.
#pragma once

#include <stdexcept>
#include <string>

#include "framework/shared_library.h"
#include "plugin/host_abi.h"

// Opens the library before any export is resolved.
struct PluginFile {
    PluginFile() {
        if (!library.Load(IPO_PLUGIN_PATH)) {
            throw std::runtime_error("cannot load " IPO_PLUGIN_PATH);
        }
    }
    fw::SharedLibrary library;
};

// The loaded plug-in and its exports, resolved by name.
struct PluginLibrary : PluginFile {
    template <class Fn>
    Fn Export(const char* name) const {
        auto fn = library.ResolveAs<Fn>(name);
        if (!fn) {
            throw std::runtime_error(std::string("missing export ") + name);
        }
        return fn;
    }

    CleanUpFn CleanUp = Export<CleanUpFn>("CleanUp");
    CloseAllWindowsForCNTClientFn CloseAll =
        Export<CloseAllWindowsForCNTClientFn>("CloseAllWindowsForCNTClient");
    GetEnableMenuItemFn GetEnableMenuItem = Export<GetEnableMenuItemFn>("GetEnableMenuItem");
    GetIPODllVersionFn GetVersion = Export<GetIPODllVersionFn>("GetIPODllVersion");
    GetRunTimeClassFromMenuIdFn GetClasses =
        Export<GetRunTimeClassFromMenuIdFn>("GetRunTimeClassFromMenuId");
    InitializeQuorIPOFn Initialize = Export<InitializeQuorIPOFn>("InitializeQuorIPO");
    SetExeCallBackFunFn SetCallback = Export<SetExeCallBackFunFn>("SetExeCallBackFun");
    SetIPODocTemplateFn SetTemplate = Export<SetIPODocTemplateFn>("SetIPODocTemplate");
    SetIPOGlobalConfigurationFn Configure =
        Export<SetIPOGlobalConfigurationFn>("SetIPOGlobalConfiguration");
    SetSizeCallBackFn SetSizeCallback = Export<SetSizeCallBackFn>("SetSizeCallBack");
};

// The process's one loaded plug-in.
inline PluginLibrary& LoadedPlugin() {
    static PluginLibrary plugin;
    return plugin;
}
