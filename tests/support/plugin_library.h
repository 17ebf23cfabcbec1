// The plug-in library loaded from its file beside the test program, as a host loads it, with its
// ten exports resolved by name.
#pragma once

#include <stdexcept>
#include <string>

#include "base/platform.h"
#include "framework/shared_library.h"
#include "plugin/host_abi.h"

// Opens the library before any export is resolved.
struct PluginFile {
    PluginFile() {
        const std::string path =
            fw::ProgramFolder() + base::kPathSeparator + "QuorIPO64" + base::kLibrarySuffix;
        if (!fw::FileExists(path) || !library.Load(path)) {
            throw std::runtime_error("cannot load " + path);
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
