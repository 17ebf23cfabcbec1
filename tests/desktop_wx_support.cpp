// What every GUI test program shares: one wx application for the process, started before the
// first test, and a failure for any toolkit assertion or GTK/GLib warning raised while it runs.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/toplevel.h>
#include <wx/uilocale.h>

#include <glib.h>

#include <string>

#include "framework/wx/wx_user_actions.h"

namespace {

std::string Utf8(const wxString& text) {
    return std::string(text.utf8_str());
}

// A toolkit assertion is a fault: it fails the test that raised it (and is never shown as a
// dialog that would block the run).
void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg) {
    ADD_FAILURE() << "wx assertion " << Utf8(file) << ":" << line << " " << Utf8(func) << ": "
                  << Utf8(cond) << " " << Utf8(msg);
}

// So is a GTK or GLib critical or warning message (structured or not: plain GLib messages reach
// the writer too); every message is still written as usual.
GLogWriterOutput FailOnGtkWarning(GLogLevelFlags level, const GLogField* fields, gsize count,
                                  gpointer data) {
    if (level & (G_LOG_LEVEL_ERROR | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING)) {
        std::string domain, message;
        for (gsize i = 0; i < count; ++i) {
            const std::string key = fields[i].key;
            const auto* value = static_cast<const char*>(fields[i].value);
            if (key == "GLIB_DOMAIN" && value) {
                domain = value;
            } else if (key == "MESSAGE" && value) {
                message = value;
            }
        }
        ADD_FAILURE() << domain << " " << message;
    }
    return g_log_writer_default(level, fields, count, data);
}

// One wx application for the whole test process; wx log messages go to stderr so that no dialog
// ever blocks a run.
class WxEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "desktop_test";
        static char* argv[] = {name, nullptr};
        // No desktop session runs the tests: the settings GTK's dialogs keep stay in memory
        // instead of failing to reach dconf.
        g_setenv("GSETTINGS_BACKEND", "memory", FALSE);
        wxSetAssertHandler(FailOnAssert);
        g_log_set_writer_func(FailOnGtkWarning, nullptr, nullptr);
        wxApp::SetInstance(new wxApp);
        ASSERT_TRUE(wxEntryStart(argc, argv)) << "no display: run under xvfb-run";
        wxLog::SetActiveTarget(new wxLogStderr);
        wxUILocale::UseDefault();
        wxTheApp->SetAppDisplayName("Desktop Test");
        ASSERT_TRUE(wxTheApp->CallOnInit());
    }
    // Every window the tests destroyed is deleted (at idle time) before wx ends.
    void TearDown() override {
        fw::wx::RunUntil([] { return wxTopLevelWindows.IsEmpty(); });
        wxEntryCleanup();
    }
};

[[maybe_unused]] const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new WxEnvironment);

}  // namespace
