#pragma once

#include <cstdint>

// Three playback-state slots the application writes each frame; a system media
// display would read them, and this platform has none.
class cPlaybackStateService
{
public:
    enum : int
    {
        kSlotTransport = 0, // 1 stopped, 2 playing, 3 not available on this screen
        kSlotSampler = 1,   // 3 no capture, 4 armed, 2 capturing, 0 any other capture state
        kSlotPosition = 2,  // 3 at the start, playing or not available; 2 stopped elsewhere
        kSlotCount = 3,
    };

    cPlaybackStateService();
    ~cPlaybackStateService();
    cPlaybackStateService(const cPlaybackStateService&) = delete;
    cPlaybackStateService& operator=(const cPlaybackStateService&) = delete;

    void SetState(int slot, int32_t value);
    int32_t GetState(int slot) const;

private:
    int32_t mStates[kSlotCount] = {0, 0, 0};
};

extern cPlaybackStateService* gPlaybackStateService;
