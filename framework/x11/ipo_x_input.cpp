// ipo-x-input PORT: sends a person's input through the X server with XTest, for a program that
// cannot call Xlib itself. A Windows program under Wine starts it (Wine runs a native program,
// but hands it none of its pipes) and waits for it on a TCP port of the loopback address. One
// command a line from that connection, one answer a line back once the X server has taken the
// input:
//
//   click X Y BUTTON MODIFIERS   pointer to (X, Y) of the root window, press and release BUTTON
//   key KEYSYM MODIFIERS         press and release the key of an X key symbol
//   type TEXT                    type the UTF-8 text key by key, with Shift where the keyboard
//                                needs it; a character on no key is lent a media key
//   activate WINDOW              ask the window manager to activate the X window (with focus)
//   active                       the X window the window manager has made active (0 for none)
//
// MODIFIERS is a sum: 1 Control, 2 Shift; WINDOW is in hexadecimal. The answer is "ok N", N the
// key and button releases sent (the caller counts them as they arrive) or the active window, or
// "error LINE". Ends when the connection closes.
// A test tool, never installed.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "base/text.h"
#include "framework/x11/window_manager.h"

namespace {

struct Modifiers {
    bool control = false;
    bool shift = false;
};

Modifiers ReadModifiers(int sum) {
    return {(sum & 1) != 0, (sum & 2) != 0};
}

class Sender {
  public:
    explicit Sender(Display* display) : display_(display) {}
    // The lent keys get their own symbols back.
    ~Sender() {
        for (const auto& [code, symbols] : borrowed_) {
            XChangeKeyboardMapping(display_, code, static_cast<int>(symbols.size()),
                                   const_cast<KeySym*>(symbols.data()), 1);
        }
        XSync(display_, False);
    }
    Sender(const Sender&) = delete;
    Sender& operator=(const Sender&) = delete;

    int Click(int x, int y, unsigned button, Modifiers held) {
        XTestFakeMotionEvent(display_, -1, x, y, 0);
        Hold(held, true);
        XTestFakeButtonEvent(display_, button, True, 0);
        XTestFakeButtonEvent(display_, button, False, 0);
        Hold(held, false);
        return 1 + Count(held);
    }

    int Key(KeySym keysym, Modifiers held) {
        const KeyCode code = XKeysymToKeycode(display_, keysym);
        if (code == 0) {
            return -1;
        }
        Hold(held, true);
        Tap(code);
        Hold(held, false);
        return 1 + Count(held);
    }

    // Each character is typed on the key that carries it, with Shift for its second level; a
    // character that no key carries on a key lent to it (see Lent). A text with a character that
    // can have no key is refused whole.
    int Type(const std::u32string& text) {
        std::vector<KeyCode> codes;
        std::vector<bool> shifted;
        for (const char32_t letter : text) {
            const KeySym keysym = KeysymOf(letter);
            const auto lent = lent_.find(keysym);
            KeyCode code = lent != lent_.end() ? lent->second : XKeysymToKeycode(display_, keysym);
            const bool own = code != 0;
            if (!own && (code = Lent(keysym)) == 0) {
                return -1;
            }
            codes.push_back(code);
            shifted.push_back(own && lent == lent_.end() &&
                              XkbKeycodeToKeysym(display_, code, 0, 0) != keysym);
        }
        int released = 0;
        for (size_t i = 0; i < codes.size(); ++i) {
            Hold({false, shifted[i]}, true);
            Tap(codes[i]);
            Hold({false, shifted[i]}, false);
            released += shifted[i] ? 2 : 1;
        }
        return released;
    }

    void Activate(Window window) { fw::x11::AskToActivate(display_, window); }

    Window Active() {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        Window active = None;
        if (XGetWindowProperty(display_, DefaultRootWindow(display_),
                               XInternAtom(display_, "_NET_ACTIVE_WINDOW", False), 0, 1, False,
                               XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
            data) {
            active = count == 1 ? *reinterpret_cast<const Window*>(data) : None;
            XFree(data);
        }
        return active;
    }

  private:
    // A key lent to a symbol that no key carries, until the end; 0 when none is left. Wine reads
    // a key's character from the present keyboard map, but knows only the keys it found when it
    // started: a key without symbols then stays without a character. The keys lent are those
    // that carry only vendor symbols (media and launch keys, XF86*), which are never typed.
    KeyCode Lent(KeySym keysym) {
        int lowest = 0;
        int highest = 0;
        XDisplayKeycodes(display_, &lowest, &highest);
        int perCode = 0;
        KeySym* map = XGetKeyboardMapping(display_, static_cast<KeyCode>(lowest),
                                          highest - lowest + 1, &perCode);
        KeyCode found = 0;
        for (int code = lowest; code <= highest && found == 0; ++code) {
            const KeySym* symbols = map + (code - lowest) * perCode;
            bool vendor = false;
            bool other = false;
            for (int level = 0; level < perCode; ++level) {
                vendor = vendor || (symbols[level] >> 8) == 0x1008ff;
                other = other || (symbols[level] != NoSymbol && (symbols[level] >> 8) != 0x1008ff);
            }
            if (vendor && !other && !borrowed_.contains(static_cast<KeyCode>(code))) {
                found = static_cast<KeyCode>(code);
                borrowed_[found].assign(symbols, symbols + perCode);
            }
        }
        XFree(map);
        if (found != 0) {
            KeySym both[2] = {keysym, keysym};
            XChangeKeyboardMapping(display_, found, 2, both, 1);
            lent_[keysym] = found;
        }
        return found;
    }

    // Latin-1 characters are their own key symbols, the others Unicode's.
    static KeySym KeysymOf(char32_t letter) {
        return letter < 0x100 ? letter : 0x01000000 | letter;
    }

    void Tap(KeyCode code) {
        XTestFakeKeyEvent(display_, code, True, 0);
        XTestFakeKeyEvent(display_, code, False, 0);
    }

    void Hold(Modifiers held, bool down) {
        if (held.control) {
            XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, XK_Control_L), down, 0);
        }
        if (held.shift) {
            XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, XK_Shift_L), down, 0);
        }
    }

    static int Count(Modifiers held) { return (held.control ? 1 : 0) + (held.shift ? 1 : 0); }

    Display* display_;
    std::map<KeySym, KeyCode> lent_;
    std::map<KeyCode, std::vector<KeySym>> borrowed_;  // the lent keys' own symbols
};

// The text of a UTF-8 line as code points (a malformed byte stands for itself).
std::u32string Decode(const std::string& text) {
    std::u32string letters;
    for (size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const int extra = lead >= 0xf0 ? 3 : lead >= 0xe0 ? 2 : lead >= 0xc0 ? 1 : 0;
        char32_t letter = extra == 0 ? lead : lead & (0x3f >> extra);
        for (int i = 1; i <= extra && at + i < text.size(); ++i) {
            letter = (letter << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3f);
        }
        letters.push_back(letter);
        at += 1 + extra;
    }
    return letters;
}

// Runs one command line; its answer's number, or -1 for a line it cannot run.
long Run(Sender& sender, const std::string& line) {
    std::istringstream words(line);
    std::string command;
    words >> command;
    if (command == "click") {
        int x = 0;
        int y = 0;
        unsigned button = 0;
        int modifiers = 0;
        return words >> x >> y >> button >> modifiers
                   ? sender.Click(x, y, button, ReadModifiers(modifiers))
                   : -1;
    }
    if (command == "key") {
        unsigned long keysym = 0;
        int modifiers = 0;
        return words >> std::hex >> keysym >> std::dec >> modifiers
                   ? sender.Key(keysym, ReadModifiers(modifiers))
                   : -1;
    }
    if (command == "type") {
        return line.size() > 5 ? sender.Type(Decode(line.substr(5))) : -1;
    }
    if (command == "activate") {
        unsigned long window = 0;
        if (!(words >> std::hex >> window)) {
            return -1;
        }
        sender.Activate(window);
        return 0;
    }
    if (command == "active") {
        return static_cast<long>(sender.Active());
    }
    return -1;
}

}  // namespace

// A connection to the loopback address's port, or -1.
int Connect(const char* port) {
    const int connection = socket(AF_INET, SOCK_STREAM, 0);
    if (connection < 0) {
        return -1;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(base::ToLong(port)));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int on = 1;
    setsockopt(connection, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    if (connect(connection, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(connection);
        return -1;
    }
    return connection;
}

// Answers the connection's commands until it closes.
void Serve(Display* display, int connection) {
    FILE* commands = fdopen(connection, "r");
    Sender sender(display);
    char* read = nullptr;
    size_t room = 0;
    for (ssize_t length; (length = getline(&read, &room, commands)) > 0;) {
        std::string line(read, static_cast<size_t>(length));
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
            line.pop_back();
        }
        const long number = Run(sender, line);
        XSync(display, False);
        const std::string answer =
            number < 0 ? "error " + line + "\n" : "ok " + std::to_string(number) + "\n";
        if (write(connection, answer.data(), answer.size()) !=
            static_cast<ssize_t>(answer.size())) {
            break;
        }
    }
    std::free(read);
    std::fclose(commands);
}

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    if (!display || !XTestQueryExtension(display, &event, &error, &major, &minor)) {
        std::fputs("ipo-x-input: no X display with the XTest extension\n", stderr);
        return 1;
    }
    const int connection = argc == 2 ? Connect(argv[1]) : -1;
    if (connection < 0) {
        std::fputs("usage: ipo-x-input PORT (a TCP port of the loopback address)\n", stderr);
        return 2;
    }
    Serve(display, connection);
    XCloseDisplay(display);
    return 0;
}
