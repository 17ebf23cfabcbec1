// Library loading on Windows: a library is loaded with its own folder searched for its
// dependencies (LOAD_WITH_ALTERED_SEARCH_PATH, which wants a full path with backslashes).
#include <windows.h>
#include <shlwapi.h>

#include "framework/shared_library.h"

namespace fw {

bool FileExists(const std::string& path) {
    return ::PathFileExistsA(path.c_str()) != FALSE;
}

SharedLibrary::~SharedLibrary() = default;  // libraries stay loaded until the process ends

bool SharedLibrary::Load(const std::string& path) {
    handle_ = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    return handle_ != nullptr;
}

void* SharedLibrary::Resolve(const char* name) const {
    if (!handle_) {
        return nullptr;
    }
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(handle_), name));
}

std::string ProgramFolder() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);  // cut: try a larger buffer
    }
    return path.substr(0, path.find_last_of('\\'));
}

}  // namespace fw
