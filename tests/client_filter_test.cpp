#include <gtest/gtest.h>

#include <string>

#include "base/text.h"
#include "plugin/host_callbacks.h"
#include "tests/support/plugin_test_env.h"
#include "watch/ipo_client_filter_dialog.h"
#include "watch/ipo_client_filter_layout.h"

using fw::headless::HeadlessForm;

namespace {

PluginTestConfig UserType(uint16_t userType) {
    PluginTestConfig config;
    config.userType = userType;
    return config;
}

class ClientFilterTest : public ::testing::Test {
  protected:
    ClientFilterTest() : env(UserType(24)) {
        env.answerClientLookup = [](ClientLookupMessage& message) {
            const std::string typed = base::FieldText(message.ClientIdTyped);
            base::CopyField(message.ClientId, typed);
            base::CopyField(message.ClientCode, "CODE-" + typed);
            base::CopyField(message.ClientName, "Name of " + typed);
        };
        dialog.PresetClientCode("PRESET");
    }

    // Runs the dialog while the user acts on it.
    int Run(std::function<void(HeadlessForm&)> user) {
        env.backend().modalHandlers.push_back(std::move(user));
        return dialog.DoModal();
    }

    PluginTestEnv env;
    CIPOClientFilterDialog dialog{nullptr};
};

// The lookup message (the id typed, capitals, at most 29; the answer fields zeroed) and the code
// the host answers; the caption, the name shown and the lookup on leaving the box are exercised
// by the dealer's scenario.
TEST_F(ClientFilterTest, LookupOnLeavingTheBoxAndOkHandOverTheHostsClient) {
    EXPECT_EQ(Run([](HeadlessForm& form) {
                  form.Type(kFilterClientIdBox, std::string(35, 'z'));
                  EXPECT_EQ(form.GetText(kFilterClientIdBox), std::string(29, 'Z'));
                  form.Type(kFilterClientIdBox, "c42");
                  form.Focus(fw::kIdOk);
                  form.Click(fw::kIdOk);
              }),
              fw::kIdOk);
    ASSERT_EQ(env.clientLookups.size(), 1u);
    const ClientLookupMessage& sent = env.clientLookups[0];
    EXPECT_TRUE(sent.Flag1 == 1 && sent.Flag2 == 1);
    EXPECT_EQ(Fields(sent.ClientIdTyped, sent.ClientId), "C42|");
    EXPECT_EQ(dialog.ClientId() + "|" + dialog.ClientCode() + "|" + dialog.ClientName(),
              "C42|CODE-C42|Name of C42");

    // Escape cancels without a lookup; a click on Cancel looks up first.
    Run([](HeadlessForm& form) {
        form.Type(kFilterClientIdBox, "c1");
        form.PressEscape();
    });
    EXPECT_EQ(env.clientLookups.size(), 1u);
    EXPECT_EQ(Run([](HeadlessForm& form) {
                  form.Type(kFilterClientIdBox, "c2");
                  form.Click(fw::kIdCancel);
              }),
              fw::kIdCancel);
    EXPECT_EQ(env.clientLookups.size(), 2u);
}

TEST_F(ClientFilterTest, BlankIdIsRefusedAndNoLookupRunsWhileTheMessageIsUp) {
    HeadlessForm* running = nullptr;
    env.backend().onMessageBox = [&](const auto&) { running->Focus(fw::kIdCancel); };
    Run([&](HeadlessForm& form) {
        running = &form;
        form.Focus(kFilterClientIdBox);
        form.PressEnter();
        EXPECT_FALSE(form.ended());
        form.PressEscape();
    });
    EXPECT_EQ(env.backend().MessageTexts(),
              std::vector<std::string>{"Client Id can not be blank."});
    EXPECT_TRUE(env.clientLookups.empty());
}

// Message 121 names the client by user type (a dealer's client without a code goes with the login
// client's code); the host's answer is reported, and a too long id is refused unsent.
TEST(ClientSelectedNotice, SendsIdAndCodeByUserTypeAndReportsTheAnswer) {
    // A dealer's client with its code: the dealer's scenario.
    const char* cases[][3] = {
        {"24", "", "C77|LCODE1"}, {"26", "K77", "LC1001|LCODE1"}, {"23", "K77", "|"}};
    for (const auto& [userType, code, sent] : cases) {
        PluginTestEnv env(UserType(static_cast<uint16_t>(std::stoi(userType))));
        EXPECT_EQ(CIPOClientFilterDialog(nullptr).NotifyClientSelected("C77", code), 1);
        ASSERT_EQ(env.clientSelections.size(), 1u);
        const ClientSelectedMessage& message = env.clientSelections[0];
        EXPECT_EQ(Fields(message.ClientId, message.ClientCode), sent) << userType;
        EXPECT_EQ(message.Answer, 1);
    }
    PluginTestEnv env(UserType(24));
    CIPOClientFilterDialog dialog(nullptr);
    env.answerClientSelected = [](ClientSelectedMessage& message) { message.Answer = 0; };
    EXPECT_EQ(dialog.NotifyClientSelected("C1", "K1"), 0);
    EXPECT_EQ(dialog.NotifyClientSelected(std::string(30, 'C'), "K1"), 0);
    EXPECT_EQ(env.clientSelections.size(), 1u);
    EXPECT_EQ(env.backend().LastMessage(), "Client Id can not be longer than 29 characters.");
}

}  // namespace
