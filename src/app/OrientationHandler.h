#pragma once

#include <cstdint>

#include "base/Delegate.h"
#include "base/Singleton.h"

// Follows the device's orientation, or the stored one while it is locked,
// and calls its callback with the new orientation code (the kind less one)
// when it changes. On this platform the device stays upright, so the first
// update sets orientation 0 and nothing changes after.
class cOrientationHandler : public Base::cSingleton<cOrientationHandler>
{
public:
    enum : int32_t
    {
        kKindNone = 0,
        kKindPortrait = 1,
        kKindCount = 5, // kinds 1..4 have a code
    };

    explicit cOrientationHandler(const cDelegate& callback);

    // Once at start-up, then every frame.
    void Update();
    int32_t GetKind() const { return mKind; }

private:
    int32_t mKind = kKindNone;
    cDelegate mCallback;
};
