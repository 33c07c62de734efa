// The drawing context over a GDI device with a GDI+ surface: images with
// opacity, fills, gradients, anti-aliased shapes and text through GDI+;
// blits, raster operations, device lines and clipping through GDI.
#include "pal/CPalDC.h"

#include "pal/CPalColor.h"
#include "pal/CPalFont.h"
#include "pal/IPalBitmap.h"
#include "pal/Utf8ToUtf16.h"
#include "pal/win32/PalWin32.h"

#include <cmath>
#include <numbers>
#include <cstring>
#include <memory>
#include <vector>

namespace ZVNPal {

using namespace Win32;
using Gdiplus::Graphics;

namespace {

// Texts up to this length are converted on the stack.
constexpr int kStackTextUnits = 260;
// The longest text drawn, in UTF-16 units; longer text is cut.
constexpr int kMaxTextUnits = 1 << 20;

HDC Dc(PalNativeDevice device) { return static_cast<HDC>(device); }

Gdiplus::Image* Image(IPalBitmap* bitmap)
{
    return bitmap ? static_cast<Gdiplus::Image*>(bitmap->GetImage()) : nullptr;
}

Graphics* Gfx(void* surface) { return static_cast<Graphics*>(surface); }

// The selected font, or the device's own when none is selected. A device's
// own font may be a raster font, which GDI+ cannot draw: the system's sans
// serif face at 12 pixels stands in for it.
std::unique_ptr<Gdiplus::Font> TextFont(IPalFont* selected, HDC device)
{
    constexpr float kStandInPixels = 12.0f;
    auto* font = dynamic_cast<CPalFont*>(selected);
    const HFONT native = font && font->IsCreated() ? static_cast<HFONT>(font->GetHandle())
                                                   : static_cast<HFONT>(::GetCurrentObject(device, OBJ_FONT));
    auto made = std::make_unique<Gdiplus::Font>(device, native);
    if (made->GetLastStatus() != Gdiplus::Ok)
        made = std::make_unique<Gdiplus::Font>(Gdiplus::FontFamily::GenericSansSerif(), kStandInPixels,
                                               Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    return made;
}

// Text laid out tightly from its origin, trailing spaces counted.
void SetUpFormat(Gdiplus::StringFormat& format, int align)
{
    format.SetFormatFlags(format.GetFormatFlags() | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    format.SetAlignment(align == kPalAlignRight    ? Gdiplus::StringAlignmentFar
                        : align == kPalAlignCentre ? Gdiplus::StringAlignmentCenter
                                                   : Gdiplus::StringAlignmentNear);
}

void AddFigure(Gdiplus::GraphicsPath& figure, const PalPath& path)
{
    std::vector<Gdiplus::Point> points;
    points.reserve(path.points.size());
    for (const PalPoint& p : path.points)
        points.emplace_back(p.x, p.y);
    figure.AddLines(points.data(), static_cast<INT>(points.size()));
    if (path.closed)
        figure.CloseFigure();
}

// Saves the surface's state and restores it when the scope ends.
class SavedState {
public:
    explicit SavedState(Graphics& g) : m_g(g), m_state(g.Save()) {}
    ~SavedState() { m_g.Restore(m_state); }
    SavedState(const SavedState&) = delete;
    SavedState& operator=(const SavedState&) = delete;

private:
    Graphics& m_g;
    Gdiplus::GraphicsState m_state;
};

} // namespace

CPalDC::CPalDC(PalNativeDevice device) { SetDevice(device); }

void CPalDC::SetDevice(PalNativeDevice device, void* surface)
{
    delete Gfx(m_pSurface);
    m_pSurface = nullptr;
    m_hDevice = device;
    auto* graphics = static_cast<Graphics*>(surface);
    if (!graphics && device)
        graphics = new Graphics(Dc(device));
    if (graphics && graphics->GetLastStatus() != Gdiplus::Ok) {
        // GDI+ is not running: the context has no drawing surface.
        delete graphics;
        graphics = nullptr;
    }
    if (graphics)
        graphics->SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    m_pSurface = graphics;
}

CPalDC::~CPalDC() { delete Gfx(m_pSurface); }

void CPalDC::FlushSurface()
{
    if (Gfx(m_pSurface))
        Gfx(m_pSurface)->Flush(Gdiplus::FlushIntentionSync);
    ::GdiFlush();
}

void CPalDC::NoteStatus()
{
    if (Gfx(m_pSurface) && Gfx(m_pSurface)->GetLastStatus() != Gdiplus::Ok)
        m_nStatus = Gfx(m_pSurface)->GetLastStatus();
}

PalResult CPalDC::BlitRop(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                          std::int32_t sourceX, std::int32_t sourceY, std::uint32_t rop)
{
    if (!m_hDevice)
        return kPalUnexpected;
    FlushSurface();
    const bool done = ::BitBlt(Dc(m_hDevice), x, y, width, height, nullptr, sourceX, sourceY, rop);
    ::GdiFlush();
    return done ? kPalOk : kPalUnexpected;
}

PalResult CPalDC::Blit(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, IPalDC* source,
                       std::int32_t sourceX, std::int32_t sourceY, std::uint32_t rop)
{
    if (!m_hDevice || !source || !source->GetHandle())
        return kPalUnexpected;
    if (auto* from = dynamic_cast<CPalDC*>(source))
        from->FlushSurface();
    FlushSurface();
    const bool done =
        ::BitBlt(Dc(m_hDevice), x, y, width, height, Dc(source->GetHandle()), sourceX, sourceY, rop);
    ::GdiFlush();
    return done ? kPalOk : kPalUnexpected;
}

void CPalDC::DrawPixels(const void* pixels, std::uint32_t byteCount, std::uint32_t stride, std::int32_t x,
                        std::int32_t y, std::int32_t width, std::int32_t height, std::int32_t sourceX,
                        std::int32_t sourceY)
{
    if (!m_hDevice || !pixels || stride < 4 || byteCount < stride)
        return;
    const std::int32_t imageWidth = static_cast<std::int32_t>(stride / 4);
    const std::int32_t imageHeight = static_cast<std::int32_t>(byteCount / stride);
    CPalRect part;
    if (!part.Intersect(CPalRect(sourceX, sourceY, width, height), CPalRect(0, 0, imageWidth, imageHeight)))
        return;
    // A bottom-up 32-bit device-independent bitmap, copied plainly.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = imageWidth;
    info.bmiHeader.biHeight = imageHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    FlushSurface();
    // The copy's source rectangle counts rows from the bottom of the image.
    ::StretchDIBits(Dc(m_hDevice), x + part.Left() - sourceX, y + part.Top() - sourceY, part.Width(), part.Height(),
                    part.Left(), imageHeight - part.Bottom(), part.Width(), part.Height(), pixels, &info,
                    DIB_RGB_COLORS, SRCCOPY);
    ::GdiFlush();
}

PalResult CPalDC::DrawBitmap(IPalBitmap* bitmap, std::int32_t x, std::int32_t y, std::int32_t width,
                             std::int32_t height, std::int32_t sourceX, std::int32_t sourceY, float opacity)
{
    if (!Gfx(m_pSurface))
        return kPalFail;
    Gdiplus::Image* image = Image(bitmap);
    if (!image || width <= 0 || height <= 0)
        return kPalOk;
    SavedState saved(*Gfx(m_pSurface));
    // One image pixel to one device pixel, unblurred.
    Gfx(m_pSurface)->SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    Gfx(m_pSurface)->SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    const Gdiplus::Rect to(x, y, width, height);
    if (opacity >= 1.0f) {
        Gfx(m_pSurface)->DrawImage(image, to, sourceX, sourceY, width, height, Gdiplus::UnitPixel);
    } else {
        // The identity, with every pixel's alpha scaled by the opacity.
        Gdiplus::ColorMatrix matrix{};
        for (int i = 0; i < 5; ++i)
            matrix.m[i][i] = 1.0f;
        matrix.m[3][3] = opacity > 0.0f ? opacity : 0.0f;
        Gdiplus::ImageAttributes attributes;
        attributes.SetColorMatrix(&matrix);
        Gfx(m_pSurface)->DrawImage(image, to, sourceX, sourceY, width, height, Gdiplus::UnitPixel, &attributes);
    }
    NoteStatus();
    return kPalOk;
}

void CPalDC::DrawBitmapAt(IPalBitmap* bitmap, std::int32_t x, std::int32_t y)
{
    if (bitmap)
        DrawBitmap(bitmap, x, y, bitmap->Width(), bitmap->Height(), 0, 0, 1.0f);
}

void CPalDC::DrawBitmapStretched(IPalBitmap* bitmap, const CPalRect& rect)
{
    Gdiplus::Image* image = Image(bitmap);
    if (!Gfx(m_pSurface) || !image || rect.IsEmpty())
        return;
    SavedState saved(*Gfx(m_pSurface));
    Gfx(m_pSurface)->SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBilinear);
    Gfx(m_pSurface)->SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    // Edge pixels are repeated outwards, so the border does not fade.
    Gdiplus::ImageAttributes attributes;
    attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    Gfx(m_pSurface)->DrawImage(image, Gdiplus::Rect(rect.Left(), rect.Top(), rect.Width(), rect.Height()), 0, 0,
                       static_cast<INT>(image->GetWidth()), static_cast<INT>(image->GetHeight()), Gdiplus::UnitPixel,
                       &attributes);
    NoteStatus();
}

void CPalDC::FillTransparent(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height)
{
    FillRect(x, y, width, height, CPalColor(0u));
}

void CPalDC::DrawRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                      const IPalColor& colour)
{
    if (!Gfx(m_pSurface))
        return;
    const Gdiplus::Pen pen(ToColor(colour.GetARGB()), 1.0f);
    Gfx(m_pSurface)->DrawRectangle(&pen, x, y, width, height);
    NoteStatus();
}

void CPalDC::FillRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                      const IPalColor& colour)
{
    if (!Gfx(m_pSurface))
        return;
    SavedState saved(*Gfx(m_pSurface)); // also keeps the smoothing mode
    Gfx(m_pSurface)->SetSmoothingMode(Gdiplus::SmoothingModeNone);
    Gfx(m_pSurface)->SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    const Gdiplus::SolidBrush brush(ToColor(colour.GetARGB()));
    Gfx(m_pSurface)->FillRectangle(&brush, x, y, width, height);
    NoteStatus();
}

void CPalDC::FillRectRadial(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                            const IPalColor& centre, const IPalColor& surround)
{
    if (!Gfx(m_pSurface) || width <= 0 || height <= 0)
        return;
    Gdiplus::GraphicsPath area;
    area.AddRectangle(Gdiplus::Rect(x, y, width, height));
    Gdiplus::PathGradientBrush brush(&area);
    brush.SetCenterColor(ToColor(centre.GetARGB()));
    Gdiplus::Color edge = ToColor(surround.GetARGB());
    INT count = 1;
    brush.SetSurroundColors(&edge, &count);
    Gfx(m_pSurface)->FillRectangle(&brush, x, y, width, height);
    NoteStatus();
}

void CPalDC::FillRectLinear(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                            const IPalColor& colour1, const IPalColor& colour2, float angle)
{
    if (!Gfx(m_pSurface) || width <= 0 || height <= 0)
        return;
    // The gradient line runs along the angle through the centre, long
    // enough that the extreme corners get the pure end colours; mirrored
    // tiles keep the colours beyond its ends from wrapping round.
    const double radians = angle * std::numbers::pi / 180.0;
    const double dx = std::cos(radians), dy = std::sin(radians);
    const double reach = (std::abs(dx) * width + std::abs(dy) * height) / 2.0;
    const double cx = x + width / 2.0, cy = y + height / 2.0;
    const Gdiplus::PointF from(static_cast<float>(cx - dx * reach), static_cast<float>(cy - dy * reach));
    const Gdiplus::PointF to(static_cast<float>(cx + dx * reach), static_cast<float>(cy + dy * reach));
    Gdiplus::LinearGradientBrush brush(from, to, ToColor(colour1.GetARGB()), ToColor(colour2.GetARGB()));
    brush.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    const Gdiplus::Rect area(x, y, width, height);
    Gfx(m_pSurface)->FillRectangle(&brush, area);
    NoteStatus();
}

void CPalDC::DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, const IPalColor& colour)
{
    if (!Gfx(m_pSurface))
        return;
    const Gdiplus::Pen pen(ToColor(colour.GetARGB()), 1.0f);
    Gfx(m_pSurface)->DrawLine(&pen, x1, y1, x2, y2);
    NoteStatus();
}

void CPalDC::DrawLineDevice(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                            const IPalColor& colour)
{
    if (!m_hDevice)
        return;
    const std::uint32_t argb = colour.GetARGB();
    HPEN pen = ::CreatePen(PS_SOLID, 1, RGB(argb >> 16 & 0xFF, argb >> 8 & 0xFF, argb & 0xFF));
    FlushSurface();
    HGDIOBJ previous = ::SelectObject(Dc(m_hDevice), pen);
    ::MoveToEx(Dc(m_hDevice), x1, y1, nullptr);
    ::LineTo(Dc(m_hDevice), x2, y2);
    ::SelectObject(Dc(m_hDevice), previous);
    ::DeleteObject(pen);
    ::GdiFlush();
}

void CPalDC::DrawEllipse(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                         const IPalColor& colour)
{
    if (!Gfx(m_pSurface) || width <= 0 || height <= 0)
        return;
    const Gdiplus::Pen pen(ToColor(colour.GetARGB()), 1.0f);
    Gfx(m_pSurface)->DrawEllipse(&pen, x, y, width, height);
    NoteStatus();
}

void CPalDC::FillEllipse(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                         const IPalColor& colour)
{
    if (!Gfx(m_pSurface) || width <= 0 || height <= 0)
        return;
    const Gdiplus::SolidBrush brush(ToColor(colour.GetARGB()));
    Gfx(m_pSurface)->FillEllipse(&brush, x, y, width, height);
    NoteStatus();
}

void CPalDC::DrawConverted(std::int32_t x, std::int32_t y, const char* text, bool utf8, const CPalRect* clip,
                           const IPalColor* colour)
{
    if (!text || !*text)
        return;
    const int length = static_cast<int>(::strnlen(text, kMaxTextUnits));
    // Each byte gives at most one unit; short texts stay on the stack.
    char16_t onStack[kStackTextUnits] = {};
    std::unique_ptr<char16_t[]> onHeap;
    char16_t* units = onStack;
    if (length >= kStackTextUnits) {
        onHeap = std::make_unique<char16_t[]>(static_cast<std::size_t>(length) + 1);
        units = onHeap.get();
    }
    if (utf8) {
        Utf8ToUtf16(text, length, units, length);
    } else {
        ::MultiByteToWideChar(CP_ACP, 0, text, length, reinterpret_cast<wchar_t*>(units), length);
    }
    DrawTextWide(x, y, units, clip, colour);
}

void CPalDC::DrawTextLocal(std::int32_t x, std::int32_t y, const char* text, const CPalRect* clip,
                           const IPalColor* colour)
{
    DrawConverted(x, y, text, false, clip, colour);
}

void CPalDC::DrawTextUtf8(std::int32_t x, std::int32_t y, const char* text, const CPalRect* clip,
                          const IPalColor* colour)
{
    DrawConverted(x, y, text, true, clip, colour);
}

void CPalDC::DrawTextWide(std::int32_t x, std::int32_t y, const char16_t* text, const CPalRect* clip,
                          const IPalColor* colour)
{
    if (!Gfx(m_pSurface) || !text || !*text)
        return;
    const std::unique_ptr<Gdiplus::Font> font = TextFont(m_pFont, Dc(m_hDevice));
    if (font->GetLastStatus() != Gdiplus::Ok)
        return;
    SavedState saved(*Gfx(m_pSurface));
    Gfx(m_pSurface)->SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
    if (clip)
        Gfx(m_pSurface)->SetClip(Gdiplus::Rect(clip->Left(), clip->Top(), clip->Width(), clip->Height()));
    Gdiplus::StringFormat format(Gdiplus::StringFormat::GenericTypographic());
    SetUpFormat(format, m_nAlign);
    const Gdiplus::SolidBrush brush(ToColor(colour ? colour->GetARGB() : m_nTextColor));
    Gfx(m_pSurface)->DrawString(reinterpret_cast<const wchar_t*>(text), -1, font.get(),
                        Gdiplus::PointF(static_cast<float>(x), static_cast<float>(y)), &format, &brush);
    NoteStatus();
}

void CPalDC::DrawPath(const PalPath& path, const IPalColor& colour, float penWidth)
{
    if (!Gfx(m_pSurface) || path.points.size() < 2)
        return;
    SavedState saved(*Gfx(m_pSurface));
    Gfx(m_pSurface)->SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    const Gdiplus::Pen pen(ToColor(colour.GetARGB()), penWidth > 0.0f ? penWidth : 1.0f);
    Gdiplus::GraphicsPath figure;
    AddFigure(figure, path);
    Gfx(m_pSurface)->DrawPath(&pen, &figure);
    NoteStatus();
}

void CPalDC::FillPath(const PalPath& path, const IPalColor& colour)
{
    if (!Gfx(m_pSurface) || path.points.size() < 3)
        return;
    SavedState saved(*Gfx(m_pSurface));
    Gfx(m_pSurface)->SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    const Gdiplus::SolidBrush brush(ToColor(colour.GetARGB()));
    Gdiplus::GraphicsPath figure;
    AddFigure(figure, path);
    figure.CloseFigure();
    Gfx(m_pSurface)->FillPath(&brush, &figure);
    NoteStatus();
}

PalResult CPalDC::MeasureText(std::int32_t* width, std::int32_t* height, const char* text)
{
    if (!Gfx(m_pSurface))
        return kPalUnexpected;
    if (!width || !height || !text)
        return kPalInvalidArg;
    const std::wstring units = Widen(text, kMaxTextUnits);
    const std::unique_ptr<Gdiplus::Font> font = TextFont(m_pFont, Dc(m_hDevice));
    Gdiplus::StringFormat format(Gdiplus::StringFormat::GenericTypographic());
    SetUpFormat(format, kPalAlignLeft);
    Gdiplus::RectF box;
    if (font->GetLastStatus() != Gdiplus::Ok ||
        Gfx(m_pSurface)->MeasureString(units.c_str(), static_cast<INT>(units.size()), font.get(), Gdiplus::PointF(0.0f, 0.0f),
                               &format, &box) != Gdiplus::Ok)
        return kPalFail;
    *width = static_cast<std::int32_t>(box.Width);
    *height = static_cast<std::int32_t>(box.Height);
    return kPalOk;
}

PalClipRegion CPalDC::SetClipRect(const CPalRect& rect)
{
    if (!m_hDevice)
        return nullptr;
    HRGN region = ::CreateRectRgn(rect.Left(), rect.Top(), rect.Right(), rect.Bottom());
    ::SelectClipRgn(Dc(m_hDevice), region);
    if (Gfx(m_pSurface))
        Gfx(m_pSurface)->SetClip(Gdiplus::Rect(rect.Left(), rect.Top(), rect.Width(), rect.Height()));
    return region;
}

void CPalDC::ResetClip(PalClipRegion region)
{
    if (!m_hDevice)
        return;
    ::SelectClipRgn(Dc(m_hDevice), nullptr);
    if (Gfx(m_pSurface))
        Gfx(m_pSurface)->ResetClip();
    if (region)
        ::DeleteObject(static_cast<HRGN>(region));
}

} // namespace ZVNPal
