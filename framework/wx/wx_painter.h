// fw::Painter over a wxDC: what owner-drawn controls and bars draw through on screen.
#pragma once

#include <wx/dc.h>
#include <wx/window.h>

#include "framework/form.h"

namespace fw::wx {

// Paints the window at once, after GTK has laid out what is pending in its top-level window.
void PaintNow(wxWindow& window);

wxColour ToWxColour(Colour colour);
wxFont ToWxFont(const FontSpec& font);
// The font of `info` in the face named, or in the desktop's stand-in for a Windows face.
wxFont FontWithFace(wxFontInfo info, const char* face);

class DcPainter : public Painter {
  public:
    explicit DcPainter(wxDC& dc);
    ~DcPainter();
    DcPainter(const DcPainter&) = delete;
    DcPainter& operator=(const DcPainter&) = delete;

    void FillRect(const Rect& rect, Colour colour) override;
    void FrameRect(const Rect& rect, Colour colour) override;
    Size MeasureText(std::string_view text) override;
    void SetFont(const FontSpec& font) override;
    void SetTextColour(Colour colour) override;
    void SetTransparentBackground(bool transparent) override;
    void DrawText(Point at, Size size, std::string_view text, bool embossed) override;

  private:
    wxDC& dc_;
    // Restored when painting ends, as a device context's selections are.
    wxFont previousFont_;
    int previousMode_;
};

}  // namespace fw::wx
