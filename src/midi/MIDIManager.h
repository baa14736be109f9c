#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/AudioManager.h"
#include "base/CriticalSection.h"
#include "base/Delegate.h"
#include "base/Singleton.h"
#include "midi/MIDIBuffer.h"
#include "midi/MIDIInput.h"
#include "midi/MIDIMessageCollector.h"

class cAudioModuleBase;
class cMIDIPortSettings;
class cOsMIDI;
namespace Base
{
class cSerialise;
}

// The one owner of live MIDI input. It keeps the settings of every port it
// has seen, opens the enabled devices and rescans every 2 s, filters each
// incoming message and queues it in time, and once per audio device buffer
// hands that buffer's messages to the MIDI sink of the active project.
//
// Threads: the input thread calls HandleIncomingMessage, the audio thread
// DeliverBlock; everything else runs on the main thread. Lock order: this
// manager's lock, then the collector's; the audio thread takes only the
// collector's.
class cMIDIManager : public cMIDIInputCallback, public Base::cSingleton<cMIDIManager>, public cAudioMIDIInput
{
public:
    static constexpr int32_t kSlotCount = 128;
    static constexpr float kRescanSeconds = 2.0f;
    static constexpr float kActivityDecayPerSecond = 2.0f;
    static constexpr double kSampleRate = 44100.0;
    // Room for many messages per device buffer before the audio thread
    // would have to grow the hand-over buffer.
    static constexpr int32_t kDeliveryBufferBytes = 16 * 1024;
    // SendAllNotesOff with a channel outside 1..16 silences all of them.
    static constexpr int32_t kAllChannels = 0;

    // On the system's MIDI devices.
    cMIDIManager();
    explicit cMIDIManager(std::unique_ptr<cOsMIDI> system);
    ~cMIDIManager() override;
    cMIDIManager(const cMIDIManager&) = delete;
    cMIDIManager& operator=(const cMIDIManager&) = delete;

    // "Inputs" with one "Port" per record ("Name", "EnableFlags",
    // "Channels", "Omni"). Reading replaces every record.
    bool SerialiseSettings(Base::cSerialise& serialiser);
    void ScanDevices();
    // Sets started and scans now.
    void RequestRescan();
    // Once started: decays the channel lights and rescans every 2 s.
    void Update(float elapsedSeconds);
    void DecayActivity(float elapsedSeconds);

    void HandleIncomingMessage(cMIDIInput* source, const cMIDIMessage& message) override;
    // Each message goes to the sink as (const cMIDIMessage&, source slot), its
    // time stamp the sample offset in the buffer. Allocates nothing once the
    // hand-over buffer has grown to the traffic.
    void DeliverBlock(const cDelegate& sink, uint32_t frames) override;
    // Nested: input stays off until every Suspend is resumed. The first
    // queues All Notes Off on every channel of every open device.
    void Suspend() override;
    void Resume() override;
    // keep false: empties the queue and queues All Notes Off for every open
    // device; keep true only waits for a message in progress.
    void Reset(bool keep);
    void SendAllNotesOff(int32_t channel, uint8_t slot);
    // Posts a release-live-notes event for each open device (only omni ones
    // when asked) into the module's ring.
    void PostReleaseLiveNotes(cAudioModuleBase* module, bool omniOnly);

    // The port records' setters report here.
    void OnEnableFlagsChanged(cMIDIPortSettings* port, uint32_t oldFlags, uint32_t newFlags);
    void OnChannelMaskChanged(cMIDIPortSettings* port, uint32_t oldMask, uint32_t newMask);
    void ReleasePortNotes(cMIDIPortSettings* port);

    // Null when the name is not listed, every device slot is taken or the
    // system cannot open it.
    cMIDIInput* OpenInput(const std::string& name);
    void CloseDevice(cMIDIInput* device);
    cMIDIInput* FindOpenInput(const char* name) const;
    // Ignoring ASCII case.
    cMIDIPortSettings* FindPortByName(const char* name) const;
    // The settings of the device in a slot, or null.
    cMIDIPortSettings* PortForSlot(int32_t slot) const;

    // Called with the manager when a scan sees a port come or go.
    void AddChangeListener(const cDelegate& listener);
    void RemoveChangeListener(const cDelegate& listener);

    cCriticalSection* GetLock() { return &mLock; }
    cMIDIMessageCollector& GetCollector() { return mCollector; }
    int32_t GetPortCount() const { return int32_t(mPorts.size()); }
    cMIDIPortSettings* GetPort(int32_t index) const { return mPorts[size_t(index)].get(); }
    int32_t GetOpenInputCount() const { return int32_t(mInputs.size()); }
    cMIDIInput* GetOpenInput(int32_t index) const { return mInputs[size_t(index)].get(); }
    int32_t GetSuspendCount() const { return mSuspendCount.load(); }
    bool IsStarted() const { return mStarted; }

    // What the main screen shows, for an outside controller's feedback: 5 the
    // song page, 4 the setup page, 1..3 an instrument slot's place among the
    // occupied slots. Nothing on this platform reads it.
    void SetPageCode(int32_t code) { mPageCode = code; }
    int32_t GetPageCode() const { return mPageCode; }

private:
    struct cDeviceSlot
    {
        cMIDIInput* device = nullptr;
        cMIDIPortSettings* port = nullptr;
    };

    // The input thread waits for the lock, unless the device stops meanwhile:
    // the thread stopping it may hold the lock while it waits for this
    // delivery to end.
    bool EnterForDelivery(const cMIDIInput* source);
    bool PassesFilter(cMIDIPortSettings& port, const cMIDIMessage& message);
    cMIDIPortSettings& FindOrCreatePort(const char* name, bool isOutput);
    int32_t FindFreeSlot() const;
    int32_t RegisterDeviceSlot(cMIDIInput* device);
    void RemoveInputAt(size_t index);
    void ReattachSlots();
    void NotifyChangeListeners();

    // The system layer outlives the devices opened on it.
    std::unique_ptr<cOsMIDI> mSystem;
    std::vector<std::unique_ptr<cMIDIPortSettings>> mPorts;
    std::vector<std::unique_ptr<cMIDIInput>> mInputs;
    cDeviceSlot mSlots[kSlotCount];
    std::vector<cDelegate> mChangeListeners;
    cCriticalSection mLock;
    std::atomic<int32_t> mSuspendCount{0};
    bool mStarted = false;
    cMIDIMessageCollector mCollector;
    cMIDIBuffer mDeliveryBuffer;
    float mRescanTimer = kRescanSeconds;
    int32_t mPageCode = 0;
};
