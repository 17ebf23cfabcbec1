// ipo-terminal.exe: the desktop trading terminal hosting the IPO plug-in, on Win32.
#include <string>
#include <vector>

#include "framework/win32/win32_text.h"
#include "framework/win32/win32_user.h"
#include "host/screenshot_session.h"
#include "host/win32/win32_screen.h"
#include "host/win32/win32_terminal.h"

#include <shellapi.h>  // after windows.h, which the framework's headers bring

namespace {

using fw::win32::Narrow;

// The arguments as typed, in UTF-8 (argv holds them in the ANSI code page).
std::vector<std::string> Arguments() {
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) {
        arguments.push_back(Narrow(words[i]));
    }
    LocalFree(words);
    return arguments;
}

// The folder of the executable: the plug-in and the framework lie beside it.
std::string ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = 0;
    while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) ==
           path.size()) {
        path.resize(path.size() * 2);
    }
    path.resize(length);
    return Narrow(path.substr(0, path.find_last_of(L"\\/")));
}

}  // namespace

int main() {
    const SettingsResult read = ReadTerminalSettings(Arguments(), UserSettingsFile());
    if (!read.settings) {
        return PrintSettingsAnswer(read);
    }
    Win32Terminal terminal(*read.settings, ProgramFolder());
    int status = 0;
    if (terminal.core().Start() && !read.settings->screenshotDirectory.empty()) {
        ScreenshotSession session(terminal.core(), read.settings->screenshotDirectory,
                                  SaveScreenAsPng);
        fw::win32::Win32User ui(terminal.backend());
        status = session.Run(ui) ? 0 : 1;
        terminal.core().Exit();
    }
    RunTerminalMessages(terminal);
    return status;
}
