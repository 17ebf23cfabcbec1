// Sessions and the operator's log, driven over HTTP and the service's command line: who may
// sign in, which tokens are taken, and what the log says and never says.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <future>
#include <iomanip>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

#include "raw_connection.h"
#include "service_test_client.h"

using nlohmann::json;

namespace {

ServiceReply SignIn(ServiceTestClient& client, const std::string& userId,
                    const std::string& password) {
    return client.PostWith("", "/session",
                           json{{"user_id", userId}, {"password", password}}.dump());
}

void ExpectNotSignedIn(const ServiceReply& reply, const std::string& message) {
    EXPECT_EQ(reply.status, 401);
    EXPECT_EQ(reply.body.value("result", 0), 14);
    EXPECT_EQ(reply.Message(), message);
}

TEST(ServiceSessions, RequestsWithoutAWrongAnExpiredOrAReplacedTokenAreRefused) {
    harness::ServiceProcess service(
        {"--session-lifetime", "2"});  // whole seconds: valid 1 s at least
    ServiceTestClient client(service);
    const auto book = [&](const std::string& authorization) {
        return client.PostWith(authorization, "/ipo/orderbook", wire::Investor(93).dump());
    };
    ExpectNotSignedIn(book(""), "Not signed in: the request carries no session token");
    ExpectNotSignedIn(book("Bearer made-up-token"),
                      "Not signed in: the session token is not known; sign in again");

    const ServiceReply signedIn = SignIn(client, "INV001", "first-listing");
    ASSERT_EQ(signedIn.status, 200) << signedIn.Message();
    EXPECT_EQ(signedIn.body.at("user_type"), 23);
    const std::string bearer = "Bearer " + signedIn.body.at("token").get<std::string>();
    EXPECT_EQ(book(bearer).status, 200);
    // The session ends as its expiry second begins.
    std::tm expires{};
    std::istringstream(signedIn.body.at("expires").get<std::string>()) >>
        std::get_time(&expires, "%Y-%m-%d %H:%M:%S");
    expires.tm_isdst = -1;
    std::this_thread::sleep_until(std::chrono::system_clock::from_time_t(std::mktime(&expires)) +
                                  std::chrono::milliseconds(100));
    ExpectNotSignedIn(book(bearer), "The session has expired; sign in again");

    // A password changed from the command line ends the user's sessions and the old password.
    const std::string again = client.Bearer("INV001");
    EXPECT_EQ(book(again).status, 200);
    std::string output;
    EXPECT_EQ(
        harness::RunService(
            "--db " + service.DbPath() + " user passwd INV001 --password second-listing", output),
        0)
        << output;
    ExpectNotSignedIn(book(again), "Not signed in: the session token is not known; sign in again");
    ExpectNotSignedIn(SignIn(client, "INV001", "first-listing"), "Wrong user id or password");
    EXPECT_EQ(SignIn(client, "INV001", "second-listing").status, 200);
    // Signing out: the host's client directory test.
}

// A loopback address and a user id.
using Who = std::pair<std::string, std::string>;

// Wrong sign-ins sent together, the i-th as who(i); how many got each status.
std::map<int, int> GuessTogether(int port, int count, Who (*who)(int)) {
    std::vector<std::future<int>> answers;
    for (int i = 0; i < count; ++i) {
        answers.push_back(std::async(std::launch::async, [port, who, i] {
            const auto [from, user] = who(i);
            // Generous: on a loaded machine a check that waited for its turn takes seconds.
            return RawConnection(port, 30000, from.c_str())
                .Post("/session", json{{"user_id", user}, {"password", "guess"}}.dump());
        }));
    }
    std::map<int, int> tally;
    for (std::future<int>& answer : answers) {
        ++tally[answer.get()];
    }
    return tally;
}

// Guesses are counted before they are checked, so guesses sent together get no more than the
// limit (a check the service was too busy for, 503, counts too); a guesser at other addresses
// cannot lock the trader out; a flood of sign-ins does not take the service's memory.
TEST(ServiceSessions, GuessesSentTogetherStayWithinTheLimitsPerAddressAndUser) {
    harness::ServiceProcess service;
    ServiceTestClient client(service);
    ExpectNotSignedIn(SignIn(client, "NOBODY", "first-listing"), "Wrong user id or password");
    std::map<int, int> tally =
        GuessTogether(service.Port(), 20, [](int) { return Who("127.0.0.3", "INV001"); });
    EXPECT_EQ(tally[429], 15);
    EXPECT_EQ(tally[401] + tally[503], 5);
    const std::string right = json{{"user_id", "INV001"}, {"password", "first-listing"}}.dump();
    RawConnection guesser(service.Port(), 3000, "127.0.0.3");
    EXPECT_EQ(guesser.Post("/session", right), 429);
    EXPECT_NE(guesser.answer.find("Too many failed sign-ins for INV001; try again in "),
              std::string::npos)
        << guesser.answer;
    EXPECT_EQ(SignIn(client, "INV001", "first-listing").status, 200);  // from 127.0.0.1

    // Past the user's limit from everywhere, only addresses it signed in from may try.
    tally = GuessTogether(service.Port(), 16, [](int i) {
        return Who("127.0.1." + std::to_string(1 + i / 5), "INV001");
    });
    EXPECT_EQ(tally[429], 1);
    EXPECT_EQ(tally[401] + tally[503], 15);
    EXPECT_EQ(RawConnection(service.Port(), 3000, "127.0.2.1").Post("/session", right), 429);
    EXPECT_EQ(SignIn(client, "INV001", "first-listing").status, 200);

    // Each check takes 64 MiB; only a few run at once, the rest wait briefly or are refused.
    tally = GuessTogether(service.Port(), 40,
                          [](int i) { return Who("127.0.0.1", "GHOST" + std::to_string(i)); });
    const long peak = harness::MemoryKiB(service.Pid(), "VmHWM");
    std::printf("40 sign-ins at once: %d refused, %d busy; peak resident memory %ld MiB\n",
                tally[401], tally[503], peak / 1024);
    EXPECT_EQ(tally[401] + tally[503], 40) << "unanswered (0) or other: " << tally[0] << ", "
                                           << 40 - tally[0] - tally[401] - tally[503];
    EXPECT_TRUE(harness::kSanitized || peak <= 256 * 1024) << peak << " KiB";
}

TEST(ServiceSessions, TheLogNamesEachRequestAndOrderChangeButNoSecret) {
    const std::string logPath =
        testing::TempDir() + "/sessions_" + std::to_string(getpid()) + ".log";
    // No password, session token, UPI id or bank account is written.
    std::vector<std::string> secrets = {"first-listing", "bull-run-01", "rohan.desai@upibank",
                                        "30012245871"};
    {
        harness::ServiceProcess service({"--log", logPath});
        ServiceTestClient client(service);
        for (const char* user : {"INV001", "DEALER01"}) {
            secrets.push_back(client.Bearer(user).substr(7));
        }
        // An investor pays by UPI, a dealer's client through a bank account.
        ASSERT_EQ(client.Post("/ipo/order", wire::Order()).Record().at("status"), 1);
        json asba = wire::Order(wire::Dealer(94, "CL0001"));
        asba.update({{"client_code", "C0001"},
                     {"payment_mode", "ASBA"},
                     {"upi_id", ""},
                     {"bank_name", "State Union Bank"},
                     {"bank_account", "30012245871"}});
        ASSERT_EQ(client.Post("/ipo/order", asba).Record().at("status"), 1);
        ASSERT_EQ(service.RunOperator({"1", "confirm"}), 0);
    }
    struct stat info {};
    ASSERT_EQ(stat(logPath.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    std::ifstream file(logPath);
    const std::string log{std::istreambuf_iterator<char>(file), {}};
    const char* lines[] = {
        R"(access 127\.0\.0\.1 POST /ipo/order status=200 ms=[0-9.]+ user=INV001 code=94 result=0 order=1 )"
        R"(session_ms=[0-9.]+ queued_ms=[0-9.]+ work_ms=[0-9.]+ commit_ms=[0-9.]+)",
        R"(audit order=1 placed status=P application=AGE0000000001 issue=AURORAGREEN client=INV001 )"
        R"(by=INV001 category=RETAIL payment=UPI blocked_paise=1470000)",
        R"(audit order=1 operator confirm status=P->CF)",
    };
    for (const char* line : lines) {
        EXPECT_TRUE(
            std::regex_search("\n" + log, std::regex(std::string(R"(\n\S+ \S+ )") + line + "\n")))
            << line << "\n"
            << log;
    }
    for (const std::string& secret : secrets) {
        EXPECT_EQ(log.find(secret), std::string::npos) << secret;
    }
    std::remove(logPath.c_str());
}

}  // namespace
