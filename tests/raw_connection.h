// A plain loopback socket, for what no HTTP client sends: endless headers, bodies announced
// and not sent, ambiguous framing, or requests from another loopback address.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

// One connection to 127.0.0.1:`port`, made from the loopback address `from`.
class RawConnection {
  public:
    explicit RawConnection(int port, int timeoutMs = 3000, const char* from = "127.0.0.1")
        : fd_(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        inet_pton(AF_INET, from, &address.sin_addr);
        bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const timeval timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
        setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
        connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    ~RawConnection() { close(fd_); }

    // True once the peer has closed the connection (checked without waiting).
    bool Closed() const {
        char byte = 0;
        return recv(fd_, &byte, 1, MSG_DONTWAIT | MSG_PEEK) == 0;
    }
    // Sends all of `bytes`; false once the peer has closed or stopped reading.
    bool Send(const std::string& bytes) {
        for (size_t sent = 0; sent < bytes.size();) {
            const ssize_t n = send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) {
                return false;
            }
            sent += static_cast<size_t>(n);
        }
        return true;
    }
    // Reads one answer (its head and the body Content-Length announces); gives its status
    // code, 0 without one, and keeps its text in `answer`.
    int Read() {
        answer.clear();
        char buffer[4096];
        for (ssize_t n = 0;; answer.append(buffer, static_cast<size_t>(n))) {
            const size_t head = answer.find("\r\n\r\n");
            const size_t length = answer.find("Content-Length: ");
            if (head != std::string::npos &&
                answer.size() >= head + 4 +
                                     (length == std::string::npos
                                          ? 0
                                          : std::stoul(answer.substr(length + 16)))) {
                break;
            }
            if ((n = recv(fd_, buffer, sizeof buffer, 0)) <= 0) {
                break;
            }
        }
        return answer.rfind("HTTP/1.", 0) == 0 && answer.size() > 12 ? std::stoi(answer.substr(9))
                                                                     : 0;
    }

    // Sends a JSON POST and reads its answer's status.
    int Post(const std::string& path, const std::string& body) {
        return Send("POST " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: " +
                    "application/json\r\nContent-Length: " + std::to_string(body.size()) +
                    "\r\n\r\n" + body)
                   ? Read()
                   : 0;
    }

    std::string answer;  // the last one read

  private:
    const int fd_;
};
