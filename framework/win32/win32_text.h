// Texts cross the framework boundary as UTF-8 and the Win32 API as UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace fw::win32 {

std::wstring Wide(std::string_view text);
std::string Narrow(std::wstring_view text);

}  // namespace fw::win32
