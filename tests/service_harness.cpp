#include "service_harness.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "base/platform.h"
#include "base/text.h"
#include "host/sign_in.h"

namespace harness {
namespace {

std::string FromEnvironment(const char* name, const std::string& otherwise = "") {
    const char* value = std::getenv(name);
    return value && *value ? value : otherwise;
}

// The service with `arguments` (plain words: paths and numbers), in the site's network namespace
// when it has one, as a shell command that becomes the service; its standard output and error
// go to `outputFile`.
std::string ServiceCommand(const std::vector<std::string>& arguments,
                           const std::string& outputFile) {
    std::string command = "exec ";
    if (!Site().netns.empty()) {
        command += "ip netns exec " + Site().netns + " ";
    }
    command += ServiceProgram();
    for (const std::string& argument : arguments) {
        command += " " + argument;
    }
    return command + " >" + outputFile + " 2>&1";
}

thread_local std::vector<void*> delivered;

void OnData(void* record, uint16_t) {
    delivered.push_back(record);
}

}  // namespace

long MemoryKiB(pid_t pid, const std::string& figure) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string word;
    while (status >> word) {
        if (word == figure + ":") {
            long kib = 0;
            status >> kib;
            return kib;
        }
    }
    return -1;
}

const ServiceSite& Site() {
    static const ServiceSite site = [] {
        ServiceSite read;
        read.netns = FromEnvironment("IPO_TEST_SERVICE_NETNS");
        read.host = FromEnvironment("IPO_TEST_SERVICE_HOST", read.host);
        read.cert = FromEnvironment("IPO_TEST_TLS_CERT");
        read.key = FromEnvironment("IPO_TEST_TLS_KEY");
        read.caFile = FromEnvironment("IPO_TEST_CA_FILE");
        return read;
    }();
    return site;
}

std::string BinDir() {
    return IPO_BIN_DIR;
}

std::string ServiceProgram() {
    return IPO_SERVICE_PROGRAM;
}

std::string SeededPassword(const std::string& userId) {
    static const std::map<std::string, std::string> kPasswords = {
        {"DEALER01", "bull-run-01"},
        {"DEALER02", "bull-run-02"},
        {"INV001", "first-listing"},
        {"INV026", "lot-size-26"},
    };
    const auto found = kPasswords.find(userId);
    return found == kPasswords.end() ? std::string() : found->second;
}

std::string SignIn(int port, const std::string& userId, const std::string& password,
                   std::string* error, const std::string& caFile) {
    const std::string authority = caFile.empty() ? Site().caFile : caFile;
    const ServiceEndpoint endpoint{authority.empty() ? "http" : "https", Site().host, port,
                                   authority};
    std::string reason;
    const std::optional<ServiceSession> session = ::SignIn(endpoint, userId, password, reason);
    if (!session && error) {
        *error = reason;
    }
    return session ? session->token : std::string();
}

int RunService(const std::string& arguments, std::string& output) {
    output.clear();
    return Shell(ServiceProgram() + " " + arguments + " </dev/null 2>&1", output);
}

ScratchFolder::ScratchFolder() : folder(MakeScratchFolder("ipo-test")) {
    if (folder.empty()) {
        throw std::runtime_error("cannot make a temporary folder");
    }
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

Certificate::Certificate() {
    cert = folder + "/cert.pem";
    key = folder + "/key.pem";
    std::string output;
    Shell(
        "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 "
        "-subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1,DNS:localhost -keyout " +
            key + " -out " + cert + " 2>&1",
        output);
}

ServiceProcess::ServiceProcess(std::vector<std::string> flags) : flags_(std::move(flags)) {
    folder_ = MakeScratchFolder("ipo-service-test");
    if (folder_.empty()) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    db_ = folder_ + "/ipo.db";
    Start();
}

ServiceProcess::~ServiceProcess() {
    Stop();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

void ServiceProcess::Start(int port) {
    const std::string log = folder_ + "/service.out";
    std::vector<std::string> arguments = {"--db", db_, "--seed-demo", "--port",
                                          std::to_string(port)};
    arguments.insert(arguments.end(), flags_.begin(), flags_.end());
    const bool ownCertificate =
        std::find(flags_.begin(), flags_.end(), "--tls-cert") != flags_.end();
    if (Site().Tls() && !ownCertificate) {
        arguments.insert(arguments.end(), {"--tls-cert", Site().cert, "--tls-key", Site().key});
    }
    arguments.insert(arguments.end(), {"--host", Site().host});
    const std::string listening = "listening on " + Site().host + ":";
    std::ofstream(log, std::ios::trunc).close();  // no line of an earlier start is read
    pid_ = SpawnShell(ServiceCommand(arguments, log));
    for (int attempt = 0; attempt < 500; ++attempt) {
        std::ifstream file(log);
        const std::string text{std::istreambuf_iterator<char>(file), {}};
        const size_t at = text.find(listening);
        if (at != std::string::npos && text.find('\n', at) != std::string::npos) {
            port_ = base::ToLong(text.substr(at + listening.size()));
            return;
        }
        if (!Running(pid_)) {
            pid_ = -1;
            throw std::runtime_error("ipo-service ended at start: " + text);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    throw std::runtime_error("ipo-service did not start");
}

void ServiceProcess::Stop() {
    if (pid_ <= 0) {
        return;
    }
    Signal(pid_, false);
    for (int attempt = 0; attempt < 500; ++attempt) {
        if (!Running(pid_)) {
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    Kill();  // still there after five seconds
}

void ServiceProcess::Kill() {
    if (pid_ > 0) {
        Signal(pid_, true);
        for (int attempt = 0; attempt < 500 && Running(pid_); ++attempt) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        pid_ = -1;
    }
}

std::string ServiceProcess::Token(const std::string& userId) const {
    std::string& token = tokens_[userId];
    if (token.empty()) {
        std::string error;
        token = SignIn(port_, userId, SeededPassword(userId), &error);
        if (token.empty()) {
            throw std::runtime_error("cannot sign in as " + userId + ": " + error);
        }
    }
    return token;
}

std::string ServiceProcess::Url(const std::string& path, const std::string& userId) const {
    return base::Format("%s://%s@%s:%d%s", Site().Tls() ? "https" : "http", Token(userId).c_str(),
                        Site().host.c_str(), port_, path.c_str());
}

int ServiceProcess::RunOperator(const std::vector<std::string>& words, std::string* output) const {
    std::vector<std::string> command = {"order"};
    command.insert(command.end(), words.begin(), words.end());
    return RunCommand(command, output);
}

int ServiceProcess::RunCommand(const std::vector<std::string>& words, std::string* output) const {
    std::string arguments = "--db " + db_;
    for (size_t i = 0; i + 1 < flags_.size(); ++i) {
        if (flags_[i] == "--log") {  // the operator's commands go to the service's log
            arguments += " --log " + flags_[i + 1];
        }
    }
    for (const std::string& word : words) {
        arguments += " '" + word + "'";
    }
    std::string said;
    const int status = RunService(arguments, said);
    if (output) {
        *output = said;
    }
    return status;
}

Companion::Companion() {
    const std::string file = std::string("Corvexdll64") + base::kLibrarySuffix;
    if (!library_.Load(BinDir() + "/" + file)) {
        throw std::runtime_error("cannot load " + file);
    }
    initialize_ = library_.ResolveAs<InitializeCorvexDllFn>("InitializeCorvexDll");
    processCall_ = library_.ResolveAs<ProcessCallFn>("ProcessCall");
    watchList_ = library_.ResolveAs<GetIPOWatchListInfoFn>("GetIPOWatchListInfo");
    int i = 0;
    for (const char* getter :
         {"GetIPOWatchDetailsInfo", "GetIPOOrderBookListInfo", "GetIPOOrderResponse",
          "GetIPOCancelOrderResponse", "GetIPOUserDetailsInfo"}) {
        getters_[i++] = library_.ResolveAs<GetIPOGetterFn>(getter);
    }
    initialize_();
    library_.ResolveAs<SetDataIPOSetCallBackFunFn>("SetDataIPOSetCallBackFun")(OnData);
}

int Companion::Call(IPOServiceRequest& request) {
    delivered.clear();
    const int result = processCall_(&request);
    if (request.ResultCode <= 0) {
        Deliver(request.RequestCode);
    }
    return result;
}

int Companion::Deliver(uint16_t code) {
    delivered.clear();
    if (code == kRequestWatchList) {
        return watchList_(1);
    }
    if (code >= kRequestWatchDetails && code <= kRequestUserDetails) {
        return getters_[code - kRequestWatchDetails]();
    }
    return 0;
}

const std::vector<void*>& Companion::Records() const {
    return delivered;
}

IPOServiceRequest NewRequest(uint16_t code, const std::string& url, uint16_t userType,
                             const std::string& userId, const std::string& clientId,
                             const std::string& clientCode) {
    IPOServiceRequest request{};
    request.RequestCode = code;
    request.UserType = userType;
    base::CopyField(request.URL, url);
    base::CopyField(request.UserId, userId);
    base::CopyField(request.LoginClientId, clientId);
    base::CopyField(request.LoginClientCode, clientCode);
    if (userType != 23) {
        base::CopyField(request.ClientId, clientId);
        base::CopyField(request.ClientCode, clientCode);
    }
    return request;
}

void MakeRetailUpiOrder(IPOServiceRequest& request, const std::string& upiId, int32_t quantity,
                        double price) {
    base::CopyField(request.OrderFlag, "N");
    base::CopyField(request.IPOName, "AURORAGREEN");
    base::CopyField(request.IssueTag, "AGE");
    base::CopyField(request.CategoryCode, "RETAIL");
    base::CopyField(request.PaymentMode, "UPI");
    base::CopyField(request.UPIId, upiId);
    request.BidCount = 3;
    base::CopyField(request.Bids[0].BidActionCode, "N");
    request.Bids[0].Quantity = quantity;
    request.Bids[0].Price = price;
    base::CopyField(request.Bids[0].BidReference, "0");
}

}  // namespace harness
