// The few files the plug-in touches: the terms file it reads and the export files it writes.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace fw {

// Reads up to maxBytes from the start of a regular file; nothing when the path is not a
// readable regular file (missing, a folder, no permission; on Windows also a file that is open
// for writing elsewhere, since it is opened with writing denied to others).
std::optional<std::string> ReadFileHead(const std::string& path, size_t maxBytes);

// A file opened for writing, created or emptied; bytes are written as given.
class FileWriter {
public:
    FileWriter() = default;
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    bool Open(const std::string& path);
    void Write(std::string_view bytes);
    bool Close();  // false when a write failed

private:
    std::FILE* file_ = nullptr;
    bool failed_ = false;
};

}  // namespace fw
