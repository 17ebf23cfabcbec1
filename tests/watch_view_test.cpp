#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/stable_sort.h"
#include "base/text.h"
#include "plugin/runtime_classes.h"
#include "tests/support/fake_records.h"
#include "tests/support/plugin_test_env.h"
#include "watch/ipo_watch_details_layout.h"
#include "watch/ipo_watch_layout.h"
#include "watch/ipo_watch_sort.h"

using fw::headless::HeadlessForm;
using fw::headless::OpenedWindow;
using Texts = std::vector<std::string>;

namespace {

class WatchViewTest : public PluginTest {
  protected:
    WatchViewTest() {
        fw::RegisterTemplate(&WatchFormLayout());
        WatchSortDescending = false;  // as in a fresh process
    }

    FakeIPOWatchEntry* Entry(std::string key, std::string name, int32_t minimumQuantity) {
        FakeIPOWatchEntry& entry = entries_.emplace_back();
        entry.issueKey = std::move(key);
        entry.ipoName = std::move(name);
        entry.minimumOrderQuantity = minimumQuantity;
        return &entry;
    }

    HeadlessForm& Open() {
        windows_.push_back(
            std::make_unique<OpenedWindow>(WatchViewClass(), GenericFrameClass(), kFormIPOWatch));
        return windows_.back()->form();
    }
    OpenedWindow& window() { return *windows_.front(); }
    std::string Pane(int pane) { return window().site().statusBar()->PaneText(pane); }

    Texts Column(HeadlessForm& form, size_t column) {
        Texts texts;
        for (const Texts& row : form.Rows(kWatchList)) {
            texts.push_back(row.at(column));
        }
        return texts;
    }
    std::vector<uint16_t> Codes() {
        std::vector<uint16_t> codes;
        for (const IPOServiceRequest& request : env.companion().Requests()) {
            codes.push_back(request.RequestCode);
        }
        return codes;
    }
    const IPOServiceRequest& Last() { return env.companion().Requests().back(); }
    HeadlessForm& Details() { return *env.backend().FindForm("IPO Watch Details"); }

    std::deque<FakeIPOWatchEntry> entries_;
    std::vector<std::unique_ptr<OpenedWindow>> windows_;
};

TEST_F(WatchViewTest, OpeningListsCurrentIssuesFormattedAndSortedByMinimumQuantity) {
    FakeIPOWatchEntry* a = Entry("K1", "Alpha Ltd", 150);
    a->priceLow = 95.5;
    a->priceHigh = 100;
    a->faceValue = 10;
    a->issueSize = 12'500'000'000;
    a->lotSize = 150;
    a->bidStartDate = "01-Dec-2026";
    a->issueType = "Book Built";
    FakeIPOWatchEntry* b = Entry("K2", "Beta", 200);
    b->bidStartDate = "02-Dec-2026";
    b->bidEndDate = "04-Dec-2026";
    FakeIPOWatchEntry* c = Entry("K3", "", 100);
    c->ipoName = c->bidStartDate = c->bidEndDate = c->issueType = std::nullopt;
    env.Answer(kRequestWatchList, {a, b, c});
    HeadlessForm& form = Open();

    EXPECT_TRUE(form.GetCheck(kWatchCurrentButton) && !form.IsVisible(kWatchApplyButton));
    EXPECT_EQ(form.GetDate(kWatchFromDate), (base::Date{2025, 12, 5}));  // a year before today
    EXPECT_EQ(form.GetDate(kWatchToDate), (base::Date{2026, 12, 5}));
    EXPECT_EQ(env.companion().WatchListKinds(), std::vector<int32_t>{1});
    const auto rows = form.Rows(kWatchList);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (Texts{"", "", " ", "", "0.00", "0.00-0.00", "0", "100", "0"}));
    EXPECT_EQ(rows[1], (Texts{"", "Alpha Ltd", "01-Dec-2026 ", "Book Built", "10.00",
                              "95.50-100.00", "150", "150", "12500000000"}));
    EXPECT_EQ(rows[2][2], "02-Dec-2026 To 04-Dec-2026");

    // User type 23: the flat status bar.
    EXPECT_EQ(window().site().statusBar()->kind(), fw::StatusBarKind::OwnerDrawn);
    EXPECT_EQ(Pane(1) + "|" + Pane(2), "CURRENT IPO|No of records : 3");
    ASSERT_EQ(env.sizeReports.size(), 1u);
    EXPECT_EQ(std::pair(env.sizeReports[0].size.width, env.sizeReports[0].size.height),
              std::pair(form.ClientSize().width, form.ClientSize().height - 120));

    // The list follows the view, 3 pixels above its bottom edge.
    form.ResizeTo({900, 600});
    EXPECT_EQ(std::pair(form.ControlRect(kWatchList).Width(), form.ControlRect(kWatchList).bottom),
              std::pair(900, 597));

    env.companion().Script(kRequestWatchList, {5, 0, "Service down", {}});
    form.Click(kWatchForthcomingButton);  // a failure leaves no rows
    EXPECT_EQ(form.ListItemCount(kWatchList), 0u);
    EXPECT_EQ(Pane(2), "No of records : 0");
    form.PressEscape();
    EXPECT_EQ(window().site().closePosts(), 1);
}

TEST_F(WatchViewTest, HeaderClicksSortByTextOrNumberWithOneSharedDirection) {
    FakeIPOWatchEntry* a = Entry("K1", "A", 10);
    a->priceLow = 95, a->priceHigh = 99, a->faceValue = 9.5, a->issueSize = 3'000'000'000;
    FakeIPOWatchEntry* b = Entry("K2", "B", 20);
    b->priceLow = 100, b->priceHigh = 110, b->faceValue = 10, b->issueSize = 2'147'483'647;
    FakeIPOWatchEntry* c = Entry("K3", "C", 30);
    c->faceValue = 2, c->issueSize = 5'000;
    env.Answer(kRequestWatchList, {a, b, c});
    HeadlessForm& form = Open();

    const struct {
        int column;
        Texts order;
    } clicks[] = {
        {5, {"A", "B", "C"}},  // descending texts: "95.00-99.00" > "100.00-110.00"
        {5, {"C", "B", "A"}},  // ascending
        {4, {"B", "A", "C"}},  // descending numbers: 10 > 9.5 > 2
        {4, {"C", "A", "B"}},
        {8, {"A", "B", "C"}},  // sizes from 2147483647 up are equal: A and B keep their order
        {8, {"C", "A", "B"}},
    };
    for (const auto& click : clicks) {
        form.ClickColumn(kWatchList, click.column);
        EXPECT_EQ(Column(form, 1), click.order) << click.column;
    }

    // A click in another watch view flips the direction for this one too.
    Open().ClickColumn(kWatchList, 1);
    form.ClickColumn(kWatchList, 1);
    EXPECT_EQ(Column(form, 1), (Texts{"A", "B", "C"}));
    // A reload sorts in the current direction without flipping it.
    form.ClickColumn(kWatchList, 1);
    env.Answer(kRequestWatchList, {a, b, c});
    form.Click(kWatchForthcomingButton);
    EXPECT_EQ(Column(form, 1), (Texts{"C", "B", "A"}));
}

// User types other than 23, 24 and 26 send nothing: no list on opening, no details on a row
// click, no details behind "Place Bid" (the bid dialog still opens, blank).
TEST_F(WatchViewTest, OtherUserTypesSendNoRequest) {
    env.Answer(kRequestWatchList, {Entry("K1", "Alpha", 10)});
    HeadlessForm& form = Open();
    PluginTestConfig config;
    config.userType = 25;
    env.Configure(config);
    form.ClickItem(kWatchList, 0, 1);
    form.ClickItem(kWatchList, 0, 0);
    EXPECT_TRUE(env.backend().FindForm("Bid Order-IPO")->IsWindowVisible());
    form.Click(kWatchForthcomingButton);
    EXPECT_EQ(Codes(), std::vector<uint16_t>{91});  // only the one made as type 23
    EXPECT_EQ(form.ListItemCount(kWatchList), 0u);

    Open();
    EXPECT_EQ(Codes(), std::vector<uint16_t>{91});
}

// Number columns sort on keys read once per sort; that must give the comparator's order: equal
// numbers keep their order, texts that are not numbers read as 0, sizes past 32 bits are equal,
// and null rows (placeholders) sort as rows of empty texts.
TEST(WatchSort, KeyedSortKeepsTheComparatorsOrderForEveryColumnAndDirection) {
    const char* numbers[] = {"10.00",      "9.50", "abc", "",      "10",         "3000000000",
                             "2147483647", "-1",   "0.5", "10.00", "2147483648", "7"};
    const size_t n = std::size(numbers);
    const IPOWatchRow blank;
    for (bool descending : {false, true}) {
        WatchSortDescending = descending;
        for (int column = 0; column <= 8; ++column) {
            std::vector<std::unique_ptr<IPOWatchRow>> keyed, compared;
            for (size_t i = 0; i <= n; ++i) {
                IPOWatchRow row{.IPOName = "N" + std::to_string(i % 4),
                                .DateRange = numbers[(i + 3) % n],
                                .IssueType = "T" + std::to_string(i % 3),
                                .FaceValue = numbers[i % n],
                                .PriceRange = numbers[(i + 5) % n],
                                .LotSize = numbers[(i + 1) % n],
                                .MinimumOrderQuantity = numbers[(i + 7) % n],
                                .IssueSize = numbers[(i + 2) % n],
                                .IssueKey = std::to_string(i)};
                keyed.push_back(i % 6 ? std::make_unique<IPOWatchRow>(row) : nullptr);
                compared.push_back(i % 6 ? std::make_unique<IPOWatchRow>(row) : nullptr);
            }
            SortWatchRows(keyed, column);
            base::MergeSort(compared, [column, &blank](const auto& a, const auto& b) {
                return CompareWatchRows(a ? *a : blank, b ? *b : blank, column);
            });
            for (size_t i = 0; i < keyed.size(); ++i) {
                EXPECT_EQ(keyed[i] ? keyed[i]->IssueKey : "-",
                          compared[i] ? compared[i]->IssueKey : "-")
                    << column << (descending ? " descending" : "") << " row " << i;
            }
        }
    }
    WatchSortDescending = false;
}

TEST_F(WatchViewTest, ModesSwitchControlsAndPastIssuesLoadOnceUntilApply) {
    HeadlessForm& form = Open();
    env.Answer(kRequestWatchList, {Entry("K1", "Soon", 10)});
    form.Click(kWatchForthcomingButton);
    EXPECT_EQ(form.control(kWatchList).images, fw::ListImages::Blank);
    EXPECT_EQ(Column(form, 1), Texts{"Soon"});

    env.Answer(kRequestWatchList, {Entry("K2", "Old", 10)});
    form.Click(kWatchPastButton);
    EXPECT_TRUE(form.IsVisible(kWatchApplyButton));
    EXPECT_EQ(Fields(Last().WatchFromDate, Last().WatchToDate), "2025-12-05|2026-12-05");
    EXPECT_EQ(Column(form, 1), Texts{"Old"});
    EXPECT_EQ(Pane(1), "PAST/CLOSED IPO");

    // Again: only the empty placeholder row, no request; it sorts, and has no details or bid.
    form.Click(kWatchPastButton);
    for (int column = 0; column <= 8; ++column) {
        form.ClickColumn(kWatchList, column);
    }
    EXPECT_EQ(form.Rows(kWatchList), std::vector<Texts>{Texts(9, "")});
    form.ClickItem(kWatchList, 0, 1);
    window().view().OnCommand(kCmdWatchOpenBid);
    EXPECT_EQ(env.companion().Requests().size(), 3u);
    EXPECT_FALSE(Details().IsWindowVisible());

    env.Answer(kRequestWatchList, {Entry("K4", "Closed", 10)});
    form.Click(kWatchApplyButton);
    EXPECT_EQ(Column(form, 1), Texts{"Closed"});
    form.Click(kWatchCurrentButton);
    form.Click(kWatchPastButton);  // a first load again after another mode
    EXPECT_EQ(env.companion().WatchListKinds(), (std::vector<int32_t>{1, 2, 3, 3, 1, 3}));
}

TEST_F(WatchViewTest, PastDateRangeIsCheckedThenLoadedAnyway) {
    HeadlessForm& form = Open();
    form.Click(kWatchPastButton);
    const char* future = "From Date and To Date should be less than Current Date";
    const struct {
        base::Date from, to;
        const char* message;
    } cases[] = {
        {{2026, 12, 5}, {2026, 12, 5}, nullptr},
        {{2026, 1, 1}, {2026, 3, 31}, nullptr},
        {{2026, 12, 1}, {2026, 12, 6}, future},
        {{2026, 12, 6}, {2026, 12, 1}, future},
        {{2026, 5, 2}, {2026, 5, 1}, "From Date should be less than To Date"},
    };
    const auto iso = [](base::Date d) {
        return base::Format("%04d-%02d-%02d", d.year, d.month, d.day);
    };
    for (const auto& c : cases) {
        env.backend().messages.clear();
        env.Answer(kRequestWatchList, {Entry("K", "Issue", 1)});
        ASSERT_TRUE(form.PickDate(kWatchFromDate, c.from));
        ASSERT_TRUE(form.PickDate(kWatchToDate, c.to));
        form.Click(kWatchApplyButton);
        EXPECT_EQ(env.backend().MessageTexts(), c.message ? Texts{c.message} : Texts{});
        EXPECT_EQ(Fields(Last().WatchFromDate, Last().WatchToDate), iso(c.from) + "|" + iso(c.to));
        EXPECT_EQ(form.ListItemCount(kWatchList), 1u);
    }
    EXPECT_FALSE(form.PickDate(kWatchFromDate, {1969, 12, 31}));
}

TEST_F(WatchViewTest, ClicksToggleDetailsAndPlaceBidOpensTheBidDialog) {
    env.Answer(kRequestWatchList, {Entry("KEY-A", "Alpha", 10), Entry("KEY-B", "Beta", 20)});
    HeadlessForm& form = Open();
    FakeIPODetailsEntry a, b;
    a.ipoName = "Alpha Limited", a.registrar = "Registrar A";
    a.issueSize = 5'000'000'000, a.faceValue = 2, a.minimumBidQuantity = 150;
    b.ipoName = "Beta Limited", b.rating = std::nullopt;
    EXPECT_FALSE(Details().IsWindowVisible());

    env.Answer(kRequestWatchDetails, {&a});
    form.ClickItem(kWatchList, 0, 1);
    EXPECT_EQ(base::FieldText(Last().IssueKey), "KEY-A");
    EXPECT_TRUE(Details().IsWindowVisible());
    EXPECT_EQ(Details().GetText(kDetailsIssueSize) + "|" + Details().GetText(kDetailsFaceValue) +
                  "|" + Details().GetText(kDetailsMinimumBidQty),
              "5000000000|2.00|150");
    EXPECT_FALSE(Details().IsEnabled(kDetailsRegistrar));

    // With the popup up, selecting row B loads its details; the click itself then hides it.
    // B's empty registrar leaves A's on show.
    env.Answer(kRequestWatchDetails, {&b});
    form.ClickItem(kWatchList, 1, 1);
    EXPECT_EQ(base::FieldText(Last().IssueKey), "KEY-B");
    EXPECT_FALSE(Details().IsWindowVisible());
    EXPECT_EQ(Details().GetText(kDetailsIPOName) + "|" + Details().GetText(kDetailsRegistrar),
              "Beta Limited|Registrar A");

    // "Place Bid" of a current issue: its details, then the user's details (type 23).
    env.Answer(kRequestWatchDetails, {&a});
    form.ClickItem(kWatchList, 0, 0);
    EXPECT_EQ(Codes(), (std::vector<uint16_t>{91, 92, 92, 92, 96}));
    EXPECT_TRUE(env.backend().FindForm("Bid Order-IPO")->IsWindowVisible());

    // In forthcoming mode the same cell toggles the details.
    env.Answer(kRequestWatchList, {Entry("K9", "Later", 1)});
    form.Click(kWatchForthcomingButton);
    env.Answer(kRequestWatchDetails, {&b});
    form.ClickItem(kWatchList, 0, 0);
    EXPECT_TRUE(Details().IsWindowVisible());
    EXPECT_EQ(Codes().back(), 92);
}

class WatchMenuTest : public WatchViewTest {
  protected:
    WatchMenuTest() : alpha(Entry("K1", "  Alpha  ", 10)), beta(Entry("K2", "Beta Corp", 20)) {
        alpha->issueSize = 1000;
        env.Answer(kRequestWatchList, {alpha, beta});
        form = &Open();
    }

    void Choose(int command) {
        env.backend().menuAnswer = command;
        form->RightClick(kWatchList);
    }
    void Show(int button, FakeIPOWatchEntry* entry) {
        env.Answer(kRequestWatchList, {entry});
        form->Click(button);
    }
    std::vector<int> Widths() {
        std::vector<int> widths;
        for (int column = 0; column < 9; ++column) {
            widths.push_back(form->ListColumnWidth(kWatchList, column));
        }
        return widths;
    }

    FakeIPOWatchEntry* alpha;
    FakeIPOWatchEntry* beta;
    HeadlessForm* form;
    static constexpr int c = HeadlessForm::kCharWidth;
};

TEST_F(WatchMenuTest, GridAndClipboard) {
    form->RightClick(0);  // not over the list: no menu
    EXPECT_TRUE(env.backend().shownMenus.empty());
    Choose(kCmdWatchGrid);
    EXPECT_EQ(env.backend().shownMenus.at(0).name, "IPOWatch");
    EXPECT_FALSE(env.backend().shownMenus[0].Find(kCmdWatchGrid)->checked);
    EXPECT_TRUE(form->ListExtendedStyle(kWatchList) & fw::kListGridLines);
    Choose(kCmdWatchGrid);
    EXPECT_TRUE(env.backend().shownMenus[1].Find(kCmdWatchGrid)->checked);
    EXPECT_FALSE(form->ListExtendedStyle(kWatchList) & fw::kListGridLines);

    const std::string header =
        "IPO Name\tDate Range\tIssue Type\tFace Value\tPrice Range\tLot Size\t"
        "Minimum Order Quantity\tIssue Size\n";
    Choose(kCmdWatchCopyToClipboard);
    EXPECT_EQ(env.backend().clipboard, header +
                                           "  Alpha  \t \t\t0.00\t0.00-0.00\t0\t10\t1000\n"
                                           "Beta Corp\t \t\t0.00\t0.00-0.00\t0\t20\t0\n");
    env.Answer(kRequestWatchList, {});
    form->Click(kWatchForthcomingButton);
    Choose(kCmdWatchCopyToClipboard);
    EXPECT_EQ(env.backend().clipboard, header);
}

// Size To Fit runs every time, on trimmed texts; Size To Header again only after a column was
// resized by the user.
TEST_F(WatchMenuTest, SizeToFitAndSizeToHeader) {
    Choose(kCmdWatchSizeToFit);
    // Column 0 stays 80; the others take their widest trimmed text plus 10 (" " trims away).
    EXPECT_EQ(Widths(), (std::vector<int>{80, 9 * c + 10, 10, 10, 4 * c + 10, 9 * c + 10, c + 10,
                                          2 * c + 10, 4 * c + 10}));
    Show(kWatchPastButton, alpha);
    Choose(kCmdWatchSizeToFit);
    Show(kWatchApplyButton, Entry("K3", "A much longer issue name", 5));  // the flags stay
    Choose(kCmdWatchSizeToFit);
    EXPECT_EQ(Widths()[1], 24 * c + 10);

    Show(kWatchCurrentButton, alpha);
    Show(kWatchPastButton, alpha);
    Choose(kCmdWatchSizeToHeader);  // a header auto-sizes to its text plus 12
    const std::vector<int> fitted = Widths();
    EXPECT_EQ(fitted, (std::vector<int>{80, 8 * c + 22, 10 * c + 22, 10 * c + 22, 10 * c + 22,
                                        11 * c + 22, 8 * c + 22, 22 * c + 22, 10 * c + 22}));
    Show(kWatchApplyButton, Entry("K4", "A much longer issue name", 5));
    Choose(kCmdWatchSizeToHeader);
    EXPECT_EQ(Widths(), fitted);
    form->ListSetColumnWidth(kWatchList, 3, 33);  // the user drags a column
    Choose(kCmdWatchSizeToHeader);
    EXPECT_EQ(Widths()[1], 24 * c + 10);
    EXPECT_EQ(Widths()[3], 10 * c + 22);
}

}  // namespace
