// Dynamic creation, frames and views: what a host needs to open a plug-in window from the
// classes a menu command maps to, and what a view needs of the frame it lives in.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/form.h"

namespace fw {

class CObject {
public:
    virtual ~CObject() = default;
};

// Dynamic-creation descriptor: the class name and its factory.
struct RuntimeClass {
    const char* className;
    CObject* (*createObject)();
};

// The host's document template. Its first virtual function is the only one the plug-in calls.
class DocTemplate {
public:
    virtual void CloseAllDocuments(bool endSession) = 0;

protected:
    ~DocTemplate() = default;
};

enum class StatusBarKind { Standard, OwnerDrawn };

constexpr int kStatusBarId = 59393;
constexpr int kPaneStretch = 0x0800;  // pane style: take the remaining width
constexpr int kMaxStatusPanes = 14;

// A status bar as the backend built it.
class StatusBar {
public:
    virtual bool SetPaneCount(int count) = 0;  // false when the panes could not be set
    virtual int PaneCount() const = 0;
    virtual void SetPaneInfo(int pane, int commandId, int style, int width) = 0;
    virtual void SetPaneText(int pane, std::string_view text) = 0;  // repaints the pane
    virtual std::string PaneText(int pane) const = 0;
    virtual Rect ItemRect(int pane) const = 0;
    virtual Rect ClientRect() const = 0;

protected:
    ~StatusBar() = default;
};

// Paints an owner-drawn status bar (the backend calls it on each paint).
class StatusBarPainter {
public:
    virtual void Paint(Painter& painter, const StatusBar& bar) = 0;

protected:
    ~StatusBarPainter() = default;
};

// The backend's part of an MDI child frame.
class FrameSite {
public:
    virtual void SetTitle(std::string_view title) = 0;
    virtual void RemoveMaximizeBox() = 0;
    virtual Size WindowSize() const = 0;  // pixels
    virtual void FitToForm() = 0;         // shrink, then size to the form exactly
    virtual void RecalcLayout() = 0;
    // Creates the frame's status bar docked at the bottom; null when it cannot be created.
    virtual StatusBar* CreateStatusBar(StatusBarKind kind, StatusBarPainter* painter) = 0;
    virtual void* NativeHandle() = 0;  // the window handle handed to the host
    virtual void PostClose() = 0;      // a system close command posted to the frame
    virtual bool HasWindow() const = 0;
    virtual void CloseFrame() = 0;  // the base frame's close handling

protected:
    ~FrameSite() = default;
};

class CFrameWnd;

// A view lives in a frame and is built on a form layout.
class CView : public CObject, public FormEvents {
public:
    void AttachToFrame(Form* form, CFrameWnd* frame) {
        form_ = form;
        frame_ = frame;
    }
    Form* form() const { return form_; }
    CFrameWnd* frame() const { return frame_; }

    virtual void OnInitialUpdate() = 0;
    virtual void OnUserMessage(uint32_t /*message*/) {}

private:
    Form* form_ = nullptr;
    CFrameWnd* frame_ = nullptr;
};

class CFrameWnd : public CObject {
public:
    void AttachSite(FrameSite* site) { site_ = site; }
    FrameSite* site() const { return site_; }
    void SetActiveView(CView* view) { activeView_ = view; }
    CView* activeView() const { return activeView_; }

private:
    FrameSite* site_ = nullptr;
    CView* activeView_ = nullptr;
};

}  // namespace fw
