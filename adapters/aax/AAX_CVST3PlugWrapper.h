// The host side that the AAX adapter gives to its VST 3 effect: the host
// application (named "Pro Tools", making message and attribute objects),
// the component handler that passes the effect's edits on, and what one
// process call needs: buffers, parameter queues in and out and events.
#pragma once

#include "adapters/aax/AAX_CVST3EventList.h"
#include "sdk/HostProcessData.h"
#include "sdk/ParameterChanges.h"

#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivsthostapplication.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <atomic>

class AAX_CVST3PlugWrapper : public Steinberg::Vst::IHostApplication, public Steinberg::Vst::IComponentHandler
{
public:
    // Who hears what the effect reports through its component handler.
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void onEdit(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value) = 0;
        virtual void onRestart(Steinberg::int32 flags) = 0;
    };

    static constexpr const char* kHostName = "Pro Tools";

    explicit AAX_CVST3PlugWrapper(Listener* listener);
    virtual ~AAX_CVST3PlugWrapper() = default;
    AAX_CVST3PlugWrapper(const AAX_CVST3PlugWrapper&) = delete;
    AAX_CVST3PlugWrapper& operator=(const AAX_CVST3PlugWrapper&) = delete;

    // Sets the processor up for blocks of at most `setup.maxSamplesPerBlock`
    // samples and lays out buffers for its buses; the processor is inactive
    // meanwhile and active again afterwards.
    void prepare(Steinberg::Vst::IComponent& component, Steinberg::Vst::IAudioProcessor& processor,
                 Steinberg::Vst::ProcessSetup setup);
    Steinberg::int32 maxBlock() const { return processData.maxSamples(); }

    Steinberg::Vst::HostProcessData processData;
    Steinberg::Vst::ParameterChanges inputChanges;
    Steinberg::Vst::ParameterChanges outputChanges;
    AAX_CVST3EventList events;

    // IHostApplication
    Steinberg::tresult PLUGIN_API getName(Steinberg::Vst::String128 name) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API createInstance(Steinberg::TUID cid, Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;

    // IComponentHandler
    Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) SMTG_OVERRIDE;

    // Owned by the adapter, which outlives the effect's references.
    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
    Steinberg::uint32 PLUGIN_API addRef() SMTG_OVERRIDE;
    Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE;

private:
    Listener* listener;
    // Makes the message and attribute-list objects the effect asks for. The
    // SDK's class does not delete itself on its last release: held by value.
    Steinberg::Vst::HostApplication hostClasses;
    std::atomic<Steinberg::uint32> references{1};
};
