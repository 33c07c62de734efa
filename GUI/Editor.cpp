// The editor view: attachment and removal with the shared graphics runtime
// and images, the two panel layouts, both directions of synchronisation, tool
// tips and the options menu.
#include "GUI/Editor.h"

#include "GUI/EditorImages.h"
#include "GUI/EditorRunLoop.h"
#include "GUI/guiGroup.h"
#include "GUI/guiKnob.h"
#include "GUI/guiOnOff.h"
#include "GUI/guiOptionsButton.h"
#include "GUI/guiSVModuleWindow.h"
#include "GUI/guiVSTWindow.h"
#include "GUI/guiVU.h"
#include "core/ol7t.h"
#include "pal/CPalMenu.h"
#include "pal/DebugTrace.h"
#include "pal/Folders.h"
#include "pal/PalFunctions.h"
#include "pal/PalRunLoop.h"
#include "pal/TextStrings.h"
#include "pal/UserSettings.h"


#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

using namespace Steinberg;

int Editor::openEditors = 0;
int32_t Editor::panelWidth = guiVSTWindow::kWidth;
int32_t Editor::panelHeight = guiVSTWindow::kHeight;

namespace {

constexpr int32_t kWindowNumber = 9;
constexpr int32_t kMeterNumber = 10;
constexpr int32_t kOptionsNumber = 11;
constexpr float kKnobDefault = 0.5f;
constexpr float kPercent = 100.f;
constexpr int kSizeMenuPosition = 3;

std::string percentText(const char* key, float value)
{
    char number[32];
    std::snprintf(number, sizeof number, "%.1f%%", static_cast<double>(value) * 100.0);
    return ZVNPal::TextString(key) + ": " + number;
}

std::string choiceText(const char* key, bool on, const char* onKey, const char* offKey)
{
    return ZVNPal::TextString(key) + ": " + ZVNPal::TextString(on ? onKey : offKey);
}

ZVNPal::CPalBitmap* image(EditorImage which)
{
    return EditorImages::get(which);
}

} // namespace

Editor::Editor(Vst::EditController* controller)
    : EditorView(controller)
    , effect(dynamic_cast<ol7t*>(controller))
{
    if (!effect)
        return;
    moduleMode = effect->moduleMode;
    resourceFolder = ZVNPal::GetResourcesFolder();
    if (resourceFolder.size() > EditorImages::kMaxPath)
        resourceFolder.clear();
    panelWidth = moduleMode ? guiSVModuleWindow::kWidth : guiVSTWindow::kWidth;
    panelHeight = moduleMode ? guiSVModuleWindow::kHeight : guiVSTWindow::kHeight;
    scale = startingScale();
}

float Editor::startingScale()
{
    const int remembered = ZVNPal::UserSettings().EditorSizePercent(0);
    if (remembered > 0)
        return static_cast<float>(remembered) / kPercent;
    // The offered size nearest to the desktop's.
    const float desktop = ZVNPal::GetDesktopScale();
    float nearest = kOfferedScales[0];
    for (float offered : kOfferedScales)
        if (std::fabs(offered - desktop) < std::fabs(nearest - desktop))
            nearest = offered;
    return nearest;
}

ViewRect Editor::scaledSize() const
{
    const auto pixels = [this](int32_t units) { return static_cast<int32>(std::lround(units * double(scale))); };
    return ViewRect(0, 0, pixels(panelWidth), pixels(panelHeight));
}

Editor::~Editor()
{
    // A host that releases the view without removing it first.
    if (window && effect && effect->editorOpen)
        removed();
    if (runLoop)
        runLoop->release();
}

tresult PLUGIN_API Editor::isPlatformTypeSupported(FIDString type)
{
    return type && std::strcmp(type, ZVNPal::PlatformViewType()) == 0 ? kResultOk : kInvalidArgument;
}

tresult PLUGIN_API Editor::attached(void* parent, FIDString type)
{
    if (isPlatformTypeSupported(type) != kResultOk)
        return kInvalidArgument;
    if (!effect || !parent)
        return kResultFalse;
    if (effect->editorOpen)
        return kResultOk;
    ZVNPal::DebugTrace("Editor::attached - start\n");
    if (openEditors == 0) {
        if (!ZVNPal::StartGraphicsRuntime())
            return kResultFalse;
        EditorImages::setFolder(resourceFolder);
    }

    if (moduleMode)
        window = new guiSVModuleWindow(kWindowNumber, 0, 0, panelWidth, panelHeight,
                                       image(kImageCompactBackground), 0, 0);
    else
        window = new guiVSTWindow(kWindowNumber, 0, 0, panelWidth, panelHeight, image(kImageFullBackground), 0, 0);
    window->setName(kPanelName);
    window->SetScale(scale);
    // A platform layer that cannot scale keeps 1, and the view's size says so.
    scale = window->Scale();
    if (scale > 1.f)
        EditorImages::loadDetailed();
    if (!window->createPanel(this, reinterpret_cast<ZVNPal::PalNativeWindow>(parent))) {
        delete window;
        window = nullptr;
        if (openEditors == 0)
            ZVNPal::ShutdownGraphicsRuntime();
        return kResultFalse;
    }
    ZVNPal::DebugTrace("Editor::attached - created window\n");

    if (moduleMode)
        buildCompactPanel();
    else
        buildFullPanel();
    group->show();
    window->Show(true);

    effect->editorOpen = true;
    showCurrentValues();
    ++openEditors;

    if (!runLoop)
        runLoop = new EditorRunLoop;
    runLoop->start(plugFrame);
    return EditorView::attached(parent, type);
}

void Editor::buildFullPanel()
{
    ZVNPal::CPalBitmap* bg = image(kImageFullBackground);
    group = new guiGroup(493, 93, 451, 88, bg);
    window->addRegion(group);
    r37Screw = new guiKnob(PARAM_R37, 133, 128, 32, 32, 151, bg, image(kImageScrew), nullptr);
    gainKnob = new guiKnob(PARAM_GAIN, 205, 92, 83, 86, 151, bg, image(kImageFullKnob), nullptr);
    peakKnob = new guiKnob(PARAM_PEAKRED, 498, 92, 83, 86, 151, bg, image(kImageFullKnob), nullptr);
    meterSelector = new guiKnob(PARAM_METERSEL, 610, 42, 83, 86, 4, bg, image(kImageFullSelector), nullptr);
    for (guiKnob* knob : {r37Screw, gainKnob, peakKnob})
        knob->setDefaultValue(kKnobDefault);
    for (guiKnob* knob : {r37Screw, gainKnob, peakKnob, meterSelector})
        group->addMember(knob);
    enableSwitch = new guiOnOff(PARAM_ENABLE, 629, 138, 38, 47, 2, bg, image(kImageSwitch), nullptr);
    window->addRegion(enableSwitch);
    limitSwitch = new guiOnOff(PARAM_LIMITMODE, 76, 129, 38, 47, 2, bg, image(kImageSwitch), nullptr);
    window->addRegion(limitSwitch);
    meter = new guiVU(kMeterNumber, 318, 54, 130, 61, 84, image(kImageFullMeter), bg, effect);
    window->addRegion(meter);
    optionsButton = new guiOptionsButton(kOptionsNumber, 739, 12, 15, 15);
    optionsButton->momentary = true;
    optionsButton->setEditor(this);
    window->addRegion(optionsButton);
}

void Editor::buildCompactPanel()
{
    ZVNPal::CPalBitmap* bg = image(kImageCompactBackground);
    ZVNPal::CPalBitmap* knobFocus = image(kImageCompactKnobFocus);
    group = new guiGroup(493, 93, 451, 88, bg);
    window->addRegion(group);
    r37Screw = new guiKnob(PARAM_R37, 138, 113, 32, 32, 151, bg, image(kImageScrew), image(kImageScrewFocus));
    gainKnob = new guiKnob(PARAM_GAIN, 16, 163, 58, 59, 151, bg, image(kImageCompactKnob), knobFocus);
    peakKnob = new guiKnob(PARAM_PEAKRED, 126, 163, 58, 59, 151, bg, image(kImageCompactKnob), knobFocus);
    meterSelector = new guiKnob(PARAM_METERSEL, 71, 105, 58, 59, 4, bg, image(kImageCompactSelector), knobFocus);
    r37Screw->setOverlay(image(kImageScrewWrite), 0, 0);
    for (guiKnob* knob : {gainKnob, peakKnob, meterSelector})
        knob->setOverlay(image(kImageCompactKnobWrite), 0, 0);
    for (guiKnob* knob : {r37Screw, gainKnob, peakKnob})
        knob->setDefaultValue(kKnobDefault);
    for (guiKnob* knob : {r37Screw, gainKnob, peakKnob, meterSelector})
        group->addMember(knob);
    limitSwitch = new guiOnOff(PARAM_LIMITMODE, 33, 115, 38, 47, 2, bg, image(kImageSwitch), image(kImageSwitchFocus));
    limitSwitch->setOverlay(image(kImageSwitchWrite), 1, 1);
    window->addRegion(limitSwitch);
    meter = new guiVU(kMeterNumber, 43, 41, 113, 45, 84, image(kImageCompactMeter), bg, effect);
    window->addRegion(meter);
    optionsButton = new guiOptionsButton(kOptionsNumber, 176, 21, 13, 17);
    optionsButton->setEditor(this);
    window->addRegion(optionsButton);
}

void Editor::showCurrentValues()
{
    // Everything is shown now: older marks would only repeat it.
    effect->changedParameters.take();
    effect->changedWriteMarks.take();
    pendingParameters = 0;
    for (uint32_t id = 0; id < PARAM_COUNT; ++id)
        onParameterChanged(id, effect->getParamValue(id));
    if (!moduleMode)
        return;
    for (uint32_t id = 1; id < PARAM_COUNT && effect->editorOpen; ++id)
        onWriteStateChanged(id, effect->writeIndicators[id]);
}

tresult PLUGIN_API Editor::removed()
{
    ZVNPal::DebugTrace("Editor::removed\n");
    // Only the editor that built the panel tears it down: a second view of
    // the same effect showed nothing and must not close the first one's.
    if (!effect || !effect->editorOpen || !window)
        return kInternalError;
    if (runLoop)
        runLoop->stop();
    // Controls go first: onParameterChanged may look for them meanwhile.
    effect->editorOpen = false;
    if (window) {
        if (window->IsValid())
            window->Destroy();
        delete window;
        window = nullptr;
    }
    group = nullptr;
    r37Screw = gainKnob = peakKnob = meterSelector = nullptr;
    meter = nullptr;
    enableSwitch = limitSwitch = nullptr;
    optionsButton = nullptr;
    if (--openEditors == 0)
        ZVNPal::ShutdownGraphicsRuntime();
    return EditorView::removed();
}

tresult PLUGIN_API Editor::getSize(ViewRect* size)
{
    if (!size)
        return kInvalidArgument;
    *size = scaledSize();
    ZVNPal::DebugTrace("Editor::getSize [%d x %d] @ (%d, %d)\n", size->getWidth(), size->getHeight(), 0, 0);
    return kResultOk;
}

tresult PLUGIN_API Editor::checkSizeConstraint(ViewRect* rect)
{
    if (!rect)
        return kInvalidArgument;
    // The panel has one size at each scale.
    const ViewRect size = scaledSize();
    rect->right = rect->left + size.getWidth();
    rect->bottom = rect->top + size.getHeight();
    return kResultTrue;
}

tresult PLUGIN_API Editor::setContentScaleFactor(ScaleFactor factor)
{
    if (!std::isfinite(factor) || factor <= 0.f)
        return kInvalidArgument;
    applyScale(std::clamp(factor, kMinScale, kMaxScale));
    return kResultTrue;
}

void Editor::chooseScale(float newScale)
{
    applyScale(newScale);
    ZVNPal::UserSettings().SetEditorSizePercent(static_cast<int>(std::lround(newScale * kPercent)));
}

void Editor::applyScale(float newScale)
{
    if (newScale == scale)
        return;
    scale = newScale;
    if (!window)
        return;
    if (scale > 1.f)
        EditorImages::loadDetailed();
    window->setPanelScale(scale);
    scale = window->Scale();
    ViewRect size = scaledSize();
    if (plugFrame)
        plugFrame->resizeView(this, &size);
}

tresult PLUGIN_API Editor::onSize(ViewRect* newSize)
{
    if (!newSize)
        return kInvalidArgument;
    const int32 w = newSize->getWidth();
    const int32 h = newSize->getHeight();
    ZVNPal::DebugTrace("Editor::onSize [%d x %d] @ (%d, %d)\n", w, h, newSize->left, newSize->top);
    if (window) {
        // The host speaks in screen pixels, the window in panel units.
        const auto units = [this](int32 pixels) { return static_cast<int32_t>(std::lround(pixels / double(scale))); };
        window->SetBounds(units(newSize->left), units(newSize->top), units(w), units(h));
        ZVNPal::DebugTrace("Editor::onSize::SetWindowBounds [%d x %d] @ (%d, %d)\n", w, h, newSize->left,
                           newSize->top);
    }
    return EditorView::onSize(newSize);
}

guiRegion* Editor::controlOf(uint32_t id) const
{
    switch (id) {
    case PARAM_ENABLE: return moduleMode ? nullptr : enableSwitch;
    case PARAM_GAIN: return gainKnob;
    case PARAM_PEAKRED: return peakKnob;
    case PARAM_LIMITMODE: return limitSwitch;
    case PARAM_R37: return r37Screw;
    case PARAM_METERSEL: return meterSelector;
    default: return nullptr;
    }
}

void Editor::onParameterChanged(uint32_t id, float value)
{
    if (!effect || !effect->editorOpen)
        return;
    if (guiRegion* control = controlOf(id)) {
        control->setValue(value);
        control->requestRedraw();
    }
}

void Editor::followEffect()
{
    if (!effect || !effect->editorOpen)
        return;
    pendingParameters |= effect->changedParameters.take();
    for (uint32_t id = 0; id < PARAM_COUNT; ++id) {
        const uint32_t bit = 1u << id;
        if (!(pendingParameters & bit))
            continue;
        guiRegion* control = controlOf(id);
        if (control && control->isHeld())
            continue;
        pendingParameters &= ~bit;
        onParameterChanged(id, effect->getParamValue(id));
    }
    const uint32_t marks = effect->changedWriteMarks.take();
    for (uint32_t id = 0; id < PARAM_COUNT; ++id)
        if (marks & (1u << id))
            onWriteStateChanged(id, effect->writeIndicators[id]);
}

void Editor::onWriteStateChanged(uint32_t id, bool shown)
{
    if (!effect || !effect->editorOpen || id == PARAM_ENABLE)
        return;
    guiRegion* control = controlOf(id);
    if (auto* knob = dynamic_cast<guiKnob*>(control))
        knob->setWriteShown(shown);
    else if (auto* button = dynamic_cast<guiOnOff*>(control))
        button->setWriteShown(shown);
}

void Editor::setUpAbout()
{
    if (!window)
        return;
    if (moduleMode)
        window->setAbout(ZVNPal::CPalRect(0, 0, 198, 249), image(kImageCompactAbout));
    else
        window->setAbout(ZVNPal::CPalRect(40, 0, 685, 212), image(kImageFullAbout));
}

int Editor::languageIndex() const
{
    return effect ? effect->GetLanguage() : ZVNPal::ReadLanguageIndex();
}

void Editor::onControlChanged(int32_t number, float value, int32_t code, int32_t, int32_t)
{
    // The meter and the options button carry numbers that name no parameter:
    // neither the effect nor the host hears of them.
    if (!effect || number < 0 || static_cast<uint32_t>(number) >= PARAM_COUNT)
        return;
    const auto id = static_cast<Vst::ParamID>(number);
    switch (code) {
    case kReportValue:
        effect->editParameter(id, value);
        break;
    case kReportContext:
        // Only the channel strip offers a menu of its own for a control.
        if (effect->moduleMode)
            effect->requestHostContextMenu(id);
        break;
    case kReportGestureBegin:
        effect->beginEdit(id);
        break;
    case kReportGestureEnd:
        effect->endEdit(id);
        break;
    default:
        break;
    }
}

std::string Editor::toolTipText(int32_t number) const
{
    if (!effect)
        return {};
    const float v = effect->getParamValue(static_cast<uint32_t>(number));
    switch (number) {
    case PARAM_ENABLE: return choiceText("IDS_PARAM_ENABLE", v > 0.5f, "IDS_ENABLE_ON", "IDS_ENABLE_OFF");
    case PARAM_GAIN: return percentText("IDS_PARAM_GAIN", v);
    case PARAM_PEAKRED: return percentText("IDS_PARAM_PEAKRED", v);
    case PARAM_LIMITMODE:
        return choiceText("IDS_PARAM_LIMITMODE", v > 0.5f, "IDS_LIMITMODE_LIMIT", "IDS_LIMITMODE_COMPRESS");
    case PARAM_R37: return percentText("IDS_PARAM_R37", v);
    case PARAM_METERSEL: {
        static constexpr const char* kModeKeys[] = {"IDS_METERSEL_GAINRED", "IDS_METERSEL_DBFULLSCALE",
                                                    "IDS_METERSEL_OUTPUT4DB", "IDS_METERSEL_OUTPUT10DB"};
        const int32_t mode = effect->meterMode;
        const char* key = mode >= 0 && mode < 4 ? kModeKeys[mode] : kModeKeys[0];
        return ZVNPal::TextString("IDS_PARAM_METERSEL") + ": " + ZVNPal::TextString(key);
    }
    default: return {};
    }
}

int32_t Editor::runOptionsMenu(guiOptionsButton& button)
{
    if (!effect || !window)
        return 0;
    const float memory = effect->getParamValue(PARAM_MEMORY);
    const float sideChain = effect->getParamValue(PARAM_SIDECH);
    const std::string documentation = window->documentationPath();

    auto* memoryMenu = new ZVNPal::CPalMenu;
    memoryMenu->AddItem(ZVNPal::TextString("IDS_MEMORY_CLASSIC").c_str(), kMenuMemoryClassic);
    memoryMenu->AddItem(ZVNPal::TextString("IDS_MEMORY_FASTRESET").c_str(), kMenuMemoryFastReset);
    memoryMenu->CheckItem(memory > 0.5f ? 1 : 0, true);

    ZVNPal::CPalMenu menu;
    menu.AddSubMenu(memoryMenu, ZVNPal::TextString("IDS_PARAM_MEMORY").c_str());
    menu.AddItem(ZVNPal::TextString("IDS_OPT_SIDECH").c_str(), kMenuSideChain);
    menu.CheckItem(1, sideChain > 0.5f);
    menu.AddItem(ZVNPal::TextString("IDS_OPT_DOC").c_str(), kMenuDocumentation);
    menu.EnableItem(2, ZVNPal::FileExists(documentation));
    menu.AddItem(ZVNPal::TextString("IDS_OPT_ABOUT").c_str(), kMenuAbout);

    auto* sizeMenu = new ZVNPal::CPalMenu;
    const MenuCommand sizeCommands[] = {kMenuSize100, kMenuSize150, kMenuSize200};
    for (int i = 0; i < static_cast<int>(std::size(sizeCommands)); ++i) {
        char label[16];
        std::snprintf(label, sizeof label, "%d %%", static_cast<int>(std::lround(kOfferedScales[i] * kPercent)));
        sizeMenu->AddItem(label, sizeCommands[i]);
        sizeMenu->CheckItem(i, kOfferedScales[i] == scale);
    }
    // Sub-menus go in at the insert position: this one just above the about entry.
    menu.SetInsertPosition(kSizeMenuPosition);
    menu.AddSubMenu(sizeMenu, ZVNPal::TextString("IDS_OPT_SIZE").c_str());

    const int32_t choice =
        menu.TrackMenu(window, button.x + button.width / 2, button.y + button.height / 2);
    applyMenuCommand(choice);
    return choice;
}

void Editor::editAsGesture(uint32_t id, float value)
{
    // Hosts record an edit only between its begin and end.
    effect->beginEdit(id);
    effect->editParameter(id, value);
    effect->endEdit(id);
}

void Editor::applyMenuCommand(int32_t command)
{
    if (!effect)
        return;
    switch (command) {
    case kMenuMemoryClassic:
        editAsGesture(PARAM_MEMORY, 0.f);
        break;
    case kMenuMemoryFastReset:
        editAsGesture(PARAM_MEMORY, 1.f);
        break;
    case kMenuSideChain:
        editAsGesture(PARAM_SIDECH, 1.f - effect->getParamValue(PARAM_SIDECH));
        break;
    case kMenuDocumentation:
        if (window)
            ZVNPal::OpenDocumentNormal(window->documentationPath().c_str());
        break;
    case kMenuAbout:
        if (window)
            window->openAbout();
        break;
    case kMenuSize100:
    case kMenuSize150:
    case kMenuSize200:
        chooseScale(kOfferedScales[command - kMenuSize100]);
        break;
    default:
        break;
    }
}
