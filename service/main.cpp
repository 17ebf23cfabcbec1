// ipo-service: the reference IPO service. Serves HTTP/JSON on loopback over a SQLite store, or
// runs one operator command against the store and exits.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <stdexcept>
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
    bool help = false;
    std::vector<std::string> command;  // operator command after "order"
};

void PrintUsage() {
    std::cout << "usage: ipo-service [--host ADDRESS] [--port N] [--db FILE] [--seed]\n"
                 "       ipo-service --db FILE order <number> <command> [argument]\n\n"
                 "  --host ADDRESS  address to listen on (default 127.0.0.1)\n"
                 "  --port N        port to listen on; 0 picks a free one (default 8450)\n"
                 "  --db FILE       SQLite database (default ipo-service.db)\n"
                 "  --seed          fill a new database with sample data dated from today\n"
                 "  --help          this text\n\n"
                 "operator commands:\n"
              << svc::kOperatorUsage;
}

int PortNumber(const std::string& text) {
    size_t used = 0;
    const int port = std::stoi(text, &used);
    if (used != text.size() || port < 0 || port > 65535) {
        throw std::invalid_argument("bad port");
    }
    return port;
}

Options ReadOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                throw std::invalid_argument(word + " needs a value");
            }
            return argv[++i];
        };
        if (word == "--host") {
            options.host = value();
        } else if (word == "--port") {
            options.port = PortNumber(value());
        } else if (word == "--db") {
            options.db = value();
        } else if (word == "--seed") {
            options.seed = true;
        } else if (word == "--help" || word == "-h") {
            options.help = true;
        } else if (word == "order") {
            options.command.assign(argv + i + 1, argv + argc);
            break;
        } else {
            throw std::invalid_argument("unknown option " + word);
        }
    }
    return options;
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
    try {
        const Options options = ReadOptions(argc, argv);
        if (options.help) {
            PrintUsage();
            return 0;
        }
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
