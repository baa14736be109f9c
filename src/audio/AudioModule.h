#pragma once
#include <atomic>
#include <cstdint>
#include <memory>

#include "audio/AudioBuffer.h"
#include "audio/AudioEvent.h"

class cGenString;
class cInstrument;
class cSampleRelocator;
namespace Base
{
class cSerialise;
}

// Anything that makes or changes sound. The audio thread calls Process once
// per block; every other thread talks to a module only by posting events into
// its ring, which the module drains at the start of its next Process.
//
// The ring takes no lock and is safe for several producers (the main thread,
// the audio thread and the MIDI input post into some rings): a producer claims
// a position with a compare-exchange and publishes its slot with that slot's
// sequence word, so no producer ever waits for another. It holds at most
// capacity - 1 events, drops an event when full, and hands events to the
// single consumer in the order their positions were claimed.
class cAudioModuleBase
{
public:
    // capacity is rounded up to a power of two; 0 makes a module without a ring.
    explicit cAudioModuleBase(uint32_t capacity);
    virtual ~cAudioModuleBase();
    cAudioModuleBase(const cAudioModuleBase&) = delete;
    cAudioModuleBase& operator=(const cAudioModuleBase&) = delete;

    virtual float GetParamFloat(uint32_t id);
    virtual int32_t GetParamInt(uint32_t id);
    virtual int32_t Process(const cAudioProcessInfo& info, cAudioBuffer& buffer);
    virtual int32_t ProcessInOut(const cAudioProcessInfo& info, cAudioBuffer& input, cAudioBuffer& output);
    virtual int32_t HandleEvent(const cAudioEvent& event);

    // Any thread. False, and the event is lost, when the ring is full.
    bool PostEvent(const cAudioEvent& event);
    // The consumer (audio thread, or an offline render's thread while the
    // live thread is paused): handles every published event in order,
    // including those posted while it runs.
    void DrainEvents();
    // Main thread, after posting something that must take effect before the
    // caller goes on: waits at most five times 5 ms for the ring to empty,
    // and not at all while the audio manager is paused. Reports nothing.
    void WaitForEvents();

    bool HasPendingEvents() const;
    uint32_t GetEventCapacity() const { return mCapacity; }

private:
    struct cSlot
    {
        // position + 1 once the event for position is published;
        // position + capacity once it has been handled and the slot is free.
        std::atomic<uint32_t> sequence{0};
        cAudioEvent event;
    };

    std::atomic<uint32_t> mRead{0};  // next position to drain; the consumer's
    std::atomic<uint32_t> mWrite{0}; // next position to claim; producers'
    uint32_t mMask = 0;
    uint32_t mCapacity = 0;
    std::unique_ptr<cSlot[]> mSlots;
};

// Instruments, the mixer, the sequencer and render jobs: a module with an
// owning instrument and up to 32 module parameters.
class cAudioModule : public cAudioModuleBase
{
public:
    static constexpr int32_t kMaxParams = 32; // one bit each in the changed mask

    cAudioModule(cInstrument* owner, uint32_t capacity);
    ~cAudioModule() override;

    // Kind 0 reads as a volume and kind 1 as a centred pan to the mixing desk.
    virtual float GetOutputValue(int32_t kind, int32_t index);
    virtual void GetPresetText(cGenString& text);
    virtual bool Serialise(Base::cSerialise& serialise, cInstrument* owner, cSampleRelocator* relocator);

    cInstrument* GetOwner() const { return mOwner; }

    // Sizes the parameter table (at most kMaxParams), all values 0.
    void SetParamCount(int32_t count);
    int32_t GetParamCount() const { return mParamCount; }
    float GetParamValue(int32_t index) const { return mParamValues[index]; }

    // Stores a module-parameter event's value and marks it changed; an index
    // outside the table is ignored. Returns whether it was stored.
    bool StoreParamEvent(const cAudioEvent& event);

    uint32_t GetChangedMask() const { return mChangedMask.load(std::memory_order_relaxed); }
    // Returns the changed bits and clears them.
    uint32_t TakeChangedMask() { return mChangedMask.exchange(0); }
    // Clears only the bits of mask that were set and returns them; a bit
    // outside the mask that the audio thread sets meanwhile stays set.
    uint32_t TakeChangedBits(uint32_t mask) { return mChangedMask.fetch_and(~mask) & mask; }
    // Whether one parameter changed since it was last asked, clearing its bit.
    bool TakeChangedBit(int32_t index)
    {
        const uint32_t bit = index >= 0 && index < kMaxParams ? 1u << index : 0u;
        return (mChangedMask.fetch_and(~bit) & bit) != 0;
    }

protected:
    cInstrument* mOwner;
    int32_t mParamCount = 0;
    std::unique_ptr<float[]> mParamValues;
    std::atomic<uint32_t> mChangedMask{0};
};
