#pragma once

#include <cstdint>

namespace Base
{
class cSerialise;
}

// Which MIDI input channel each instrument slot listens to, and per channel
// the slots that listen to it, which the MIDI sink reads on the audio thread.
// The lists are derived: rebuilt, under the audio manager's lock, after every
// change, so the sink never sees one half made.
class cTrackMap
{
public:
    static constexpr int32_t kSlotCount = 16;
    static constexpr int32_t kChannelCount = 16;

    // The slots listening to one channel, in ascending order.
    struct cChannelList
    {
        int32_t capacity = kSlotCount;
        int32_t items[kSlotCount] = {};
        int32_t count = 0;
    };

    // The defaults: the mixer in slot 0 on MIDI channel 16, slot i on channel i.
    cTrackMap();

    void Reset();
    void RebuildChannelLists();
    // Channel 0..15; a slot or channel outside its range changes nothing.
    void SetChannel(int32_t slot, int32_t channel);
    // "TrackMap" with "Instr0".."Instr15". Reading starts from the defaults,
    // and a value outside 0..15 keeps its slot's default.
    bool Serialise(Base::cSerialise& serialise);

    // The slot's channel; -1 outside 0..15.
    int32_t GetChannel(int32_t slot) const;
    // An empty list for a channel outside 0..15.
    const cChannelList& GetChannelList(int32_t channel) const;

    static int32_t DefaultChannel(int32_t slot);

private:
    int32_t mSlotCount = kSlotCount;
    int32_t mSlotChannels[kSlotCount];
    int32_t mChannelCount = kChannelCount;
    cChannelList mChannelLists[kChannelCount];
};
