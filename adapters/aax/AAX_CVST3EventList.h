// Host side: the VST 3 events of one block, at most 1024; later ones are
// refused. Storage is reserved once, so the audio thread never allocates.
#pragma once

#include "pluginterfaces/vst/ivstevents.h"

#include <vector>

class AAX_CVST3EventList : public Steinberg::Vst::IEventList
{
public:
    static constexpr Steinberg::int32 kMaxEvents = 1024;

    AAX_CVST3EventList();
    virtual ~AAX_CVST3EventList() = default;

    Steinberg::int32 PLUGIN_API getEventCount() SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API getEvent(Steinberg::int32 index, Steinberg::Vst::Event& e) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API addEvent(Steinberg::Vst::Event& e) SMTG_OVERRIDE;

    void clear() { events.clear(); }

    // Owned by its holder; references are counted but never delete it.
    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
    Steinberg::uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return 1; }
    Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE { return 1; }

private:
    std::vector<Steinberg::Vst::Event> events;
};
