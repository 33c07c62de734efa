// The parts of the platform classes that are the same on every platform:
// the window's pending repaint area, object map and drop answer, rectangles of read-back pixels,
// pixel copies of images, the selected font, the load-failure report and
// byte widening, whether a tip has anything to show. Compiled into each platform's layer.
#include "pal/CPalBitmap.h"
#include "pal/CPalDC.h"
#include "pal/CPalOffScreenDC.h"
#include "pal/CPalToolTip.h"
#include "pal/CPalWindow.h"
#include "pal/DebugTrace.h"
#include "pal/PalDirtyRect.h"
#include "pal/PalFunctions.h"
#include "pal/PalPixels.h"

namespace ZVNPal {

namespace {

void TraceMessage(const char* title, const char* text) { DebugTrace("CPalBitmap::Load - %s: %s\n", title, text); }

PalLoadMessageHook g_fnMessage = TraceMessage;

} // namespace

void CPalBitmap::SetLoadMessageHook(PalLoadMessageHook hook) { g_fnMessage = hook ? hook : TraceMessage; }

void CPalBitmap::ReportLoadFailure() { g_fnMessage("IDS_BITMAP_NOT_FOUND_TITLE", "IDS_BITMAP_NOT_FOUND_MESSAGE"); }

std::int32_t CPalWindow::QueryDrop(const PalDropList* drop, PalPoint screenPoint, PalNativeWindow target)
{
    if (target == 0)
        return kPalDropNone;
    if (target != GetHandle())
        return kPalDropNone + (IsLayerWindow(target) ? 1 : 0);
    if (drop && !drop->empty() && m_fnDrop) {
        ScreenToClient(&screenPoint);
        m_fnDrop(drop->front().c_str(), screenPoint, m_pDropUser);
    }
    return kPalDropAccepted;
}

void CPalWindow::AddDirty(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
{
    MergeDirtyRect(m_nDirty, left, top, right, bottom);
}

void CPalWindow::RegisterObject(std::uint32_t id, void* object) { m_objects.emplace(id, object); }

void* CPalWindow::FindObject(std::uint32_t id) const
{
    auto it = m_objects.find(id);
    return it == m_objects.end() ? nullptr : it->second;
}

void CPalWindow::SetFileDropCallback(PalFileDropCallback callback, void* user)
{
    m_fnDrop = callback;
    m_pDropUser = user;
}

PalResult CPalOffScreenDC::GetPixelsRect(std::uint32_t* scratch, std::uint32_t* destination, std::int32_t x,
                                         std::int32_t y, std::int32_t width, std::int32_t height)
{
    if (!scratch || !destination)
        return kPalFail;
    // Only a rectangle inside the image can be copied without reading past it.
    if (!RectInsideImage(x, y, width, height, m_nWidth, m_nHeight))
        return kPalInvalidArg;
    const PalResult result = GetPixels(scratch);
    if (result != kPalOk)
        return result;
    CopyRectBottomUp(scratch, m_nWidth, m_nHeight, destination, x, y, width, height);
    return kPalOk;
}

PalResult CPalBitmap::CopyPixelsOut(IPalWindow* window, std::int32_t sourceX, std::int32_t sourceY,
                                    std::int32_t width, std::int32_t height, std::uint32_t* destination)
{
    if (!destination || width <= 0 || height <= 0)
        return kPalInvalidArg;
    CPalOffScreenDC scratch(window, width, height);
    const PalResult drawn = scratch.DrawBitmap(this, 0, 0, width, height, sourceX, sourceY, 1.0f);
    return drawn != kPalOk ? drawn : scratch.GetPixels(destination);
}

PalResult CPalBitmap::CopyAllPixelsOut(std::uint32_t* destination)
{
    return CopyPixelsOut(nullptr, 0, 0, m_nWidth, m_nHeight, destination);
}

IPalFont* CPalDC::SelectFont(IPalFont* font)
{
    IPalFont* previous = m_pFont;
    m_pFont = font;
    return previous;
}

std::size_t WidenBytes(const char* bytes, std::size_t count, char16_t* destination, std::size_t capacity)
{
    if (!bytes || !destination || capacity == 0)
        return 0;
    std::size_t units = 0;
    while (units < count && units < capacity && bytes[units] != '\0') {
        destination[units] = static_cast<unsigned char>(bytes[units]);
        ++units;
    }
    if (units < capacity)
        destination[units] = u'\0';
    return units;
}

bool CPalToolTip::HasContent() const { return !m_sText.empty() || (m_bBalloon && !m_sTitle.empty()); }

} // namespace ZVNPal
