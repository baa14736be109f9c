#pragma once
#include <atomic>
#include <cstdint>

#include "base/GenString.h"

class cMIDIManager;

// What the user chose for one MIDI port, kept by name for as long as the
// settings know it, whether or not the device is plugged in. The setters
// tell the manager, which opens, closes or silences the device to match.
class cMIDIPortSettings
{
public:
    static constexpr int32_t kChannelCount = 16;
    static constexpr uint32_t kEnableBit = 1;
    static constexpr uint32_t kAllChannels = 0xFFFFFFFFu;

    // Defaults: every channel, not omni, and off unless the name is one of
    // the devices that start enabled.
    cMIDIPortSettings(cMIDIManager* owner, const char* name, bool isOutput);

    const cGenString& GetName() const { return mName; }
    bool IsOutput() const { return mIsOutput != 0; }
    bool IsPresent() const { return mPresent != 0; }
    bool IsOmni() const { return mOmni; }
    uint32_t GetEnableFlags() const { return mEnableFlags; }
    uint32_t GetChannels() const { return mChannels; }
    // Channel index 0..15; 1 on a message, falling to 0.
    float GetActivity(int32_t channelIndex) const;

    // Main thread (the MIDI device page).
    void SetEnableFlags(uint32_t flags);
    void SetChannels(uint32_t channels);
    // Silences the device's notes first: they would be routed elsewhere.
    void SetOmni(bool omni);

private:
    friend class cMIDIManager;

    cMIDIManager* mOwner;
    cGenString mName;
    uint8_t mIsOutput;
    uint8_t mPresent = 0;
    bool mOmni = false;
    uint32_t mEnableFlags;
    uint32_t mChannels = kAllChannels;
    // Written by the input thread, decayed by the main thread.
    std::atomic<float> mActivity[kChannelCount] = {};
};
