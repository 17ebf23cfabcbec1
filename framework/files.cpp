#include "framework/files.h"

namespace fw {

std::optional<std::string> ReadFileHead(const std::string& path, size_t maxBytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        return std::nullopt;
    }
    std::string bytes(maxBytes, '\0');
    const size_t read = std::fread(bytes.data(), 1, maxBytes, file);
    std::fclose(file);
    bytes.resize(read);
    return bytes;
}

FileWriter::~FileWriter() { Close(); }

bool FileWriter::Open(const std::string& path) {
    Close();
    file_ = std::fopen(path.c_str(), "wb");
    failed_ = false;
    return file_ != nullptr;
}

void FileWriter::Write(std::string_view bytes) {
    if (file_ && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        failed_ = true;
    }
}

bool FileWriter::Close() {
    if (!file_) {
        return !failed_;
    }
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return closed && !failed_;
}

}  // namespace fw
