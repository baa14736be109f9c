#include "midi/MIDIPortSettings.h"

#include <cstring>

#include "midi/MIDIManager.h"

namespace
{
// Devices the program knows to be keyboards meant for it.
constexpr const char* kEnabledByDefault[] = {"Pocket MIDI Interface", "VuvozIvuvedu25 Keyboard"};

uint32_t DefaultEnableFlags(const char* name)
{
    for (const char* known : kEnabledByDefault)
        if (name && std::strcmp(name, known) == 0)
            return cMIDIPortSettings::kEnableBit;
    return 0;
}
} // namespace

cMIDIPortSettings::cMIDIPortSettings(cMIDIManager* owner, const char* name, bool isOutput)
    : mOwner(owner), mName(cGenString::ConstructGrowableFromCStr(name)), mIsOutput(isOutput ? 1 : 0),
      mEnableFlags(DefaultEnableFlags(name))
{
}

float cMIDIPortSettings::GetActivity(int32_t channelIndex) const
{
    if (channelIndex < 0 || channelIndex >= kChannelCount)
        return 0.0f;
    return mActivity[channelIndex].load(std::memory_order_relaxed);
}

// The input thread reads the settings under the manager's lock.
void cMIDIPortSettings::SetEnableFlags(uint32_t flags)
{
    cScopedLock lock(mOwner->GetLock());
    if (flags == mEnableFlags)
        return;
    const uint32_t old = mEnableFlags;
    mEnableFlags = flags;
    mOwner->OnEnableFlagsChanged(this, old, flags);
}

void cMIDIPortSettings::SetChannels(uint32_t channels)
{
    cScopedLock lock(mOwner->GetLock());
    if (channels == mChannels)
        return;
    const uint32_t old = mChannels;
    mChannels = channels;
    mOwner->OnChannelMaskChanged(this, old, channels);
}

void cMIDIPortSettings::SetOmni(bool omni)
{
    cScopedLock lock(mOwner->GetLock());
    if (omni == mOmni)
        return;
    mOwner->ReleasePortNotes(this);
    mOmni = omni;
}
