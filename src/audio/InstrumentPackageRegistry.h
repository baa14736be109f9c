#pragma once
#include <cstdint>

#include "base/IntrusiveList.h"
#include "base/Singleton.h"

class cInstrument;
class cInstrumentPackage;

// The installed instrument packages in the order they were added, which is
// the order they are found and deleted in. Owns them.
class cInstrumentPackageRegistry : public Base::cSingleton<cInstrumentPackageRegistry>
{
public:
    cInstrumentPackageRegistry();
    // Deletes every package.
    ~cInstrumentPackageRegistry();

    void AddPackage(cInstrumentPackage* package);
    // The first package of that name, ignoring ASCII case; null when none.
    cInstrumentPackage* FindPackage(const char* name) const;
    // A new instrument of the named package; null when no package has the name.
    cInstrument* CreateInstrument(const char* packageName, int32_t argument) const;
    void DeleteAll();

    uint32_t GetCount() const { return mPackages.GetCount(); }
    // The first package in registration order; the rest follow through GetNext.
    cInstrumentPackage* GetFirst() const { return mPackages.GetFirst(); }

private:
    Base::cIntrusiveList<cInstrumentPackage, 1> mPackages;
};
