#include "framework/win32/win32_input.h"

#include <cstdlib>
#include <vector>

#include "framework/win32/win32_text.h"

namespace fw::win32::input {
namespace {

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
    SendHeld(modifier, {KeyInput(key, false), KeyInput(key, true)});
}

void Type(std::string_view text) {
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
