// Runs a real ipo-service on a free port with a seeded database in a temporary folder, and
// drives the real companion library the way the plug-in does. The service listens on loopback,
// or, when the two-machine test says so, in a network namespace of its own over TLS.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "bridge/companion_abi.h"
#include "framework/shared_library.h"
#include "host/service_endpoint.h"

namespace harness {

// The build's bin folder: Corvexdll64.so (.dll) and, in a native build, ipo-service.
std::string BinDir();
// The ipo-service program: the build's own, or under Wine a native build's (a Linux program,
// which Wine starts as any other).
std::string ServiceProgram();

// Where the tests' services listen. By default on 127.0.0.1 over plain HTTP; the two-machine
// test names another network namespace, its address and a TLS certificate through the
// environment (IPO_TEST_SERVICE_NETNS, IPO_TEST_SERVICE_HOST, IPO_TEST_TLS_CERT,
// IPO_TEST_TLS_KEY and IPO_TEST_CA_FILE, the authority that signed the certificate).
struct ServiceSite {
    std::string netns;
    std::string host = "127.0.0.1";
    std::string cert, key, caFile;

    bool Tls() const { return !cert.empty(); }
};
const ServiceSite& Site();

// The documented password of a seeded user (DEALER01, DEALER02, INV001, INV026).
std::string SeededPassword(const std::string& userId);

// Signs in at the service on the site's host at `port` (over https when `caFile` is given or
// the site uses TLS); gives the session token, or empty with the reason in `error`.
std::string SignIn(int port, const std::string& userId, const std::string& password,
                   std::string* error = nullptr, const std::string& caFile = "");

// ---- What each platform provides (service_harness_posix.cpp, service_harness_win32.cpp). Under
// Wine the commands are the native machine's: a test's working folder lies on Wine's drive of
// the root folder, so the native paths under /tmp are the test's paths too.

// Runs `command` through the shell; gives its exit status and adds what it wrote to standard
// output to `output`.
int Shell(const std::string& command, std::string& output);
// Starts `command` through the shell in the background; gives the process id of what it runs.
pid_t SpawnShell(const std::string& command);
// Whether the process still runs.
bool Running(pid_t pid);
// Asks the process to end (SIGTERM), or ends it (SIGKILL).
void Signal(pid_t pid, bool kill);
// A new folder of the test's own under /tmp, named after `prefix`; empty when none was made.
// (Under Wine, a folder of the test program's own holds it.)
std::string MakeScratchFolder(const std::string& prefix);

// Runs ipo-service with `arguments` (shell words); gives the exit status and what it wrote
// (standard output and error together).
int RunService(const std::string& arguments, std::string& output);

// Under AddressSanitizer, memory figures also hold its shadow and its quarantine of freed blocks.
#ifdef __SANITIZE_ADDRESS__
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// A memory figure of a process ("VmRSS", "VmHWM" of /proc/PID/status) in KiB; -1 without it.
long MemoryKiB(pid_t pid, const std::string& figure);

// A folder of the test's own under /tmp, removed with what it holds at the end.
struct ScratchFolder {
    ScratchFolder();
    ~ScratchFolder();
    std::string folder;
};

// A self-signed certificate for 127.0.0.1 and localhost (Wine checks names, not addresses), in a
// folder of its own made for one test.
struct Certificate : ScratchFolder {
    Certificate();
    std::string cert, key;
};

class ServiceProcess {
  public:
    // Starts at once, on a new seeded database, with `flags` added to the command line.
    explicit ServiceProcess(std::vector<std::string> flags = {});
    ~ServiceProcess();
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

    // Starts on `port` (0: a free one) over the same database.
    void Start(int port = 0);
    void Stop();  // SIGTERM, then waits
    void Kill();  // SIGKILL, then waits
    int Port() const { return port_; }
    // Where a client reaches it, as the terminal names it: "host:port" over plain HTTP,
    // "https://host:port" over TLS.
    std::string Address() const { return Endpoint().Address(); }
    // The terminal's endpoint of it, with the site's certificate authority.
    ServiceEndpoint Endpoint() const {
        return {Site().Tls() ? "https" : "http", Site().host, port_, Site().caFile};
    }
    pid_t Pid() const { return pid_; }
    // The URL of `path` carrying the session token of the seeded `userId`, signed in once.
    std::string Url(const std::string& path, const std::string& userId = "INV001") const;
    // The session token of a seeded user (signed in on first use).
    std::string Token(const std::string& userId) const;
    const std::string& DbPath() const { return db_; }
    // Stops, runs `sql` on the database, and starts again on a free port; gives SQLite's result.
    int RunSqlStopped(const std::string& sql);
    const std::string& Folder() const { return folder_; }
    // Runs "ipo-service --db <db> order <words...>"; gives its exit status and output.
    int RunOperator(const std::vector<std::string>& words, std::string* output = nullptr) const;
    // Runs "ipo-service --db <db> <words...>" (any command, with its flags).
    int RunCommand(const std::vector<std::string>& words, std::string* output = nullptr) const;
    // The seeded issue's bidding end, "YYYY-MM-DD HH:MM:SS", read from the database.
    std::string BidEnd(const std::string& issueKey) const;

  private:
    std::vector<std::string> flags_;
    std::string folder_;
    std::string db_;
    mutable std::map<std::string, std::string> tokens_;
    pid_t pid_ = -1;
    int port_ = 0;
};

// The companion library loaded as the plug-in loads it. Records delivered to the data
// callback are collected per thread.
class Companion {
  public:
    Companion();
    // ProcessCall, then (on success) the getter of the request's code. Returns ProcessCall's
    // result; Records() holds what the getter delivered.
    int Call(IPOServiceRequest& request);
    const std::vector<void*>& Records() const;
    // Calls the getter of `code` on its own; Records() then holds what it delivered.
    int Deliver(uint16_t code);
    // The first delivered record as its answer interface (null when none was delivered).
    template <class Record>
    Record* First() const {
        return Records().empty() ? nullptr : static_cast<Record*>(Records().front());
    }
    void Initialize() { initialize_(); }

  private:
    fw::SharedLibrary library_;
    InitializeCorvexDllFn initialize_ = nullptr;
    ProcessCallFn processCall_ = nullptr;
    GetIPOWatchListInfoFn watchList_ = nullptr;
    GetIPOGetterFn getters_[5] = {};
};

// A zeroed request with the header filled as the bridge fills it for `userType`.
IPOServiceRequest NewRequest(uint16_t code, const std::string& url, uint16_t userType,
                             const std::string& userId, const std::string& clientId,
                             const std::string& clientCode);

// Makes `request` a new RETAIL order on AURORAGREEN paid through `upiId`: one bid of
// `quantity` shares at `price`, the other two rows blank.
void MakeRetailUpiOrder(IPOServiceRequest& request, const std::string& upiId, int32_t quantity,
                        double price);

}  // namespace harness
