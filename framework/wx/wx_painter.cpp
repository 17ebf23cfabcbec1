#include "framework/wx/wx_painter.h"

#include <gtk/gtk.h>

#include <wx/control.h>
#include <wx/dcclient.h>
#include <wx/fontenum.h>
#include <wx/settings.h>

#include <utility>

#include "framework/wx/wx_text.h"

namespace fw::wx {

void PaintNow(wxWindow& window) {
    // A paint forced before the layout drew a just-added MDI tab that had no size yet (a Gtk
    // warning): the top-level window takes its pending sizes first.
    GtkWidget* top = window.GetHandle() ? gtk_widget_get_toplevel(window.GetHandle()) : nullptr;
    if (top && GTK_IS_CONTAINER(top)) {
        gtk_container_check_resize(GTK_CONTAINER(top));
    }
    window.Update();
}

wxColour ToWxColour(Colour colour) {
    return wxColour(colour.red, colour.green, colour.blue);
}

// The layouts name Windows faces; this desktop draws them in the metric-compatible faces it
// has, so that texts take the room the layouts give them. Other faces are used when installed.
wxFont FontWithFace(wxFontInfo info, const char* face) {
    static const std::pair<const char*, const char*> kDesktopFaces[] = {
        {"MS Shell Dlg", "Liberation Sans"},
        {"MS Sans Serif", "Liberation Sans"},
        {"Microsoft Sans Serif", "Liberation Sans"},
        {"Arial", "Liberation Sans"},
    };
    wxString name = ToWx(face ? face : "");
    for (const auto& [windowsFace, desktopFace] : kDesktopFaces) {
        if (name.IsSameAs(windowsFace, false)) {
            name = desktopFace;
        }
    }
    if (!name.empty() && wxFontEnumerator::IsValidFacename(name)) {
        info.FaceName(name);
    }
    return wxFont(info);
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
    return FontWithFace(info, font.face.c_str());
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

// The size is the measured extent of the text; nothing is drawn for an empty one. The text is
// clipped only by its window, so a link drawn in a font wider than the one it was measured in
// is still shown whole.
void DcPainter::DrawText(Point at, Size size, std::string_view text, bool embossed) {
    if (size.width <= 0 || size.height <= 0) {
        return;
    }
    // An ampersand marks the next character as a mnemonic: it is not drawn itself.
    const wxString label = wxControl::RemoveMnemonics(ToWx(text));
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
