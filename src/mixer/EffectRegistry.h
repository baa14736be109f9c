#pragma once
#include <cstdint>

#include "base/IntrusiveList.h"
#include "mixer/Effect.h"

// The installed effect units, in registration order (the chooser's order).
// Owns its packages. Main thread and job threads; nothing on the audio thread
// walks it.
class cEffectRegistry
{
public:
    // Sets gEffectRegistry.
    cEffectRegistry();
    // DeleteAll.
    ~cEffectRegistry();
    cEffectRegistry(const cEffectRegistry&) = delete;
    cEffectRegistry& operator=(const cEffectRegistry&) = delete;

    // Appended at the end; the registry owns it.
    void AddPackage(cEffectPackage* package);
    // The first package whose short name equals the name ignoring case.
    cEffectPackage* FindPackage(const char* shortName) const;
    // A new effect of that package, or null when none matches.
    cEffect* CreateEffect(const char* shortName) const;
    // Deletes every package from the front, then clears gEffectRegistry.
    void DeleteAll();

    int32_t GetCount() const { return static_cast<int32_t>(mPackages.GetCount()); }
    cEffectPackage* GetFirst() const { return mPackages.GetFirst(); }

private:
    Base::cIntrusiveList<cEffectPackage, 1> mPackages;
};

extern cEffectRegistry* gEffectRegistry;

