// The companion library against a real ipo-service on loopback, as the plug-in uses it: request
// records in, answer records out through the data callback. The same cases run on Linux and,
// from Wine, on Windows against a native service.
#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

#include "base/text.h"
#include "companion/answer_decoder.h"
#include "companion_fixture.h"
#include "host/sign_in.h"
#include "service_harness.h"

namespace {

using namespace companion_test;

// The watch list's fields the views do not show, prices in rupees (the details and the user's
// accounts are read through the views in the scenarios); an order placed, allotted and refused.
TEST_F(CompanionTest, AnswersArriveAsRecordsWithPricesInRupees) {
    harness::ServiceProcess service;
    IPOServiceRequest watch = Watch(service.Url("/ipo/watchlist"));
    EXPECT_EQ(Fields(called, watch.Accepted, watch.ResultCode, Message(watch).c_str()), "1|1|0||");
    ASSERT_EQ(companion.Records().size(), 4u);
    IPOWatchEntry* rail = nullptr;
    for (void* record : companion.Records()) {
        auto* entry = static_cast<IPOWatchEntry*>(record);
        rail = std::strcmp(entry->IssueKey(), "BHARATRAIL") == 0 ? entry : rail;
    }
    ASSERT_NE(rail, nullptr);
    EXPECT_EQ(Fields(rail->Reserved3(), rail->PriceLow(), rail->PriceHigh(),
                     std::strlen(rail->BidStartDate()), std::strlen(rail->BidEndDate()),
                     rail->IssueSize(), rail->FaceValue(), rail->MinimumOrderQuantity(),
                     rail->LotSize(), rail->IssueType()),
              "BRS|285|300|10|10|45000000000|2|50|50|BOOK BUILT|");
    EXPECT_EQ(companion.Deliver(kRequestPlaceOrder), 0);  // records answer only their own code
    EXPECT_TRUE(companion.Records().empty());
    EXPECT_EQ(companion.Deliver(kRequestWatchList), 4);

    // Each category's band in rupees and whether it allows cut-off.
    IPOServiceRequest details = Investor(92, service.Url("/ipo/details"));
    base::CopyField(details.IssueKey, "AURORAGREEN");
    companion.Call(details);
    auto* issue = companion.First<IPODetailsEntry>();
    ASSERT_NE(issue, nullptr);
    std::string bands;
    for (int i = 0; i < issue->Categories()->Count; ++i) {
        auto* category = At<CategoryRecord>(issue->Categories(), i);
        bands += Fields(category->Code(), category->MinimumPrice(), category->MaximumPrice(),
                        category->Integer10());
    }
    EXPECT_EQ(bands, "RETAIL|95|100|1|HNI|95|100|0|EMPLOYEE|90|95|1|SHAREHOLDER|95|100|0|");

    // Prices go out in hundredths exactly (98.45 is not 98.44), amounts come back in hundredths
    // of a rupee, the refund in rupees; a rule break arrives as a rejected record.
    IPOServiceRequest order = Order(service.Url("/ipo/order"), 98.45);
    order.Bids[0].Quantity = 600;
    companion.Call(order);
    auto* response = companion.First<OrderResponseRecord>();
    ASSERT_NE(response, nullptr);
    ASSERT_EQ(response->Status(), 1) << response->Message();
    auto* detail = At<OrderResponseDetail>(response->Details(), 0);
    EXPECT_EQ(
        Fields(response->Reserved3(), response->Reserved4(), detail->Status(), detail->Text()),
        "AGE0000000001|1|1|Bid 1 accepted|");

    ASSERT_EQ(service.RunOperator({"1", "confirm"}), 0);
    ASSERT_EQ(service.RunOperator({"1", "allot", "150"}), 0);
    IPOServiceRequest book = Investor(93, service.Url("/ipo/orderbook"));
    base::CopyField(book.OrderStatus, "-1");
    companion.Call(book);
    auto* entry = companion.First<IPOOrderBookEntry>();
    ASSERT_NE(entry, nullptr);
    auto* bid = At<IPOOrderBid>(entry->Bids(), 0);
    EXPECT_EQ(Fields(entry->OrderNumber(), entry->ApplicationNumber(), entry->StatusCode(),
                     entry->PaymentStatusCode(), entry->IssueKey(), entry->LotSize(),
                     entry->AllocatedQuantity(), entry->RefundAmount(), bid->Price(),
                     bid->AmountPayable(), bid->Quantity(), bid->Position(), bid->CutOff()),
              "1|AGE0000000001|CF|P|AURORAGREEN|150|150|44070|9845|5907000|600|0|0|");

    IPOServiceRequest outside = Order(service.Url("/ipo/order"), 101.0);
    EXPECT_EQ(companion.Call(outside), 1);
    response = companion.First<OrderResponseRecord>();
    EXPECT_EQ(Fields(response->Status(), response->Message(), response->Details()->Count,
                     response->Reserved3()),
              "0|Bid 1 price 101.00 is outside the price band 95.00-100.00|0||");
}

// An https service is used only when its certificate is signed by the CA file's authority (or
// the system's, which know none of the test's): a service signed by another gets nothing at all.
TEST_F(CompanionTest, HttpsServicesAreTrustedOnlyThroughTheConfiguredAuthorities) {
    harness::Certificate certificate, other;
    const std::string log = certificate.folder + "/access.log";
    harness::ServiceProcess service(
        {"--tls-cert", certificate.cert, "--tls-key", certificate.key, "--log", log});
    std::string error;
    const auto session = SignIn({"https", "localhost", service.Port(), certificate.cert}, "INV001",
                                harness::SeededPassword("INV001"), error);
    ASSERT_TRUE(session) << error;
    const std::string url = base::Format("https://%s@localhost:%d/ipo/watchlist",
                                         session->token.c_str(), service.Port());
    Configure("CORVEX_CA_FILE", certificate.cert.c_str());
    IPOServiceRequest trusted = Watch(url);
    EXPECT_EQ(called, 1) << Message(trusted);
    EXPECT_EQ(companion.Records().size(), 4u);

    const std::string origin = base::Format("https://localhost:%d", service.Port());
    const std::string refused = "The IPO service at " + origin +
                                " cannot be trusted: its certificate is not signed by an "
                                "authority in ";
    Configure("CORVEX_CA_FILE", other.cert.c_str());
    IPOServiceRequest wrong = Watch(url);
    EXPECT_EQ(Fields(called, wrong.ResultCode), "0|6|");
    EXPECT_EQ(Message(wrong),
              refused + other.cert + " (ca_file in Corvexdll64.conf), or is not for this host");

    Configure("CORVEX_CA_FILE", nullptr);
    IPOServiceRequest untrusted = Watch(url);
    EXPECT_EQ(Fields(called, untrusted.ResultCode), "0|6|");
    EXPECT_EQ(Message(untrusted), refused +
                                      "the system's store (ca_file in Corvexdll64.conf), or is "
                                      "not for this host");
    service.Stop();
    std::ifstream file(log);
    const std::string said{std::istreambuf_iterator<char>(file), {}};
    const std::string taken = "POST /ipo/watchlist status=200";  // the trusted call alone
    const size_t first = said.find(taken);
    EXPECT_NE(std::string::npos, first) << said;
    EXPECT_EQ(std::string::npos, said.find("/ipo/watchlist", first + taken.size())) << said;
}

// A server on a free loopback port whose `Serve` runs on a thread of its own from the start.
class LoopbackServer {
  public:
    LoopbackServer() {
#ifdef _WIN32
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
#endif
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        bind(listener_, reinterpret_cast<sockaddr*>(&address), size);
        listen(listener_, 4);
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
    }
    virtual ~LoopbackServer() {
        Join();
        Close(listener_);
    }
    std::string Url() const {
        return base::Format("http://127.0.0.1:%d/ipo/watchlist", port_);
    }

  protected:
#ifdef _WIN32
    using Socket = SOCKET;
    static constexpr int kQuiet = 0;
    static void Close(Socket socket) {
        closesocket(socket);
    }
#else
    using Socket = int;
    static constexpr int kQuiet = MSG_NOSIGNAL;  // a client gone away raises no SIGPIPE
    static void Close(Socket socket) {
        close(socket);
    }
#endif
    // Called by the derived server's constructor, once it is whole.
    void Start() {
        thread_ = std::thread([this] { Serve(); });
    }
    void Join() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    virtual void Serve() = 0;

    Socket listener_;

  private:
    int port_ = 0;
    std::thread thread_;
};

// A loopback server for one connection: it reads the request and answers with a head, then a
// byte every `everyMs` (no single read waits long), until the client goes away or ten seconds
// have passed.
class TricklingServer : public LoopbackServer {
  public:
    explicit TricklingServer(int everyMs) : everyMs_(everyMs) { Start(); }
    ~TricklingServer() override { Join(); }

  private:
    void Serve() override {
        const Socket client = accept(listener_, nullptr, nullptr);
        char request[4096];
        recv(client, request, sizeof request, 0);
        const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 1000000\r\n\r\n";
        bool open = send(client, head.data(), static_cast<int>(head.size()), kQuiet) > 0;
        for (int sent = 0; open && sent * everyMs_ < 10'000; ++sent) {
            std::this_thread::sleep_for(std::chrono::milliseconds(everyMs_));
            open = send(client, " ", 1, kQuiet) == 1;
        }
        Close(client);
    }

    int everyMs_;
};

// A loopback server that answers the first request on a kept-alive connection, reads the second
// and closes the connection without answering it, then counts the requests of any connection
// that follows within a second.
class DroppingServer : public LoopbackServer {
  public:
    DroppingServer() { Start(); }
    ~DroppingServer() override { Join(); }
    // Waits for the server to finish; the requests it was sent.
    int Requests() {
        Join();
        return requests_;
    }

  private:
    // Reads one request, head and announced body; false when the client closed first.
    bool ReadRequest(Socket connection) {
        std::string text;
        char buffer[4096];
        for (;;) {
            const size_t head = text.find("\r\n\r\n");
            const size_t length = text.find("Content-Length: ");
            if (head != std::string::npos && length != std::string::npos &&
                text.size() >= head + 4 + std::stoul(text.substr(length + 16))) {
                ++requests_;
                return true;
            }
            const int n = recv(connection, buffer, sizeof buffer, 0);
            if (n <= 0) {
                return false;
            }
            text.append(buffer, static_cast<size_t>(n));
        }
    }
    void Answer(Socket connection) {
        const std::string body = R"({"result":0,"records":[]})";
        const std::string answer =
            base::Format(
                "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: %zu\r\n\r\n",
                body.size()) +
            body;
        send(connection, answer.data(), static_cast<int>(answer.size()), kQuiet);
    }
    void Serve() override {
        const Socket kept = accept(listener_, nullptr, nullptr);
        if (ReadRequest(kept)) {
            Answer(kept);
        }
        ReadRequest(kept);
        Close(kept);
        // Another connection within a second: accept waits no longer than that.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (std::chrono::steady_clock::now() < deadline) {
            fd_set ready;
            FD_ZERO(&ready);
            FD_SET(listener_, &ready);
            timeval wait{0, 50'000};
            if (select(static_cast<int>(listener_) + 1, &ready, nullptr, nullptr, &wait) == 1) {
                const Socket next = accept(listener_, nullptr, nullptr);
                if (ReadRequest(next)) {
                    Answer(next);
                }
                Close(next);
                return;
            }
        }
    }

    int requests_ = 0;
};

// A request whose kept-alive connection dies after it went out, before any answer, is not sent
// again on a new connection: an order must not be placed twice.
TEST_F(CompanionTest, ARequestIsNeverSentTwice) {
    DroppingServer server;
    Watch(server.Url());
    EXPECT_EQ(called, 1);
    IPOServiceRequest dropped = Watch(server.Url());
    EXPECT_EQ(Fields(called, dropped.ResultCode, Message(dropped).c_str()), "0|1|null|");
    EXPECT_EQ(server.Requests(), 2);
}

// A service sending a byte now and then ends at the call's deadline; an answer announced above the
// size cap is dropped unread; the next call on the same library is answered as usual.
TEST_F(CompanionTest, AnswersEndAtTheDeadlineOrTheSizeCap) {
    Configure("CORVEX_TIMEOUT_MS", "400");
    {
        TricklingServer server(50);
        const auto start = std::chrono::steady_clock::now();
        IPOServiceRequest slow = Watch(server.Url());
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        EXPECT_EQ(Fields(called, slow.ResultCode, Message(slow).c_str()), "0|1|null|");
        EXPECT_GE(took.count(), 390);
        EXPECT_LT(took.count(), 1400);
    }
    Configure("CORVEX_TIMEOUT_MS", nullptr);

    Configure("CORVEX_ANSWER_MAX_BYTES", "1024");
    {
        TricklingServer server(50);  // it announces 1,000,000 bytes
        IPOServiceRequest big = Watch(server.Url());
        EXPECT_EQ(Fields(called, big.ResultCode, Message(big).c_str()),
                  "0|3|The IPO service's answer is larger than 1024 bytes (answer_max_bytes in "
                  "Corvexdll64.conf)|");
    }
    Configure("CORVEX_ANSWER_MAX_BYTES", nullptr);
    harness::ServiceProcess service;
    Watch(service.Url("/ipo/watchlist"));
    EXPECT_EQ(called, 1);
}

// A table answer's rows are records whose values its columns name, in whatever order the columns
// come; a table that does not say what each value is gets a clear message, not a record.
TEST(CompanionDecoding, TableRowsAreRecordsNamedByTheirColumns) {
    const std::string columns =
        R"("columns":["name","issue_key","price_low_paise","price_high_paise","bid_start",)"
        R"("bid_end","issue_size","face_value_paise","min_quantity","lot_size","issue_type",)"
        R"("issue_tag"])";
    const std::string row =
        R"(["Aurora Green","AURORAGREEN",9500,10000,"2026-12-03","2026-12-07",125,1000,150,)"
        R"(150,"BOOK BUILT","AGE"])";
    const auto decode = [&](const std::string& table) {
        return corvex::DecodeAnswer(91, 200, std::string_view(R"({"result":0,)" + table + "}"));
    };
    const corvex::Outcome read = decode(columns + R"(,"rows":[)" + row + "," + row + "]");
    ASSERT_TRUE(read.answer) << read.message;
    ASSERT_EQ(2, read.answer->List().Count);
    auto* second = At<IPOWatchEntry>(&read.answer->List(), 1);
    EXPECT_EQ(Fields(second->IssueKey(), second->IPOName(), second->Reserved3(), second->PriceLow(),
                     second->PriceHigh(), second->BidStartDate(), second->BidEndDate(),
                     second->IssueSize(), second->FaceValue(), second->MinimumOrderQuantity(),
                     second->LotSize(), second->IssueType()),
              "AURORAGREEN|Aurora Green|AGE|95|100|2026-12-03|2026-12-07|125|10|150|150|"
              "BOOK BUILT|");
    // A zero byte comes only from its escape, which a written backslash does not start.
    const auto named = [&](const std::string& name) { return "[" + name + row.substr(15); };
    const corvex::Outcome backslash =
        decode(columns + R"(,"rows":[)" + named(R"("C:\\u0000 Ltd")") + "]");
    ASSERT_TRUE(backslash.answer) << backslash.message;
    EXPECT_STREQ(R"(C:\u0000 Ltd)", At<IPOWatchEntry>(&backslash.answer->List(), 0)->IPOName());

    const std::string unreadable = "The IPO service sent an answer that cannot be read: field ";
    const std::string shortRow = row.substr(0, row.find(",\"AGE\"")) + "]";
    const std::pair<std::string, std::string> refused[] = {
        {columns + R"(,"rows":[)" + row + "," + shortRow + "]",
         "rows[1] does not hold one value per column"},
        {columns + R"(,"rows":[)" + row + R"(,{"name":"X"}])",
         "rows[1] does not hold one value per column"},
        {R"("columns":["name","name"],"rows":[])", "columns names name twice"},
        {R"("columns":["name",7],"rows":[])", "columns[1] is not a text"},
        {R"("columns":["name"],"rows":[["X"]])", "rows[0].bid_end is missing"},
        {columns + R"(,"rows":{})", "rows is not a list"},
        {columns + R"(,"rows":[)" + row + "," + named(R"("Aurora\u0000Green")") + "]",
         "rows[1].name holds a zero byte"},
    };
    for (const auto& [table, message] : refused) {
        const corvex::Outcome outcome = decode(table);
        EXPECT_EQ(Fields(!outcome.answer, outcome.resultCode, outcome.message.c_str()),
                  Fields(true, corvex::kInvalidAnswer, (unreadable + message).c_str()))
            << table;
    }
}

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
    const corvex::Outcome read = inPlace(text);
    ASSERT_TRUE(read.answer);
    ASSERT_EQ(2, read.answer->List().Count);
    for (int i = 0; i < 2; ++i) {
        auto* entry = At<IPOOrderBookEntry>(&read.answer->List(), i);
        ASSERT_EQ(1, entry->Bids()->Count);
        EXPECT_EQ(Fields(entry->OrderNumber(), entry->BidDate(), entry->ClientName(),
                         entry->RefundAmount(), At<IPOOrderBid>(entry->Bids(), 0)->BidReference()),
                  "7|2026-01-02 10:00:00|Rohan|2.5|R1|");
    }

    // Texts beyond the room a record keeps inside itself move, with those read before, to a
    // buffer of their own.
    std::string longOrder = order;
    const std::string name(300, 'N');
    longOrder.replace(longOrder.find("Rohan"), 5, name);
    const corvex::Outcome grown =
        inPlace(R"({"accepted":true,"message":"","records":[)" + longOrder + R"(],"result":0})");
    ASSERT_TRUE(grown.answer);
    auto* big = At<IPOOrderBookEntry>(&grown.answer->List(), 0);
    EXPECT_EQ(Fields(big->ApplicationNumber(), big->BidDate(), big->ClientName(), big->UPIId()),
              "A1|2026-01-02 10:00:00|" + name + "|u@upi|");

    // Cut short of its last brace, it fails alike both ways: the brace after its end is not read.
    const std::string cut = text.substr(0, text.size() - 1);
    const corvex::Outcome cutRead = inPlace(cut);
    EXPECT_EQ(Fields(!cutRead.answer, cutRead.resultCode, cutRead.message.c_str()),
              Fields(true, corvex::kInvalidAnswer,
                     corvex::DecodeAnswer(93, 200, std::string_view(cut)).message.c_str()));
}

}  // namespace
