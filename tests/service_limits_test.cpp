// Connections that try to exhaust the service (header floods, oversized bodies), the store's
// modes, a service asked to leave loopback.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>
#include <tuple>
#include <vector>

#include "raw_connection.h"
#include "service_test_client.h"

namespace {

const std::string kHealth = "GET /health HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";

class ServiceLimitsTest : public ::testing::Test {
  protected:
    harness::ServiceProcess service;
};

TEST_F(ServiceLimitsTest, HeaderFloodIsRefusedWithoutGrowingTheService) {
    const long before = harness::MemoryKiB(service.Pid(), "VmRSS");
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
        largest = std::max(largest, harness::MemoryKiB(service.Pid(), "VmRSS"));
    }
    largest = std::max(largest, harness::MemoryKiB(service.Pid(), "VmRSS"));
    std::printf("flood cut after %zu bytes, resident memory %+ld KiB\n", sent, largest - before);
    EXPECT_LT(sent, 300u * 1000 * 1000) << "the service read the whole flood";
    EXPECT_LT(largest - before, 32 * 1024) << "resident memory grew from " << before << " KiB";
    RawConnection next(service.Port());  // a new client is answered
    EXPECT_TRUE(next.Send(kHealth) && next.Read() == 200);
}

// A body whose end could be read two ways, or announced too large, is refused at once and its
// connection closed, so that the request hidden in it never runs.
TEST_F(ServiceLimitsTest, AmbiguousOrOversizedBodiesAreRefusedAndTheConnectionClosed) {
    const std::string hidden = "GET /health HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    const std::string body = "{}\r\n" + hidden;
    const std::string ambiguous =
        R"("message":"The request's length is given more than one way; it is refused and the )"
        R"(connection closed","result":10})";
    const std::tuple<const char*, std::string, int, std::string> cases[] = {
        {"two lengths",
         "Content-Length: 4\r\nContent-Length: " + std::to_string(body.size()) + "\r\n", 400,
         ambiguous},
        {"a length and a coding", "Content-Length: 4\r\nTransfer-Encoding: chunked\r\n", 400,
         ambiguous},
        {"a blank before the colon", "Transfer-Encoding : chunked\r\nContent-Length: 4\r\n", 400,
         ambiguous},
        {"a folded line", "Content-Length: 4\r\nX-Note: a\r\n folded\r\n", 400, ambiguous},
        {"a length above the limit", "Content-Length: 2000000\r\n", 413,
         R"("message":"Request body is larger than 1048576 bytes","result":13})"},
    };
    for (const auto& [name, headers, status, message] : cases) {
        RawConnection smuggler(service.Port());
        ASSERT_TRUE(smuggler.Send("POST /ipo/order HTTP/1.1\r\nHost: 127.0.0.1\r\n" + headers +
                                  "\r\n" + body))
            << name;
        EXPECT_EQ(smuggler.Read(), status) << name;
        EXPECT_NE(smuggler.answer.find("Connection: close"), std::string::npos) << name;
        EXPECT_NE(smuggler.answer.find(message), std::string::npos) << smuggler.answer;
        EXPECT_EQ(smuggler.Read(), 0) << name << ": the hidden request was answered\n"
                                      << smuggler.answer;
    }
}

// One address holds at most 64 connections; while it does, another is answered at once.
TEST_F(ServiceLimitsTest, OnePeerCannotHoldEveryConnection) {
    std::vector<std::unique_ptr<RawConnection>> idle;
    for (int i = 0; i < 850; ++i) {
        idle.push_back(std::make_unique<RawConnection>(service.Port()));
    }
    RawConnection more(service.Port());  // closed once the service has taken all before it
    EXPECT_TRUE(more.Send(kHealth));
    EXPECT_EQ(more.Read(), 0) << "the peer's connection beyond its cap was served";
    // The service's threads take connections side by side: one taken just before `more` may
    // still be closing.
    const auto open = [&idle] {
        return std::count_if(idle.begin(), idle.end(), [](const auto& c) { return !c->Closed(); });
    };
    for (int wait = 0; wait < 100 && open() > 64; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(open(), 64);
    const auto start = std::chrono::steady_clock::now();
    RawConnection other(service.Port(), 3000, "127.0.0.2");
    EXPECT_TRUE(other.Send(kHealth) && other.Read() == 200);
    const std::chrono::duration<double, std::milli> waited =
        std::chrono::steady_clock::now() - start;
    std::printf("a client beside a full peer waited %.1f ms\n", waited.count());
    EXPECT_LT(waited.count(), 1000);
}

// Overwrites the last page of the database file at `path` (its page size is at offset 16).
void DamageLastPage(const std::string& path) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    unsigned char size[2] = {};
    file.seekg(16).read(reinterpret_cast<char*>(size), 2);
    const long pageSize = size[0] * 256 + size[1];
    file.seekp(static_cast<long>(std::filesystem::file_size(path)) - pageSize);
    file << std::string(static_cast<size_t>(pageSize), '\xA5');
}

// An order is never acknowledged into store files deleted or replaced under the running
// service, and a damaged store is refused when opened, never read as data.
TEST_F(ServiceLimitsTest, AVanishedReplacedOrDamagedStoreIsAFailureNeverAnAnswer) {
    const auto refusedFrom = [](harness::ServiceProcess& running) {
        ServiceTestClient client(running);
        const std::string message =
            "The IPO store is unavailable: the store's file " + running.DbPath() +
            " was deleted or replaced while the service ran; nothing more is written until the "
            "service is restarted";
        for (int attempt = 1; attempt <= 2; ++attempt) {  // and it stays refused
            const ServiceReply lost = client.Post("/ipo/order", wire::Order());
            EXPECT_EQ(lost.status, 503) << attempt;
            EXPECT_EQ(lost.Message(), message) << attempt;
        }
    };
    const std::string db = service.DbPath();
    for (const char* suffix : {"", "-wal", "-shm"}) {
        std::remove((db + suffix).c_str());
    }
    refusedFrom(service);

    harness::ServiceProcess replaced;
    std::filesystem::copy_file(replaced.DbPath(), replaced.DbPath() + ".copy");
    std::filesystem::rename(replaced.DbPath() + ".copy", replaced.DbPath());
    refusedFrom(replaced);

    // Damaged once stopped and its write-ahead log folded in (by a command of its own).
    harness::ServiceProcess damaged;
    damaged.Stop();
    const std::string words =
        "--db " + damaged.DbPath() + " user passwd INV001 --password p4ssword";
    std::string output;
    ASSERT_EQ(harness::RunService(words, output), 0) << output;
    DamageLastPage(damaged.DbPath());
    EXPECT_EQ(harness::RunService(words, output), 2);
    EXPECT_EQ(output.rfind("ipo-service: cannot open " + damaged.DbPath() + ": it is damaged (", 0),
              0u)
        << output;
}

// The store is its owner's alone; the service stays on loopback.
TEST_F(ServiceLimitsTest, StoreModesAndAddressesAreGuarded) {
    struct stat info {};
    ASSERT_EQ(stat(service.DbPath().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ASSERT_EQ(stat((service.DbPath() + "-wal").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    for (const char* host : {"0.0.0.0", "127.0.0.1.example.com", "::ffff:10.0.0.1"}) {
        std::string output;
        EXPECT_EQ(harness::RunService(
                      std::string("--host ") + host + " --port 0 --db /nonexistent/x.db", output),
                  2);
        EXPECT_EQ(output, std::string("ipo-service: --host ") + host +
                              " is not a loopback address; beyond loopback the service serves "
                              "HTTPS only: give --tls-cert and --tls-key\n");
    }
}

}  // namespace
