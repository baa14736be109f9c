#include "sequencer/MIDIFileValidator.h"

#include "sequencer/MIDIFileFormat.h"

#include <cstring>

namespace
{
using namespace MIDIFileFormat;

uint32_t ReadBigEndian(const uint8_t* bytes, int count)
{
    uint32_t value = 0;
    for (int i = 0; i < count; ++i)
        value = value << 8 | bytes[i];
    return value;
}

void WriteBigEndian(std::vector<uint8_t>& out, size_t position, uint32_t value, int count)
{
    for (int i = count - 1; i >= 0; --i, value >>= 8)
        out[position + i] = uint8_t(value);
}

int ChannelDataBytes(uint8_t status)
{
    return (status & 0xE0) == 0xC0 ? 1 : 2;
}

// Bounded reading of one track chunk.
class cChunkReader
{
public:
    cChunkReader(const uint8_t* data, uint32_t length) : mPosition(data), mEnd(data + length) {}

    bool AtEnd() const { return mPosition == mEnd; }
    bool Peek(uint8_t& value) const
    {
        if (AtEnd())
            return false;
        value = *mPosition;
        return true;
    }
    bool Byte(uint8_t& value)
    {
        if (!Peek(value))
            return false;
        ++mPosition;
        return true;
    }
    bool Number(uint32_t& value)
    {
        value = 0;
        for (int i = 0; i < kMaxNumberBytes; ++i)
        {
            uint8_t byte;
            if (!Byte(byte))
                return false;
            value = value << 7 | (byte & 0x7F);
            if (!(byte & 0x80))
                return true;
        }
        return false;
    }
    // The next count bytes, or null when the chunk holds fewer.
    const uint8_t* Take(uint32_t count)
    {
        if (count > uint32_t(mEnd - mPosition))
            return nullptr;
        const uint8_t* start = mPosition;
        mPosition += count;
        return start;
    }

private:
    const uint8_t* mPosition;
    const uint8_t* mEnd;
};

// Checks one track chunk and appends its plain copy to out.
class cTrackCopier
{
public:
    cTrackCopier(const uint8_t* data, uint32_t length, std::vector<uint8_t>& out) : mReader(data, length), mOut(out) {}

    bool Copy()
    {
        static const uint8_t kTrackId[] = {'M', 'T', 'r', 'k', 0, 0, 0, 0};
        mOut.insert(mOut.end(), kTrackId, kTrackId + sizeof(kTrackId));
        const size_t start = mOut.size();
        bool ended = false;
        while (!ended && !mReader.AtEnd())
            if (!CopyEvent(ended))
                return false;
        if (!ended || mEvents > cMIDIFileValidator::kMaxTrackEvents)
            EndTrack(mEvents > cMIDIFileValidator::kMaxTrackEvents ? mCutDelta : 0);
        WriteBigEndian(mOut, start - 4, uint32_t(mOut.size() - start), 4);
        return true;
    }

private:
    bool CopyEvent(bool& ended)
    {
        uint32_t delta;
        uint8_t status;
        if (!mReader.Number(delta) || !mReader.Peek(status))
            return false;
        mTime += delta;
        // A track may not run past the largest time one delta can hold, so no
        // sum of times overflows in the file library or in a copy.
        if (mTime > kMaxTime)
            return false;
        if (status & 0x80)
            mReader.Byte(status);
        else if (mRunningStatus != 0)
            status = mRunningStatus;
        else
            return false;
        mRunningStatus = 0;
        if (status < 0xF0)
            return CopyChannelMessage(delta, status);
        if (status == kMetaStatus)
            return CopyMeta(delta, ended);
        if (status == kSysExStatus || status == kEscapeStatus)
            return ReplaceSysEx(delta);
        return false;
    }

    bool CopyChannelMessage(uint32_t delta, uint8_t status)
    {
        const int count = ChannelDataBytes(status);
        const uint8_t* bytes = mReader.Take(count);
        if (!bytes)
            return false;
        for (int i = 0; i < count; ++i)
            if (bytes[i] & 0x80)
                return false;
        mRunningStatus = status;
        if (Begin(delta))
        {
            mOut.push_back(status);
            mOut.insert(mOut.end(), bytes, bytes + count);
        }
        return true;
    }

    bool CopyMeta(uint32_t delta, bool& ended)
    {
        uint8_t type;
        uint32_t length;
        if (!mReader.Byte(type) || !mReader.Number(length))
            return false;
        const uint8_t* bytes = mReader.Take(length);
        if (!bytes || (type == kMetaTempo && length != 3) || (type == kMetaTimeSignature && length != 4) ||
            (type == kMetaEndOfTrack && length != 0))
            return false;
        ended = type == kMetaEndOfTrack;
        if (Begin(delta))
        {
            mOut.push_back(kMetaStatus);
            mOut.push_back(type);
            AppendNumber(mOut, length);
            mOut.insert(mOut.end(), bytes, bytes + length);
        }
        return true;
    }

    // The file library mishandles some of these and the reader ignores them
    // all; an empty text event keeps their place among the counted events.
    bool ReplaceSysEx(uint32_t delta)
    {
        uint32_t length;
        if (!mReader.Number(length) || !mReader.Take(length))
            return false;
        if (Begin(delta))
        {
            const uint8_t emptyText[] = {kMetaStatus, kMetaText, 0};
            mOut.insert(mOut.end(), emptyText, emptyText + sizeof(emptyText));
        }
        return true;
    }

    // Writes the event's delta; false when the track already holds all the
    // events it may keep (the rest is still checked). The first event past
    // the cap lends its time to the end-of-track, which takes its place.
    bool Begin(uint32_t delta)
    {
        ++mEvents;
        if (mEvents > cMIDIFileValidator::kMaxTrackEvents)
        {
            if (mEvents == cMIDIFileValidator::kMaxTrackEvents + 1)
                mCutDelta = delta;
            return false;
        }
        AppendNumber(mOut, delta);
        return true;
    }

    void EndTrack(uint32_t delta)
    {
        AppendNumber(mOut, delta);
        const uint8_t endOfTrack[] = {kMetaStatus, kMetaEndOfTrack, 0};
        mOut.insert(mOut.end(), endOfTrack, endOfTrack + sizeof(endOfTrack));
    }

    cChunkReader mReader;
    std::vector<uint8_t>& mOut;
    uint32_t mTime = 0;
    uint8_t mRunningStatus = 0;
    int mEvents = 0;
    uint32_t mCutDelta = 0;
};
} // namespace

bool cMIDIFileValidator::MakeParseableCopy(const uint8_t* data, int length, std::vector<uint8_t>& copy)
{
    constexpr int kHeaderBytes = 14;
    constexpr uint32_t kChunkHeaderBytes = 8;
    copy.clear();
    if (!data || length < kHeaderBytes || std::memcmp(data, "MThd", 4) != 0)
        return false;
    const uint32_t size = uint32_t(length);
    const uint32_t headerLength = ReadBigEndian(data + 4, 4);
    const uint32_t format = ReadBigEndian(data + 8, 2);
    const uint32_t trackCount = ReadBigEndian(data + 10, 2);
    const uint32_t division = ReadBigEndian(data + 12, 2);
    // A set top bit of the division is time-code timing, which the song's
    // time base cannot follow.
    if (headerLength < 6 || headerLength > size - kChunkHeaderBytes || format > 2 || division == 0 ||
        (division & 0x8000) != 0)
        return false;
    copy.assign(data, data + kHeaderBytes);
    WriteBigEndian(copy, 4, 6, 4);
    uint32_t copied = 0;
    for (uint32_t offset = kChunkHeaderBytes + headerLength; offset < size && copied < trackCount;)
    {
        if (size - offset < kChunkHeaderBytes)
            return false;
        const uint32_t chunkLength = ReadBigEndian(data + offset + 4, 4);
        const uint8_t* chunk = data + offset + kChunkHeaderBytes;
        if (chunkLength > size - offset - kChunkHeaderBytes)
            return false;
        if (std::memcmp(data + offset, "MTrk", 4) == 0)
        {
            if (!cTrackCopier(chunk, chunkLength, copy).Copy())
                return false;
            ++copied;
        }
        offset += kChunkHeaderBytes + chunkLength;
    }
    WriteBigEndian(copy, 10, copied, 2);
    // A file without tracks holds no song (and the file library leaks it).
    return copied > 0;
}
