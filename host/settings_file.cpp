#include "host/settings_file.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "base/text.h"
#include "host/terminal_folders.h"

namespace {

bool Ignored(const std::string& line) {
    return line.empty() || line[0] == '#' || line[0] == ';';
}

std::vector<std::string> FileLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

std::string KeyOf(const std::string& line) {
    return base::Trim(line.substr(0, line.find('=')));
}

}  // namespace

bool ReadSettingsFile(const std::string& path, SettingsLines& lines, std::string& error) {
    std::ifstream file(path);
    std::error_code ignored;
    if (!file || std::filesystem::is_directory(path, ignored)) {
        error = "The settings file " + path + " cannot be read";
        return false;
    }
    file.close();
    int number = 0;
    for (const std::string& raw : FileLines(path)) {
        ++number;
        const std::string line = base::Trim(raw);
        if (Ignored(line)) {
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string::npos) {
            error = "Line " + std::to_string(number) + " of the settings file " + path +
                    " is not key=value";
            return false;
        }
        lines.emplace_back(KeyOf(line), base::Trim(line.substr(equals + 1)));
    }
    return true;
}

bool UpdateSettingsFile(const std::string& path, const SettingsLines& values) {
    const std::filesystem::path file(path);
    if (!MakePrivateFolder(file.parent_path().string())) {
        return false;
    }
    std::vector<std::string> lines = FileLines(path);
    // Private before anything is written into it, whatever the umask.
    std::error_code ignored;
    if (!std::filesystem::exists(file, ignored)) {
        std::ofstream(path).close();
    }
    if (!MakePrivateFile(path)) {
        return false;
    }
    for (const auto& [key, value] : values) {
        const std::string line = key + "=" + value;
        auto found = std::find_if(lines.begin(), lines.end(), [&key](const std::string& kept) {
            const std::string trimmed = base::Trim(kept);
            return !Ignored(trimmed) && trimmed.find('=') != std::string::npos &&
                   KeyOf(trimmed) == key;
        });
        if (found == lines.end()) {
            lines.push_back(line);
        } else {
            *found = line;
        }
    }
    std::ofstream out(path, std::ios::trunc);
    for (const std::string& line : lines) {
        out << line << '\n';
    }
    return static_cast<bool>(out.flush());
}
