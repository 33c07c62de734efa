// Test support: a host component handler that records the edits it hears.
#pragma once

#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <string>
#include <vector>

namespace testing_support {

class RecordingHandler : public Steinberg::Vst::IComponentHandler
{
public:
    struct Call
    {
        char kind; // 'b' begin, 'p' perform, 'e' end
        Steinberg::Vst::ParamID id;
        double value;
    };

    Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) override { return add('b', id, 0); }
    Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue v) override
    {
        return add('p', id, v);
    }
    Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) override { return add('e', id, 0); }
    Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32) override { return Steinberg::kResultOk; }
    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID, void**) override
    {
        return Steinberg::kNoInterface;
    }
    Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
    Steinberg::uint32 PLUGIN_API release() override { return 1; }

    // The kinds in order, "b", "p", "e" for each call, e.g. "bppe".
    std::string kinds() const
    {
        std::string s;
        for (const Call& c : calls)
            s += c.kind;
        return s;
    }

    std::vector<Call> calls;

private:
    Steinberg::tresult add(char kind, Steinberg::Vst::ParamID id, double v)
    {
        calls.push_back({kind, id, v});
        return Steinberg::kResultOk;
    }
};

} // namespace testing_support
