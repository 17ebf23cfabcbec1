// The terminal's own settings files: one "key=value" line each, blank lines and lines starting
// with '#' or ';' ignored. The user's settings and the window geometry are kept this way.
#pragma once

#include <string>
#include <utility>
#include <vector>

using SettingsLines = std::vector<std::pair<std::string, std::string>>;

// The key and value of every line, in the file's order, blanks around each trimmed; false with
// the reason in `error` when the file cannot be read or a line has no '='.
bool ReadSettingsFile(const std::string& path, SettingsLines& lines, std::string& error);

// Sets each of `values` in the file (a key it has is replaced where it stands, a new one added
// at the end), keeping every other line; the file is made private to the user. False when it
// cannot be written.
bool UpdateSettingsFile(const std::string& path, const SettingsLines& values);
