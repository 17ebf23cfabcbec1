// The plug-in as the host sees it: the library loaded from the terminal's folder, its ten
// exports resolved by name and called in the documented order.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "containers/ts_map.h"
#include "framework/document.h"
#include "framework/resource.h"
#include "framework/shared_library.h"
#include "host/terminal_settings.h"
#include "plugin/host_abi.h"

// The classes and form a menu command opens its windows with.
struct MenuWindowClasses {
    const fw::RuntimeClass* view = nullptr;
    const fw::RuntimeClass* frame = nullptr;
    uint32_t formId = 0;
};

// What the plug-in makes of a new window of a menu command: the layout of its form, and its
// frame and view made by the command's runtime classes.
struct PluginWindowParts {
    const fw::DialogTemplate* layout = nullptr;
    std::unique_ptr<fw::CFrameWnd> frame;
    std::unique_ptr<fw::CView> view;
};

// The parts of a new window; false with the reason when the layout is missing or the classes
// make no frame and view.
bool MakePluginWindow(const MenuWindowClasses& classes, PluginWindowParts& parts,
                      std::string& error);

class PluginHost {
  public:
    PluginHost();
    ~PluginHost();
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    // Loads the library and resolves every export; false with the reason when it cannot.
    bool Load(const std::string& path, std::string& error);
    bool IsLoaded() const { return loaded_; }

    // SetIPOGlobalConfiguration, InitializeQuorIPO, SetExeCallBackFun, SetSizeCallBack.
    void Start(const TerminalSettings& settings, const std::string& workingDirectory,
               HostCallbackFn hostCallback, SizeCallbackFn sizeCallback);
    // GetRunTimeClassFromMenuId: false for a menu command the plug-in does not know.
    bool ClassesForMenu(uint32_t menuId, MenuWindowClasses& classes) const;
    void SetDocTemplate(uint32_t menuId, fw::DocTemplate* docTemplate) const;
    bool MenuEnabled() const;
    std::string Version() const;
    // CloseAllWindowsForCNTClient, then CleanUp; once.
    void Stop();

  private:
    struct Exports {
        CleanUpFn cleanUp = nullptr;
        CloseAllWindowsForCNTClientFn closeAllWindows = nullptr;
        GetEnableMenuItemFn enableMenuItem = nullptr;
        GetIPODllVersionFn version = nullptr;
        GetRunTimeClassFromMenuIdFn classesFromMenu = nullptr;
        InitializeQuorIPOFn initialize = nullptr;
        SetExeCallBackFunFn setHostCallback = nullptr;
        SetIPODocTemplateFn setDocTemplate = nullptr;
        SetIPOGlobalConfigurationFn setConfiguration = nullptr;
        SetSizeCallBackFn setSizeCallback = nullptr;
    };

    fw::SharedLibrary library_;
    Exports exports_;
    bool loaded_ = false;
    bool started_ = false;
    // What the configuration record points to; it lives as long as the host.
    std::vector<std::string> texts_;
    std::vector<std::unique_ptr<HostURLRecord>> urlRecords_;
    std::vector<std::string> urls_;
    HostURLMap urlMap_;
};
