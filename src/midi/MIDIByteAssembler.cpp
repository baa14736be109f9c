#include "midi/MIDIByteAssembler.h"

#include <algorithm>
#include <cstring>

#include "midi/MIDIInput.h"
#include "midi/MIDIMessage.h"

namespace
{
constexpr uint8_t kSysex = 0xF0;
constexpr uint8_t kSysexEnd = 0xF7;

bool IsStatus(uint8_t b) { return b >= 0x80; }

// Real-time bytes that may appear anywhere, even inside another message.
bool IsRealTimeInShort(uint8_t b) { return b >= 0xF8 && b <= 0xFE; }
bool IsRealTimeInSysex(uint8_t b) { return b == 0xF8 || b >= 0xFA; }
} // namespace

cMIDIByteAssembler::cMIDIByteAssembler()
    : mPending(std::make_unique<uint8_t[]>(kInitialSysexBytes)), mPendingCapacity(kInitialSysexBytes)
{
}

cMIDIByteAssembler::~cMIDIByteAssembler() = default;

void cMIDIByteAssembler::Reset()
{
    mPendingCount = 0;
    mPendingTime = 0.0;
    mRunningStatus = 0;
    mSkippingSysex = false;
}

void cMIDIByteAssembler::Push(const uint8_t* bytes, int32_t count, double time, cMIDIInputCallback& callback,
                              cMIDIInput* source)
{
    int32_t i = 0;
    while (i < count)
    {
        if (mSkippingSysex)
            i += SkipDroppedSysex(bytes + i, count - i, time, callback, source);
        else if (mPendingCount > 0 || bytes[i] == kSysex)
        {
            i += PushSysex(bytes + i, count - i, time, callback, source);
            mRunningStatus = 0;
        }
        else
            i += PushShort(bytes + i, count - i, time, callback, source);
    }
}

int32_t cMIDIByteAssembler::PushShort(const uint8_t* bytes, int32_t count, double time, cMIDIInputCallback& callback,
                                      cMIDIInput* source)
{
    uint8_t message[3];
    int32_t size = 0;
    int32_t i = 0;
    while (i < count)
    {
        const uint8_t b = bytes[i++];
        if (IsRealTimeInShort(b))
        {
            callback.HandleIncomingMessage(source, cMIDIMessage(b, time));
            continue;
        }
        if (size == 0 && !IsStatus(b) && IsStatus(mRunningStatus))
            message[size++] = mRunningStatus;
        message[size++] = b;
        if (size >= cMIDIMessage::GetStatusLength(message[0]))
            break;
    }
    if (size == 0)
        return i;
    int32_t used = 0;
    const cMIDIMessage assembled(message, size, used, time);
    // Data without a status to belong to: the rest of the packet is lost too.
    if (used <= 0)
        return count;
    callback.HandleIncomingMessage(source, assembled);
    mRunningStatus = message[0];
    return i;
}

bool cMIDIByteAssembler::EnsurePendingRoom(int32_t bytes)
{
    const int64_t needed = int64_t(mPendingCount) + bytes;
    if (needed <= mPendingCapacity)
        return true;
    if (mPendingCapacity >= kMaxSysexBytes)
        return false;
    const int32_t capacity = int32_t(std::min<int64_t>(kMaxSysexBytes, std::max<int64_t>(needed, int64_t(mPendingCapacity) * 2)));
    auto block = std::make_unique<uint8_t[]>(size_t(capacity));
    std::memcpy(block.get(), mPending.get(), size_t(mPendingCount));
    mPending = std::move(block);
    mPendingCapacity = capacity;
    return true;
}

int32_t cMIDIByteAssembler::PushSysex(const uint8_t* bytes, int32_t count, double time, cMIDIInputCallback& callback,
                                      cMIDIInput* source)
{
    if (bytes[0] == kSysex)
    {
        mPendingCount = 0;
        mPendingTime = time;
    }
    EnsurePendingRoom(count);
    int32_t i = 0;
    while (i < count)
    {
        const uint8_t b = bytes[i];
        if (mPendingCount > 0 && IsStatus(b))
        {
            if (IsRealTimeInSysex(b))
            {
                callback.HandleIncomingMessage(source, cMIDIMessage(b, time));
                ++i;
                continue;
            }
            if (b != kSysexEnd)
            {
                // Any other status byte means the message will never end:
                // it is abandoned and the byte starts the next message.
                mPendingCount = 0;
                return i;
            }
        }
        if (mPendingCount >= mPendingCapacity)
        {
            Reset();
            mSkippingSysex = true;
            return i;
        }
        mPending[size_t(mPendingCount++)] = b;
        ++i;
        if (b == kSysexEnd)
            break;
    }
    FinishSysex(callback, source);
    return i;
}

void cMIDIByteAssembler::FinishSysex(cMIDIInputCallback& callback, cMIDIInput* source)
{
    if (mPendingCount == 0)
        return;
    if (mPending[size_t(mPendingCount - 1)] == kSysexEnd)
    {
        const cMIDIMessage message(mPending.get(), mPendingCount, mPendingTime);
        mPendingCount = 0;
        callback.HandleIncomingMessage(source, message);
        return;
    }
    callback.HandlePartialSysex(source, mPending.get(), mPendingCount, mPendingTime);
}

int32_t cMIDIByteAssembler::SkipDroppedSysex(const uint8_t* bytes, int32_t count, double time,
                                             cMIDIInputCallback& callback, cMIDIInput* source)
{
    for (int32_t i = 0; i < count; ++i)
    {
        const uint8_t b = bytes[i];
        if (!IsStatus(b))
            continue;
        if (IsRealTimeInSysex(b))
        {
            callback.HandleIncomingMessage(source, cMIDIMessage(b, time));
            continue;
        }
        mSkippingSysex = false;
        return b == kSysexEnd ? i + 1 : i;
    }
    return count;
}
