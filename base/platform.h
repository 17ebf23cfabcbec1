// The one place where the platform's folder separator, library suffix, user folders and file
// guards are chosen.
#pragma once

// The printf dialect that format checks assume: MinGW's C++ runtime formats as the C standard
// says (%zu, %lld), where a plain "printf" check would assume the older Windows dialect.
#ifdef __MINGW32__
#define IPO_PRINTF_FORMAT gnu_printf
#else
#define IPO_PRINTF_FORMAT printf
#endif

namespace base {

// Where a user's own files go: the environment variable naming the folder, else this folder
// under the home folder ($HOME).
struct UserFolderPlace {
    const char* variable;
    const char* underHome;
};

// kModeBitsGuardFiles: whether a file's mode bits say who else may read it (on Windows access
// lists decide). kUsersMakeLinks: whether an ordinary user may make symbolic links (Windows
// asks for a privilege).
#ifdef _WIN32
constexpr char kPathSeparator = '\\';
constexpr const char* kLibrarySuffix = ".dll";
constexpr bool kModeBitsGuardFiles = false;
constexpr bool kUsersMakeLinks = false;
constexpr UserFolderPlace kUserConfigFolder{"APPDATA", "AppData/Roaming"};
constexpr UserFolderPlace kUserDataFolder{"LOCALAPPDATA", "AppData/Local"};
constexpr UserFolderPlace kUserStateFolder{"LOCALAPPDATA", "AppData/Local"};
#else
constexpr char kPathSeparator = '/';
constexpr const char* kLibrarySuffix = ".so";
constexpr bool kModeBitsGuardFiles = true;
constexpr bool kUsersMakeLinks = true;
constexpr UserFolderPlace kUserConfigFolder{"XDG_CONFIG_HOME", ".config"};
constexpr UserFolderPlace kUserDataFolder{"XDG_DATA_HOME", ".local/share"};
constexpr UserFolderPlace kUserStateFolder{"XDG_STATE_HOME", ".local/state"};
#endif

}  // namespace base
