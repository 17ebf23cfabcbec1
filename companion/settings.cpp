#include "companion/settings.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/platform.h"
#include "base/text.h"
#include "companion/library_folder.h"

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

// A file name: the text without surrounding blanks; relative names are taken from `folder`.
// A name from the root folder of the current drive ("/tmp/ca.pem" on Windows) is kept as it is.
std::string FileName(const std::string& text, const std::string& folder) {
    const std::string name = base::Trim(text);
    const std::filesystem::path path(name);
    return name.empty() || path.is_absolute() || path.has_root_directory()
               ? name
               : folder + base::kPathSeparator + name;
}

void ReadFile(ChannelSettings& settings) {
    const std::string folder = LibraryFolder();
    std::ifstream file(folder + base::kPathSeparator + "Corvexdll64.conf");
    std::string line;
    while (std::getline(file, line)) {
        const size_t equals = line.find('=');
        if (line.empty() || line[0] == '#' || equals == std::string::npos) {
            continue;
        }
        const std::string key = base::Trim(line.substr(0, equals));
        const std::string value = line.substr(equals + 1);
        if (key == "connect_timeout_ms") {
            settings.connectMs = Milliseconds(value, settings.connectMs);
        } else if (key == "timeout_ms") {
            settings.readMs = Milliseconds(value, settings.readMs);
        } else if (key == "answer_max_bytes") {
            settings.answerMaxBytes = Bytes(value, settings.answerMaxBytes);
        } else if (key == "idle_ms") {
            settings.idleMs = Milliseconds(value, settings.idleMs);
        } else if (key == "ca_file") {
            settings.caFile = FileName(value, folder);
        }
    }
}

void ReadEnvironment(ChannelSettings& settings) {
    if (const char* value = std::getenv("CORVEX_CONNECT_TIMEOUT_MS")) {
        settings.connectMs = Milliseconds(value, settings.connectMs);
    }
    if (const char* value = std::getenv("CORVEX_TIMEOUT_MS")) {
        settings.readMs = Milliseconds(value, settings.readMs);
    }
    if (const char* value = std::getenv("CORVEX_ANSWER_MAX_BYTES")) {
        settings.answerMaxBytes = Bytes(value, settings.answerMaxBytes);
    }
    if (const char* value = std::getenv("CORVEX_IDLE_MS")) {
        settings.idleMs = Milliseconds(value, settings.idleMs);
    }
    if (const char* value = std::getenv("CORVEX_CA_FILE")) {
        settings.caFile = FileName(value, ".");
    }
}

}  // namespace

ChannelSettings LoadSettings() {
    ChannelSettings settings;
    ReadFile(settings);
    ReadEnvironment(settings);
    return settings;
}

}  // namespace corvex
