#include "host/plugin_host.h"

#include <array>

bool MakePluginWindow(const MenuWindowClasses& classes, PluginWindowParts& parts,
                      std::string& error) {
    const fw::DialogTemplate* layout = fw::FindTemplate(static_cast<int>(classes.formId));
    if (!layout) {
        error = "The plug-in has no form " + std::to_string(classes.formId);
        return false;
    }
    std::unique_ptr<fw::CObject> frameObject(classes.frame->createObject());
    std::unique_ptr<fw::CObject> viewObject(classes.view->createObject());
    auto* frame = dynamic_cast<fw::CFrameWnd*>(frameObject.get());
    auto* view = dynamic_cast<fw::CView*>(viewObject.get());
    if (!frame || !view) {
        error = std::string("The plug-in's classes ") + classes.frame->className + " and " +
                classes.view->className + " do not make a frame and a view";
        return false;
    }
    frameObject.release();
    viewObject.release();
    parts.layout = layout;
    parts.frame.reset(frame);
    parts.view.reset(view);
    return true;
}

PluginHost::PluginHost() = default;

PluginHost::~PluginHost() {
    Stop();
}

bool PluginHost::Load(const std::string& path, std::string& error) {
    if (!fw::FileExists(path)) {
        error = "The IPO plug-in " + path + " is missing; the IPO menu stays disabled";
        return false;
    }
    if (!library_.Load(path)) {
        error = "The IPO plug-in " + path + " cannot be loaded";
        return false;
    }
    Exports e;
    e.cleanUp = library_.ResolveAs<CleanUpFn>("CleanUp");
    e.closeAllWindows =
        library_.ResolveAs<CloseAllWindowsForCNTClientFn>("CloseAllWindowsForCNTClient");
    e.enableMenuItem = library_.ResolveAs<GetEnableMenuItemFn>("GetEnableMenuItem");
    e.version = library_.ResolveAs<GetIPODllVersionFn>("GetIPODllVersion");
    e.classesFromMenu =
        library_.ResolveAs<GetRunTimeClassFromMenuIdFn>("GetRunTimeClassFromMenuId");
    e.initialize = library_.ResolveAs<InitializeQuorIPOFn>("InitializeQuorIPO");
    e.setHostCallback = library_.ResolveAs<SetExeCallBackFunFn>("SetExeCallBackFun");
    e.setDocTemplate = library_.ResolveAs<SetIPODocTemplateFn>("SetIPODocTemplate");
    e.setConfiguration =
        library_.ResolveAs<SetIPOGlobalConfigurationFn>("SetIPOGlobalConfiguration");
    e.setSizeCallback = library_.ResolveAs<SetSizeCallBackFn>("SetSizeCallBack");
    const bool complete = e.cleanUp && e.closeAllWindows && e.enableMenuItem && e.version &&
                          e.classesFromMenu && e.initialize && e.setHostCallback &&
                          e.setDocTemplate && e.setConfiguration && e.setSizeCallback;
    if (!complete) {
        error = "The IPO plug-in " + path + " lacks some of its ten entry points";
        return false;
    }
    exports_ = e;
    loaded_ = true;
    // The plug-in's windows and classes live until the process ends.
    library_.Release();
    return true;
}

void PluginHost::Start(const TerminalSettings& settings, const std::string& workingDirectory,
                       HostCallbackFn hostCallback, SizeCallbackFn sizeCallback) {
    if (!loaded_ || started_) {
        return;
    }
    texts_ = {"", settings.loginClientCode, settings.loginClientId, "",
              "", workingDirectory,         settings.userId,        "",
              ""};
    for (int code = 91; code <= 96; ++code) {
        urls_.push_back(settings.ServiceURL(code));
    }
    for (size_t i = 0; i < urls_.size(); ++i) {
        urlRecords_.push_back(std::make_unique<HostURLRecord>(HostURLRecord{urls_[i].c_str()}));
        urlMap_[static_cast<int16_t>(91 + i)] = urlRecords_.back().get();
    }
    IPOGlobalConfiguration configuration{};
    configuration.UserType = settings.userType;
    configuration.Text1 = texts_[0].c_str();
    configuration.LoginClientCode = texts_[1].c_str();
    configuration.LoginClientId = texts_[2].c_str();
    configuration.Text4 = texts_[3].c_str();
    configuration.Text5 = texts_[4].c_str();
    configuration.WorkingDirectory = texts_[5].c_str();
    configuration.UserId = texts_[6].c_str();
    configuration.Text8 = texts_[7].c_str();
    configuration.Text9 = texts_[8].c_str();
    configuration.URLMap = &urlMap_;

    exports_.setConfiguration(&configuration);
    exports_.initialize();
    exports_.setHostCallback(hostCallback);
    exports_.setSizeCallback(sizeCallback);
    started_ = true;
}

bool PluginHost::ClassesForMenu(uint32_t menuId, MenuWindowClasses& classes) const {
    if (!started_) {
        return false;
    }
    MenuWindowClasses found;
    if (exports_.classesFromMenu(&menuId, &found.view, &found.formId, nullptr, &found.frame) != 1 ||
        !found.view || !found.frame) {
        return false;
    }
    classes = found;
    return true;
}

void PluginHost::SetDocTemplate(uint32_t menuId, fw::DocTemplate* docTemplate) const {
    if (started_) {
        exports_.setDocTemplate(&menuId, docTemplate);
    }
}

bool PluginHost::MenuEnabled() const {
    return started_ && exports_.enableMenuItem() != 0;
}

std::string PluginHost::Version() const {
    if (!loaded_) {
        return {};
    }
    std::array<char, 36> buffer{};  // zero-filled: the plug-in writes no terminator
    exports_.version(buffer.data());
    return std::string(buffer.data());
}

void PluginHost::Stop() {
    if (!started_) {
        return;
    }
    started_ = false;
    int closeEverything = 1;
    exports_.closeAllWindows(&closeEverything);
    exports_.cleanUp();
}
