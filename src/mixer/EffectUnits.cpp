#include "mixer/EffectUnits.h"

#include "mixer/Effect1BandFilter.h"
#include "mixer/Effect3BandEQ.h"
#include "mixer/EffectAnalyser.h"
#include "mixer/EffectChorusDelay.h"
#include "mixer/EffectCompressor.h"
#include "mixer/EffectRegistry.h"
#include "mixer/EffectReverb.h"
#include "mixer/EffectTestResampler.h"
#include "mixer/EffectWaveShape.h"

void RegisterEffectPackages()
{
    if (!gEffectRegistry)
        new cEffectRegistry();
    gEffectRegistry->AddPackage(new cEffectCompressorPackage());
    gEffectRegistry->AddPackage(new cEffect3BandEQPackage());
    gEffectRegistry->AddPackage(new cEffectChorusDelayPackage());
    gEffectRegistry->AddPackage(new cEffectWaveShapePackage());
    gEffectRegistry->AddPackage(new cEffectReverbSendPackage());
}

void RegisterHiddenEffectPackages()
{
    if (!gEffectRegistry)
        new cEffectRegistry();
    gEffectRegistry->AddPackage(new cEffect1BandFilterPackage());
    gEffectRegistry->AddPackage(new cEffectAnalyserPackage());
    gEffectRegistry->AddPackage(new cEffectTestResamplerPackage());
}

void DeleteEffectPackages() { delete gEffectRegistry; }
