#include "platform/PlaybackStateService.h"

cPlaybackStateService* gPlaybackStateService = nullptr;

cPlaybackStateService::cPlaybackStateService()
{
    gPlaybackStateService = this;
}

cPlaybackStateService::~cPlaybackStateService()
{
    if (gPlaybackStateService == this)
        gPlaybackStateService = nullptr;
}

void cPlaybackStateService::SetState(int slot, int32_t value)
{
    if (slot >= 0 && slot < kSlotCount && mStates[slot] != value)
        mStates[slot] = value;
}

int32_t cPlaybackStateService::GetState(int slot) const
{
    return slot >= 0 && slot < kSlotCount ? mStates[slot] : 0;
}
