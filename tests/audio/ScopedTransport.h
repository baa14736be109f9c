#pragma once
#include "audio/Transport.h"

// Tests set the shared transport variables by hand; this puts back the
// state, tempo, clock and bar length they change when the test ends.
class cScopedTransport
{
public:
    cScopedTransport()
        : mState(gTransport.state.load()), mTempo(gTransport.tempo.load()), mClock(gTransport.clock.load()),
          mBarsPerTick(gTransport.barsPerTick.load())
    {
    }
    ~cScopedTransport()
    {
        gTransport.state = mState;
        gTransport.tempo = mTempo;
        gTransport.clock = mClock;
        gTransport.barsPerTick = mBarsPerTick;
    }
    cScopedTransport(const cScopedTransport&) = delete;
    cScopedTransport& operator=(const cScopedTransport&) = delete;

private:
    int32_t mState;
    float mTempo;
    int32_t mClock;
    float mBarsPerTick;
};
