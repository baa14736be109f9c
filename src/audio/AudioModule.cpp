#include "audio/AudioModule.h"

#include <bit>
#include <chrono>
#include <thread>

#include "audio/AudioManager.h"

cAudioModuleBase::cAudioModuleBase(uint32_t capacity)
{
    if (capacity == 0)
        return;
    mCapacity = std::bit_ceil(capacity);
    mMask = mCapacity - 1;
    mSlots.reset(new cSlot[mCapacity]);
    for (uint32_t i = 0; i < mCapacity; ++i)
        mSlots[i].sequence.store(i, std::memory_order_relaxed);
}

cAudioModuleBase::~cAudioModuleBase() = default;

float cAudioModuleBase::GetParamFloat(uint32_t) { return 0.0f; }

int32_t cAudioModuleBase::GetParamInt(uint32_t) { return 0; }

int32_t cAudioModuleBase::Process(const cAudioProcessInfo&, cAudioBuffer&) { return 0; }

int32_t cAudioModuleBase::ProcessInOut(const cAudioProcessInfo&, cAudioBuffer&, cAudioBuffer&) { return 0; }

int32_t cAudioModuleBase::HandleEvent(const cAudioEvent&) { return 0; }

bool cAudioModuleBase::PostEvent(const cAudioEvent& event)
{
    if (mMask == 0)
        return false;
    uint32_t position = mWrite.load(std::memory_order_relaxed);
    for (;;)
    {
        const int32_t waiting = static_cast<int32_t>(position - mRead.load(std::memory_order_acquire));
        if (waiting < 0)
        {
            // Another producer's event was claimed and drained meanwhile.
            position = mWrite.load(std::memory_order_relaxed);
            continue;
        }
        // At most capacity - 1 events wait, as in a single-producer ring.
        if (static_cast<uint32_t>(waiting) >= mMask)
            return false;
        cSlot& slot = mSlots[position & mMask];
        const int32_t lag = static_cast<int32_t>(slot.sequence.load(std::memory_order_acquire) - position);
        if (lag == 0)
        {
            if (mWrite.compare_exchange_weak(position, position + 1, std::memory_order_relaxed))
                break;
        }
        else if (lag < 0)
            return false; // the consumer has not freed this slot yet
        else
            position = mWrite.load(std::memory_order_relaxed);
    }
    cSlot& slot = mSlots[position & mMask];
    slot.event = event;
    // Full barrier: the copy is visible before the slot counts as published.
    slot.sequence.store(position + 1, std::memory_order_seq_cst);
    return true;
}

void cAudioModuleBase::DrainEvents()
{
    if (!mSlots)
        return;
    uint32_t position = mRead.load(std::memory_order_relaxed);
    for (;;)
    {
        cSlot& slot = mSlots[position & mMask];
        // A claimed slot whose producer has not published yet stops the drain,
        // so later events never overtake it.
        if (slot.sequence.load(std::memory_order_acquire) != position + 1)
            return;
        HandleEvent(slot.event);
        slot.sequence.store(position + mCapacity, std::memory_order_release);
        ++position;
        mRead.store(position, std::memory_order_seq_cst);
    }
}

bool cAudioModuleBase::HasPendingEvents() const
{
    return mRead.load(std::memory_order_acquire) != mWrite.load(std::memory_order_acquire);
}

void cAudioModuleBase::WaitForEvents()
{
    for (int attempt = 0; attempt < 5 && HasPendingEvents(); ++attempt)
    {
        // Nothing drains while the audio thread is paused (or absent).
        const cAudioManager* manager = cAudioManager::Get();
        if (!manager || manager->IsPaused())
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

cAudioModule::cAudioModule(cInstrument* owner, uint32_t capacity)
    : cAudioModuleBase(capacity)
    , mOwner(owner)
{
}

cAudioModule::~cAudioModule() = default;

float cAudioModule::GetOutputValue(int32_t kind, int32_t)
{
    if (kind == 0)
        return 1.0f;
    return kind == 1 ? 0.5f : 0.0f;
}

void cAudioModule::GetPresetText(cGenString&) {}

bool cAudioModule::Serialise(Base::cSerialise&, cInstrument*, cSampleRelocator*) { return false; }

void cAudioModule::SetParamCount(int32_t count)
{
    if (count < 0)
        count = 0;
    if (count > kMaxParams)
        count = kMaxParams;
    mParamCount = count;
    mParamValues.reset(count ? new float[count]() : nullptr);
    mChangedMask.store(0);
}

bool cAudioModule::StoreParamEvent(const cAudioEvent& event)
{
    const uint32_t index = event.wordB;
    if (index >= static_cast<uint32_t>(mParamCount))
        return false;
    mParamValues[index] = event.valueF;
    mChangedMask.fetch_or(1u << index);
    return true;
}
