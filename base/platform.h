// The one place where the platform's folder separator and library suffix are chosen.
#pragma once

namespace base {

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
constexpr const char* kLibrarySuffix = ".dll";
#else
constexpr char kPathSeparator = '/';
constexpr const char* kLibrarySuffix = ".so";
#endif

}  // namespace base
