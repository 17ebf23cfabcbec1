#include "framework/win32/x_input_helper.h"

// clang-format off
#include <winsock2.h>
#include <windows.h>
// clang-format on

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string_view>

#include "base/text.h"

namespace fw::win32::input {
namespace {

[[noreturn]] void Fail(const std::string& why) {
    std::fprintf(stderr, "ipo-x-input: %s\n", why.c_str());
    std::fflush(stderr);
    std::abort();
}

// Wine starts a native program but hands it none of its pipes: the helper is given a port of
// the loopback address to connect to instead, and the first connection there is taken as its.
SOCKET StartHelper(const std::string& program) {
    WSADATA version;
    if (WSAStartup(MAKEWORD(2, 2), &version) != 0) {
        Fail("no sockets");
    }
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    if (listener == INVALID_SOCKET ||
        bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 1) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        Fail("cannot listen on the loopback address");
    }
    std::string commandLine = program + " " + std::to_string(ntohs(address.sin_port));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // Wine gives back no handles of a native process: what it leaves in `process` is whatever its
    // own stack held, and closing that closed handles of this program's (the display settings'
    // registry key among them).
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        Fail("cannot start " + program);
    }
    fd_set waiting;
    FD_ZERO(&waiting);
    FD_SET(listener, &waiting);
    timeval patience{10, 0};
    SOCKET connection = select(0, &waiting, nullptr, nullptr, &patience) == 1
                            ? accept(listener, nullptr, nullptr)
                            : INVALID_SOCKET;
    closesocket(listener);
    if (connection == INVALID_SOCKET) {
        Fail(program + " did not connect within 10 s");
    }
    const BOOL on = TRUE;
    setsockopt(connection, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    return connection;
}

}  // namespace

XInputHelper* XInputHelper::Get() {
    static const std::unique_ptr<XInputHelper> helper = []() -> std::unique_ptr<XInputHelper> {
        char program[MAX_PATH] = {};
        const DWORD length = GetEnvironmentVariableA("IPO_X_INPUT", program, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) {
            return nullptr;
        }
        return std::unique_ptr<XInputHelper>(new XInputHelper(StartHelper(program)));
    }();
    return helper.get();
}

long long XInputHelper::Run(const std::string& command) {
    static std::mutex one;
    std::lock_guard lock(one);
    const auto connection = static_cast<SOCKET>(connection_);
    const std::string line = command + "\n";
    if (send(connection, line.data(), static_cast<int>(line.size()), 0) !=
        static_cast<int>(line.size())) {
        Fail("the helper has gone");
    }
    std::string answer;
    char letter = 0;
    while (recv(connection, &letter, 1, 0) == 1 && letter != '\n') {
        answer += letter;
    }
    if (answer.rfind("ok ", 0) == 0) {
        return base::ToLong(std::string_view(answer).substr(3));
    }
    if (answer.rfind("error ", 0) != 0) {
        Fail("the helper has gone");
    }
    std::fprintf(stderr, "ipo-x-input refused: %s\n", command.c_str());
    return -1;
}

}  // namespace fw::win32::input
