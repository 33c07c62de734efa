// The Windows build of ol7t-shot shows the full panel only: the in-process
// module effect finds its installation through a registry file, which only
// the Linux build reads.
#include "tools/shot/ModuleEffect.h"

std::string createModuleEffect(const std::string&, Steinberg::IPtr<Steinberg::Vst::IComponent>& component)
{
    component = nullptr;
    return "the compact panel needs the Linux build of ol7t-shot";
}
