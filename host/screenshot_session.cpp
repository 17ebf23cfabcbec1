#include "host/screenshot_session.h"

#include <wx/dialog.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/utils.h>

#include <iostream>

#include "framework/wx/wx_user_actions.h"

namespace {

// Control ids of the bid dialog and the order book forms.
constexpr int kBidLot1 = 1042;
constexpr int kBidCutOff1 = 1037;
constexpr int kBidUPIId = 1073;
constexpr int kBidTerms = 1058;
constexpr int kBidTermsLink = 1157;
constexpr int kTermsText = 1163;
constexpr int kBidPlaceBid = 1080;
constexpr int kBidCancel = 1082;
constexpr int kOrderBookApply = 1158;

}  // namespace

int ScreenshotSession::MessageAnswerer::Enter(wxDialog* dialog) {
    if (auto* box = dynamic_cast<wxMessageDialog*>(dialog)) {
        std::cout << "message: " << box->GetMessage().utf8_str() << std::endl;
        return wxID_OK;
    }
    return wxID_NONE;
}

ScreenshotSession::ScreenshotSession(Terminal& terminal, std::string folder)
    : terminal_(terminal), folder_(std::move(folder)) {}

bool ScreenshotSession::Fail(const std::string& why) {
    std::cerr << "screenshots: " << why << std::endl;
    return false;
}

bool ScreenshotSession::Shoot(const std::string& name) {
    fw::wx::Pump(600);
    const std::string path =
        std::string(wxFileName(wxString::FromUTF8(folder_), wxString::FromUTF8(name))
                        .GetAbsolutePath()
                        .utf8_str());
    // ImageMagick reads the whole screen: the main window and the dialogs over it.
    const wxString command = "import -window root \"" + wxString::FromUTF8(path) + "\"";
    if (wxExecute(command, wxEXEC_SYNC | wxEXEC_BLOCK) != 0 ||
        !wxFileName::FileExists(wxString::FromUTF8(path))) {
        return Fail("could not save " + path);
    }
    saved_.push_back(path);
    std::cout << path << std::endl;
    return true;
}

bool ScreenshotSession::Run() {
    MessageAnswerer answerer;
    answerer.Register();
    if (!wxFileName::Mkdir(wxString::FromUTF8(folder_), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL)) {
        return Fail("cannot create the folder " + folder_);
    }
    if (!terminal_.pluginLoaded()) {
        return Fail("the IPO plug-in is not loaded");
    }

    // 1. The watch list of current issues.
    HostWindow* watch = terminal_.Open(kMenuIPOWatch);
    if (!watch) {
        return Fail("the IPO watch did not open");
    }
    fw::wx::Pump(500);
    wxListCtrl* list = fw::wx::FindList(watch->form->window());
    if (!list || list->GetItemCount() == 0) {
        return Fail("the IPO watch lists no issues: is the service running?");
    }
    if (!Shoot("1-ipo-watch.png")) {
        return false;
    }

    // 2. The details of the first issue: a click on its name.
    fw::wx::ClickCell(list, 0, 1);
    fw::wx::Pump(500);
    if (!fw::wx::FindShownTopLevel("IPO Watch Details")) {
        return Fail("the details did not open");
    }
    if (!Shoot("2-ipo-details.png")) {
        return false;
    }
    fw::wx::ClickCell(list, 0, 1);  // a second click hides them again

    // 3. The bid dialog for the first current issue, filled in: two lots at the cut-off price.
    fw::wx::ClickCell(list, 0, 0);
    fw::wx::Pump(500);
    wxWindow* bid = fw::wx::FindShownTopLevel("Bid Order-IPO");
    if (!bid) {
        return Fail("the bid dialog did not open");
    }
    fw::wx::TypeInto(bid, kBidUPIId, "rohan.desai@upibank");
    fw::wx::TypeInto(bid, kBidLot1, "2");
    fw::wx::Tick(bid, kBidCutOff1, true);
    fw::wx::Tick(bid, kBidTerms, true);
    if (!Shoot("3-bid-dialog.png")) {
        return false;
    }
    if (!ShootTerms(bid)) {
        return false;
    }
    fw::wx::Press(bid, kBidPlaceBid);
    fw::wx::Pump(300);
    fw::wx::Press(bid, kBidCancel);

    // 4. The order book after Apply, with the order just placed.
    HostWindow* book = terminal_.Open(kMenuIPOOrderBook);
    if (!book) {
        return Fail("the order book did not open");
    }
    fw::wx::Pump(300);
    fw::wx::Press(book->form->window(), kOrderBookApply);
    fw::wx::Pump(500);
    return Shoot("5-order-book.png");
}

// The terms viewer opens as a modal dialog from the bid dialog's link: it is shot from inside
// its modal loop, its first line printed, and closed as the user would.
bool ScreenshotSession::ShootTerms(wxWindow* bid) {
    wxWindow* link = wxWindow::FindWindowById(kBidTermsLink, bid);
    if (!link) {
        return Fail("the bid dialog has no terms link");
    }
    bool shot = false;
    std::string shown;
    wxTimer inside;
    inside.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        auto* viewer = dynamic_cast<wxDialog*>(fw::wx::FindShownTopLevel("Terms & Conditions"));
        if (!viewer) {
            return;  // not shown yet: the timer fires again
        }
        inside.Stop();
        wxWindow* text = wxWindow::FindWindowById(kTermsText, viewer);
        auto* box = dynamic_cast<wxTextCtrl*>(text);
        shown = box    ? std::string(box->GetValue().utf8_str())
                : text ? std::string(text->GetLabel().utf8_str())
                       : "";
        shot = Shoot("4-terms.png");
        viewer->EndModal(wxID_CANCEL);
    });
    inside.Start(200);
    fw::wx::ClickAt(link, wxPoint(link->GetSize().x / 4, link->GetSize().y / 2));
    inside.Stop();
    if (!shot) {
        return Fail("the terms viewer did not open");
    }
    std::cout << "terms: " << shown.substr(0, shown.find('\n')) << std::endl;
    if (shown.find("Terms and Conditions") == std::string::npos) {
        return Fail("the terms viewer shows no terms file");
    }
    return true;
}
