#include "framework/wx/x_input.h"

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <X11/XKBlib.h>
#include <X11/extensions/XI2.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "framework/x11/window_manager.h"

namespace fw::wx::x {
namespace {

unsigned long g_sent = 0;
unsigned long g_received = 0;
int g_inputOpcode = -1;  // the XInput extension's major opcode; GTK reads devices through it

// Counts the key and button releases that reach this process, before GTK handles them.
GdkFilterReturn CountReleases(GdkXEvent* native, GdkEvent*, gpointer) {
    const auto* event = static_cast<const XEvent*>(native);
    if (event->type == KeyRelease || event->type == ButtonRelease) {
        ++g_received;
    } else if (event->type == GenericEvent && event->xcookie.extension == g_inputOpcode &&
               (event->xcookie.evtype == XI_KeyRelease ||
                event->xcookie.evtype == XI_ButtonRelease)) {
        ++g_received;
    }
    return GDK_FILTER_CONTINUE;
}

Display* TheDisplay() {
    Display* display = gdk_x11_display_get_xdisplay(gdk_display_get_default());
    static const bool listening = [display] {
        int event = 0;
        int error = 0;
        XQueryExtension(display, "XInputExtension", &g_inputOpcode, &event, &error);
        gdk_window_add_filter(nullptr, CountReleases, nullptr);
        return true;
    }();
    static_cast<void>(listening);
    return display;
}

void Press(Display* display, unsigned long keysym, bool down) {
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, keysym), down ? True : False, 0);
}

void PressModifier(Display* display, Modifier modifier, bool down) {
    if (modifier == Modifier::Control) {
        Press(display, XK_Control_L, down);
    }
}

// How long the server holds a click back so that GTK does not take it with the click before as
// one double click (two steps a moment apart on one spot are two clicks, as a person makes them).
unsigned long DoubleClickDelay(const wxPoint& screen) {
    using Clock = std::chrono::steady_clock;
    static Clock::time_point lastTime;
    static wxPoint lastPlace(-100, -100);
    int time = 400;
    int distance = 5;
    g_object_get(gtk_settings_get_default(), "gtk-double-click-time", &time,
                 "gtk-double-click-distance", &distance, nullptr);
    const auto since =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - lastTime).count();
    const bool near = std::abs(screen.x - lastPlace.x) <= distance &&
                      std::abs(screen.y - lastPlace.y) <= distance;
    const long wait = near && since <= time ? time + 50 - since : 0;
    lastTime = Clock::now() + std::chrono::milliseconds(wait);
    lastPlace = screen;
    return static_cast<unsigned long>(wait);
}

}  // namespace

void Click(const wxPoint& screen, int button, Modifier modifier) {
    Display* display = TheDisplay();
    XTestFakeMotionEvent(display, -1, screen.x, screen.y, 0);
    PressModifier(display, modifier, true);
    XTestFakeButtonEvent(display, static_cast<unsigned>(button), True, DoubleClickDelay(screen));
    XTestFakeButtonEvent(display, static_cast<unsigned>(button), False, 0);
    PressModifier(display, modifier, false);
    g_sent += modifier == Modifier::Plain ? 1 : 2;
    XFlush(display);
}

void Key(unsigned long keysym, Modifier modifier) {
    Display* display = TheDisplay();
    PressModifier(display, modifier, true);
    Press(display, keysym, true);
    Press(display, keysym, false);
    PressModifier(display, modifier, false);
    g_sent += modifier == Modifier::Plain ? 1 : 2;
    XFlush(display);
}

void Type(std::string_view text) {
    Display* display = TheDisplay();
    for (const char c : text) {
        // Printable ASCII characters are their own key symbols.
        const auto keysym = static_cast<KeySym>(static_cast<unsigned char>(c));
        const KeyCode code = XKeysymToKeycode(display, keysym);
        const bool shifted = code != 0 && XkbKeycodeToKeysym(display, code, 0, 0) != keysym;
        if (shifted) {
            Press(display, XK_Shift_L, true);
        }
        XTestFakeKeyEvent(display, code, True, 0);
        XTestFakeKeyEvent(display, code, False, 0);
        if (shifted) {
            Press(display, XK_Shift_L, false);
        }
        g_sent += shifted ? 2 : 1;
    }
    XFlush(display);
}

unsigned long ReleasesSent() {
    return g_sent;
}

unsigned long ReleasesReceived() {
    TheDisplay();
    return g_received;
}

void ForgetUndelivered() {
    g_received = std::max(g_received, g_sent);
}

void Activate(unsigned long window) {
    Display* display = TheDisplay();
    x11::AskToActivate(display, window);
    XFlush(display);
}

}  // namespace fw::wx::x
