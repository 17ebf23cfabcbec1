#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "framework/text.h"
#include "plugin/generic_frame.h"
#include "plugin/runtime_classes.h"
#include "tests/support/fake_records.h"
#include "tests/support/plugin_test_env.h"
#include "watch/ipo_watch.h"
#include "watch/ipo_watch_details_layout.h"
#include "watch/ipo_watch_layout.h"
#include "watch/ipo_watch_sort.h"

using fw::headless::HeadlessForm;
using fw::headless::OpenedWindow;

namespace {

using Rows = std::vector<std::vector<std::string>>;

class WatchViewTest : public PluginTest {
  protected:
    WatchViewTest() {
        fw::RegisterTemplate(&WatchFormLayout());
        WatchSortDescending = false;
    }

    FakeIPOWatchEntry& Entry(std::string key, std::string name, int32_t minimumQuantity) {
        FakeIPOWatchEntry& entry = entries_.emplace_back();
        entry.issueKey = std::move(key);
        entry.ipoName = std::move(name);
        entry.minimumOrderQuantity = minimumQuantity;
        return entry;
    }

    // The answer to the next watch list request.
    void ScriptList(const std::vector<FakeIPOWatchEntry*>& entries) {
        CompanionAnswer answer;
        for (FakeIPOWatchEntry* entry : entries) {
            answer.records.push_back({entry, 0});
        }
        env.companion().Script(kRequestWatchList, answer);
    }

    void ScriptDetails(const std::vector<FakeIPODetailsEntry*>& entries) {
        CompanionAnswer answer;
        for (FakeIPODetailsEntry* entry : entries) {
            answer.records.push_back({entry, 0});
        }
        env.companion().Script(kRequestWatchDetails, answer);
    }

    HeadlessForm& Open() {
        windows_.push_back(
            std::make_unique<OpenedWindow>(WatchViewClass(), GenericFrameClass(), kFormIPOWatch));
        return windows_.back()->form();
    }
    OpenedWindow& window(size_t i = 0) { return *windows_.at(i); }

    std::vector<std::string> Column(HeadlessForm& form, int column) {
        std::vector<std::string> texts;
        for (const auto& row : form.Rows(kWatchList)) {
            texts.push_back(row.at(static_cast<size_t>(column)));
        }
        return texts;
    }

    std::string Pane(int pane) { return window().site().statusBar()->PaneText(pane); }

    std::vector<uint16_t> RequestCodes() {
        std::vector<uint16_t> codes;
        for (const IPOServiceRequest& request : env.companion().Requests()) {
            codes.push_back(request.RequestCode);
        }
        return codes;
    }
    const IPOServiceRequest& LastRequest() { return env.companion().Requests().back(); }

    HeadlessForm* Details() { return env.backend().FindForm("IPO Watch Details"); }

    std::deque<FakeIPOWatchEntry> entries_;
    std::vector<std::unique_ptr<OpenedWindow>> windows_;
};

TEST_F(WatchViewTest, OpeningListsCurrentIssuesAndSetsUpTheWindow) {
    ScriptList({&Entry("K1", "Alpha", 300), &Entry("K2", "Beta", 100)});
    HeadlessForm& form = Open();

    EXPECT_EQ(window().site().title(), "IPO WatchList");
    EXPECT_FALSE(window().site().maximizeBox());
    ASSERT_EQ(form.ListColumnCount(kWatchList), 9);
    EXPECT_EQ(form.ListColumnTitle(kWatchList, 0), "Place Bid");
    EXPECT_EQ(form.ListColumnTitle(kWatchList, 7), "Minimum Order Quantity");
    EXPECT_EQ(form.ListColumnWidth(kWatchList, 1), 500);
    EXPECT_EQ(form.ListColumnWidth(kWatchList, 8), 150);
    EXPECT_EQ(form.ListExtendedStyle(kWatchList), fw::kListFullRowSelect | fw::kListHeaderDragDrop);

    EXPECT_TRUE(form.GetCheck(kWatchCurrentButton));
    EXPECT_FALSE(form.GetCheck(kWatchPastButton));
    for (int id :
         {kWatchFromLabel, kWatchFromDate, kWatchToLabel, kWatchToDate, kWatchApplyButton}) {
        EXPECT_FALSE(form.IsVisible(id)) << id;
    }
    EXPECT_EQ(form.GetDate(kWatchFromDate), (fw::Date{2025, 12, 5}));
    EXPECT_EQ(form.GetDate(kWatchToDate), (fw::Date{2026, 12, 5}));
    EXPECT_EQ(form.control(kWatchList).images, fw::ListImages::PlaceBid);

    // One request for current issues, no dates; rows sorted by minimum order quantity.
    ASSERT_EQ(RequestCodes(), std::vector<uint16_t>{kRequestWatchList});
    EXPECT_EQ(env.companion().WatchListKinds(), std::vector<int32_t>{1});
    EXPECT_EQ(fw::FieldText(LastRequest().WatchFromDate), "");
    EXPECT_EQ(fw::FieldText(LastRequest().WatchToDate), "");
    EXPECT_EQ(Column(form, 1), (std::vector<std::string>{"Beta", "Alpha"}));

    EXPECT_EQ(window().site().statusBar()->PaneCount(), 3);
    EXPECT_EQ(Pane(0), "For help,");
    EXPECT_EQ(Pane(1), "CURRENT IPO");
    EXPECT_EQ(Pane(2), "No of records : 2");
    EXPECT_EQ(window().site().statusBar()->PaneStyle(2), fw::kPaneStretch);

    // The host is asked for the view's size less 120 pixels of height.
    ASSERT_EQ(env.sizeReports.size(), 1u);
    const fw::Size view = form.ClientSize();
    EXPECT_EQ(env.sizeReports[0].frameWindow, window().site().NativeHandle());
    EXPECT_EQ(env.sizeReports[0].size.width, view.width);
    EXPECT_EQ(env.sizeReports[0].size.height, view.height - 120);
    EXPECT_EQ(env.sizeReports[0].c, 1);
    EXPECT_EQ(window().site().fits(), 1);
}

TEST_F(WatchViewTest, ListFollowsTheViewSize) {
    Open();
    HeadlessForm& form = window().form();
    const fw::Rect before = form.ControlRect(kWatchList);
    form.ResizeTo({900, 600});
    const fw::Rect after = form.ControlRect(kWatchList);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.Width(), 900);
    EXPECT_EQ(after.bottom, 597);
}

TEST_F(WatchViewTest, RowsShowFormattedTexts) {
    FakeIPOWatchEntry& a = Entry("K1", "Alpha Ltd", 150);
    a.priceLow = 95.5;
    a.priceHigh = 100;
    a.faceValue = 10;
    a.issueSize = 12'500'000'000;
    a.lotSize = 150;
    a.bidStartDate = "01-Dec-2026";
    a.bidEndDate = "";
    a.issueType = "Book Built";
    FakeIPOWatchEntry& b = Entry("K2", "Beta", 200);
    b.bidStartDate = "02-Dec-2026";
    b.bidEndDate = "04-Dec-2026";
    FakeIPOWatchEntry& c = Entry("K3", "", 300);
    c.ipoName = std::nullopt;  // null texts read as empty
    c.bidStartDate = std::nullopt;
    c.bidEndDate = std::nullopt;
    c.issueType = std::nullopt;
    ScriptList({&a, &b, &c});
    HeadlessForm& form = Open();

    const Rows rows = form.Rows(kWatchList);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0],
              (std::vector<std::string>{"", "Alpha Ltd", "01-Dec-2026 ", "Book Built", "10.00",
                                        "95.50-100.00", "150", "150", "12500000000"}));
    EXPECT_EQ(rows[1][2], "02-Dec-2026 To 04-Dec-2026");
    EXPECT_EQ(rows[2],
              (std::vector<std::string>{"", "", " ", "", "0.00", "0.00-0.00", "0", "300", "0"}));
}

TEST_F(WatchViewTest, HeaderClicksSortByTextOrNumberWithOneSharedDirection) {
    FakeIPOWatchEntry& a = Entry("K1", "A", 10);
    a.priceLow = 95;
    a.priceHigh = 99;
    a.faceValue = 9.5;
    a.issueSize = 3'000'000'000;
    FakeIPOWatchEntry& b = Entry("K2", "B", 20);
    b.priceLow = 100;
    b.priceHigh = 110;
    b.faceValue = 10;
    b.issueSize = 2'147'483'647;
    FakeIPOWatchEntry& c = Entry("K3", "C", 30);
    c.faceValue = 2;
    c.issueSize = 5'000;
    ScriptList({&a, &b, &c});
    HeadlessForm& form = Open();

    // First click: descending. "Price Range" compares texts: "95.00-99.00" > "100.00-110.00".
    form.ClickColumn(kWatchList, 5);
    EXPECT_EQ(Column(form, 1), (std::vector<std::string>{"A", "B", "C"}));
    form.ClickColumn(kWatchList, 5);
    EXPECT_EQ(Column(form, 1), (std::vector<std::string>{"C", "B", "A"}));

    // "Face Value" as numbers: 2 < 9.5 < 10 (as texts "10.00" would sort first).
    form.ClickColumn(kWatchList, 4);
    EXPECT_EQ(Column(form, 1), (std::vector<std::string>{"B", "A", "C"}));
    form.ClickColumn(kWatchList, 4);
    EXPECT_EQ(Column(form, 1), (std::vector<std::string>{"C", "A", "B"}));

    // "Issue Size": every size from 2147483647 up compares equal, so A and B keep their order.
    form.ClickColumn(kWatchList, 8);
    EXPECT_EQ(Column(form, 1), (std::vector<std::string>{"A", "B", "C"}));
    form.ClickColumn(kWatchList, 8);
    EXPECT_EQ(Column(form, 1), (std::vector<std::string>{"C", "A", "B"}));

    // A click in a second view flips the direction for the first one too.
    ScriptList({});
    HeadlessForm& other = Open();
    other.ClickColumn(kWatchList, 1);  // descending
    EXPECT_TRUE(WatchSortDescending);
    form.ClickColumn(kWatchList, 1);  // ascending again
    EXPECT_EQ(Column(form, 1), (std::vector<std::string>{"A", "B", "C"}));

    // A reload sorts in the current direction without flipping it.
    form.ClickColumn(kWatchList, 1);  // descending
    ScriptList({&a, &b, &c});
    form.Click(kWatchForthcomingButton);
    EXPECT_TRUE(WatchSortDescending);
    EXPECT_EQ(Column(form, 1), (std::vector<std::string>{"C", "B", "A"}));
}

TEST_F(WatchViewTest, ModesSwitchControlsImagesAndRequests) {
    HeadlessForm& form = Open();
    ScriptList({&Entry("K1", "Soon", 10)});
    form.Click(kWatchForthcomingButton);
    EXPECT_TRUE(form.GetCheck(kWatchForthcomingButton));
    EXPECT_FALSE(form.GetCheck(kWatchCurrentButton));
    EXPECT_FALSE(form.IsVisible(kWatchApplyButton));
    EXPECT_EQ(form.control(kWatchList).images, fw::ListImages::Blank);
    EXPECT_EQ(env.companion().WatchListKinds(), (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(Column(form, 1), std::vector<std::string>{"Soon"});
    EXPECT_EQ(Pane(1), "FORTHCOMING IPO");

    // The first switch to past issues loads with the pickers' dates.
    ScriptList({&Entry("K2", "Old", 10), &Entry("K3", "Older", 20)});
    form.Click(kWatchPastButton);
    for (int id :
         {kWatchFromLabel, kWatchFromDate, kWatchToLabel, kWatchToDate, kWatchApplyButton}) {
        EXPECT_TRUE(form.IsVisible(id)) << id;
    }
    EXPECT_EQ(env.companion().WatchListKinds(), (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(fw::FieldText(LastRequest().WatchFromDate), "2025-12-05");
    EXPECT_EQ(fw::FieldText(LastRequest().WatchToDate), "2026-12-05");
    EXPECT_EQ(form.ListItemCount(kWatchList), 2u);
    EXPECT_EQ(Pane(1), "PAST/CLOSED IPO");
    EXPECT_EQ(Pane(2), "No of records : 2");

    // The second click leaves only the empty placeholder row, without a request.
    form.Click(kWatchPastButton);
    EXPECT_EQ(env.companion().Requests().size(), 3u);
    EXPECT_EQ(form.Rows(kWatchList), (Rows{std::vector<std::string>(9, "")}));

    // "Apply" replaces it with the loaded rows.
    ScriptList({&Entry("K4", "Closed", 10)});
    form.Click(kWatchApplyButton);
    EXPECT_EQ(Column(form, 1), std::vector<std::string>{"Closed"});

    // Back to current issues and past again: the first load of past issues happens anew.
    form.Click(kWatchCurrentButton);
    EXPECT_EQ(form.control(kWatchList).images, fw::ListImages::PlaceBid);
    form.Click(kWatchPastButton);
    EXPECT_EQ(env.companion().WatchListKinds(), (std::vector<int32_t>{1, 2, 3, 3, 1, 3}));
}

TEST_F(WatchViewTest, PastDateRangeIsCheckedThenLoadedAnyway) {
    HeadlessForm& form = Open();
    form.Click(kWatchPastButton);
    const struct {
        fw::Date from, to;
        const char* message;
        const char* fromText;
        const char* toText;
    } cases[] = {
        {{2026, 12, 5}, {2026, 12, 5}, nullptr, "2026-12-05", "2026-12-05"},
        {{2026, 1, 1}, {2026, 3, 31}, nullptr, "2026-01-01", "2026-03-31"},
        {{2026, 12, 1},
         {2026, 12, 6},
         "From Date and To Date should be less than Current Date",
         "2026-12-01",
         "2026-12-06"},
        {{2026, 12, 6},
         {2026, 12, 1},
         "From Date and To Date should be less than Current Date",
         "2026-12-06",
         "2026-12-01"},
        {{2026, 5, 2},
         {2026, 5, 1},
         "From Date should be less than To Date",
         "2026-05-02",
         "2026-05-01"},
    };
    for (const auto& c : cases) {
        env.backend().messages.clear();
        ScriptList({&Entry("K", "Issue", 1)});
        ASSERT_TRUE(form.PickDate(kWatchFromDate, c.from));
        ASSERT_TRUE(form.PickDate(kWatchToDate, c.to));
        form.Click(kWatchApplyButton);
        if (c.message) {
            EXPECT_EQ(env.backend().MessageTexts(), std::vector<std::string>{c.message});
        } else {
            EXPECT_TRUE(env.backend().messages.empty()) << c.fromText;
        }
        EXPECT_EQ(fw::FieldText(LastRequest().WatchFromDate), c.fromText);
        EXPECT_EQ(fw::FieldText(LastRequest().WatchToDate), c.toText);
        EXPECT_EQ(form.ListItemCount(kWatchList), 1u);
    }
    // The pickers refuse dates before 1970.
    EXPECT_FALSE(form.PickDate(kWatchFromDate, {1969, 12, 31}));
    EXPECT_EQ(form.GetDate(kWatchFromDate), (fw::Date{2026, 5, 2}));
}

TEST_F(WatchViewTest, FailedListRequestLeavesEmptyListAndZeroCount) {
    env.companion().Script(kRequestWatchList, {5, 0, "Service down", {}});
    HeadlessForm& form = Open();
    EXPECT_EQ(form.ListItemCount(kWatchList), 0u);
    EXPECT_EQ(Pane(2), "No of records : 0");
    EXPECT_FALSE(env.backend().messages.empty());
}

class WatchDetailsTest : public WatchViewTest {
  protected:
    WatchDetailsTest() {
        FakeIPOWatchEntry& a = Entry("KEY-A", "Alpha", 10);
        FakeIPOWatchEntry& b = Entry("KEY-B", "Beta", 20);
        ScriptList({&a, &b});
        form_ = &Open();

        detailsA.ipoName = "Alpha Limited";
        detailsA.issueSize = 5'000'000'000;
        detailsA.faceValue = 2;
        detailsA.minimumBidQuantity = 150;
        detailsA.registrar = "Registrar A";
        detailsA.bidStartTime = "10:00";
        detailsB.ipoName = "Beta Limited";
        detailsB.registrar = "";
        detailsB.rating = std::nullopt;
    }

    HeadlessForm& form() { return *form_; }

    HeadlessForm* form_ = nullptr;
    FakeIPODetailsEntry detailsA;
    FakeIPODetailsEntry detailsB;
};

TEST_F(WatchDetailsTest, ClicksOutsidePlaceBidShowAndHideDetails) {
    HeadlessForm* details = Details();
    ASSERT_NE(details, nullptr);
    EXPECT_FALSE(details->IsWindowVisible());
    EXPECT_EQ(details->Position().x, 0);
    EXPECT_EQ(details->Position().y, 420);

    ScriptDetails({&detailsA});
    form().ClickItem(kWatchList, 0, 1);
    EXPECT_EQ(fw::FieldText(LastRequest().IssueKey), "KEY-A");
    EXPECT_TRUE(details->IsWindowVisible());
    EXPECT_EQ(details->GetText(kDetailsIPOName), "Alpha Limited");
    EXPECT_EQ(details->GetText(kDetailsIssueSize), "5000000000");
    EXPECT_EQ(details->GetText(kDetailsFaceValue), "2.00");
    EXPECT_EQ(details->GetText(kDetailsMinimumBidQty), "150");
    EXPECT_EQ(details->GetText(kDetailsBidStart), "10:00");
    EXPECT_FALSE(details->IsEnabled(kDetailsRegistrar));  // display only
    EXPECT_EQ(form().FocusedControl(), kWatchList);

    // The same row again hides the popup without a request.
    const size_t requests = env.companion().Requests().size();
    form().ClickItem(kWatchList, 0, 2);
    EXPECT_FALSE(details->IsWindowVisible());
    EXPECT_EQ(env.companion().Requests().size(), requests);
}

TEST_F(WatchDetailsTest, EmptyTextsKeepThePreviousIssuesValues) {
    HeadlessForm* details = Details();
    ScriptDetails({&detailsA});
    form().ClickItem(kWatchList, 0, 1);
    // With the popup up, selecting another row loads that row's details; the click then hides it.
    ScriptDetails({&detailsB});
    form().ClickItem(kWatchList, 1, 1);
    EXPECT_EQ(fw::FieldText(LastRequest().IssueKey), "KEY-B");
    EXPECT_FALSE(details->IsWindowVisible());
    EXPECT_EQ(details->GetText(kDetailsIPOName), "Beta Limited");
    EXPECT_EQ(details->GetText(kDetailsRegistrar), "Registrar A");
    EXPECT_EQ(details->GetText(kDetailsIssueSize), "0");
}

TEST_F(WatchDetailsTest, FailedDetailsRequestShowsNothing) {
    env.companion().Script(kRequestWatchDetails, {5, 0, "No details", {}});
    form().ClickItem(kWatchList, 0, 1);
    EXPECT_FALSE(Details()->IsWindowVisible());
    EXPECT_EQ(Details()->GetText(kDetailsIPOName), "");
}

TEST_F(WatchDetailsTest, PlaceBidCellOpensBidDialogOnlyForCurrentIssues) {
    ScriptDetails({&detailsA});
    form().ClickItem(kWatchList, 1, 0);
    // Details of the row, then the user's details (user type 23).
    EXPECT_EQ(RequestCodes(), (std::vector<uint16_t>{kRequestWatchList, kRequestWatchDetails,
                                                     kRequestUserDetails}));
    EXPECT_EQ(fw::FieldText(env.companion().Requests()[1].IssueKey), "KEY-B");
    HeadlessForm* bid = env.backend().FindForm("Bid Order-IPO");
    ASSERT_NE(bid, nullptr);
    EXPECT_TRUE(bid->IsWindowVisible());
    EXPECT_FALSE(Details()->IsWindowVisible());

    // In forthcoming mode the same cell toggles the details instead.
    ScriptList({&Entry("K9", "Later", 1)});
    form().Click(kWatchForthcomingButton);
    ScriptDetails({&detailsB});
    form().ClickItem(kWatchList, 0, 0);
    EXPECT_TRUE(Details()->IsWindowVisible());
    EXPECT_EQ(RequestCodes().back(), kRequestWatchDetails);
}

TEST_F(WatchDetailsTest, PlaceholderRowHasNothingToShow) {
    form().Click(kWatchPastButton);  // first load: empty answer
    form().Click(kWatchPastButton);  // placeholder only
    const size_t requests = env.companion().Requests().size();
    form().ClickItem(kWatchList, 0, 1);
    form().ClickItem(kWatchList, 0, 1);
    EXPECT_EQ(env.companion().Requests().size(), requests);
    EXPECT_FALSE(Details()->IsWindowVisible());
    window().view().OnCommand(kCmdWatchOpenBid);
    EXPECT_EQ(env.companion().Requests().size(), requests);
}

class WatchMenuTest : public WatchViewTest {
  protected:
    WatchMenuTest() {
        alpha_ = &Entry("K1", "  Alpha  ", 10);
        alpha_->issueSize = 1000;
        beta_ = &Entry("K2", "Beta Corporation", 20);
        ScriptList({alpha_, beta_});
        form_ = &Open();
    }

    // Switches to past issues, which loads the same two rows.
    void ShowPastIssues() {
        ScriptList({alpha_, beta_});
        form_->Click(kWatchPastButton);
    }

    void Choose(int command) {
        env.backend().menuAnswer = command;
        form_->RightClick(kWatchList);
    }

    std::vector<int> Widths() {
        std::vector<int> widths;
        for (int column = 0; column < 9; ++column) {
            widths.push_back(form_->ListColumnWidth(kWatchList, column));
        }
        return widths;
    }

    HeadlessForm* form_ = nullptr;
    FakeIPOWatchEntry* alpha_ = nullptr;
    FakeIPOWatchEntry* beta_ = nullptr;
};

TEST_F(WatchMenuTest, MenuAppearsOnlyOverTheListAndChecksGrid) {
    form_->RightClick(0);
    EXPECT_TRUE(env.backend().shownMenus.empty());

    Choose(kCmdWatchGrid);
    ASSERT_EQ(env.backend().shownMenus.size(), 1u);
    const fw::Menu& menu = env.backend().shownMenus[0];
    EXPECT_EQ(menu.name, "IPOWatch");
    ASSERT_EQ(menu.items.size(), 4u);
    EXPECT_EQ(menu.items[0].text, "Copy to ClipBoard");
    EXPECT_EQ(menu.items[3].id, kCmdWatchGrid);
    EXPECT_FALSE(menu.items[3].checked);
    EXPECT_TRUE(form_->ListExtendedStyle(kWatchList) & fw::kListGridLines);

    Choose(kCmdWatchGrid);
    EXPECT_TRUE(env.backend().shownMenus[1].Find(kCmdWatchGrid)->checked);
    EXPECT_FALSE(form_->ListExtendedStyle(kWatchList) & fw::kListGridLines);
}

TEST_F(WatchMenuTest, CopiesHeaderAndEveryRow) {
    Choose(kCmdWatchCopyToClipboard);
    EXPECT_EQ(env.backend().clipboard,
              "IPO Name\tDate Range\tIssue Type\tFace Value\tPrice Range\tLot Size\t"
              "Minimum Order Quantity\tIssue Size\n"
              "  Alpha  \t \t\t0.00\t0.00-0.00\t0\t10\t1000\n"
              "Beta Corporation\t \t\t0.00\t0.00-0.00\t0\t20\t0\n");

    // An empty list copies the header line only.
    form_->Click(kWatchPastButton);
    form_->Click(kWatchPastButton);
    form_->Click(kWatchApplyButton);
    Choose(kCmdWatchCopyToClipboard);
    EXPECT_EQ(env.backend().clipboard,
              "IPO Name\tDate Range\tIssue Type\tFace Value\tPrice Range\tLot Size\t"
              "Minimum Order Quantity\tIssue Size\n");

    env.backend().clipboardAvailable = false;  // dropped silently
    Choose(kCmdWatchCopyToClipboard);
    EXPECT_TRUE(env.backend().messages.empty());
}

TEST_F(WatchMenuTest, SizeToFitMeasuresTrimmedTextsEveryTime) {
    const int c = HeadlessForm::kCharWidth;
    Choose(kCmdWatchSizeToFit);
    // Column 0 stays 80; others take their widest trimmed text plus 10 (the date range " "
    // trims to nothing).
    EXPECT_EQ(Widths(), (std::vector<int>{80, 16 * c + 10, 10, 10, 4 * c + 10, 9 * c + 10,
                                          1 * c + 10, 2 * c + 10, 4 * c + 10}));

    // Rows loaded by "Apply" leave the fit flags alone, yet a second fit still runs.
    ShowPastIssues();
    Choose(kCmdWatchSizeToFit);
    ScriptList({&Entry("K3", "A much longer issue name here", 5)});
    form_->Click(kWatchApplyButton);
    Choose(kCmdWatchSizeToFit);
    EXPECT_EQ(Widths()[1], 29 * c + 10);
}

TEST_F(WatchMenuTest, SizeToHeaderRunsAgainOnlyAfterAColumnChanged) {
    const int c = HeadlessForm::kCharWidth;
    ShowPastIssues();
    Choose(kCmdWatchSizeToHeader);
    // A header auto-sizes to its text plus 12: "Beta Corporation" is wider than "IPO Name",
    // "Minimum Order Quantity" wider than its cells.
    const std::vector<int> fitted = Widths();
    EXPECT_EQ(fitted[0], 80);
    EXPECT_EQ(fitted[1], 16 * c + 10);
    EXPECT_EQ(fitted[7], 22 * c + 12 + 10);

    // New rows alone do not make it run again...
    ScriptList({&Entry("K3", "A much longer issue name here", 5)});
    form_->Click(kWatchApplyButton);
    Choose(kCmdWatchSizeToHeader);
    EXPECT_EQ(Widths(), fitted);

    // ...a column the user resized does.
    form_->ListSetColumnWidth(kWatchList, 3, 33);
    Choose(kCmdWatchSizeToHeader);
    EXPECT_EQ(Widths()[1], 29 * c + 10);
    EXPECT_EQ(Widths()[3], 10 * c + 12 + 10);
}

TEST_F(WatchMenuTest, EscapeClosesTheFrame) {
    form_->PressEscape();
    EXPECT_EQ(window().site().closePosts(), 1);
}

}  // namespace
