#include "companion/settings.h"

#include <dlfcn.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "base/text.h"

namespace corvex {
namespace {

constexpr int kLongestTimeoutMs = 600'000;

// A timeout text: whole milliseconds from 1 to ten minutes; anything else keeps `current`.
int Milliseconds(const std::string& text, int current) {
    const std::string trimmed = base::Trim(text);
    const int32_t value = base::ToLong(trimmed);
    if (value < 1 || value > kLongestTimeoutMs || std::to_string(value) != trimmed) {
        return current;
    }
    return value;
}

// A byte count from 1 KiB to 4 GiB; anything else keeps `current`.
int64_t Bytes(const std::string& text, int64_t current) {
    const std::string trimmed = base::Trim(text);
    char* end = nullptr;
    const long long value = std::strtoll(trimmed.c_str(), &end, 10);
    if (trimmed.empty() || *end != '\0' || value < 1024 || value > (int64_t{4} << 30)) {
        return current;
    }
    return value;
}

std::string LibraryFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&LoadTimeouts), &info) == 0 || !info.dli_fname) {
        return "";
    }
    const std::string path = info.dli_fname;
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

void ReadFile(Timeouts& timeouts) {
    std::ifstream file(LibraryFolder() + "/Corvexdll64.conf");
    std::string line;
    while (std::getline(file, line)) {
        const size_t equals = line.find('=');
        if (line.empty() || line[0] == '#' || equals == std::string::npos) {
            continue;
        }
        const std::string key = base::Trim(line.substr(0, equals));
        const std::string value = line.substr(equals + 1);
        if (key == "connect_timeout_ms") {
            timeouts.connectMs = Milliseconds(value, timeouts.connectMs);
        } else if (key == "timeout_ms") {
            timeouts.readMs = Milliseconds(value, timeouts.readMs);
        } else if (key == "answer_max_bytes") {
            timeouts.answerMaxBytes = Bytes(value, timeouts.answerMaxBytes);
        }
    }
}

void ReadEnvironment(Timeouts& timeouts) {
    if (const char* value = std::getenv("CORVEX_CONNECT_TIMEOUT_MS")) {
        timeouts.connectMs = Milliseconds(value, timeouts.connectMs);
    }
    if (const char* value = std::getenv("CORVEX_TIMEOUT_MS")) {
        timeouts.readMs = Milliseconds(value, timeouts.readMs);
    }
    if (const char* value = std::getenv("CORVEX_ANSWER_MAX_BYTES")) {
        timeouts.answerMaxBytes = Bytes(value, timeouts.answerMaxBytes);
    }
}

}  // namespace

Timeouts LoadTimeouts() {
    Timeouts timeouts;
    ReadFile(timeouts);
    ReadEnvironment(timeouts);
    return timeouts;
}

}  // namespace corvex
