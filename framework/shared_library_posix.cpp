// Library loading on POSIX systems (dlopen with local symbol scope).
#include <dlfcn.h>
#include <sys/stat.h>

#include <filesystem>
#include <system_error>

#include "framework/shared_library.h"

namespace fw {

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

SharedLibrary::~SharedLibrary() = default;  // libraries stay loaded until the process ends

bool SharedLibrary::Load(const std::string& path) {
    handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    return handle_ != nullptr;
}

void* SharedLibrary::Resolve(const char* name) const {
    return handle_ ? ::dlsym(handle_, name) : nullptr;
}

std::string ProgramFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : program.parent_path().string();
}

}  // namespace fw
