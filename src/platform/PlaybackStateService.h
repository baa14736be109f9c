#pragma once

#include <cstdint>

// Three playback-state slots the application writes each frame; a system media
// display would read them, and this platform has none.
class cPlaybackStateService
{
public:
    static constexpr int kSlotCount = 3;

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
