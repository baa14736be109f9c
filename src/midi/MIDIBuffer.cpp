#include "midi/MIDIBuffer.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "midi/MIDIMessage.h"

cMIDIBuffer::~cMIDIBuffer() { delete[] mData; }

cMIDIBuffer::cHeader cMIDIBuffer::ReadHeader(int32_t offset) const
{
    const uint8_t* p = mData + offset;
    cHeader header;
    header.position = int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
    header.source = p[4];
    header.size = int32_t(p[5]) | int32_t(p[6]) << 8;
    return header;
}

void cMIDIBuffer::WriteHeader(int32_t offset, int32_t position, uint8_t source, int32_t size)
{
    uint8_t* p = mData + offset;
    const uint32_t word = uint32_t(position);
    p[0] = uint8_t(word);
    p[1] = uint8_t(word >> 8);
    p[2] = uint8_t(word >> 16);
    p[3] = uint8_t(word >> 24);
    p[4] = source;
    p[5] = uint8_t(size);
    p[6] = uint8_t(size >> 8);
}

bool cMIDIBuffer::Grow(int64_t bytes)
{
    if (bytes > INT32_MAX)
        return false;
    uint8_t* block = new uint8_t[size_t(bytes)];
    if (mUsed > 0)
        std::memcpy(block, mData, size_t(mUsed));
    delete[] mData;
    mData = block;
    mAllocated = int32_t(bytes);
    return true;
}

void cMIDIBuffer::Reserve(int32_t bytes)
{
    if (bytes > mAllocated)
        Grow(bytes);
}

int32_t cMIDIBuffer::FindInsertOffset(int32_t position) const
{
    if (mCount == 0 || position >= mLastTime)
        return mUsed;
    int32_t offset = 0;
    while (offset < mUsed)
    {
        const cHeader header = ReadHeader(offset);
        if (header.position > position)
            break;
        offset += kHeaderBytes + header.size;
    }
    return offset;
}

int32_t cMIDIBuffer::AddEvent(const uint8_t* bytes, int32_t count, int32_t position, uint8_t source)
{
    const int32_t length = cMIDIMessage::GetEventLength(bytes, count);
    if (length <= 0 || length > kMaxEventBytes)
        return 0;
    const int64_t needed = int64_t(mUsed) + length;
    const int64_t target = (needed + 15 + (needed + kHeaderBytes) / 2) & ~int64_t(7);
    if (mAllocated < target && !Grow(target))
        return 0;

    const int32_t offset = FindInsertOffset(position);
    const int32_t stored = kHeaderBytes + length;
    std::memmove(mData + offset + stored, mData + offset, size_t(mUsed - offset));
    WriteHeader(offset, position, source, length);
    std::memcpy(mData + offset + kHeaderBytes, bytes, size_t(length));
    ++mCount;
    mUsed += stored;
    mLastTime = std::max(mLastTime, position);
    return length;
}

void cMIDIBuffer::Clear()
{
    mUsed = 0;
    mCount = 0;
    mLastTime = 0;
}

void cMIDIBuffer::ClearRange(int32_t start, int32_t length)
{
    const int64_t end = int64_t(start) + length;
    int32_t read = 0;
    int32_t write = 0;
    mCount = 0;
    mLastTime = 0;
    while (read < mUsed)
    {
        const cHeader header = ReadHeader(read);
        const int32_t stored = kHeaderBytes + header.size;
        if (header.position < start || header.position >= end)
        {
            std::memmove(mData + write, mData + read, size_t(stored));
            write += stored;
            ++mCount;
            mLastTime = header.position;
        }
        read += stored;
    }
    mUsed = write;
}

int32_t cMIDIBuffer::GetFirstPosition() const { return mCount > 0 ? ReadHeader(0).position : 0; }

bool cMIDIBuffer::cIterator::Next(const uint8_t*& bytes, int32_t& size, int32_t& position, uint8_t& source)
{
    if (mOffset >= mBuffer.mUsed)
        return false;
    const cHeader header = mBuffer.ReadHeader(mOffset);
    bytes = mBuffer.mData + mOffset + kHeaderBytes;
    size = header.size;
    position = header.position;
    source = header.source;
    mOffset += kHeaderBytes + header.size;
    return true;
}

void cMIDIBuffer::cIterator::SkipTo(int32_t position)
{
    mOffset = 0;
    while (mOffset < mBuffer.mUsed)
    {
        const cHeader header = mBuffer.ReadHeader(mOffset);
        if (header.position >= position)
            return;
        mOffset += kHeaderBytes + header.size;
    }
}
