#include "project/TrackMap.h"

#include <cstdio>

#include "audio/AudioLock.h"
#include "base/Serialise.h"

namespace
{
bool IsSlot(int32_t slot) { return slot >= 0 && slot < cTrackMap::kSlotCount; }
bool IsChannel(int32_t channel) { return channel >= 0 && channel < cTrackMap::kChannelCount; }

const cTrackMap::cChannelList kNoSlots;
} // namespace

cTrackMap::cTrackMap() { Reset(); }

int32_t cTrackMap::DefaultChannel(int32_t slot) { return slot == 0 ? kChannelCount - 1 : slot - 1; }

void cTrackMap::Reset()
{
    for (int32_t slot = 0; slot < kSlotCount; ++slot)
        mSlotChannels[slot] = DefaultChannel(slot);
    RebuildChannelLists();
}

void cTrackMap::RebuildChannelLists()
{
    cScopedAudioLock lock;
    for (cChannelList& list : mChannelLists)
        list.count = 0;
    for (int32_t slot = 0; slot < kSlotCount; ++slot)
    {
        cChannelList& list = mChannelLists[mSlotChannels[slot]];
        list.items[list.count++] = slot;
    }
}

void cTrackMap::SetChannel(int32_t slot, int32_t channel)
{
    if (!IsSlot(slot) || !IsChannel(channel) || mSlotChannels[slot] == channel)
        return;
    mSlotChannels[slot] = channel;
    RebuildChannelLists();
}

bool cTrackMap::Serialise(Base::cSerialise& serialise)
{
    const bool reading = serialise.IsLoading();
    if (reading)
        Reset();
    if (!serialise.BeginNode("TrackMap", !reading))
        return false;
    for (int32_t slot = 0; slot < kSlotCount; ++slot)
    {
        char name[16];
        std::snprintf(name, sizeof(name), "Instr%d", int(slot));
        int32_t channel = mSlotChannels[slot];
        serialise.SerialiseInt32(name, &channel, INT32_MIN, INT32_MAX);
        if (IsChannel(channel))
            mSlotChannels[slot] = channel;
    }
    serialise.EndNode("TrackMap");
    if (reading)
        RebuildChannelLists();
    return true;
}

int32_t cTrackMap::GetChannel(int32_t slot) const { return IsSlot(slot) ? mSlotChannels[slot] : -1; }

const cTrackMap::cChannelList& cTrackMap::GetChannelList(int32_t channel) const
{
    return IsChannel(channel) ? mChannelLists[channel] : kNoSlots;
}
