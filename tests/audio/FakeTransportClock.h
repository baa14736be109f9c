#pragma once
#include "audio/TransportClock.h"

// A transport clock the test sets by hand, installed for the object's life.
class cFakeTransportClock : public cTransportClock
{
public:
    float tempo = 120.0f;
    int32_t clockTicks = 0;
    float inverseTicksPerBar = 1.0f / 1024.0f;

    cFakeTransportClock() { SetTransportClock(this); }
    ~cFakeTransportClock() { SetTransportClock(nullptr); }

    float GetTempo() const override { return tempo; }
    int32_t GetClockTicks() const override { return clockTicks; }
    float GetInverseTicksPerBar() const override { return inverseTicksPerBar; }
};
