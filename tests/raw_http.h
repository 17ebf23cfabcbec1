// Plain loopback sockets for tests that must send what no HTTP client library sends: idle
// connections, slow or endless headers, bodies that announce one size and bring another.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

class RawConnection {
  public:
    // Connects to 127.0.0.1:port; reads wait at most `timeoutMs` each.
    explicit RawConnection(int port, int timeoutMs = 3000) {
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const timeval timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
        setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
        const int on = 1;
        setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~RawConnection() { close(fd_); }
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    bool Connected() const { return connected_; }
    // Sends all of `bytes`; false once the peer has closed or stopped reading.
    bool Send(const std::string& bytes) {
        size_t sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n = send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) {
                return false;
            }
            sent += static_cast<size_t>(n);
        }
        return true;
    }
    // Reads one answer: its head and as much body as Content-Length announces ("" on timeout).
    std::string ReadAnswer() {
        std::string answer;
        char buffer[4096];
        for (;;) {
            const size_t head = answer.find("\r\n\r\n");
            if (head != std::string::npos) {
                const size_t length = answer.find("Content-Length: ");
                const size_t body =
                    length == std::string::npos ? 0 : std::stoul(answer.substr(length + 16));
                if (answer.size() >= head + 4 + body) {
                    return answer;
                }
            }
            const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
            if (n <= 0) {
                return answer;
            }
            answer.append(buffer, static_cast<size_t>(n));
        }
    }
    // The status code of an answer ("HTTP/1.1 413 ..."), 0 when there was none.
    static int Status(const std::string& answer) {
        return answer.rfind("HTTP/1.", 0) == 0 && answer.size() > 12 ? std::stoi(answer.substr(9))
                                                                     : 0;
    }

  private:
    int fd_ = -1;
    bool connected_ = false;
};
