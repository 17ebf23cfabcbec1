#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/text.h"
#include "plugin/host_callbacks.h"
#include "tests/support/plugin_test_env.h"
#include "watch/ipo_client_filter_dialog.h"
#include "watch/ipo_client_filter_layout.h"

using fw::headless::HeadlessForm;

namespace {

class ClientFilterTest : public ::testing::Test {
  protected:
    ClientFilterTest() : env(Config(24)) {
        env.answerClientLookup = [](ClientLookupMessage& message) {
            const std::string typed = fw::FieldText(message.ClientIdTyped);
            fw::CopyField(message.ClientId, typed);
            fw::CopyField(message.ClientCode, "CODE-" + typed);
            fw::CopyField(message.ClientName, "Name of " + typed);
            fw::CopyField(message.FurtherText, "X");
        };
    }

    static PluginTestConfig Config(uint16_t userType) {
        PluginTestConfig config;
        config.userType = userType;
        return config;
    }

    // Runs the dialog with the user's actions.
    int Run(std::function<void(HeadlessForm&)> user) {
        env.backend().modalHandlers.push_back(std::move(user));
        return dialog.DoModal();
    }

    PluginTestEnv env;
    CIPOClientFilterDialog dialog{nullptr};
};

TEST_F(ClientFilterTest, TypedIdIsCapitalisedAndLimitedTo29Characters) {
    Run([](HeadlessForm& form) {
        EXPECT_EQ(form.Caption(), "Client Filter");
        EXPECT_EQ(form.GetText(kFilterClientIdBox), "");
        form.Type(kFilterClientIdBox, "ab12cd");
        EXPECT_EQ(form.GetText(kFilterClientIdBox), "AB12CD");
        form.Type(kFilterClientIdBox, std::string(35, 'z'));
        EXPECT_EQ(form.GetText(kFilterClientIdBox), std::string(29, 'Z'));
        form.PressEscape();
    });
}

TEST_F(ClientFilterTest, LeavingTheBoxLooksUpOnceAndOkHandsOverTheHostsClient) {
    const int result = Run([](HeadlessForm& form) {
        form.Type(kFilterClientIdBox, "c42");
        form.Focus(fw::kIdOk);  // tab to OK
        EXPECT_EQ(form.GetText(kFilterClientIdBox), "C42");
        EXPECT_EQ(form.GetText(kFilterClientName), "Name of C42");
        form.Click(fw::kIdOk);
    });
    EXPECT_EQ(result, fw::kIdOk);
    ASSERT_EQ(env.clientLookups.size(), 1u);
    const ClientLookupMessage& sent = env.clientLookups[0];
    const auto* bytes = reinterpret_cast<const unsigned char*>(&sent);
    EXPECT_EQ(sent.MessageId, 108u);
    int32_t flag = 0;
    std::memcpy(&flag, bytes + 8, 4);
    EXPECT_EQ(flag, 1);
    std::memcpy(&flag, bytes + 12, 4);
    EXPECT_EQ(flag, 1);
    EXPECT_STREQ(reinterpret_cast<const char*>(bytes + 16), "C42");
    EXPECT_EQ(bytes[80], 0);  // the answer fields go out zeroed
    EXPECT_EQ(dialog.ClientId(), "C42");
    EXPECT_EQ(dialog.ClientCode(), "CODE-C42");
    EXPECT_EQ(dialog.ClientName(), "Name of C42");
}

TEST_F(ClientFilterTest, EnterInTheBoxTakesTheTypedIdWithoutLookup) {
    dialog.PresetClientCode("PRESET");
    const int result = Run([](HeadlessForm& form) {
        form.Type(kFilterClientIdBox, "c7");
        form.PressEnter();
    });
    EXPECT_EQ(result, fw::kIdOk);
    EXPECT_TRUE(env.clientLookups.empty());
    EXPECT_EQ(dialog.ClientId(), "C7");
    EXPECT_EQ(dialog.ClientCode(), "PRESET");
    EXPECT_EQ(dialog.ClientName(), "");
}

TEST_F(ClientFilterTest, BlankIdIsRefusedWithoutLookupWhileTheMessageIsUp) {
    HeadlessForm* running = nullptr;
    env.backend().onMessageBox = [&](const fw::headless::RecordedMessage&) {
        running->Focus(fw::kIdCancel);  // the message box takes the focus from the box
    };
    const int result = Run([&](HeadlessForm& form) {
        running = &form;
        form.Focus(kFilterClientIdBox);
        form.PressEnter();
        EXPECT_FALSE(form.ended());
        form.Type(kFilterClientIdBox, "c1");
        form.Click(fw::kIdOk);
    });
    ASSERT_EQ(env.backend().messages.size(), 1u);
    EXPECT_EQ(env.backend().messages[0].text, "Client Id can not be blank.");
    EXPECT_EQ(env.backend().messages[0].icon, fw::MessageIcon::Error);
    // Only the lookup of "C1" (leaving the box for OK) ran.
    ASSERT_EQ(env.clientLookups.size(), 1u);
    EXPECT_EQ(fw::FieldText(env.clientLookups[0].ClientIdTyped), "C1");
    EXPECT_EQ(result, fw::kIdOk);
    EXPECT_EQ(dialog.ClientCode(), "CODE-C1");
}

TEST_F(ClientFilterTest, HostThatAnswersNothingEmptiesBoxAndName) {
    env.answerClientLookup = nullptr;
    const int result = Run([](HeadlessForm& form) {
        form.Type(kFilterClientIdBox, "ghost");
        form.Click(fw::kIdOk);  // lookup empties the box, then OK reports the blank id
        EXPECT_EQ(form.GetText(kFilterClientIdBox), "");
        EXPECT_EQ(form.GetText(kFilterClientName), "");
        EXPECT_FALSE(form.ended());
        form.PressEscape();
    });
    EXPECT_EQ(result, fw::kIdCancel);
    EXPECT_EQ(env.backend().MessageTexts(),
              std::vector<std::string>{"Client Id can not be blank."});
}

TEST_F(ClientFilterTest, EscapeCancelsWithoutLookupButCancelClickLooksUpFirst) {
    EXPECT_EQ(Run([](HeadlessForm& form) {
                  form.Type(kFilterClientIdBox, "c1");
                  form.PressEscape();
              }),
              fw::kIdCancel);
    EXPECT_TRUE(env.clientLookups.empty());

    EXPECT_EQ(Run([](HeadlessForm& form) {
                  form.Type(kFilterClientIdBox, "c2");
                  form.Click(fw::kIdCancel);
              }),
              fw::kIdCancel);
    EXPECT_EQ(env.clientLookups.size(), 1u);
}

TEST_F(ClientFilterTest, WithoutHostCallbackTheTypedIdStays) {
    SetHostCallback(nullptr);
    dialog.PresetClientCode("PRESET");
    const int result = Run([](HeadlessForm& form) {
        form.Type(kFilterClientIdBox, "c9");
        form.Click(fw::kIdOk);
    });
    EXPECT_EQ(result, fw::kIdOk);
    EXPECT_EQ(dialog.ClientId(), "C9");
    EXPECT_EQ(dialog.ClientCode(), "PRESET");
    EXPECT_EQ(dialog.NotifyClientSelected("C9", "X"), 1);
}

TEST(ClientSelectedNotice, SendsIdAndCodeByUserType) {
    const struct {
        uint16_t userType;
        const char* id;
        const char* code;
        const char* sentId;
        const char* sentCode;
    } cases[] = {
        {24, "C77", "K77", "C77", "K77"},
        {24, "C77", "", "C77", "LCODE1"},
        {26, "C77", "K77", "LC1001", "LCODE1"},
        {23, "C77", "K77", "", ""},
    };
    for (const auto& c : cases) {
        PluginTestConfig config;
        config.userType = c.userType;
        PluginTestEnv env(config);
        CIPOClientFilterDialog dialog(nullptr);
        EXPECT_EQ(dialog.NotifyClientSelected(c.id, c.code), 1) << c.userType;
        ASSERT_EQ(env.clientSelections.size(), 1u);
        const ClientSelectedMessage& sent = env.clientSelections[0];
        const auto* bytes = reinterpret_cast<const char*>(&sent);
        EXPECT_EQ(sent.MessageId, 121u);
        EXPECT_STREQ(bytes + 8, c.sentId) << c.userType;
        EXPECT_STREQ(bytes + 38, c.sentCode) << c.userType;
        int32_t answer = 0;
        std::memcpy(&answer, bytes + 68, 4);
        EXPECT_EQ(answer, 1);
    }
}

TEST(ClientSelectedNotice, ReportsTheHostsAnswerAndRefusesTooLongIds) {
    PluginTestConfig config;
    config.userType = 24;
    PluginTestEnv env(config);
    CIPOClientFilterDialog dialog(nullptr);
    env.answerClientSelected = [](ClientSelectedMessage& message) { message.Answer = 0; };
    EXPECT_EQ(dialog.NotifyClientSelected("C1", "K1"), 0);

    EXPECT_EQ(dialog.NotifyClientSelected(std::string(30, 'C'), "K1"), 0);
    EXPECT_EQ(env.clientSelections.size(), 1u);  // nothing sent
    EXPECT_EQ(env.backend().MessageTexts(),
              std::vector<std::string>{"Client Id can not be longer than 29 characters."});
}

}  // namespace
