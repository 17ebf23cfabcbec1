// The host's document template for one plug-in menu command: it opens the command's windows as
// MDI children (frame and view made by the plug-in's runtime classes, the form from the
// resource table) and closes them again.
#pragma once

#include <wx/mdi.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/document.h"
#include "framework/wx/wx_backend.h"
#include "framework/wx/wx_frame_site.h"
#include "host/plugin_host.h"
#include "host/terminal_core.h"

// One open plug-in window and everything it is made of.
struct HostWindow {
    wxMDIChildFrame* child = nullptr;
    std::unique_ptr<fw::wx::WxFrameSite> site;
    std::unique_ptr<fw::CFrameWnd> frame;
    std::unique_ptr<fw::CView> view;
    std::unique_ptr<fw::wx::WxForm> form;
};

class HostDocTemplate final : public PluginWindows {
  public:
    HostDocTemplate(MenuWindowClasses classes, wxMDIParentFrame* parent,
                    fw::wx::WxBackend& backend);
    ~HostDocTemplate();
    HostDocTemplate(const HostDocTemplate&) = delete;
    HostDocTemplate& operator=(const HostDocTemplate&) = delete;

    // Opens a new window; null with the reason when the classes or the layout are missing.
    HostWindow* OpenDocument(std::string& error);
    bool OpenWindow(std::string& error) override { return OpenDocument(error) != nullptr; }
    // Closes every open window of this template.
    void CloseAllDocuments(bool endSession) override;
    void Close(HostWindow* window);
    HostWindow* FindByFrame(const void* nativeFrame) const;
    const std::vector<std::unique_ptr<HostWindow>>& windows() const { return windows_; }

  private:
    void OnChildClose(HostWindow* window, wxCloseEvent& event);

    MenuWindowClasses classes_;
    wxMDIParentFrame* parent_;
    fw::wx::WxBackend& backend_;
    std::vector<std::unique_ptr<HostWindow>> windows_;
};
