// A fw::Painter that draws with GDI on a device context (owner-drawn controls and status bars).
#pragma once

#include "framework/form.h"
#include "framework/win32/windows_api.h"

namespace fw::win32 {

class GdiPainter : public Painter {
  public:
    explicit GdiPainter(HDC dc);
    ~GdiPainter();
    GdiPainter(const GdiPainter&) = delete;
    GdiPainter& operator=(const GdiPainter&) = delete;

    void FillRect(const Rect& rect, Colour colour) override;
    void FrameRect(const Rect& rect, Colour colour) override;
    Size MeasureText(std::string_view text) override;
    void SetFont(const FontSpec& font) override;
    void SetTextColour(Colour colour) override;
    void SetTransparentBackground(bool transparent) override;
    void DrawText(Point at, Size size, std::string_view text, bool embossed) override;

  private:
    HDC dc_;
    int savedState_;
    HFONT font_ = nullptr;
};

}  // namespace fw::win32
