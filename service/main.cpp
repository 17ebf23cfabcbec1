// ipo-service: the reference IPO service. Serves HTTP/JSON over a SQLite store (on loopback, or
// over TLS beyond it), or runs one operator or user command against the store and exits.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <CLI/CLI.hpp>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "service/clock.h"
#include "service/issue_allotment.h"
#include "service/limits.h"
#include "service/operator.h"
#include "service/seed.h"
#include "service/server.h"
#include "service/service_log.h"
#include "service/sessions.h"
#include "service/store.h"
#include "service/user_types.h"

namespace {

// The packaged service's settings: the operator's commands read them when no --config is given.
constexpr const char* kSystemConfig = "/etc/ipo-service/ipo-service.conf";

struct UserCommand {
    std::string verb;  // "add" or "passwd"
    std::string userId;
    int userType = 0;
    std::string clientId;
    std::string name;
    std::string password;  // empty: one line from standard input
};

// An issue's close and allotment: finalise, verify or report.
struct IssueCommand {
    std::string verb;
    std::string issue;
    double price = 0;  // rupees
    std::string seed;
    std::string output;      // report: also written here
    allotment::Split split;  // shares per category
};

struct Options {
    std::string host = "127.0.0.1";
    int port = 8450;
    std::string db = "ipo-service.db";
    bool seedDemo = false;
    bool create = false;
    std::string log;
    long sessionSeconds = 12 * 60 * 60;
    unsigned idleSeconds = svc::kIdleSeconds;
    std::string tlsCert;
    std::string tlsKey;
    std::string tlsPriorities = svc::kTlsPriorities;
    std::vector<std::string> command;  // operator command after "order"
    UserCommand user;
    IssueCommand issue;
    std::string now;  // a fixed clock

    bool AdminCommand() const {
        return !command.empty() || !user.verb.empty() || !issue.verb.empty();
    }
};

// Reads the flags; a --help or --version request, or a flag that cannot be taken, ends here
// with its exit status in `exitStatus`.
bool ReadOptions(int argc, char** argv, Options& options, int& exitStatus) {
    CLI::App app("ipo-service: the reference IPO service", "ipo-service");
    app.set_version_flag("--version", IPO_SERVICE_VERSION);
    // A settings file of `name = value` lines (the flags' long names); flags given too win.
    CLI::Option* config =
        app.set_config("--config", "",
                       std::string("read settings from FILE first (order and user commands: ") +
                           kSystemConfig + " when there is one)");
    app.add_option("--host", options.host,
                   "address to listen on; beyond loopback only with --tls-cert and --tls-key")
        ->capture_default_str();
    app.add_option("--port", options.port, "port to listen on; 0 picks a free one")
        ->check(CLI::Range(0, 65535))
        ->capture_default_str();
    app.add_option("--db", options.db, "SQLite database")->capture_default_str();
    app.add_flag("--seed-demo", options.seedDemo,
                 "fill a new database with sample data dated from today, its users' passwords "
                 "the published demo ones");
    app.add_flag("--create", options.create,
                 "let an order or user command create the database when it does not exist");
    app.add_option("--log", options.log,
                   "append an access line per request and an audit line per order change here");
    app.add_option("--session-lifetime", options.sessionSeconds, "seconds a sign-in stays valid")
        ->check(CLI::Range(1L, 30L * 24 * 60 * 60))
        ->capture_default_str();
    app.add_option("--idle-timeout", options.idleSeconds,
                   "seconds after which a connection without traffic is closed")
        ->check(CLI::Range(1u, 3600u))
        ->capture_default_str();
    app.add_option("--tls-cert", options.tlsCert, "serve HTTPS with this PEM certificate chain")
        ->check(CLI::ExistingFile);
    app.add_option("--tls-key", options.tlsKey, "the PEM private key of --tls-cert")
        ->check(CLI::ExistingFile);
    app.add_option("--tls-priorities", options.tlsPriorities,
                   "the protocols and ciphers offered over TLS, as a GnuTLS priority string")
        ->capture_default_str();
    app.add_option("--now", options.now,
                   "fix the service's clock at this local time, YYYY-MM-DD HH:MM:SS (a rehearsal "
                   "of a closing day, a test)");
    // An operator's command acts on the installed service's store unless told otherwise.
    const auto readSystemConfig = [config](std::size_t) { config->default_str(kSystemConfig); };
    CLI::App* order = app.add_subcommand("order", "run one operator command on an order and exit");
    order->preparse_callback(readSystemConfig);
    order->add_option("number command argument", options.command)->required();

    CLI::App* user = app.add_subcommand("user", "add a user or set a user's password and exit");
    user->require_subcommand(1);
    user->preparse_callback(readSystemConfig);
    CLI::App* add = user->add_subcommand("add", "add a user with a password");
    add->add_option("user_id", options.user.userId)->required();
    add->add_option("user_type", options.user.userType, "23, 24 or 26")
        ->required()
        ->check(CLI::IsMember(std::vector<int>{svc::kInvestor, svc::kDealer, svc::kSelf}));
    add->add_option("--client", options.user.clientId,
                    "the client the user acts for (types 23 and 26; default: the user id)");
    add->add_option("--name", options.user.name, "the user's name");
    add->add_option("--password", options.user.password,
                    "the password (default: one line read from standard input)");
    add->callback([&options] { options.user.verb = "add"; });
    CLI::App* passwd = user->add_subcommand("passwd", "set a user's password; ends its sessions");
    passwd->add_option("user_id", options.user.userId)->required();
    passwd->add_option("--password", options.user.password,
                       "the password (default: one line read from standard input)");
    passwd->callback([&options] { options.user.verb = "passwd"; });
    // An issue command: its name, what it does, the issue it acts on.
    const auto issueCommand = [&options](CLI::App* parent, const char* verb,
                                         const char* description) {
        CLI::App* command = parent->add_subcommand(verb, description);
        command->add_option("issue", options.issue.issue)->required();
        command->callback([&options, verb] { options.issue.verb = verb; });
        return command;
    };
    CLI::App* issue = app.add_subcommand("issue", "close an issue's bidding with its allotment");
    issue->require_subcommand(1);
    issue->preparse_callback(readSystemConfig);
    CLI::App* finalise = issueCommand(
        issue, "finalise",
        "set a closed issue's price, allot it by a draw from the published seed, and write each "
        "order's allotted quantity, refund and payment status");
    finalise->add_option("--price", options.issue.price, "the issue price in rupees")
        ->required()
        ->check(CLI::PositiveNumber);
    finalise->add_option("--seed", options.issue.seed, "the published seed of the draw")
        ->required();
    CLI::App* split = issueCommand(
        issue, "split",
        "set the shares of each category of an issue not yet finalised (the net issue: at least "
        "35 % retail and 15 % non-institutional)");
    for (const auto& [name, shares] :
         {std::pair{"--retail", &options.issue.split.retail},
          {"--non-institutional", &options.issue.split.nonInstitutional},
          {"--institutional", &options.issue.split.institutional},
          {"--employee", &options.issue.split.employee},
          {"--shareholder", &options.issue.split.shareholder}}) {
        split->add_option(name, *shares, "shares")->check(CLI::NonNegativeNumber);
    }
    CLI::App* allotment =
        app.add_subcommand("allotment", "verify or report a finalised issue's allotment");
    allotment->require_subcommand(1);
    allotment->preparse_callback(readSystemConfig);
    issueCommand(allotment, "verify",
                 "recompute the allotment from the stored applications and the seed, and report "
                 "every stored result that differs (exit status 1)")
        ->add_option("--seed", options.issue.seed, "the published seed")
        ->required();
    issueCommand(allotment, "report", "print the basis of allotment as CSV")
        ->add_option("--output", options.issue.output, "also write the CSV to this file");
    try {
        app.parse(argc, argv);
        return true;
    } catch (const CLI::CallForHelp&) {
        std::cout << app.help() << "\noperator commands:\n" << svc::kOperatorUsage;
        exitStatus = 0;
    } catch (const CLI::CallForVersion&) {
        std::cout << "ipo-service " << IPO_SERVICE_VERSION << "\n";
        exitStatus = 0;
    } catch (const CLI::ParseError& error) {
        std::cerr << "ipo-service: " << error.what() << "\n";
        exitStatus = 2;
    }
    return false;
}

// True for "localhost" and for a numeric address in 127.0.0.0/8 or ::1; a name that merely
// begins like one ("127.0.0.1.example.com") is not.
bool Loopback(const std::string& host) {
    in_addr v4{};
    in6_addr v6{};
    if (inet_pton(AF_INET, host.c_str(), &v4) == 1) {
        return (ntohl(v4.s_addr) >> 24) == 127;
    }
    return host == "localhost" ||
           (inet_pton(AF_INET6, host.c_str(), &v6) == 1 && IN6_IS_ADDR_LOOPBACK(&v6));
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    if (!file) {
        throw std::runtime_error("cannot read " + path);
    }
    return text.str();
}

// Adds a user or sets a password; the password comes from the flag or standard input.
std::string RunUserCommand(svc::Store& store, UserCommand command) {
    if (command.password.empty()) {
        std::getline(std::cin, command.password);
        if (!command.password.empty() && command.password.back() == '\r') {
            command.password.pop_back();
        }
    }
    if (command.verb == "add") {
        svc::AddUser(store, command.userId, command.userType,
                     command.clientId.empty() ? command.userId : command.clientId, command.name,
                     command.password);
        return "user " + command.userId + " added";
    }
    svc::SetPassword(store, command.userId, command.password);
    return "password of " + command.userId + " set; its sessions are ended";
}

// The store an operator's or user command would change, as an absolute path.
std::string StoreName(const std::string& db) {
    return std::filesystem::absolute(db).lexically_normal().string();
}

// Why an order or user command must not run on the store `db`, or "" when it may: there is none
// (unless `create`), or root would act on a store of another user and leave files (its journal,
// a new log) that this user cannot open.
std::string AdminRefusal(const std::string& db, bool create, const std::string& storeName) {
    struct stat store {};
    if (stat(db.c_str(), &store) != 0) {
        if (errno != ENOENT) {
            return "cannot reach the store " + storeName + ": " + std::strerror(errno);
        }
        return create ? ""
                      : "there is no store " + storeName +
                            "; name it with --db or --config, or give --create to make it";
    }
    if (geteuid() != 0 || store.st_uid == 0) {
        return "";
    }
    const passwd* owner = getpwuid(store.st_uid);
    const std::string name = owner ? owner->pw_name : std::to_string(store.st_uid);
    return storeName + " belongs to " + name + ": run the command as that user (runuser -u " +
           name + " -- ipo-service ...)";
}

// Runs an issue command; gives its exit status.
int RunIssueCommand(svc::Store& store, const IssueCommand& command) {
    if (command.verb == "split") {
        std::cout << svc::SetIssueSplit(store, command.issue, command.split) << std::endl;
        return 0;
    }
    if (command.verb == "finalise") {
        const auto paise = static_cast<int64_t>(std::llround(command.price * 100));
        std::cout << svc::FinaliseIssue(store, command.issue, paise, command.seed) << std::endl;
        return 0;
    }
    if (command.verb == "verify") {
        bool agrees = false;
        std::cout << svc::VerifyAllotment(store, command.issue, command.seed, agrees) << std::endl;
        return agrees ? 0 : 1;
    }
    const std::string csv = svc::AllotmentReport(store, command.issue);
    if (!command.output.empty()) {
        std::ofstream file(command.output, std::ios::binary | std::ios::trunc);
        file << csv;
        if (!file.flush()) {
            throw std::runtime_error("cannot write " + command.output);
        }
    }
    std::cout << csv;
    return 0;
}

// Serves until SIGINT or SIGTERM; SIGHUP reopens the log (after it was rotated).
int Serve(svc::Store& store, const Options& options) {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    svc::Sessions sessions(store, std::chrono::seconds(options.sessionSeconds));
    svc::HttpLimits limits;
    limits.idleSeconds = options.idleSeconds;
    svc::IPOServer server(store, sessions, limits);
    int port = 0;
    try {
        if (!options.tlsCert.empty()) {
            server.Transport().UseTls(ReadWholeFile(options.tlsCert), ReadWholeFile(options.tlsKey),
                                      options.tlsPriorities);
        }
        port = server.Bind(options.host, options.port);
        server.Serve();
    } catch (const std::runtime_error& error) {
        std::cerr << "ipo-service: " << error.what() << "\n";
        return 1;
    }
    std::cout << "ipo-service listening on " << options.host << ":" << port
              << (options.tlsCert.empty() ? "" : " (https)") << std::endl;
    int signal = 0;
    while (sigwait(&signals, &signal) == 0 && signal == SIGHUP) {
        svc::ReopenLog();
    }
    server.Stop();
    // A request in progress finishes its work in the store; idle kept-alive connections are
    // not waited for.
    auto lock = store.Lock();
    svc::CloseLog();
    std::cout.flush();
    std::_Exit(0);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    int exitStatus = 0;
    if (!ReadOptions(argc, argv, options, exitStatus)) {
        return exitStatus;
    }
    if (options.tlsCert.empty() != options.tlsKey.empty()) {
        std::cerr << "ipo-service: --tls-cert and --tls-key go together\n";
        return 2;
    }
    if (!Loopback(options.host) && options.tlsCert.empty()) {
        std::cerr << "ipo-service: --host " << options.host
                  << " is not a loopback address; beyond loopback the service serves HTTPS only: "
                     "give --tls-cert and --tls-key\n";
        return 2;
    }
    const std::string storeName = StoreName(options.db);
    if (options.AdminCommand()) {
        const std::string refusal = AdminRefusal(options.db, options.create, storeName);
        if (!refusal.empty()) {
            std::cerr << "ipo-service: " << refusal << "\n";
            return 2;
        }
    }
    try {
        if (!options.now.empty()) {
            svc::SetClock(options.now);
        }
        svc::Store store(options.db);
        if (!options.log.empty()) {
            svc::OpenLog(options.log);
        }
        if (options.seedDemo && svc::Seed(store)) {
            std::cout << "ipo-service: seeded " << storeName << " with the demo data" << std::endl;
        }
        if (!options.command.empty()) {
            std::cout << svc::RunOperatorCommand(store, options.command) << " (store " << storeName
                      << ")" << std::endl;
            return 0;
        }
        if (!options.issue.verb.empty()) {
            return RunIssueCommand(store, options.issue);
        }
        if (!options.user.verb.empty()) {
            std::cout << RunUserCommand(store, options.user) << " (store " << storeName << ")"
                      << std::endl;
            return 0;
        }
        return Serve(store, options);
    } catch (const std::exception& error) {
        std::cerr << "ipo-service: " << error.what() << "\n";
        return 2;
    }
}
