// Sessions and the operator's log, driven over HTTP and the service's command line: who may
// sign in, which tokens are taken, and what the log says and never says.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <regex>
#include <thread>

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
    std::this_thread::sleep_for(std::chrono::milliseconds(3100));
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

TEST(ServiceSessions, WrongPasswordsAreRefusedAndRepeatedGuessesLockTheUserOut) {
    harness::ServiceProcess service;
    ServiceTestClient client(service);
    ExpectNotSignedIn(SignIn(client, "INV001", "first-listinG"), "Wrong user id or password");
    ExpectNotSignedIn(SignIn(client, "NOBODY", "first-listing"), "Wrong user id or password");
    for (int attempt = 2; attempt <= 5; ++attempt) {
        SignIn(client, "INV001", "guess-" + std::to_string(attempt));
    }
    const ServiceReply locked = SignIn(client, "INV001", "first-listing");
    EXPECT_EQ(locked.status, 429);
    EXPECT_EQ(locked.body.value("result", 0), 15);
    EXPECT_EQ(locked.Message().rfind("Too many failed sign-ins for INV001; try again in ", 0), 0u)
        << locked.Message();
    EXPECT_EQ(SignIn(client, "INV026", "lot-size-26").status, 200);  // others are not held up
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
