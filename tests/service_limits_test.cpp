// Connections that try to lock others out or exhaust the service: idle and kept-alive
// connections, slow senders, header floods, oversized bodies, a second service on the port.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "service_test_client.h"

namespace {

using Clock = std::chrono::steady_clock;

const std::string kHealth = "GET /health HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";

// A plain loopback socket, for what no HTTP client sends: idle connections, slow or endless
// headers, bodies that announce one size and bring another.
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
        connected = connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
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

    bool connected = false;
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

    // Connects anew and asks for /health; gives the time to the whole answer, -1 without one.
    double NewClientMs() {
        const auto start = Clock::now();
        RawConnection connection(service.Port());
        const bool answered = connection.Send(kHealth) && connection.Read() == 200;
        return answered ? std::chrono::duration<double, std::milli>(Clock::now() - start).count()
                        : -1;
    }
};

TEST_F(ServiceLimitsTest, IdleKeptAliveAndSlowConnectionsLeaveNewClientsAnswered) {
    std::vector<std::unique_ptr<RawConnection>> held;
    for (int i = 0; i < 64; ++i) {  // terminals that asked once and keep their connection
        held.push_back(std::make_unique<RawConnection>(service.Port()));
        ASSERT_TRUE(held.back()->Send(kHealth));
        ASSERT_EQ(held.back()->Read(), 200);
    }
    for (int i = 0; i < 64; ++i) {  // sockets that never send anything
        held.push_back(std::make_unique<RawConnection>(service.Port()));
        ASSERT_TRUE(held.back()->connected);
    }
    std::atomic<bool> done{false};
    std::thread slow([&] {  // a header arriving a few bytes at a time
        RawConnection sender(service.Port());
        const std::string head = "POST /ipo/order HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: ";
        sender.Send(head);
        while (!done && sender.Send("a")) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    for (int i = 0; i < 5; ++i) {
        const double ms = NewClientMs();
        EXPECT_GE(ms, 0) << "a new client got no answer";
        EXPECT_LT(ms, 100) << "a new client waited";
        std::printf("new client answered in %.2f ms\n", ms);
    }
    // The kept-alive terminals are still served on their own connections.
    EXPECT_TRUE(held.front()->Send(kHealth));
    EXPECT_EQ(held.front()->Read(), 200);
    done = true;
    slow.join();
}

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
    EXPECT_GE(NewClientMs(), 0);
}

TEST_F(ServiceLimitsTest, OversizedBodiesAreRefusedWith413AsSoonAsKnown) {
    // Announced: the answer comes before any of the body is sent.
    RawConnection announced(service.Port(), 2000);
    ASSERT_TRUE(
        announced.Send("POST /ipo/order HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: "
                       "application/json\r\nContent-Length: 2000000\r\n\r\n"));
    EXPECT_EQ(announced.Read(), 413);
    EXPECT_NE(announced.answer.find(R"({"accepted":false,"message":"Request body is larger than )"
                                    R"(1048576 bytes","result":13})"),
              std::string::npos)
        << announced.answer;

    // Chunked: nothing is kept beyond the limit, and the end of the body gets the 413.
    RawConnection chunked(service.Port());
    ASSERT_TRUE(chunked.Send(
        "POST /ipo/order HTTP/1.1\r\nHost: 127.0.0.1\r\nTransfer-Encoding: chunked\r\n\r\n"));
    const std::string chunk = "10000\r\n" + std::string(0x10000, ' ') + "\r\n";
    for (int i = 0; i < 24; ++i) {  // 1.5 MiB
        ASSERT_TRUE(chunked.Send(chunk));
    }
    ASSERT_TRUE(chunked.Send("0\r\n\r\n"));
    EXPECT_EQ(chunked.Read(), 413);

    ServiceTestClient client(service.Port());
    EXPECT_TRUE(client.Book(wire::Investor(93)).empty());
}

// The store is its owner's alone; the service stays on loopback, on a port of its own.
TEST_F(ServiceLimitsTest, StoreModesAddressesPortsAndArgumentsAreGuarded) {
    struct stat info {};
    ASSERT_EQ(stat(service.DbPath().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ASSERT_EQ(stat((service.DbPath() + "-wal").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    harness::ServiceProcess second;
    second.Stop();
    try {
        second.Start(service.Port());
        ADD_FAILURE() << "a second service started on port " << service.Port();
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("the port is in use"), std::string::npos)
            << error.what();
    }
    EXPECT_GE(NewClientMs(), 0);

    std::string output;
    EXPECT_EQ(harness::RunService("--host 0.0.0.0 --port 0 --db /nonexistent/x.db", output), 2);
    EXPECT_EQ(output,
              "ipo-service: --host 0.0.0.0 is not a loopback address; beyond loopback the service "
              "serves HTTPS only: give --tls-cert and --tls-key\n");
    EXPECT_EQ(harness::RunService("--db /nonexistent/x.db --frobnicate", output), 2);
    EXPECT_EQ(output, "ipo-service: The following argument was not expected: --frobnicate\n");
    EXPECT_EQ(harness::RunService("--version", output), 0);
    EXPECT_EQ(output, "ipo-service " IPO_PROJECT_VERSION "\n");
}

}  // namespace
