#include <windows.h>

#include "companion/library_folder.h"

namespace corvex {

std::string LibraryFolder() {
    HMODULE module = nullptr;
    char path[MAX_PATH];
    if (!GetModuleHandleExA(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCSTR>(&LibraryFolder), &module)) {
        return ".";
    }
    const DWORD length = GetModuleFileNameA(module, path, sizeof path);
    if (length == 0 || length == sizeof path) {
        return ".";
    }
    const std::string file(path, length);
    const size_t slash = file.find_last_of("\\/");
    return slash == std::string::npos ? "." : file.substr(0, slash);
}

}  // namespace corvex
