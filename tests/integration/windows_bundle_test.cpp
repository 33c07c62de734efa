// The Windows bundle driven the way Windows hosts drive it: loaded with
// LoadLibraryW and entered through InitDll, its factory and an effect that
// finds its Resources from the module alone, and the VST 2 entry points
// with the channel strip's compatibility value written with reg add and the
// editor opened in the host's window.
// The VST 2 header comes before the VST 3 ones (they share a macro name).
#include "sdk/Vst2Abi.h"

#include "tools/render/SharedLibrary.h"

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using namespace Steinberg;

const char kProductKey[] = "HKLM\\Software\\Marrowby Music Software\\OL-7T Leveling Amplifier\\2.0";

intptr_t hostCallback(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float)
{
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

class WindowsBundle : public ::testing::Test {
protected:
    void SetUp() override
    {
        // No installer's values: the bundle alone has to do.
        std::system((std::string("reg delete \"") + kProductKey + "\" /f >nul 2>nul").c_str());
        ASSERT_EQ(library.open(SharedLibrary::libraryOf(OL7T_BUNDLE_DIR)), "");
    }
    void TearDown() override { std::system((std::string("reg delete \"") + kProductKey + "\" /f >nul 2>nul").c_str()); }

    template <typename Function>
    Function entry(const char* name)
    {
        return reinterpret_cast<Function>(library.symbol(name));
    }

    SharedLibrary library;
};

TEST_F(WindowsBundle, FactoryMakesAnEffectThatFindsItsResourcesFromTheModule)
{
    auto getFactory = entry<IPluginFactory* (*)()>("GetPluginFactory");
    ASSERT_NE(getFactory, nullptr);
    IPtr<IPluginFactory> factory = owned(getFactory());
    ASSERT_TRUE(factory);
    ASSERT_EQ(factory->countClasses(), 1);
    PClassInfo info{};
    ASSERT_EQ(factory->getClassInfo(0, &info), kResultOk);
    EXPECT_STREQ(info.name, "OL-7T");
    const unsigned char classId[16] = {0xA3, 0x56, 0x3C, 0xC1, 0xCE, 0x72, 0x6F, 0x41,
                                       0x9F, 0xB2, 0x81, 0x1A, 0xD0, 0xC3, 0x8F, 0xC2};
    EXPECT_EQ(std::memcmp(info.cid, classId, sizeof classId), 0);

    Vst::IComponent* created = nullptr;
    ASSERT_EQ(factory->createInstance(info.cid, Vst::IComponent::iid, reinterpret_cast<void**>(&created)), kResultOk);
    IPtr<Vst::IComponent> effect = owned(created);
    Vst::HostApplication host;
    EXPECT_EQ(effect->initialize(&host), kResultOk) << "Resources\\ beside x86_64-win\\ must be found";
    effect->terminate();
}

TEST_F(WindowsBundle, ChannelStripChunksFollowTheCompatibilityValue)
{
    const struct {
        const char* value; // reg add arguments, or none
        bool chunks;
    } cases[] = {
        {nullptr, false},
        {"/t REG_DWORD /d 0", true},
        {"/t REG_DWORD /d 1", false},
        {"/t REG_SZ /d 0", false}, // reads as 48
    };
    auto strip = entry<AEffect* (*)(audioMasterCallback)>("TORVAPluginMain");
    auto plain = entry<AEffect* (*)(audioMasterCallback)>("VSTPluginMain");
    ASSERT_TRUE(strip && plain);
    for (const auto& c : cases) {
        if (c.value) {
            const std::string command =
                std::string("reg add \"") + kProductKey + "\" /v SV7TCompatabilityMode " + c.value + " /f >nul 2>nul";
            ASSERT_EQ(std::system(command.c_str()), 0);
        }
        for (auto [main, chunks] : {std::pair{strip, c.chunks}, std::pair{plain, true}}) {
            AEffect* e = main(&hostCallback);
            ASSERT_NE(e, nullptr);
            EXPECT_EQ(e->unique_id, 0x4F6F3774); // "Oo7t"
            EXPECT_EQ((e->flags & effFlagsProgramChunks) != 0, chunks) << (c.value ? c.value : "no value");
            e->control(e, static_cast<VST_EFFECT_OPCODE>(effClose), 0, 0, nullptr, 0.f);
        }
    }
}

TEST_F(WindowsBundle, Vst2EditorOpensAsAChildOfTheHostsWindow)
{
    auto plain = entry<AEffect* (*)(audioMasterCallback)>("VSTPluginMain");
    ASSERT_NE(plain, nullptr);
    AEffect* e = plain(&hostCallback);
    ASSERT_NE(e, nullptr);
    const auto dispatch = [e](int32_t opcode, void* ptr) {
        return e->control(e, static_cast<VST_EFFECT_OPCODE>(opcode), 0, 0, ptr, 0.f);
    };
    dispatch(effOpen, nullptr);
    const HWND host = ::CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 800, 300, nullptr,
                                        nullptr, nullptr, nullptr);
    ASSERT_NE(host, nullptr);
    ERect* rect = nullptr;
    ASSERT_EQ(dispatch(effEditGetRect, &rect), 1);
    EXPECT_EQ(rect->right - rect->left, 765);
    EXPECT_EQ(rect->bottom - rect->top, 212);
    EXPECT_EQ(dispatch(effEditOpen, host), 1) << "a Windows host hands over an HWND";
    EXPECT_NE(::GetWindow(host, GW_CHILD), nullptr);
    dispatch(effEditClose, nullptr);
    EXPECT_EQ(::GetWindow(host, GW_CHILD), nullptr);
    ::DestroyWindow(host);
    dispatch(effClose, nullptr);
}

} // namespace
