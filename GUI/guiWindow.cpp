// The panel window: region list, hit testing, focus, painting through the
// off-screen image, tool tips, timers and the about panel.
#include "GUI/guiWindow.h"

#include "GUI/Editor.h"
#include "GUI/guiRegion.h"
#include "core/ModuleHandle.h"
#include "pal/CPalColor.h"
#include "pal/CPalFont.h"
#include "pal/DebugTrace.h"
#include "pal/FileVersion.h"
#include "pal/Folders.h"
#include "pal/PalFunctions.h"
#include "pal/TextStrings.h"

#include <algorithm>

using namespace ZVNPal;

namespace {

// Hover kinds that show a tool tip.
bool showsToolTip(int32_t kind)
{
    return kind == 0 || kind == 2 || kind == 6 || kind == 7 || kind == 99;
}

constexpr float kGreyFill = 0.5f;
constexpr float kAboutTextPoints = 8.f;
// The compact about panel's text keeps clear of the panel's edge.
constexpr int32_t kAboutTextMargin = 10;
constexpr int kUtf8LanguageIndex = 4;

} // namespace

guiWindow::guiWindow(int32_t, int32_t x, int32_t y, int32_t width, int32_t height, CPalBitmap* image, int32_t ox,
                     int32_t oy)
    : background(image)
    , originX(ox)
    , originY(oy)
    , panelX(x)
    , panelY(y)
    , panelWidth(width)
    , panelHeight(height)
{
}

guiWindow::~guiWindow()
{
    // Regions first: their destructors may still look at the window.
    regions.clear();
    tip.reset();
    if (IsValid())
        Destroy();
}

bool guiWindow::createPanel(Editor* editor, PalNativeWindow parentHandle)
{
    auto wrapper = std::make_unique<CPalWindow>();
    if (wrapper->Attach(parentHandle) != kPalOk) {
        DebugTrace("Runtime Error:: ");
        DebugTrace("File: \"%s\", line %d\n", __FILE__, __LINE__);
        return false;
    }
    if (Create("External VST Window", CPalRect(0, 0, panelWidth, panelHeight), kPalWindowChild, kPalStyleAcceptFiles,
               wrapper.get()) != kPalOk) {
        DebugTrace("Runtime Error:: ");
        DebugTrace("File: \"%s\", line %d\n", __FILE__, __LINE__);
        return false;
    }
    listener = editor;
    parent = std::move(wrapper);
    tip = std::make_unique<CPalToolTip>();
    if (tip->Create(this, nullptr, false))
        tip->SetOffset(kToolTipOffset, kToolTipOffset);
    makeOffScreen();
    StartTimer(kToolTipTextTimer, kToolTipTextMs);
    StartTimer(kFollowEffectTimer, kFollowEffectMs);
    return true;
}

void guiWindow::makeOffScreen()
{
    offScreen = std::make_unique<CPalOffScreenDC>(static_cast<IPalWindow*>(this), panelWidth, panelHeight);
    greyFill = !background;
    if (background) {
        paintBackground(offScreen.get());
        backgroundValid = true;
    }
    for (Entry& e : regions) {
        e.region->dc = offScreen.get();
        e.region->m_nDrawnFrame = -1;
    }
}

void guiWindow::setPanelScale(float scale)
{
    if (!(scale > 0.f) || scale == Scale())
        return;
    SetScale(scale);
    if (!offScreen)
        return;
    snapshot.reset();
    makeOffScreen();
    Invalidate();
}

void guiWindow::paintBackground(IPalDC* to)
{
    to->DrawBitmap(background, originX, originY, background->Width(), background->Height(), 0, 0, 1.f);
}

void guiWindow::addRegion(guiRegion* region)
{
    regions.push_back({region->rect(), std::unique_ptr<guiRegion>(region)});
    region->window = this;
    region->dc = offScreen.get();
    region->index = static_cast<int32_t>(regions.size() - 1);
    region->setListener(this);
    region->onAttach();
}

void guiWindow::reportChange(guiRegion* region)
{
    lastReporting = region;
    pendingValue = region->m_fValue;
    pendingNumber = region->m_nID;
    if (region->eventX != 0) {
        pendingCode = region->m_nEvent;
        pendingX = region->eventX + originX;
        pendingY = region->eventY + originY;
    }
    if (listener)
        listener->onControlChanged(pendingNumber, pendingValue, pendingCode, pendingX, pendingY);
    region->m_nEvent = 0;
    pendingCode = 0;
}

void guiWindow::invalidatePanelRect(const CPalRect& rect)
{
    InvalidateRect(rect);
}

PalResult guiWindow::InvalidateRect(const CPalRect& rect)
{
    CPalRect shifted = rect;
    shifted.Offset(originX, originY);
    return CPalWindow::InvalidateRect(shifted);
}

template <typename F>
void guiWindow::forEachActiveRegion(F&& f)
{
    for (Entry& e : regions)
        if (e.region && !e.region->m_bIsGroup && e.region->isVisible())
            f(*e.region);
}

std::vector<guiRegion*> guiWindow::hitRegions(int32_t px, int32_t py) const
{
    std::vector<guiRegion*> hits;
    for (const Entry& e : regions) {
        guiRegion* r = e.region.get();
        if (r && !r->m_bIsGroup && r->isVisible() && r->isEnabled() && e.rect.Contains(px, py))
            hits.push_back(r);
    }
    return hits;
}

int guiWindow::onMouseDown(int32_t px, int32_t py, uint32_t flags)
{
    px -= originX;
    py -= originY;
    if (aboutShowing) {
        closeAbout();
        return 0;
    }
    TakeFocus();
    if (captured) {
        captured->onMouseDown(px - captured->x, py - captured->y, flags);
        return 0;
    }
    const std::vector<guiRegion*> hits = hitRegions(px, py);
    for (guiRegion* r : hits) {
        if (r->isFocusable()) {
            if (focused && focused != r)
                focused->hideFocus();
            r->showFocus();
            focused = r;
        }
        r->onMouseDown(px - r->x, py - r->y, flags);
        if (updateToolTipText(r->m_nID) && tip) {
            PalPoint at{px + originX, py + originY};
            ClientToScreen(&at);
            if (r->m_nKind == kKindAnimation) {
                StopTimer(kToolTipDelayTimer);
                tip->ShowTip(false);
            }
            tip->SetTipPosition(at.x, at.y);
            if (r->m_nKind != kKindAnimation) {
                tip->ShowTip(true);
                StopTimer(kToolTipDelayTimer);
            }
        }
    }
    if (hits.empty() && focused) {
        focused->hideFocus();
        focused = nullptr;
    }
    return 0;
}

int guiWindow::onMouseUp(int32_t px, int32_t py, uint32_t flags)
{
    px -= originX;
    py -= originY;
    if (tip)
        tip->ShowTip(false);
    if (captured) {
        captured->onMouseUp(px - captured->x, py - captured->y, flags);
        return 0;
    }
    for (guiRegion* r : hitRegions(px, py))
        r->onMouseUp(px - r->x, py - r->y, flags);
    return 0;
}

int guiWindow::onMouseMove(int32_t px, int32_t py, uint32_t flags)
{
    px -= originX;
    py -= originY;
    if (px == lastPointerX && py == lastPointerY)
        return 0;
    lastPointerX = px;
    lastPointerY = py;
    if (captured) {
        // Positions above or left of the region travel as unsigned 16-bit
        // numbers, the way the platform's messages carry them.
        const auto wrap16 = [](int32_t v) { return static_cast<int32_t>(static_cast<uint16_t>(v)); };
        captured->onMouseMove(wrap16(px - captured->x), wrap16(py - captured->y), flags);
        if (updateToolTipText(captured->m_nID) && tip)
            tip->ShowTip(true);
        return 0;
    }
    int32_t hover = -1;
    const std::vector<guiRegion*> hits = hitRegions(px, py);
    for (guiRegion* r : hits) {
        r->onMouseMove(px - r->x, py - r->y, flags);
        if (showsToolTip(r->m_nKind))
            hover = r->m_nID;
    }
    if (hits.empty())
        SetCursorKind(kPalCursorArrow);
    if (hover < 0) {
        StopTimer(kToolTipDelayTimer);
        if (tip)
            tip->ShowTip(false);
        return 0;
    }
    StartTimer(kToolTipDelayTimer, kToolTipDelayMs);
    updateToolTipText(hover);
    return 0;
}

int guiWindow::onDoubleClick(int32_t px, int32_t py, uint32_t flags)
{
    px -= originX;
    py -= originY;
    for (guiRegion* r : hitRegions(px, py))
        r->onDoubleClick(px - r->x, py - r->y, flags);
    return 0;
}

int guiWindow::onMouseWheel(int32_t px, int32_t py, uint32_t flags, int32_t delta)
{
    // The wheel turns the focused control, never the one under the pointer.
    if (focused && focused->isVisible()) {
        focused->onMouseWheel(px - originX, py - originY, flags, delta);
        updateToolTipText(focused->m_nID);
    }
    return 1;
}

int guiWindow::onKeyDown(int32_t key, uint32_t flags)
{
    if (focused && focused->isVisible() && focused->onKeyDown(key, flags) == 0) {
        updateToolTipText(focused->m_nID);
        return 0;
    }
    return 1;
}

int guiWindow::onKeyUp(int32_t key, uint32_t flags)
{
    if (focused && focused->isVisible())
        focused->onKeyUp(key, flags);
    return 0;
}

int guiWindow::onFocusLost()
{
    forEachActiveRegion([](guiRegion& r) {
        if (r.isEnabled())
            r.onWindowKillFocus();
    });
    return 0;
}

int guiWindow::onDestroyed()
{
    for (size_t i = 0; i < regions.size(); ++i) {
        regions[i].region.reset();
        StopTimer(static_cast<uint32_t>(i));
    }
    regions.clear();
    captured = focused = lastReporting = nullptr;
    tip.reset();
    StopTimer(kToolTipDelayTimer);
    StopTimer(kToolTipTextTimer);
    StopTimer(kAboutFadeTimer);
    StopTimer(kFollowEffectTimer);
    return 0;
}

int guiWindow::onDropFiles(int32_t px, int32_t py, const std::vector<std::string>& paths)
{
    for (guiRegion* r : hitRegions(px - originX, py - originY))
        r->onDropFiles(px - originX - r->x, py - originY - r->y, paths);
    pendingCode = kReportDrop;
    pendingX = px;
    pendingY = py;
    droppedFiles = paths;
    if (listener)
        listener->onControlChanged(0, 0.f, kReportDrop, px, py);
    pendingCode = 0;
    BringToFront();
    return 0;
}

int guiWindow::onTimer(uint32_t id)
{
    if (id < regions.size()) {
        if (regions[id].region)
            regions[id].region->onTimer(id);
        return 0;
    }
    switch (id) {
    case kToolTipDelayTimer:
        StopTimer(kToolTipDelayTimer);
        if (!aboutShowing && tip) {
            int32_t sx = 0, sy = 0;
            GetCursorPosition(&sx, &sy);
            tip->SetTipPosition(sx, sy);
            tip->ShowTip(true);
        }
        break;
    case kAboutFadeTimer:
        opacity += kAboutFadeStep;
        if (opacity > 1.f) {
            opacity = 1.f;
            StopTimer(kAboutFadeTimer);
        }
        Invalidate();
        break;
    case kFollowEffectTimer:
        if (listener)
            listener->followEffect();
        break;
    case kToolTipTextTimer:
        if (toolTipTextChanged && tip) {
            tip->SetText(tipText.c_str());
            toolTipTextChanged = false;
        }
        break;
    default:
        break;
    }
    return 0;
}

int guiWindow::onHelp()
{
    ShowHelp(parent.get(), name.c_str(), 0, 0);
    return 1;
}

int guiWindow::onActivate()
{
    if (!regions.empty() && regions.front().region) {
        focused = regions.front().region.get();
        focused->showFocus();
    }
    return 0;
}

bool guiWindow::updateToolTipText(int32_t number)
{
    if (number < 0 || !toolTipsEnabled || !listener)
        return false;
    tipText = listener->toolTipText(number);
    // An empty text (the meter, the options button) takes effect at once, so
    // no tip shows the previous control's words meanwhile.
    if (tip && tipText.empty())
        tip->SetText("");
    toolTipTextChanged = tip && !tipText.empty();
    return true;
}

void guiWindow::dropFocus()
{
    if (focused)
        focused->hideFocus();
}

void guiWindow::copyToScreen(IPalDC* dc, const CPalRect& rect)
{
    if (dc)
        dc->Blit(rect.Left() + originX, rect.Top() + originY, rect.Width(), rect.Height(), offScreen.get(),
                 rect.Left(), rect.Top(), kPalRopCopy);
}

int guiWindow::onPaint(IPalDC* dc, const CPalRect& dirty)
{
    if (!offScreen)
        return 0;
    const CPalRect whole(0, 0, panelWidth, panelHeight);
    if (aboutShowing) {
        if (opacity < 1.f && opacity == lastPaintedOpacity)
            return 0;
        composeAbout();
        copyToScreen(dc, whole);
        lastPaintedOpacity = opacity;
        return 0;
    }
    // Without a background the grey fill wipes the off-screen image first,
    // so the screen gets it as it was before.
    if (greyFill) {
        if (backgroundValid)
            copyToScreen(dc, dirty);
        offScreen->FillRect(0, 0, panelWidth, panelHeight, CPalColor(kGreyFill, kGreyFill, kGreyFill, 1.f));
    }
    bool painted = false;
    for (Entry& e : regions) {
        CPalRect meet;
        if (e.region && e.region->isVisible() && meet.Intersect(e.rect, dirty))
            painted = e.region->draw(dirty, nullptr) || painted;
    }
    if (painted && captured && updateToolTipText(captured->m_nID) && tip)
        tip->ShowTip(true);
    // The regions drew over the off-screen image: one copy shows what they
    // changed and what they left (a needle's step used to copy twice).
    if (painted || (backgroundValid && !greyFill)) {
        backgroundValid = true;
        copyToScreen(dc, dirty);
    }
    return 0;
}

void guiWindow::setAbout(const CPalRect& rect, CPalBitmap* image)
{
    aboutRect = rect;
    aboutImage = image;
}

void guiWindow::openAbout()
{
    aboutShowing = true;
    opacity = 0.f;
    lastPaintedOpacity = -1.f;
    StartTimer(kAboutFadeTimer, kAboutFadeMs);
    invalidatePanelRect(aboutRect);
}

void guiWindow::composeAbout()
{
    if (!snapshot) {
        snapshot = std::make_unique<CPalOffScreenDC>(static_cast<IPalDC*>(offScreen.get()), panelWidth, panelHeight);
        if (background)
            paintBackground(snapshot.get());
        for (Entry& e : regions) {
            if (e.region && e.region->isVisible()) {
                e.region->m_nDrawnFrame = -1;
                e.region->draw(CPalRect(0, 0, panelWidth, panelHeight), snapshot.get());
            }
        }
    }
    offScreen->Blit(0, 0, panelWidth, panelHeight, snapshot.get(), 0, 0, kPalRopCopy);
    if (aboutImage)
        offScreen->DrawBitmap(aboutImage, aboutRect.Left(), aboutRect.Top(), aboutRect.Width(), aboutRect.Height(), 0,
                              0, opacity);

    CPalFont font;
    font.Create(kPalFaceArial, kAboutTextPoints, kPalWeightNormal, 1, 0, false, false, false, 0.f);
    IPalFont* previous = offScreen->SelectFont(&font);
    offScreen->SetTextAlign(kPalAlignLeft);
    const CPalColor white(1.f, 1.f, 1.f, opacity);
    std::string version;
    GetFileVersion(moduleHandle(), version);
    const std::string versionLine = TextString("IDS_ABOUT_VERSION") + ": " + version;
    const bool utf8 = listener && listener->languageIndex() == kUtf8LanguageIndex;
    const auto drawLine = [&](int32_t tx, int32_t ty, const std::string& text) {
        if (utf8)
            offScreen->DrawTextUtf8(tx, ty, text.c_str(), nullptr, &white);
        else
            offScreen->DrawTextLocal(tx, ty, text.c_str(), nullptr, &white);
    };
    if (showsCopyright()) {
        drawLine(aboutRect.Left() + 155, aboutRect.Bottom() - 47, versionLine);
        drawLine(aboutRect.Left() + 155, aboutRect.Bottom() - 25, TextString("IDS_ABOUT_COPYRIGHT"));
    } else {
        drawLine(aboutRect.Left() + kAboutTextMargin, aboutRect.Bottom() - 34, versionLine);
    }
    offScreen->SelectFont(previous);
}

void guiWindow::closeAbout()
{
    aboutShowing = false;
    StopTimer(kAboutFadeTimer);
    if (background && offScreen) {
        paintBackground(offScreen.get());
        backgroundValid = true;
        for (Entry& e : regions)
            if (e.region)
                e.region->m_nDrawnFrame = -1;
    }
    snapshot.reset();
    Invalidate();
}

std::string guiWindow::documentationPath() const
{
    const std::string& folder = GetDocumentationFolder();
    if (folder.empty())
        return {};
    const int language = listener ? listener->languageIndex() : 0;
    return folder + name + DocumentationSuffix(language) + ".pdf";
}
