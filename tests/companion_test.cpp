// The companion library as the plug-in uses it: request records in, answer records out through
// the data callback, against a real ipo-service and against a scripted HTTP server.
#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "base/text.h"
#include "companion/answer_decoder.h"
#include "service_harness.h"

namespace {

using harness::Elements;
using harness::NewRequest;

const char kNoRecords[] = R"({"result":0,"records":[]})";

// An HTTP server that answers every POST with `status` and `body` after `delayMs`; or, when
// `endless` is set, with a body that never ends: `endless` every `delayMs` under the
// Content-Length `announced` (none when empty), until the peer goes away.
class ScriptedServer {
  public:
    explicit ScriptedServer(std::string body = kNoRecords, std::string endless = "",
                            int delayMs = 0, std::string announced = "")
        : body(std::move(body)),
          endless_(std::move(endless)),
          announced_(std::move(announced)),
          delayMs_(delayMs) {
        server_.set_keep_alive_timeout(1);  // the companion keeps its connection open
        server_.Post(".*", [this](const httplib::Request& request, httplib::Response& response) {
            {
                std::lock_guard<std::mutex> lock(seenMutex);
                seen = request.method + " " + request.target + "\n" +
                       request.get_header_value("Authorization") + "\n" + request.body;
                ports.push_back(request.remote_port);
            }
            ++hits;
            if (!endless_.empty()) {
                response.set_content_provider("application/json", [this](size_t, auto& sink) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs_));
                    return !stopping_ && sink.write(endless_.data(), endless_.size());
                });
                if (!announced_.empty()) {
                    response.set_header("Content-Length", announced_);
                }
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs_));
            response.status = status;
            response.set_content(this->body, "application/json");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }
    ~ScriptedServer() {
        stopping_ = true;
        server_.stop();
        thread_.join();
    }
    std::string Url() const { return base::Format("http://127.0.0.1:%d/ipo/watchlist", port_); }

    std::string body;
    std::atomic<int> status{200};
    std::atomic<int> hits{0};
    // The last request: its line, Authorization header and body.
    std::mutex seenMutex;
    std::string seen;
    std::vector<int> ports;  // the client port of each request: one per connection

  private:
    const std::string endless_;
    const std::string announced_;
    const int delayMs_;
    std::atomic<bool> stopping_{false};
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
};

class CompanionTest : public ::testing::Test {
  protected:
    harness::Companion companion;
    int called = -1;  // what the last Watch call returned

    IPOServiceRequest Investor(uint16_t code, const std::string& url) {
        return NewRequest(code, url, 23, "INV001", "INV001", "I001");
    }
    // The current issues' watch list asked of `url`.
    IPOServiceRequest Watch(const std::string& url) {
        IPOServiceRequest request = Investor(91, url);
        base::CopyField(request.Section, "C");
        base::CopyField(request.Product, "IPO");
        called = companion.Call(request);
        return request;
    }
    // A new RETAIL order of INV001 on AURORAGREEN at `price` for 150 shares, paid by UPI.
    IPOServiceRequest Order(const std::string& url, double price) {
        IPOServiceRequest request = Investor(kRequestPlaceOrder, url);
        harness::MakeRetailUpiOrder(request, "rohan.desai@upibank", 150, price);
        return request;
    }
    // Initializes the companion again with the environment variable `name` set (unset: null).
    void Configure(const char* name, const char* value) {
        value ? setenv(name, value, 1) : unsetenv(name);
        companion.Initialize();
    }
    static std::string Message(const IPOServiceRequest& request) {
        return base::FieldText(request.Message);
    }
};

TEST_F(CompanionTest, ReadAnswersArriveAsRecordsWithPricesInRupees) {
    harness::ServiceProcess service;
    IPOServiceRequest watch = Watch(service.Url("/ipo/watchlist"));
    EXPECT_EQ(called, 1);
    EXPECT_EQ(watch.Accepted, 1);
    EXPECT_EQ(watch.ResultCode, 0);
    EXPECT_EQ(Message(watch), "");
    ASSERT_EQ(companion.Records().size(), 4u);
    IPOWatchEntry* rail = nullptr;
    for (void* record : companion.Records()) {
        auto* entry = static_cast<IPOWatchEntry*>(record);
        rail = std::strcmp(entry->IssueKey(), "BHARATRAIL") == 0 ? entry : rail;
    }
    ASSERT_NE(rail, nullptr);
    EXPECT_STREQ(rail->IPOName(), "Bharat Rail Systems Ltd");
    EXPECT_STREQ(rail->Reserved3(), "BRS");
    EXPECT_DOUBLE_EQ(rail->PriceLow(), 285.0);
    EXPECT_DOUBLE_EQ(rail->PriceHigh(), 300.0);
    EXPECT_EQ(std::strlen(rail->BidStartDate()), 10u);
    EXPECT_EQ(std::strlen(rail->BidEndDate()), 10u);
    EXPECT_EQ(rail->IssueSize(), 45'000'000'000);
    EXPECT_DOUBLE_EQ(rail->FaceValue(), 2.0);
    EXPECT_EQ(rail->MinimumOrderQuantity(), 50);
    EXPECT_EQ(rail->LotSize(), 50);
    EXPECT_STREQ(rail->IssueType(), "BOOK BUILT");
    EXPECT_EQ(companion.Deliver(kRequestPlaceOrder), 0);  // records answer only their own code
    EXPECT_TRUE(companion.Records().empty());
    EXPECT_EQ(companion.Deliver(kRequestWatchList), 4);

    IPOServiceRequest request = Investor(92, service.Url("/ipo/details"));
    base::CopyField(request.IssueKey, "AURORAGREEN");
    companion.Call(request);
    auto* details = companion.First<IPODetailsEntry>();
    ASSERT_NE(details, nullptr);
    EXPECT_STREQ(details->IssueIdentifier(), "AURORAGREEN");
    EXPECT_STREQ(details->IssueTag(), "AGE");
    EXPECT_EQ(details->LotSize(), 150);
    EXPECT_EQ(details->MinimumBidQuantity(), 150);
    EXPECT_EQ(std::string(details->BidStartTime()).substr(10), " 10:00:00");
    EXPECT_STREQ(details->Registrar(), "Meridian Registry Services");
    EXPECT_STREQ(details->ProspectusLink(), "https://ipo.example.com/prospectus/AURORAGREEN.pdf");
    EXPECT_STREQ(details->Reserved22(), "");
    const PtrList* list = details->Categories();
    ASSERT_EQ(list->Count, 4);
    EXPECT_EQ(list->Tail->Previous->Next, list->Tail);
    const std::vector<void*> categories = Elements(list);
    auto* employee = static_cast<CategoryRecord*>(categories[2]);
    EXPECT_STREQ(employee->Code(), "EMPLOYEE");
    EXPECT_STREQ(employee->DisplayName(), "Employee Reservation");
    EXPECT_DOUBLE_EQ(employee->MinimumPrice(), 90.0);
    EXPECT_DOUBLE_EQ(employee->MaximumPrice(), 95.0);
    EXPECT_EQ(employee->Integer10(), 1);  // cut-off allowed
    EXPECT_EQ(static_cast<CategoryRecord*>(categories[1])->Integer10(), 0);
    EXPECT_STREQ(employee->Text5(), "");

    IPOServiceRequest user = NewRequest(96, service.Url("/ipo/userdetails", "DEALER01"), 24,
                                        "DEALER01", "CL0002", "C0002");
    base::CopyField(user.DetailsWanted, "Y");
    companion.Call(user);
    auto* account = companion.First<UserDetailsRecord>();
    ASSERT_NE(account, nullptr);
    EXPECT_STREQ(account->Text1(), "sunita.rao@upibank");
    const std::vector<void*> accounts = Elements(account->BankAccounts());
    ASSERT_EQ(accounts.size(), 2u);
    auto* coastal = static_cast<BankAccountRecord*>(accounts[1]);
    EXPECT_STREQ(coastal->BankName(), "Coastal Co-op Bank");
    EXPECT_STREQ(coastal->AccountNumber(), "0045120003318");
    EXPECT_EQ(coastal->AsbaAllowed(), 0);
    EXPECT_EQ(static_cast<BankAccountRecord*>(accounts[0])->AsbaAllowed(), 1);
    auto* references = static_cast<UserReferenceRecord*>(Elements(account->References()).at(0));
    EXPECT_STREQ(references->Reference1(), "BQRPR7713L");
    EXPECT_STREQ(references->Reference2(), "DP1203300000410022");
}

// Prices go out in hundredths exactly (98.45 is not 98.44), amounts come back in hundredths of
// a rupee, the refund in rupees; a rule break arrives as a rejected record.
TEST_F(CompanionTest, OrderPlacedListedAllottedAndRefusedThroughRecords) {
    harness::ServiceProcess service;
    IPOServiceRequest order = Order(service.Url("/ipo/order"), 98.45);
    order.Bids[0].Quantity = 600;
    companion.Call(order);
    auto* response = companion.First<OrderResponseRecord>();
    ASSERT_NE(response, nullptr);
    ASSERT_EQ(response->Status(), 1) << response->Message();
    const std::string application = response->Reserved3();
    EXPECT_EQ(application, "AGE0000000001");
    EXPECT_STREQ(response->Reserved4(), "1");
    auto* detail = static_cast<OrderResponseDetail*>(Elements(response->Details()).at(0));
    EXPECT_EQ(detail->Status(), 1);
    EXPECT_STREQ(detail->Text(), "Bid 1 accepted");

    ASSERT_EQ(service.RunOperator({"1", "confirm"}), 0);
    ASSERT_EQ(service.RunOperator({"1", "allot", "150"}), 0);
    IPOServiceRequest book = Investor(93, service.Url("/ipo/orderbook"));
    base::CopyField(book.OrderStatus, "-1");
    companion.Call(book);
    auto* entry = companion.First<IPOOrderBookEntry>();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->OrderNumber(), 1);
    EXPECT_EQ(entry->ApplicationNumber(), application);
    EXPECT_STREQ(entry->StatusCode(), "CF");
    EXPECT_STREQ(entry->PaymentStatusCode(), "P");
    EXPECT_STREQ(entry->IssueKey(), "AURORAGREEN");
    EXPECT_STREQ(entry->ClientName(), "Rohan Desai");
    EXPECT_DOUBLE_EQ(entry->TotalAmountPayable(), 600 * 9845.0);
    EXPECT_EQ(entry->LotSize(), 150);
    EXPECT_EQ(entry->AllocatedQuantity(), 150);
    EXPECT_DOUBLE_EQ(entry->RefundAmount(), (600 * 9845 - 150 * 10000) / 100.0);
    auto* bid = static_cast<IPOOrderBid*>(Elements(entry->Bids()).at(0));
    EXPECT_DOUBLE_EQ(bid->Price(), 9845.0);
    EXPECT_DOUBLE_EQ(bid->AmountPayable(), 600 * 9845.0);
    EXPECT_EQ(bid->Quantity(), 600);
    EXPECT_EQ(bid->Position(), 0);
    EXPECT_EQ(bid->CutOff(), 0);

    IPOServiceRequest cancel = Investor(95, service.Url("/ipo/cancel"));
    cancel.CancelOrderNumber = 1;
    base::CopyField(cancel.CancelAction, "N");
    for (auto& reference : cancel.BidReferences) {
        base::CopyField(reference, "0");
    }
    companion.Call(cancel);
    auto* refused = companion.First<IPOCancelResponse>();
    ASSERT_NE(refused, nullptr);
    EXPECT_EQ(refused->Outcome(), 0);
    EXPECT_STREQ(refused->Message(), "Only pending or modified orders can be cancelled");

    IPOServiceRequest outside = Order(service.Url("/ipo/order"), 101.0);
    EXPECT_EQ(companion.Call(outside), 1);
    response = companion.First<OrderResponseRecord>();
    EXPECT_EQ(response->Status(), 0);
    EXPECT_STREQ(response->Message(), "Bid 1 price 101.00 is outside the price band 95.00-100.00");
    EXPECT_EQ(response->Details()->Count, 0);
    EXPECT_STREQ(response->Reserved3(), "");
}

TEST_F(CompanionTest, UnreachableOrSilentServiceGivesNull) {
    int closedPort;
    {
        harness::ServiceProcess service;
        closedPort = service.Port();
    }
    IPOServiceRequest request =
        Watch(base::Format("http://127.0.0.1:%d/ipo/watchlist", closedPort));
    EXPECT_EQ(called, 0);
    EXPECT_EQ(Message(request), "null");
    EXPECT_GT(request.ResultCode, 0);
    EXPECT_EQ(request.Accepted, 0);

    ScriptedServer silent(kNoRecords, "", 1500);
    Configure("CORVEX_TIMEOUT_MS", "200");
    IPOServiceRequest slow = Watch(silent.Url());
    Configure("CORVEX_TIMEOUT_MS", nullptr);
    EXPECT_EQ(Message(slow), "null");
    EXPECT_EQ(slow.ResultCode, 1);
}

TEST_F(CompanionTest, AnswersThatCannotBeReadOrAreRefusedGiveAClearMessage) {
    ScriptedServer server;
    const std::string entry =
        R"({"issue_key":"K","name":"N","issue_tag":"T","price_low_paise":1,)"
        R"("price_high_paise":2,"bid_start":"","bid_end":"","issue_size":3,)"
        R"("face_value_paise":4,"min_quantity":5,"lot_size":"150","issue_type":""})";
    const std::string unreadable = "The IPO service sent an answer that cannot be read: field ";
    std::string longText;  // cut at a character boundary: 2,047 characters of two bytes
    for (int i = 0; i < 2500; ++i) {
        longText += "\xC3\xA9";
    }
    const std::tuple<int, std::string, int, std::string> cases[] = {
        {200, "<html>busy</html>", 3,
         "The IPO service answered with something that is not a JSON object (HTTP status 200)"},
        {200, R"({"result":0,"records":[{"issue_key":"X"}]})", 3,
         unreadable + "records[0].name is missing"},
        {200, R"({"result":0})", 3, unreadable + "records is missing"},
        {200, R"({"result":0,"records":[)" + entry + "]}", 3,
         unreadable + "records[0].lot_size is not a whole number"},
        {503, R"({"result":0,"message":"Down for maintenance"})", 2, "Down for maintenance"},
        {403, R"({"result":11,"message":"Not yours"})", 11, "Not yours"},
        {500, R"({"result":20})", 20, "The IPO service refused the request (HTTP status 500)"},
        {400, R"({"result":10,"message":")" + longText + "\"}", 10, longText.substr(0, 4094)},
    };
    for (const auto& [status, body, resultCode, message] : cases) {
        server.status = status;
        server.body = body;
        IPOServiceRequest request = Investor(91, server.Url());
        std::memset(request.Message, 'x', sizeof request.Message);
        base::CopyField(request.Section, "C");
        EXPECT_EQ(companion.Call(request), 0) << body;
        EXPECT_EQ(request.Accepted, 0) << body;
        EXPECT_EQ(request.ResultCode, resultCode) << body;
        EXPECT_EQ(Message(request), message);
        EXPECT_EQ(request.Message[4095], '\0');
        EXPECT_EQ(companion.Deliver(kRequestWatchList), 0);
    }
}

TEST_F(CompanionTest, RecordsThatCannotBeSentFaithfullyAreRefusedUnsent) {
    ScriptedServer server;
    const auto refusal = [&](IPOServiceRequest request) {
        companion.Call(request);
        EXPECT_EQ(request.ResultCode, 4);
        EXPECT_EQ(request.Accepted, 0);
        return Message(request);
    };
    IPOServiceRequest latin1 = Investor(91, server.Url());
    base::CopyField(latin1.UserId, "Jos\xE9");
    EXPECT_EQ(refusal(latin1), "The user id is not valid UTF-8 text");
    EXPECT_EQ(refusal(Order(server.Url(), 100.005)),
              "Bid 1 price 100.005 has more than two decimals");
    EXPECT_EQ(refusal(Investor(97, server.Url())), "Request code 97 is not an IPO request");
    // Messages about a URL never show its token.
    EXPECT_EQ(refusal(Investor(91, "ftp://Tok3n@127.0.0.1/ipo")),
              "The service URL \"ftp://127.0.0.1/ipo\" is not an http or https URL");
    const std::string url = server.Url();
    EXPECT_EQ(refusal(Investor(91, "http://Tok 3n@" + url.substr(7))),
              "The service URL \"" + url + "\" carries a session token that is not valid");
    EXPECT_EQ(server.hits, 0);

    IPOServiceRequest fine = Order(server.Url(), 101.75);
    companion.Call(fine);
    EXPECT_EQ(fine.ResultCode, 0);
    EXPECT_EQ(server.hits, 1);
}

TEST_F(CompanionTest, AnEndlessAnswerEndsAtTheCallsDeadlineOrSizeCap) {
    // A byte now and then: no single read waits long, only the deadline ends the call.
    ScriptedServer trickle("", " ", 50);
    Configure("CORVEX_TIMEOUT_MS", "400");
    const auto start = std::chrono::steady_clock::now();
    IPOServiceRequest slow = Watch(trickle.Url());
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    Configure("CORVEX_TIMEOUT_MS", nullptr);
    std::printf("a trickling answer ended after %.0f ms (deadline 400 ms)\n", ms);
    EXPECT_EQ(called, 0);
    EXPECT_EQ(slow.ResultCode, 1);
    EXPECT_EQ(Message(slow), "null");
    EXPECT_GE(ms, 390);
    EXPECT_LT(ms, 1400);

    // A flood: the cap ends it, whether announced or not.
    Configure("CORVEX_ANSWER_MAX_BYTES", "100000");
    for (const char* announced : {"", "1000000000"}) {
        ScriptedServer flood("", std::string(16384, ' '), 0, announced);
        IPOServiceRequest big = Watch(flood.Url());
        EXPECT_EQ(called, 0);
        EXPECT_EQ(big.ResultCode, 3);
        EXPECT_EQ(Message(big),
                  "The IPO service's answer is larger than 100000 bytes (answer_max_bytes in "
                  "Corvexdll64.conf)");
    }
    Configure("CORVEX_ANSWER_MAX_BYTES", nullptr);

    // The next call on the same library is answered as usual.
    harness::ServiceProcess service;
    Watch(service.Url("/ipo/watchlist"));
    EXPECT_EQ(called, 1);
    EXPECT_EQ(companion.Records().size(), 4u);
}

// The URL's token travels only as a bearer header. Calls in quick succession share a
// connection; after an idle pause a new one is made, and a service that closed the kept
// connection answers a trader coming back.
TEST_F(CompanionTest, TheTokenTravelsAsABearerOnAConnectionKeptWhileInUse) {
    Configure("CORVEX_IDLE_MS", "300");
    {
        ScriptedServer server;
        const std::string signedUrl = "http://Tok3n-_x@" + server.Url().substr(7);
        Watch(signedUrl);
        Watch(signedUrl);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        Watch(signedUrl);
        EXPECT_EQ(called, 1);
        std::lock_guard<std::mutex> lock(server.seenMutex);
        EXPECT_EQ(server.seen.substr(0, server.seen.find('{')),
                  "POST /ipo/watchlist\nBearer Tok3n-_x\n");
        EXPECT_EQ(server.seen.find("Tok3n", server.seen.find('{')), std::string::npos);
        ASSERT_EQ(server.ports.size(), 3u);
        EXPECT_EQ(server.ports[0], server.ports[1]);
        EXPECT_NE(server.ports[1], server.ports[2]);
    }

    harness::ServiceProcess service({"--idle-timeout", "1"});
    IPOServiceRequest first = Watch(service.Url("/ipo/watchlist"));
    EXPECT_EQ(called, 1) << Message(first);
    std::this_thread::sleep_for(std::chrono::milliseconds(1600));
    IPOServiceRequest later = Watch(service.Url("/ipo/watchlist"));
    EXPECT_EQ(called, 1) << Message(later);
    Configure("CORVEX_IDLE_MS", nullptr);
}

TEST_F(CompanionTest, HttpsServicesAreTrustedOnlyThroughTheConfiguredAuthorities) {
    // A self-signed certificate for 127.0.0.1, made for this test.
    char folder[] = "/tmp/ipo-tls-test-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string cert = std::string(folder) + "/cert.pem";
    const std::string key = std::string(folder) + "/key.pem";
    const std::string make =
        "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 "
        "-subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 -keyout " +
        key + " -out " + cert + " 2>/dev/null";
    ASSERT_EQ(std::system(make.c_str()), 0);

    harness::ServiceProcess service({"--tls-cert", cert, "--tls-key", key});
    std::string error;
    const std::string token =
        harness::SignIn(service.Port(), "INV001", harness::SeededPassword("INV001"), &error, cert);
    ASSERT_FALSE(token.empty()) << error;
    const auto url = [&](const char* scheme) {
        return base::Format("%s://%s@127.0.0.1:%d/ipo/watchlist", scheme, token.c_str(),
                            service.Port());
    };
    Configure("CORVEX_CA_FILE", cert.c_str());
    IPOServiceRequest trusted = Watch(url("https"));
    EXPECT_EQ(called, 1) << Message(trusted);
    EXPECT_EQ(companion.Records().size(), 4u);

    Configure("CORVEX_CA_FILE", nullptr);
    IPOServiceRequest untrusted = Watch(url("https"));
    EXPECT_EQ(called, 0);
    EXPECT_EQ(untrusted.ResultCode, 6);
    EXPECT_EQ(Message(untrusted),
              base::Format("The IPO service at https://127.0.0.1:%d cannot be trusted: its "
                           "certificate is not signed by an authority in the system's store "
                           "(ca_file in Corvexdll64.conf), or is not for this host",
                           service.Port()));
    // Plain http to an https service gets no answer.
    EXPECT_EQ(Watch(url("http")).ResultCode, 1);
    EXPECT_EQ(called, 0);
    std::filesystem::remove_all(folder);
}

}  // namespace

// An answer read in place (a text with room after its end, as the network leaves it) decodes as
// the same answer copied first, and what lies after its end is never read as part of it.
TEST(CompanionDecoding, ReadsAnAnswerInPlaceAsFromACopy) {
    const std::string order =
        R"({"allotted_quantity":0,"application_number":"A1","bank_account":"","bank_name":"",)"
        R"("bid_date":"2026-01-02 10:00:00","bids":[{"amount_paise":1500000,"cut_off":false,)"
        R"("position":0,"price_paise":10000,"quantity":150,"reference":"R1"}],)"
        R"("category":"RETAIL","client_name":"Rohan","issue_key":"K",)"
        R"("last_modified":"2026-01-02 10:00:00","lot_size":150,"offer_name":"Name",)"
        R"("offer_type":"IPO","order_number":7,"payment_mode":"UPI","payment_status":"P",)"
        R"("refund_paise":250,"rejection_reason":"","status":"P","total_paise":1500000,)"
        R"("upi_id":"u@upi","user_ref1":"","user_ref2":""})";
    const std::string text =
        R"({"accepted":true,"message":"","records":[)" + order + "," + order + R"(],"result":0})";
    const auto inPlace = [](const std::string& body) {
        std::string roomy;
        roomy.reserve(body.size() + 256);
        roomy.append(body).append("} and bytes that are no JSON");
        roomy.resize(body.size());
        EXPECT_GE(roomy.capacity() - roomy.size(), 64u);
        return corvex::DecodeAnswer(93, 200, roomy);
    };
    const corvex::Outcome copied = corvex::DecodeAnswer(93, 200, std::string_view(text));
    const corvex::Outcome read = inPlace(text);
    ASSERT_TRUE(copied.answer);
    ASSERT_TRUE(read.answer);
    const std::vector<void*> records = harness::Elements(&read.answer->List());
    ASSERT_EQ(2u, records.size());
    ASSERT_EQ(2, copied.answer->List().Count);
    for (void* record : records) {
        auto* entry = static_cast<IPOOrderBookEntry*>(record);
        EXPECT_EQ(7, entry->OrderNumber());
        EXPECT_STREQ("2026-01-02 10:00:00", entry->BidDate());
        EXPECT_STREQ("Rohan", entry->ClientName());
        EXPECT_EQ(2.5, entry->RefundAmount());
        const std::vector<void*> bids = harness::Elements(entry->Bids());
        ASSERT_EQ(1u, bids.size());
        EXPECT_STREQ("R1", static_cast<IPOOrderBid*>(bids[0])->BidReference());
    }

    // Cut short of its last brace, it fails alike both ways: the brace after its end is not read.
    const std::string cut = text.substr(0, text.size() - 1);
    const corvex::Outcome cutCopied = corvex::DecodeAnswer(93, 200, std::string_view(cut));
    const corvex::Outcome cutRead = inPlace(cut);
    EXPECT_FALSE(cutRead.answer);
    EXPECT_EQ(corvex::kInvalidAnswer, cutRead.resultCode);
    EXPECT_EQ(cutCopied.message, cutRead.message);
}
