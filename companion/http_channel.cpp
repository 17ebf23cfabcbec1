#include "companion/http_channel.h"

#include <curl/curl.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "base/text.h"
#include "companion/answer_buffer.h"
#include "companion/request_encoder.h"
#include "companion/sigpipe_guard.h"
#include "companion/zstd_decoder.h"
#include "tls/curl_client.h"

namespace corvex {
namespace {

using Clock = std::chrono::steady_clock;

// The bytes a read from the network takes at most: a large answer arrives in few reads.
constexpr long kReadBytes = 128 * 1024;

// The value of header line `line` when it is the header `name` (any case), else nothing.
std::optional<std::string_view> HeaderValue(std::string_view line, std::string_view name) {
    if (line.size() <= name.size() || line[name.size()] != ':' ||
        !base::SameIgnoringCase(line.substr(0, name.size()), name)) {
        return std::nullopt;
    }
    std::string_view value = line.substr(name.size() + 1);
    const size_t first = value.find_first_not_of(" \t");
    const size_t last = value.find_last_not_of(" \t\r\n");
    return first == std::string_view::npos ? std::string_view()
                                           : value.substr(first, last - first + 1);
}

// One call's answer as it arrives: its head decides how it is kept (the size cap, room for it,
// decoded from zstd or not), its body goes into the answer's buffer.
class Arrival {
  public:
    Arrival(CURL* handle, AnswerBuffer& answer) : handle_(handle), answer_(answer) {}

    static size_t OnHeader(char* data, size_t size, size_t count, void* self) {
        const size_t bytes = size * count;
        return static_cast<Arrival*>(self)->Header({data, bytes}) ? bytes : 0;
    }
    static size_t OnBody(char* data, size_t size, size_t count, void* self) {
        const size_t bytes = size * count;
        return static_cast<Arrival*>(self)->Body(data, bytes) ? bytes : 0;
    }
    // The request goes out once per call: libcurl would send it again on a fresh connection
    // when a kept one dies before any answer, and an order must not be placed twice.
    static int OnSending(void* self, char*, char*, int, int) {
        return ++static_cast<Arrival*>(self)->sendings_ == 1 ? CURL_PREREQFUNC_OK
                                                             : CURL_PREREQFUNC_ABORT;
    }

    const std::optional<ZstdDecoder>& Zstd() const { return zstd_; }

  private:
    bool Header(std::string_view line) {
        if (line.substr(0, 5) == "HTTP/") {  // a new response's head (after a 1xx one)
            length_ = 0;
            compressed_ = false;
        } else if (const auto value = HeaderValue(line, "Content-Length")) {
            length_ = std::strtoull(std::string(*value).c_str(), nullptr, 10);
        } else if (const auto value = HeaderValue(line, "Content-Encoding")) {
            compressed_ = *value == "zstd";
        } else if (line == "\r\n" || line == "\n") {
            long status = 0;
            curl_easy_getinfo(handle_, CURLINFO_RESPONSE_CODE, &status);
            return status < 200 || Begin();
        }
        return true;
    }
    // The head has ended: false when the announced answer is above the cap.
    bool Begin() {
        if (!answer_.Expect(length_)) {
            return false;
        }
        if (compressed_) {
            zstd_.emplace();  // made only for a compressed answer: it takes 250 KiB
        } else {
            answer_.Reserve(length_);
        }
        return true;
    }
    bool Body(const char* data, size_t size) {
        if (!zstd_) {
            return answer_.Add(data, size);
        }
        if (!sized_) {
            // The frame says how large the answer is: room for it at once.
            answer_.Reserve(ZstdDecoder::DecodedSize(data, size));
            sized_ = true;
        }
        return zstd_->Add(data, size, [this](const char* decoded, size_t bytes) {
            return answer_.Add(decoded, bytes);
        });
    }

    CURL* handle_;
    AnswerBuffer& answer_;
    unsigned long long length_ = 0;
    bool compressed_ = false;
    std::optional<ZstdDecoder> zstd_;
    bool sized_ = false;  // room taken for the whole decoded answer
    int sendings_ = 0;
};

// The request's header lines, freed with the call.
class HeaderLines {
  public:
    explicit HeaderLines(const std::string& token) {
        Add("Content-Type: application/json");
        if (!token.empty()) {
            Add("Authorization: Bearer " + token);
        }
        Add("Accept-Encoding: zstd");
        Add("Expect:");  // no "100 Continue" round trip before the body
    }
    ~HeaderLines() { curl_slist_free_all(lines_); }
    HeaderLines(const HeaderLines&) = delete;
    HeaderLines& operator=(const HeaderLines&) = delete;
    curl_slist* Lines() const { return lines_; }

  private:
    void Add(const std::string& line) { lines_ = curl_slist_append(lines_, line.c_str()); }
    curl_slist* lines_ = nullptr;
};

// An easy handle with the options every call shares: its kept-alive connection goes with it.
CURL* NewHandle(const ChannelSettings& settings) {
    static const bool initialized = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    CURL* handle = initialized ? curl_easy_init() : nullptr;
    if (!handle) {
        throw std::runtime_error("libcurl cannot be initialized");
    }
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_PROXY,
                     "");  // to the service directly, whatever the environment
    curl_easy_setopt(handle, CURLOPT_TCP_NODELAY, 1L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(settings.connectMs));
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(settings.readMs));
    curl_easy_setopt(handle, CURLOPT_HTTP_CONTENT_DECODING, 0L);  // zstd is decoded as it arrives
    curl_easy_setopt(handle, CURLOPT_BUFFERSIZE, kReadBytes);
    curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, &Arrival::OnHeader);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &Arrival::OnBody);
    curl_easy_setopt(handle, CURLOPT_PREREQFUNCTION, &Arrival::OnSending);
    tls::RequireTrustedService(handle, settings.caFile);
    return handle;
}

}  // namespace

// One handle, and so one kept-alive connection, per scheme, host and port.
struct HttpChannel::Transport {
    struct Connection {
        CURL* handle = nullptr;
        Clock::time_point lastUsed;
    };
    ~Transport() {
        for (auto& [origin, connection] : connections) {
            curl_easy_cleanup(connection.handle);
        }
    }
    std::map<std::string, Connection> connections;
};

HttpChannel::HttpChannel(const ChannelSettings& settings)
    : settings_(settings), transport_(std::make_unique<Transport>()) {}

HttpChannel::~HttpChannel() = default;

Reply HttpChannel::Post(const std::string& url, const std::string& body) {
    const ServiceTarget target = SplitServiceURL(url);
    Transport::Connection& connection = transport_->connections[target.origin];
    // A connection the service may be closing because it sat idle is not used again: its
    // handle goes, and the connection with it.
    if (connection.handle &&
        Clock::now() - connection.lastUsed > std::chrono::milliseconds(settings_.idleMs)) {
        curl_easy_cleanup(connection.handle);
        connection.handle = nullptr;
    }
    if (!connection.handle) {
        connection.handle = NewHandle(settings_);
    }
    CURL* handle = connection.handle;
    Reply reply;
    AnswerBuffer answer(reply.body, static_cast<size_t>(settings_.answerMaxBytes));
    Arrival arrival(handle, answer);
    const HeaderLines headers(target.token);
    const std::string address = target.origin + target.path;
    curl_easy_setopt(handle, CURLOPT_URL, address.c_str());
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.Lines());
    curl_easy_setopt(handle, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(handle, CURLOPT_HEADERDATA, &arrival);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &arrival);
    curl_easy_setopt(handle, CURLOPT_PREREQDATA, &arrival);
    // libcurl sends on plain sockets with MSG_NOSIGNAL; the guard is for the TLS library's own
    // writes, and costs three system calls a request.
    std::optional<SigpipeGuard> quiet;
    if (target.secure) {
        quiet.emplace();
    }
    const CURLcode result = curl_easy_perform(handle);
    quiet.reset();
    connection.lastUsed = Clock::now();
    if (result == CURLE_URL_MALFORMAT) {
        throw RequestRefused("The service URL \"" + target.shown + "\" cannot be used");
    }
    reply.tooLarge = answer.TooLarge();
    if (reply.tooLarge) {
        reply.body.clear();
        reply.body.shrink_to_fit();
        return reply;
    }
    const std::optional<ZstdDecoder>& zstd = arrival.Zstd();
    if (zstd && (!zstd->Error().empty() || (result == CURLE_OK && !zstd->Complete()))) {
        reply.body.clear();
        reply.unreadable = "The IPO service's compressed answer cannot be read: " +
                           (zstd->Error().empty() ? "it ends within its data" : zstd->Error());
        return reply;
    }
    if (result == CURLE_OK) {
        long status = 0;
        curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
        reply.reached = true;
        reply.status = static_cast<int>(status);
    } else {
        reply.insecure =
            tls::UntrustedText(result, target.origin, settings_.caFile, kCompanionCaSetting);
    }
    return reply;
}

}  // namespace corvex
