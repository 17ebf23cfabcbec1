#include "framework/win32/win32_painter.h"

#include "framework/win32/win32_text.h"

namespace fw::win32 {
namespace {

COLORREF ToColorRef(Colour colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

RECT ToRect(const Rect& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace

GdiPainter::GdiPainter(HDC dc) : dc_(dc), savedState_(SaveDC(dc)) {}

GdiPainter::~GdiPainter() {
    RestoreDC(dc_, savedState_);
    if (font_) {
        DeleteObject(font_);
    }
}

void GdiPainter::FillRect(const Rect& rect, Colour colour) {
    HBRUSH brush = CreateSolidBrush(ToColorRef(colour));
    const RECT area = ToRect(rect);
    ::FillRect(dc_, &area, brush);
    DeleteObject(brush);
}

void GdiPainter::FrameRect(const Rect& rect, Colour colour) {
    HBRUSH brush = CreateSolidBrush(ToColorRef(colour));
    const RECT area = ToRect(rect);
    ::FrameRect(dc_, &area, brush);
    DeleteObject(brush);
}

Size GdiPainter::MeasureText(std::string_view text) {
    const std::wstring wide = Wide(text);
    SIZE extent{};
    GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &extent);
    return {extent.cx, extent.cy};
}

void GdiPainter::SetFont(const FontSpec& font) {
    HFONT created =
        CreateFontW(-font.height, 0, 0, 0, font.weight, font.italic, font.underline, FALSE,
                    static_cast<DWORD>(font.charSet), static_cast<DWORD>(font.outPrecision),
                    static_cast<DWORD>(font.clipPrecision), static_cast<DWORD>(font.quality),
                    static_cast<DWORD>(font.pitchAndFamily), Wide(font.face).c_str());
    SelectObject(dc_, created);
    if (font_) {
        DeleteObject(font_);
    }
    font_ = created;
}

void GdiPainter::SetTextColour(Colour colour) {
    SetTextColor(dc_, ToColorRef(colour));
}

void GdiPainter::SetTransparentBackground(bool transparent) {
    SetBkMode(dc_, transparent ? TRANSPARENT : OPAQUE);
}

// Embossed text is the disabled look: a highlight one pixel down and right under a grey copy.
void GdiPainter::DrawText(Point at, Size size, std::string_view text, bool embossed) {
    const std::wstring wide = Wide(text);
    const int length = static_cast<int>(wide.size());
    RECT area{at.x, at.y, at.x + size.width, at.y + size.height};
    if (!embossed) {
        ExtTextOutW(dc_, at.x, at.y, ETO_CLIPPED, &area, wide.c_str(), static_cast<UINT>(length),
                    nullptr);
        return;
    }
    const COLORREF previous = SetTextColor(dc_, GetSysColor(COLOR_3DHILIGHT));
    const int mode = SetBkMode(dc_, TRANSPARENT);
    OffsetRect(&area, 1, 1);
    ExtTextOutW(dc_, at.x + 1, at.y + 1, ETO_CLIPPED, &area, wide.c_str(),
                static_cast<UINT>(length), nullptr);
    OffsetRect(&area, -1, -1);
    SetTextColor(dc_, GetSysColor(COLOR_GRAYTEXT));
    ExtTextOutW(dc_, at.x, at.y, ETO_CLIPPED, &area, wide.c_str(), static_cast<UINT>(length),
                nullptr);
    SetBkMode(dc_, mode);
    SetTextColor(dc_, previous);
}

}  // namespace fw::win32
