#include "framework/files.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <share.h>
#endif

namespace fw {

std::optional<std::string> ReadFileHead(const std::string& path, size_t maxBytes) {
    // A folder opens for reading on some platforms and fails only at the read: anything that
    // is not a regular file counts as not opened.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
#ifdef _WIN32
    // Others may go on reading the file, but none may write it while it is read: a file that
    // someone holds open for writing does not open.
    std::FILE* file = ::_fsopen(path.c_str(), "rb", _SH_DENYWR);
#else
    std::FILE* file = std::fopen(path.c_str(), "rb");
#endif
    if (!file) {
        return std::nullopt;
    }
    std::string bytes(maxBytes, '\0');
    const size_t read = std::fread(bytes.data(), 1, maxBytes, file);
    const bool unreadable = read == 0 && std::ferror(file);
    std::fclose(file);
    if (unreadable) {
        return std::nullopt;
    }
    bytes.resize(read);  // a short read keeps what was read
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
