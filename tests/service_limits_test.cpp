// Connections that try to exhaust the service (header floods, oversized bodies), the store's
// modes, a service asked to leave loopback.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "service_harness.h"

namespace {

const std::string kHealth = "GET /health HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";

// A plain loopback socket, for what no HTTP client sends: endless headers, bodies announced
// and not sent.
class RawConnection {
  public:
    explicit RawConnection(int port, int timeoutMs = 3000)
        : fd_(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const timeval timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
        setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
        connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    ~RawConnection() { close(fd_); }

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

    std::string answer;  // the last one read

  private:
    const int fd_;
};

// The resident memory of a process, in KiB.
long ResidentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string word;
    while (status >> word) {
        if (word == "VmRSS:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
    }
    return -1;
}

class ServiceLimitsTest : public ::testing::Test {
  protected:
    harness::ServiceProcess service;
};

TEST_F(ServiceLimitsTest, HeaderFloodIsRefusedWithoutGrowingTheService) {
    const long before = ResidentKiB(service.Pid());
    ASSERT_GT(before, 0);
    RawConnection flood(service.Port());
    ASSERT_TRUE(flood.Send("POST /ipo/order HTTP/1.1\r\nHost: 127.0.0.1\r\n"));
    const std::string line = "X-Flood: " + std::string(990, 'a') + "\r\n";
    std::string block;
    for (int i = 0; i < 1000; ++i) {
        block += line;
    }
    size_t sent = 0;
    long largest = before;
    while (sent < 300u * 1000 * 1000 && flood.Send(block)) {
        sent += block.size();
        largest = std::max(largest, ResidentKiB(service.Pid()));
    }
    largest = std::max(largest, ResidentKiB(service.Pid()));
    std::printf("flood cut after %zu bytes, resident memory %+ld KiB\n", sent, largest - before);
    EXPECT_LT(sent, 300u * 1000 * 1000) << "the service read the whole flood";
    EXPECT_LT(largest - before, 32 * 1024) << "resident memory grew from " << before << " KiB";
    RawConnection next(service.Port());  // a new client is answered
    EXPECT_TRUE(next.Send(kHealth) && next.Read() == 200);
}

// The answer comes before any of the body is sent.
TEST_F(ServiceLimitsTest, AnOversizedBodyIsRefusedWith413AsSoonAsAnnounced) {
    RawConnection announced(service.Port(), 2000);
    ASSERT_TRUE(
        announced.Send("POST /ipo/order HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: "
                       "application/json\r\nContent-Length: 2000000\r\n\r\n"));
    EXPECT_EQ(announced.Read(), 413);
    EXPECT_NE(announced.answer.find(R"({"accepted":false,"message":"Request body is larger than )"
                                    R"(1048576 bytes","result":13})"),
              std::string::npos)
        << announced.answer;
}

// The store is its owner's alone; the service stays on loopback.
TEST_F(ServiceLimitsTest, StoreModesAndAddressesAreGuarded) {
    struct stat info {};
    ASSERT_EQ(stat(service.DbPath().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ASSERT_EQ(stat((service.DbPath() + "-wal").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    std::string output;
    EXPECT_EQ(harness::RunService("--host 0.0.0.0 --port 0 --db /nonexistent/x.db", output), 2);
    EXPECT_EQ(output,
              "ipo-service: --host 0.0.0.0 is not a loopback address; beyond loopback the service "
              "serves HTTPS only: give --tls-cert and --tls-key\n");
}

}  // namespace
