#include "mixer/ui/EffectEditors.h"

#include <cstring>

#include "mixer/Effect.h"
#include "mixer/ui/Effect1BandFilterUI.h"
#include "mixer/ui/Effect3BandEQUI.h"
#include "mixer/ui/EffectAnalyserUI.h"
#include "mixer/ui/EffectChorusDelayUI.h"
#include "mixer/ui/EffectCompressorUI.h"
#include "mixer/ui/EffectReverbUI.h"
#include "mixer/ui/EffectWaveShapeUI.h"

namespace
{
cEffectUI* CreateEffectEditor(cEffectPackage* package)
{
    const char* name = package->GetShortName();
    if (std::strcmp(name, "EQ-3B") == 0)
        return new cEffect3BandEQUI(package);
    if (std::strcmp(name, "QDL-5") == 0)
        return new cEffectCompressorUI(package);
    if (std::strcmp(name, "VELTRIX") == 0)
        return new cEffectChorusDelayUI(package);
    if (std::strcmp(name, "Q-HALLS") == 0)
        return new cEffectReverbUI(package);
    if (std::strcmp(name, "9TH HARBOR") == 0)
        return new cEffectWaveShapeUI(package);
    if (std::strcmp(name, "FILTER-1B") == 0)
        return new cEffect1BandFilterUI(package);
    if (std::strcmp(name, "ANALYSER") == 0)
        return new cEffectAnalyserUI(package);
    if (std::strcmp(name, "TEST-RESAMPLER") == 0)
        return new cEffectTestResamplerUI(package);
    return nullptr;
}
} // namespace

void InstallEffectEditorFactory() { SetEffectEditorFactory(CreateEffectEditor); }
