#include "audio/AudioDevicePort.h"

#include <cstring>

#include "audio/AudioModule.h"

cAudioDevicePort::cAudioDevicePort(int32_t direction, const char* name)
    : mName(name)
    , mDirection(direction)
{
}

cAudioDevicePort::~cAudioDevicePort() = default;

bool cAudioDevicePort::SetEnabled(bool enabled)
{
    cScopedLock lock(&mLock);
    const bool previous = mEnabled;
    mEnabled = enabled;
    return previous;
}

void cAudioDevicePort::AddListener(cAudioModuleBase* module)
{
    cScopedLock lock(&mLock);
    mListeners.Append(module);
}

void cAudioDevicePort::RemoveListener(cAudioModuleBase* module)
{
    cScopedLock lock(&mLock);
    mListeners.RemoveFirst(module);
}

void cAudioDevicePort::RecordStreamFormat(const cAudioProcessInfo& info, const cAudioBuffer& buffer)
{
    mStreamFormat = buffer.format;
    mStreamSampleRate = info.sampleRate;
    mStreamChannels = buffer.channels;
}

bool cAudioDevicePort::CanRender(const cAudioBuffer& buffer) const
{
    return mEnabled && mListeners.GetCount() > 0 && buffer.frames * buffer.channels != 0;
}

void cAudioDevicePort::RenderListeners(const cAudioProcessInfo& info, cAudioBuffer& block)
{
    for (uint32_t i = 0; i < mListeners.GetCount(); ++i)
        static_cast<cAudioModuleBase*>(mListeners[i])->Process(info, block);
}

cAudioDeviceInputPort::cAudioDeviceInputPort()
    : cAudioDevicePort(kDirectionInput, "Record")
{
}

void cAudioDeviceInputPort::Process(cAudioProcessInfo& info, cAudioBuffer& buffer, uint32_t)
{
    cScopedLock lock(&mLock);
    RecordStreamFormat(info, buffer);
    if (CanRender(buffer))
        RenderListeners(info, buffer);
    else if (buffer.data)
        std::memset(buffer.data, 0, buffer.bytes);
}

cAudioDeviceOutputPort::cAudioDeviceOutputPort(uint32_t blockFrames)
    : cAudioDevicePort(kDirectionOutput, "MainOut")
    , mAdapter(blockFrames, cDelegate(this, &cAudioDeviceOutputPort::RenderBlock))
{
}

bool cAudioDeviceOutputPort::SetEnabled(bool enabled)
{
    // Racing callers with the same value do no harm: both see no change.
    if (enabled == mEnabled)
        return mEnabled;
    cScopedLock lock(&mLock);
    const bool previous = mEnabled;
    mEnabled = enabled;
    mAdapter.ClearFifo();
    return previous;
}

void cAudioDeviceOutputPort::Process(cAudioProcessInfo& info, cAudioBuffer& buffer, uint32_t largestBlock)
{
    cScopedLock lock(&mLock);
    RecordStreamFormat(info, buffer);
    if (CanRender(buffer))
        mAdapter.Process(info, buffer, largestBlock);
    else if (buffer.data)
        std::memset(buffer.data, 0, buffer.bytes);
}

void cAudioDeviceOutputPort::RenderBlock(cAudioProcessInfo& info, cAudioBuffer& block)
{
    RenderListeners(info, block);
}
