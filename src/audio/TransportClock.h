#pragma once
#include <cstdint>

// What tempo-synchronised DSP (beat-synced LFOs, synced delays) reads of the
// song's transport. The sequencer lives in a library above this one and
// installs itself here; the values are shared variables that the audio thread
// reads without the sequencer's lock.
class cTransportClock
{
public:
    // Beats per minute.
    virtual float GetTempo() const = 0;
    // Ticks of the clock, which runs at the tempo also while the transport
    // is stopped and is negative during a count-in.
    virtual int32_t GetClockTicks() const = 0;
    virtual float GetInverseTicksPerBar() const = 0;

protected:
    ~cTransportClock() = default;
};

// Null uninstalls. Without a clock the tempo reads 0 and the clock stands at 0.
void SetTransportClock(cTransportClock* clock);
cTransportClock* GetTransportClock();
