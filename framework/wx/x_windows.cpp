#include "framework/wx/x_windows.h"

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <X11/Xatom.h>

namespace fw::wx::x {
namespace {

Display* TheDisplay() {
    return gdk_x11_display_get_xdisplay(gdk_display_get_default());
}

std::vector<unsigned long> RootWindows(const char* property) {
    Display* display = TheDisplay();
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> windows;
    if (XGetWindowProperty(display, DefaultRootWindow(display),
                           XInternAtom(display, property, False), 0, 4096, False, XA_WINDOW, &type,
                           &format, &count, &after, &data) == Success &&
        data) {
        const auto* ids = reinterpret_cast<const unsigned long*>(data);
        windows.assign(ids, ids + count);
        XFree(data);
    }
    return windows;
}

}  // namespace

unsigned long XWindowOf(void* widget) {
    GtkWidget* top = widget ? gtk_widget_get_toplevel(static_cast<GtkWidget*>(widget)) : nullptr;
    GdkWindow* window = top ? gtk_widget_get_window(top) : nullptr;
    return window ? gdk_x11_window_get_xid(window) : 0;
}

bool Viewable(void* widget) {
    const unsigned long window = XWindowOf(widget);
    XWindowAttributes attributes;
    return window != 0 && XGetWindowAttributes(TheDisplay(), window, &attributes) &&
           attributes.map_state == IsViewable;
}

unsigned long ActiveWindow() {
    const std::vector<unsigned long> active = RootWindows("_NET_ACTIVE_WINDOW");
    return active.empty() ? 0 : active.front();
}

std::vector<unsigned long> Stacking() {
    return RootWindows("_NET_CLIENT_LIST_STACKING");
}

}  // namespace fw::wx::x
