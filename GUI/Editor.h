// The plug-in's view: builds the full-size or the compact panel inside the
// host's window, keeps its controls and the effect in step both ways, runs
// the options menu and manages what all open editors share.
#pragma once

#include "core/IEditorView.h"

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "public.sdk/source/vst/vsteditcontroller.h"

#include <atomic>
#include <cstdint>
#include <string>

class ol7t;
class guiWindow;
class guiRegion;
class guiGroup;
class guiKnob;
class guiOnOff;
class guiVU;
class guiOptionsButton;
class EditorRunLoop;

class Editor : public Steinberg::Vst::EditorView, public IEditorView, public Steinberg::IPlugViewContentScaleSupport
{
public:
    static constexpr const char* kPanelName = "OL-7TLevelingAmplifier";
    // Options menu commands.
    enum MenuCommand : int32_t {
        kMenuMemoryClassic = 1,
        kMenuMemoryFastReset = 2,
        kMenuSideChain = 3,
        kMenuDocumentation = 4,
        kMenuAbout = 5,
        kMenuSize100 = 6,
        kMenuSize150 = 7,
        kMenuSize200 = 8,
    };
    // The sizes the options menu offers, in screen pixels per panel pixel.
    static constexpr float kOfferedScales[] = {1.f, 1.5f, 2.f};
    // Host factors outside this range are held to it.
    static constexpr float kMinScale = 0.5f;
    static constexpr float kMaxScale = 4.f;

    explicit Editor(Steinberg::Vst::EditController* controller);
    ~Editor() override;

    Steinberg::tresult PLUGIN_API isPlatformTypeSupported(Steinberg::FIDString type) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API attached(void* parent, Steinberg::FIDString type) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API removed() SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API getSize(Steinberg::ViewRect* size) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API onSize(Steinberg::ViewRect* newSize) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API checkSizeConstraint(Steinberg::ViewRect* rect) SMTG_OVERRIDE;
    // The host's screen pixels per panel pixel; the panel follows it from now on.
    Steinberg::tresult PLUGIN_API setContentScaleFactor(ScaleFactor factor) SMTG_OVERRIDE;

    OBJ_METHODS(Editor, Steinberg::Vst::EditorView)
    DEFINE_INTERFACES
        DEF_INTERFACE(Steinberg::IPlugViewContentScaleSupport)
    END_DEFINE_INTERFACES(Steinberg::Vst::EditorView)
    REFCOUNT_METHODS(Steinberg::Vst::EditorView)

    float getScale() const { return scale; }
    // The size the user picks: shown at once, asked of the host and remembered.
    void chooseScale(float newScale);

    void setUpAbout() override;
    // The panel's tick on the user-interface thread: controls take the values
    // and write marks the effect changed since the last tick. A control the
    // user holds keeps its change pending until it is let go.
    void followEffect();
    // Moves the control of a parameter; user-interface thread only.
    void onParameterChanged(uint32_t id, float value);
    void onWriteStateChanged(uint32_t id, bool shown);

    // Called by the window and the controls.
    void onControlChanged(int32_t number, float value, int32_t code, int32_t x, int32_t y);
    std::string toolTipText(int32_t number) const;
    // The menu's choice, then what it does.
    int32_t runOptionsMenu(guiOptionsButton& button);
    void applyMenuCommand(int32_t command);
    int languageIndex() const;

    ol7t* getEffect() const { return effect; }
    guiWindow* getWindow() const { return window; }
    guiRegion* controlOf(uint32_t id) const;

    // Attached editors in this process.
    static int openEditorCount() { return openEditors; }

private:
    void buildFullPanel();
    void buildCompactPanel();
    void showCurrentValues();
    // A menu choice reaches the host as one whole edit.
    void editAsGesture(uint32_t id, float value);
    // Shows the panel at the scale and asks the host for the matching size.
    void applyScale(float newScale);
    Steinberg::ViewRect scaledSize() const;
    static float startingScale();

    ol7t* effect = nullptr;
    bool moduleMode = false;
    guiWindow* window = nullptr;
    guiGroup* group = nullptr;
    guiKnob* r37Screw = nullptr;
    guiKnob* gainKnob = nullptr;
    guiKnob* peakKnob = nullptr;
    guiKnob* meterSelector = nullptr;
    guiVU* meter = nullptr;
    guiOnOff* enableSwitch = nullptr;
    guiOnOff* limitSwitch = nullptr;
    guiOptionsButton* optionsButton = nullptr;
    EditorRunLoop* runLoop = nullptr;
    // Parameter changes taken from the effect that a held control still waits for.
    uint32_t pendingParameters = 0;
    std::string resourceFolder;
    float scale = 1.f;

    static int openEditors;
    static int32_t panelWidth;
    static int32_t panelHeight;
};
