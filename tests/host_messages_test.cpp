#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "host/client_directory.h"
#include "host/host_messages.h"
#include "host/sign_in.h"
#include "plugin/host_abi.h"
#include "service_harness.h"

namespace {

struct RecordingLog : TerminalLog {
    std::vector<std::string> messages;
    std::string clientInUse;
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void ShowClientInUse(const std::string& id, const std::string& code) override {
        clientInUse = id + "/" + code;
    }
};

struct FixedDirectory : ClientDirectory {
    std::map<std::string, ClientRecord> clients;
    std::optional<ClientRecord> Lookup(const std::string& id, std::string& error) override {
        auto found = clients.find(id);
        if (found == clients.end()) {
            error = "Unknown client " + id;
            return std::nullopt;
        }
        return found->second;
    }
};

// A field's bytes, and what a field holding `text` padded with zeros holds.
template <size_t N>
std::string Bytes(const char (&field)[N]) {
    return std::string(field, N);
}
std::string Field(const std::string& text, size_t width) {
    return text + std::string(width - text.size(), '\0');
}

// The typed id is left as it was; what does not fit its field is not written.
TEST(HostMessages, ClientLookupWritesIdCodeAndNameOrNothingThatDoesNotFit) {
    RecordingLog log;
    FixedDirectory directory;
    HostMessages messages{log, directory};
    directory.clients["CL0001"] = {"CL0001", "C0001", "Anil Kumar Mehta"};
    directory.clients["LONG"] = {"LONG", std::string(30, 'C'), "Long Code"};
    directory.clients["NAMED"] = {"NAMED", "N1", std::string(100, 'n')};
    // Typed id, the id, code and name written, and what is said.
    const std::tuple<std::string, std::string, std::string, std::string, std::string> cases[] = {
        {"CL0001", "CL0001", "C0001", "Anil Kumar Mehta", "Client CL0001 (C0001) Anil Kumar Mehta"},
        {"NOPE", "", "", "", "Unknown client NOPE"},
        {"LONG", "", "", "",
         "Client LONG has an id or code longer than 29 characters; it "
         "cannot be used"},
        {"NAMED", "NAMED", "N1", "", "client NAMED is longer than 99 characters; it is not shown"},
    };
    for (const auto& [typed, id, code, name, said] : cases) {
        const size_t before = log.messages.size();
        ClientLookupMessage message{};
        message.MessageId = kClientLookupMessageId;
        message.Flag1 = message.Flag2 = 1;
        std::memcpy(message.ClientIdTyped, typed.data(), typed.size());
        messages.Handle(&message);
        EXPECT_EQ(
            Field(typed, 30) + Field(id, 30) + Field(code, 30) + Field(name, 100) + Field("", 8),
            Bytes(message.ClientIdTyped) + Bytes(message.ClientId) + Bytes(message.ClientCode) +
                Bytes(message.ClientName) + Bytes(message.FurtherText))
            << typed;
        std::string saidNow;
        for (size_t i = before; i < log.messages.size(); ++i) {
            saidNow += log.messages[i] + "\n";
        }
        EXPECT_NE(std::string::npos, saidNow.find(said)) << saidNow;
    }
}

// The lookup itself, and the sign-in that gives its token, are in the dealer's scenario; here
// the service's refusals reach the caller.
TEST(ServiceClientDirectory, SaysWhyALookupFailed) {
    harness::ServiceProcess service;
    const ServiceEndpoint endpoint{"http", "127.0.0.1", service.Port(), ""};
    ServiceClientDirectory directory;
    directory.SetSession(endpoint, "");
    std::string error;
    EXPECT_FALSE(directory.Lookup("CL0001", error));
    EXPECT_EQ("Not signed in: the request carries no session token", error);

    std::string token = harness::SignIn(service.Port(), "DEALER01", "bull-run-01");
    directory.SetSession(endpoint, token);
    EXPECT_FALSE(directory.Lookup("CL0006", error));  // DEALER02's
    EXPECT_EQ("Unknown client CL0006", error);
    // Signed out, the token is worth nothing.
    SignOut(endpoint, token);
    EXPECT_FALSE(directory.Lookup("CL0001", error));
    EXPECT_EQ("Not signed in: the session token is not known; sign in again", error);

    service.Stop();
    EXPECT_FALSE(directory.Lookup("INV001", error));
    EXPECT_NE(std::string::npos, error.find("cannot reach")) << error;
}

// A password goes to an https service only when its certificate is trusted: an untrusted one
// gets nothing of the sign-in. The sign-in answer names the user's type and login client.
TEST(TerminalSignIn, AnHttpsServiceIsUsedOnlyWhenItsCertificateIsTrusted) {
    harness::Certificate certificate;
    const std::string log = certificate.folder + "/access.log";
    harness::ServiceProcess service(
        {"--tls-cert", certificate.cert, "--tls-key", certificate.key, "--log", log});
    const std::string origin = "https://localhost:" + std::to_string(service.Port());
    std::string error;
    ServiceEndpoint endpoint;
    ASSERT_TRUE(ParseServiceAddress(origin, endpoint, error));
    EXPECT_FALSE(SignIn(endpoint, "INV026", harness::SeededPassword("INV026"), error));
    EXPECT_EQ("The IPO service at " + origin +
                  " cannot be trusted: its certificate is not signed by an authority in the "
                  "system's store (--ca-file, or ca_file in the terminal's settings), or is not "
                  "for this host",
              error);

    endpoint.caFile = certificate.cert;
    const auto session = SignIn(endpoint, "DEALER01", harness::SeededPassword("DEALER01"), error);
    ASSERT_TRUE(session) << error;
    EXPECT_EQ(24, session->userType);
    EXPECT_EQ("DEALER01", session->clientId);
    EXPECT_EQ("D001", session->clientCode);
    SignOut(endpoint, session->token);
    service.Stop();
    std::ifstream file(log);
    const std::string said{std::istreambuf_iterator<char>(file), {}};
    EXPECT_NE(std::string::npos, said.find("DELETE /session status=200")) << said;
    EXPECT_EQ(std::string::npos, said.find("INV026")) << said;
}

}  // namespace
