#include "mixer/EffectRegistry.h"

#include "base/GenString.h"

cEffectRegistry* gEffectRegistry = nullptr;

cEffectRegistry::cEffectRegistry() { gEffectRegistry = this; }

cEffectRegistry::~cEffectRegistry() { DeleteAll(); }

void cEffectRegistry::AddPackage(cEffectPackage* package)
{
    if (package)
        mPackages.PushBack(package);
}

cEffectPackage* cEffectRegistry::FindPackage(const char* shortName) const
{
    if (!shortName)
        return nullptr;
    for (cEffectPackage* package = mPackages.GetFirst(); package; package = package->GetNext())
        if (cGenString::EqualsNoCase(cGenString(package->GetShortName()), cGenString(shortName)))
            return package;
    return nullptr;
}

cEffect* cEffectRegistry::CreateEffect(const char* shortName) const
{
    cEffectPackage* package = FindPackage(shortName);
    return package ? package->CreateEffect() : nullptr;
}

void cEffectRegistry::DeleteAll()
{
    while (cEffectPackage* package = mPackages.PopFront())
        delete package;
    if (gEffectRegistry == this)
        gEffectRegistry = nullptr;
}
