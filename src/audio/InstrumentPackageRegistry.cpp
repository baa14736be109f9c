#include "audio/InstrumentPackageRegistry.h"

#include "audio/InstrumentPackage.h"
#include "base/GenString.h"

cInstrumentPackageRegistry::cInstrumentPackageRegistry() : cSingleton(this) {}

cInstrumentPackageRegistry::~cInstrumentPackageRegistry() { DeleteAll(); }

void cInstrumentPackageRegistry::AddPackage(cInstrumentPackage* package) { mPackages.PushBack(package); }

cInstrumentPackage* cInstrumentPackageRegistry::FindPackage(const char* name) const
{
    const cGenString wanted = cGenString::ConstructView(name);
    for (cInstrumentPackage* package = mPackages.GetFirst(); package; package = package->GetNext())
    {
        if (cGenString::EqualsNoCase(cGenString::ConstructView(package->GetName()), wanted))
            return package;
    }
    return nullptr;
}

cInstrument* cInstrumentPackageRegistry::CreateInstrument(const char* packageName, int32_t argument) const
{
    cInstrumentPackage* package = FindPackage(packageName);
    return package ? package->CreateInstrument(argument) : nullptr;
}

void cInstrumentPackageRegistry::DeleteAll()
{
    while (cInstrumentPackage* package = mPackages.PopFront())
        delete package;
}
