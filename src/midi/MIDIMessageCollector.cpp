#include "midi/MIDIMessageCollector.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "base/Clock.h"
#include "midi/MIDIMessage.h"

namespace
{
// Rescaling works in 1/1024ths of a sample.
constexpr int32_t kScaleShift = 10;

int32_t ClampToInt32(double value)
{
    if (std::isnan(value))
        return 0;
    return int32_t(std::clamp(value, double(INT32_MIN), double(INT32_MAX)));
}
} // namespace

void cMIDIMessageCollector::Reset(double sampleRate) { Reset(sampleRate, GetMilliseconds()); }

void cMIDIMessageCollector::Reset(double sampleRate, double nowMilliseconds)
{
    cScopedLock lock(&mLock);
    mSampleRate = sampleRate;
    mIncoming.Clear();
    mLastCallbackTime = nowMilliseconds;
}

void cMIDIMessageCollector::ResetKeepingRate() { Reset(mSampleRate); }

int32_t cMIDIMessageCollector::PositionOf(double seconds) const
{
    return ClampToInt32(std::trunc((seconds - mLastCallbackTime * 0.001) * mSampleRate));
}

void cMIDIMessageCollector::addMessageToQueue(const cMIDIMessage& message, uint8_t source)
{
    cScopedLock lock(&mLock);
    Add(message, PositionOf(message.GetTimeStamp()), source);
}

void cMIDIMessageCollector::AddMessageNow(const cMIDIMessage& message, uint8_t source)
{
    cScopedLock lock(&mLock);
    Add(message, mIncoming.GetLastTime(), source);
}

// Keeps at most one second of messages before the one just added; messages
// stamped before the last callback stay.
void cMIDIMessageCollector::Add(const cMIDIMessage& message, int32_t position, uint8_t source)
{
    mIncoming.AddEvent(message.GetData(), message.GetSize(), position, source);
    const int32_t oneSecond = int32_t(mSampleRate);
    if (position > oneSecond)
        mIncoming.ClearRange(0, position - oneSecond);
}

void cMIDIMessageCollector::RemoveNextBlock(cMIDIBuffer& destination, int32_t frames)
{
    RemoveNextBlock(destination, frames, GetMilliseconds());
}

void cMIDIMessageCollector::RemoveNextBlock(cMIDIBuffer& destination, int32_t frames, double nowMilliseconds)
{
    cScopedLock lock(&mLock);
    const double elapsed = nowMilliseconds - mLastCallbackTime;
    mLastCallbackTime = nowMilliseconds;
    if (mIncoming.IsEmpty() || frames <= 0)
        return;

    const int64_t sourceSamples = std::max<int64_t>(1, std::llround(std::clamp(elapsed * 0.001 * mSampleRate, 0.0, 1e12)));
    const bool compress = sourceSamples > frames;
    const int64_t scale = compress ? (int64_t(frames) << kScaleShift) / sourceSamples : 0;
    const int64_t offset = compress ? 0 : frames - sourceSamples;

    cMIDIBuffer::cIterator events(mIncoming);
    const uint8_t* bytes = nullptr;
    int32_t size = 0;
    int32_t position = 0;
    uint8_t source = 0;
    while (events.Next(bytes, size, position, source))
    {
        const int64_t moved = compress ? (int64_t(position) * scale) >> kScaleShift : position + offset;
        destination.AddEvent(bytes, size, int32_t(std::clamp<int64_t>(moved, 0, frames - 1)), source);
    }
    mIncoming.Clear();
}
