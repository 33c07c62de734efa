// The base of an effect instance's editor.
#include "sdk/aax/AAX_CEffectGUI.h"

#include "sdk/aax/ACFModule.h"

AAX_CEffectGUI::AAX_CEffectGUI()
{
    ACFModule::Lock();
}

AAX_CEffectGUI::~AAX_CEffectGUI()
{
    ACFModule::Unlock();
}

AAX_Result AAX_CEffectGUI::Initialize(AAX_CEffectParameters* parameters)
{
    if (!parameters)
        return AAX_ERROR_NULL_OBJECT;
    mParameters = parameters;
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::SetViewContainer(AAX_IViewContainer* container)
{
    if (container) {
        // A new window replaces the one the editor is in.
        if (mContainer)
            DeleteViewContainer();
        mContainer = container;
        return CreateViewContainer();
    }
    if (!mContainer)
        return AAX_SUCCESS;
    const AAX_Result result = DeleteViewContainer();
    mContainer = nullptr;
    return result;
}
