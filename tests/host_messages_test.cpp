#include <gtest/gtest.h>

#include <cstring>
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
    std::vector<std::string> asked;
    std::optional<ClientRecord> Lookup(const std::string& id, std::string& error) override {
        asked.push_back(id);
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

class HostMessagesTest : public ::testing::Test {
  protected:
    ClientLookupMessage Lookup(const std::string& typed) {
        ClientLookupMessage message{};
        message.MessageId = kClientLookupMessageId;
        message.Flag1 = message.Flag2 = 1;
        std::memcpy(message.ClientIdTyped, typed.data(), typed.size());
        messages.Handle(&message);
        return message;
    }

    RecordingLog log;
    FixedDirectory directory;
    HostMessages messages{log, directory};
};

TEST_F(HostMessagesTest, ServiceFailureTextGoesToTheLogWhole) {
    ServiceFailureMessage message{};
    message.MessageId = kServiceFailureMessageId;
    const std::string text(4097, 'x');
    std::memcpy(message.Text, text.data(), text.size());
    messages.Handle(&message);
    ASSERT_EQ(1u, log.messages.size());
    EXPECT_EQ(text, log.messages[0]);
}

TEST_F(HostMessagesTest, ClientLookupWritesIdCodeAndNameOrNothingThatDoesNotFit) {
    directory.clients["CL0001"] = {"CL0001", "C0001", "Anil Kumar Mehta"};
    ClientLookupMessage answer = Lookup("CL0001");
    EXPECT_EQ(std::vector<std::string>{"CL0001"}, directory.asked);
    EXPECT_EQ(Field("CL0001", 30), Bytes(answer.ClientId));
    EXPECT_EQ(Field("C0001", 30), Bytes(answer.ClientCode));
    EXPECT_EQ(Field("Anil Kumar Mehta", 100), Bytes(answer.ClientName));
    EXPECT_EQ(Field("", 8), Bytes(answer.FurtherText));
    EXPECT_EQ(Field("CL0001", 30), Bytes(answer.ClientIdTyped));  // left as it was

    answer = Lookup("NOPE");
    EXPECT_EQ(Field("", 30), Bytes(answer.ClientId));
    EXPECT_EQ(Field("", 100), Bytes(answer.ClientName));
    EXPECT_EQ("Unknown client NOPE", log.messages.back());

    // A code of 30 characters does not fit its field: neither id nor code is written.
    directory.clients["LONG"] = {"LONG", std::string(30, 'C'), "Long Code"};
    answer = Lookup("LONG");
    EXPECT_EQ(Field("", 30), Bytes(answer.ClientId));
    EXPECT_EQ(Field("", 30), Bytes(answer.ClientCode));
    EXPECT_NE(std::string::npos, log.messages.back().find("longer than 29"));

    // A name of 100 characters is not shown; id and code are.
    directory.clients["NAMED"] = {"NAMED", "N1", std::string(100, 'n')};
    answer = Lookup("NAMED");
    EXPECT_EQ(Field("NAMED", 30), Bytes(answer.ClientId));
    EXPECT_EQ(Field("N1", 30), Bytes(answer.ClientCode));
    EXPECT_EQ(Field("", 100), Bytes(answer.ClientName));
}

TEST_F(HostMessagesTest, ClientSelectedIsShownAndAnsweredWithOne) {
    ClientSelectedMessage message{};
    message.MessageId = kClientSelectedMessageId;
    std::memcpy(message.ClientId, "CL0002", 6);
    std::memcpy(message.ClientCode, "C0002", 5);
    messages.Handle(&message);
    EXPECT_EQ("CL0002/C0002", log.clientInUse);
    EXPECT_EQ(1, message.Answer);
}

TEST_F(HostMessagesTest, UnknownMessageIsLoggedAndNothingIsWritten) {
    char record[16] = {};
    const uint32_t id = 4242;
    std::memcpy(record, &id, 4);
    messages.Handle(record);
    EXPECT_EQ(std::string(12, '\0'), std::string(record + 4, 12));
    EXPECT_NE(std::string::npos, log.messages.back().find("4242"));
}

TEST(ServiceClientDirectory, LooksADealersClientsUpInTheDealersSession) {
    harness::ServiceProcess service;
    ServiceClientDirectory directory("127.0.0.1", service.Port());
    std::string error;
    EXPECT_FALSE(directory.Lookup("CL0001", error));
    EXPECT_EQ("Not signed in: the request carries no session token", error);

    const std::optional<ServiceSession> wrong =
        SignIn("127.0.0.1", service.Port(), "DEALER01", "bull-run-02", error);
    EXPECT_FALSE(wrong);
    EXPECT_EQ("Wrong user id or password", error);
    const std::optional<ServiceSession> session =
        SignIn("127.0.0.1", service.Port(), "DEALER01", harness::SeededPassword("DEALER01"), error);
    ASSERT_TRUE(session) << error;
    EXPECT_EQ(43u, session->token.size());
    directory.SetToken(session->token);
    const std::optional<ClientRecord> client = directory.Lookup("CL0001", error);
    ASSERT_TRUE(client) << error;
    EXPECT_EQ("CL0001", client->id);
    EXPECT_EQ("C0001", client->code);
    EXPECT_EQ("Anil Kumar Mehta", client->name);

    EXPECT_FALSE(directory.Lookup("CL0006", error));  // DEALER02's
    EXPECT_EQ("Unknown client CL0006", error);

    // Signed out, the token is worth nothing.
    SignOut("127.0.0.1", service.Port(), session->token);
    EXPECT_FALSE(directory.Lookup("CL0001", error));
    EXPECT_EQ("Not signed in: the session token is not known; sign in again", error);

    service.Stop();
    EXPECT_FALSE(directory.Lookup("INV001", error));
    EXPECT_NE(std::string::npos, error.find("cannot reach")) << error;
}

}  // namespace
