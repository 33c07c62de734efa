// The base of every editor control: a rectangle of the panel that paints
// itself, takes pointer and key input, holds one normalized value and reports
// what the user does to it to the window it belongs to.
#pragma once

#include "pal/CPalRect.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ZVNPal {
class CPalBitmap;
class IPalDC;
} // namespace ZVNPal

class guiWindow;

// Codes of a pending report (m_nEvent).
enum guiReportCode : int32_t {
    kReportValue = 0,
    kReportContext = 1,
    kReportPointer = 2,
    kReportDrop = 3,
    kReportGestureBegin = 2048,
    kReportGestureEnd = 2304,
};

// Hover kinds read by the window's tool-tip logic.
enum guiRegionKind : int32_t {
    kKindKnob = 0,
    kKindAnimation = 2,
    kKindSwitch = 7,
};

// Key codes of the platform layer that the controls use.
enum guiKey : int32_t {
    kKeyEnd = 9,
    kKeyHome = 10,
    kKeyPageUp = 12,
    kKeyPageDown = 13,
    kKeyUp = 15,
    kKeyDown = 16,
    kKeyLeft = 17,
    kKeyRight = 18,
};

class guiRegion
{
public:
    static constexpr int kLevelCount = 11;
    static constexpr int kTextCount = 10;

    guiRegion(int32_t number, int32_t x, int32_t y, int32_t width, int32_t height, ZVNPal::CPalBitmap* image,
              int32_t backgroundX, int32_t backgroundY);
    guiRegion(const guiRegion&) = delete;
    guiRegion& operator=(const guiRegion&) = delete;

    virtual ~guiRegion();
    virtual bool draw(const ZVNPal::CPalRect& update, ZVNPal::IPalDC* dc);
    virtual void onAttach() {}
    virtual void show();
    virtual void hide();
    virtual void toggleVisibility();
    virtual int32_t setValue(float) { return m_nFrame; }
    virtual void setDefaultValue(float value);
    virtual void setListener(guiWindow* window) { listener = window; }
    virtual void setBackgroundOrigin(int32_t x, int32_t y);
    virtual void setAlpha(float value);
    virtual void setLevel(int32_t index, float value);
    virtual void setBackground(ZVNPal::CPalBitmap* image);
    virtual void setText(int32_t index, const std::u16string& text);
    virtual void setKind(int32_t kind) { m_nKind = kind; }
    virtual void beginGesture();
    virtual void endGesture();
    virtual void setRegistered(bool registered) { m_bRegistered = registered; }
    virtual void setStateWord(int32_t word);
    virtual bool canRedraw() { return true; }
    virtual void onMouseDown(int32_t, int32_t, uint32_t) {}
    virtual void onMouseUp(int32_t, int32_t, uint32_t) {}
    virtual void onMouseMove(int32_t, int32_t, uint32_t) {}
    virtual void onDoubleClick(int32_t, int32_t, uint32_t) {}
    virtual void onMouseWheel(int32_t, int32_t, uint32_t, int32_t) {}
    // 0 when the key was handled.
    virtual int32_t onKeyDown(int32_t, uint32_t) { return 0; }
    virtual void onKeyUp(int32_t, uint32_t) {}
    virtual void onTimer(uint32_t) {}
    virtual void onDropFiles(int32_t, int32_t, const std::vector<std::string>&) {}
    virtual void onSizing(ZVNPal::CPalRect&) {}
    virtual void onSize(int32_t, int32_t, int32_t) {}
    virtual void onBroadcastA(int32_t, int32_t, int32_t) {}
    virtual void onBroadcastB(int32_t, int32_t, int32_t) {}
    virtual void showFocus();
    virtual void hideFocus();
    virtual void onWindowKillFocus() {}
    virtual void onJoystickMove(uint32_t, int32_t, int32_t) {}
    virtual void onWindowEvent(int32_t, int32_t, int32_t) {}

    void requestRedraw();
    void redrawOnChange();
    void capturePointer(bool on);
    // Hands the pending report to the listener.
    void report();
    // Reports a change the user made in one step (a wheel notch, a reset) as
    // a whole edit: bracketed by a gesture unless one is already running.
    void reportEdit();

    bool isVisible() const { return m_bVisible; }
    bool isEnabled() const { return m_bEnabled; }
    bool isCaptured() const { return m_bCaptured; }
    bool isInGesture() const { return m_bInGesture; }
    // The user has it in hand: values from outside wait until it is let go.
    bool isHeld() const { return m_bCaptured || m_bInGesture; }
    bool isFocusable() const { return m_bFocusable; }
    bool isRegistered() const { return m_bRegistered; }
    ZVNPal::CPalRect rect() const { return ZVNPal::CPalRect(x, y, width, height); }

    guiWindow* window = nullptr;
    ZVNPal::IPalDC* dc = nullptr;
    ZVNPal::CPalBitmap* background = nullptr;
    float m_fValue = 0.f;
    float m_fDefault = 0.f;
    int32_t m_nID = 0;
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t imageWidth = 0;
    int32_t imageHeight = 0;
    int32_t backgroundX = 0;
    int32_t backgroundY = 0;
    int32_t m_nFrame = 0;
    int32_t m_nLastFrame = 0;
    int32_t m_nDrawnFrame = -1;
    int32_t m_nFrames = 0;
    int32_t index = 0;
    int32_t m_nEvent = kReportValue;
    int32_t eventX = 0;
    int32_t eventY = 0;
    int32_t m_nKind = kKindKnob;
    int32_t alpha = 255;
    int32_t stateWord = 0;
    int32_t levels[kLevelCount];
    guiWindow* listener = nullptr;
    bool m_bIsGroup = false;
    bool m_bFocusable = true;
    bool m_bFocused = false;
    bool m_bVisible = true;
    bool m_bInGesture = false;
    bool m_bRegistered = false;
    std::u16string texts[kTextCount];
    bool m_bEnabled = true;
    bool m_bCaptured = false;

protected:
    // Paints the background image's patch under the region, when there is one.
    void drawBackground(ZVNPal::IPalDC* target) const;
    ZVNPal::IPalDC* target(ZVNPal::IPalDC* given) const { return given ? given : dc; }
    // Starts a report of the given code at a position.
    void reportAt(int32_t code, int32_t px, int32_t py);
};
