// The companion library on Linux against scripted HTTP and TLS servers and the service's
// compressed answers (the cases against the service alone, which Windows shares, are in
// companion_service_test.cpp).
#include <gtest/gtest.h>
#include <httplib.h>
#include <sqlite3.h>
#include <unistd.h>
#include <zstd.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <mutex>
#include <sstream>
#include <thread>

#include "base/text.h"
#include "companion/answer_decoder.h"
#include "companion/request_encoder.h"
#include "companion_fixture.h"
#include "service_harness.h"

namespace {

using namespace companion_test;

const char kNoRecords[] = R"({"result":0,"records":[]})";

std::string Zstd(const std::string& text) {
    std::string packed(ZSTD_compressBound(text.size()), '\0');
    packed.resize(ZSTD_compress(packed.data(), packed.size(), text.data(), text.size(), 1));
    return packed;
}

// An HTTP server that answers every POST with `status` and `body` (in the content coding
// `encoding`, when set) after `delayMs`; or, when `endless` is set, with a body that never ends:
// `endless` every `delayMs` under the Content-Length `announced` (none when empty), until the peer
// goes away.
class ScriptedServer {
  public:
    explicit ScriptedServer(std::string body = kNoRecords, std::string endless = "",
                            int delayMs = 0, std::string announced = "")
        : body(std::move(body)), endless_(std::move(endless)), delayMs_(delayMs) {
        server_.set_keep_alive_timeout(1);  // the companion keeps its connection open
        server_.Post(
            ".*", [this, announced](const httplib::Request& request, httplib::Response& response) {
                {
                    std::lock_guard<std::mutex> lock(seenMutex);
                    seen = request.method + " " + request.target + "\n" +
                           request.get_header_value("Authorization") + "\n" + request.body;
                }
                ++hits;
                if (!endless_.empty()) {
                    response.set_content_provider("application/json", [this](size_t, auto& sink) {
                        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs_));
                        return !stopping_ && sink.write(endless_.data(), endless_.size());
                    });
                    if (!announced.empty()) {
                        response.set_header("Content-Length", announced);
                    }
                    return;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(delayMs_));
                response.status = status;
                response.set_content(this->body, "application/json");
                if (!encoding.empty()) {
                    response.set_header("Content-Encoding", encoding);
                }
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
    std::string encoding;
    std::atomic<int> status{200};
    std::atomic<int> hits{0};
    // The last request: its line, Authorization header and body.
    std::mutex seenMutex;
    std::string seen;

  private:
    const std::string endless_;
    const int delayMs_;
    std::atomic<bool> stopping_{false};
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
};

using harness::Certificate;

// An openssl TLS server on a free loopback port for one connection, offering what `flags`
// allow; it prints what it receives.
class OpensslServer {
  public:
    OpensslServer(const Certificate& certificate, const std::string& flags)
        : output_(certificate.folder + "/s_server.out") {
        std::filesystem::remove(output_);  // no line of an earlier server is read
        // Its standard input stays open while it serves: at end of input it stops.
        const std::string command =
            "sleep 20 2>/dev/null | timeout 20 openssl s_server -accept 0 -naccept 1 "
            "-cert " +
            certificate.cert + " -key " + certificate.key + " " + flags + " >" + output_ +
            " 2>&1 &";
        EXPECT_EQ(std::system(command.c_str()), 0);
        for (int attempt = 0; attempt < 500 && port_ == 0; ++attempt) {
            const std::string text = Output();
            const size_t at = text.find("]:");
            if (at != std::string::npos && text.find('\n', at) != std::string::npos) {
                port_ = static_cast<int>(base::ToLong(text.substr(at + 2)));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    int Port() const { return port_; }
    std::string Output() const {
        std::ifstream file(output_);
        return {std::istreambuf_iterator<char>(file), {}};
    }

  private:
    std::string output_;
    int port_ = 0;
};

TEST_F(CompanionTest, AnswersThatCannotBeReadOrAreRefusedGiveAClearMessage) {
    ScriptedServer server;
    const std::string unreadable = "The IPO service sent an answer that cannot be read: field ";
    std::string longText;  // cut at a character boundary: 2,047 characters of two bytes
    for (int i = 0; i < 2500; ++i) {
        longText += "\xC3\xA9";
    }
    const std::tuple<int, std::string, int, std::string, std::string> cases[] = {
        {200, "<html>busy</html>", 3,
         "The IPO service answered with something that is not a JSON object (HTTP status 200)", ""},
        {200, R"({"result":0,"records":[{"issue_key":"X"}]})", 3,
         unreadable + "records[0].bid_end is missing", ""},
        {503, R"({"result":0,"message":"Down for maintenance"})", 2, "Down for maintenance", ""},
        {500, R"({"result":20})", 20, "The IPO service refused the request (HTTP status 500)", ""},
        {400, R"({"result":10,"message":")" + longText + "\"}", 10, longText.substr(0, 4094), ""},
        {200, Zstd(kNoRecords).substr(0, 12), 3,
         "The IPO service's compressed answer cannot be read: it ends within its data", "zstd"},
    };
    for (const auto& [status, body, resultCode, message, encoding] : cases) {
        server.status = status;
        server.body = body;
        server.encoding = encoding;
        IPOServiceRequest request = Investor(91, server.Url());
        std::memset(request.Message, 'x', sizeof request.Message);
        base::CopyField(request.Section, "C");
        EXPECT_EQ(companion.Call(request), 0) << body;
        EXPECT_EQ(Fields(request.Accepted, request.ResultCode, request.Message[4095]),
                  Fields(0, resultCode, 0))
            << body;
        EXPECT_EQ(Message(request), message);
        EXPECT_EQ(companion.Deliver(kRequestWatchList), 0);
    }
}

TEST_F(CompanionTest, RecordsThatCannotBeSentFaithfullyAreRefusedUnsent) {
    ScriptedServer server;
    const auto refusal = [&](IPOServiceRequest request) {
        companion.Call(request);
        EXPECT_EQ(Fields(request.ResultCode, request.Accepted), "4|0|");
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

// A flood ends at the size cap, whether announced, unannounced or compressed; an answer of
// exactly the cap is taken, one byte more is not, decoded or not.
TEST_F(CompanionTest, EndlessAnswersEndAtTheSizeCap) {
    // A cap just past a power of two, where a buffer that doubles would hold nearly twice it;
    // the floods: endless, announced or not, and 34 KiB of zstd that unpack to 1 GiB.
    Configure("CORVEX_ANSWER_MAX_BYTES", "150994944");
    std::string bomb = Zstd(kNoRecords);
    const std::string mebibyte = Zstd(std::string(1 << 20, ' '));
    for (int i = 0; i < 1024; ++i) {
        bomb += mebibyte;
    }
    for (const char* announced : {"1000000000", "", "zstd"}) {
        const bool zstd = std::strcmp(announced, "zstd") == 0;
        ScriptedServer flood(zstd ? bomb : "", zstd ? "" : std::string(1 << 20, ' '), 0,
                             zstd ? "" : announced);
        flood.encoding = zstd ? "zstd" : "";
        const long before = harness::MemoryKiB(getpid(), "VmRSS");
        IPOServiceRequest big = Watch(flood.Url());
        const long peak = harness::MemoryKiB(getpid(), "VmHWM") - before;
        std::printf("a flood announced as \"%s\" under a 144 MiB cap: peak %+ld MiB\n", announced,
                    peak / 1024);
        EXPECT_EQ(Fields(called, big.ResultCode), "0|3|");
        EXPECT_EQ(Message(big),
                  "The IPO service's answer is larger than 150994944 bytes (answer_max_bytes in "
                  "Corvexdll64.conf)");
        EXPECT_TRUE(harness::kSanitized || peak <= (144 + 64) * 1024) << peak << " KiB";
    }
    // The cap bounds a compressed answer's decoded size.
    const std::string capped = kNoRecords + std::string(100000 - std::strlen(kNoRecords), ' ');
    const std::tuple<const char*, std::string, bool, const char*> answers[] = {
        // cap, body, taken, coding
        {"100000", capped, true, ""},           {"100000", capped + " ", false, ""},
        {"100000", Zstd(capped), true, "zstd"}, {"100000", Zstd(capped + " "), false, "zstd"},
        {"1023", capped + " ", true, ""},  // below 1 KiB: not taken, the default cap holds
    };
    for (const auto& [cap, body, taken, coding] : answers) {
        Configure("CORVEX_ANSWER_MAX_BYTES", cap);
        ScriptedServer server(body);
        server.encoding = coding;
        IPOServiceRequest big = Watch(server.Url());
        EXPECT_EQ(Fields(called, big.ResultCode), taken ? "1|0|" : "0|3|") << body.size();
        EXPECT_EQ(Message(big), taken ? ""
                                      : "The IPO service's answer is larger than 100000 bytes "
                                        "(answer_max_bytes in Corvexdll64.conf)");
    }
    Configure("CORVEX_ANSWER_MAX_BYTES", nullptr);

    ScriptedServer fine;  // the next call on the same library is answered as usual
    Watch(fine.Url());
    EXPECT_EQ(called, 1);
}

// The order book on the wire: in zstd, several times smaller, for a client that asks; the same
// JSON as ever for one that does not; and through the companion the same records.
TEST_F(CompanionTest, LargeAnswersTravelCompressedWhenAskedAndDecodeToTheSameRecords) {
    harness::ServiceProcess service;
    ASSERT_EQ(
        service.RunSqlStopped(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 150) "
            "INSERT INTO orders(order_number, application_number, issue_key, client_id, "
            "placed_by, category, reference1, reference2, payment_mode, upi_id, bank_name, "
            "bank_account, status, payment_status, bid_time, modified_time, amount) "
            "SELECT i, 'BA' || i, 'AURORAGREEN', 'INV001', 'INV001', 'RETAIL', '', '', 'UPI', "
            "'rohan.desai@upibank', '', '', 'P', 'P', '2026-12-01 10:00:00', "
            "'2026-12-01 10:00:00', 1470000 FROM n; "
            "INSERT INTO bids(order_number, position, reference, quantity, cut_off, price) "
            "SELECT order_number, 0, 'BB' || order_number, 150, 0, 9000 + order_number "
            "FROM orders"),
        SQLITE_OK);

    IPOServiceRequest book = Investor(93, service.Url("/ipo/orderbook"));
    base::CopyField(book.OrderStatus, "-1");
    httplib::Client client("127.0.0.1", service.Port());
    const auto post = [&](const char* accepted) {
        return client.Post(
            "/ipo/orderbook",
            {{"Authorization", "Bearer " + service.Token("INV001")}, {"Accept-Encoding", accepted}},
            corvex::EncodeRequest(book), "application/json");
    };
    const auto plain = post("identity"), packed = post("gzip;q=0.5, zstd"), gzip = post("gzip");
    ASSERT_TRUE(plain && packed && gzip);
    EXPECT_EQ(Fields(plain->get_header_value("Content-Encoding").c_str(),
                     packed->get_header_value("Content-Encoding").c_str(),
                     gzip->get_header_value("Content-Encoding").c_str()),
              "|zstd|gzip|");
    EXPECT_LT(packed->body.size() * 4, plain->body.size());

    const nlohmann::json sent = nlohmann::json::parse(plain->body)["records"];
    ASSERT_EQ(companion.Call(book), 1);
    ASSERT_EQ(companion.Records().size(), 150u);
    for (size_t i = 0; i < sent.size(); ++i) {
        auto* entry = static_cast<IPOOrderBookEntry*>(companion.Records()[i]);
        EXPECT_EQ(Fields(entry->OrderNumber(), entry->ApplicationNumber(),
                         At<IPOOrderBid>(entry->Bids(), 0)->BidReference()),
                  Fields(sent[i]["order_number"].get<int>(),
                         sent[i]["application_number"].get<std::string>().c_str(),
                         sent[i]["bids"][0]["reference"].get<std::string>().c_str()));
    }
}

// The URL's token travels only as a bearer header; a cancel's bid references in their order.
TEST_F(CompanionTest, TheTokenTravelsOnlyAsABearer) {
    ScriptedServer server;
    IPOServiceRequest cancel = Investor(95, "http://Tok3n-_x@" + server.Url().substr(7));
    cancel.CancelOrderNumber = 7;
    base::CopyField(cancel.CancelAction, "N");
    for (int i = 0; i < 3; ++i) {
        base::CopyField(cancel.BidReferences[i], "B" + std::to_string(i + 1));
    }
    EXPECT_EQ(companion.Call(cancel), 1);
    std::lock_guard<std::mutex> lock(server.seenMutex);
    EXPECT_EQ(server.seen.substr(0, server.seen.find('{')),
              "POST /ipo/watchlist\nBearer Tok3n-_x\n");
    EXPECT_EQ(server.seen.find("Tok3n", server.seen.find('{')), std::string::npos);
    EXPECT_NE(server.seen.find(R"("bid_references":["B1","B2","B3"])"), std::string::npos);
}

// A trusted service that offers only TLS 1.1, or TLS 1.2 with only CBC ciphers, is refused
// before the request is sent.
TEST_F(CompanionTest, ServicesOfferingOnlyOldTlsOrCbcCiphersAreRefused) {
    Certificate certificate;
    Configure("CORVEX_CA_FILE", certificate.cert.c_str());
    for (const char* offered :
         {"-tls1_1 -cipher DEFAULT@SECLEVEL=0", "-tls1_2 -cipher ECDHE-ECDSA-AES128-SHA256"}) {
        OpensslServer server(certificate, offered);
        IPOServiceRequest request =
            Watch(base::Format("https://127.0.0.1:%d/ipo/watchlist", server.Port()));
        EXPECT_EQ(Fields(called, Message(request).c_str()),
                  base::Format("0|No secure connection to the IPO service at https://127.0.0.1:%d "
                               "could be made: it must serve https with TLS 1.2 or 1.3 and an "
                               "AEAD cipher|",
                               server.Port()))
            << offered;
        EXPECT_EQ(server.Output().find("POST"), std::string::npos) << offered;
    }
    Configure("CORVEX_CA_FILE", nullptr);
}

// The service offers TLS 1.2 with forward-secret AEAD ciphers and TLS 1.3, nothing older or
// weaker; a client asking to renegotiate gets an error, not an orderly close it could take for
// a finished exchange.
TEST(ServiceTls, OffersOnlyCurrentProtocolsAndCiphersAndRefusesRenegotiation) {
    Certificate certificate;
    harness::ServiceProcess service({"--tls-cert", certificate.cert, "--tls-key", certificate.key});
    const std::string client =
        base::Format("timeout 10 openssl s_client -connect 127.0.0.1:%d ", service.Port());
    const struct {
        const char* flags;
        const char* cipher;  // what the handshake agrees on
    } rows[] = {
        {"-tls1_1 -cipher DEFAULT@SECLEVEL=0", "(NONE)"},
        {"-tls1_2 -cipher ECDHE-ECDSA-AES256-SHA:ECDHE-ECDSA-AES128-SHA256:@SECLEVEL=0", "(NONE)"},
        {"-tls1_2 -cipher ECDHE-ECDSA-AES128-GCM-SHA256", "ECDHE-ECDSA-AES128-GCM-SHA256"},
        {"-tls1_2 -cipher ECDHE-ECDSA-CHACHA20-POLY1305", "ECDHE-ECDSA-CHACHA20-POLY1305"},
        {"-tls1_3", "TLS_AES_256_GCM_SHA384"},
    };
    for (const auto& row : rows) {
        std::string output;
        harness::Shell("echo | " + client + row.flags + " 2>&1", output);
        EXPECT_NE(output.find(std::string("Cipher is ") + row.cipher + "\n"), std::string::npos)
            << row.flags << "\n"
            << output;
    }
    std::string output;
    EXPECT_EQ(harness::Shell("(echo R; sleep 3) | " + client + "-tls1_2 2>&1", output), 1)
        << output;
    EXPECT_NE(output.find("RENEGOTIATING"), std::string::npos) << output;
}

}  // namespace
