// ipo-service: the reference IPO service. Serves HTTP/JSON on loopback over a SQLite store, or
// runs one operator command against the store and exits.
#include <CLI/CLI.hpp>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "service/operator.h"
#include "service/seed.h"
#include "service/server.h"
#include "service/store.h"

namespace {

struct Options {
    std::string host = "127.0.0.1";
    int port = 8450;
    std::string db = "ipo-service.db";
    bool seed = false;
    std::vector<std::string> command;  // operator command after "order"
};

// Reads the flags; a --help or --version request, or a flag that cannot be taken, ends here
// with its exit status in `exitStatus`.
bool ReadOptions(int argc, char** argv, Options& options, int& exitStatus) {
    CLI::App app("ipo-service: the reference IPO service", "ipo-service");
    app.set_version_flag("--version", IPO_SERVICE_VERSION);
    // A settings file of `name = value` lines (the flags' long names); flags given too win.
    app.set_config("--config", "", "read settings from FILE first");
    app.add_option("--host", options.host, "address to listen on")->capture_default_str();
    app.add_option("--port", options.port, "port to listen on; 0 picks a free one")
        ->check(CLI::Range(0, 65535))
        ->capture_default_str();
    app.add_option("--db", options.db, "SQLite database")->capture_default_str();
    app.add_flag("--seed", options.seed, "fill a new database with sample data dated from today");
    CLI::App* order = app.add_subcommand("order", "run one operator command on an order and exit");
    order->add_option("number command argument", options.command)->required();
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

// Loopback addresses only: requests travel in clear text, so nothing beyond this machine may
// reach them.
bool Loopback(const std::string& host) {
    return host == "localhost" || host == "::1" || host.rfind("127.", 0) == 0;
}

// Serves until SIGINT or SIGTERM.
int Serve(svc::Store& store, const Options& options) {
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    svc::IPOServer server(store);
    int port = 0;
    try {
        port = server.Bind(options.host, options.port);
        server.Serve();
    } catch (const std::runtime_error& error) {
        std::cerr << "ipo-service: " << error.what() << "\n";
        return 1;
    }
    std::cout << "ipo-service listening on " << options.host << ":" << port << std::endl;
    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.Stop();
    // A request in progress finishes its work in the store; idle kept-alive connections are
    // not waited for.
    auto lock = store.Lock();
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
    if (!Loopback(options.host)) {
        std::cerr << "ipo-service: --host " << options.host
                  << " is not a loopback address; requests travel in clear text, so the service "
                     "listens on loopback only\n";
        return 2;
    }
    try {
        svc::Store store(options.db);
        if (options.seed && svc::Seed(store)) {
            std::cout << "ipo-service: seeded " << options.db << std::endl;
        }
        if (!options.command.empty()) {
            std::cout << svc::RunOperatorCommand(store, options.command) << std::endl;
            return 0;
        }
        return Serve(store, options);
    } catch (const std::exception& error) {
        std::cerr << "ipo-service: " << error.what() << "\n";
        return 2;
    }
}
