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
        entry.issueKey = std::move(key), entry.ipoName = std::move(name);
        entry.minimumOrderQuantity = minimumQuantity;
        return &entry;
    }

    HeadlessForm& Open() {
        windows_.push_back(
            std::make_unique<OpenedWindow>(WatchViewClass(), GenericFrameClass(), kFormIPOWatch));
        return windows_.back()->form();
    }
    OpenedWindow& window() { return *windows_.front(); }

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
    a->priceLow = 95.5, a->priceHigh = 100, a->faceValue = 10, a->issueSize = 12'500'000'000;
    a->lotSize = 150, a->bidStartDate = "01-Dec-2026", a->issueType = "Book Built";
    FakeIPOWatchEntry* b = Entry("K2", "Beta", 200);
    b->bidStartDate = "02-Dec-2026";
    b->bidEndDate = "04-Dec-2026";
    FakeIPOWatchEntry* c = Entry("K3", "", 100);
    c->ipoName = c->bidStartDate = c->bidEndDate = c->issueType = std::nullopt;
    env.Answer(kRequestWatchList, {a, b, c});
    HeadlessForm& form = Open();

    EXPECT_TRUE(form.GetCheck(kWatchCurrentButton) && !form.IsVisible(kWatchApplyButton));
    EXPECT_EQ(form.GetDate(kWatchFromDate), (base::Date{2025, 12, 5}));  // a year before today
    const auto rows = form.Rows(kWatchList);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (Texts{"", "", " ", "", "0.00", "0.00-0.00", "0", "100", "0"}));
    EXPECT_EQ(rows[1], (Texts{"", "Alpha Ltd", "01-Dec-2026 ", "Book Built", "10.00",
                              "95.50-100.00", "150", "150", "12500000000"}));
    EXPECT_EQ(rows[2][2], "02-Dec-2026 To 04-Dec-2026");
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
    form.Click(kWatchForthcomingButton);
    EXPECT_EQ(form.control(kWatchList).images, fw::ListImages::Blank);
    env.Answer(kRequestWatchList, {Entry("K2", "Old", 10)});
    form.Click(kWatchPastButton);
    EXPECT_TRUE(form.IsVisible(kWatchApplyButton));
    EXPECT_EQ(Fields(Last().WatchFromDate, Last().WatchToDate), "2025-12-05|2026-12-05");

    // Again: only the empty placeholder row, no request; it sorts, and has no details or bid.
    form.Click(kWatchPastButton);
    form.ClickColumn(kWatchList, 4);
    EXPECT_EQ(form.Rows(kWatchList), std::vector<Texts>{Texts(9, "")});
    form.ClickItem(kWatchList, 0, 1);
    window().view().OnCommand(kCmdWatchOpenBid);
    EXPECT_EQ(env.companion().Requests().size(), 3u);
    EXPECT_FALSE(Details().IsWindowVisible());

    form.Click(kWatchApplyButton);
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
        {{2026, 12, 1}, {2026, 12, 6}, future},
        {{2026, 12, 6}, {2026, 12, 5}, future},
        {{2026, 5, 2}, {2026, 5, 1}, "From Date should be less than To Date"},
    };
    for (const auto& c : cases) {
        env.backend().messages.clear();
        env.Answer(kRequestWatchList, {Entry("K", "Issue", 1)});
        ASSERT_TRUE(form.PickDate(kWatchFromDate, c.from) && form.PickDate(kWatchToDate, c.to));
        form.Click(kWatchApplyButton);
        EXPECT_EQ(env.backend().MessageTexts(), c.message ? Texts{c.message} : Texts{});
        EXPECT_EQ(base::FieldText(Last().WatchToDate),
                  base::Format("%04d-%02d-%02d", c.to.year, c.to.month, c.to.day));
    }
}

TEST_F(WatchViewTest, ClicksToggleDetails) {
    env.Answer(kRequestWatchList, {Entry("KEY-A", "Alpha", 10), Entry("KEY-B", "Beta", 20)});
    HeadlessForm& form = Open();
    FakeIPODetailsEntry a, b;
    a.registrar = "Registrar A", a.issueSize = 5'000'000'000, a.faceValue = 2;
    b.ipoName = "Beta Limited", b.rating = std::nullopt;
    env.Answer(kRequestWatchDetails, {&a});
    form.ClickItem(kWatchList, 0, 1);
    EXPECT_TRUE(Details().IsWindowVisible());
    EXPECT_EQ(Details().GetText(kDetailsIssueSize) + "|" + Details().GetText(kDetailsFaceValue),
              "5000000000|2.00");

    // With the popup up, selecting row B loads its details; the click itself then hides it.
    // B's empty registrar leaves A's on show.
    env.Answer(kRequestWatchDetails, {&b});
    form.ClickItem(kWatchList, 1, 1);
    EXPECT_EQ(base::FieldText(Last().IssueKey), "KEY-B");
    EXPECT_FALSE(Details().IsWindowVisible());
    EXPECT_EQ(Details().GetText(kDetailsIPOName) + "|" + Details().GetText(kDetailsRegistrar),
              "Beta Limited|Registrar A");

    // In forthcoming mode the "Place Bid" cell toggles the details (in current mode it opens the
    // bid dialog: the scenarios).
    env.Answer(kRequestWatchList, {Entry("K9", "Later", 1)});
    form.Click(kWatchForthcomingButton);
    env.Answer(kRequestWatchDetails, {&b});
    form.ClickItem(kWatchList, 0, 0);
    EXPECT_TRUE(Details().IsWindowVisible());
    EXPECT_EQ(Codes(), (std::vector<uint16_t>{91, 92, 92, 91, 92}));
}

TEST_F(WatchViewTest, GridClipboardAndColumnSizes) {
    FakeIPOWatchEntry* alpha = Entry("K1", "  Alpha  ", 10);
    alpha->issueSize = 1000;
    env.Answer(kRequestWatchList, {alpha, Entry("K2", "Beta Corp", 20)});
    HeadlessForm& form = Open();
    const auto choose = [&](int command) {
        env.backend().menuAnswer = command;
        form.RightClick(kWatchList);
    };
    choose(kCmdWatchGrid);
    EXPECT_TRUE(form.ListExtendedStyle(kWatchList) & fw::kListGridLines);

    choose(kCmdWatchCopyToClipboard);
    EXPECT_EQ(env.backend().clipboard,
              "IPO Name\tDate Range\tIssue Type\tFace Value\tPrice Range\tLot Size\t"
              "Minimum Order Quantity\tIssue Size\n"
              "  Alpha  \t \t\t0.00\t0.00-0.00\t0\t10\t1000\n"
              "Beta Corp\t \t\t0.00\t0.00-0.00\t0\t20\t0\n");

    // Size To Fit measures trimmed texts; Size To Header runs again only after the user resized a
    // column.
    constexpr int c = HeadlessForm::kCharWidth;
    env.Answer(kRequestWatchList, {alpha});
    form.Click(kWatchPastButton);
    choose(kCmdWatchSizeToFit);
    EXPECT_EQ(form.ListColumnWidth(kWatchList, 1), 5 * c + 10);  // "Alpha"
    choose(kCmdWatchSizeToHeader);  // the title "IPO Name" and its margin are wider
    EXPECT_EQ(form.ListColumnWidth(kWatchList, 1), 8 * c + 22);
    env.Answer(kRequestWatchList, {Entry("K3", "A much longer issue name", 5)});
    form.Click(kWatchApplyButton);
    choose(kCmdWatchSizeToHeader);
    EXPECT_EQ(form.ListColumnWidth(kWatchList, 1), 8 * c + 22);
    form.ListSetColumnWidth(kWatchList, 3, 33);  // the user drags a column
    choose(kCmdWatchSizeToHeader);
    EXPECT_EQ(form.ListColumnWidth(kWatchList, 1), 24 * c + 10);
}

}  // namespace
