// The one place where the platform's folder separator and library suffix are chosen.
#pragma once

// The printf dialect that format checks assume: MinGW's C++ runtime formats as the C standard
// says (%zu, %lld), where a plain "printf" check would assume the older Windows dialect.
#ifdef __MINGW32__
#define IPO_PRINTF_FORMAT gnu_printf
#else
#define IPO_PRINTF_FORMAT printf
#endif

namespace base {

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
constexpr const char* kLibrarySuffix = ".dll";
#else
constexpr char kPathSeparator = '/';
constexpr const char* kLibrarySuffix = ".so";
#endif

}  // namespace base
