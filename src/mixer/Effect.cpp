#include "mixer/Effect.h"

cEffectPackage::cEffectPackage(const char* shortName, const char* displayName, const char* description)
    : mShortName(shortName)
    , mDisplayName(displayName)
    , mDescription(description)
{
}

cEffectPackage::~cEffectPackage() = default;

cEffectUI* cEffectPackage::CreateEditor() { return nullptr; }

cEffect::cEffect(cEffectPackage* package)
    : cAudioModuleBase(kEventCapacity)
    , mPackage(package)
{
}

cEffect::~cEffect() = default;
