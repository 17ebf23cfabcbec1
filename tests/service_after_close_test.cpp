// An issue's life after the bid, driven as the payer's UPI app and the operator drive it: the
// mandate answered or expired at the cut-off on the service's fixed clock, the close refusing
// changes, and finalise writing results that verify confirms and a tampered row that it reports.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>

#include "service_test_client.h"

using namespace wire;

namespace {

class AfterCloseTest : public ::testing::Test {
  protected:
    harness::ServiceProcess service;
    ServiceTestClient client{service};
    const std::string closingDay = service.BidEnd("AURORAGREEN").substr(0, 10);

    json Place(const json& order) { return client.Post("/ipo/order", order).Record(); }
    ServiceReply Answer(const json& placed, const char* decision, const char* payer = "INV001") {
        return client.Post("/upi/mandate", {{"user_id", payer},
                                            {"application_number", placed.at("application_number")},
                                            {"decision", decision}});
    }
    // The operator's command with the service's clock fixed at `time` on the closing day.
    int At(const std::string& time, std::vector<std::string> words, std::string* output) {
        words.insert(words.begin(), {"--now", closingDay + " " + time});
        return service.RunCommand(words, output);
    }
    json Booked(const json& header, const json& placed) {
        for (const json& order : client.Book(header)) {
            if (order.at("order_number") == placed.at("order_number")) {
                return order;
            }
        }
        return {};
    }
    // Changes the running service's database as a second writer would.
    int Sql(const std::string& sql) {
        sqlite3* db = nullptr;
        sqlite3_open(service.DbPath().c_str(), &db);
        sqlite3_busy_timeout(db, 5000);
        const int result = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return result;
    }
    static std::string Number(const json& placed) {
        return std::to_string(placed.at("order_number").get<int>());
    }
};

TEST_F(AfterCloseTest, MandatesAreAnsweredByThePayerUntilTheCutOff) {
    const json mine = Place(Order());
    const json theirs = Place(With(Order(), Investor26(94)));
    const json dealt = Place(With(Order(), With(Dealer(94, "CL0001"), {{"upi_id", "a@upibank"}})));
    EXPECT_EQ(Booked(Investor(93), mine).at("payment_status"), "P");

    ServiceReply reply = Answer(mine, "accept");
    EXPECT_EQ(reply.body.at("accepted"), true);
    EXPECT_EQ(reply.Message(), "Mandate of application " +
                                   mine.at("application_number").get<std::string>() +
                                   " for 14700.00 accepted");
    EXPECT_EQ(Booked(Investor(93), mine).at("payment_status"), "e");
    EXPECT_EQ(Answer(mine, "decline").body.at("accepted"), false);
    EXPECT_EQ(Answer(theirs, "decline", "INV026").body.at("payment_status"), "F");
    // Nobody answers another's mandate: not another investor, not the dealer.
    EXPECT_EQ(Answer(dealt, "accept").status, 404);
    reply = Answer(dealt, "accept", "DEALER01");
    EXPECT_EQ(reply.status, 403);
    EXPECT_EQ(reply.Message(), "Only the payer answers a UPI mandate");

    // A modification raises a new mandate for the new amount.
    const json modified = With(Order(), {{"order_flag", "M"},
                                         {"order_number", mine.at("order_number")},
                                         {"application_number", mine.at("application_number")},
                                         {"bids", {Bid("N", 300, 9900)}}});
    ASSERT_EQ(Place(modified).at("status"), 1);
    EXPECT_EQ(Booked(Investor(93), mine).at("payment_status"), "P");

    // At 17:00:00 on the closing day a mandate is still answered; a second later it has expired.
    std::string output;
    EXPECT_EQ(At("17:00:00", {"order", Number(dealt), "mandate", "accept"}, &output), 0) << output;
    EXPECT_EQ(At("17:00:01", {"order", Number(mine), "mandate", "accept"}, &output), 2);
    EXPECT_NE(output.find("The mandate of application " +
                          mine.at("application_number").get<std::string>() + " expired at " +
                          closingDay + " 17:00:00"),
              std::string::npos)
        << output;
    EXPECT_EQ(Booked(Investor(93), mine).at("payment_status"), "F");
    EXPECT_EQ(Booked(Dealer(93, "CL0001"), dealt).at("payment_status"), "e");
}

TEST_F(AfterCloseTest, FinaliseAllotsTheOrdersAndVerifyFindsATamperedRow) {
    // Three valid retail applications for 2, 3 and 1 lots, and one whose mandate expires. Retail
    // gets its lot and the unbid non-institutional lot: a draw picks 2 of the 3 applicants.
    const json mine = Place(Order({{"bids", {Bid("N", 300, 0, "0", true)}}}));
    const json theirs = Place(With(Order({{"bids", {Bid("N", 450, 9900)}}}), Investor26(94)));
    const json asba = Place(With(Order({{"payment_mode", "ASBA"},
                                        {"bank_name", "State Union Bank"},
                                        {"bank_account", "30012245871"}}),
                                 Dealer(94, "CL0001")));
    const json expired = Place(With(Order(), With(Dealer(94, "CL0002"), {{"upi_id", "s@upi"}})));
    ASSERT_EQ(Answer(mine, "accept").status, 200);
    ASSERT_EQ(Answer(theirs, "accept", "INV026").status, 200);
    ASSERT_EQ(asba.at("status"), 1) << asba;
    ASSERT_EQ(service.RunOperator({Number(asba), "confirm"}), 0);
    // The issue closes: no change after it, whoever's clock says otherwise.
    std::string output;
    const std::vector<std::string> split = {"issue",    "split", "AURORAGREEN",
                                            "--retail", "150",   "--non-institutional"};
    std::vector<std::string> tooFew = split;
    tooFew.insert(tooFew.end(), {"20", "--institutional", "100"});
    EXPECT_EQ(service.RunCommand(tooFew, &output), 2);
    EXPECT_NE(output.find("Non-institutional shares 20 are below 15 % of the net issue 270"),
              std::string::npos)
        << output;
    std::vector<std::string> even = split;
    even.push_back("150");
    ASSERT_EQ(service.RunCommand(even, &output), 0) << output;
    // Closed yesterday afternoon: in the past, and before that day's mandate cut-off (17:00)
    // whatever the time of day the test runs at.
    ASSERT_EQ(Sql("UPDATE issues SET bid_end = date('now', 'localtime', '-1 day') || ' 16:00:00' "
                  "WHERE issue_key = 'AURORAGREEN'"),
              SQLITE_OK);
    EXPECT_EQ(Place(Order()).at("message"), "Bidding for AURORAGREEN has closed");
    const json cancel = With(Investor(95), {{"order_number", mine.at("order_number")},
                                            {"action", "N"},
                                            {"bid_references", {"0", "0", "0"}}});
    EXPECT_EQ(client.Post("/ipo/cancel", cancel).Record().at("message"),
              "Bidding for AURORAGREEN has closed");

    const std::string day = service.BidEnd("AURORAGREEN").substr(0, 10);
    const std::vector<std::string> finalise = {"issue", "finalise", "AURORAGREEN",    "--price",
                                               "98",    "--seed",   "2026-12-10 draw"};
    std::vector<std::string> early = {"--now", day + " 17:00:00"};
    early.insert(early.end(), finalise.begin(), finalise.end());
    EXPECT_EQ(service.RunCommand(early, &output), 2);
    EXPECT_NE(output.find("it can be finalised after that"), std::string::npos) << output;
    std::vector<std::string> late = {"--now", day + " 17:00:01"};
    late.insert(late.end(), finalise.begin(), finalise.end());
    ASSERT_EQ(service.RunCommand(late, &output), 0) << output;
    EXPECT_NE(output.find("of the 300 shares offered to bidders, demand first covers them at "
                          "100.00"),
              std::string::npos)
        << output;
    EXPECT_EQ(service.RunCommand(late, &output), 2);  // once only

    int allotted = 0;
    int allottees = 0;
    for (const auto& [header, placed] :
         {std::pair{Investor(93), mine}, {Investor26(93), theirs}, {Dealer(93, "CL0001"), asba}}) {
        const json order = Booked(header, placed);
        const int shares = order.at("allotted_quantity");
        EXPECT_TRUE(shares == 0 || shares == 150) << shares;
        EXPECT_EQ(order.at("refund_paise"), order.at("total_paise").get<int>() - shares * 9800);
        EXPECT_EQ(order.at("payment_status"), "e");
        allotted += shares;
        allottees += shares > 0;
    }
    EXPECT_EQ(allotted, 300);
    EXPECT_EQ(allottees, 2);
    const json lapsed = Booked(Dealer(93, "CL0002"), expired);
    EXPECT_EQ(lapsed.at("payment_status"), "F");
    EXPECT_EQ(lapsed.at("refund_paise"), 0);
    EXPECT_EQ(lapsed.at("rejection_reason"), "Mandate not accepted or funds not blocked");

    const std::string csv = service.Folder() + "/basis.csv";
    ASSERT_EQ(service.RunCommand({"allotment", "report", "AURORAGREEN", "--output", csv}, &output),
              0);
    std::ifstream file(csv);
    const std::string written(std::istreambuf_iterator<char>(file), {});
    EXPECT_EQ(output, written);
    EXPECT_NE(written.find("Retail individual,Total,3,100.00,900,100.00,,2:3,300"),
              std::string::npos)
        << written;

    const std::vector<std::string> verify = {"allotment", "verify", "AURORAGREEN", "--seed",
                                             "2026-12-10 draw"};
    EXPECT_EQ(service.RunCommand(verify, &output), 0) << output;
    ASSERT_EQ(Sql("UPDATE orders SET allotted_quantity = 450, refund = 0 WHERE order_number = " +
                  Number(theirs)),
              SQLITE_OK);
    EXPECT_EQ(service.RunCommand(verify, &output), 1);
    EXPECT_NE(output.find("application " + theirs.at("application_number").get<std::string>() +
                          ": stored 450 shares, refund 0.00; recomputed "),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("1 of 4 applications differ"), std::string::npos) << output;
}

}  // namespace
