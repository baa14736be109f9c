#include "midi/MIDIMessage.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{
constexpr uint8_t kSysex = 0xF0;
constexpr uint8_t kSysexEnd = 0xF7;
constexpr uint8_t kMeta = 0xFF;
constexpr int32_t kMaxVariableLengthBytes = 6;
constexpr int32_t kControllerAllSoundOff = 120;
constexpr int32_t kControllerAllControllersOff = 121;
constexpr int32_t kControllerAllNotesOff = 123;

// Indexed by status & 0x7F.
constexpr uint8_t kStatusLengths[128] = {
    3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, // 0x80
    3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, // 0x90
    3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, // 0xA0
    3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, // 0xB0
    2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, // 0xC0
    2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, // 0xD0
    3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, // 0xE0
    1, 2, 3, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, // 0xF0
};

uint8_t ChannelNibble(int32_t channel) { return uint8_t(std::clamp(channel - 1, 0, 15)); }

// The length a meta event claims, capped at the bytes given. A lone 0xFF is
// the one-byte System Reset of a live stream.
int32_t MetaEventLength(const uint8_t* bytes, int32_t count)
{
    if (count < 2)
        return count;
    int32_t fieldBytes = 0;
    const int64_t length = cMIDIMessage::ReadVariableLength(bytes + 2, count - 2, fieldBytes);
    return int32_t(std::min<int64_t>(count, 2 + int64_t(fieldBytes) + length));
}
} // namespace

cMIDIMessage::cMIDIMessage() : cMIDIMessage(kSysex, kSysexEnd, 0.0) {}

cMIDIMessage::cMIDIMessage(const uint8_t* bytes, int32_t count, int32_t& used, double time) : mTimeStamp(time)
{
    used = 0;
    if (!bytes || count <= 0)
        return;
    if (bytes[0] < 0x80)
        used = -1;
    else if (bytes[0] == kSysex)
        ParseSysex(bytes, count, used);
    else if (bytes[0] == kMeta)
        ParseMeta(bytes, count, used);
    else
        ParseShort(bytes, count, used);
}

cMIDIMessage::cMIDIMessage(const uint8_t* bytes, int32_t size, double time) : mTimeStamp(time)
{
    CopyFrom(bytes, size);
}

cMIDIMessage::cMIDIMessage(uint8_t byte0, double time) : mTimeStamp(time), mSize(1), mInline{byte0, 0, 0, 0} {}

cMIDIMessage::cMIDIMessage(uint8_t byte0, uint8_t byte1, double time)
    : mTimeStamp(time), mSize(2), mInline{byte0, byte1, 0, 0}
{
}

cMIDIMessage::cMIDIMessage(uint8_t byte0, uint8_t byte1, uint8_t byte2, double time)
    : mTimeStamp(time), mSize(3), mInline{byte0, byte1, byte2, 0}
{
}

cMIDIMessage::cMIDIMessage(const cMIDIMessage& other) : mTimeStamp(other.mTimeStamp)
{
    CopyFrom(other.mData, other.mSize);
}

cMIDIMessage& cMIDIMessage::operator=(const cMIDIMessage& other)
{
    if (this != &other)
    {
        Free();
        mTimeStamp = other.mTimeStamp;
        CopyFrom(other.mData, other.mSize);
    }
    return *this;
}

cMIDIMessage::~cMIDIMessage() { Free(); }

void cMIDIMessage::AssignView(const uint8_t* bytes, int32_t size, double time)
{
    Free();
    mTimeStamp = time;
    if (size <= kInlineBytes)
    {
        CopyFrom(bytes, size);
        return;
    }
    mData = bytes;
    mSize = size;
}

void cMIDIMessage::Free()
{
    delete[] mHeap;
    mHeap = nullptr;
    mData = mInline;
    mSize = 0;
}

void cMIDIMessage::CopyFrom(const uint8_t* bytes, int32_t size)
{
    size = bytes ? std::max(size, 0) : 0;
    std::memset(mInline, 0, sizeof(mInline));
    uint8_t* target = mInline;
    if (size > kInlineBytes)
        target = mHeap = new uint8_t[size_t(size)];
    if (size > 0)
        std::memcpy(target, bytes, size_t(size));
    mData = target;
    mSize = size;
}

// Sysex as stored in files may carry its length as leading bytes after 0xF0:
// status bytes before the first data byte and that first data byte are
// skipped. 0xF7 ends the message and is kept; a status byte after the data
// began ends it and is not.
void cMIDIMessage::ParseSysex(const uint8_t* bytes, int32_t count, int32_t& used)
{
    int32_t leading = 0;
    bool haveData = false;
    int32_t i = 1;
    for (; i < count; ++i)
    {
        const uint8_t b = bytes[i];
        if (b == kSysexEnd)
        {
            ++i;
            break;
        }
        if (b >= 0x80)
        {
            if (haveData)
                break;
            ++leading;
        }
        else if (!haveData)
        {
            haveData = true;
            ++leading;
        }
    }
    const int32_t kept = i - 1 - leading;
    Free();
    if (1 + kept > kInlineBytes)
        mHeap = new uint8_t[size_t(1 + kept)];
    uint8_t* target = mHeap ? mHeap : mInline;
    target[0] = kSysex;
    if (kept > 0)
        std::memcpy(target + 1, bytes + 1 + leading, size_t(kept));
    mData = target;
    mSize = 1 + kept;
    used = i;
}

void cMIDIMessage::ParseMeta(const uint8_t* bytes, int32_t count, int32_t& used)
{
    const int32_t size = MetaEventLength(bytes, count);
    Free();
    CopyFrom(bytes, size);
    used = size;
}

void cMIDIMessage::ParseShort(const uint8_t* bytes, int32_t count, int32_t& used)
{
    const int32_t size = GetStatusLength(bytes[0]);
    const int32_t available = std::min(size, count);
    Free();
    std::memset(mInline, 0, sizeof(mInline));
    std::memcpy(mInline, bytes, size_t(available));
    mSize = size;
    used = available;
}

cMIDIMessage cMIDIMessage::Controller(int32_t channel, int32_t controller)
{
    return cMIDIMessage(uint8_t(0xB0 | ChannelNibble(channel)), uint8_t(controller & 0x7F), 0, 0.0);
}

cMIDIMessage cMIDIMessage::AllNotesOff(int32_t channel) { return Controller(channel, kControllerAllNotesOff); }

cMIDIMessage cMIDIMessage::AllSoundOff(int32_t channel) { return Controller(channel, kControllerAllSoundOff); }

cMIDIMessage cMIDIMessage::AllControllersOff(int32_t channel)
{
    return Controller(channel, kControllerAllControllersOff);
}

cMIDIMessage cMIDIMessage::NoteOn(int32_t channel, int32_t note, float velocity)
{
    return NoteOn(channel, note, int32_t(std::floor(velocity * 127.0f + 0.5f)));
}

cMIDIMessage cMIDIMessage::NoteOn(int32_t channel, int32_t note, int32_t velocity)
{
    return cMIDIMessage(uint8_t(0x90 | ChannelNibble(channel)), uint8_t(note & 0x7F), uint8_t(std::clamp(velocity, 0, 127)),
                        0.0);
}

cMIDIMessage cMIDIMessage::NoteOff(int32_t channel, int32_t note)
{
    return cMIDIMessage(uint8_t(0x80 | ChannelNibble(channel)), uint8_t(note & 0x7F), 0, 0.0);
}

int32_t cMIDIMessage::GetStatusLength(uint8_t status) { return kStatusLengths[status & 0x7F]; }

int32_t cMIDIMessage::GetEventLength(const uint8_t* bytes, int32_t count)
{
    if (!bytes || count <= 0 || bytes[0] < 0x80)
        return 0;
    if (bytes[0] == kSysex || bytes[0] == kSysexEnd)
    {
        int32_t i = 1;
        while (i < count && bytes[i] != kSysexEnd)
            ++i;
        return std::min(i + 1, count);
    }
    if (bytes[0] == kMeta)
        return MetaEventLength(bytes, count);
    return std::min(GetStatusLength(bytes[0]), count);
}

int64_t cMIDIMessage::ReadVariableLength(const uint8_t* bytes, int32_t count, int32_t& byteCount)
{
    int64_t value = 0;
    byteCount = 0;
    const int32_t limit = std::min(count, kMaxVariableLengthBytes);
    while (byteCount < limit)
    {
        const uint8_t b = bytes[byteCount++];
        value = (value << 7) | (b & 0x7F);
        if (!(b & 0x80))
            break;
    }
    return value;
}

bool cMIDIMessage::IsNoteOnOrOff() const
{
    const uint8_t kind = GetStatus() & 0xF0;
    return kind == 0x80 || kind == 0x90;
}
