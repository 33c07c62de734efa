// The base of an effect instance's editor as the AAX host drives it: the
// host pairs it with the instance's parameters and hands it a native window
// to fill, or takes the window away.
#pragma once

#include "sdk/aax/AAX.h"
#include "sdk/aax/AAX_IViewContainer.h"

class AAX_CEffectGUI
{
public:
    AAX_CEffectGUI();
    virtual ~AAX_CEffectGUI();
    AAX_CEffectGUI(const AAX_CEffectGUI&) = delete;
    AAX_CEffectGUI& operator=(const AAX_CEffectGUI&) = delete;

    AAX_Result Initialize(AAX_CEffectParameters* parameters);
    // A container places the editor into its window; null removes it.
    AAX_Result SetViewContainer(AAX_IViewContainer* container);
    virtual AAX_Result GetViewSize(AAX_Point* size) const = 0;

protected:
    virtual AAX_Result CreateViewContainer() = 0;
    virtual AAX_Result DeleteViewContainer() = 0;

    AAX_IViewContainer* GetViewContainer() const { return mContainer; }
    AAX_CEffectParameters* GetEffectParameters() const { return mParameters; }

private:
    AAX_CEffectParameters* mParameters = nullptr;
    AAX_IViewContainer* mContainer = nullptr;
};
