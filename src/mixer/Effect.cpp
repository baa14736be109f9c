#include "mixer/Effect.h"

cEffectPackage::cEffectPackage(const char* shortName, const char* displayName, const char* description)
    : mShortName(shortName)
    , mDisplayName(displayName)
    , mDescription(description)
{
}

cEffectPackage::~cEffectPackage() = default;

namespace
{
tEffectEditorFactory gEditorFactory = nullptr;
} // namespace

cEffectUI* cEffectPackage::CreateEditor() { return gEditorFactory ? gEditorFactory(this) : nullptr; }

void SetEffectEditorFactory(tEffectEditorFactory factory) { gEditorFactory = factory; }

cEffect::cEffect(cEffectPackage* package)
    : cAudioModuleBase(kEventCapacity)
    , mPackage(package)
{
}

cEffect::~cEffect() = default;
