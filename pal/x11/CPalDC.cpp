// The drawing context over a cairo context: images, fills, gradients, lines,
// shapes and text.
#include "pal/CPalDC.h"

#include "pal/CPalColor.h"
#include "pal/CPalFont.h"
#include "pal/CPalBitmap.h"
#include "pal/Utf8ToUtf16.h"
#include "pal/x11/PalText.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <vector>

namespace ZVNPal {

namespace {

cairo_t* Cr(PalNativeDevice device) { return static_cast<cairo_t*>(device); }

void SetSource(cairo_t* cr, std::uint32_t argb)
{
    cairo_set_source_rgba(cr, (argb >> 16 & 0xFF) / 255.0, (argb >> 8 & 0xFF) / 255.0, (argb & 0xFF) / 255.0,
                          (argb >> 24 & 0xFF) / 255.0);
}

void AddStop(cairo_pattern_t* pattern, double offset, std::uint32_t argb)
{
    cairo_pattern_add_color_stop_rgba(pattern, offset, (argb >> 16 & 0xFF) / 255.0, (argb >> 8 & 0xFF) / 255.0,
                                      (argb & 0xFF) / 255.0, (argb >> 24 & 0xFF) / 255.0);
}

void SetCorner(cairo_pattern_t* mesh, unsigned corner, std::uint32_t argb)
{
    cairo_mesh_pattern_set_corner_color_rgba(mesh, corner, (argb >> 16 & 0xFF) / 255.0, (argb >> 8 & 0xFF) / 255.0,
                                             (argb & 0xFF) / 255.0, (argb >> 24 & 0xFF) / 255.0);
}

void EllipsePath(cairo_t* cr, double x, double y, double width, double height)
{
    cairo_save(cr);
    cairo_translate(cr, x + width / 2.0, y + height / 2.0);
    cairo_scale(cr, width / 2.0, height / 2.0);
    cairo_new_path(cr);
    cairo_arc(cr, 0.0, 0.0, 1.0, 0.0, 2.0 * std::numbers::pi);
    cairo_restore(cr);
}

void FigurePath(cairo_t* cr, const PalPath& path)
{
    cairo_new_path(cr);
    for (const PalPoint& p : path.points)
        cairo_line_to(cr, p.x + 0.5, p.y + 0.5);
    if (path.closed)
        cairo_close_path(cr);
}

double DeviceScale(cairo_t* cr)
{
    double x = 1.0, y = 1.0;
    cairo_surface_get_device_scale(cairo_get_target(cr), &x, &y);
    return x;
}

// The picture that suits the device: the twice-size one where a unit is more
// than one pixel and the bitmap has it.
cairo_surface_t* Image(IPalBitmap* bitmap, cairo_t* cr)
{
    if (!bitmap)
        return nullptr;
    const auto* own = dynamic_cast<const CPalBitmap*>(bitmap);
    if (own && own->GetDetailedImage() && DeviceScale(cr) > 1.0)
        return static_cast<cairo_surface_t*>(own->GetDetailedImage());
    return static_cast<cairo_surface_t*>(bitmap->GetImage());
}

// Between the sizes the pictures were drawn at, pixels are blended, not repeated.
void FilterForScale(cairo_t* cr)
{
    if (DeviceScale(cr) != 1.0)
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
}

} // namespace

CPalDC::CPalDC(PalNativeDevice device) { SetDevice(device); }

void CPalDC::SetDevice(PalNativeDevice device)
{
    m_hDevice = device;
    if (device)
        cairo_set_antialias(Cr(device), CAIRO_ANTIALIAS_DEFAULT);
}

CPalDC::~CPalDC() = default;

void CPalDC::NoteStatus()
{
    if (m_hDevice && cairo_status(Cr(m_hDevice)) != CAIRO_STATUS_SUCCESS)
        m_nStatus = cairo_status(Cr(m_hDevice));
}

PalResult CPalDC::BlitRop(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, std::int32_t,
                          std::int32_t, std::uint32_t rop)
{
    if (!m_hDevice)
        return kPalUnexpected;
    cairo_t* cr = Cr(m_hDevice);
    cairo_save(cr);
    cairo_rectangle(cr, x, y, width, height);
    switch (rop) {
    case kPalRopBlack:
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_rgba(cr, 0, 0, 0, 1);
        break;
    case kPalRopWhite:
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_rgba(cr, 1, 1, 1, 1);
        break;
    case kPalRopInvert:
        cairo_set_operator(cr, CAIRO_OPERATOR_DIFFERENCE);
        cairo_set_source_rgba(cr, 1, 1, 1, 1);
        break;
    default:
        cairo_restore(cr);
        return kPalUnexpected;
    }
    cairo_fill(cr);
    cairo_restore(cr);
    NoteStatus();
    return kPalOk;
}

PalResult CPalDC::Blit(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, IPalDC* source,
                       std::int32_t sourceX, std::int32_t sourceY, std::uint32_t rop)
{
    if (!m_hDevice || !source || !source->GetHandle() || rop != kPalRopCopy)
        return kPalUnexpected;
    cairo_t* cr = Cr(m_hDevice);
    cairo_surface_t* from = cairo_get_target(Cr(source->GetHandle()));
    // A copy within one surface goes through a snapshot of the source area.
    cairo_surface_t* copy = nullptr;
    if (from == cairo_get_target(cr)) {
        copy = cairo_surface_create_similar(from, CAIRO_CONTENT_COLOR_ALPHA, std::max(width, 1), std::max(height, 1));
        cairo_t* c = cairo_create(copy);
        cairo_set_operator(c, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(c, from, -sourceX, -sourceY);
        cairo_paint(c);
        cairo_destroy(c);
        from = copy;
        sourceX = sourceY = 0;
    }
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, from, x - sourceX, y - sourceY);
    FilterForScale(cr);
    cairo_rectangle(cr, x, y, width, height);
    cairo_fill(cr);
    cairo_restore(cr);
    if (copy)
        cairo_surface_destroy(copy);
    NoteStatus();
    return cairo_status(cr) == CAIRO_STATUS_SUCCESS ? kPalOk : kPalUnexpected;
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
    // Rows arrive bottom-up; the copy turns them top-down and opaque, as a
    // plain device copy ignores alpha.
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, part.Width(), part.Height());
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(image);
        return;
    }
    unsigned char* data = cairo_image_surface_get_data(image);
    const int imageStride = cairo_image_surface_get_stride(image);
    const auto* bytes = static_cast<const unsigned char*>(pixels);
    for (std::int32_t row = 0; row < part.Height(); ++row) {
        const std::int32_t sourceRow = imageHeight - 1 - (part.Top() + row);
        std::memcpy(data + row * imageStride, bytes + std::size_t(sourceRow) * stride + std::size_t(part.Left()) * 4,
                    std::size_t(part.Width()) * 4);
    }
    cairo_surface_mark_dirty(image);
    cairo_t* cr = Cr(m_hDevice);
    const std::int32_t toX = x + part.Left() - sourceX;
    const std::int32_t toY = y + part.Top() - sourceY;
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, image, toX, toY);
    cairo_rectangle(cr, toX, toY, part.Width(), part.Height());
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_surface_destroy(image);
    NoteStatus();
}

PalResult CPalDC::DrawBitmap(IPalBitmap* bitmap, std::int32_t x, std::int32_t y, std::int32_t width,
                             std::int32_t height, std::int32_t sourceX, std::int32_t sourceY, float opacity)
{
    if (!m_hDevice)
        return kPalFail;
    cairo_t* cr = Cr(m_hDevice);
    cairo_surface_t* image = Image(bitmap, cr);
    if (!image || width <= 0 || height <= 0)
        return kPalOk;
    cairo_save(cr);
    cairo_rectangle(cr, x, y, width, height);
    cairo_clip(cr);
    cairo_set_source_surface(cr, image, x - sourceX, y - sourceY);
    FilterForScale(cr);
    if (opacity < 1.0f)
        cairo_paint_with_alpha(cr, std::max(0.0f, opacity));
    else
        cairo_paint(cr);
    cairo_restore(cr);
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
    if (!m_hDevice)
        return;
    cairo_t* cr = Cr(m_hDevice);
    cairo_surface_t* image = Image(bitmap, cr);
    if (!image || bitmap->Width() <= 0 || bitmap->Height() <= 0 || rect.IsEmpty())
        return;
    cairo_save(cr);
    cairo_rectangle(cr, rect.Left(), rect.Top(), rect.Width(), rect.Height());
    cairo_clip(cr);
    cairo_translate(cr, rect.Left(), rect.Top());
    cairo_scale(cr, double(rect.Width()) / bitmap->Width(), double(rect.Height()) / bitmap->Height());
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint(cr);
    cairo_restore(cr);
    NoteStatus();
}

void CPalDC::FillTransparent(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height)
{
    FillRect(x, y, width, height, CPalColor(0u));
}

void CPalDC::DrawRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                      const IPalColor& colour)
{
    if (!m_hDevice)
        return;
    cairo_t* cr = Cr(m_hDevice);
    cairo_save(cr);
    SetSource(cr, colour.GetARGB());
    cairo_set_line_width(cr, 1.0);
    cairo_rectangle(cr, x + 0.5, y + 0.5, width, height);
    cairo_stroke(cr);
    cairo_restore(cr);
    NoteStatus();
}

void CPalDC::FillRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                      const IPalColor& colour)
{
    if (!m_hDevice)
        return;
    cairo_t* cr = Cr(m_hDevice);
    cairo_save(cr); // also keeps the smoothing mode
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    SetSource(cr, colour.GetARGB());
    cairo_rectangle(cr, x, y, width, height);
    cairo_fill(cr);
    cairo_restore(cr);
    NoteStatus();
}

void CPalDC::FillRectRadial(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                            const IPalColor& centre, const IPalColor& surround)
{
    if (!m_hDevice || width <= 0 || height <= 0)
        return;
    // A path gradient over the rectangle: four triangles from the centre,
    // each fading to the surround colour at its outer edge.
    const double cx = x + width / 2.0, cy = y + height / 2.0;
    const double corners[5][2] = {{double(x), double(y)},
                                  {double(x + width), double(y)},
                                  {double(x + width), double(y + height)},
                                  {double(x), double(y + height)},
                                  {double(x), double(y)}};
    cairo_pattern_t* mesh = cairo_pattern_create_mesh();
    for (int side = 0; side < 4; ++side) {
        cairo_mesh_pattern_begin_patch(mesh);
        cairo_mesh_pattern_move_to(mesh, cx, cy);
        cairo_mesh_pattern_line_to(mesh, corners[side][0], corners[side][1]);
        cairo_mesh_pattern_line_to(mesh, corners[side + 1][0], corners[side + 1][1]);
        SetCorner(mesh, 0, centre.GetARGB());
        SetCorner(mesh, 1, surround.GetARGB());
        SetCorner(mesh, 2, surround.GetARGB());
        SetCorner(mesh, 3, centre.GetARGB());
        cairo_mesh_pattern_end_patch(mesh);
    }
    cairo_t* cr = Cr(m_hDevice);
    cairo_save(cr);
    cairo_set_source(cr, mesh);
    cairo_rectangle(cr, x, y, width, height);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_pattern_destroy(mesh);
    NoteStatus();
}

void CPalDC::FillRectLinear(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                            const IPalColor& colour1, const IPalColor& colour2, float angle)
{
    if (!m_hDevice || width <= 0 || height <= 0)
        return;
    // The gradient line runs along the angle through the centre, long
    // enough that the extreme corners get the pure end colours.
    const double radians = angle * std::numbers::pi / 180.0;
    const double dx = std::cos(radians), dy = std::sin(radians);
    const double reach = (std::abs(dx) * width + std::abs(dy) * height) / 2.0;
    const double cx = x + width / 2.0, cy = y + height / 2.0;
    cairo_pattern_t* pattern = cairo_pattern_create_linear(cx - dx * reach, cy - dy * reach, cx + dx * reach,
                                                           cy + dy * reach);
    AddStop(pattern, 0.0, colour1.GetARGB());
    AddStop(pattern, 1.0, colour2.GetARGB());
    cairo_t* cr = Cr(m_hDevice);
    cairo_save(cr);
    cairo_set_source(cr, pattern);
    cairo_rectangle(cr, x, y, width, height);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_pattern_destroy(pattern);
    NoteStatus();
}

void CPalDC::DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, const IPalColor& colour)
{
    DrawPath(PalPath{{{x1, y1}, {x2, y2}}, false}, colour, 1.0f);
}

void CPalDC::DrawLineDevice(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                            const IPalColor& colour)
{
    if (!m_hDevice)
        return;
    cairo_t* cr = Cr(m_hDevice);
    cairo_save(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    FigurePath(cr, PalPath{{{x1, y1}, {x2, y2}}, false});
    SetSource(cr, colour.GetARGB());
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    cairo_restore(cr);
    NoteStatus();
}

void CPalDC::DrawEllipse(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                         const IPalColor& colour)
{
    if (!m_hDevice || width <= 0 || height <= 0)
        return;
    cairo_t* cr = Cr(m_hDevice);
    cairo_save(cr);
    EllipsePath(cr, x + 0.5, y + 0.5, width, height);
    SetSource(cr, colour.GetARGB());
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    cairo_restore(cr);
    NoteStatus();
}

void CPalDC::FillEllipse(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                         const IPalColor& colour)
{
    if (!m_hDevice || width <= 0 || height <= 0)
        return;
    cairo_t* cr = Cr(m_hDevice);
    cairo_save(cr);
    EllipsePath(cr, x, y, width, height);
    SetSource(cr, colour.GetARGB());
    cairo_fill(cr);
    cairo_restore(cr);
    NoteStatus();
}

void CPalDC::DrawTextLocal(std::int32_t x, std::int32_t y, const char* text, const CPalRect* clip,
                           const IPalColor* colour)
{
    DrawUtf8(x, y, PalText::FromLocal(text).c_str(), clip, colour);
}

void CPalDC::DrawTextUtf8(std::int32_t x, std::int32_t y, const char* text, const CPalRect* clip,
                          const IPalColor* colour)
{
    // Through the validating cut (no length limit) so malformed bytes never reach cairo.
    DrawUtf8(x, y, PalText::Utf8Limited(text, SIZE_MAX).c_str(), clip, colour);
}

void CPalDC::DrawTextWide(std::int32_t x, std::int32_t y, const char16_t* text, const CPalRect* clip,
                          const IPalColor* colour)
{
    DrawUtf8(x, y, Utf16ToUtf8(text).c_str(), clip, colour);
}

void CPalDC::ApplyFont()
{
    cairo_t* cr = Cr(m_hDevice);
    auto* font = dynamic_cast<CPalFont*>(m_pFont);
    if (!font || !font->IsCreated())
        return;
    cairo_set_font_face(cr, static_cast<cairo_font_face_t*>(font->GetHandle()));
    const double height = font->PixelHeight();
    const double width = font->PixelWidth();
    cairo_matrix_t matrix;
    // A width is an average character width, about half the em of the face.
    cairo_matrix_init_scale(&matrix, width > 0.0 ? 2.0 * width : height, height);
    cairo_set_font_matrix(cr, &matrix);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    if (font->Quality() == kPalQualityAliased)
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_NONE);
    else if (font->Quality() == kPalQualityAntialiased)
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

void CPalDC::DrawUtf8(std::int32_t x, std::int32_t y, const char* text, const CPalRect* clip,
                      const IPalColor* colour)
{
    if (!m_hDevice || !text || !*text)
        return;
    cairo_t* cr = Cr(m_hDevice);
    cairo_save(cr);
    ApplyFont();
    if (clip) {
        cairo_rectangle(cr, clip->Left(), clip->Top(), clip->Width(), clip->Height());
        cairo_clip(cr);
    }
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text, &extents);
    double left = x;
    if (m_nAlign == kPalAlignRight)
        left -= extents.x_advance;
    else if (m_nAlign == kPalAlignCentre)
        left -= extents.x_advance / 2.0;
    const double baseline = y + font.ascent;
    SetSource(cr, colour ? colour->GetARGB() : m_nTextColor);
    cairo_move_to(cr, left, baseline);
    cairo_show_text(cr, text);
    auto* selected = dynamic_cast<CPalFont*>(m_pFont);
    if (selected && (selected->Underline() || selected->StrikeOut())) {
        const double thickness = std::max(1.0, font.ascent / 12.0);
        cairo_set_line_width(cr, thickness);
        if (selected->Underline()) {
            cairo_move_to(cr, left, baseline + thickness * 1.5);
            cairo_rel_line_to(cr, extents.x_advance, 0.0);
        }
        if (selected->StrikeOut()) {
            cairo_move_to(cr, left, baseline - font.ascent / 3.0);
            cairo_rel_line_to(cr, extents.x_advance, 0.0);
        }
        cairo_stroke(cr);
    }
    cairo_restore(cr);
    NoteStatus();
}

void CPalDC::DrawPath(const PalPath& path, const IPalColor& colour, float penWidth)
{
    if (!m_hDevice || path.points.size() < 2)
        return;
    cairo_t* cr = Cr(m_hDevice);
    cairo_save(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_BEST);
    FigurePath(cr, path);
    SetSource(cr, colour.GetARGB());
    cairo_set_line_width(cr, penWidth > 0.0f ? penWidth : 1.0);
    cairo_stroke(cr);
    cairo_restore(cr);
    NoteStatus();
}

void CPalDC::FillPath(const PalPath& path, const IPalColor& colour)
{
    if (!m_hDevice || path.points.size() < 3)
        return;
    cairo_t* cr = Cr(m_hDevice);
    cairo_save(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_BEST);
    cairo_new_path(cr);
    for (const PalPoint& p : path.points)
        cairo_line_to(cr, p.x, p.y);
    cairo_close_path(cr);
    SetSource(cr, colour.GetARGB());
    cairo_fill(cr);
    cairo_restore(cr);
    NoteStatus();
}

PalResult CPalDC::MeasureText(std::int32_t* width, std::int32_t* height, const char* text)
{
    if (!m_hDevice)
        return kPalUnexpected;
    if (!width || !height || !text)
        return kPalInvalidArg;
    const std::string valid = PalText::Utf8Limited(text, SIZE_MAX);
    cairo_t* cr = Cr(m_hDevice);
    cairo_save(cr);
    ApplyFont();
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, valid.c_str(), &extents);
    const bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    cairo_restore(cr);
    if (!ok)
        return kPalFail;
    *width = static_cast<std::int32_t>(extents.x_advance);
    *height = static_cast<std::int32_t>(font.height);
    return kPalOk;
}

PalClipRegion CPalDC::SetClipRect(const CPalRect& rect)
{
    if (!m_hDevice)
        return nullptr;
    cairo_t* cr = Cr(m_hDevice);
    cairo_save(cr);
    cairo_rectangle(cr, rect.Left(), rect.Top(), rect.Width(), rect.Height());
    cairo_clip(cr);
    ++m_nClipDepth;
    return m_hDevice; // the saved state is the region; ResetClip restores it
}

void CPalDC::ResetClip(PalClipRegion region)
{
    // An unmatched restore would put the cairo context into an error state for good.
    if (m_hDevice && region == m_hDevice && m_nClipDepth > 0) {
        --m_nClipDepth;
        cairo_restore(Cr(m_hDevice));
    }
}

} // namespace ZVNPal
