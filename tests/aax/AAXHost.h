// Test support: a simulated AAX host. It loads the built library, registers
// it through its ACF entry points, and runs effect instances the way an AAX
// host does: controller, parameter calls, chunks and render calls.
#pragma once

#include "aax/AAXRender.h"
#include "integration/BundleHost.h"
#include "sdk/aax/AAX_CCollection.h"
#include "sdk/aax/AAX_CEffectGUI.h"
#include "sdk/aax/AAX_CMonolithicParameters.h"
#include "sdk/aax/ACF.h"

#include <memory>
#include <string>
#include <vector>

namespace testing_support {

using RegisterPlugin = ACFRESULT (*)(IACFUnknown*, IACFPluginDefinition**);

// The library loaded and registered; null members when that failed.
class AAXHost
{
public:
    explicit AAXHost(const std::string& bundle)
        : library(bundle)
    {
        auto registerPlugin = reinterpret_cast<RegisterPlugin>(library.symbol("ACFRegisterPlugin"));
        if (registerPlugin && registerPlugin(nullptr, &definition) == ACF_OK && definition)
            collection = definition->GetCollection();
    }
    ~AAXHost()
    {
        if (definition)
            definition->Release();
    }
    AAXHost(const AAXHost&) = delete;
    AAXHost& operator=(const AAXHost&) = delete;

    template <typename F>
    F entry(const char* name) const
    {
        return reinterpret_cast<F>(library.symbol(name));
    }
    const AAX_CEffectDescriptor* effect() const
    {
        return collection && !collection->Effects().empty() ? collection->Effects()[0].descriptor : nullptr;
    }

    BundleHost library;
    IACFPluginDefinition* definition = nullptr;
    const AAX_CCollection* collection = nullptr;
};

// One effect instance of the registered effect, with its own buffers.
class AAXInstance
{
public:
    AAXInstance(const AAXHost& host, AAX_EStemFormat stem, AAX_CSampleRate rate = 44100.f)
        : controller(stem, rate)
        , channels(AAX_STEM_FORMAT_CHANNEL_COUNT(stem))
    {
        const AAX_CEffectDescriptor* effect = host.effect();
        if (!effect || !effect->CreateParametersProc())
            return;
        parameters.reset(effect->CreateParametersProc()());
        for (const AAX_CComponentDescriptor* c : effect->Components())
            render = c->ProcessProc();
        if (parameters)
            initialized = parameters->Initialize(&controller) == AAX_SUCCESS;
    }

    // The identifier of the parameter with this index.
    std::string id(int32_t index) const
    {
        AAX_CString text;
        parameters->GetParameterIDFromIndex(index, &text);
        return text.Get();
    }

    void process(const std::vector<std::vector<float>>& in, std::vector<std::vector<float>>& out,
                 const std::vector<float>* sideChain = nullptr)
    {
        renderBlock(*static_cast<AAX_CMonolithicParameters*>(parameters.get()), render, in, out,
                    kAfterMainChannels, sideChain);
    }

    HostController controller;
    int32_t channels;
    std::unique_ptr<AAX_CEffectParameters> parameters;
    AAX_CRenderProc render = nullptr;
    bool initialized = false;
};

} // namespace testing_support
