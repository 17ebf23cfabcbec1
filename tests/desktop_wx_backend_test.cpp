#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/dcmemory.h>
#include <wx/filedlg.h>
#include <wx/frame.h>
#include <wx/listctrl.h>
#include <wx/modalhook.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>

#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "bid/ipo_order_entry_layout.h"
#include "framework/wx/wx_backend.h"
#include "framework/wx/wx_frame_site.h"
#include "framework/wx/wx_list_view.h"
#include "framework/wx/wx_status_bar.h"
#include "framework/wx/wx_user_actions.h"
#include "plugin/runtime_classes.h"
#include "tests/support/bar_painter.h"
#include "watch/ipo_client_filter_layout.h"
#include "watch/ipo_watch_details_layout.h"

namespace {

using fw::ControlKind;
using fw::wx::OnScreen;
using fw::wx::RunUntil;

// Whether the window has been deleted (wx deletes destroyed windows at idle time).
bool Deleted(wxWindow* window) {
    return !wxTopLevelWindows.Find(window);
}

enum : int {
    kGroup = 100,
    kRadioOne,
    kRadioTwo,
    kLabel = 110,
    kCode,
    kFixed,
    kStatus = 120,
    kDate,
    kAgree = 130,
    kApply,
    kOk,
    kLink,
    kList = 140,
    kHidden,
};

const fw::ControlEntry kControls[] = {
    {kGroup, ControlKind::GroupBox, "Mode", 4, 4, 120, 24, 0},
    {kRadioOne, ControlKind::RadioButton, "One", 8, 12, 40, 10, fw::kStyleGroup},
    {kRadioTwo, ControlKind::RadioButton, "Two", 60, 12, 40, 10, 0},
    {kLabel, ControlKind::Static, "Code & name", 130, 6, 50, 8, fw::kStyleCentered},
    {kCode, ControlKind::Edit, "", 50, 30, 60, 14, fw::kStyleBorder | fw::kStyleUppercase},
    {kFixed, ControlKind::Edit, "fixed", 120, 30, 60, 14, fw::kStyleReadOnly | fw::kStyleDisabled},
    {kStatus, ControlKind::ComboDropList, "", 4, 50, 80, 60, fw::kStyleSorted},
    {kDate, ControlKind::DatePicker, "", 90, 50, 70, 13, fw::kStyleShortDate},
    {kAgree, ControlKind::CheckBox, "Agree", 4, 70, 60, 10, 0},
    {kApply, ControlKind::Button, "Apply", 70, 68, 50, 14, 0},
    {kOk, ControlKind::DefaultButton, "OK", 130, 68, 50, 14, 0},
    {kLink, ControlKind::LinkButton, "Terms", 4, 86, 120, 12, 0},
    {kList, ControlKind::ListView, "", 0, 104, 240, 80, fw::kStyleReport | fw::kStyleBorder},
    {kHidden, ControlKind::Static, "hidden", 200, 4, 30, 8, fw::kStyleHidden},
};
const fw::DialogTemplate kChildLayout{
    9001, fw::FormKind::ChildForm, "Test Form", "MS Shell Dlg", 8, 250, 190, kControls};

struct Recorder : fw::FormEvents {
    std::vector<std::string> log;
    void OnInitDialog(fw::Form&) override { log.push_back("init"); }
    void OnCommand(int id) override { log.push_back("command " + std::to_string(id)); }
    bool Saw(const std::string& entry) const {
        return std::find(log.begin(), log.end(), entry) != log.end();
    }
};

class WxFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        frame = new wxFrame(nullptr, wxID_ANY, "host", wxPoint(0, 0), wxSize(700, 600));
        form = backend.CreateChildForm(frame, kChildLayout, events);
        frame->Show();
        ASSERT_TRUE(RunUntil([&] { return OnScreen(frame->GetHandle()); }));
    }
    void TearDown() override {
        form.reset();
        frame->Destroy();
        EXPECT_TRUE(RunUntil([&] { return Deleted(frame); }));
    }
    template <class T>
    T* Control(int id) {
        return dynamic_cast<T*>(form->control(id));
    }

    fw::wx::WxBackend backend;
    Recorder events;
    wxFrame* frame = nullptr;
    std::unique_ptr<fw::wx::WxForm> form;
};

TEST_F(WxFormTest, BuildsEveryControlKindFromTheLayoutInDialogUnits) {
    EXPECT_EQ(std::vector<std::string>{"init"}, events.log);
    EXPECT_NE(nullptr, Control<wxRadioButton>(kRadioOne));
    EXPECT_NE(nullptr, Control<wxTextCtrl>(kCode));
    EXPECT_NE(nullptr, Control<wxChoice>(kStatus));
    EXPECT_NE(nullptr, Control<wxCheckBox>(kAgree));
    EXPECT_NE(nullptr, Control<wxButton>(kOk));
    EXPECT_NE(nullptr, Control<wxListCtrl>(kList));
    EXPECT_TRUE(Control<wxListCtrl>(kList)->IsVirtual());

    const fw::Size topLeft = form->DialogUnitsToPixels({50, 30});
    const fw::Size size = form->DialogUnitsToPixels({60, 14});
    const fw::Rect rect = form->ControlRect(kCode);
    EXPECT_EQ(topLeft.width, rect.left);
    EXPECT_EQ(topLeft.height, rect.top);
    EXPECT_EQ(size.width, rect.Width());
    EXPECT_GT(form->DialogUnitsToPixels({4, 8}).width, 3);  // a real font, not one pixel per unit
    // The layout's Windows face is drawn in its metric-compatible stand-in.
    EXPECT_EQ("Liberation Sans", form->window()->GetFont().GetFaceName());

    EXPECT_EQ("Code & name", form->GetText(kLabel));
    EXPECT_EQ("Apply", form->GetText(kApply));
    EXPECT_EQ("fixed", form->GetText(kFixed));
    EXPECT_FALSE(form->IsEnabled(kFixed));
    EXPECT_TRUE(form->IsEnabled(kCode));
    EXPECT_FALSE(form->IsVisible(kHidden));
    auto* top = dynamic_cast<wxTopLevelWindow*>(wxGetTopLevelParent(form->window()));
    ASSERT_NE(nullptr, top);
    EXPECT_EQ(form->control(kOk), top->GetDefaultItem());
}

TEST_F(WxFormTest, EditBoxesKeepToTheirLimitWhileTheProgramSetsAnyText) {
    auto* code = Control<wxTextCtrl>(kCode);
    form->LimitText(kCode, 4);
    for (const char* typed : {"a", "b", "c", "d", "e", "f"}) {
        code->AppendText(typed);
    }
    EXPECT_EQ("ABCD", form->GetText(kCode));

    form->SetText(kFixed, "Set by the program");
    EXPECT_EQ("Set by the program", form->GetText(kFixed));
}

TEST_F(WxFormTest, SortedDropDownReportsWhereEachEntryLands) {
    std::vector<int> landed;
    for (const char* text : {"(ALL)", "PENDING", "CONFIRMED", "REJECTED", "MODIFIED", "CANCELLED",
                             "ADMIN CANCELLED"}) {
        landed.push_back(form->ComboAdd(kStatus, text));
    }
    EXPECT_EQ((std::vector<int>{0, 1, 1, 3, 2, 1, 1}), landed);
    std::vector<std::string> items;
    for (int i = 0; i < form->ComboCount(kStatus); ++i) {
        items.push_back(form->ComboItem(kStatus, i));
    }
    EXPECT_EQ((std::vector<std::string>{"(ALL)", "ADMIN CANCELLED", "CANCELLED", "CONFIRMED",
                                        "MODIFIED", "PENDING", "REJECTED"}),
              items);
    EXPECT_EQ(2, form->ComboSelectPrefix(kStatus, "canc"));
    EXPECT_EQ("CANCELLED", form->GetText(kStatus));
    EXPECT_EQ(-1, form->ComboSelectPrefix(kStatus, "X"));

    form->ComboReset(kStatus);
    EXPECT_EQ(0, form->ComboCount(kStatus));
    EXPECT_EQ(-1, form->ComboSelection(kStatus));
}

TEST_F(WxFormTest, DatePickerRefusesDatesBefore1970) {
    ASSERT_TRUE(form->SetDate(kDate, {2026, 3, 5}));
    EXPECT_EQ((base::Date{2026, 3, 5}), form->GetDate(kDate));
    EXPECT_FALSE(form->SetDate(kDate, {1969, 12, 31}));
    EXPECT_FALSE(form->SetDate(kDate, {2026, 2, 30}));
    EXPECT_EQ((base::Date{2026, 3, 5}), form->GetDate(kDate));
    EXPECT_TRUE(form->SetDate(kDate, {1970, 1, 1}));
}

TEST(PlaceBidImage, IsABlueButtonFaceWithAWhiteCaptionOnAMaskedGround) {
    wxBitmap image = fw::wx::DrawPlaceBidImage();
    ASSERT_EQ(75, image.GetWidth());
    ASSERT_EQ(25, image.GetHeight());
    ASSERT_NE(nullptr, image.GetMask());
    wxImage pixels = image.ConvertToImage();
    EXPECT_TRUE(pixels.IsTransparent(0, 0));  // the corner shows the row behind it
    int blue = 0;
    int white = 0;
    for (int x = 0; x < 75; ++x) {
        for (int y = 0; y < 25; ++y) {
            const int r = pixels.GetRed(x, y), g = pixels.GetGreen(x, y), b = pixels.GetBlue(x, y);
            blue += b > 150 && r < 80 && !pixels.IsTransparent(x, y);
            white += r > 200 && g > 200 && b > 200 && !pixels.IsTransparent(x, y);
        }
    }
    EXPECT_GT(blue, 75 * 25 / 2);
    EXPECT_GT(white, 40);  // the caption's strokes
}

struct LinkDrawer : fw::OwnerDrawn {
    std::vector<std::string>* log;
    fw::Rect drawnIn;
    bool disabled = false;
    void DrawItem(fw::Painter& painter, const fw::DrawItemInfo& info) override {
        drawnIn = info.itemRect;
        disabled = info.disabledOnly;
        painter.SetTextColour({0, 0, 255});
        painter.DrawText({2, 1}, painter.MeasureText("Terms"), "Terms", info.disabledOnly);
        log->push_back("draw");
    }
    void OnLeftButtonDown() override { log->push_back("press"); }
};

TEST_F(WxFormTest, LinkButtonDrawsThroughItsDrawerAndTellsItOfThePressBeforeTheClick) {
    LinkDrawer drawer;
    drawer.log = &events.log;
    form->SetOwnerDrawn(kLink, &drawer);
    wxWindow* link = form->control(kLink);
    link->Refresh();
    link->Update();
    ASSERT_TRUE(RunUntil([&] { return events.Saw("draw"); }));
    EXPECT_EQ(form->ControlRect(kLink).Width(), drawer.drawnIn.Width());

    events.log.clear();
    fw::wx::ClickAt(link, wxPoint(3, 3));
    EXPECT_EQ((std::vector<std::string>{"press", "command 133"}), events.log);

    form->Enable(kLink, false);
    link->Refresh();
    link->Update();
    EXPECT_TRUE(RunUntil([&] { return drawer.disabled; }));
}

// Cancels the save-file dialog and keeps what it was asked to show.
struct FileDialogAnswerer : wxModalDialogHook {
    FileDialogAnswerer() { Register(); }
    ~FileDialogAnswerer() override { Unregister(); }
    int Enter(wxDialog* dialog) override {
        auto* files = dynamic_cast<wxFileDialog*>(dialog);
        if (!files) {
            return wxID_NONE;
        }
        wildcard = std::string(files->GetWildcard().utf8_str());
        folder = std::string(files->GetDirectory().utf8_str());
        name = std::string(files->GetFilename().utf8_str());
        return wxID_CANCEL;
    }
    void Exit(wxDialog*) override {}
    std::string wildcard, folder, name;
};

TEST(WxServices, SaveDialogShowsTheRequestAndCancelChoosesNothing) {
    fw::wx::WxBackend backend;
    FileDialogAnswerer answerer;
    fw::SaveFileRequest request{"csv", "04122026IPOOrderBook.csv",
                                "Upload Files (*.csv) | *.csv ||", "/tmp"};
    EXPECT_EQ(std::nullopt, backend.SaveFileDialog(request));
    EXPECT_EQ("Upload Files (*.csv)|*.csv", answerer.wildcard);
    EXPECT_EQ("/tmp", answerer.folder);
    EXPECT_EQ("04122026IPOOrderBook.csv", answerer.name);
    EXPECT_EQ("Text (*.txt)|*.txt|All|*.*", fw::wx::ToWxWildcard("Text (*.txt)|*.txt|All|*.*||"));
}

// Read between two readings of wx's clock, so that a month ending in between cannot fail it.
TEST(WxServices, TheClockIsLocalTime) {
    fw::wx::WxBackend backend;
    const wxDateTime before = wxDateTime::Now();
    const fw::LocalTime now = fw::Now();
    const wxDateTime after = wxDateTime::Now();
    const auto month = [](const wxDateTime& t) {
        return t.GetYear() * 12 + static_cast<int>(t.GetMonth());
    };
    EXPECT_TRUE(month(before) <= now.year * 12 + now.month - 1 &&
                now.year * 12 + now.month - 1 <= month(after));
}

TEST_F(WxFormTest, ResizingReachesTheOwner) {
    struct Sized : Recorder {
        fw::Size last{};
        void OnSize(fw::Size size) override { last = size; }
    } owner;
    auto sized = backend.CreateChildForm(frame, kChildLayout, owner);
    sized->window()->SetSize(400, 300);
    EXPECT_TRUE(RunUntil([&] { return owner.last.width == 400 && owner.last.height == 300; }))
        << owner.last.width << "x" << owner.last.height;
}

TEST(WxFrameSite, StatusBarsHaveTheirPanesAndTheOwnerDrawnOnePaintsThroughItsPainter) {
    fw::wx::WxBackend backend;
    auto* frame = new wxFrame(nullptr, wxID_ANY, "frame", wxPoint(0, 0), wxSize(600, 400));
    fw::wx::WxFrameSite site(frame);
    Recorder events;
    auto form = backend.CreateChildForm(frame, kChildLayout, events);
    site.SetForm(form->window(), form->TemplateSize());
    site.SetTitle("IPO WatchList");
    EXPECT_EQ("IPO WatchList", std::string(frame->GetTitle().utf8_str()));

    BarPainter painter;
    fw::StatusBar* bar = ThreePaneBar(site, painter);
    ASSERT_NE(nullptr, bar);
    frame->Show();
    site.RecalcLayout();
    ASSERT_TRUE(RunUntil([&] { return OnScreen(frame->GetHandle()); }));
    EXPECT_EQ("No of records : 4", bar->PaneText(2));
    // A pane is given the width of its text; its borders and margins come on top.
    EXPECT_GE(bar->ItemRect(0).Width(), 60);
    EXPECT_LT(bar->ItemRect(0).Width(), 90);
    EXPECT_GT(bar->ItemRect(2).Width(), 300);  // the stretch pane takes what is left
    painter.panes.clear();
    site.statusBar()->Refresh();
    site.statusBar()->Update();
    RunUntil([&] { return !painter.panes.empty(); });
    ASSERT_EQ(3u, painter.panes.size());
    EXPECT_EQ(bar->ItemRect(2), painter.panes[2]);

    // The frame below the form: the form keeps the top, the bar the bottom.
    EXPECT_EQ(0, form->window()->GetPosition().y);
    EXPECT_GE(site.statusBar()->GetPosition().y, form->window()->GetSize().y);

    form.reset();
    frame->Destroy();
    EXPECT_TRUE(RunUntil([&] { return !site.HasWindow(); }));
}

}  // namespace

namespace {

// ---------------------------------------------------------------- the plug-in's layouts on GTK

std::string Describe(const fw::ControlEntry& entry) {
    return std::to_string(entry.id) +
           (entry.text && *entry.text ? " \"" + std::string(entry.text) + "\"" : "");
}

// The smallest size GTK draws the control in without cutting or squeezing it.
wxSize ToolkitMinimum(wxWindow* control) {
    GtkRequisition minimum;
    gtk_widget_get_preferred_size(GTK_WIDGET(control->GetHandle()), &minimum, nullptr);
    return {minimum.width, minimum.height};
}

// The text a control shows, as the user reads it.
wxString ShownText(wxWindow* control, fw::ControlKind kind) {
    if (kind == ControlKind::Static) {
        return static_cast<wxStaticText*>(control)->GetLabel();
    }
    return wxControl::RemoveMnemonics(control->GetLabel());
}

// Everything in a built layout that a user would see cut or overlapping: texts larger than their
// control (measured in the control's font), controls smaller than GTK draws them, controls that
// overlap, leave the window or cross the border or title of a group box. List cells may cut.
std::vector<std::string> LayoutFaults(const fw::wx::WxForm& form) {
    std::vector<std::string> faults;
    const fw::DialogTemplate& layout = form.layout();
    const wxSize client = form.window()->GetClientSize();
    auto fault = [&](const fw::ControlEntry& entry, const std::string& what) {
        faults.push_back(std::string(layout.caption) + ": " + Describe(entry) + " " + what);
    };
    for (const fw::ControlEntry& entry : layout.controls) {
        wxWindow* control = form.control(entry.id);
        const wxRect rect = control->GetRect();
        const wxSize room = control->GetClientSize();
        // A list is sized to its frame by its view; everything else stays in the window.
        if (entry.kind != ControlKind::ListView && !wxRect(client).Contains(rect)) {
            fault(entry, "leaves the window");
        }
        switch (entry.kind) {
            case ControlKind::Static:
            case ControlKind::GroupBox:
            case ControlKind::Button:
            case ControlKind::DefaultButton:
            case ControlKind::CheckBox:
            case ControlKind::RadioButton:
            case ControlKind::LinkButton: {
                const wxString text = ShownText(control, entry.kind);
                const wxSize extent =
                    text.empty() ? wxSize() : control->GetTextExtent(text.BeforeFirst('\n'));
                const int lines = static_cast<int>(text.Freq('\n')) + 1;
                if (extent.x > room.x ||
                    (entry.kind != ControlKind::GroupBox && extent.y * lines > room.y)) {
                    fault(entry, "shows " + std::to_string(extent.x) + "x" +
                                     std::to_string(extent.y * lines) + " of text in " +
                                     std::to_string(room.x) + "x" + std::to_string(room.y));
                }
                break;
            }
            default:
                break;
        }
        if (entry.kind != ControlKind::Static && entry.kind != ControlKind::GroupBox &&
            entry.kind != ControlKind::LinkButton && entry.kind != ControlKind::ListView) {
            const wxSize minimum = ToolkitMinimum(control);
            if (minimum.x > rect.width || minimum.y > rect.height) {
                fault(entry, "is " + std::to_string(rect.width) + "x" +
                                 std::to_string(rect.height) + ", GTK draws it at least " +
                                 std::to_string(minimum.x) + "x" + std::to_string(minimum.y));
            }
        }
    }
    for (const fw::ControlEntry& a : layout.controls) {
        for (const fw::ControlEntry& b : layout.controls) {
            const wxRect ra = form.control(a.id)->GetRect();
            const wxRect rb = form.control(b.id)->GetRect();
            if (&a == &b || !ra.Intersects(rb)) {
                continue;
            }
            if (a.kind == ControlKind::GroupBox) {
                // Inside a group box, below its title.
                wxRect inside = ra;
                const wxString title = form.control(a.id)->GetLabel();
                if (!title.empty()) {
                    const int titleHeight = form.control(a.id)->GetTextExtent(title).y;
                    inside.y += titleHeight;
                    inside.height -= titleHeight;
                }
                if (!inside.Contains(rb)) {
                    fault(b, "crosses the border or title of group " + Describe(a));
                }
            } else if (b.kind != ControlKind::GroupBox && &a < &b) {
                fault(a, "overlaps " + Describe(b));
            }
        }
    }
    return faults;
}

struct Silent : fw::FormEvents {};

TEST(PluginLayouts, EveryTextFitsAndNoControlOverlapsAnother) {
    fw::wx::WxBackend backend;
    auto* frame = new wxFrame(nullptr, wxID_ANY, "host", wxPoint(0, 0), wxSize(1000, 700));
    Silent events;
    std::vector<std::string> faults;
    for (const fw::DialogTemplate* layout :
         {&WatchFormLayout(), &OrderBookFormLayout(), &WatchDetailsLayout(), &ClientFilterLayout(),
          &BidOrderEntryLayout(), &TermsAndConditionLayout()}) {
        auto form = layout->kind == fw::FormKind::ChildForm
                        ? backend.CreateChildForm(frame, *layout, events)
                        : backend.CreateChildForm(nullptr, *layout, events);
        form->ShowWindow(true);
        // A dialog is measured once on screen; a child form stays in its frame, never shown.
        if (layout->kind != fw::FormKind::ChildForm) {
            ASSERT_TRUE(RunUntil([&] { return OnScreen(form->window()->GetHandle()); }));
        }
        for (std::string& found : LayoutFaults(*form)) {
            faults.push_back(std::move(found));
        }
    }
    frame->Destroy();
    EXPECT_TRUE(RunUntil([&] { return Deleted(frame); }));
    std::string listed;
    for (const std::string& found : faults) {
        listed += found + "\n";
    }
    EXPECT_TRUE(faults.empty()) << listed;
}

// The details popup shows an issue's typical figures whole, not their first digits, and still
// has nothing cut or overlapping once it has widened for them.
TEST(PluginLayouts, DetailsBoxesShowTypicalContentsWhole) {
    fw::wx::WxBackend backend;
    Silent events;
    auto form = backend.CreateChildForm(nullptr, WatchDetailsLayout(), events);
    const std::pair<int, const char*> shown[] = {
        {kDetailsIssueSize, "45000000000"},
        {kDetailsFaceValue, "10.00"},
        {kDetailsBidStart, "2026-12-05 10:00:00"},
        {kDetailsBidEnd, "2026-12-09 17:00:00"},
        {kDetailsMinimumBidQty, "3200"},
        {kDetailsRating, "A+ (Positive)"},
        {kDetailsRegistrar, "Crestline Registrars"},
        {kDetailsBrokerRecommendation, "Neutral"},
    };
    for (const auto& [id, text] : shown) {
        form->SetText(id, text);
    }
    form->ShowWindow(true);
    ASSERT_TRUE(RunUntil([&] { return OnScreen(form->window()->GetHandle()); }));
    for (const auto& [id, text] : shown) {
        wxWindow* box = form->control(id);
        GtkStyleContext* style = gtk_widget_get_style_context(GTK_WIDGET(box->GetHandle()));
        GtkBorder padding;
        GtkBorder border;
        gtk_style_context_get_padding(style, gtk_style_context_get_state(style), &padding);
        gtk_style_context_get_border(style, gtk_style_context_get_state(style), &border);
        const int room =
            box->GetClientSize().x - padding.left - padding.right - border.left - border.right;
        EXPECT_LE(box->GetTextExtent(text).x, room) << text;
    }
    EXPECT_EQ(std::vector<std::string>{}, LayoutFaults(*form));
}

}  // namespace
