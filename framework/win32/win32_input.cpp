#include "framework/win32/win32_input.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "framework/win32/win32_text.h"
#include "framework/win32/x_input_helper.h"

namespace fw::win32::input {
namespace {

// ---------------------------------------------------------------- what arrives

std::atomic<long> g_sent = 0;      // releases sent through the X server
std::atomic<long> g_received = 0;  // releases the window system has taken in
std::atomic<ULONGLONG> g_lastSent = 0;
HHOOK g_keys = nullptr;
HHOOK g_buttons = nullptr;
// How long input may take to arrive before it is counted as lost.
constexpr ULONGLONG kArrivalPatienceMs = 3000;

LRESULT CALLBACK CountKeys(int code, WPARAM message, LPARAM details) {
    if (code == HC_ACTION && (message == WM_KEYUP || message == WM_SYSKEYUP)) {
        ++g_received;
    }
    return CallNextHookEx(nullptr, code, message, details);
}

LRESULT CALLBACK CountButtons(int code, WPARAM message, LPARAM details) {
    if (code == HC_ACTION && (message == WM_LBUTTONUP || message == WM_RBUTTONUP)) {
        ++g_received;
    }
    return CallNextHookEx(nullptr, code, message, details);
}

// Runs a command of the helper and counts the releases it sent.
void RunX(XInputHelper& helper, const std::string& command) {
    const long long released = helper.Run(command);
    if (released > 0) {
        g_sent += released;
        g_lastSent = GetTickCount64();
    }
}

// The helper's modifier sum: 1 Control, 2 Shift.
int XModifiers(Modifier modifier) {
    switch (modifier) {
        case Modifier::Plain:
            return 0;
        case Modifier::Control:
            return 1;
        case Modifier::Shift:
            return 2;
        case Modifier::ControlShift:
            return 3;
    }
    return 0;
}

// The X key symbol of a key the user driver presses.
unsigned XKeysym(WORD key) {
    switch (key) {
        case VK_RETURN:
            return 0xff0d;
        case VK_ESCAPE:
            return 0xff1b;
        case VK_TAB:
            return 0xff09;
        case VK_HOME:
            return 0xff50;
        case VK_END:
            return 0xff57;
        case VK_DELETE:
            return 0xffff;
        default:
            return 0;
    }
}

// Wine's X window of a top-level window (none until Wine has made it).
ULONG_PTR XWindowOf(HWND window) {
    return reinterpret_cast<ULONG_PTR>(GetPropW(window, L"__wine_x11_whole_window"));
}

std::string Hex(unsigned long long value) {
    char text[24] = {};
    std::snprintf(text, sizeof text, "%llx", value);
    return text;
}

// ---------------------------------------------------------------- SendInput, on Windows itself

INPUT KeyInput(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

std::vector<WORD> ModifierKeys(Modifier modifier) {
    switch (modifier) {
        case Modifier::Plain:
            return {};
        case Modifier::Control:
            return {VK_CONTROL};
        case Modifier::Shift:
            return {VK_SHIFT};
        case Modifier::ControlShift:
            return {VK_CONTROL, VK_SHIFT};
    }
    return {};
}

// The inputs between the modifiers' presses and their releases.
void SendHeld(Modifier modifier, const std::vector<INPUT>& inner) {
    std::vector<INPUT> inputs;
    const std::vector<WORD> held = ModifierKeys(modifier);
    for (WORD key : held) {
        inputs.push_back(KeyInput(key, false));
    }
    inputs.insert(inputs.end(), inner.begin(), inner.end());
    for (auto key = held.rbegin(); key != held.rend(); ++key) {
        inputs.push_back(KeyInput(*key, true));
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// A click a moment after one on the same spot waits out the double-click time first, so that
// the window takes two clicks, as a person makes them, not one double click.
void WaitOutDoubleClick(POINT screen) {
    static DWORD lastTime = 0;
    static POINT lastPlace{-100, -100};
    const DWORD since = GetTickCount() - lastTime;
    const bool samePlace = std::abs(screen.x - lastPlace.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
                           std::abs(screen.y - lastPlace.y) <= GetSystemMetrics(SM_CYDOUBLECLK);
    if (samePlace && since <= GetDoubleClickTime()) {
        Sleep(GetDoubleClickTime() + 50 - since);
    }
    lastTime = GetTickCount();
    lastPlace = screen;
}

}  // namespace

void Click(POINT screen, bool right, Modifier modifier) {
    WaitOutDoubleClick(screen);
    if (XInputHelper* x = XInputHelper::Get()) {
        RunX(*x, "click " + std::to_string(screen.x) + " " + std::to_string(screen.y) + " " +
                     (right ? "3 " : "1 ") + std::to_string(XModifiers(modifier)));
        return;
    }
    // Absolute positions are in 65536ths of the screen, rounded up to land on the pixel.
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dx = (screen.x * 65536 + width - 1) / width;
    move.mi.dy = (screen.y * 65536 + height - 1) / height;
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    INPUT down = move;
    down.mi.dwFlags |= right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    INPUT up = move;
    up.mi.dwFlags |= right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    SendHeld(modifier, {move, down, up});
}

void Key(WORD key, Modifier modifier) {
    if (XInputHelper* x = XInputHelper::Get()) {
        RunX(*x, "key " + Hex(XKeysym(key)) + " " + std::to_string(XModifiers(modifier)));
        return;
    }
    SendHeld(modifier, {KeyInput(key, false), KeyInput(key, true)});
}

void Type(std::string_view text) {
    if (XInputHelper* x = XInputHelper::Get()) {
        RunX(*x, "type " + std::string(text));
        return;
    }
    std::vector<INPUT> keys;
    for (wchar_t letter : Wide(text)) {
        INPUT key{};
        key.type = INPUT_KEYBOARD;
        key.ki.wScan = letter;
        key.ki.dwFlags = KEYEVENTF_UNICODE;
        keys.push_back(key);
        key.ki.dwFlags |= KEYEVENTF_KEYUP;
        keys.push_back(key);
    }
    SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
}

void Activate(HWND window) {
    if (XInputHelper* x = XInputHelper::Get()) {
        if (const ULONG_PTR whole = XWindowOf(window)) {
            RunX(*x, "activate " + Hex(whole));
        }
        return;
    }
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(window);
}

bool Active(HWND window) {
    XInputHelper* x = XInputHelper::Get();
    if (!x) {
        return GetForegroundWindow() == window;
    }
    const ULONG_PTR whole = XWindowOf(window);
    return whole != 0 && x->Run("active") == static_cast<long long>(whole);
}

void CountArrivals() {
    if (XInputHelper::Get() && !g_keys) {
        g_received = g_sent.load();
        g_keys = SetWindowsHookExW(WH_KEYBOARD_LL, CountKeys, GetModuleHandleW(nullptr), 0);
        g_buttons = SetWindowsHookExW(WH_MOUSE_LL, CountButtons, GetModuleHandleW(nullptr), 0);
    }
}

void StopCounting() {
    for (HHOOK* hook : {&g_keys, &g_buttons}) {
        if (*hook) {
            UnhookWindowsHookEx(*hook);
            *hook = nullptr;
        }
    }
}

bool Arrived() {
    if (!g_keys || g_received >= g_sent) {
        return true;
    }
    if (GetTickCount64() - g_lastSent > kArrivalPatienceMs) {
        std::fprintf(stderr, "ipo-x-input: %ld key or button releases never arrived\n",
                     g_sent - g_received);
        g_received = g_sent.load();
        return true;
    }
    return false;
}

POINT Centre(HWND window, const RECT& rect) {
    POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(window, &centre);
    return centre;
}

POINT Centre(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return Centre(window, client);
}

}  // namespace fw::win32::input
