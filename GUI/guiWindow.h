// The panel window: a native child window holding the region list. It paints
// the regions through an off-screen image, routes pointer, wheel, key and
// timer messages to them, shows tool tips and plays the about panel.
#pragma once

#include "pal/CPalBitmap.h"
#include "pal/CPalOffScreenDC.h"
#include "pal/CPalToolTip.h"
#include "pal/CPalWindow.h"

#include <memory>
#include <string>
#include <vector>

class Editor;
class guiRegion;

class guiWindow : public ZVNPal::CPalWindow
{
public:
    static constexpr uint32_t kToolTipDelayTimer = 5000;
    static constexpr uint32_t kToolTipDelayMs = 700;
    static constexpr uint32_t kAboutFadeTimer = 5004;
    static constexpr uint32_t kAboutFadeMs = 20;
    static constexpr float kAboutFadeStep = 0.06f;
    static constexpr uint32_t kToolTipTextTimer = 5555;
    static constexpr uint32_t kToolTipTextMs = 100;
    static constexpr int32_t kToolTipOffset = 15;
    // The tick on which the controls follow the effect's changes.
    static constexpr uint32_t kFollowEffectTimer = 5020;
    static constexpr uint32_t kFollowEffectMs = 20;

    guiWindow(int32_t number, int32_t x, int32_t y, int32_t width, int32_t height, ZVNPal::CPalBitmap* background,
              int32_t originX, int32_t originY);
    ~guiWindow() override;

    // Builds the native child window inside the host's window; false on failure.
    bool createPanel(Editor* editor, ZVNPal::PalNativeWindow parentHandle);
    void addRegion(guiRegion* region);
    void reportChange(guiRegion* region);
    void setCapturedRegion(guiRegion* region) { captured = region; }
    guiRegion* capturedRegion() const { return captured; }
    guiRegion* focusedRegion() const { return focused; }
    void setName(const std::string& text) { name = text; }
    // The editor that receives the reports; createPanel sets it.
    void setEditor(Editor* editor) { listener = editor; }
    const std::string& getName() const { return name; }
    void setAbout(const ZVNPal::CPalRect& rect, ZVNPal::CPalBitmap* image);
    void openAbout();
    void closeAbout();
    bool isAboutShowing() const { return aboutShowing; }
    float aboutOpacity() const { return opacity; }
    std::string documentationPath() const;
    // Shows the panel at `scale` screen pixels per panel pixel: the native
    // window and the off-screen image grow, the controls keep their
    // coordinates and everything is drawn again.
    void setPanelScale(float scale);
    // Invalidates a rectangle given in panel coordinates.
    void invalidatePanelRect(const ZVNPal::CPalRect& rect);
    size_t regionCount() const { return regions.size(); }
    guiRegion* regionAt(size_t i) const { return i < regions.size() ? regions[i].region.get() : nullptr; }
    const std::string& toolTipText() const { return tipText; }
    ZVNPal::CPalToolTip* toolTip() const { return tip.get(); }

    ZVNPal::PalResult InvalidateRect(const ZVNPal::CPalRect& rect) override;
    int onMouseDown(int32_t x, int32_t y, uint32_t flags) override;
    int onMouseUp(int32_t x, int32_t y, uint32_t flags) override;
    int onMouseMove(int32_t x, int32_t y, uint32_t flags) override;
    int onDoubleClick(int32_t x, int32_t y, uint32_t flags) override;
    int onMouseWheel(int32_t x, int32_t y, uint32_t flags, int32_t delta) override;
    int onKeyDown(int32_t key, uint32_t flags) override;
    int onKeyUp(int32_t key, uint32_t flags) override;
    int onFocusLost() override;
    int onDestroyed() override;
    int onDropFiles(int32_t x, int32_t y, const std::vector<std::string>& paths) override;
    int onTimer(uint32_t id) override;
    int onHelp() override;
    int onActivate() override;
    int onPaint(ZVNPal::IPalDC* dc, const ZVNPal::CPalRect& dirty) override;
    virtual bool updateToolTipText(int32_t number);
    virtual void dropFocus();
    virtual void setFocusedRegion(guiRegion* region) { focused = region; }
    // The about panel's layout: the full panel adds the copyright line.
    virtual bool showsCopyright() const { return true; }

    bool backgroundValid = false;

protected:
    template <typename F>
    void forEachActiveRegion(F&& f);
    // Every region of the list hit by the panel point, in list order.
    std::vector<guiRegion*> hitRegions(int32_t x, int32_t y) const;
    void copyToScreen(ZVNPal::IPalDC* dc, const ZVNPal::CPalRect& rect);
    void composeAbout();
    void paintBackground(ZVNPal::IPalDC* dc);
    void makeOffScreen();

    struct Entry
    {
        ZVNPal::CPalRect rect;
        std::unique_ptr<guiRegion> region;
    };

    ZVNPal::CPalRect aboutRect;
    ZVNPal::CPalBitmap* aboutImage = nullptr;
    // The panel as it was when the about panel opened.
    std::unique_ptr<ZVNPal::CPalOffScreenDC> snapshot;
    ZVNPal::CPalBitmap* background;
    std::unique_ptr<ZVNPal::CPalOffScreenDC> offScreen;
    std::string tipText;
    std::vector<Entry> regions;
    std::unique_ptr<ZVNPal::CPalToolTip> tip;
    Editor* listener = nullptr;
    std::unique_ptr<ZVNPal::CPalWindow> parent;
    guiRegion* lastReporting = nullptr;
    guiRegion* captured = nullptr;
    guiRegion* focused = nullptr;
    std::string name;
    float pendingValue = 0.f;
    int32_t pendingNumber = 0;
    int32_t pendingCode = 0;
    int32_t pendingX = 0;
    int32_t pendingY = 0;
    int32_t originX;
    int32_t originY;
    int32_t panelX;
    int32_t panelY;
    int32_t panelWidth;
    int32_t panelHeight;
    int32_t lastPointerX = -1;
    int32_t lastPointerY = -1;
    bool aboutShowing = false;
    bool greyFill = false;
    bool toolTipsEnabled = true;
    bool toolTipTextChanged = false;
    float opacity = 0.f;
    float lastPaintedOpacity = -1.f;
    std::vector<std::string> droppedFiles;
};
