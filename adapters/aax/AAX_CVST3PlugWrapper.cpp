// The host side given to the VST 3 effect under AAX.
#include "adapters/aax/AAX_CVST3PlugWrapper.h"

#include "pluginterfaces/base/ustring.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

AAX_CVST3PlugWrapper::AAX_CVST3PlugWrapper(Listener* l)
    : listener(l)
{
    processData.inputParameterChanges = &inputChanges;
    processData.outputParameterChanges = &outputChanges;
    processData.inputEvents = &events;
}

void AAX_CVST3PlugWrapper::prepare(IComponent& component, IAudioProcessor& processor, ProcessSetup setup)
{
    processor.setProcessing(false);
    component.setActive(false);
    processor.setupProcessing(setup);
    processData.prepare(component, processor, setup.maxSamplesPerBlock);
    processData.processMode = setup.processMode;
    processData.symbolicSampleSize = setup.symbolicSampleSize;
    component.setActive(true);
    processor.setProcessing(true);
}

tresult PLUGIN_API AAX_CVST3PlugWrapper::getName(String128 name)
{
    // String128 holds 127 characters and the terminator.
    UString(name, 128).fromAscii(kHostName);
    return kResultOk;
}

tresult PLUGIN_API AAX_CVST3PlugWrapper::createInstance(TUID cid, TUID iid, void** obj)
{
    return hostClasses.createInstance(cid, iid, obj);
}

tresult PLUGIN_API AAX_CVST3PlugWrapper::beginEdit(ParamID)
{
    return kResultOk;
}

tresult PLUGIN_API AAX_CVST3PlugWrapper::performEdit(ParamID id, ParamValue value)
{
    if (listener)
        listener->onEdit(id, value);
    return kResultOk;
}

tresult PLUGIN_API AAX_CVST3PlugWrapper::endEdit(ParamID)
{
    return kResultOk;
}

tresult PLUGIN_API AAX_CVST3PlugWrapper::restartComponent(int32 flags)
{
    if (listener)
        listener->onRestart(flags);
    return kResultOk;
}

tresult PLUGIN_API AAX_CVST3PlugWrapper::queryInterface(const TUID iid, void** obj)
{
    QUERY_INTERFACE(iid, obj, FUnknown::iid, IHostApplication)
    QUERY_INTERFACE(iid, obj, IHostApplication::iid, IHostApplication)
    QUERY_INTERFACE(iid, obj, IComponentHandler::iid, IComponentHandler)
    *obj = nullptr;
    return kNoInterface;
}

uint32 PLUGIN_API AAX_CVST3PlugWrapper::addRef()
{
    return references.fetch_add(1, std::memory_order_relaxed) + 1;
}

uint32 PLUGIN_API AAX_CVST3PlugWrapper::release()
{
    return references.fetch_sub(1, std::memory_order_relaxed) - 1;
}
