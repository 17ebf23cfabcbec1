#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "base/platform.h"
#include "base/text.h"
#include "bid/ipo_order_entry_layout.h"
#include "orderbook/ipo_order_book.h"
#include "orderbook/order_book_layout.h"
#include "orderbook/order_book_sort.h"
#include "plugin/host_abi.h"
#include "plugin/runtime_classes.h"
#include "tests/support/fake_records.h"
#include "tests/support/plugin_test_env.h"
#include "watch/ipo_client_filter_layout.h"

using fw::headless::HeadlessForm;
using fw::headless::OpenedWindow;

namespace {

// clang-format off
const std::vector<std::string> kTitles = {
    "Offer Type", "offer Name", "Application No", "Bid Reference/Order No",
    "Cut off Indicator 1", "Bid Price 1", "Lot(Qty) 1", "Amount Payable 1",
    "Cut off Indicator 2", "Bid Price 2", "Lot(Qty) 2", "Amount Payable 2",
    "Cut off Indicator 3", "Bid Price 3", "Lot(Qty) 3", "Amount Payable 3",
    "Total Amount Payable", "Payment Mode", "status", "last modified date and time", "Bid Date",
    "Allocated Qty", "Refund Amount", "Payment Status", "Rejection Reason", "Client Name"};

// The cells of the order that MakeOrder(9001, "P", ...) builds.
const std::vector<std::string> kOrderCells = {
    "IPO", "ACME ,Ltd", "APP9001", "9001", "0", "95.50", "3(150)", "14325.00", "", "", "", "",
    "", "", "", "", "14325.00", "UPI", "PENDING", "2026-12-04 11:00:00", "2026-12-04 10:00:00",
    "0", "0.00", "SUCCESS", "", "Asha"};
// clang-format on

std::string Join(const std::vector<std::string>& cells, const std::string& separator) {
    std::string text;
    for (size_t i = 0; i < cells.size(); ++i) {
        text += (i ? separator : "") + cells[i];
    }
    return text;
}

class OrderBookViewTest : public PluginTest {
  protected:
    OrderBookViewTest() {
        fw::RegisterTemplate(&OrderBookFormLayout());
        OrderBookSortDescending = false;
    }

    void Open(uint16_t userType = 23) {
        PluginTestConfig config;
        config.userType = userType;
        env.Configure(config);
        window = std::make_unique<OpenedWindow>(OrderBookViewClass(), GenericFrameClass(),
                                                static_cast<int>(kFormIPOOrderBook));
    }
    HeadlessForm& form() { return window->form(); }
    CIPOOrderBook& view() { return window->viewAs<CIPOOrderBook>(); }

    FakeIPOOrderBookEntry& MakeOrder(int number, const char* status, const char* bidDate) {
        FakeIPOOrderBookEntry& e = orders.emplace_back();
        e.offerType = "IPO", e.offerName = "ACME ,Ltd", e.issueKey = "ACME-IPO";
        e.applicationNumber = "APP" + std::to_string(number), e.orderNumber = number;
        e.statusCode = status, e.bidDate = bidDate, e.lastModified = "2026-12-04 11:00:00";
        e.paymentMode = "UPI", e.upiId = "asha@upi", e.paymentStatusCode = "e";
        e.clientName = "Asha", e.categoryCode = "IND", e.lotSize = 50;
        e.totalAmountPayable = 1432500;
        FakeIPOOrderBid& bid = bids.emplace_back();
        bid.quantity = 150, bid.price = 9550, bid.amountPayable = 1432500;
        bid.bidReference = "B" + std::to_string(number);
        e.bids.Add(static_cast<IPOOrderBid*>(&bid));
        return e;
    }
    void Apply(std::vector<IPOOrderBookEntry*> entries) {
        env.Answer(kRequestOrderBook, {entries.begin(), entries.end()});
        form().Click(kOrderBookApply);
    }
    std::vector<std::string> Column(int column) {
        std::vector<std::string> cells;
        for (const auto& row : form().Rows(kOrderBookList)) {
            cells.push_back(row[static_cast<size_t>(column)]);
        }
        return cells;
    }
    // The menu as shown by a right click on the list, with `command` chosen from it.
    fw::Menu RightClick(int command = 0) {
        env.backend().menuAnswer = command;
        form().RightClick(kOrderBookList);
        return env.backend().shownMenus.back();
    }
    const IPOServiceRequest& LastRequest() { return env.companion().Requests().back(); }
    // A file of this test in the temporary folder, removed when the test ends.
    std::string TempPath(const std::string& name) {
        files.push_back(::testing::TempDir() + "orderbook_view_test_" + name);
        return files.back();
    }
    std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    ~OrderBookViewTest() override {
        for (const std::string& file : files) {
            std::remove(file.c_str());
        }
    }

    std::deque<FakeIPOOrderBookEntry> orders;
    std::deque<FakeIPOOrderBid> bids;
    std::unique_ptr<OpenedWindow> window;
    std::vector<std::string> files;
};

// The list's geometry and the frame's panes are the layout check's and the scenarios' concern.
TEST_F(OrderBookViewTest, OpeningSetsUpFiltersAndDateChecksStopApply) {
    Open();
    EXPECT_EQ((std::vector<std::string>{"(ALL)", "ADMIN CANCELLED", "CANCELLED", "CONFIRMED",
                                        "MODIFIED", "PENDING", "REJECTED"}),
              form().ComboItems(kOrderBookStatus));
    EXPECT_EQ("(ALL)", form().ComboText(kOrderBookStatus));
    EXPECT_EQ((base::Date{2026, 11, 28}), form().GetDate(kOrderBookFromDate));
    EXPECT_EQ((base::Date{2026, 12, 5}), form().GetDate(kOrderBookToDate));
    EXPECT_TRUE(env.companion().Requests().empty());

    auto& order = MakeOrder(1, "P", "2026-12-04 10:00:00");
    const char* future = "From Date and To Date should be less than Current Date";
    const struct {
        base::Date from, to;
        const char* message;
    } cases[] = {{{2026, 12, 5}, {2026, 12, 5}, nullptr},  // one day, today: asked and listed
                 {{2026, 12, 6}, {2026, 12, 5}, future},   // a refused range empties the list
                 {{2026, 12, 1}, {2026, 12, 6}, future},
                 {{2026, 12, 5}, {2026, 12, 4}, "From Date should be less than To Date"}};
    for (const auto& c : cases) {
        const size_t requests = env.companion().Requests().size();
        env.backend().messages.clear();
        form().PickDate(kOrderBookFromDate, c.from);
        form().PickDate(kOrderBookToDate, c.to);
        Apply({&order});
        EXPECT_EQ(env.backend().LastMessage(), c.message ? c.message : "");
        EXPECT_EQ(requests + (c.message ? 0 : 1), env.companion().Requests().size());
        EXPECT_EQ(c.message ? 0u : 1u, form().ListItemCount(kOrderBookList));
    }
    form().PressEscape();
    EXPECT_EQ(1, window->site().closePosts());
}

TEST_F(OrderBookViewTest, ApplyRequestsRangeStatusAndPartyAndSortsByBidDate) {
    Open();
    auto& a = MakeOrder(1, "P", "2026-12-04 10:00:00");
    auto& b = MakeOrder(2, "A", "2026-12-03 09:00:00");
    auto& c = MakeOrder(3, "X", "05-12-2026 08:00:00");
    form().SelectComboItem(kOrderBookStatus, 1);
    form().PickDate(kOrderBookFromDate, {2026, 12, 1});
    Apply({&a, &b, &c});
    const IPOServiceRequest& sent = LastRequest();
    EXPECT_EQ("2026-12-01|2026-12-05|A|LC1001|LCODE1",
              Fields(sent.OrderBookFromDate, sent.OrderBookToDate, sent.OrderStatus,
                     sent.LoginClientId, sent.LoginClientCode));
    EXPECT_EQ((std::vector<std::string>{"2", "1", "3"}), Column(3));
    EXPECT_EQ((std::vector<std::string>{"CANCELLED", "PENDING", ""}), Column(18));

    form().SelectItems(kOrderBookList, {1});  // order 1
    form().ClickColumn(kOrderBookList, 3);    // the first click sorts descending
    EXPECT_EQ((std::vector<std::string>{"3", "2", "1"}), Column(3));
    EXPECT_EQ(std::vector<size_t>{2}, form().ListSelectedItems(kOrderBookList));  // it follows
    form().ClickColumn(kOrderBookList, 3);
    EXPECT_EQ((std::vector<std::string>{"1", "2", "3"}), Column(3));
    form().ClickColumn(kOrderBookList, 3);
    Apply({&a, &b, &c});  // ordered by bid date in the direction of the last click
    EXPECT_EQ((std::vector<std::string>{"3", "1", "2"}), Column(3));
}

TEST_F(OrderBookViewTest, MenuItemStatesFollowSelectionStatusAndUserType) {
    Open();
    EXPECT_FALSE(RightClick().Find(kCommandSizeToFit)->enabled);  // an empty list
    // A final order (confirmed, cancelled, rejected) can be neither modified nor cancelled.
    const char* codes[] = {"P", "CF", "C", "REJ", "X"};
    const bool open[] = {true, false, false, false, true};
    std::vector<IPOOrderBookEntry*> entries;
    for (int i = 0; i < 5; ++i) {
        entries.push_back(&MakeOrder(i, codes[i], base::Format("2026-12-0%d", i + 1).c_str()));
    }
    Apply(entries);
    for (size_t i = 0; i < 5; ++i) {
        form().SelectItems(kOrderBookList, {i});
        const fw::Menu menu = RightClick();
        EXPECT_EQ(open[i], menu.Find(kCommandModify)->enabled) << codes[i];
        EXPECT_EQ(open[i], menu.Find(kCommandCancel)->enabled) << codes[i];
    }
    form().SelectItems(kOrderBookList, {0, 4});
    EXPECT_FALSE(RightClick().Find(kCommandModify)->enabled);

    RightClick(kCommandGrid);
    EXPECT_TRUE(RightClick(kCommandGrid).Find(kCommandGrid)->checked);
    EXPECT_FALSE(form().control(kOrderBookList).extendedStyle & fw::kListGridLines);
}

TEST_F(OrderBookViewTest, CancelSendsOrderAndBidReferencesAndShowsTheAnswer) {
    Open();
    auto& order = MakeOrder(9001, "P", "2026-12-04 10:00:00");
    auto& longReference = MakeOrder(9002, "P", "2026-12-05 10:00:00");
    bids.back().bidReference = std::string(17, '7');
    Apply({&order, &longReference});
    form().SelectItems(kOrderBookList, {0});
    FakeIPOCancelResponse cancelled;
    env.Answer(kRequestCancelOrder, {nullptr, static_cast<IPOCancelResponse*>(&cancelled)});
    RightClick(kCommandCancel);
    const IPOServiceRequest& sent = LastRequest();
    EXPECT_EQ(std::pair(9001, uint16_t{3}),
              std::pair(sent.CancelOrderNumber, sent.BidReferenceCount));
    EXPECT_EQ("LCODE1|N|B9001|0|0",
              Fields(sent.LoginClientCode, sent.CancelAction, sent.BidReferences[0],
                     sent.BidReferences[1], sent.BidReferences[2]));

    FakeIPOCancelResponse refused;
    refused.outcome = 0, refused.message = "Order already allotted";
    env.Answer(kRequestCancelOrder, {static_cast<IPOCancelResponse*>(&refused)});
    RightClick(kCommandCancel);
    EXPECT_EQ("Order already allotted", env.backend().LastMessage());

    const size_t requests = env.companion().Requests().size();
    form().SelectItems(kOrderBookList, {1});
    RightClick(kCommandCancel);
    EXPECT_EQ("Bid Reference 1 is too long (at most 16 characters)", env.backend().LastMessage());
    EXPECT_EQ(requests, env.companion().Requests().size());
}

TEST_F(OrderBookViewTest, ModifyAsksForTheIssueAndOpensTheBidDialogWithTheOrder) {
    Open();
    auto& order = MakeOrder(9001, "M", "2026-12-04 10:00:00");
    FakeIPOOrderBid& second = bids.emplace_back();
    second.position = 1, second.quantity = 100, second.price = 9600;
    order.bids.Add(static_cast<IPOOrderBid*>(&second));
    Apply({&order});
    FakeIPODetailsEntry details;
    details.priceLow = 95, details.priceHigh = 100;
    env.Answer(kRequestWatchDetails, {static_cast<IPODetailsEntry*>(&details)});
    form().SelectItems(kOrderBookList, {0});
    RightClick(kCommandModify);

    // The issue's details are asked for; the dialog shows the order as the book holds it (the
    // first bid's lots and band are seen in the trader's scenario).
    EXPECT_EQ(std::pair(kRequestWatchDetails, std::string("ACME-IPO")),
              std::pair(LastRequest().RequestCode, base::FieldText(LastRequest().IssueKey)));
    HeadlessForm* bid = env.backend().FindForm("Bid Order-IPO");
    EXPECT_EQ("IND|asha@upi|2|96.00|", bid->GetText(kBidCategory) + "|" + bid->GetText(kBidUPIId) +
                                           "|" + bid->GetText(kBidLot[1]) + "|" +
                                           bid->GetText(kBidPrice[1]) + "|" +
                                           bid->GetText(kBidLot[2]));
}

TEST_F(OrderBookViewTest, ExportAndCopyWriteTheListAsItStands) {
    Open();
    auto& order = MakeOrder(9001, "P", "2026-12-04 10:00:00");
    Apply({&order});
    RightClick(kCommandExportCSV);  // the user cancels the file dialog
    ASSERT_EQ(1u, env.backend().saveFileRequests.size());
    const fw::SaveFileRequest& asked = env.backend().saveFileRequests[0];
    EXPECT_EQ("05122026IPOOrderBook.csv", asked.defaultFileName);
    const char separator = base::kPathSeparator;
    EXPECT_EQ(TestCompanionDirectory() + separator + "Upload" + separator, asked.initialFolder);

    const std::string path = TempPath("book.txt.csv");
    std::ofstream(path) << std::string(1000, 'o');  // an older, longer export is replaced
    env.backend().saveFileAnswer = path;
    RightClick(kCommandExportCSV);
    EXPECT_EQ(Join(kTitles, "\t") + "\r\n" + Join(kOrderCells, "\t") + "\r\n", ReadFile(path));
    view().OnCommand(kCommandCopy);  // the host's copy command: tabs and line feeds
    EXPECT_EQ(Join(kTitles, "\t") + "\n" + Join(kOrderCells, "\t") + "\n", env.backend().clipboard);
    view().WriteOrderBookFile(TempPath("no-such-folder/book.csv"));
    EXPECT_EQ("File could not be open", env.backend().messages.back().text);
}

TEST_F(OrderBookViewTest, UserType24ChoosesTheClientFirstAndExportsNoOrderNumbers) {
    env.answerClientLookup = [](ClientLookupMessage& m) {
        base::CopyField(m.ClientId, "CL42");
        base::CopyField(m.ClientCode, "C42");
    };
    env.backend().modalHandlers.push_back([](HeadlessForm& filter) {
        filter.Type(kFilterClientIdBox, "cl42");
        filter.Click(fw::kIdOk);
    });
    Open(24);  // the filter and its notice to the host: the dealer's scenario
    auto& order = MakeOrder(9001, "P", "2026-12-04 10:00:00");
    Apply({&order});
    EXPECT_EQ("C42|CL42", Fields(LastRequest().ClientCode, LastRequest().ClientId));

    const std::string path = TempPath("book24.csv");
    view().WriteOrderBookFile(path);
    std::vector<std::string> cells = kOrderCells;
    cells[3] = "";
    EXPECT_EQ(Join(kTitles, " ,") + "\r\n" + Join(cells, " ,") + "\r\n", ReadFile(path));
    view().OnCommand(kCommandCopy);
    EXPECT_NE(std::string::npos, env.backend().clipboard.find("\t9001\t"));

    // Change Client cancelled: the chosen client stays.
    RightClick(kCommandChangeClient);
    Apply({});
    EXPECT_EQ("CL42", base::FieldText(LastRequest().ClientId));
}

TEST_F(OrderBookViewTest, UserType24WithoutAClientSendsNothing) {
    Open(24);  // the client filter is cancelled
    Apply({});
    EXPECT_TRUE(env.companion().Requests().empty());
    EXPECT_TRUE(env.backend().messages.empty());
}

}  // namespace
