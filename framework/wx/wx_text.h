// Conversions between the framework's 8-bit texts and wxString.
#pragma once

#include <wx/string.h>

#include <string>
#include <string_view>

namespace fw::wx {

// Texts are UTF-8; a text that is not valid UTF-8 is read as Latin-1 so that nothing is lost.
inline wxString ToWx(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    wxString converted = wxString::FromUTF8(text.data(), text.size());
    if (converted.empty()) {
        converted = wxString(text.data(), wxConvISO8859_1, text.size());
    }
    return converted;
}

inline std::string FromWx(const wxString& text) {
    const wxScopedCharBuffer utf8 = text.utf8_str();
    return std::string(utf8.data(), utf8.length());
}

}  // namespace fw::wx
