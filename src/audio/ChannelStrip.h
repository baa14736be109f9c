#pragma once

namespace Base
{
class cSerialise;
}

// An instrument's mixer channel strip as the instrument sees it: the
// instrument owns its strips, deletes them with itself and lets each write
// its own keys into the project. The mixer's strip (cMixerChannel) is one, so
// the instrument bases need no mixer header.
class cChannelStrip
{
public:
    cChannelStrip() = default;
    cChannelStrip(const cChannelStrip&) = delete;
    cChannelStrip& operator=(const cChannelStrip&) = delete;
    virtual ~cChannelStrip() = default;

    // Inside the "Channel%02d" element the instrument opened; a strip with
    // nothing of its own to keep writes nothing.
    virtual bool Serialise(Base::cSerialise& serialise);
};
