#include "framework/wx/wx_painter.h"

#include <wx/control.h>
#include <wx/dcclient.h>
#include <wx/fontenum.h>
#include <wx/settings.h>

#include "framework/wx/wx_text.h"

namespace fw::wx {

wxColour ToWxColour(Colour colour) {
    return wxColour(colour.red, colour.green, colour.blue);
}

Colour FromWxColour(const wxColour& colour) {
    return {colour.Red(), colour.Green(), colour.Blue()};
}

wxFont ToWxFont(const FontSpec& font) {
    // The low nibble of pitchAndFamily is the pitch, the high one the family.
    wxFontFamily family = wxFONTFAMILY_DEFAULT;
    switch (font.pitchAndFamily & 0xF0) {
        case 0x10:
            family = wxFONTFAMILY_ROMAN;
            break;
        case 0x20:
            family = wxFONTFAMILY_SWISS;
            break;
        case 0x30:
            family = wxFONTFAMILY_MODERN;
            break;
        case 0x40:
            family = wxFONTFAMILY_SCRIPT;
            break;
        case 0x50:
            family = wxFONTFAMILY_DECORATIVE;
            break;
        default:
            break;
    }
    wxFontInfo info(wxSize(0, font.height));
    info.Family(family).Italic(font.italic).Underlined(font.underline).Weight(font.weight);
    const wxString face = ToWx(font.face);
    if (!face.empty() && wxFontEnumerator::IsValidFacename(face)) {
        info.FaceName(face);
    }
    return wxFont(info);
}

DcPainter::DcPainter(wxDC& dc)
    : dc_(dc), previousFont_(dc.GetFont()), previousMode_(dc.GetBackgroundMode()) {}

DcPainter::~DcPainter() {
    dc_.SetFont(previousFont_);
    dc_.SetBackgroundMode(previousMode_);
}

// Empty or inverted rectangles draw nothing (the device refuses them).
void DcPainter::FillRect(const Rect& rect, Colour colour) {
    if (rect.Width() <= 0 || rect.Height() <= 0) {
        return;
    }
    dc_.SetPen(*wxTRANSPARENT_PEN);
    dc_.SetBrush(wxBrush(ToWxColour(colour)));
    dc_.DrawRectangle(rect.left, rect.top, rect.Width(), rect.Height());
}

void DcPainter::FrameRect(const Rect& rect, Colour colour) {
    if (rect.Width() <= 0 || rect.Height() <= 0) {
        return;
    }
    dc_.SetPen(wxPen(ToWxColour(colour)));
    dc_.SetBrush(*wxTRANSPARENT_BRUSH);
    dc_.DrawRectangle(rect.left, rect.top, rect.Width(), rect.Height());
}

Size DcPainter::MeasureText(std::string_view text) {
    const wxSize extent = dc_.GetTextExtent(ToWx(text));
    return {extent.x, extent.y};
}

void DcPainter::SetFont(const FontSpec& font) {
    dc_.SetFont(ToWxFont(font));
}

void DcPainter::SetTextColour(Colour colour) {
    dc_.SetTextForeground(ToWxColour(colour));
}

void DcPainter::SetTransparentBackground(bool transparent) {
    dc_.SetBackgroundMode(transparent ? wxBRUSHSTYLE_TRANSPARENT : wxBRUSHSTYLE_SOLID);
}

void DcPainter::DrawText(Point at, Size size, std::string_view text, bool embossed) {
    // An ampersand marks the next character as a mnemonic: it is not drawn itself.
    if (size.width <= 0 || size.height <= 0) {
        return;
    }
    const wxString label = wxControl::RemoveMnemonics(ToWx(text));
    wxDCClipper clip(dc_, at.x, at.y, size.width, size.height);
    if (embossed) {
        const wxColour previous = dc_.GetTextForeground();
        dc_.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNHIGHLIGHT));
        dc_.DrawText(label, at.x + 1, at.y + 1);
        dc_.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW));
        dc_.DrawText(label, at.x, at.y);
        dc_.SetTextForeground(previous);
        return;
    }
    dc_.DrawText(label, at.x, at.y);
}

}  // namespace fw::wx
