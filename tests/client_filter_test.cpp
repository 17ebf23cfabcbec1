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

TEST_F(ClientFilterTest, LeavingTheBoxLooksUpOnceAndOkHandsOverTheHostsClient) {
    const int result = Run([](HeadlessForm& form) {
        EXPECT_EQ(form.Caption(), "Client Filter");
        form.Type(kFilterClientIdBox, std::string(35, 'z'));  // capitals, at most 29
        EXPECT_EQ(form.GetText(kFilterClientIdBox), std::string(29, 'Z'));
        form.Type(kFilterClientIdBox, "c42");
        form.Focus(fw::kIdOk);  // tab to OK
        EXPECT_EQ(form.GetText(kFilterClientName), "Name of C42");
        form.Click(fw::kIdOk);
    });
    EXPECT_EQ(result, fw::kIdOk);
    ASSERT_EQ(env.clientLookups.size(), 1u);
    const ClientLookupMessage& sent = env.clientLookups[0];
    EXPECT_TRUE(sent.MessageId == kClientLookupMessageId && sent.Flag1 == 1 && sent.Flag2 == 1);
    EXPECT_EQ(base::FieldText(sent.ClientIdTyped), "C42");
    EXPECT_EQ(base::FieldText(sent.ClientId), "");  // answer fields go out zeroed
    EXPECT_EQ(dialog.ClientId(), "C42");
    EXPECT_EQ(dialog.ClientCode(), "CODE-C42");
    EXPECT_EQ(dialog.ClientName(), "Name of C42");
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
    ASSERT_EQ(env.backend().messages.size(), 1u);
    EXPECT_EQ(env.backend().messages[0].text, "Client Id can not be blank.");
    EXPECT_EQ(env.backend().messages[0].icon, fw::MessageIcon::Error);
    EXPECT_TRUE(env.clientLookups.empty());

    // A host that answers nothing leaves box and name empty: OK then reports the blank id.
    env.answerClientLookup = nullptr;
    env.backend().onMessageBox = nullptr;
    EXPECT_EQ(Run([](HeadlessForm& form) {
                  form.Type(kFilterClientIdBox, "ghost");
                  form.Click(fw::kIdOk);
                  EXPECT_EQ(form.GetText(kFilterClientIdBox), "");
                  EXPECT_FALSE(form.ended());
              }),
              fw::kIdCancel);
    EXPECT_EQ(env.backend().messages.size(), 2u);
}

TEST_F(ClientFilterTest, EscapeCancelsWithoutLookupAndCancelClickLooksUpFirst) {
    Run([](HeadlessForm& form) {
        form.Type(kFilterClientIdBox, "c1");
        form.PressEscape();
    });
    EXPECT_TRUE(env.clientLookups.empty());
    EXPECT_EQ(Run([](HeadlessForm& form) {
                  form.Type(kFilterClientIdBox, "c2");
                  form.Click(fw::kIdCancel);
              }),
              fw::kIdCancel);
    EXPECT_EQ(env.clientLookups.size(), 1u);
}

TEST_F(ClientFilterTest, EnterOrAMissingHostKeepTheTypedIdAndPresetCode) {
    EXPECT_EQ(Run([](HeadlessForm& form) {
                  form.Type(kFilterClientIdBox, "c7");
                  form.PressEnter();  // the box keeps the focus: no lookup
              }),
              fw::kIdOk);
    EXPECT_TRUE(env.clientLookups.empty());
    EXPECT_EQ(dialog.ClientId(), "C7");
    EXPECT_EQ(dialog.ClientCode(), "PRESET");

    SetHostCallback(nullptr);
    Run([](HeadlessForm& form) {
        form.Type(kFilterClientIdBox, "c9");
        form.Click(fw::kIdOk);
    });
    EXPECT_EQ(dialog.ClientId(), "C9");
    EXPECT_EQ(dialog.ClientCode(), "PRESET");
    EXPECT_EQ(dialog.NotifyClientSelected("C9", "X"), 1);
}

TEST(ClientSelectedNotice, SendsIdAndCodeByUserType) {
    const struct {
        uint16_t userType;
        const char *code, *sentId, *sentCode;
    } cases[] = {
        {24, "K77", "C77", "K77"},
        {24, "", "C77", "LCODE1"},  // the login client's code stands in
        {26, "K77", "LC1001", "LCODE1"},
        {23, "K77", "", ""},
    };
    for (const auto& c : cases) {
        PluginTestEnv env(UserType(c.userType));
        EXPECT_EQ(CIPOClientFilterDialog(nullptr).NotifyClientSelected("C77", c.code), 1);
        ASSERT_EQ(env.clientSelections.size(), 1u);
        const ClientSelectedMessage& sent = env.clientSelections[0];
        EXPECT_EQ(sent.MessageId, kClientSelectedMessageId);
        EXPECT_EQ(base::FieldText(sent.ClientId) + "|" + base::FieldText(sent.ClientCode),
                  std::string(c.sentId) + "|" + c.sentCode);
        EXPECT_EQ(sent.Answer, 1);
    }
}

TEST(ClientSelectedNotice, ReportsTheHostsAnswerAndRefusesTooLongIds) {
    PluginTestEnv env(UserType(24));
    CIPOClientFilterDialog dialog(nullptr);
    env.answerClientSelected = [](ClientSelectedMessage& message) { message.Answer = 0; };
    EXPECT_EQ(dialog.NotifyClientSelected("C1", "K1"), 0);
    EXPECT_EQ(dialog.NotifyClientSelected(std::string(30, 'C'), "K1"), 0);
    EXPECT_EQ(env.clientSelections.size(), 1u);  // nothing sent
    EXPECT_EQ(env.backend().LastMessage(), "Client Id can not be longer than 29 characters.");
}

}  // namespace
