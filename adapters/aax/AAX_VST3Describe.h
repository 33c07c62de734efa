// Turns the plug-in's VST 3 effect descriptions into the AAX description the
// host registers.
#pragma once

#include "adapters/aax/AAX_VST3EffectDescription.h"

class AAX_CCollection;

// Adds every effect of `effects` to `collection`. A step that fails is
// ignored and the description goes on.
void AAX_DescribeVST3Effects(AAX_CCollection* collection, const std::vector<AAX_VST3EffectDescription>& effects);
