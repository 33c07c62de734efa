// The plug-in's own AAX description: its one effect, and the function the
// library's AAX entry points call to describe it.
#pragma once

#include "adapters/aax/AAX_VST3EffectDescription.h"

class AAX_CCollection;

// The OL-7T effect as the AAX host sees it.
const AAX_VST3EffectDescription& ol7tAAXDescription();

// Fills `collection` with every effect of the library.
void GetEffectDescriptions(AAX_CCollection* collection);
