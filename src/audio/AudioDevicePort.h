#pragma once
#include <atomic>
#include <cstdint>

#include "audio/AudioBuffer.h"
#include "audio/BlockAdapter.h"
#include "audio/PointerArray.h"
#include "base/CriticalSection.h"
#include "base/GenString.h"

class cAudioModuleBase;

// Joins the audio device to the modules that feed it or listen to it.
// Listeners are called in the order they were added; the port owns none.
class cAudioDevicePort
{
public:
    enum : int32_t
    {
        kDirectionInput = 0,
        kDirectionOutput = 1,
    };

    cAudioDevicePort(int32_t direction, const char* name);
    virtual ~cAudioDevicePort();
    cAudioDevicePort(const cAudioDevicePort&) = delete;
    cAudioDevicePort& operator=(const cAudioDevicePort&) = delete;

    // Returns the previous value.
    virtual bool SetEnabled(bool enabled);
    // Audio thread, under the audio manager's lock.
    virtual void Process(cAudioProcessInfo& info, cAudioBuffer& buffer, uint32_t largestBlock) = 0;

    void AddListener(cAudioModuleBase* module);
    void RemoveListener(cAudioModuleBase* module);

    const cGenString& GetName() const { return mName; }
    int32_t GetDirection() const { return mDirection; }
    bool IsEnabled() const { return mEnabled; }
    uint32_t GetListenerCount() const { return mListeners.GetCount(); }
    uint32_t GetListenerCapacity() const { return mListeners.GetCapacity(); }
    uint32_t GetStreamFormat() const { return mStreamFormat; }
    float GetStreamSampleRate() const { return mStreamSampleRate; }
    uint32_t GetStreamChannels() const { return mStreamChannels; }

protected:
    void RecordStreamFormat(const cAudioProcessInfo& info, const cAudioBuffer& buffer);
    bool CanRender(const cAudioBuffer& buffer) const;
    // Every listener's Process on the same block, in order.
    void RenderListeners(const cAudioProcessInfo& info, cAudioBuffer& block);

    cGenStringFixed<256> mName;
    uint32_t mStreamFormat = 0;
    float mStreamSampleRate = 0.0f;
    uint32_t mStreamChannels = 0;
    cCriticalSection mLock;
    int32_t mDirection;
    std::atomic<bool> mEnabled{true};
    cPointerArray mListeners;
};

// "Record": nothing in the program drives it.
class cAudioDeviceInputPort : public cAudioDevicePort
{
public:
    cAudioDeviceInputPort();
    void Process(cAudioProcessInfo& info, cAudioBuffer& buffer, uint32_t largestBlock) override;
};

// "MainOut": pulled by the audio thread once per device buffer; its listeners
// write the device format themselves.
class cAudioDeviceOutputPort : public cAudioDevicePort
{
public:
    explicit cAudioDeviceOutputPort(uint32_t blockFrames);
    // A change also drops what the block adapter's FIFO held.
    bool SetEnabled(bool enabled) override;
    void Process(cAudioProcessInfo& info, cAudioBuffer& buffer, uint32_t largestBlock) override;

    const cBlockAdapter& GetBlockAdapter() const { return mAdapter; }

private:
    void RenderBlock(cAudioProcessInfo& info, cAudioBuffer& block);

    cBlockAdapter mAdapter;
};
