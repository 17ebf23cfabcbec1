#include "desktop_wx_support.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/toplevel.h>
#include <wx/uilocale.h>

#include <cstdio>

namespace desktop_test {
namespace {

void PrintAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                 const wxString& msg) {
    std::fprintf(stderr, "wx assert %s:%d %s: %s %s\n", static_cast<const char*>(file.utf8_str()),
                 line, static_cast<const char*>(func.utf8_str()),
                 static_cast<const char*>(cond.utf8_str()),
                 static_cast<const char*>(msg.utf8_str()));
}

// One wx application for the whole test process; asserts and log messages go to stderr so that
// no dialog ever blocks a run.
class WxEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "desktop_test";
        static char* argv[] = {name, nullptr};
        wxSetAssertHandler(PrintAssert);
        wxApp::SetInstance(new wxApp);
        ASSERT_TRUE(wxEntryStart(argc, argv)) << "no display: run under xvfb-run";
        wxLog::SetActiveTarget(new wxLogStderr);
        wxUILocale::UseDefault();
        wxTheApp->SetAppDisplayName("Desktop Test");
        ASSERT_TRUE(wxTheApp->CallOnInit());
    }
    void TearDown() override {
        Pump();
        wxEntryCleanup();
    }
};

[[maybe_unused]] const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new WxEnvironment);

}  // namespace

void Pump(int rounds) {
    for (int i = 0; i < rounds; ++i) {
        wxTheApp->ProcessPendingEvents();
        wxTheApp->Yield(true);
        wxTheApp->ProcessIdle();
    }
}

int MessageBoxAnswerer::Enter(wxDialog* dialog) {
    if (auto* box = dynamic_cast<wxMessageDialog*>(dialog)) {
        shown.push_back({std::string(box->GetMessage().utf8_str()), box->GetMessageDialogStyle()});
        return wxID_OK;
    }
    return wxID_NONE;
}

wxWindow* FindTopLevel(const wxString& title) {
    for (wxWindow* window : wxTopLevelWindows) {
        if (window->GetLabel() == title) {
            return window;
        }
    }
    return nullptr;
}

}  // namespace desktop_test
